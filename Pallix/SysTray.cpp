#include "SysTray.h"

TrayMessage TrayMessageFor(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger: return TrayLeftButtonUp;
    case QSystemTrayIcon::DoubleClick: return TrayLeftDoubleClick;
    case QSystemTrayIcon::Context: return TrayRightButtonUp;
    default: return TrayNoMessage;
    }
}

TrayMouseAction DecodeTrayMessage(int message)
{
    switch (message) {
    case TrayLeftButtonUp: return TrayMouseAction::RestoreAndMenu;
    case TrayLeftDoubleClick: return TrayMouseAction::Restore;
    case TrayRightButtonUp: return TrayMouseAction::Menu;
    default: return TrayMouseAction::Nothing;
    }
}

QString TrayTip() { return QStringLiteral("Nerrin Pallix™"); }

QString IconFileName(int IconIndex)
{
    return IconIndex == 0 ? QStringLiteral("NerrinRed.ico") : QStringLiteral("NerrinGray.ico");
}
