// The notification icon's fixed texts and the decoding of mouse actions on it.
#pragma once

#include "app/TrayMouse.h"

#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

TrayMessage trayMessageFor(QSystemTrayIcon::ActivationReason reason);

// Turns the icon's activations, which arrive on button press, into the
// messages the tray window acts on: a menu opens once its button is
// released, and a left click waits out the double-click time, so a double
// click shows no menu.
class TrayClicks : public QObject {
    Q_OBJECT
public:
    TrayClicks();
    void activated(QSystemTrayIcon::ActivationReason reason);

signals:
    void message(int message);

private:
    void afterRelease(TrayMessage message);

    QTimer singleClick_;   // a left click that may become a double click
    QTimer release_;       // waiting for the button to come up
    TrayMessage waiting_ = TrayNoMessage;
    int releasePolls_ = 0;
};

