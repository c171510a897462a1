#include "SimArguments.h"

#include <charconv>

namespace pallixsim {
namespace {

int intArgument(const std::string &name, const std::string &text) {
    int value = 0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || text.empty())
        throw BadArguments(name + " needs a number, not '" + text + "'");
    return value;
}

}  // namespace

Asked parseArguments(const std::vector<std::string> &arguments, SimOptions &options) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string &arg = arguments[i];
        if (arg == "--help" || arg == "-h") return Asked::Help;
        if (arg == "--version") return Asked::Version;
        if (arg == "--verbose") {
            options.verbose = true;
            continue;
        }
        if (i + 1 >= arguments.size()) throw BadArguments("unknown option or missing value: " + arg);
        const std::string &value = arguments[++i];
        if (arg == "--devices") options.devices = intArgument(arg, value);
        else if (arg == "--first-address") options.firstAddress = value;
        else if (arg == "--broadcast") options.broadcast = value;
        else if (arg == "--firmware") options.firmware = value;
        else if (arg == "--restart-ms") options.restartMs = intArgument(arg, value);
        else if (arg == "--reply-port") options.replyPort = intArgument(arg, value);
        else throw BadArguments("unknown option: " + arg);
    }
    return Asked::Run;
}

const char *usageText() {
    return "usage: pallix-sim [--devices N] [--first-address A] [--broadcast B] [--firmware V]\n"
           "                  [--restart-ms MS] [--reply-port P] [--verbose]\n"
           "       pallix-sim --help | --version\n"
           "  N devices (default 1) answer on A, A+1, ... (default 127.0.0.2), port 11000;\n"
           "  discovery probes are also received on B (default 127.0.0.255); V is the\n"
           "  firmware version (default 01.03); a flash copy keeps a device silent for MS\n"
           "  milliseconds (default 8000); with P every reply leaves from port P instead\n"
           "  of 11000; --verbose writes one line per request to stderr.\n"
           "  Prints \"ready\" once listening, then reads one command a line.\n"
           "  Outputs switch at once: on- and off-delays are stored, not timed.\n"
           "  A device whose update stopped half way is in recovery: it announces\n"
           "  firmware 00.00 and answers no register request until an update completes.\n";
}

}  // namespace pallixsim
