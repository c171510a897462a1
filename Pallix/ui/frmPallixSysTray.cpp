#include "frmPallixSysTray.h"

#include "PowerIcon.h"
#include "QtText.h"
#include "SysTray.h"
#include "app/AppInstance.h"
#include "app/AppPaths.h"
#include "app/AppState.h"
#include "app/Desktop.h"
#include "app/NrErrors.h"
#include "app/ShellExecute.h"
#include "app/StartUp.h"
#include "frmAbout.h"
#include "frmPallix.h"
#include "frmSelftTest.h"
#include "selftest/SelfTest.h"
#include "watch/ConfigView.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>
#include <cstdio>

namespace {

const QString NotificationsKey = QStringLiteral("notifications");

// Notifications are on until the user switches them off; the choice lasts.
bool notificationsWanted() { return QSettings().value(NotificationsKey, true).toBool(); }
void rememberNotificationsWanted(bool wanted) { QSettings().setValue(NotificationsKey, wanted); }

// Menu handlers report their errors like every event handler.
template <typename Handler> auto reported(Handler handler)
{
    return [handler] { reportingErrors(handler); };
}

}   // namespace

frmPallixSysTray::frmPallixSysTray()
{
    setWindowTitle(QStringLiteral("Nerrin Pallix™"));
    setWindowIcon(powerIcon(PowerRed));
    buildMenu();
    connect(&trayIcon, &QSystemTrayIcon::activated, &clicks, &TrayClicks::activated);
    connect(&clicks, &TrayClicks::message, this, &frmPallixSysTray::trayMessage);
    watch.addObserver(this);
    setConfigView(&configWindowView());
}

frmPallixSysTray::~frmPallixSysTray()
{
    setConfigView(nullptr);
    watch.removeObserver(this);
    trayIcon.hide();
}

void frmPallixSysTray::buildMenu()
{
    mnuPopupSys.setTitle(QStringLiteral("Popup"));
    mnuPopupSys.addAction(QStringLiteral("&Configure Pallix™"), this, reported(showConfig));
    mnuPopupSys.addAction(QStringLiteral("&Discovery Process"), this,
                          [this] { mnuDiscoverDevicesClicked(); });
    mnuPopupSys.addAction(QStringLiteral("Self Test"), this, reported([this] {
                              showSelfTest(
                                  [this](int status) { watch.monitor.handlePolledStatus(status); });
                          }));
    mnuPopupSys.addSeparator();
    // Offered where the build names the maker's support page.
    if (!supportPageUrl().empty())
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
    StartDecision decision = mayStart([&] { return waitForTray(trayWaitMs); });
    if (!decision.goesOn()) return false;
    if (!decision.standingBy.empty()) {
        sayWhyNotWatching(decision.standingBy);
        return true;
    }
    monitorLock_ = std::move(decision.monitorLock);
    trayIcon.setIcon(windowIcon());
    trayIcon.setToolTip(qText(summary.toolTip()));
    trayIcon.show();
    watch.start();
    return !appState().ending;
}

// A login session may start its panel after the application. Nothing else
// runs yet, so the wait may hold the start-up.
bool frmPallixSysTray::waitForTray(int waitMs)
{
    constexpr int PollMs = 250;
    QElapsedTimer waited;
    waited.start();
    while (!Desktop::current().trayAvailable()) {
        if (waited.elapsed() >= waitMs) return false;
        QEventLoop pause;
        QTimer::singleShot(PollMs, &pause, &QEventLoop::quit);
        pause.exec();
    }
    return true;
}

namespace {

// The installed theme's icon is scalable, so it stays sharp at any scale;
// a copied program folder has its .ico files; the drawn symbol is the last
// resort, for the state must still show.
QIcon trayIconFor(int iconIndex)
{
    const bool found = iconIndex == 0;
    const QString file = qText(appFile(found ? AppFile::RedIcon : AppFile::GrayIcon));
    QIcon icon = QIcon::fromTheme(found ? QStringLiteral("pallix") : QStringLiteral("pallix-searching"));
    if (icon.isNull() && QFileInfo::exists(file)) icon = QIcon(file);
    if (icon.isNull()) {
        std::fprintf(stderr, "Pallix: icon %s missing, using the built-in one\n",
                     file.toLocal8Bit().constData());
        icon = powerIcon(found ? PowerRed : PowerGray);
    }
    return icon;
}

}   // namespace

void frmPallixSysTray::changeIcon(int iconIndex)
{
    const QIcon icon = trayIconFor(iconIndex);
    iconIndex_ = iconIndex;
    setWindowIcon(icon);
    trayIcon.setIcon(icon);
}

void frmPallixSysTray::showToolTip(const std::string &toolTip)
{
    trayIcon.setToolTip(qText(toolTip));
}

// The gray icon, its tooltip and one notification say it; then it ends.
void frmPallixSysTray::sayWhyNotWatching(const std::string &why)
{
    changeIcon(1);
    trayIcon.setToolTip(qText(why));
    trayIcon.show();
    notify(appTitle(), why);
    QTimer::singleShot(StandByMs, this, [this] {
        trayIcon.hide();
        QCoreApplication::quit();
    });
}

// The desktop's notification service shows it where there is one.
void frmPallixSysTray::notify(const std::string &title, const std::string &text)
{
    if (!mnuNotifications->isChecked() || !trayIcon.isVisible()) return;
    trayIcon.showMessage(qText(title), qText(text), QSystemTrayIcon::Information, NoticeMs);
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

// The icon goes at once; a running write test writes the settings back
// before the application ends.
void frmPallixSysTray::mnuExitClicked()
{
    trayIcon.hide();
    tasks_.spawn(endAfterSelfTests());
}

void frmPallixSysTray::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && isMinimized()) hide();
    QWidget::changeEvent(event);
}
