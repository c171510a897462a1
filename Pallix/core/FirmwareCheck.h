// The check that runs after every successful discovery: a device whose
// firmware differs from the carried image is offered an update, which a
// separate updater program carries out while the application is gone.
#pragma once

#include "Platform.h"

#include <QString>

// Version of the image carried in download/.
inline constexpr char CarriedFirmwareVersion[] = "01.03";

// Number of the error raised when the updater cannot be started.
constexpr int UpdaterStartError = 53;

// The three prompts, in the order they are shown.
QString firmwareUpdatePrompt(const QString &localVersion, const QString &deviceAddress,
                             const QString &macAddress);
QString multipleNetworksWarning();
QString powerWarning();

// The updater's program and its two arguments: the device and the image.
CommandLine updaterCommand(const QString &deviceAddress);

// After every successful discovery: a device with other firmware is offered
// the update, once per run. The prompts do not wait; accepting them all
// starts the updater and ends the application.
void firmwareCheck();
