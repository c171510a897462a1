#include "CommandLanguage.h"

#include <charconv>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace pallixsim {
namespace {

using Args = std::vector<std::string>;

struct CommandError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr size_t kMaxLine = 1024;

long parseNumber(const std::string &text, long low, long high, const char *what) {
    const bool isHex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char *begin = text.data() + (isHex ? 2 : 0);
    const char *end = text.data() + text.size();
    long value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value, isHex ? 16 : 10);
    if (error != std::errc() || stop != end || value < low || value > high) {
        throw CommandError(std::string(what) + " must be " + std::to_string(low) + " to " + std::to_string(high) +
                           ", not '" + text + "'");
    }
    return value;
}

int registerArg(const std::string &text) { return static_cast<int>(parseNumber(text, 0, kRegisterCount - 1, "register")); }
uint8_t byteArg(const std::string &text) { return static_cast<uint8_t>(parseNumber(text, 0, 255, "value")); }
int oneOrTwo(const std::string &text, const char *what) { return static_cast<int>(parseNumber(text, 1, 2, what)); }

Clock::duration secondsArg(const std::string &text) {
    double seconds = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || stop != text.data() + text.size() || !std::isfinite(seconds) || seconds < 0 ||
        seconds > 86400) {
        throw CommandError("seconds must be 0 to 86400, not '" + text + "'");
    }
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

std::string hexBytes(const std::vector<uint8_t> &bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 0xF];
    }
    return text;
}

using Handler = std::string (*)(const Args &, Device &, Clock::time_point);

struct Command {
    const char *name;
    const char *arguments;
    const char *meaning;
    size_t minArgs;
    size_t maxArgs;
    Handler handler;
};

const std::string kOk = "ok";

const Command kCommands[] = {
    {"power-request", "", "ask the PC for its power action (global status bit 0)", 0, 0,
     [](const Args &, Device &d, Clock::time_point) { d.registers().requestPowerAction(); return kOk; }},
    {"power-request-after", "<requests>", "answer that many more requests, then ask for the power action", 1, 1,
     [](const Args &a, Device &d, Clock::time_point) {
         d.requestPowerActionAfter(static_cast<int>(parseNumber(a[0], 1, 1000000, "requests")));
         return kOk;
     }},
    {"power-lost", "", "lose power: configuration back to defaults, status bits 6 and 7", 0, 0,
     [](const Args &, Device &d, Clock::time_point) { d.registers().losePower(); return kOk; }},
    {"input", "<1|2> <on|off>", "set an input active or idle", 2, 2,
     [](const Args &a, Device &d, Clock::time_point) {
         const int input = oneOrTwo(a[0], "input");
         if (a[1] != "on" && a[1] != "off") throw CommandError("state must be on or off, not '" + a[1] + "'");
         d.registers().setInput(input, a[1] == "on");
         return kOk;
     }},
    {"offline", "[seconds]", "answer nothing for that long (0 or none: until online)", 0, 1,
     [](const Args &a, Device &d, Clock::time_point now) {
         const Clock::duration length = a.empty() ? Clock::duration::zero() : secondsArg(a[0]);
         d.link().goOffline(length == Clock::duration::zero() ? std::nullopt : std::optional(length), now);
         return kOk;
     }},
    {"offline-after", "<requests> [seconds]", "answer that many more requests, then go offline as above", 1, 2,
     [](const Args &a, Device &d, Clock::time_point) {
         const auto requests = static_cast<int>(parseNumber(a[0], 0, 1000000, "requests"));
         const Clock::duration length = a.size() < 2 ? Clock::duration::zero() : secondsArg(a[1]);
         d.link().goOfflineAfter(requests, length == Clock::duration::zero() ? std::nullopt : std::optional(length));
         return kOk;
     }},
    {"online", "", "answer again", 0, 0,
     [](const Args &, Device &d, Clock::time_point) { d.link().goOnline(); return kOk; }},
    {"drop", "<percent>", "drop that share of requests, in a fixed pattern", 1, 1,
     [](const Args &a, Device &d, Clock::time_point) {
         d.link().setDropPercent(static_cast<int>(parseNumber(a[0], 0, 100, "percent")));
         return kOk;
     }},
    {"delay", "<ms>", "delay every reply", 1, 1,
     [](const Args &a, Device &d, Clock::time_point) {
         d.link().setDelay(std::chrono::milliseconds(parseNumber(a[0], 0, 60000, "delay")));
         return kOk;
     }},
    {"reply", "<normal|zero|short>", "answer normally, with a first byte of zero, or with 5 bytes", 1, 1,
     [](const Args &a, Device &d, Clock::time_point) {
         if (a[0] == "normal") d.link().setReplyMode(ReplyMode::Normal);
         else if (a[0] == "zero") d.link().setReplyMode(ReplyMode::Zero);
         else if (a[0] == "short") d.link().setReplyMode(ReplyMode::Short);
         else throw CommandError("reply must be normal, zero or short, not '" + a[0] + "'");
         return kOk;
     }},
    {"set", "<register> <value>", "store a value as the device itself would", 2, 2,
     [](const Args &a, Device &d, Clock::time_point) {
         d.registers().set(registerArg(a[0]), byteArg(a[1]));
         return kOk;
     }},
    {"get", "<register>", "the device's own value, without read faults", 1, 1,
     [](const Args &a, Device &d, Clock::time_point) { return std::to_string(d.registers().value(registerArg(a[0]))); }},
    {"dump", "", "every register on one line", 0, 0,
     [](const Args &, Device &d, Clock::time_point) { return d.registers().dump(); }},
    {"stuck", "<register> <value>", "the register always reads that value", 2, 2,
     [](const Args &a, Device &d, Clock::time_point) {
         d.registers().faults().stick(registerArg(a[0]), byteArg(a[1]));
         return kOk;
     }},
    {"misread", "<register> <written> <readback>", "after that value is written, the register reads the other", 3, 3,
     [](const Args &a, Device &d, Clock::time_point) {
         d.registers().faults().misread(registerArg(a[0]), byteArg(a[1]), byteArg(a[2]));
         return kOk;
     }},
    {"flicker", "<register> <value>", "reads alternate between that value and the true one", 2, 2,
     [](const Args &a, Device &d, Clock::time_point) {
         d.registers().faults().flicker(registerArg(a[0]), byteArg(a[1]));
         return kOk;
     }},
    {"output-stuck", "<1|2>", "that output never switches on", 1, 1,
     [](const Args &a, Device &d, Clock::time_point) {
         d.registers().faults().stickOutput(oneOrTwo(a[0], "output"));
         return kOk;
     }},
    {"faults-clear", "", "remove stuck, misread, flicker and output-stuck faults", 0, 0,
     [](const Args &, Device &d, Clock::time_point) { d.registers().faults().clear(); return kOk; }},
    {"requests", "", "number of requests received", 0, 0,
     [](const Args &, Device &d, Clock::time_point) { return std::to_string(d.log().count()); }},
    {"requests-clear", "", "forget the requests received", 0, 0,
     [](const Args &, Device &d, Clock::time_point) { d.log().clear(); return kOk; }},
    {"firmware", "", "the firmware version it announces (00.00 in recovery)", 0, 0,
     [](const Args &, Device &d, Clock::time_point) { return d.firmware(); }},
    {"program-mode", "", "1 in program mode, else 0", 0, 0,
     [](const Args &, Device &d, Clock::time_point) { return std::string(d.flash().programMode() ? "1" : "0"); }},
    {"recovery", "", "1 when no complete firmware is left to run, else 0", 0, 0,
     [](const Args &, Device &d, Clock::time_point) { return std::string(d.recovery() ? "1" : "0"); }},
    {"flash", "<address>", "the 64 flash bytes at the address, in hex", 1, 1,
     [](const Args &a, Device &d, Clock::time_point) {
         const auto address = static_cast<uint32_t>(parseNumber(a[0], 0, Flash::kSize - 64, "address"));
         return hexBytes(d.flash().read(address, 64));
     }},
    {"bad-flash", "<address>", "the 64-byte flash unit at the address fails every write", 1, 1,
     [](const Args &a, Device &d, Clock::time_point) {
         const auto address = static_cast<uint32_t>(parseNumber(a[0], Flash::kWritableStart, Flash::kSize - 64, "address"));
         if (address % Flash::kUnitSize != 0) throw CommandError("address must be a multiple of 64, not '" + a[0] + "'");
         d.flash().breakUnit(address);
         return kOk;
     }},
    {"flash-refusals", "", "number of refused programming requests", 0, 0,
     [](const Args &, Device &d, Clock::time_point) { return std::to_string(d.flashRefusals()); }},
};

