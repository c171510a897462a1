// The notification icon: mouse decoding, icons, tip, menu and the window's own state.
#include "app/AppState.h"
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "SysTray.h"
#include "app/ShellExecute.h"
#include "frmPallixSysTray.h"

#include <QAction>
#include <QApplication>
#include <gtest/gtest.h>

namespace {

TEST(TrayMouse, ActivationReasonsBecomeMouseMessages)
{
    EXPECT_EQ(trayMessageFor(QSystemTrayIcon::Trigger), TrayLeftButtonUp);
    EXPECT_EQ(trayMessageFor(QSystemTrayIcon::DoubleClick), TrayLeftDoubleClick);
    EXPECT_EQ(trayMessageFor(QSystemTrayIcon::Context), TrayRightButtonUp);
    EXPECT_EQ(trayMessageFor(QSystemTrayIcon::MiddleClick), TrayNoMessage);
    EXPECT_EQ(int(TrayLeftButtonUp), 514);
    EXPECT_EQ(int(TrayLeftDoubleClick), 515);
    EXPECT_EQ(int(TrayRightButtonUp), 517);
}

TEST(TrayMouse, MessagesDecodeToTheirActions)
{
    EXPECT_EQ(decodeTrayMessage(514), TrayMouseAction::RestoreAndMenu);
    EXPECT_EQ(decodeTrayMessage(515), TrayMouseAction::Restore);
    EXPECT_EQ(decodeTrayMessage(517), TrayMouseAction::Menu);
    for (int other : {0, 512, 513, 516, 518, 519})
        EXPECT_EQ(decodeTrayMessage(other), TrayMouseAction::Nothing) << other;
}

// Mean colour of the icon's opaque pixels.
QColor meanColour(const QIcon &icon)
{
    const QImage image = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    long r = 0, g = 0, b = 0, n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() < 200) continue;
            r += c.red(), g += c.green(), b += c.blue(), ++n;
        }
    if (n == 0) return {};
    return QColor(int(r / n), int(g / n), int(b / n));
}

class TrayWindowTest : public ::testing::Test {
protected:
    FakePlatform platform;
    TestAppFolder folder;
    frmPallixSysTray window;
};

TEST_F(TrayWindowTest, ChangeIconLoadsRedForZeroAndGrayOtherwise)
{
    window.changeIcon(0);
    QColor c = meanColour(window.trayIcon.icon());
    EXPECT_EQ(window.iconIndex(), 0);
    EXPECT_GT(c.red(), c.green() + 80);
    EXPECT_EQ(window.windowIcon().cacheKey(), window.trayIcon.icon().cacheKey());

    window.changeIcon(7);
    c = meanColour(window.trayIcon.icon());
    EXPECT_EQ(window.iconIndex(), 7);
    EXPECT_LT(std::abs(c.red() - c.green()), 20);
}

TEST_F(TrayWindowTest, AMissingIconFileFallsBackWithoutFailing)
{
    appState().appPath = folder.path() + "elsewhere/";
    window.changeIcon(1);
    EXPECT_EQ(window.iconIndex(), 1);
    EXPECT_FALSE(window.trayIcon.icon().isNull());
}

// Notices go to the desktop unless switched off in the menu, which is
// remembered for the next start.
TEST_F(TrayWindowTest, NoticesFollowTheMenuSwitchAndItIsRemembered)
{
    window.trayIcon.show();
    EXPECT_TRUE(window.mnuNotifications->isChecked());
    window.summary.powerLost();
    EXPECT_EQ(window.noticesShown(), 1);

    window.mnuNotifications->trigger();   // off
    window.summary.powerLost();
    EXPECT_EQ(window.noticesShown(), 1);
    frmPallixSysTray next;
    EXPECT_FALSE(next.mnuNotifications->isChecked());
}

// "Update &App" is there only where the build names the maker's support page.
TEST_F(TrayWindowTest, MenuItemsInOrder)
{
    QStringList captions;
    for (QAction *action : window.mnuPopupSys.actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QStringList expected{"&Configure Pallix™", "&Discovery Process", "Self Test", "-"};
    if (!supportPageUrl().empty()) expected << "Update &App";
    expected << QStringList{"Update &Firmware", "-", "Pallix™ &User Guide",
                            "A&bout Nerrin Pallix™", "Desktop &Notifications", "-", "E&xit"};
    EXPECT_EQ(captions, expected);
    const auto firmware = captions.indexOf(QStringLiteral("Update &Firmware"));
    EXPECT_FALSE(window.mnuPopupSys.actions()[firmware]->isEnabled());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Nerrin Pallix™"));
}

TEST_F(TrayWindowTest, LeftAndRightReleaseShowTheMenuDoubleClickDoesNot)
{
    window.trayMessage(515);
    EXPECT_FALSE(window.menuShown());
    window.trayMessage(600);
    EXPECT_FALSE(window.menuShown());
    window.trayMessage(517);
    EXPECT_TRUE(window.menuShown());
    EXPECT_TRUE(window.mnuPopupSys.isVisible());
    window.mnuPopupSys.hide();

    frmPallixSysTray other;
    other.trayMessage(514);
    EXPECT_TRUE(other.menuShown());
    other.mnuPopupSys.hide();
}

TEST_F(TrayWindowTest, MinimizingHidesTheWindow)
{
    window.show();
    ASSERT_TRUE(waitUntil([&] { return window.isVisible(); }, 2000));
    window.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(waitUntil([&] { return !window.isVisible(); }, 2000));
}

TEST_F(TrayWindowTest, ExitRemovesTheIconAndEndsTheApplication)
{
    window.trayIcon.show();
    window.mnuPopupSys.actions().last()->trigger();
    EXPECT_FALSE(window.trayIcon.isVisible());
    EXPECT_TRUE(appState().ending);
    appState().ending = false;
}

}   // namespace
