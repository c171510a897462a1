#!/usr/bin/env bash
# The installer under Wine, silently (run by wine-run.sh): it puts the
# application into Program Files with a Start-menu entry, a start at login
# and an "Apps & features" entry; its uninstaller, silent too, takes all of
# that away again and leaves the log.
#
#   installer-test.sh <Pallix-Setup-*.exe> <win32|win64>
set -euo pipefail

setup=$1 width=$2
passed=0 failed=0
check() {  # check <description> <command...>
  local what=$1
  shift
  if "$@"; then passed=$((passed + 1)); echo "ok   $what"; else failed=$((failed + 1)); echo "FAIL $what"; fi
}

program_files="Program Files"
[ "$width" = win32 ] && [ -d "$WINEPREFIX/drive_c/Program Files (x86)" ] && program_files="Program Files (x86)"
folder="$WINEPREFIX/drive_c/$program_files/Pallix"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pallix Control Center.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pallix'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
files=(Pallix.exe NerrinAPI.dll nrfwupdate.exe NerrinRed.ico NerrinGray.ico Pallix_User_Guide.pdf
       download/test_out.hex Uninstall.exe)

has_value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | grep -q -- "$3"; }
no_key() { ! wine reg query "$1" >/dev/null 2>&1; }
all_there() { local f; for f in "${files[@]}"; do [ -f "$folder/$f" ] || { echo "  missing $f"; return 1; }; done; }
none_there() { local f; for f in "${files[@]}"; do [ ! -e "$folder/$f" ] || { echo "  left $f"; return 1; }; done; }

rm -rf "$folder"
wine "$setup" /S
wineserver -w
check "every file is in $program_files\\Pallix" all_there
check "the Start menu has \"Pallix Control Center\"" test -f "$shortcut"
check "Pallix.exe starts at login" has_value "$run_key" Pallix 'Pallix\\Pallix.exe'
check "\"Apps & features\" lists it" has_value "$uninstall_key" DisplayName "Pallix Control Center"
check "\"Apps & features\" can remove it silently" has_value "$uninstall_key" QuietUninstallString 'Uninstall.exe" /S'

# The program has run and logged.
printf 'Discovery Count < 1  --- 01/01/2026 00:00:00\r\n' >"$folder/log.txt"
wine "$folder/Uninstall.exe" /S
wineserver -w
check "the uninstaller removes every file" none_there
check "the log stays" test -f "$folder/log.txt"
check "the Start-menu entry is gone" test ! -e "$shortcut"
check "it no longer starts at login" bash -c "! wine reg query '$run_key' /v Pallix >/dev/null 2>&1"
check "\"Apps & features\" no longer lists it" no_key "$uninstall_key"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
