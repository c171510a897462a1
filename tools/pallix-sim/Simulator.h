// The simulated Pallix: one or more devices speaking the UDP protocol on
// loopback, with fault injection. Tests run it in-process; pallix-sim wraps
// it for the command line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DeviceRegisters.h"

namespace pallixsim {

struct SimOptions {
    int devices = 1;
#ifdef _WIN32
    // Wine binds a UDP socket on any loopback address but 127.0.0.1 to the
    // wildcard address, so in a Windows program only that one can be a device's.
    std::string firstAddress = "127.0.0.1";
#else
    std::string firstAddress = "127.0.0.2";
#endif
    std::string broadcast = "127.0.0.255";
    std::string firmware = "01.03";
    bool verbose = false;
    // Silence after a flash copy; longer than the updater's 5 s wait, so an
    // update has to find the device again.
    int restartMs = 8000;
    // The port replies leave from; 0 for the port requests came to (11000).
    int replyPort = 0;
};

// Throws std::invalid_argument naming the first option out of range.
void checkOptions(const SimOptions &options);

// One request as a device received it, in arrival order.
struct Request {
    uint8_t opcode = 0;       // 0x05 read, 0x04 write, 0x07 control, 0x0A flash, 0x63 probe
    int address = -1;         // register or flash address, -1 when the request has none
    int value = -1;           // written value or control command, -1 when none
    std::vector<uint8_t> bytes;
    bool answered = false;    // false when malformed, dropped or silent
    int code = -1;            // reply code at offset 4 (0 carried out); -1 for probes and unanswered
};

class Simulator {
public:
    explicit Simulator(SimOptions options = {});
    ~Simulator();
    Simulator(const Simulator &) = delete;
    Simulator &operator=(const Simulator &) = delete;

    // Binds every socket and starts answering on a thread of its own.
    // Throws std::runtime_error naming the address that could not be bound.
    void start();
    void stop();

    // The command language of pallix-sim's standard input, one line in,
    // one answer out ("ok", a value, or "error: <why>"). Thread-safe.
    std::string command(const std::string &line);

    // Typed access for tests; devices are numbered from 1, and a device or
    // register that does not exist throws std::out_of_range. reg() is the
    // device's own value, without read faults; setReg() stores as "set" does.
    int deviceCount() const;
    std::string address(int device) const;
    std::string mac(int device) const;
    int reg(int device, int reg) const;
    void setReg(int device, int reg, int value);
    std::vector<Request> requests(int device) const;
    size_t requestCount(int device) const;
    void clearRequests();

    // Set by the command "quit"; the program ends when it sees it.
    bool quitRequested() const;

    // Events and faults, as the commands of the same names.
    void requestPowerAction(int device);
    void losePower(int device);
    void setInput(int device, int input, bool active);
    void stick(int device, int reg, int value);
    void misread(int device, int reg, int written, int readback);
    void stickOutput(int device, int output);
    void clearFaults(int device);

    // Flash and firmware state.
    std::vector<uint8_t> flash(int device, uint32_t address, uint32_t length = 64) const;
    bool programMode(int device) const;
    // The version the device announces: "00.00" while in recovery.
    std::string firmware(int device) const;
    bool recovery(int device) const;
    int flashRefusals(int device) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace pallixsim
