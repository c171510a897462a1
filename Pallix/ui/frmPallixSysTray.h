// The tray window: owns the notification icon, its menu and the device
// watch that drives everything else. It shows no content of its own.
#pragma once

#include "DeviceWatch.h"
#include "SysTray.h"
#include "frmShutdown.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

class frmPallixSysTray : public QWidget {
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

    int iconIndex() const { return iconIndex_; }   // -1 until the first changeIcon
    bool menuShown() const { return menuShown_; }

    QSystemTrayIcon trayIcon;
    QMenu mnuPopupSys;
    TrayClicks clicks;
    DeviceWatch watch;
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

    int iconIndex_ = -1;
    bool menuShown_ = false;
};
