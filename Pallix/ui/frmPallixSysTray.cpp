#include "frmPallixSysTray.h"

#include "AppInstance.h"
#include "AppState.h"
#include "ConfigView.h"
#include "Desktop.h"
#include "NrAPI.h"
#include "NrErrors.h"
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
    connect(&watch, &DeviceWatch::searchShown, this, &frmPallixSysTray::ChangeIcon);
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
            Desktop::current().messageBox(QStringLiteral("Pallix Control Center is already running."),
                                          AppTitle(), MsgIcon::None, MsgButtons::OK);
            return false;
        }
        if (!waitForTray(trayWaitMs)) {
            Desktop::current().messageBox(
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
        watch.start();
        return !appState().Ending;
    } catch (const NrError &error) {
        ShowError(error);
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
        DelayMs(250);
    }
    return true;
}

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

void frmPallixSysTray::closeEvent(QCloseEvent *event)
{
    trayIcon.hide();
    QWidget::closeEvent(event);
}

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

void frmPallixSysTray::mnuDiscoverDevices_Click() { watch.rediscover(); }

void frmPallixSysTray::mnuExit_Click()
{
    // From here on nothing is reported: the application is ending.
    try {
        StopSelfTestsAndRestore();
    } catch (...) {
    }
    trayIcon.hide();
    EndApplication(0);
}

void frmPallixSysTray::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && isMinimized()) hide();
    QWidget::changeEvent(event);
}
