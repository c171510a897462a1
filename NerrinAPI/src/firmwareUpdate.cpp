#include "firmwareUpdate.h"

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "Diagnostics.h"
#include "NerrinAPI.h"
#include "Packet.h"
#include "Requests.h"
#include "State.h"
#include "Transport.h"
#include "firmwareImage.h"
#include "firmwareLayout.h"
#include "platform/Command.h"
#include "platform/Message.h"

namespace {

using namespace firmware_layout;

constexpr int kAttemptsPerRenewal = 5;
// Read once the device has left program mode: a device that runs its
// firmware answers it, one left in recovery does not. Reading it changes
// nothing on the device.
constexpr int32_t kGlobalStatusRegister = 0;

constexpr const char *kUpdateCaption = "Pallix Firmware Update";
constexpr const char *kCompleteText =
    "Firmware Update Complete! You may now restart Pallix Control Center.";
constexpr const char *kRunAgain = " Keep Pallix powered and run the update again.";

using Block = std::array<uint8_t, firmware_record::kDataBytes>;

void progress(const std::string &text) {
    nrDiagnostic(text.c_str());
}

// Why the update stopped, in a box of its own after the progress lines.
void report(const std::string &text) {
    progress("\n\nFirmware update failed.\n");
    nrShowMessage(kUpdateCaption, text.c_str(), NrBoxModality::System);
}

void pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

// Each device command has a socket of its own. True when the device
// answered, after the transport's own attempts.
bool sendControl(const std::string &device, int32_t command, int32_t argument = 0) {
    nrOpenSocket(device.c_str());
    const int32_t status = nrControl(command, argument, device.c_str());
    nrCloseSocket();
    return status == kNrOk;
}

// What the device is left with when the update stops, by how far it got.
enum class Stage { Untouched, Erased, CopyRequested, Copied };

const char *stateOf(Stage stage) {
    switch (stage) {
    case Stage::Untouched:
        return "Pallix still runs its old firmware";
    case Stage::Erased:
        return "Its upper flash is erased, so it cannot run its old firmware: it is in recovery "
               "until an update runs to the end";
    case Stage::CopyRequested:
        return "It may have copied the staged image and restarted: treat it as in recovery "
               "until an update runs to the end";
    case Stage::Copied:
        return "It has copied the new image and restarted, but the rest of the image is not "
               "written: it is in recovery until an update runs to the end";
    }
    return "";
}

class FirmwareUpdate {
public:
    FirmwareUpdate(std::string device, const NrFirmwareTimings &timings)
        : device_(std::move(device)), timings_(timings) {
        // The identity record gets the MAC address of the discovery that
        // found the device, whatever the replies during the update hold.
        std::memcpy(mac_.data(), nrLib.macBytes, kNrMacBytes);
    }

    int32_t run(const FirmwareImage &image) {
        if (!enterProgramMode() || !eraseUpperFlash(kFirstEraseStart) || !writeImage(image) ||
            !leaveProgramMode() || !runsAgain())
            return stop();
        progress("\n\n\nFirmware update complete!\n");
        nrShowMessage(kUpdateCaption, kCompleteText, NrBoxModality::System);
        return NR_FIRMWARE_UPDATED;
    }

private:
    struct Failure {
        int32_t result;
        std::string what;
        bool releaseFirst;  // the device is still in program mode
    };

    bool fail(int32_t result, const std::string &what, bool releaseFirst = true) {
        failure_ = Failure{result, "Pallix at " + device_ + " " + what, releaseFirst};
        return false;
    }

    bool enterProgramMode() {
        if (sendControl(device_, kNrEnterProgramMode))
            return true;
        return fail(NR_FIRMWARE_ENTER_FAILED, "did not answer the request to enter program mode");
    }

    bool eraseUpperFlash(uint32_t first) {
        for (uint32_t block = first; block <= kEraseLast; block += kEraseStep) {
            const bool answered = sendControl(device_, kNrBlockErase, static_cast<int32_t>(block));
            if (stage_ == Stage::Untouched)
                stage_ = Stage::Erased;  // a refused request may still have erased
            if (!answered)
                return fail(NR_FIRMWARE_ERASE_FAILED,
                            "did not answer the erase of flash block " + hexAddress(block));
            progress(".");
        }
        progress("\n\n");
        return true;
    }

    bool writeImage(const FirmwareImage &image) {
        for (const FirmwareToken &token : image.tokens) {
            if (token.record && !write(*token.record, token.line))
                return false;
            progress(".");
        }
        return true;
    }

