#include "watch/NrDiscovery.h"

#include "app/AppState.h"
#include "app/Desktop.h"
#include "app/LogFile.h"
#include "app/NrErrors.h"
#include "app/Text.h"
#include "device/DeviceThread.h"
#include "device/NrAPI.h"
#include "loop/Waits.h"
#include "watch/ConfigView.h"
#include "watch/MonitorState.h"

namespace {

// What one pass heard, as the library keeps it after the probe.
struct Probed {
    int count = 0;
    std::string mac;
    std::string firmware;
    std::vector<std::string> records;   // one reply text per device
};

// Device thread: the probe to each network in turn, until one answers.
Probed probe(const std::vector<LocalNetwork> &networks, const std::string &fixedDevice)
{
    Probed heard;
    if (!fixedDevice.empty()) {
        NrAPI::NrDiscovery(fixedDevice);
        heard.count = NrAPI::NrDiscoveryCount();
    } else {
        for (const LocalNetwork &network : networks) {
            NrAPI::NrDiscovery(discoveryTarget(network));
            heard.count = NrAPI::NrDiscoveryCount();
            if (heard.count > 0) break;
        }
    }
    if (heard.count < 1) return heard;
    heard.mac = NrAPI::NrGetMACAddress();
    heard.firmware = NrAPI::NrGetFirmwareVersion();
    for (int i = 0; i < heard.count; ++i)
        heard.records.push_back(NrAPI::NrGetDevice(i));
    return heard;
}

void storeDevices(const Probed &heard)
{
    AppState &state = appState();
    state.discoveryFailed = false;
    state.macAddress = heard.mac;
    state.firmwareVersion = heard.firmware;
    state.deviceCount = heard.count;
    state.deviceRecords = heard.records;
    state.deviceList.assign(size_t(heard.count) + 1, std::string());
    state.macAddresses.clear();
    for (int i = 0; i < heard.count; ++i) {
        const std::string &record = heard.records[size_t(i)];
        state.deviceList[size_t(i)] = deviceAddressFromReply(record);
        state.macAddresses[state.deviceList[size_t(i)]] = macAddressFromReply(record);
        if (configViewVisible()) configView()->loadDevices();
    }
}

}   // namespace

loop::Task<> runDiscovery()
{
    AppState &state = appState();
    try {
        co_await loop::letEventsRun();
        setMousePointer(MousePointer::Hourglass);
        const std::vector<LocalNetwork> networks = discoveryNetworks();
        const Probed heard = co_await device().call(&probe, networks, state.fixedDevice);
        if (heard.count < 1) {
            state.discoveryFailed = true;
            logFile("Discovery Count < 1 ");
            co_return;
        }
        storeDevices(heard);
        setMousePointer(MousePointer::Default);
        state.discoveryFailed = state.deviceCount <= 0;
        if (state.deviceCount > 0) monitorState().setWatching(true);
    } catch (const NrError &error) {
        showError(error);
    }
}

std::string deviceAddressFromReply(const std::string &reply)
{
    const std::vector<std::string> fields = split(reply, ':');
    if (fields.size() < 4) throw NrError(1, "No Pallix detected.");
    return fields[2];
}

namespace {

std::string afterField(const std::string &reply, int field, size_t limit)
{
    std::string text;
    int colons = 0;
    for (const char c : reply) {
        if (c == ':')
            ++colons;
        else if (colons >= field && text.size() < limit)
            text += c;
    }
    return text;
}

}   // namespace

std::string macAddressFromReply(const std::string &reply) { return afterField(reply, 4, 17); }

std::string firmwareVersionFromReply(const std::string &reply) { return afterField(reply, 6, 5); }

std::string watchedDevice()
{
    const std::vector<std::string> &devices = appState().deviceList;
    if (devices.empty()) throw NrError(9, "Subscript out of range");
    return devices.front();
}
