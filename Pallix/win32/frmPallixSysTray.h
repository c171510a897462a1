// The tray window: a hidden window that owns the notification icon, its
// menu and the device watch that drives everything else.
#pragma once

#include "SysTray.h"
#include "app/Platform.h"
#include "frmShutdown.h"
#include "loop/TaskScope.h"
#include "loop/Timer.h"
#include "watch/DeviceWatch.h"
#include "watch/WatchSummary.h"

#include <memory>

#include <windows.h>

class frmPallixSysTray : private WatchEvents, private SummaryView {
public:
    frmPallixSysTray();
    ~frmPallixSysTray() override;
    frmPallixSysTray(const frmPallixSysTray &) = delete;
    frmPallixSysTray &operator=(const frmPallixSysTray &) = delete;

    // The start-up sequence; false when the application must end.
    bool start();
    // 0 red, otherwise gray.
    void changeIcon(int iconIndex);

private:
    static HWND createWindow();
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void act(int mouseMessage);
    void showMenu();
    void menuCommand(int id);
    void buildMenu();
    void sayWhyNotWatching(const std::string &why);

    void searchShown(int iconIndex) override { changeIcon(iconIndex); }
    void showToolTip(const std::string &toolTip) override;
    void notify(const std::string &title, const std::string &text) override;

    std::unique_ptr<MonitorLock> monitorLock_;   // held while this PC's monitor
    HWND window_ = createWindow();
    HMENU menu_ = nullptr;
    UINT taskbarCreated_ = 0;   // the shell started again: the icon is added anew
    HICON icons_[2] = {};       // red, gray
    TrayIcon trayIcon_{window_};
    TrayClicks clicks_{[this](int message) { act(message); }};
    DeviceWatch watch_;
    WatchSummary summary_{watch_, *this};
    frmShutdown countdownWindow_{watch_.countdown};
    loop::TaskScope tasks_;
    static constexpr int StandByMs = 20000;
    loop::Timer standBy_;
};
