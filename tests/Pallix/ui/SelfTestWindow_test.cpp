// The self-test window: its load, log box, buttons, and the ways out of a
// running write test (closing it, leaving the application).
#include "QtText.h"
#include "SelfTestFixture.h"
#include "StatusLamp.h"
#include "frmSelftTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

template <class W> W *control(QWidget &window, const char *name)
{
    W *found = window.findChild<W *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QColor lampFill(QWidget &window, const char *name)
{
    return control<StatusLamp>(window, name)->colour();
}

frmSelftTest *openedWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<frmSelftTest *>(w)) return window;
    return nullptr;
}

const SelfTest::DeviceEventHandler noEvents = [](int) {};

}   // namespace

class SelfTestWindow : public SelfTestFixture {
protected:
    // The window's load, to its end: the loop counts filled, or a box says why not.
    void loaded(frmSelftTest &window)
    {
        const size_t boxes = platform.boxes.size();
        waitUntil([&] { return control<QComboBox>(window, "cmbLoops")->count() > 0
                               || platform.boxes.size() > boxes; },
                  5000);
    }
    void testEnded(frmSelftTest &window)
    {
        waitUntil([&] { return !window.selfTest().running(); }, 60000);
    }
};

TEST_F(SelfTestWindow, LoadShowsTheLampsAndFillsTheLoopCounts)
{
    storeUserConfiguration();
    frmSelftTest window(noEvents);
    loaded(window);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Nerrin Pallix™ Self Test"));
    EXPECT_EQ(window.size(), QSize(258, 382));

    auto *loops = control<QComboBox>(window, "cmbLoops");
    ASSERT_EQ(loops->count(), 1000);
    EXPECT_EQ(loops->itemText(0), QStringLiteral("1"));
    EXPECT_EQ(loops->itemText(999), QStringLiteral("1000"));
    EXPECT_EQ(loops->currentText(), QStringLiteral("1"));
    EXPECT_TRUE(control<QCheckBox>(window, "chkDetails")->isChecked());
    EXPECT_TRUE(control<QLabel>(window, "lblSelfTest")->text().isEmpty());
    const QString caption = control<QGroupBox>(window, "Frame2")->title();
    EXPECT_TRUE(caption.startsWith(QStringLiteral("Status ")));

    EXPECT_EQ(lampFill(window, "chkOutState0"), QColor(0, 255, 0));
    EXPECT_EQ(lampFill(window, "chkOutState1"), QColor(255, 128, 0));
    EXPECT_EQ(lampFill(window, "chkInState0"), QColor(255, 128, 0));
    EXPECT_EQ(lampFill(window, "chkInState1"), QColor(128, 128, 128));
}

TEST_F(SelfTestWindow, FailedLoadLeavesTheLoopListEmptyAndLampsWhite)
{
    appState().discoveryFailed = true;
    frmSelftTest window(noEvents);
    loaded(window);
    EXPECT_EQ(control<QComboBox>(window, "cmbLoops")->count(), 0);
    EXPECT_EQ(lampFill(window, "chkInState0"), QColor(255, 255, 255));
    EXPECT_EQ(platform.boxes.size(), 1u);

    control<QPushButton>(window, "cmdReadLoop")->click();
    testEnded(window);
    EXPECT_EQ(platform.boxes.size(), 1u);   // an empty list reads as no loops at all
}

TEST_F(SelfTestWindow, LogHoldsOneLinePerEntryWithoutATrailingBreak)
{
    frmSelftTest window(noEvents);
    auto *log = control<QPlainTextEdit>(window, "txtLog");
    window.selfTest().addLog("first");
    window.selfTest().addLog("second");
    EXPECT_EQ(log->toPlainText(), QStringLiteral("first\nsecond"));
    EXPECT_EQ(log->textCursor().selectedText(), QStringLiteral("second"));

    control<QPushButton>(window, "cmdClear")->click();
    window.selfTest().addLog("third");
    EXPECT_EQ(log->toPlainText(), QStringLiteral("third"));

    control<QCheckBox>(window, "chkDetails")->setChecked(false);
    window.selfTest().addLog("Testing: Get In State");
    EXPECT_EQ(log->toPlainText(), QStringLiteral("third"));
}

TEST_F(SelfTestWindow, TestButtonsAreDisabledWhileATestRuns)
{
    frmSelftTest window(noEvents);
    loaded(window);
    auto *read = control<QPushButton>(window, "cmdReadLoop");
    auto *write = control<QPushButton>(window, "cmdWriteLoopTest");
    control<QComboBox>(window, "cmbLoops")->setCurrentIndex(2);
    read->click();
    EXPECT_TRUE(appState().testBusy);
    EXPECT_FALSE(read->isEnabled());
    EXPECT_FALSE(write->isEnabled());
    testEnded(window);

    EXPECT_TRUE(read->isEnabled());
    EXPECT_TRUE(write->isEnabled());
    EXPECT_EQ(control<QLabel>(window, "lblSelfTest")->text(), QStringLiteral("Read Loops: 3"));
}

TEST_F(SelfTestWindow, LeavingTheApplicationMidTestRestoresFirst)
{
    storeUserConfiguration();
    const Configuration before = configuration();
    showSelfTest(noEvents);
    frmSelftTest *window = openedWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->isVisible());
    loaded(*window);

    bool restoredAtTheEnd = false;
    bool ended = false;
    loop::TaskScope leaving;
    const auto restored = [&] { return configuration() == before; };
    control<QPushButton>(*window, "cmdWriteLoopTest")->click();
    letLoopRun(1500);   // inside the out-state pauses
    leaving.spawn([](decltype(restored) check, bool &r, bool &e) -> loop::Task<> {
        co_await stopSelfTestsAndRestore();
        r = check();
        e = true;
    }(restored, restoredAtTheEnd, ended));
    ASSERT_TRUE(waitUntil([&] { return ended; }, 30000));

    EXPECT_TRUE(restoredAtTheEnd);
    EXPECT_EQ(configuration(), before);
    EXPECT_FALSE(control<QPlainTextEdit>(*window, "txtLog")
                     ->toPlainText()
                     .contains(QStringLiteral("Write Test Complete")));
    window->close();
}

TEST_F(SelfTestWindow, ClosingMidTestRestoresAndReopeningLoadsAfresh)
{
    storeUserConfiguration();
    const Configuration before = configuration();
    showSelfTest(noEvents);
    frmSelftTest *window = openedWindow();
    ASSERT_NE(window, nullptr);
    loaded(*window);

    control<QPushButton>(*window, "cmdWriteLoopTest")->click();
    letLoopRun(1500);
    window->close();
    EXPECT_FALSE(window->isVisible());
    testEnded(*window);
    EXPECT_EQ(configuration(), before);

    showSelfTest(noEvents);
    EXPECT_TRUE(window->isVisible());
    loaded(*window);
    EXPECT_TRUE(control<QPlainTextEdit>(*window, "txtLog")->toPlainText().isEmpty());
    EXPECT_EQ(control<QComboBox>(*window, "cmbLoops")->count(), 1000);
    window->close();
}
