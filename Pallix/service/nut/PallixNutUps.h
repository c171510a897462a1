// The Pallix as NUT's clients see it: the variables pallixd fills, with
// their descriptions and types. Unknown values are left out, as NUT's
// drivers leave them out.
#pragma once

#include "NutUps.h"

#include <optional>
#include <string>

struct PallixNutFacts {
    bool answers = false;                      // false: the data is stale
    std::string status = "OL";                 // ups.status: "OL" while watched
    std::string deviceAddress;                 // in the UPS's description
    std::string macAddress;                    // device.macaddr and device.serial
    std::string firmware;                      // ups.firmware
    std::optional<int> powerOffDelaySeconds;   // ups.delay.shutdown
    std::string driverVersion;                 // driver.version
};

NutUps pallixNutUps(const PallixNutFacts &facts);
