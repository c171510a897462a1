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

const char *updaterUsage() {
    return "usage: nrfwupdate <device address> <image path>\n"
           "\n"
           "Reprograms the Pallix at the dotted IPv4 address with the firmware\n"
           "image file. Keep the PC and the Pallix powered until it reports the end.\n"
           "\n"
           "Exit status: 0 updated, 1 image refused, 2 bad command line,\n"
           "3 no Pallix at the address, 4 the Pallix did not come back after\n"
           "its restart.\n";
}

UpdaterOptions parseUpdaterOptions(const std::vector<std::string> &arguments) {
    UpdaterOptions options;
    for (const std::string &argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            options.action = UpdaterOptions::Action::Help;
            return options;
        }
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
