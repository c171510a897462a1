#include "firmwareUpdate.h"

#include <cstring>
#include <string>
#include <thread>
#include <utility>

#include "Diagnostics.h"
#include "Discovery.h"
#include "Packet.h"
#include "Requests.h"
#include "State.h"
#include "Transport.h"
#include "firmwareImage.h"
#include "platform/Command.h"
#include "platform/Message.h"

namespace {

// Flash layout as the device's boot code expects it.
constexpr uint32_t kStagingOffset = 0x10400;
constexpr uint32_t kProtectedFirst = 0xFC00;
constexpr uint32_t kProtectedLast = 0xFFFF;
constexpr uint32_t kMacRecordAddress = 0xFBC0;
constexpr uint32_t kFirstPassEnd = 0x1FFC0;
constexpr uint32_t kFlashCopyThreshold = 0x103C0;
constexpr uint32_t kFirstEraseStart = 0x10000;
constexpr uint32_t kSecondEraseStart = 0x10400;
constexpr uint32_t kEraseLast = 0x1FC00;
constexpr uint32_t kEraseStep = 0x400;
constexpr int kAttemptsPerRenewal = 5;

constexpr const char *kUpdateCaption = "Pallix Firmware Update";
constexpr const char *kCompleteText =
    "Firmware Update Complete! You may now restart Pallix Control Center.";

void progress(const std::string &text) {
    nrDiagnostic(text.c_str());
}

// Why the update stopped, in a box of its own after the progress lines.
void report(const std::string &text) {
    progress("\n\n");
    nrShowMessage(kUpdateCaption, text.c_str(), NrBoxModality::System);
}

void pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

// Each device command has a socket of its own; its status is not examined,
// a lost request shows up in what the device does next.
void sendControl(const std::string &device, int32_t command, int32_t argument = 0) {
    nrOpenSocket(device.c_str());
    nrControl(command, argument, device.c_str());
    nrCloseSocket();
}

void sendBlock(const std::string &device, uint32_t target, const uint8_t *data) {
    nrOpenSocket(device.c_str());
    nrWriteBlock(static_cast<int32_t>(target), data, kNrFlashBlockSize, device.c_str());
    nrCloseSocket();
}

void eraseUpperFlash(const std::string &device, uint32_t first) {
    for (uint32_t block = first; block <= kEraseLast; block += kEraseStep) {
        sendControl(device, kNrBlockErase, static_cast<int32_t>(block));
        progress(".");
    }
    progress("\n\n");
}

bool isProtected(uint32_t address) {
    return address >= kProtectedFirst && address <= kProtectedLast;
}

class FirmwareUpdate {
public:
    FirmwareUpdate(std::string device, const NrFirmwareTimings &timings)
        : device_(std::move(device)), timings_(timings) {}

    int32_t run(const FirmwareImage &image) {
        if (nrLib.discoveryCount <= 0) {
            sendControl(device_, kNrLeaveProgramMode);
            report("No Pallix answered at " + device_ + ". Nothing was written to it.");
            return NR_FIRMWARE_NO_DEVICE;
        }
        sendControl(device_, kNrEnterProgramMode);
        eraseUpperFlash(device_, kFirstEraseStart);
        for (const FirmwareToken &token : image.tokens) {
            if (token.record && !write(*token.record))
                return giveUp();
            progress(".");
        }
        sendControl(device_, kNrLeaveProgramMode);
        progress("\n\n\nFirmware update complete!\n");
        nrShowMessage(kUpdateCaption, kCompleteText, NrBoxModality::System);
        return NR_FIRMWARE_UPDATED;
    }

private:
    // False when the device did not come back from the flash copy.
    bool write(const FirmwareRecord &record) {
        nrOpenSocket(device_.c_str());
        uint32_t target = record.address;
        if (!isProtected(record.address)) {
            if (!firstPassDone_)
                target += kStagingOffset;
            std::array<uint8_t, firmware_record::kDataBytes> block = record.data;
            if (record.address == kMacRecordAddress)
                insertMac(block);
            sendBlock(device_, target, block.data());
            if (!restartDone_ && firstPassDone_ && target >= kFlashCopyThreshold && !copyAndRestart())
                return false;
        }
        if (!firstPassDone_ && target >= kFirstPassEnd)
            firstPassDone_ = true;
        return true;
    }

