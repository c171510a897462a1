#include "NetworkOptions.h"

#include "NutServer.h"
#include "QtText.h"
#include "ServiceOptions.h"

#include <QRegularExpression>

namespace {

constexpr int MaxHostsyncSeconds = 3600;

ListenAddress listenAddress(const QString &name, const QString &value, quint16 defaultPort)
{
    try {
        return parseListenAddress(value, defaultPort);
    } catch (const ListenError &error) {
        throw ConfigError(QStringLiteral("%1: %2").arg(name, QString::fromStdString(error.what())));
    }
}

std::string matching(const QString &name, const QString &value, const QString &pattern,
                     const QString &what)
{
    if (!QRegularExpression(pattern).match(value).hasMatch())
        throw ConfigError(QStringLiteral("%1 is %2, not \"%3\"").arg(name, what, value));
    return stdText(value);
}

int hostsync(const QString &name, const QString &value)
{
    bool ok = false;
    const int seconds = value.toInt(&ok);
    if (!ok || seconds < 0 || seconds > MaxHostsyncSeconds)
        throw ConfigError(QStringLiteral("%1 is 0 to %2 seconds, not \"%3\"")
                              .arg(name)
                              .arg(MaxHostsyncSeconds)
                              .arg(value));
    return seconds;
}

}   // namespace

const std::vector<programdoc::Option> &networkOptions()
{
    static const std::vector<programdoc::Option> options{
        {"nut-address", "ADDR[:PORT]",
         "Serve the Pallix as a UPS to Network UPS Tools clients (upsc, upsmon as a secondary) "
         "on ADDR, a numeric address (0.0.0.0 for every network), at PORT or else 3493. Off "
         "unless set."},
        {"nut-ups-name", "NAME", "The UPS name NUT clients ask for (default: pallix)."},
        {"nut-user", "NAME",
         "The user name NUT secondaries log in with; with none, no client may log in."},
        {"nut-password", "SECRET",
         "The password that goes with nut-user. Taken from the configuration file only, so "
         "that it never shows in a process list."},
        {"nut-hostsync", "SECONDS",
         "When this PC's countdown ends, ups.status becomes \"FSD OL\" and pallixd waits until "
         "the logged-in NUT secondaries have logged out, at most SECONDS, before its own "
         "action (default: 15)."},
        {"metrics-address", "ADDR:PORT",
         "Serve Prometheus metrics (GET /metrics) on ADDR:PORT. Off unless set."},
    };
    return options;
}

programdoc::Section networkSection()
{
    return {"Network UPS Tools and metrics",
            "With nut-address, pallixd answers NUT's network protocol for one UPS, read-only: "
            "ups.status is \"OL\" while it watches the Pallix, and every variable reads as stale "
            "(ERR DATA-STALE) while the Pallix does not answer; device.macaddr and device.serial "
            "carry its MAC address, ups.firmware its firmware, ups.delay.shutdown its power-off "
            "delay in seconds (left out until the Pallix has told it), driver.name \"pallixd\". "
            "On another PC, upsmon.conf's line\n\n"
            "  MONITOR pallix@ADDR 1 NAME SECRET secondary\n\n"
            "makes that PC shut down with this one. When this PC's countdown reaches zero (or "
            "\"Now\"), ups.status becomes \"FSD OL\"; the secondaries log out and shut down, and "
            "pallixd runs its own action once they have all logged out or nut-hostsync seconds "
            "have passed, whichever comes first. A countdown that is cancelled or abandoned "
            "raises no FSD. FSD stays until pallixd restarts. A pallixd told to stop during that "
            "wait ends without its action, and says so.\n\n"
            "With metrics-address, GET /metrics answers in Prometheus' text format: whether the "
            "Pallix answers (pallix_device_up), its address, MAC address and firmware "
            "(pallix_device_info), its inputs and outputs (read every 10 seconds while watched), "
            "the global status, counts of power requests, power losses, failed polls and power "
            "actions, the countdown's seconds left and a histogram of poll round-trip times. "
            "Anything else gets 404, 405 or 400.\n\n"
            "An address that is not a numeric address ends pallixd with status 2; one that "
            "cannot be listened on (a port in use) ends it with status 1, naming the address."};
}

bool applyNetworkSetting(const QString &name, const QString &value, NetworkConfig &config)
{
    if (name == QLatin1String("nut-address"))
        config.nutAddress = listenAddress(name, value, NutServer::DefaultPort);
    else if (name == QLatin1String("nut-ups-name"))
        // upsc reads "ups@host".
        config.nutUpsName = matching(name, value, QStringLiteral("^[A-Za-z0-9_.-]+$"),
                                     QStringLiteral("letters, digits and _.- only"));
    else if (name == QLatin1String("nut-user"))
        // One word of upsmon.conf's MONITOR line.
        config.nutUser = matching(name, value, QStringLiteral(R"(^[^\s"]+$)"),
                                  QStringLiteral("one word without blanks or quotes"));
    else if (name == QLatin1String("nut-password"))
        config.nutPassword = stdText(value);
    else if (name == QLatin1String("nut-hostsync"))
        config.nutHostsyncSeconds = hostsync(name, value);
    else if (name == QLatin1String("metrics-address"))
        config.metricsAddress = listenAddress(name, value, 0);
    else
        return false;
    return true;
}

bool fromFileOnly(const QString &name) { return name == QLatin1String("nut-password"); }

void checkNetworkConfig(const NetworkConfig &config)
{
    if (!config.nutUser.empty() && config.nutPassword.empty())
        throw ConfigError(
            QStringLiteral("nut-user needs a nut-password in the configuration file"));
}
