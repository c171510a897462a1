// The last configuration read from or written to each device, kept by its
// MAC address in a state folder: one file per device, devices/<MAC>.conf,
// holding the lines of an export.
//
// After a power loss the device holds its factory defaults, and a read then
// must not replace the good configuration kept before it. So a loss is
// marked (devices/<MAC>.power-lost, on disk so that a restart does not
// forget it), and while it is marked reads are not kept; a complete
// configuration written to the device (a restore, the configuration
// window's OK or Apply, an import of every setting) is kept and ends it.
#pragma once

#include "device/DeviceSettings.h"

#include <optional>
#include <set>
#include <string>

class SavedConfigs {
public:
    // The state folder; devices/ is made below it when first needed. Empty
    // (the default) keeps nothing.
    void setFolder(const std::string &folder);
    bool keeping() const { return !folder_.empty(); }

    // The file kept for a device; empty when nothing is kept or the MAC
    // address is none.
    std::string pathOf(const std::string &mac) const;
    bool has(const std::string &mac) const;
    // The kept configuration, or none and why (no file, or one that cannot
    // be used: the line and what is wrong with it).
    std::optional<DeviceConfig> load(const std::string &mac, std::string *error) const;

    // A complete read: kept unless a power loss is marked or the read
    // itself reports one (which marks it).
    void read(const std::string &mac, const LoadedSettings &loaded);
    // A complete configuration written to the device: kept; a marked loss ends.
    void written(const std::string &mac, const DeviceConfig &config);
    // The device lost power: what it holds from now on is not kept.
    void powerLost(const std::string &mac);
    bool powerLossMarked(const std::string &mac) const;
    // Whether this read would change the kept file: a folder, a MAC
    // address, no loss marked and another configuration kept.
    bool wouldKeep(const std::string &mac, const DeviceConfig &config) const;

private:
    void keep(const std::string &mac, const DeviceConfig &config);
    std::string markerOf(const std::string &mac) const;

    std::string folder_;
    std::set<std::string> lost_;   // marked this run, also where the mark could not be written
};

SavedConfigs &savedConfigs();

// "02-50-4C-00-00-01" for six hexadecimal pairs with one separator between
// neighbours, whatever the separator and case; empty for anything else.
std::string macKey(const std::string &mac);

// The MAC address of the device at this address, as the last discovery
// heard it; empty when unknown.
std::string macOfDevice(const std::string &address);

// For the device at an address (its MAC from the last discovery; nothing is
// kept for a device whose MAC address is not known):
// A configuration just read from it, kept as a read is once the device
// confirms it: a second read that agrees. Nothing is asked of the device
// when nothing would change; a read that fails keeps nothing and is not
// reported (the monitor finds a device that stops answering).
loop::Task<> keepDeviceConfig(std::string address, DeviceConfig read);
void keepWritten(const std::string &address, const DeviceConfig &config);
