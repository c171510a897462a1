#include "frmSelftTest.h"

#include "WideText.h"
#include "WindowFonts.h"
#include "resource.h"

namespace {

constexpr int IconSize = 32;
constexpr int TitlePoints = 11;
// Older lines give way, so a long run cannot fill the box: an edit control
// holds a limited amount of text.
constexpr LRESULT MaxLogCharacters = 4 * 1024 * 1024;

}   // namespace

frmSelftTest::frmSelftTest(SelfTest::DeviceEventHandler onDeviceEvent)
    : Dialog(IDD_SELFTEST), selfTest_(*this, std::move(onDeviceEvent))
{
    SendDlgItemMessageW(window(), IDC_LABEL1, WM_SETFONT,
                        reinterpret_cast<WPARAM>(boldFont(window(), TitlePoints)), FALSE);
    SendDlgItemMessageW(window(), IDC_PICTURE1, STM_SETICON,
                        reinterpret_cast<WPARAM>(loadIconFile(true, IconSize)), 0);
    SendDlgItemMessageW(window(), IDC_TXTLOG, EM_SETLIMITTEXT, WPARAM(MaxLogCharacters), 0);
    for (const int legend : {IDC_LEGEND_ARMED, IDC_LEGEND_TRIGGERED, IDC_LEGEND_DISABLED, IDC_LEGEND_UNKNOWN})
        setLamp(legend, legend == IDC_LEGEND_ARMED       ? LampState::Armed
                        : legend == IDC_LEGEND_TRIGGERED ? LampState::Triggered
                        : legend == IDC_LEGEND_DISABLED  ? LampState::Disabled
                                                         : LampState::Unknown);
    reload();
}

void frmSelftTest::reload()
{
    clearLog();
    showProgress("");
    SendDlgItemMessageW(window(), IDC_CMBLOOPS, CB_RESETCONTENT, 0, 0);
    setChecked(IDC_CHKDETAILS, true);
    showStatusCaption("Status");
    showLamps(StatusLamps{});
    selfTest_.load();
}

void frmSelftTest::command(int id, int notification)
{
    if (notification != BN_CLICKED) return;
    switch (id) {
    case IDC_CMDREADLOOP: selfTest_.readTest(); break;
    case IDC_CMDWRITELOOPTEST: selfTest_.writeTest(); break;
    case IDC_CMDSTOP: selfTest_.stop(); break;
    case IDC_CMDCLEAR: selfTest_.clear(); break;
    default: break;
    }
}

void frmSelftTest::closed()
{
    selfTest_.stop();
    hide();
}

bool frmSelftTest::detailsChecked() const { return checked(IDC_CHKDETAILS); }

std::string frmSelftTest::loopCountText() const { return text(IDC_CMBLOOPS); }

void frmSelftTest::fillLoopCounts(int last)
{
    std::vector<std::string> counts;
    for (int n = 1; n <= last; ++n)
        counts.push_back(std::to_string(n));
    fillList(IDC_CMBLOOPS, counts);
    selectEntry(IDC_CMBLOOPS, 0);
}

// The new line is selected, so the box scrolls to it.
void frmSelftTest::appendLogLine(const std::string &text)
{
    const HWND log = item(IDC_TXTLOG);
    LRESULT length = SendMessageW(log, WM_GETTEXTLENGTH, 0, 0);
    const std::wstring line = (length > 0 ? L"\r\n" : L"") + wideText(text);
    if (length + LRESULT(line.size()) > MaxLogCharacters) {
        SendMessageW(log, EM_SETSEL, 0, SendMessageW(log, EM_LINEINDEX, 1000, 0));
        SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        length = SendMessageW(log, WM_GETTEXTLENGTH, 0, 0);
    }
    SendMessageW(log, EM_SETSEL, WPARAM(length), length);
    SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
    const LRESULT end = SendMessageW(log, WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(log, EM_SETSEL, WPARAM(end - LRESULT(wideText(text).size())), end);
    SendMessageW(log, EM_SCROLLCARET, 0, 0);
}

void frmSelftTest::clearLog() { SetDlgItemTextW(window(), IDC_TXTLOG, L""); }

void frmSelftTest::showLamps(const StatusLamps &lamps)
{
    setLamp(IDC_INSTATE0, lamps.in1);
    setLamp(IDC_INSTATE1, lamps.in2);
    setLamp(IDC_OUTSTATE0, lamps.out1);
    setLamp(IDC_OUTSTATE1, lamps.out2);
}

void frmSelftTest::showStatusCaption(const std::string &caption) { setText(IDC_FRAME2, caption); }

void frmSelftTest::showProgress(const std::string &text) { setText(IDC_LBLSELFTEST, text); }

void frmSelftTest::showTestRunning(bool running)
{
    enable(IDC_CMDREADLOOP, !running);
    enable(IDC_CMDWRITELOOPTEST, !running);
}

namespace {
frmSelftTest *selfTestWindow = nullptr;   // created on first use, lives until the application ends
}

void showSelfTest(const SelfTest::DeviceEventHandler &onDeviceEvent)
{
    if (!selfTestWindow) {
        selfTestWindow = new frmSelftTest(onDeviceEvent);
    } else if (!selfTestWindow->visible() && !selfTestWindow->selfTest().running()) {
        selfTestWindow->reload();
    }
    selfTestWindow->show();
}
