// The settings of pallixd's network servers (NUT and Prometheus metrics):
// their options for --help and the manual page, and how each is read.
#pragma once

#include "ListenAddress.h"
#include "ProgramDoc.h"

#include <QString>
#include <optional>
#include <string>
#include <vector>

struct NetworkConfig {
    std::optional<ListenAddress> nutAddress;   // none: no NUT server
    std::string nutUpsName = "pallix";
    std::string nutUser;   // none: no client may LOGIN
    std::string nutPassword;
    int nutHostsyncSeconds = 15;
    std::optional<ListenAddress> metricsAddress;   // none: no metrics
};

const std::vector<programdoc::Option> &networkOptions();
// The manual page's section on the two servers.
programdoc::Section networkSection();

// Takes one setting of the table; false when name is none of them. Throws
// ConfigError for a value that cannot be used.
bool applyNetworkSetting(const QString &name, const QString &value, NetworkConfig &config);
// Settings that never come from the command line, which anyone may read in ps.
bool fromFileOnly(const QString &name);
// What the settings mean together; throws ConfigError.
void checkNetworkConfig(const NetworkConfig &config);
