// The check that runs after every successful discovery: a device whose
// firmware differs from the carried image is offered an update, which a
// separate updater program carries out while the application is gone.
#pragma once

#include "app/Platform.h"
#include "loop/TaskScope.h"

#include <string>

// Version of the image carried in download/.
inline constexpr char CarriedFirmwareVersion[] = "01.03";

// Number of the error raised when the updater cannot be started.
constexpr int UpdaterStartError = 53;

// The three prompts, in the order they are shown.
std::string firmwareUpdatePrompt(const std::string &localVersion, const std::string &deviceAddress,
                                 const std::string &macAddress);
std::string multipleNetworksWarning();
std::string powerWarning();

// The updater's program and its two arguments: the device and the image.
CommandLine updaterCommand(const std::string &deviceAddress);

// After every successful discovery: a device with other firmware is offered
// the update, once per run. The prompts do not wait; accepting them all
// starts the updater and ends the application.
class FirmwareOffer {
public:
    static constexpr int NetworkRecheckMs = 2000;

    void check();
    bool open() const { return tasks_.running() > 0; }

private:
    loop::Task<> offer();
    loop::Task<> update();
    std::string whyNotNow() const;

    bool offered_ = false;   // once per run: declining is an answer
    std::string device_;     // the device the prompt named
    loop::TaskScope tasks_;
};
