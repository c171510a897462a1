// The mouse on the notification icon: the message numbers the notification
// area reports and what the tray window does for each.
#pragma once

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

TrayMouseAction decodeTrayMessage(int message);
