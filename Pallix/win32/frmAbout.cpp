#include "frmAbout.h"

#include "WindowFonts.h"
#include "app/About.h"
#include "app/NrErrors.h"
#include "resource.h"

namespace {
constexpr int IconSize = 64;
}

frmAbout &frmAbout::instance()
{
    static frmAbout *window = new frmAbout;
    return *window;
}

frmAbout::frmAbout() : Dialog(IDD_ABOUT)
{
    titleFont_ = boldFont(window(), 13);
    SendDlgItemMessageW(window(), IDC_LBLTITLE, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
    SendDlgItemMessageW(window(), IDC_PICICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(loadIconFile(true, IconSize)), 0);
}

void frmAbout::formLoad() { reportingErrors([this] { loadValues(); }); }

void frmAbout::loadValues()
{
    const AboutTexts texts = aboutTexts();
    setCaption(texts.title);
    setText(IDC_LBLTITLE, texts.title);
    setText(IDC_LBLVERSION, texts.version);
    setText(IDC_LBLFIRMWARE, texts.firmwareVersion);
    setText(IDC_LBLMAC, texts.macAddress);
    setText(IDC_LBLIP, texts.ipAddress);
    setText(IDC_LBLPCIP, texts.pcAddresses);
    setText(IDC_LBLOSINFO, texts.osInfo);
    setText(IDC_LBLNOTE, texts.note);
}

void frmAbout::command(int id, int notification)
{
    if (notification != BN_CLICKED) return;
    if (id == IDOK) hide();
    if (id == IDC_CMDLOGFILE) reportingErrors(openLogFile);
}

void showAbout()
{
    frmAbout &window = frmAbout::instance();
    if (!window.visible()) window.formLoad();
    window.show();
}
