#include "frmPallixSysTray.h"

#include "AppInstance.h"
#include "AppState.h"
#include "MonitorState.h"
#include "NrAPI.h"
#include "NrErrors.h"
#include "Platform.h"
#include "PowerIcon.h"
#include "SysTray.h"
#include "TimeDelay.h"
#include "WindowHooks.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <cstdio>

namespace {

// Menu handlers report their errors like every event handler.
template <typename Handler>
auto reported(Handler handler)
{
    return [handler] {
        try {
            handler();
        } catch (const NrError &error) {
            ShowError(error);
        }
    };
}

}  // namespace

frmPallixSysTray::frmPallixSysTray()
{
    setWindowTitle(QStringLiteral("Nerrin Pallix™"));
    setWindowIcon(powerIcon(PowerRed));
    buildMenu();
    connect(&trayIcon, &QSystemTrayIcon::activated, &clicks, &TrayClicks::activated);
    connect(&clicks, &TrayClicks::message, this, &frmPallixSysTray::trayMessage);
    setTrayControl(this);
}

frmPallixSysTray::~frmPallixSysTray()
{
    setTrayControl(nullptr);
    trayIcon.hide();
}

void frmPallixSysTray::buildMenu()
{
    mnuPopupSys.setTitle(QStringLiteral("Popup"));
    mnuPopupSys.addAction(QStringLiteral("&Configure Pallix™"), this, reported(ShowConfig));
    mnuPopupSys.addAction(QStringLiteral("&Discovery Process"), this,
                          [this] { mnuDiscoverDevices_Click(); });
    mnuPopupSys.addAction(QStringLiteral("Self Test"), this, reported(ShowSelfTest));
    mnuPopupSys.addSeparator();
    mnuPopupSys.addAction(QStringLiteral("Update &App"), this, reported(OpenSupportPage));
    // Firmware updates are offered by the firmware check after discovery.
    mnuPopupSys.addAction(QStringLiteral("Update &Firmware"))->setEnabled(false);
    mnuPopupSys.addSeparator();
    mnuPopupSys.addAction(QStringLiteral("Pallix™ &User Guide"), this, reported(OpenUserGuide));
    mnuPopupSys.addAction(QStringLiteral("A&bout Nerrin Pallix™"), this, reported(ShowAbout));
    mnuPopupSys.addSeparator();
    mnuPopupSys.addAction(QStringLiteral("E&xit"), this, [this] { mnuExit_Click(); });
}

bool frmPallixSysTray::start(int trayWaitMs)
{
    try {
        if (AnotherInstanceRunning()) {
            Platform::current().messageBox(QStringLiteral("Pallix Control Center is already running."),
                                           AppTitle(), MsgIcon::None, MsgButtons::OK);
            return false;
        }
        if (!waitForTray(trayWaitMs)) {
            Platform::current().messageBox(
                QStringLiteral("This desktop has no notification area, so the Pallix Control "
                               "Center cannot show its icon."),
                AppTitle(), MsgIcon::Critical, MsgButtons::OK);
            return false;
        }
        QString reason;
        if (!NrAPI::load(&reason))
            throw NrError(48, QStringLiteral("Cannot load the device library: ") + reason);

        trayIcon.setIcon(windowIcon());
        trayIcon.setToolTip(TrayTip());
        trayIcon.show();
        search.start(DeviceSearch::StartupInterval);
        search.tick();
        return !appState().Ending;
    } catch (const NrError &error) {
        ShowError(error);
        removeIcon();
        return false;
    }
}

// A login session may start its panel after the application.
bool frmPallixSysTray::waitForTray(int waitMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!Platform::current().trayAvailable()) {
        if (waited.elapsed() >= waitMs) return false;
        DelayMs(250);
    }
    return true;
}

void frmPallixSysTray::enableDiscoveryTimer() { search.tmrDiscovery.start(); }

void frmPallixSysTray::ChangeIcon(int IconIndex)
{
    const QString file = appState().AppPath + IconFileName(IconIndex);
    QIcon icon(file);
    if (!QFileInfo::exists(file) || icon.isNull()) {
        // The state must still show: fall back to the drawn symbol.
        std::fprintf(stderr, "Pallix: icon %s missing, using the built-in one\n",
                     file.toLocal8Bit().constData());
        icon = powerIcon(IconIndex == 0 ? PowerRed : PowerGray);
    }
    iconIndex_ = IconIndex;
    setWindowIcon(icon);
    trayIcon.setIcon(icon);
    trayIcon.setToolTip(TrayTip());
}

void frmPallixSysTray::removeIcon() { trayIcon.hide(); }

void frmPallixSysTray::trayMessage(int message)
{
    switch (DecodeTrayMessage(message)) {
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

void frmPallixSysTray::handlePolledStatus(int status) { monitor.handlePolledStatus(status); }

void frmPallixSysTray::mnuDiscoverDevices_Click()
{
    monitorState().setWatching(false);
    search.start(DeviceSearch::SlowInterval);
    search.tick();
}

void frmPallixSysTray::mnuExit_Click()
{
    // From here on nothing is reported: the application is ending.
    try {
        StopSelfTestAndRestore();
    } catch (...) {
    }
    EndApplication(0);
}

void frmPallixSysTray::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && isMinimized()) hide();
    QWidget::changeEvent(event);
}
