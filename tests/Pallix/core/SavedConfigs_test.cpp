// Settings as text and the configurations kept by MAC address: what is
// written reads back as it was, bad lines are named, and after a power loss
// the defaults a device holds never replace the configuration kept before.
#include "AppTestSupport.h"
#include "app/Files.h"
#include "config/SavedConfigs.h"
#include "device/SettingsText.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// Every field a different value from its neighbours and from the defaults.
DeviceConfig variedConfig()
{
    DeviceConfig config;
    int32_t next = 3;
    for (const SettingField &field : settingFields()) {
        const int32_t range = field.unit == SettingUnit::HalfSeconds ? 256
                              : field.unit == SettingUnit::Action    ? 6
                                                                     : 2;
        config.*field.value = next++ % range;
    }
    return config;
}

std::vector<int> errorLines(const ParsedSettings &parsed)
{
    std::vector<int> lines;
    for (const SettingsLineError &error : parsed.errors)
        lines.push_back(error.line);
    return lines;
}

TEST(SettingsText, AConfigurationReadsBackFromItsLines)
{
    const DeviceConfig config = variedConfig();
    const std::string text = settingsText(config);
    const ParsedSettings parsed = parseSettingsText("# kept\n\n" + text);
    EXPECT_TRUE(parsed.errors.empty());
    EXPECT_EQ(completeConfig(parsed.settings, nullptr), config);
    EXPECT_NE(text.find("shutdownAction = "), std::string::npos);
}

TEST(SettingsText, EveryBadLineIsNamedWithItsNumberTextAndReason)
{
    const ParsedSettings parsed = parseSettingsText("powerOffDelay = 30.5\n"
                                                    "powerOnDelay: 3\n"
                                                    "noSuchSetting = 1\n"
                                                    "# a comment\n"
                                                    "shutdownAction = Hover\n"
                                                    "POWEROFFDELAY = 2\n"
                                                    "  out1Manual =  manual \r\n");
    EXPECT_EQ(errorLines(parsed), (std::vector<int>{2, 3, 5, 6}));
    ASSERT_EQ(parsed.errors.size(), 4u);
    EXPECT_EQ(describeLineError(parsed.errors[2]),
              "line 5: \"shutdownAction = Hover\": shutdownAction takes \"Shutdown\", \"Restart\", "
              "\"Hibernate/Sleep\", \"Stand By\", \"Log Out\", \"No Action\", not \"Hover\"");
    EXPECT_NE(parsed.errors[1].reason.find("no setting \"noSuchSetting\""), std::string::npos);
    EXPECT_NE(parsed.errors[3].reason.find("twice"), std::string::npos);
    ASSERT_EQ(parsed.settings.size(), 2u);
    EXPECT_EQ(parsed.settings[1].value, 1);   // manual
    std::string missing;
    EXPECT_FALSE(completeConfig(parsed.settings, &missing));
    EXPECT_NE(missing.find("wdtEnable"), std::string::npos);
}

class SavedConfigsTest : public ::testing::Test {
protected:
    static constexpr char Mac[] = "02-50-4C-00-00-01";

    SavedConfigsTest() { store.setFolder(state); }
    std::string fileText(const std::string &mac) { return readFile(store.pathOf(mac)).value_or(""); }
    LoadedSettings readOf(const DeviceConfig &config, int globalStatus = 0)
    {
        LoadedSettings loaded;
        loaded.config = config;
        loaded.globalStatus = globalStatus;
        return loaded;
    }

    TestAppFolder folder;
    std::string state = folder.path() + "state";
    SavedConfigs store;
    DeviceConfig good = variedConfig();
    DeviceConfig defaults;
};

TEST_F(SavedConfigsTest, EachDeviceHasItsFileByMacAddressInAnyForm)
{
    store.read("02:50:4c:00:00:01", readOf(good));
    store.read("02-50-4C-00-00-02", readOf(defaults));
    store.read("not a mac address", readOf(good));
    EXPECT_EQ(store.pathOf(Mac), utf8Of(fs::path(state) / "devices" / "02-50-4C-00-00-01.conf"));
    EXPECT_EQ(fileText(Mac), settingsText(good));
    EXPECT_EQ(fileText("02-50-4C-00-00-02"), settingsText(defaults));
    std::string error;
    EXPECT_EQ(store.load("02:50:4C:00:00:01", &error), good);
    EXPECT_FALSE(store.load("02-50-4C-00-00-03", &error));
    EXPECT_NE(error.find("No configuration is kept"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(state) / "devices"), {}), 2);
}

// The loss is marked on disk: a program started again does not keep the
// defaults either, until a complete configuration is written.
TEST_F(SavedConfigsTest, AfterAPowerLossOnlyAWrittenConfigurationIsKept)
{
    store.read(Mac, readOf(good));
    store.read(Mac, readOf(defaults, 0x80));   // the read itself reports the loss
    EXPECT_EQ(fileText(Mac), settingsText(good));
    EXPECT_TRUE(store.powerLossMarked(Mac));
    store.read(Mac, readOf(defaults));   // acknowledged since
    EXPECT_EQ(fileText(Mac), settingsText(good));

    SavedConfigs restarted;
    restarted.setFolder(state);
    restarted.read(Mac, readOf(defaults));
    EXPECT_EQ(fileText(Mac), settingsText(good));

    DeviceConfig chosen = good;
    chosen.powerOffDelay = 7;
    restarted.written(Mac, chosen);
    EXPECT_FALSE(restarted.powerLossMarked(Mac));
    restarted.read(Mac, readOf(defaults));
    EXPECT_EQ(fileText(Mac), settingsText(defaults));
}

TEST_F(SavedConfigsTest, AFileThatCannotBeUsedIsReportedAndLeftAsItIs)
{
    store.read(Mac, readOf(good));
    const std::string edited = "powerOffDelay = 300\n" + fileText(Mac);
    ASSERT_TRUE(replaceFile(store.pathOf(Mac), edited, nullptr));
    std::string error;
    EXPECT_FALSE(store.load(Mac, &error));
    EXPECT_NE(error.find("line 1: \"powerOffDelay = 300\""), std::string::npos) << error;
    store.read(Mac, readOf(defaults));
    EXPECT_EQ(fileText(Mac), edited);
    ASSERT_FALSE(folder.logLines().empty());
    EXPECT_NE(folder.logLines().back().find("left as it is"), std::string::npos);
}

// A write that fails leaves the file kept before whole, and says why.
TEST_F(SavedConfigsTest, AFailedWriteLosesNothing)
{
    store.read(Mac, readOf(good));
    fs::create_directory(store.pathOf(Mac) + ".new");   // where the new content would go
    store.read(Mac, readOf(defaults));
    EXPECT_EQ(fileText(Mac), settingsText(good));
    ASSERT_FALSE(folder.logLines().empty());
    EXPECT_EQ(folder.logLines().back().rfind("Cannot keep the configuration of the Pallix " + std::string(Mac) + " in ", 0), 0u)
        << folder.logLines().back();

    SavedConfigs blocked;   // the state folder is a file: nothing can be kept
    ASSERT_TRUE(replaceFile(folder.path() + "blocked", "", nullptr));
    blocked.setFolder(folder.path() + "blocked");
    blocked.read(Mac, readOf(good));
    EXPECT_FALSE(blocked.has(Mac));
}

}   // namespace
