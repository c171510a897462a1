// pallix-sim: simulated Pallix devices on loopback, driven from standard input.
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>

#include "CommandLanguage.h"
#include "RegisterBank.h"
#include "Simulator.h"

namespace {

volatile std::sig_atomic_t stopSignal = 0;

void onSignal(int) { stopSignal = 1; }

void installSignalHandlers() {
    struct sigaction action{};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

std::string defaultsText() {
    static const char *const names[pallixsim::kRegisterCount] = {
        "global status", "output 1 on-delay", "output 2 on-delay", "output 1 off-delay", "output 2 off-delay",
        "output state", "unused", "output-input enable", "output ACPI enable", "power-on delay",
        "power-off delay", "power-input enable", "input state", "ACPI pulse width 1", "ACPI pulse width 2",
        "watchdog enable", "shutdown action"};
    std::string text = "register defaults (at start and after power-lost; delays in half-seconds):\n";
    for (int reg = 0; reg < pallixsim::kRegisterCount; ++reg) {
        if (reg == pallixsim::kInState) continue;
        text += "  " + std::to_string(reg) + " " + names[reg] + ": " +
                std::to_string(pallixsim::RegisterDefaults::values[reg]);
        if (reg == pallixsim::kGlobalStatus) text += " (power-lost sets bits 6 and 7, keeps bit 0)";
        text += "\n";
    }
    return text;
}

void printHelp() {
    std::cout << "usage: pallix-sim [--devices N] [--first-address A] [--broadcast B] [--firmware V]\n"
                 "                  [--restart-ms MS] [--verbose]\n"
                 "  N devices (default 1) answer on A, A+1, ... (default 127.0.0.2), port 11000;\n"
                 "  discovery probes are also received on B (default 127.0.0.255); V is the\n"
                 "  firmware version (default 01.03); a flash copy keeps a device silent for MS\n"
                 "  milliseconds (default 3000); --verbose writes one line per request to stderr.\n"
                 "  Prints \"ready\" once listening, then reads one command a line.\n"
                 "  Outputs switch at once: on- and off-delays are stored, not timed.\n\n"
              << defaultsText() << "\n"
              << pallixsim::CommandLanguage::help() << "\n";
}

struct BadArguments : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int intArgument(const std::string &name, const std::string &text) {
    try {
        size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size()) return value;
    } catch (const std::exception &) {
    }
    throw BadArguments(name + " needs a number, not '" + text + "'");
}

// Returns false when the program should only print its help.
bool parseArguments(int argc, char **argv, pallixsim::SimOptions &options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") return false;
        if (arg == "--verbose") {
            options.verbose = true;
            continue;
        }
        if (i + 1 >= argc) throw BadArguments("unknown option or missing value: " + arg);
        const std::string value = argv[++i];
        if (arg == "--devices") options.devices = intArgument(arg, value);
        else if (arg == "--first-address") options.firstAddress = value;
        else if (arg == "--broadcast") options.broadcast = value;
        else if (arg == "--firmware") options.firmware = value;
        else if (arg == "--restart-ms") options.restartMs = intArgument(arg, value);
        else throw BadArguments("unknown option: " + arg);
    }
    return true;
}

// Reads commands until quit, end of input or a stop signal.
void runCommands(pallixsim::Simulator &simulator) {
    std::string pending;
    char buffer[4096];
    while (!stopSignal && !simulator.quitRequested()) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (poll(&input, 1, 200) <= 0) continue;
        const ssize_t size = read(STDIN_FILENO, buffer, sizeof buffer);
        if (size <= 0) return;
        pending.append(buffer, static_cast<size_t>(size));
        for (size_t end; (end = pending.find('\n')) != std::string::npos && !simulator.quitRequested();) {
            const std::string answer = simulator.command(pending.substr(0, end));
            pending.erase(0, end + 1);
            if (!answer.empty()) std::cout << answer << std::endl;
        }
        if (pending.size() > 65536) {
            std::cout << "error: line too long, discarded" << std::endl;
            pending.clear();
        }
    }
}

}  // namespace

int main(int argc, char **argv) {
    pallixsim::SimOptions options;
    try {
        if (!parseArguments(argc, argv, options)) {
            printHelp();
            return 0;
        }
        pallixsim::Simulator simulator(options);
        installSignalHandlers();
        simulator.start();
        std::cout << "ready" << std::endl;
        runCommands(simulator);
        simulator.stop();
        return 0;
    } catch (const BadArguments &error) {
        std::cerr << "error: " << error.what() << " (see --help)\n";
        return 2;
    } catch (const std::exception &error) {
        std::cerr << "error: " << error.what() << "\n";
        return 1;
    }
}
