#include "config/SavedConfigs.h"

#include "app/AppState.h"
#include "app/Files.h"
#include "app/LogFile.h"
#include "app/NrErrors.h"
#include "device/GlobalStatus.h"
#include "device/SettingsText.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string devicesFolder(const std::string &folder) { return utf8Of(fsPath(folder) / "devices"); }

bool makeFolder(const std::string &folder, std::string *error)
{
    std::error_code made;
    fs::create_directories(fsPath(folder), made);
    if (made && error) *error = made.message();
    return !made;
}

// Written as one step; a failure is logged with what could not be written.
void writeKept(const std::string &path, const std::string &content, const std::string &what)
{
    std::string error;
    if (makeFolder(utf8Of(fsPath(path).parent_path()), &error) && replaceFile(path, content, &error))
        return;
    logFile("Cannot keep " + what + " in " + path + ": " + error);
}

}   // namespace

std::string macKey(const std::string &mac)
{
    if (mac.size() != 17) return {};
    std::string key;
    for (size_t i = 0; i < mac.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(mac[i]);
        const bool separator = i % 3 == 2;
        if (separator == bool(std::isxdigit(c))) return {};
        key += separator ? '-' : char(std::toupper(c));
    }
    return key;
}

std::string macOfDevice(const std::string &address)
{
    const auto &macs = appState().macAddresses;
    const auto found = macs.find(address);
    return found == macs.end() ? std::string() : found->second;
}

void SavedConfigs::setFolder(const std::string &folder) { folder_ = folder; }

std::string SavedConfigs::pathOf(const std::string &mac) const
{
    const std::string key = macKey(mac);
    if (!keeping() || key.empty()) return {};
    return utf8Of(fsPath(devicesFolder(folder_)) / fsPath(key + ".conf"));
}

std::string SavedConfigs::markerOf(const std::string &mac) const
{
    const std::string path = pathOf(mac);
    return path.empty() ? path : path.substr(0, path.size() - 5) + ".power-lost";
}

bool SavedConfigs::has(const std::string &mac) const
{
    const std::string path = pathOf(mac);
    return !path.empty() && fileExists(path);
}

std::optional<DeviceConfig> SavedConfigs::load(const std::string &mac, std::string *error) const
{
    const std::string path = pathOf(mac);
    if (path.empty() || !fileExists(path)) {
        *error = "No configuration is kept for the Pallix " + (mac.empty() ? "?" : mac);
        return std::nullopt;
    }
    const std::optional<std::string> text = readFile(path);
    if (!text) {
        *error = "Cannot read " + path;
        return std::nullopt;
    }
    const ParsedSettings parsed = parseSettingsText(*text);
    if (!parsed.errors.empty()) {
        *error = path + " cannot be used: " + describeLineError(parsed.errors.front());
        return std::nullopt;
    }
    std::string missing;
    const std::optional<DeviceConfig> config = completeConfig(parsed.settings, &missing);
    if (!config) *error = path + " cannot be used: it lacks " + missing;
    return config;
}

void SavedConfigs::read(const std::string &mac, const LoadedSettings &loaded)
{
    if (loaded.globalStatus & PowerLossBits) powerLost(mac);
    if (!powerLossMarked(mac)) keep(mac, loaded.config);
}

void SavedConfigs::written(const std::string &mac, const DeviceConfig &config)
{
    keep(mac, config);
    lost_.erase(macKey(mac));
    const std::string marker = markerOf(mac);
    std::error_code ignored;
    if (!marker.empty()) fs::remove(fsPath(marker), ignored);
}

void SavedConfigs::powerLost(const std::string &mac)
{
    const std::string marker = markerOf(mac);
    if (marker.empty()) return;
    lost_.insert(macKey(mac));
    if (fileExists(marker)) return;
    writeKept(marker, "The Pallix lost power; its configuration has not been written back.\n",
              "the mark of a power loss");
}

bool SavedConfigs::wouldKeep(const std::string &mac, const DeviceConfig &config) const
{
    const std::string path = pathOf(mac);
    return !path.empty() && !powerLossMarked(mac) && readFile(path) != settingsText(config);
}

bool SavedConfigs::powerLossMarked(const std::string &mac) const
{
    const std::string marker = markerOf(mac);
    return !marker.empty() && (lost_.count(macKey(mac)) > 0 || fileExists(marker));
}

// A file that is there but cannot be used is left as it is: it may be one
// a person edited, and it is all there is to restore.
void SavedConfigs::keep(const std::string &mac, const DeviceConfig &config)
{
    const std::string path = pathOf(mac);
    if (path.empty()) return;
    const std::string text = settingsText(config);
    const std::optional<std::string> old = readFile(path);
    if (old == text) return;
    std::string error;
    if (old && !load(mac, &error)) {
        logFile(error + "; it is left as it is, and the configuration read is not kept");
        return;
    }
    writeKept(path, text, "the configuration of the Pallix " + mac);
}

SavedConfigs &savedConfigs()
{
    static SavedConfigs configs;
    return configs;
}

loop::Task<> keepDeviceConfig(std::string address, DeviceConfig read)
{
    const std::string mac = macOfDevice(address);
    if (!savedConfigs().wouldKeep(mac, read)) co_return;
    std::optional<LoadedSettings> again;
    try {
        again = co_await loadSettings(address);
    } catch (const NrError &) {
    }
    if (again && again->config == read) savedConfigs().read(mac, *again);
}

void keepWritten(const std::string &address, const DeviceConfig &config)
{
    savedConfigs().written(macOfDevice(address), config);
}
