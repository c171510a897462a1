#include "SysTray.h"

#include <QGuiApplication>
#include <QStyleHints>
#include <utility>

namespace {

constexpr int ReleasePollMs = 20;
constexpr int ReleasePollLimit = 250;   // a button held longer counts as released

}   // namespace

TrayMessage trayMessageFor(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger: return TrayLeftButtonUp;
    case QSystemTrayIcon::DoubleClick: return TrayLeftDoubleClick;
    case QSystemTrayIcon::Context: return TrayRightButtonUp;
    default: return TrayNoMessage;
    }
}

TrayClicks::TrayClicks()
{
    singleClick_.setSingleShot(true);
    connect(&singleClick_, &QTimer::timeout, this, [this] { afterRelease(TrayLeftButtonUp); });
    release_.setInterval(ReleasePollMs);
    connect(&release_, &QTimer::timeout, this, [this] {
        if (QGuiApplication::mouseButtons() != Qt::NoButton && ++releasePolls_ < ReleasePollLimit)
            return;
        release_.stop();
        emit message(std::exchange(waiting_, TrayNoMessage));
    });
}

void TrayClicks::activated(QSystemTrayIcon::ActivationReason reason)
{
    switch (trayMessageFor(reason)) {
    case TrayLeftButtonUp:
        singleClick_.start(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        break;
    case TrayLeftDoubleClick:
        singleClick_.stop();
        if (waiting_ == TrayLeftButtonUp) release_.stop();
        emit message(TrayLeftDoubleClick);
        break;
    case TrayRightButtonUp: afterRelease(TrayRightButtonUp); break;
    case TrayNoMessage: break;
    }
}

void TrayClicks::afterRelease(TrayMessage message)
{
    waiting_ = message;
    releasePolls_ = 0;
    release_.start();
}
