#include "watch/Countdown.h"

#include "app/AppState.h"
#include "app/Desktop.h"
#include "app/LogFile.h"
#include "app/NrErrors.h"
#include "device/DeviceThread.h"
#include "device/RegisterAccess.h"
#include "loop/Raised.h"
#include "loop/Waits.h"
#include "watch/MonitorState.h"
#include "watch/NrDiscovery.h"
#include "watch/WinShutdown.h"

#include <optional>

Countdown::Countdown(WatchEvents &events) : events_(events)
{
    timer.setInterval(TickInterval);
    timer.onTimeout = [this] { tick(); };
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
    events_.powerRequest(mode_, delay_);
}

void Countdown::tick()
{
    if (ticking_ || !counting_ || appState().ending) return;
    tasks_.spawn(runTick());
}

loop::Task<> Countdown::runTick()
{
    const loop::Raised running(ticking_);
    const unsigned run = run_;
    const InputCheck inputs = co_await checkInputs();
    // Cancel, a close or a new countdown handled while the check waited ends
    // this tick's part.
    if (!stillCounting(run)) co_return;
    if (inputs == InputCheck::PowerInputActive) {
        finish();
        events_.countdownAbandoned();
        co_return;
    }
    --delay_;
    if (view_) view_->showSecondsLeft(delay_);
    if (delay_ >= 1) co_return;
    co_await loop::letEventsRun();
    if (beforeDeciding) co_await beforeDeciding();
    if (!stillCounting(run)) co_return;
    co_await runAction();
}

// The request was acknowledged, so it was real: while the device does not
// answer (it may have lost its network with the power) the count goes on
// without the input check.
loop::Task<Countdown::InputCheck> Countdown::checkInputs()
{
    if (monitorState().watching() && !appState().discoveryFailed) {
        std::optional<NrError> failure;
        try {
            co_return co_await powerInputActive() ? InputCheck::PowerInputActive : InputCheck::Idle;
        } catch (const NrError &error) {
            failure = error;
        }
        showError(*failure);
    }
    if (!skipLogged_) {
        skipLogged_ = true;
        logFile(inputCheckSkippedText());
    }
    co_return InputCheck::Skipped;
}

loop::Task<> Countdown::runAction()
{
    const int code = mode_;
    finish();
    if (beforeAction) {
        const MonitorHoldScope held(MonitorHold::Countdown);
        co_await beforeAction(code);
        // Told to end meanwhile: whoever ends the program decides, not the hook's wait.
        if (appState().ending) co_return;
    }
    doPowerAction(code);
    if (sleepsThePC(code)) monitorState().settle();
    events_.powerAction(code);
}

void Countdown::now()
{
    if (counting_) delay_ = 1;
}

void Countdown::cancel(const std::string &reason)
{
    if (!counting_) return;
    finish();
    events_.countdownCancelled(reason);
}

void Countdown::finish()
{
    counting_ = false;
    timer.stop();
    if (view_) view_->hideCountdown();
    monitorState().release(MonitorHold::Countdown);
}

loop::Task<bool> powerInputActive()
{
    AppState &state = appState();
    if (state.discoveryFailed) throw NrError(1, "Cannot Load Settings - Device Discovery Failed.");
    setMousePointer(MousePointer::ArrowHourglass);
    const std::string address = watchedDevice();
    co_await device().call(&registers::selectDevice, address);
    co_await loop::letEventsRun();
    state.lastGlobalStatus = co_await onDevice(address, &registers::readGlobalStatus);
    const DeviceStatus inputs = co_await onDevice(address, &registers::readStatus);
    co_return (inputs.in1State == 1 && inputs.powerIn1Enable != 0)
        || (inputs.in2State == 1 && inputs.powerIn2Enable != 0);
}

bool sleepsThePC(int code) { return code == 3 || code == 4 || code == 7; }

std::string inputCheckSkippedText()
{
    return "Countdown goes on without its power input check: the Pallix does not answer";
}