    bool write(const FirmwareRecord &record, int line) {
        nrOpenSocket(device_.c_str());
        uint32_t target = record.address;
        if (!isProtected(record.address)) {
            if (!firstPassDone_)
                target += kStagingOffset;
            Block block = record.data;
            if (record.address == kMacRecordAddress)
                std::memcpy(block.data(), mac_.data(), kNrMacBytes);
            if (!sendBlock(target, block))
                return fail(NR_FIRMWARE_WRITE_FAILED,
                            "did not answer the write of the record at " + hexAddress(record.address) +
                                " (line " + std::to_string(line) + ") to flash " + hexAddress(target));
            if (!restartDone_ && firstPassDone_ && target >= kFlashCopyThreshold && !copyAndRestart())
                return false;
        }
        if (!firstPassDone_ && target >= kFirstPassEnd)
            firstPassDone_ = true;
        return true;
    }

    bool sendBlock(uint32_t target, const Block &block) {
        nrOpenSocket(device_.c_str());
        const int32_t status =
            nrWriteBlock(static_cast<int32_t>(target), block.data(), kNrFlashBlockSize, device_.c_str());
        nrCloseSocket();
        return status == kNrOk;
    }

    bool copyAndRestart() {
        stage_ = Stage::CopyRequested;
        if (!sendControl(device_, kNrFlashCopy))
            return fail(NR_FIRMWARE_COPY_FAILED, "did not answer the flash-copy request");
        stage_ = Stage::Copied;
        restartDone_ = true;
        nrStopWinsock();
        progress("\n\nPallix Restarting...\n");
        progress("DO NOT DISCONNECT...\n\n");
        pause(timings_.restartWait);
        if (!awaitDevice()) {
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timings_.comeBackBound);
            return fail(NR_FIRMWARE_DEVICE_LOST,
                        "did not answer within " + std::to_string(seconds.count()) + " seconds of its restart");
        }
        progress("\n\n");
        return eraseUpperFlash(kSecondEraseStart);
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

    bool leaveProgramMode() {
        if (sendControl(device_, kNrLeaveProgramMode))
            return true;
        return fail(NR_FIRMWARE_LEAVE_FAILED,
                    "received the whole image but did not answer the request to leave program mode. "
                    "It may still wait in program mode.",
                    false);
    }

    bool runsAgain() {
        nrOpenSocket(device_.c_str());
        const int32_t status = nrGetMem(device_.c_str(), kGlobalStatusRegister, 1);
        nrCloseSocket();
        if (status == kNrOk)
            return true;
        return fail(NR_FIRMWARE_NOT_RUNNING,
                    "left program mode but does not answer a register read: it is in recovery.", false);
    }

    // Releases the device where it still answers and says what it is left with.
    int32_t stop() {
        std::string text = "Firmware update failed: " + failure_->what;
        if (failure_->releaseFirst) {
            const bool released = sendControl(device_, kNrLeaveProgramMode);
            text += std::string(". ") + stateOf(stage_) +
                    (released ? "; it is released from program mode."
                              : "; it did not answer the request to leave program mode either.");
        }
        report(text + kRunAgain);
        return failure_->result;
    }

    const std::string device_;
    const NrFirmwareTimings timings_;
    std::array<uint8_t, kNrMacBytes> mac_{};
    Stage stage_ = Stage::Untouched;
    std::optional<Failure> failure_;
    bool firstPassDone_ = false;
    bool restartDone_ = false;
    int attempts_ = 0;  // rediscovery attempts since the last network renewal
};

// The discovery before the update found nobody. A device waiting in
// program mode answers no probe, so it is released all the same.
int32_t releaseUnseenDevice(const std::string &device) {
    const bool answered = sendControl(device, kNrLeaveProgramMode);
    const std::string text =
        answered ? "No Pallix answered the probe at " + device +
                       ", but one answered the request to leave program mode: it was waiting in program "
                       "mode and has been released. Nothing was written to it; run the update again."
                 : "No Pallix answered at " + device + ". Nothing was written to it.";
    progress("\n\n");
    nrShowMessage(kUpdateCaption, text.c_str(), NrBoxModality::System);
    return NR_FIRMWARE_NO_DEVICE;
}

}  // namespace

int32_t nrFirmwareUpdateWith(const char *deviceAddress, const char *imagePath,
                             const NrFirmwareTimings &timings) {
    if (deviceAddress == nullptr || imagePath == nullptr) {
        report("The firmware update needs a device address and an image path. Nothing was written.");
        return NR_FIRMWARE_IMAGE_REFUSED;
    }
    if (nrLib.discoveryCount <= 0)
        return releaseUnseenDevice(deviceAddress);
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
