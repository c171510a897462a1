#include "WatchSummary.h"

#include "AppState.h"
#include "DeviceWatch.h"
#include "WinShutdown.h"

namespace {

const QString Name = QStringLiteral("Pallix Control Center");

// "Shutdown", or a plain word for codes without a name.
QString actionOf(int mode)
{
    const QString name = actionName(mode);
    return name.isEmpty() ? QStringLiteral("The power action") : name;
}

}   // namespace

WatchSummary::WatchSummary(DeviceWatch &watch, std::function<QDateTime()> now)
    : now_(std::move(now))
{
    connect(&watch, &DeviceWatch::deviceFound, this, &WatchSummary::found);
    connect(&watch, &DeviceWatch::deviceLost, this, &WatchSummary::lost);
    connect(&watch, &DeviceWatch::searchShown, this, &WatchSummary::searching);
    connect(&watch, &DeviceWatch::powerRequest, this, [this](int mode, int seconds) {
        emit notice(QStringLiteral("Power action requested"),
                    QStringLiteral("%1 in %2 second(s). Cancel it in the countdown window.")
                        .arg(actionOf(mode))
                        .arg(seconds));
    });
    connect(&watch, &DeviceWatch::countdownCancelled, this, [this] {
        emit notice(QStringLiteral("Power action cancelled"),
                    QStringLiteral("The countdown was cancelled; nothing runs."));
    });
    connect(&watch, &DeviceWatch::countdownAbandoned, this, [this] {
        emit notice(
            QStringLiteral("Power action abandoned"),
            QStringLiteral("An enabled power input of the Pallix is active; nothing runs."));
    });
    connect(&watch, &DeviceWatch::powerLost, this, [this] {
        emit notice(QStringLiteral("Pallix lost power"),
                    QStringLiteral("Its configuration settings were lost."));
    });
}

QString WatchSummary::toolTip() const
{
    switch (state_) {
    case State::Watching:
        return Name + QStringLiteral(" — watching %1 (firmware %2)").arg(address_, firmware_);
    case State::Lost:
        return Name
               + QStringLiteral(" — device lost since %1")
                     .arg(lostSince_.toString(QStringLiteral("HH:mm")));
    case State::Searching: break;
    }
    return Name + QStringLiteral(" — searching");
}

void WatchSummary::found(const QString &address)
{
    const bool wasLost = state_ == State::Lost;
    address_ = address;
    firmware_ = appState().firmwareVersion;
    changeTo(State::Watching);
    if (wasLost)
        emit notice(QStringLiteral("Pallix found again"),
                    QStringLiteral("Watching the Pallix at %1 again.").arg(address_));
}

void WatchSummary::lost()
{
    lostSince_ = now_();
    changeTo(State::Lost);
    emit notice(
        QStringLiteral("Pallix lost"),
        QStringLiteral("The Pallix at %1 does not answer; the Control Center searches for it.")
            .arg(address_));
}

// A search of its own (at start, or asked for from the menu) is not a loss;
// a search that finds the device again may have found another one first.
void WatchSummary::searching(int iconIndex)
{
    if (state_ != State::Watching) return;
    if (iconIndex != 0) {
        changeTo(State::Searching);
        return;
    }
    address_ = appState().deviceList.value(0);
    firmware_ = appState().firmwareVersion;
    changeTo(State::Watching);
}

void WatchSummary::changeTo(State state)
{
    state_ = state;
    emit toolTipChanged(toolTip());
}
