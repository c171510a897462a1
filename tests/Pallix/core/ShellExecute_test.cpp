#include "AppState.h"
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "NrErrors.h"
#include "ShellExecute.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <optional>

namespace {

// The error shellOpen raises for a given shell result, or none.
std::optional<NrError> openFailure(FakePlatform &platform, int shellResult)
{
    platform.openResult = shellResult;
    try {
        shellOpen(QStringLiteral("/some/document.pdf"));
    } catch (const NrError &error) {
        return error;
    }
    return std::nullopt;
}

}   // namespace

TEST(ShellOpen, TurnsShellCodesIntoErrors)
{
    FakePlatform platform;
    const struct {
        int code;
        const char *description;
    } cases[] = {
        {2, "File not found"},
        {3, "Path not found"},
        {5, "Access denied"},
        {8, "Out of memory"},
        {11, "Invalid EXE file or error in EXE image"},
        {26, "A sharing violation occurred"},
        {27, "Incomplete or invalid file association"},
        {28, "DDE Time out"},
        {29, "DDE transaction failed"},
        {30, "DDE IO.BUSy"},
        {31, "No association for file extension"},
        {32, "DLL not found"},
        {0, "Unknown error"},
        {1, "Unknown error"},
        {7, "Unknown error"},
        {24, "Unknown error"},
    };
    for (const auto &c : cases) {
        const auto error = openFailure(platform, c.code);
        ASSERT_TRUE(error.has_value()) << c.code;
        EXPECT_EQ(error->number(), c.code);
        EXPECT_EQ(error->description(), QString::fromLatin1(c.description)) << c.code;
    }
}

TEST(ShellOpen, ResultsAbove32AreSuccess)
{
    FakePlatform platform;
    EXPECT_FALSE(openFailure(platform, 33).has_value());
    EXPECT_FALSE(openFailure(platform, 42).has_value());
    EXPECT_EQ(platform.opened.size(), 2);
    EXPECT_TRUE(platform.boxes.isEmpty());   // shellOpen never shows anything itself
}

TEST(UserGuide, OpensTheGuideOfTheApplicationFolder)
{
    TestAppFolder folder;
    FakePlatform platform;
    openUserGuide();
    EXPECT_EQ(platform.opened,
              QStringList{folder.path() + QStringLiteral("Pallix_User_Guide.pdf")});
    EXPECT_TRUE(platform.boxes.isEmpty());
    EXPECT_TRUE(folder.logLines().isEmpty());
}

TEST(UserGuide, AMissingGuideIsReportedAndLogged)
{
    TestAppFolder folder;
    FakePlatform platform;
    platform.openResult = 2;
    appState().lastGlobalStatus = 5;
    openUserGuide();
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("File not found (2)"));
    EXPECT_EQ(platform.boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(folder.logLines(), QStringList{QStringLiteral("File not found (2)(Status:5)")});
}

TEST(UserGuide, TheBuildRendersItIntoTheApplicationFolder)
{
    const QDir appFolder(QStringLiteral(PALLIX_BUILD_APP_DIR));
    QFile guide(appFolder.filePath(QStringLiteral("Pallix_User_Guide.pdf")));
    ASSERT_TRUE(guide.open(QIODevice::ReadOnly)) << guide.fileName().toStdString();
    const QByteArray pdf = guide.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    // A guide of several pages, not an empty document.
    EXPECT_GE(pdf.count("/Type /Page\n"), 3);
}

TEST(SupportPage, OpensTheSupportAddressInTheBrowser)
{
    TestAppFolder folder;
    FakePlatform platform;
    platform.openResult = 31;
    openSupportPage();
    ASSERT_EQ(platform.opened.size(), 1);
    EXPECT_TRUE(platform.opened[0].startsWith(QStringLiteral("https://")));
    EXPECT_EQ(platform.opened[0], QString::fromLatin1(SupportPageUrl));
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("No association for file extension (31)"));
}
