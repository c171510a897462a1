// A Windows host of NerrinAPI.dll, run under Wine beside the native
// pallix-sim (three devices on 127.0.0.2 to 127.0.0.4):
//
//   NerrinHost.exe <NerrinAPI.dll> <simulator log>
//
// It loads the DLL as a host does, finds every export by name and by
// ordinal, and calls them through the Windows calling convention, checking
// what the user of a host would see: discovery, every register read and
// write against the requests the simulator logged, retries and time-outs,
// a taken local port, system strings, message boxes and, on 32-bit, a stack
// pointer that every call leaves where it found it.
#include <fcntl.h>
#include <io.h>
#include <winsock2.h>
#include <windows.h>

#include <array>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "HostLibrary.h"
#include "Records.h"
#include "SimulatorLink.h"

namespace {

struct Export {
    const char *name;
    int ordinal;
};

// NerrinAPI.def, as a host declares it.
constexpr Export kExports[] = {
    {"NrDiscovery", 1},               {"NrDiscoveryCount", 2},
    {"NrGetDevice", 3},               {"NrSetDevice", 4},
    {"pallixGetGlobalStatus", 5},     {"pallixSetGlobalStatus", 6},
    {"pallixGetPowerOnDelay", 7},     {"pallixGetPowerOffDelay", 8},
    {"pallixSetPowerOnDelay", 9},     {"pallixSetPowerOffDelay", 10},
    {"pallixGetOutOnDelay1", 11},     {"pallixSetOutOnDelay1", 12},
    {"pallixGetOutOffDelay1", 13},    {"pallixSetOutOffDelay1", 14},
    {"pallixGetOutOnDelay2", 15},     {"pallixSetOutOnDelay2", 16},
    {"pallixGetOutOffDelay2", 17},    {"pallixSetOutOffDelay2", 18},
    {"pallixGetOutState", 19},        {"pallixSetOutState", 20},
    {"pallixGetOutACPIEnable", 21},   {"pallixSetOutACPIEnable", 22},
    {"pallixSetPowerInEnable", 23},   {"pallixGetPowerInEnable", 24},
    {"pallixGetACPIPulseWidth1", 25}, {"pallixSetACPIPulseWidth1", 26},
    {"pallixGetACPIPulseWidth2", 27}, {"pallixSetACPIPulseWidth2", 28},
    {"pallixGetWDTEnable", 29},       {"pallixSetWDTEnable", 30},
    {"pallixGetOutInEnable", 31},     {"pallixSetOutInEnable", 32},
    {"pallixGetShutdownAction", 33},  {"pallixSetShutdownAction", 34},
    {"pallixGetInState", 35},         {"NrGetFirmwareVersion", 36},
    {"NrGetMACAddress", 37},          {"NrGetDiscoveryString", 38},
    {"nrFirmwareUpdate", 39},         {"NrSetMessageHandler", 40},
    {"NrSetDiagnosticHandler", 41},
};

// Names a host must not find: the system strings come from oleaut32 here,
// and neither internal nor decorated names leak.
constexpr const char *kHiddenNames[] = {"SysAllocStringByteLen", "SysFreeString", "SysStringByteLen",
                                        "nrTransaction", "NrDiscovery@4", "_NrDiscovery@4"};

enum class Access { GetByte, GetFlags, SetByte, SetFlags };

struct RegisterExport {
    const char *name;
    int reg;
    Access access;
    int flags;                          // flag arguments of GetFlags and SetFlags
    int firstBit;                       // SetFlags: the bit of the first flag
    std::array<int32_t, 4> arguments;   // what a set function is passed
};

constexpr RegisterExport kRegisterExports[] = {
    {"pallixGetGlobalStatus", 0, Access::GetByte, 0, 0, {}},
    {"pallixSetGlobalStatus", 0, Access::SetByte, 0, 0, {225}},
    {"pallixGetPowerOnDelay", 9, Access::GetByte, 0, 0, {}},
    {"pallixGetPowerOffDelay", 10, Access::GetByte, 0, 0, {}},
    {"pallixSetPowerOnDelay", 9, Access::SetByte, 0, 0, {300}},  // low byte only: 44
    {"pallixSetPowerOffDelay", 10, Access::SetByte, 0, 0, {40}},
    {"pallixGetOutOnDelay1", 1, Access::GetByte, 0, 0, {}},
    {"pallixSetOutOnDelay1", 1, Access::SetByte, 0, 0, {11}},
    {"pallixGetOutOffDelay1", 3, Access::GetByte, 0, 0, {}},
    {"pallixSetOutOffDelay1", 3, Access::SetByte, 0, 0, {13}},
    {"pallixGetOutOnDelay2", 2, Access::GetByte, 0, 0, {}},
    {"pallixSetOutOnDelay2", 2, Access::SetByte, 0, 0, {12}},
    {"pallixGetOutOffDelay2", 4, Access::GetByte, 0, 0, {}},
    {"pallixSetOutOffDelay2", 4, Access::SetByte, 0, 0, {14}},
    {"pallixGetOutState", 5, Access::GetFlags, 6, 0, {}},
    {"pallixSetOutState", 5, Access::SetFlags, 4, 2, {1, 0, 1, 0}},
    {"pallixGetOutACPIEnable", 8, Access::GetFlags, 2, 0, {}},
    {"pallixSetOutACPIEnable", 8, Access::SetFlags, 2, 0, {0, 1}},
    {"pallixSetPowerInEnable", 11, Access::SetFlags, 2, 0, {1, 0}},
    {"pallixGetPowerInEnable", 11, Access::GetFlags, 2, 0, {}},
    {"pallixGetACPIPulseWidth1", 13, Access::GetByte, 0, 0, {}},
    {"pallixSetACPIPulseWidth1", 13, Access::SetByte, 0, 0, {-1}},  // 255
    {"pallixGetACPIPulseWidth2", 14, Access::GetByte, 0, 0, {}},
    {"pallixSetACPIPulseWidth2", 14, Access::SetByte, 0, 0, {6}},
    {"pallixGetWDTEnable", 15, Access::GetByte, 0, 0, {}},
    {"pallixSetWDTEnable", 15, Access::SetByte, 0, 0, {1}},
    {"pallixGetOutInEnable", 7, Access::GetFlags, 4, 0, {}},
    {"pallixSetOutInEnable", 7, Access::SetFlags, 4, 0, {1, 0, 0, 1}},
    {"pallixGetShutdownAction", 16, Access::GetByte, 0, 0, {}},
    {"pallixSetShutdownAction", 16, Access::SetByte, 0, 0, {3}},
    {"pallixGetInState", 12, Access::GetFlags, 2, 0, {}},
};

// Two device values per get function, so every flag is seen both set and clear.
constexpr int kDevicePatterns[] = {0x15, 0x2A};

constexpr const char *kBroadcast = "127.0.0.255";
constexpr const char *kDevices[] = {"127.0.0.2", "127.0.0.3", "127.0.0.4"};
constexpr uint16_t kLocalPort = 11002;
constexpr const char *kUpdateCaption = "Pallix Firmware Update";

class Checks {
public:
    void expect(bool ok, const std::string &what, const std::string &detail = "") {
        ok ? ++passed_ : ++failed_;
        std::printf("%s %s%s%s\n", ok ? "ok  " : "FAIL", what.c_str(), detail.empty() ? "" : ": ",
                    oneLine(detail).c_str());
        std::fflush(stdout);
    }
    int finish() const {
        std::printf("%d passed, %d failed\n", passed_, failed_);
        return failed_ == 0 ? 0 : 1;
    }

private:
    static std::string oneLine(const std::string &text) {
        std::string line;
        for (char c : text) line += c == '\n' ? std::string("\\n") : std::string(1, c);
        return line;
    }

