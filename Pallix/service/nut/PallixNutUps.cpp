#include "PallixNutUps.h"

namespace {

constexpr char Text[] = "STRING:64";
constexpr char Number[] = "NUMBER";

void add(NutUps &ups, const char *name, const std::string &value, const char *description,
         const char *type = Text)
{
    if (!value.empty()) ups.variables.push_back({name, value, description, type});
}

}   // namespace

// In the order of their names, as NUT lists them. The device is a power
// source that asks its PC to shut down, which is what NUT calls a UPS.
NutUps pallixNutUps(const PallixNutFacts &facts)
{
    NutUps ups;
    ups.description =
        "Nerrin Pallix" + (facts.deviceAddress.empty() ? "" : " at " + facts.deviceAddress);
    ups.stale = !facts.answers;
    add(ups, "device.macaddr", facts.macAddress, "Physical network (MAC) address of the device");
    add(ups, "device.mfr", "Nerrin", "Device manufacturer");
    add(ups, "device.model", "Pallix", "Device model");
    add(ups, "device.serial", facts.macAddress, "Device serial number (its MAC address)");
    add(ups, "device.type", "ups", "Device type (ups, pdu, scd, psu, ats)");
    add(ups, "driver.name", "pallixd", "Driver name");
    add(ups, "driver.version", facts.driverVersion, "Driver version");
    if (facts.powerOffDelaySeconds)
        add(ups, "ups.delay.shutdown", std::to_string(*facts.powerOffDelaySeconds),
            "Delay before the Pallix powers off (seconds)", Number);
    add(ups, "ups.firmware", facts.firmware, "UPS firmware");
    add(ups, "ups.mfr", "Nerrin", "UPS manufacturer");
    add(ups, "ups.model", "Pallix", "UPS model");
    add(ups, "ups.status", facts.status, "UPS status (OL: on line, FSD: forced shutdown)");
    return ups;
}
