#include "Win32Desktop.h"

#include "WideText.h"
#include "Win32EventLoop.h"
#include "frmBox.h"
#include "frmMsgBox.h"
#include "loop/EventLoop.h"

#include <optional>

#include <shellapi.h>

namespace {

// The process's own top-level windows.
BOOL CALLBACK closeWindow(HWND window, LPARAM)
{
    ShowWindow(window, SW_HIDE);
    return TRUE;
}

}   // namespace

Win32Desktop::Win32Desktop() = default;
Win32Desktop::~Win32Desktop() = default;

// Start-up only: nothing else runs yet, so the wait holds nothing. The box
// is the program's own, so it has the dark look of every other.
int Win32Desktop::messageBox(const std::string &text, const std::string &title, MsgIcon icon,
                             MsgButtons buttons)
{
    std::optional<int> answer;
    frmBox box(text, title, icon, buttons, [&answer](int result) { answer = result; }, {});
    Win32EventLoop::runUntil([&answer] { return answer.has_value(); });
    return answer.value_or(MsgCancel);
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