    int passed_ = 0;
    int failed_ = 0;
};

std::string repeated(const std::string &text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += text;
    return all;
}

std::string joined(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines) text += (text.empty() ? "" : " | ") + line;
    return "[" + text + "]";
}

intptr_t word(const void *pointer) { return reinterpret_cast<intptr_t>(pointer); }

class HostTest {
public:
    HostTest(HostLibrary &library, SimulatorLink &simulator) : lib_(library), sim_(simulator) {}

    int run() {
        exportTable();
        check_.expect(lib_.recordMessageBoxes(), "the DLL imports USER32!MessageBoxA");
        discovery();
        lib_.call("NrSetDevice", {word(kDevices[0])});
        for (const RegisterExport &e : kRegisterExports) registerExport(e);
        silentDevice();
        droppedRequest();
        portTaken();
        messageBoxes();
        callingConvention();
        check_.expect(HeapValidate(GetProcessHeap(), 0, nullptr) != 0,
                      "the process heap is sound after every system string was freed");
        return check_.finish();
    }

private:
    void exportTable() {
        for (const Export &e : kExports) {
            void *named = lib_.byName(e.name);
            check_.expect(named != nullptr && named == lib_.byOrdinal(e.ordinal),
                          std::string(e.name) + " by name is ordinal " + std::to_string(e.ordinal));
        }
        check_.expect(lib_.byOrdinal(static_cast<int>(std::size(kExports)) + 1) == nullptr, "no ordinal after the last");
        for (const char *name : kHiddenNames)
            check_.expect(lib_.byName(name) == nullptr, std::string(name) + " is not exported");
    }

