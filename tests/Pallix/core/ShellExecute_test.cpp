#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "app/AppState.h"
#include "app/Files.h"
#include "app/NrErrors.h"
#include "app/ShellExecute.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

using Lines = std::vector<std::string>;

// The error shellOpen raises for a given shell result, or none.
std::optional<NrError> openFailure(FakePlatform &platform, int shellResult)
{
    platform.openResult = shellResult;
    try {
        shellOpen("/some/document.pdf");
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
        EXPECT_EQ(error->description(), c.description) << c.code;
    }
}

TEST(ShellOpen, ResultsAbove32AreSuccess)
{
    FakePlatform platform;
    EXPECT_FALSE(openFailure(platform, 33).has_value());
    EXPECT_FALSE(openFailure(platform, 42).has_value());
    EXPECT_EQ(platform.opened.size(), 2u);
    EXPECT_TRUE(platform.boxes.empty());   // shellOpen never shows anything itself
}

TEST(UserGuide, OpensTheGuideOfTheApplicationFolder)
{
    TestAppFolder folder;
    FakePlatform platform;
    openUserGuide();
    EXPECT_EQ(platform.opened, Lines{folder.path() + "Pallix_User_Guide.pdf"});
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(folder.logLines().empty());
}

TEST(UserGuide, AMissingGuideIsReportedAndLogged)
{
    TestAppFolder folder;
    FakePlatform platform;
    platform.openResult = 2;
    appState().lastGlobalStatus = 5;
    openUserGuide();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "File not found (2)");
    EXPECT_EQ(platform.boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(folder.logLines(), Lines{"File not found (2)(Status:5)"});
}

TEST(UserGuide, TheBuildRendersItIntoTheApplicationFolder)
{
    const auto pdf = readFile(std::string(PALLIX_BUILD_APP_DIR) + "/Pallix_User_Guide.pdf");
    ASSERT_TRUE(pdf.has_value());
    EXPECT_TRUE(pdf->starts_with("%PDF-"));
    EXPECT_NE(pdf->rfind("%%EOF"), std::string::npos);
    // A guide of several pages, not an empty document.
    size_t pages = 0;
    for (size_t at = 0; (at = pdf->find("/Type /Page\n", at)) != std::string::npos; ++at)
        ++pages;
    EXPECT_GE(pages, 3u);
}

// Offered only where the build names the maker's page (see the menu); the
// address, when there is one, is opened as it stands.
TEST(SupportPage, OpensTheSupportAddressInTheBrowser)
{
    TestAppFolder folder;
    FakePlatform platform;
    platform.openResult = 31;
    openSupportPage();
    ASSERT_EQ(platform.opened.size(), 1u);
    EXPECT_EQ(platform.opened[0], supportPageUrl());
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "No association for file extension (31)");
}
