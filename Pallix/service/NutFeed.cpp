#include "NutFeed.h"

#include "QtText.h"
#include "ServiceEvents.h"
#include "app/AppState.h"
#include "app/LogFile.h"
#include "app/NrErrors.h"
#include "device/NrAPI.h"
#include "device/RegisterAccess.h"
#include "watch/DeviceMonitor.h"
#include "watch/DeviceWatch.h"
#include "watch/MonitorState.h"

#include <cstdio>

namespace {

// Device thread.
int32_t readPowerOffDelayRegister()
{
    int32_t halfSeconds = 0;
    checkError(NrAPI::pallixGetPowerOffDelay(halfSeconds), "Get Power Off Delay");
    return halfSeconds;
}

NutSettings nutSettings(const NetworkConfig &config)
{
    NutSettings settings;
    settings.upsName = config.nutUpsName;
    settings.user = config.nutUser;
    settings.password = config.nutPassword;
    settings.version = "pallixd " + programdoc::version();
    return settings;
}

std::string secondaries(int count)
{
    return std::to_string(count) + (count == 1 ? " secondary" : " secondaries");
}

std::string secondsSince(std::chrono::steady_clock::time_point start)
{
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", took.count());
    return text;
}

std::string notRunText(const std::string &action)
{
    return "pallixd was told to stop while the NUT secondaries shut down: " + action
           + " does not run";
}

}   // namespace

NutFeed::NutFeed(DeviceWatch &watch, const NetworkConfig &config)
    : watch_(watch), hostsync_(config.nutHostsyncSeconds),
      server_(nutSettings(config), [this] { return pallixNutUps(facts()); })
{
    watch_.addObserver(this);
    QObject::connect(&server_, &NutServer::loginsChanged,
                     [](int count) { logFile("NUT: " + secondaries(count) + " logged in"); });
    QObject::connect(&server_, &NutServer::clientRefused, [](const QString &) {
        logFile("NUT: a client was refused: " + std::to_string(NutServer::MaxClients)
                + " are connected");
    });
}

NutFeed::~NutFeed()
{
    if (actionWaiting_) logFile(notRunText(*actionWaiting_));
    watch_.countdown.beforeAction = nullptr;
    watch_.removeObserver(this);
}

void NutFeed::listen(const ListenAddress &address)
{
    server_.listen(address);
    watch_.countdown.beforeAction = [this](int mode) { return forcedShutdown(mode); };
}

PallixNutFacts NutFeed::facts() const
{
    const AppState &state = appState();
    PallixNutFacts facts;
    facts.answers = monitorState().watching();
    facts.deviceAddress = state.firstDevice();
    facts.macAddress = state.macAddress;
    facts.firmware = state.firmwareVersion;
    facts.powerOffDelaySeconds = powerOffDelaySeconds_;
    facts.driverVersion = programdoc::version();
    return facts;
}

void NutFeed::deviceFound(const std::string &) { readPowerOffDelay(); }

void NutFeed::deviceLost()
{
    ++found_;
    powerOffDelaySeconds_.reset();
}

// The monitor read the delay with the request.
void NutFeed::powerRequest(int, int seconds) { powerOffDelaySeconds_ = seconds; }

// The device's configuration went back to its defaults.
void NutFeed::powerLost() { readPowerOffDelay(); }

loop::Task<> NutFeed::settingsWritten() { return readPowerOffDelayNow(); }

void NutFeed::readPowerOffDelay() { tasks_.spawn(readPowerOffDelayNow()); }

// A failed read leaves the delay as it was: the monitor finds out whether
// the device is lost.
loop::Task<> NutFeed::readPowerOffDelayNow()
{
    if (!monitorState().watching()) co_return;
    const std::string address = appState().firstDevice();
    const unsigned found = found_;
    try {
        const int32_t halfSeconds = co_await onDevice(address, &readPowerOffDelayRegister);
        if (found == found_) powerOffDelaySeconds_ = halfSecondsToSeconds(halfSeconds);
    } catch (const NrError &) {}
}

loop::Task<> NutFeed::forcedShutdown(int mode)
{
    const std::string action = stdText(countdownActionName(mode));
    const int logins = server_.loginCount();
    server_.raiseForcedShutdown();
    if (logins == 0) {
        logFile("NUT: forced shutdown (ups.status \"FSD OL\"); no secondary is logged in, " + action
                + " runs now");
        co_return;
    }
    logFile("NUT: forced shutdown (ups.status \"FSD OL\"): " + action + " waits for "
            + secondaries(logins) + " to log out, at most " + std::to_string(hostsync_.count())
            + " s");
    const auto started = std::chrono::steady_clock::now();
    actionWaiting_ = action;
    co_await secondariesLoggedOut();
    actionWaiting_.reset();
    const int left = server_.loginCount();
    if (left == 0)
        logFile("NUT: " + secondaries(logins) + " logged out after " + secondsSince(started)
                + " s");
    else
        logFile("NUT: hostsync time passed with " + std::to_string(left) + " still logged in");
    if (appState().ending) logFile(notRunText(action));
}

loop::Task<> NutFeed::secondariesLoggedOut()
{
    server_.waitForSecondaries(hostsync_, [this] { secondariesGone_.set(); });
    co_await secondariesGone_.wait();
}