    std::string text(const char *name, const std::vector<intptr_t> &arguments = {}) {
        return takeSystemString(lib_.call(name, arguments).value);
    }

    void discovery() {
        const LibraryCall found = lib_.call("NrDiscovery", {word(kBroadcast)});
        check_.expect(found.status() == 0 && found.output.empty(), "NrDiscovery returns 0, silently",
                      found.output);
        const int count = lib_.call("NrDiscoveryCount", {}).status();
        check_.expect(count == 3, "three simulated devices answer the broadcast",
                      std::to_string(count));
        std::set<std::string> addresses;
        for (int slot = 0; slot < 3; ++slot) addresses.insert(fieldOf(text("NrGetDevice", {slot}), 2));
        check_.expect(addresses == std::set<std::string>(std::begin(kDevices), std::end(kDevices)),
                      "slots 0 to 2 name the three devices");
        check_.expect(text("NrGetDevice", {4}) == " " && text("NrGetDevice", {-1}) == " ",
                      "slots 4 and -1 are a single blank");

        const std::string first = text("NrGetDevice", {0});
        check_.expect(text("NrGetDiscoveryString") == first, "the discovery string is slot 0");
        const std::string version = text("NrGetFirmwareVersion");
        check_.expect(version == "01.03", "firmware version, five bytes", version);
        const std::string mac = text("NrGetMACAddress");
        check_.expect(mac.size() == 17 && mac == fieldOf(first, 4),
                      "MAC address, the 17 bytes after the fourth ':' of the first reply", mac);
        for (int device = 1; device <= 3; ++device) {
            const std::vector<std::string> requests = sim_.newRequests(device);
            check_.expect(requests == std::vector<std::string>{"discovery probe answered"},
                          "device " + std::to_string(device) + " got one probe", joined(requests));
        }
    }

    void registerExport(const RegisterExport &e) {
        if (e.access == Access::SetByte || e.access == Access::SetFlags) {
            registerWrite(e);
        } else {
            for (int pattern : kDevicePatterns) registerRead(e, pattern);
        }
    }

