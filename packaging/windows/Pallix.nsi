; The Pallix Control Center's installer for Windows, built by makensis:
;
;   makensis -DVERSION=<x.y.z> -DAPP_DIR=<application folder> -DOUT_FILE=<setup.exe>
;            [-DWIN64] Pallix.nsi
;
; Installs the application folder into Program Files, a Start-menu entry,
; a start at login for the user (a page lets it be left out) and an
; uninstaller in "Apps & features". The uninstaller removes what was
; installed and leaves the log. /S installs or uninstalls silently.
; The 64-bit setup is a 64-bit program itself, so it runs where only 64-bit
; programs can.
!ifdef WIN64
Target amd64-unicode
!else
Unicode true
!endif
!include "MUI2.nsh"
!include "x64.nsh"

!define PRODUCT "Pallix Control Center"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pallix"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
RequestExecutionLevel admin
!ifdef WIN64
InstallDir "$PROGRAMFILES64\Pallix"
!else
InstallDir "$PROGRAMFILES\Pallix"
!endif
SetCompressor /SOLID lzma

!define MUI_ICON "${APP_DIR}\NerrinRed.ico"
!define MUI_UNICON "${APP_DIR}\NerrinGray.ico"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "© Nerrin"

Function .onInit
!ifdef WIN64
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "This is the 64-bit ${PRODUCT}; use the 32-bit setup on this PC."
    Abort
  ${EndIf}
  SetRegView 64
!endif
FunctionEnd

Function un.onInit
!ifdef WIN64
  SetRegView 64
!endif
FunctionEnd

Section "!${PRODUCT}" SecProgram
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${APP_DIR}\Pallix.exe"
  File "${APP_DIR}\NerrinAPI.dll"
  File "${APP_DIR}\nrfwupdate.exe"
  File "${APP_DIR}\NerrinRed.ico"
  File "${APP_DIR}\NerrinGray.ico"
  File "${APP_DIR}\Pallix_User_Guide.pdf"
  SetOutPath "$INSTDIR\download"
  File "${APP_DIR}\download\test_out.hex"
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Pallix.exe"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Nerrin"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Pallix.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Start at login" SecStartAtLogin
  WriteRegStr HKCU "${RUN_KEY}" "Pallix" '"$INSTDIR\Pallix.exe"'
SectionEnd

; The log (log.txt, log.old.txt) stays, and with it the folder.
Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\Pallix.exe"
  Delete "$INSTDIR\NerrinAPI.dll"
  Delete "$INSTDIR\nrfwupdate.exe"
  Delete "$INSTDIR\NerrinRed.ico"
  Delete "$INSTDIR\NerrinGray.ico"
  Delete "$INSTDIR\Pallix_User_Guide.pdf"
  Delete "$INSTDIR\download\test_out.hex"
  RMDir "$INSTDIR\download"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Pallix"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
