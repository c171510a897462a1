// The notification icon's fixed texts and the decoding of mouse actions on it.
#pragma once

#include <QString>
#include <QSystemTrayIcon>

// Mouse message numbers as the notification area reports them.
enum TrayMessage {
    TrayNoMessage = 0,
    TrayLeftButtonUp = 514,
    TrayLeftDoubleClick = 515,
    TrayRightButtonUp = 517,
};

enum class TrayMouseAction {
    Nothing,
    RestoreAndMenu,   // left button released
    Restore,          // left double-click: no menu
    Menu,             // right button released
};

TrayMessage TrayMessageFor(QSystemTrayIcon::ActivationReason reason);
TrayMouseAction DecodeTrayMessage(int message);

QString TrayTip();                    // "Nerrin Pallix™"
QString IconFileName(int IconIndex);  // "NerrinRed.ico" for 0, else "NerrinGray.ico"
