// pallix-sim: simulated Pallix devices on loopback, driven from standard input.
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "CommandLanguage.h"
#include "ProgramDoc.h"
#include "RegisterBank.h"
#include "SimArguments.h"
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
    std::cout << pallixsim::usageText() << "\n"
              << defaultsText() << "\n"
              << pallixsim::CommandLanguage::help() << "\n";
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
        switch (pallixsim::parseArguments(std::vector<std::string>(argv + 1, argv + argc), options)) {
        case pallixsim::Asked::Help: printHelp(); return 0;
        case pallixsim::Asked::Version: std::cout << "pallix-sim " << programdoc::version() << "\n"; return 0;
        case pallixsim::Asked::Run: break;
        }
        pallixsim::Simulator simulator(options);
        installSignalHandlers();
        simulator.start();
        std::cout << "ready" << std::endl;
        runCommands(simulator);
        simulator.stop();
        return 0;
    } catch (const pallixsim::BadArguments &error) {
        std::cerr << "error: " << error.what() << " (see --help)\n";
        return 2;
    } catch (const std::exception &error) {
        std::cerr << "error: " << error.what() << "\n";
        return 1;
    }
}
