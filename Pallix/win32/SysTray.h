// The notification-area icon: added, changed and removed, its tooltip and
// balloons, and the mouse messages it reports decoded as the tray window
// acts on them.
#pragma once

#include "app/TrayMouse.h"
#include "loop/Timer.h"

#include <functional>
#include <string>

#include <windows.h>
#include <shellapi.h>

static_assert(TrayLeftButtonUp == WM_LBUTTONUP && TrayLeftDoubleClick == WM_LBUTTONDBLCLK
              && TrayRightButtonUp == WM_RBUTTONUP);

class TrayIcon {
public:
    static constexpr UINT CallbackMessage = WM_APP + 10;

    explicit TrayIcon(HWND owner);
    ~TrayIcon() { remove(); }
    TrayIcon(const TrayIcon &) = delete;
    TrayIcon &operator=(const TrayIcon &) = delete;

    void add();      // again, too, after the shell restarted
    void remove();
    bool added() const { return added_; }
    void setIcon(HICON icon);
    void setToolTip(const std::string &toolTip);
    // A balloon beside the icon.
    void notify(const std::string &title, const std::string &text);

private:
    void modify(UINT flags);

    NOTIFYICONDATAW data_{};
    bool added_ = false;
};

// Left clicks wait out the double-click time, so a double click shows no
// menu; the click that ends a double click is no click of its own.
class TrayClicks {
public:
    explicit TrayClicks(std::function<void(int message)> act);
    void message(int mouseMessage);

private:
    std::function<void(int)> act_;
    loop::Timer singleClick_;
    bool afterDoubleClick_ = false;
};