    void registerRead(const RegisterExport &e, int pattern) {
        const std::string reg = std::to_string(e.reg);
        sim_.command("set " + reg + " " + std::to_string(pattern));
        const int held = std::stoi(sim_.command("get " + reg));
        const int outputs = e.access == Access::GetByte ? 1 : e.flags;
        std::array<int32_t, 6> out;
        out.fill(-7);
        std::vector<intptr_t> pointers;
        for (int k = 0; k < outputs; ++k) pointers.push_back(word(&out[k]));
        const LibraryCall call = lib_.call(e.name, pointers);
        bool values = true;
        for (int k = 0; k < outputs; ++k)
            values = values && out[k] == (e.access == Access::GetByte ? held : (held >> k) & 1);
        const std::vector<std::string> requests = sim_.newRequests(1);
        const std::string expected = "read " + reg + " -> " + std::to_string(held);
        check_.expect(call.status() == 0 && call.output.empty() && values &&
                          requests == std::vector<std::string>{expected},
                      std::string(e.name) + " reads " + std::to_string(held) + " from register " + reg,
                      "status " + std::to_string(call.status()) + ", logged " + joined(requests));
    }

    void registerWrite(const RegisterExport &e) {
        const int count = e.access == Access::SetByte ? 1 : e.flags;
        uint32_t value = static_cast<uint32_t>(e.arguments[0]) & 0xFF;
        if (e.access == Access::SetFlags) {
            value = 0;
            for (int k = 0; k < e.flags; ++k) value += static_cast<uint32_t>(e.arguments[k]) << (e.firstBit + k);
        }
        const LibraryCall call =
            lib_.call(e.name, std::vector<intptr_t>(e.arguments.begin(), e.arguments.begin() + count));
        const std::vector<std::string> requests = sim_.newRequests(1);
        const std::string expected = "write " + std::to_string(e.reg) + " = " + std::to_string(value);
        check_.expect(call.status() == 0 && call.output.empty() &&
                          requests == std::vector<std::string>{expected},
                      std::string(e.name) + " sends " + expected,
                      "status " + std::to_string(call.status()) + ", logged " + joined(requests));
    }

    void silentDevice() {
        sim_.command("offline 0 2");  // until "online"
        lib_.call("NrSetDevice", {word(kDevices[1])});
        int32_t value = 77;
        const LibraryCall call = lib_.call("pallixGetWDTEnable", {word(&value)});
        const std::vector<std::string> requests = sim_.newRequests(2);
        check_.expect(call.status() == 3 && value == 77, "a silent device: status 3, the variable kept",
                      std::to_string(call.status()));
        check_.expect(requests == std::vector<std::string>(4, "request ignored while silent"),
                      "four attempts reach the silent device", joined(requests));
        check_.expect(call.output == repeated("No Reply Error\n\n", 4) + "Retry Loop Failed.\n\n",
                      "a diagnostic line per attempt, then the retry loop's", call.output);
        check_.expect(call.seconds > 3.5 && call.seconds < 8, "about one second per attempt",
                      std::to_string(call.seconds) + " s");
        sim_.command("online 2");
    }

    void droppedRequest() {
        sim_.command("drop 50 2");  // lets one request through, then drops one
        int32_t value = -1;
        const LibraryCall answered = lib_.call("pallixGetWDTEnable", {word(&value)});
        const LibraryCall retried = lib_.call("pallixGetWDTEnable", {word(&value)});
        const std::vector<std::string> requests = sim_.newRequests(2);
        check_.expect(answered.status() == 0 && retried.status() == 0 && requests.size() == 3 &&
                          requests[1] == "request dropped",
                      "a dropped request is answered on the second attempt", joined(requests));
        check_.expect(answered.output.empty() && retried.output == "No Reply Error\n\n",
                      "one diagnostic line for the lost attempt", retried.output);
        sim_.command("drop 0 2");
        lib_.call("NrSetDevice", {word(kDevices[0])});
    }

    void portTaken() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        const SOCKET holder = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(kLocalPort);
        local.sin_addr.s_addr = htonl(INADDR_ANY);
        const bool held = bind(holder, reinterpret_cast<const sockaddr *>(&local), sizeof local) == 0;
        check_.expect(held, "the host holds local port 11002");

