// The tray window: owns the notification icon, its menu and the device
// watch that drives everything else. It shows no content of its own.
#pragma once

#include "SysTray.h"
#include "app/Platform.h"
#include "frmShutdown.h"
#include "loop/TaskScope.h"
#include "watch/DeviceWatch.h"
#include "watch/WatchSummary.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>
#include <memory>

class frmPallixSysTray : public QWidget, private WatchEvents, private SummaryView {
    Q_OBJECT
public:
    static constexpr int TrayWaitMs = 30000;

    frmPallixSysTray();
    ~frmPallixSysTray() override;

    // The start-up sequence; false when the application must end.
    bool start(int trayWaitMs = TrayWaitMs);

    // 0 red, otherwise gray.
    void changeIcon(int iconIndex);

    // A mouse message on the icon (514, 515, 517; others do nothing).
    void trayMessage(int message);

    void mnuDiscoverDevicesClicked();
    void mnuExitClicked();

    static constexpr int NoticeMs = 10000;
    // How long the icon stays to say why it does not watch.
    static constexpr int StandByMs = 20000;
    int noticesShown() const { return noticesShown_; }

    int iconIndex() const { return iconIndex_; }   // -1 until the first changeIcon
    bool menuShown() const { return menuShown_; }

    QSystemTrayIcon trayIcon;
    QMenu mnuPopupSys;
    TrayClicks clicks;
    DeviceWatch watch;
    WatchSummary summary{watch, *this};
    QAction *mnuNotifications = nullptr;
    DeviceSearch &search = watch.search;
    DeviceMonitor &monitor = watch.monitor;
    frmShutdown countdownWindow{watch.countdown};

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;   // the application ends: the icon goes

private:
    void buildMenu();
    bool waitForTray(int waitMs);
    void showMenu();
    void sayWhyNotWatching(const std::string &why);

    // The watch's search state shows in the icon.
    void searchShown(int iconIndex) override { changeIcon(iconIndex); }
    // What the summary says goes to the icon.
    void showToolTip(const std::string &toolTip) override;
    void notify(const std::string &title, const std::string &text) override;

    std::unique_ptr<MonitorLock> monitorLock_;   // held while this PC's monitor
    int iconIndex_ = -1;
    int noticesShown_ = 0;
    bool menuShown_ = false;
    loop::TaskScope tasks_;
};
