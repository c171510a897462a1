// Where the application finds its files and writes its log, run from an
// application folder and installed.
#include "AppPaths.h"
#include "AppState.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

class AppPaths : public ::testing::Test {
protected:
    AppPaths()
    {
        appState() = AppState{};
        appState().appPath = bin() + QLatin1Char('/');
        QDir().mkpath(bin());
    }
    QString bin() const { return root.path() + QStringLiteral("/usr/bin"); }
    QString share() const { return root.path() + QStringLiteral("/usr/share/pallix/"); }

    QTemporaryDir root;
};

TEST_F(AppPaths, FilesBesideTheProgramWinOverTheInstalledLayout)
{
    EXPECT_EQ(appFile(AppFile::RedIcon), share() + QStringLiteral("NerrinRed.ico"));
    EXPECT_EQ(appFile(AppFile::FirmwareImage), share() + QStringLiteral("download/test_out.hex"));
    EXPECT_EQ(appFile(AppFile::Updater), bin() + QStringLiteral("/nrfwupdate"));
    EXPECT_EQ(appFile(AppFile::Library),
              root.path() + QStringLiteral("/usr/") + QStringLiteral(PALLIX_INSTALLED_LIBRARY));
    EXPECT_FALSE(runsFromAppFolder());

    touch(bin() + QStringLiteral("/NerrinRed.ico"));
    touch(bin() + QStringLiteral("/libNerrinAPI.so"));
    EXPECT_EQ(appFile(AppFile::RedIcon), bin() + QStringLiteral("/NerrinRed.ico"));
    EXPECT_EQ(appFile(AppFile::Library), bin() + QStringLiteral("/libNerrinAPI.so"));
    EXPECT_TRUE(runsFromAppFolder());
}

TEST_F(AppPaths, TheLogStaysInAnAppFolderAndGoesToTheStateFolderWhenInstalled)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(logFolder(), home.path() + QStringLiteral("/.local/state/pallix/"));
    EXPECT_TRUE(QFileInfo(logFolder()).isDir());

    qputenv("XDG_STATE_HOME", (home.path() + QStringLiteral("/state")).toLocal8Bit());
    EXPECT_EQ(logFolder(), home.path() + QStringLiteral("/state/pallix/"));

    touch(bin() + QStringLiteral("/libNerrinAPI.so"));
    EXPECT_EQ(logFolder(), appState().appPath);
}

}   // namespace