const Command *find(const std::string &name) {
    for (const Command &command : kCommands) {
        if (name == command.name) return &command;
    }
    return nullptr;
}

std::string usage(const Command &command) {
    std::string text = command.name;
    if (*command.arguments) text += std::string(" ") + command.arguments;
    return text + " [device]";
}

Args split(const std::string &line) {
    std::istringstream in(line);
    Args words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

}  // namespace

std::string CommandLanguage::run(const std::string &line, Clock::time_point now) {
    if (line.size() > kMaxLine) return "error: line longer than " + std::to_string(kMaxLine) + " characters";
    Args words = split(line);
    if (words.empty()) return {};
    const std::string name = words.front();
    words.erase(words.begin());
    if (name == "help" && words.empty()) return help();
    if (name == "quit" && words.empty()) {
        quit_ = true;
        return kOk;
    }
    const Command *command = find(name);
    if (!command) return "error: unknown command '" + name + "' (try help)";
    if (words.size() < command->minArgs || words.size() > command->maxArgs + 1) {
        return "error: usage: " + usage(*command);
    }
    try {
        // One word more than the command takes is the device number.
        size_t device = 1;
        if (words.size() == command->maxArgs + 1) {
            device = static_cast<size_t>(parseNumber(words.back(), 1, static_cast<long>(devices_.size()), "device"));
            words.pop_back();
        }
        return command->handler(words, devices_[device - 1], now);
    } catch (const CommandError &error) {
        return std::string("error: ") + error.what();
    }
}

std::string CommandLanguage::help() {
    const auto line = [](std::string left, const char *meaning) {
        left.resize(std::max<size_t>(left.size() + 1, 52), ' ');
        return left + meaning + "\n";
    };
    std::string text = "commands (the last argument may pick the device, 1-based, default 1):\n";
    for (const Command &command : kCommands) text += line("  " + usage(command), command.meaning);
    text += line("  help", "this text");
    text += line("  quit", "end the simulator");
    text.pop_back();
    return text;
}

}  // namespace pallixsim
