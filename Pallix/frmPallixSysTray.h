// The tray window: owns the notification icon, its menu and the two timers
// that drive everything else. It shows no content of its own.
#pragma once

#include "DeviceMonitor.h"
#include "DeviceSearch.h"
#include "SysTray.h"
#include "TrayControl.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

class frmPallixSysTray : public QWidget, public TrayControl {
    Q_OBJECT
public:
    static constexpr int TrayWaitMs = 30000;

    frmPallixSysTray();
    ~frmPallixSysTray() override;

    // The start-up sequence; false when the application must end.
    bool start(int trayWaitMs = TrayWaitMs);

    // TrayControl
    void enableDiscoveryTimer() override;
    void ChangeIcon(int IconIndex) override;
    void removeIcon() override;
    void handlePolledStatus(int status) override;

    // A mouse message on the icon (514, 515, 517; others do nothing).
    void trayMessage(int message);

    void mnuDiscoverDevices_Click();
    void mnuExit_Click();

    int iconIndex() const { return iconIndex_; }   // -1 until the first ChangeIcon
    bool menuShown() const { return menuShown_; }

    QSystemTrayIcon trayIcon;
    QMenu mnuPopupSys;
    TrayClicks clicks;
    DeviceSearch search;
    DeviceMonitor monitor{search};

protected:
    void changeEvent(QEvent *event) override;

private:
    void buildMenu();
    bool waitForTray(int waitMs);
    void showMenu();

    int iconIndex_ = -1;
    bool menuShown_ = false;
};
