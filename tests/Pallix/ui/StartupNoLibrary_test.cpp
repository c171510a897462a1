// Start-up in a folder without the device library: a clear message, and the end.
#include "AppState.h"
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "frmPallixSysTray.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(StartupWithoutLibrary, SaysWhyAndEndsWithoutAnIcon)
{
    FakePlatform platform;
    TestAppFolder folder;
    QFile::remove(folder.path() + QStringLiteral("libNerrinAPI.so"));
    frmPallixSysTray window;
    EXPECT_FALSE(window.start());
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_TRUE(
        platform.boxes[0].text.startsWith(QStringLiteral("Cannot load the device library")));
    EXPECT_TRUE(platform.boxes[0].text.endsWith(QStringLiteral("(48)")));
    EXPECT_EQ(platform.boxes[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(window.trayIcon.isVisible());
    EXPECT_EQ(folder.logLines().size(), 1);
}

}   // namespace
