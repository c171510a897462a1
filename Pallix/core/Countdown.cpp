#include "Countdown.h"

#include "AppState.h"
#include "DeviceSettings.h"
#include "LogFile.h"
#include "MonitorState.h"
#include "MousePointer.h"
#include "NrAPI.h"
#include "NrDiscovery.h"
#include "NrErrors.h"
#include "TickGuard.h"
#include "WinShutdown.h"

Countdown::Countdown()
{
    timer.setInterval(TickInterval);
    connect(&timer, &QTimer::timeout, this, &Countdown::tick);
}

void Countdown::shutdown(int mode, int seconds)
{
    ++run_;
    counting_ = true;
    skipLogged_ = false;
    monitorState().hold(MonitorHold::Countdown);
    delay_ = seconds;
    mode_ = mode;
    timer.start();
    if (view_) view_->showCountdown(mode_, delay_);
    emit started(mode_, delay_);
}

void Countdown::tick()
{
    const TickGuard guard(ticking_);
    if (!guard.entered() || !counting_) return;
    const unsigned run = run_;
    const InputCheck inputs = checkInputs();
    // The check let events run: a Cancel, a close or a new countdown handled
    // there ends this tick's part.
    if (!stillCounting(run)) return;
    if (inputs == InputCheck::PowerInputActive) {
        finish();
        emit abandoned();
        return;
    }
    --delay_;
    if (view_) view_->showSecondsLeft(delay_);
    if (delay_ < 1) runAction();
}

// The request was acknowledged, so it was real: while the device does not
// answer (it may have lost its network with the power) the count goes on
// without the input check.
Countdown::InputCheck Countdown::checkInputs()
{
    const bool deviceAnswers = monitorState().watching() && !appState().discoveryFailed;
    if (deviceAnswers) {
        try {
            return powerInputActive() ? InputCheck::PowerInputActive : InputCheck::Idle;
        } catch (const NrError &error) {
            showError(error);
        }
    }
    if (!skipLogged_) {
        skipLogged_ = true;
        logFile(inputCheckSkippedText());
    }
    return InputCheck::Skipped;
}

void Countdown::runAction()
{
    const int code = mode_;
    finish();
    doPowerAction(code);
    if (sleepsThePC(code)) monitorState().settle();
    emit actionRun(code);
}

void Countdown::now()
{
    if (counting_) delay_ = 1;
}

void Countdown::cancel()
{
    if (!counting_) return;
    finish();
    emit cancelled();
}

void Countdown::finish()
{
    counting_ = false;
    timer.stop();
    if (view_) view_->hideCountdown();
    monitorState().release(MonitorHold::Countdown);
}

bool powerInputActive()
{
    AppState &state = appState();
    if (state.discoveryFailed)
        throw NrError(1, QStringLiteral("Cannot Load Settings - Device Discovery Failed."));
    setMousePointer(MousePointer::ArrowHourglass);
    selectDeviceLettingEventsRun(watchedDevice());
    int status = 0;
    checkError(NrAPI::pallixGetGlobalStatus(status), QStringLiteral("Get Global Status"));
    state.lastGlobalStatus = status;
    const DeviceStatus inputs = readDeviceStatus();
    return (inputs.in1State == 1 && inputs.powerIn1Enable != 0)
           || (inputs.in2State == 1 && inputs.powerIn2Enable != 0);
}

bool sleepsThePC(int code) { return code == 3 || code == 4 || code == 7; }

QString inputCheckSkippedText()
{
    return QStringLiteral(
        "Countdown goes on without its power input check: the Pallix does not answer");
}
