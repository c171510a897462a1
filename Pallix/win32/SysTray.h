// The notification-area icon: added, changed and removed, its tooltip and
// balloons, and the mouse messages it reports decoded as the tray window
// acts on them.
#pragma once

#include "loop/Timer.h"

#include <functional>
#include <string>

#include <windows.h>
#include <shellapi.h>

// Mouse message numbers as the notification area reports them.
enum TrayMessage {
    TrayLeftButtonUp = WM_LBUTTONUP,           // 514
    TrayLeftDoubleClick = WM_LBUTTONDBLCLK,    // 515
    TrayRightButtonUp = WM_RBUTTONUP,          // 517
};

enum class TrayMouseAction {
    Nothing,
    RestoreAndMenu,   // left button released
    Restore,          // left double-click: no menu
    Menu,             // right button released
};

TrayMouseAction decodeTrayMessage(int message);

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