    // The device's identity record carries its own MAC address, the one
    // the discovery before the update reported.
    static void insertMac(std::array<uint8_t, firmware_record::kDataBytes> &block) {
        nrParseMAC();
        nrParseVersion();
        std::memcpy(block.data(), nrLib.macBytes, kNrMacBytes);
    }

    bool copyAndRestart() {
        sendControl(device_, kNrFlashCopy);
        restartDone_ = true;
        nrStopWinsock();
        progress("\n\nPallix Restarting...\n");
        progress("DO NOT DISCONNECT...\n\n");
        pause(timings_.restartWait);
        if (!awaitDevice())
            return false;
        progress("\n\n");
        eraseUpperFlash(device_, kSecondEraseStart);
        return true;
    }

    // Unicast discovery until the device answers again, or the bound passes.
    bool awaitDevice() {
        const auto deadline = std::chrono::steady_clock::now() + timings_.comeBackBound;
        for (;;) {
            nrLib.winsockStarted = 0;
            nrStartWinsock();
            nrOpenSocket(device_.c_str());
            progress(".");
            NrDiscovery(device_.c_str());
            nrCloseSocket();
            const int32_t answers = nrLib.discoveryCount;
            progress(".");
            pause(timings_.rediscoveryPause);
            if (++attempts_ == kAttemptsPerRenewal) {
                renewNetwork();
                attempts_ = 0;
            }
            if (answers >= 1)
                return true;
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
        }
    }

    void renewNetwork() {
#if defined(_WIN32)
        nrRunCommand("ipconfig /release");
        pause(timings_.renewalPause);
        nrRunCommand("ipconfig /renew");
        pause(timings_.renewalPause);
#else
        // Renewing leases is the network manager's business here, not ours.
        progress("\nNetwork renewal (ipconfig /release, ipconfig /renew) is left out on this platform.\n");
        pause(timings_.renewalPause);
        pause(timings_.renewalPause);
#endif
    }

    int32_t giveUp() {
        sendControl(device_, kNrLeaveProgramMode);
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timings_.comeBackBound);
        report("Pallix at " + device_ + " did not answer within " + std::to_string(seconds.count()) +
               " seconds of its restart. The firmware update did not complete; keep Pallix powered "
               "and run the update again.");
        return NR_FIRMWARE_DEVICE_LOST;
    }

    const std::string device_;
    const NrFirmwareTimings timings_;
    bool firstPassDone_ = false;
    bool restartDone_ = false;
    int attempts_ = 0;  // rediscovery attempts since the last network renewal
};

}  // namespace

int32_t nrFirmwareUpdateWith(const char *deviceAddress, const char *imagePath,
                             const NrFirmwareTimings &timings) {
    if (deviceAddress == nullptr || imagePath == nullptr) {
        report("The firmware update needs a device address and an image path. Nothing was written.");
        return NR_FIRMWARE_IMAGE_REFUSED;
    }
    const FirmwareImage image = nrReadFirmwareImage(imagePath);
    if (!image.accepted()) {
        report("Firmware image refused, nothing was written to Pallix: " + image.error + ".");
        return NR_FIRMWARE_IMAGE_REFUSED;
    }
    return FirmwareUpdate(deviceAddress, timings).run(image);
}

extern "C" NR_EXPORT int32_t NR_CALL nrFirmwareUpdate(const char *deviceAddress, const char *imagePath) {
    return nrFirmwareUpdateWith(deviceAddress, imagePath, NrFirmwareTimings{});
}
