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
           "Exit status:\n"
           "   0  updated: the Pallix runs the new firmware and answers again\n"
           "   1  image refused (unreadable, malformed, or not covering 0x00000 to\n"
           "      0x1FFFF in order); nothing was sent\n"
           "   2  bad command line; nothing was sent\n"
           "   3  no Pallix answered the probe; only leave-program-mode was sent\n"
           "   4  the Pallix did not come back after its restart\n"
           "   5  no answer to enter program mode; the old firmware is untouched\n"
           "   6  no answer to a block erase\n"
           "   7  no answer to a block write\n"
           "   8  no answer to the flash copy\n"
           "   9  image written, but no answer to leave program mode\n"
           "  10  left program mode, but the Pallix answers no register read\n"
           "After a failure the message says what failed and what state the Pallix\n"
           "is in; from 6 on it needs the update run again.\n";
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
