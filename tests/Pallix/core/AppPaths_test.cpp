// Where the application finds its files and writes its log, run from an
// application folder and installed.
#include "AppTestSupport.h"
#include "app/AppPaths.h"
#include "app/AppState.h"
#include "app/Files.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

void touch(const std::string &path)
{
    fs::create_directories(fsPath(path).parent_path());
    std::ofstream file(fsPath(path));
    ASSERT_TRUE(file.good()) << path;
}

class AppPaths : public ::testing::Test {
protected:
    AppPaths()
    {
        appState() = AppState{};
        appState().appPath = bin() + "/";
        fs::create_directories(fsPath(bin()));
    }
    std::string bin() const { return folder.path() + "usr/bin"; }
    std::string share() const { return folder.path() + "usr/share/pallix/"; }

    TestAppFolder folder;
};

TEST_F(AppPaths, FilesBesideTheProgramWinOverTheInstalledLayout)
{
    appState().appPath = bin() + "/";
    EXPECT_EQ(appFile(AppFile::RedIcon), share() + "NerrinRed.ico");
    EXPECT_EQ(appFile(AppFile::FirmwareImage), share() + "download/test_out.hex");
    EXPECT_EQ(appFile(AppFile::Updater), bin() + "/nrfwupdate");
    EXPECT_EQ(appFile(AppFile::Library), folder.path() + "usr/" + PALLIX_INSTALLED_LIBRARY);
    EXPECT_FALSE(runsFromAppFolder());

    touch(bin() + "/NerrinRed.ico");
    touch(bin() + "/libNerrinAPI.so");
    EXPECT_EQ(appFile(AppFile::RedIcon), bin() + "/NerrinRed.ico");
    EXPECT_EQ(appFile(AppFile::Library), bin() + "/libNerrinAPI.so");
    EXPECT_TRUE(runsFromAppFolder());
}

TEST_F(AppPaths, TheLogStaysInAnAppFolderAndGoesToTheStateFolderWhenInstalled)
{
    appState().appPath = bin() + "/";
    const std::string home = folder.path() + "home";
    setEnvironment("HOME", home);
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(logFolder(), home + "/.local/state/pallix/");
    EXPECT_TRUE(fs::is_directory(fsPath(logFolder())));

    setEnvironment("XDG_STATE_HOME", home + "/state");
    EXPECT_EQ(logFolder(), home + "/state/pallix/");

    touch(bin() + "/libNerrinAPI.so");
    EXPECT_EQ(logFolder(), appState().appPath);
}

}   // namespace
