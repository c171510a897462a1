#include "Win32Desktop.h"

#include "WideText.h"
#include "frmBox.h"
#include "frmMsgBox.h"
#include "loop/EventLoop.h"

#include <shellapi.h>

namespace {

UINT boxStyle(MsgIcon icon, MsgButtons buttons)
{
    UINT style = buttons == MsgButtons::OKCancel ? MB_OKCANCEL : MB_OK;
    if (icon == MsgIcon::Information) style |= MB_ICONINFORMATION;
    if (icon == MsgIcon::Critical) style |= MB_ICONERROR;
    return style | MB_SETFOREGROUND;
}

// The process's own top-level windows.
BOOL CALLBACK closeWindow(HWND window, LPARAM)
{
    ShowWindow(window, SW_HIDE);
    return TRUE;
}

}   // namespace

Win32Desktop::Win32Desktop() = default;
Win32Desktop::~Win32Desktop() = default;

// Start-up only: nothing else runs yet, so the wait holds nothing.
int Win32Desktop::messageBox(const std::string &text, const std::string &title, MsgIcon icon,
                             MsgButtons buttons)
{
    const int answer = MessageBoxW(nullptr, wideText(text).c_str(), wideText(title).c_str(),
                                   boxStyle(icon, buttons));
    return answer == IDOK ? MsgOK : MsgCancel;
}

void Win32Desktop::showBox(const std::string &text, const std::string &title, MsgIcon icon,
                           MsgButtons buttons, BoxAnswered answered)
{
    boxes_.push_back(std::make_unique<frmBox>(text, title, icon, buttons, std::move(answered),
                                              [this](frmBox *closed) {
        // Deleted once its window is done with the click that closed it.
        loop::EventLoop::current().post([this, closed] {
            boxes_.remove_if([closed](const auto &box) { return box.get() == closed; });
        });
    }));
}

void Win32Desktop::showMessageWindow(const std::string &text, BoxAnswered answered)
{
    frmMsgBox::instance().showMessage(text, std::move(answered));
}

// The shell's result: above 32 when the document was opened.
int Win32Desktop::openDocument(const std::string &pathOrUrl)
{
    const auto result = ShellExecuteW(GetDesktopWindow(), L"open", wideText(pathOrUrl).c_str(),
                                      nullptr, L"C:\\", SW_SHOWNORMAL);
    return int(reinterpret_cast<INT_PTR>(result));
}

void Win32Desktop::setMousePointer(MousePointer pointer)
{
    const LPCWSTR shape = pointer == MousePointer::Hourglass        ? IDC_WAIT
                          : pointer == MousePointer::ArrowHourglass ? IDC_APPSTARTING
                                                                    : IDC_ARROW;
    SetCursor(LoadCursorW(nullptr, shape));
}

// The application ends: every window goes out of sight at once.
void Win32Desktop::closeAll()
{
    EnumThreadWindows(GetCurrentThreadId(), closeWindow, 0);
}
