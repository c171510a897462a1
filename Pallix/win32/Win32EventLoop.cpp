#include "Win32EventLoop.h"

#include "WindowClass.h"

#include <algorithm>
#include <utility>

namespace {

constexpr UINT RunPosted = WM_APP + 1;
constexpr wchar_t LoopClass[] = L"PallixEventLoop";

// IsDialogMessage gives modeless dialogs Tab, Enter and Escape.
bool dispatchedToDialog(MSG &message)
{
    if (!message.hwnd) return false;
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    return root && isDialogWindow(root) && IsDialogMessageW(root, &message);
}

}   // namespace

Win32EventLoop::Win32EventLoop()
{
    registerWindowClass(LoopClass, &Win32EventLoop::windowProc);
    window_ = CreateWindowExW(0, LoopClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), this);
}

Win32EventLoop::~Win32EventLoop()
{
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK Win32EventLoop::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *self = reinterpret_cast<Win32EventLoop *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == RunPosted) {
        self->runPosted();
        return 0;
    }
    if (self && message == WM_TIMER) {
        self->fire(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Any thread. What is posted meanwhile rides on the message already sent.
void Win32EventLoop::post(std::function<void()> fn)
{
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        posted_.push_back(std::move(fn));
        wake = !std::exchange(wakePending_, true);
    }
    if (wake) PostMessageW(window_, RunPosted, 0, 0);
}

void Win32EventLoop::runPosted()
{
    std::deque<std::function<void()>> due;
    {
        const std::lock_guard lock(mutex_);
        due.swap(posted_);
        wakePending_ = false;
    }
    for (auto &fn : due)
        fn();
}

loop::TimerId Win32EventLoop::startTimer(loop::Duration delay, std::function<void()> fn)
{
    const UINT_PTR id = nextTimer_++;
    timers_[id] = std::move(fn);
    SetTimer(window_, id, UINT(std::max<loop::Duration::rep>(delay.count(), USER_TIMER_MINIMUM)),
             nullptr);
    return loop::TimerId(id);
}

void Win32EventLoop::cancelTimer(loop::TimerId id)
{
    const auto found = timers_.find(UINT_PTR(id));
    if (found == timers_.end()) return;
    KillTimer(window_, found->first);
    timers_.erase(found);
}

// Windows' timers repeat; the loop's fire once.
void Win32EventLoop::fire(UINT_PTR id)
{
    KillTimer(window_, id);
    const auto found = timers_.find(id);
    if (found == timers_.end()) return;
    const std::function<void()> fn = std::move(found->second);
    timers_.erase(found);
    fn();
}

loop::Clock::time_point Win32EventLoop::now() const { return loop::Clock::now(); }

void Win32EventLoop::quit(int exitCode) { PostQuitMessage(exitCode); }

namespace {

// The next message, handled; false with the quit code on WM_QUIT.
bool handledNext(int &quitCode)
{
    MSG message{};
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
        quitCode = int(message.wParam);
        return false;
    }
    if (!dispatchedToDialog(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

}   // namespace

int Win32EventLoop::run()
{
    int quitCode = 0;
    while (handledNext(quitCode)) {
    }
    return quitCode;
}

void Win32EventLoop::runUntil(const std::function<bool()> &done)
{
    int quitCode = 0;
    while (!done())
        if (!handledNext(quitCode)) {
            PostQuitMessage(quitCode);
            return;
        }
}
