#include "frmPallixSysTray.h"

#include "AppInstance.h"
#include "AppPaths.h"
#include "AppState.h"
#include "ConfigView.h"
#include "Desktop.h"
#include "NrAPI.h"
#include "NrErrors.h"
#include "OtherMonitor.h"
#include "PowerIcon.h"
#include "SelfTest.h"
#include "ShellExecute.h"
#include "SysTray.h"
#include "TimeDelay.h"
#include "frmAbout.h"
#include "frmPallix.h"
#include "frmSelftTest.h"

#include <QCloseEvent>
#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QSettings>
#include <cstdio>

namespace {

const QString NotificationsKey = QStringLiteral("notifications");

// Notifications are on until the user switches them off; the choice lasts.
bool notificationsWanted() { return QSettings().value(NotificationsKey, true).toBool(); }
void rememberNotificationsWanted(bool wanted) { QSettings().setValue(NotificationsKey, wanted); }

// Menu handlers report their errors like every event handler.
template <typename Handler> auto reported(Handler handler)
{
    return [handler] {
        try {
            handler();
        } catch (const NrError &error) {
            showError(error);
        }
    };
}

}   // namespace

frmPallixSysTray::frmPallixSysTray()
{
    setWindowTitle(QStringLiteral("Nerrin Pallix™"));
    setWindowIcon(powerIcon(PowerRed));
    buildMenu();
    connect(&trayIcon, &QSystemTrayIcon::activated, &clicks, &TrayClicks::activated);
    connect(&clicks, &TrayClicks::message, this, &frmPallixSysTray::trayMessage);
    connect(&watch, &DeviceWatch::searchShown, this, &frmPallixSysTray::changeIcon);
    connect(&summary, &WatchSummary::toolTipChanged, &trayIcon, &QSystemTrayIcon::setToolTip);
    connect(&summary, &WatchSummary::notice, this, &frmPallixSysTray::notify);
    setConfigView(&configWindowView());
}

frmPallixSysTray::~frmPallixSysTray()
{
    setConfigView(nullptr);
    trayIcon.hide();
}

void frmPallixSysTray::buildMenu()
{
    mnuPopupSys.setTitle(QStringLiteral("Popup"));
    mnuPopupSys.addAction(QStringLiteral("&Configure Pallix™"), this, reported(showConfig));
    mnuPopupSys.addAction(QStringLiteral("&Discovery Process"), this,
                          [this] { mnuDiscoverDevicesClicked(); });
    mnuPopupSys.addAction(QStringLiteral("Self Test"), this, reported(showSelfTest));
    mnuPopupSys.addSeparator();
    mnuPopupSys.addAction(QStringLiteral("Update &App"), this, reported(openSupportPage));
    // Firmware updates are offered by the firmware check after discovery.
    mnuPopupSys.addAction(QStringLiteral("Update &Firmware"))->setEnabled(false);
    mnuPopupSys.addSeparator();
    mnuPopupSys.addAction(QStringLiteral("Pallix™ &User Guide"), this, reported(openUserGuide));
    mnuPopupSys.addAction(QStringLiteral("A&bout Nerrin Pallix™"), this, reported(showAbout));
    mnuNotifications = mnuPopupSys.addAction(QStringLiteral("Desktop &Notifications"));
    mnuNotifications->setCheckable(true);
    mnuNotifications->setChecked(notificationsWanted());
    connect(mnuNotifications, &QAction::toggled, this, &rememberNotificationsWanted);
    mnuPopupSys.addSeparator();
    mnuPopupSys.addAction(QStringLiteral("E&xit"), this, [this] { mnuExitClicked(); });
}

bool frmPallixSysTray::start(int trayWaitMs)
{
    try {
        if (anotherInstanceRunning()) {
            Desktop::current().messageBox(
                QStringLiteral("Pallix Control Center is already running."), appTitle(),
                MsgIcon::None, MsgButtons::OK);
            return false;
        }
        const QString otherMonitor = otherMonitorRunning(MonitorProgram::ControlCenter);
        if (!otherMonitor.isEmpty()) {
            Desktop::current().messageBox(otherMonitor, appTitle(), MsgIcon::Information,
                                          MsgButtons::OK);
            return false;
        }
        if (!waitForTray(trayWaitMs)) {
            Desktop::current().messageBox(
                QStringLiteral("This desktop has no notification area, so the Pallix Control "
                               "Center cannot show its icon."),
                appTitle(), MsgIcon::Critical, MsgButtons::OK);
            return false;
        }
        QString reason;
        if (!NrAPI::load(&reason))
            throw NrError(48, QStringLiteral("Cannot load the device library: ") + reason);

        trayIcon.setIcon(windowIcon());
        trayIcon.setToolTip(summary.toolTip());
        trayIcon.show();
        watch.start();
        return !appState().ending;
    } catch (const NrError &error) {
        showError(error);
        trayIcon.hide();
        return false;
    }
}

// A login session may start its panel after the application.
bool frmPallixSysTray::waitForTray(int waitMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!Desktop::current().trayAvailable()) {
        if (waited.elapsed() >= waitMs) return false;
        delayMs(250);
    }
    return true;
}

void frmPallixSysTray::changeIcon(int iconIndex)
{
    const QString file = appFile(iconIndex == 0 ? AppFile::RedIcon : AppFile::GrayIcon);
    QIcon icon(file);
    if (!QFileInfo::exists(file) || icon.isNull()) {
        // The state must still show: fall back to the drawn symbol.
        std::fprintf(stderr, "Pallix: icon %s missing, using the built-in one\n",
                     file.toLocal8Bit().constData());
        icon = powerIcon(iconIndex == 0 ? PowerRed : PowerGray);
    }
    iconIndex_ = iconIndex;
    setWindowIcon(icon);
    trayIcon.setIcon(icon);
}

// The desktop's notification service shows it where there is one.
void frmPallixSysTray::notify(const QString &title, const QString &text)
{
    if (!mnuNotifications->isChecked() || !trayIcon.isVisible()) return;
    trayIcon.showMessage(title, text, QSystemTrayIcon::Information, NoticeMs);
    ++noticesShown_;
}

void frmPallixSysTray::closeEvent(QCloseEvent *event)
{
    trayIcon.hide();
    QWidget::closeEvent(event);
}

void frmPallixSysTray::trayMessage(int message)
{
    switch (decodeTrayMessage(message)) {
    case TrayMouseAction::RestoreAndMenu:
        setWindowState(windowState() & ~Qt::WindowMinimized);
        activateWindow();
        showMenu();
        break;
    case TrayMouseAction::Restore:
        setWindowState(windowState() & ~Qt::WindowMinimized);
        activateWindow();
        break;
    case TrayMouseAction::Menu:
        activateWindow();
        showMenu();
        break;
    case TrayMouseAction::Nothing: break;
    }
}

void frmPallixSysTray::showMenu()
{
    menuShown_ = true;
    mnuPopupSys.popup(QCursor::pos());
}

void frmPallixSysTray::mnuDiscoverDevicesClicked() { watch.rediscover(); }

void frmPallixSysTray::mnuExitClicked()
{
    // From here on nothing is reported: the application is ending.
    try {
        stopSelfTestsAndRestore();
    } catch (...) {}
    trayIcon.hide();
    endApplication(0);
}

void frmPallixSysTray::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && isMinimized()) hide();
    QWidget::changeEvent(event);
}
