#include "UpdaterOptions.h"

#if defined(_WIN32)
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#endif

bool isDottedIPv4(const std::string &text) {
    // inet_pton takes exactly four decimal parts, unlike inet_addr, which
    // would also read "10.1" or hex parts as an address.
    in_addr parsed{};
    return inet_pton(AF_INET, text.c_str(), &parsed) == 1;
}

UpdaterOptions parseUpdaterOptions(const std::vector<std::string> &arguments) {
    UpdaterOptions options;
    for (const std::string &argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            options.action = UpdaterOptions::Action::Help;
            return options;
        }
        if (argument == "--version") {
            options.action = UpdaterOptions::Action::Version;
            return options;
        }
    }
    if (arguments.size() == 2 && arguments[0] == "--man-page") {
        options.action = UpdaterOptions::Action::ManPage;
        options.imagePath = arguments[1];
        return options;
    }
    if (arguments.size() != 2) {
        options.error = "expected a device address and an image path";
        return options;
    }
    if (!isDottedIPv4(arguments[0])) {
        options.error = "\"" + arguments[0] + "\" is not a dotted IPv4 address";
        return options;
    }
    if (arguments[1].empty()) {
        options.error = "the image path is empty";
        return options;
    }
    options.action = UpdaterOptions::Action::Update;
    options.deviceAddress = arguments[0];
    options.imagePath = arguments[1];
    return options;
}
