// The self-test window: shows what SelfTest logs and reads, and passes on
// the button presses.
#pragma once

#include "Dialog.h"
#include "selftest/SelfTest.h"

class frmSelftTest : public Dialog, private SelfTestView {
public:
    explicit frmSelftTest(SelfTest::DeviceEventHandler onDeviceEvent);

    SelfTest &selfTest() { return selfTest_; }
    // Back to the state of a freshly opened window, then the window load.
    void reload();

private:
    void command(int id, int notification) override;
    // The window goes at once; a running write test restores the settings on its own.
    void closed() override;

    bool detailsChecked() const override;
    std::string loopCountText() const override;
    void fillLoopCounts(int last) override;
    void appendLogLine(const std::string &text) override;
    void clearLog() override;
    void showLamps(const StatusLamps &lamps) override;
    void showStatusCaption(const std::string &caption) override;
    void showProgress(const std::string &text) override;
    void showTestRunning(bool running) override;

    SelfTest selfTest_;
};

// "Self Test": the window, opened or brought forward. A device event the
// write test finds goes to onDeviceEvent.
void showSelfTest(const SelfTest::DeviceEventHandler &onDeviceEvent);