        int32_t value = 55;
        const LibraryCall call = lib_.call("pallixGetGlobalStatus", {word(&value)});
        check_.expect(call.status() == 2 && value == 55, "port taken: status 2, the variable kept",
                      std::to_string(call.status()));
        check_.expect(call.output == repeated("Bind Error\n\n", 4) + "Retry Loop Failed.\n\n",
                      "a bind error per attempt", call.output);
        const LibraryCall discovery = lib_.call("NrDiscovery", {word(kBroadcast)});
        check_.expect(discovery.output == "bind()" && lib_.call("NrDiscoveryCount", {}).status() == 0,
                      "port taken: discovery finds nothing and says bind()", discovery.output);
        check_.expect(sim_.newRequests(1).empty(), "nothing reached the device");

        lib_.call("NrSetDiagnosticHandler", {word(reinterpret_cast<const void *>(&recordDiagnostic))});
        const LibraryCall taken = lib_.call("pallixGetGlobalStatus", {word(&value)});
        lib_.call("NrSetDiagnosticHandler", {0});
        check_.expect(taken.output.empty() && diagnostics == call.output,
                      "an installed handler takes the diagnostic lines instead", diagnostics);

        closesocket(holder);
        WSACleanup();
        check_.expect(lib_.call("pallixGetGlobalStatus", {word(&value)}).status() == 0,
                      "the port freed, the next call succeeds");
        sim_.newRequests(1);
    }

    static void recordDiagnostic(const char *text) { diagnostics += text; }

    static void recordHandlerMessage(const char *caption, const char *text) {
        handled.push_back(std::string(caption) + ": " + text);
    }

    void messageBoxes() {
        // The routine reads the image once a discovery has found the device.
        lib_.call("NrDiscovery", {word(kBroadcast)});
        for (int device = 1; device <= 3; ++device) sim_.newRequests(device);
        const char *noImage = "Z:\\nonexistent\\test_out.hex";
        const LibraryCall refused = lib_.call("nrFirmwareUpdate", {word(kDevices[0]), word(noImage)});
        const std::vector<MessageBoxCall> boxes = lib_.takeMessageBoxes();
        check_.expect(refused.status() == 1 && sim_.newRequests(1).empty(),
                      "a missing image is refused before anything is sent");
        check_.expect(boxes.size() == 1 && boxes[0].caption == kUpdateCaption &&
                          boxes[0].text.rfind("Firmware image refused", 0) == 0 &&
                          (boxes[0].style & MB_SYSTEMMODAL) != 0,
                      "the refusal is a system-modal MessageBoxA",
                      boxes.empty() ? "no box" : boxes[0].caption + ": " + boxes[0].text);

        lib_.call("NrSetMessageHandler", {word(reinterpret_cast<const void *>(&recordHandlerMessage))});
        lib_.call("nrFirmwareUpdate", {word(kDevices[0]), word(noImage)});
        lib_.call("NrSetMessageHandler", {0});
        check_.expect(lib_.takeMessageBoxes().empty() && handled.size() == 1 &&
                          handled[0].rfind(std::string(kUpdateCaption) + ": Firmware image refused", 0) == 0,
                      "an installed handler takes the box's place");
    }

    void callingConvention() {
        const auto &tallies = lib_.tallies();
        for (const Export &e : kExports) {
            const auto tally = tallies.find(e.name);
            const bool called = tally != tallies.end() && tally->second.calls > 0;
#if defined(_M_IX86) || defined(__i386__)
            check_.expect(called && tally->second.unbalanced == 0,
                          std::string(e.name) + " pops its own arguments",
                          called ? std::to_string(tally->second.unbalanced) + " unbalanced calls" : "not called");
#else
            check_.expect(called, std::string(e.name) + " was called");
#endif
        }
    }

    static inline std::vector<std::string> handled;
    static inline std::string diagnostics;

    HostLibrary &lib_;
    SimulatorLink &sim_;
    Checks check_;
};

}  // namespace

int main(int argc, char **argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc != 3) {
        std::fprintf(stderr, "usage: NerrinHost <NerrinAPI.dll> <simulator log>\n");
        return 2;
    }
    HostLibrary library(argv[1]);
    if (!library.loaded()) {
        std::fprintf(stderr, "cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    SimulatorLink simulator(argv[2]);
    return HostTest(library, simulator).run();
}
