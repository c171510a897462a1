// Start-up in a folder without the device library: a clear message, and the end.
#include "app/AppState.h"
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
    QFile::remove(QString::fromStdString(folder.path() + "libNerrinAPI.so"));
    frmPallixSysTray window;
    EXPECT_FALSE(window.start());
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(platform.boxes[0].text.starts_with("Cannot load the device library"));
    EXPECT_TRUE(platform.boxes[0].text.ends_with("(48)"));
    EXPECT_EQ(platform.boxes[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(window.trayIcon.isVisible());
    EXPECT_EQ(folder.logLines().size(), 1u);
}

}   // namespace
