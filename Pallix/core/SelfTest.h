// The self test's logic: the read loop, the write loop, the register pass
// and its restore. It talks to the device through NrAPI and to the window
// only through SelfTestView, so tests drive it without a window.
#pragma once

#include "DeviceSettings.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

// What the self test shows and asks of its window.
class SelfTestView {
public:
    virtual ~SelfTestView() = default;
    virtual bool detailsChecked() const = 0;
    virtual QString loopCountText() const = 0;
    virtual void fillLoopCounts(int last) = 0;   // 1 to last, first one selected
    virtual void
    appendLogLine(const QString &text) = 0;   // becomes the log's last line, scrolled to
    virtual void clearLog() = 0;
    virtual void showLamps(const StatusLamps &lamps) = 0;
    virtual void showStatusCaption(const QString &caption) = 0;
    virtual void showProgress(const QString &text) = 0;
    virtual void showTestRunning(bool running) = 0;   // the test buttons refuse a second test
};

// The device registers as the register pass reads them; the out-parameters
// of each library function in parameter order.
struct SavedSettings {
    int32_t powerOnDelay = 0;
    int32_t powerOffDelay = 0;
    int32_t outState[6] = {};
    int32_t outACPIEnable[2] = {};
    int32_t powerInEnable[2] = {};
    int32_t acpiPulseWidth1 = 0;
    int32_t acpiPulseWidth2 = 0;
    int32_t wdtEnable = 0;
    int32_t outInEnable[4] = {};
    int32_t shutdownAction = 0;
    int32_t inState[2] = {};
    int32_t outOnDelay1 = 0;
    int32_t outOffDelay1 = 0;
    int32_t outOnDelay2 = 0;
    int32_t outOffDelay2 = 0;
};

// The leading number of a loop-count text, rounded half to even; 0 when
// there is none.
int loopCountFromText(const QString &text);

// Stops every running self test; a running write test restores the device's
// configuration before this returns. For the application's end.
void stopSelfTestsAndRestore();

class SelfTest {
public:
    static constexpr int MaxLoops = 1000;

    explicit SelfTest(SelfTestView &view);
    ~SelfTest();
    SelfTest(const SelfTest &) = delete;
    SelfTest &operator=(const SelfTest &) = delete;

    // Button and window handlers; each reports its own errors.
    void load();
    void readTest();
    void writeTest();
    void stop();
    void clear();

    // Ends a running test at its next step. A running write test restores the
    // device's configuration before this returns.
    void stopAndRestore();

    bool running() const { return running_; }
    const SavedSettings &savedSettings() const { return saved_; }

    // The routines both tests share.
    void addLog(const QString &text);
    void updateStatusIndicators();
    void readAllRegisters();

private:
    class RunScope;
    struct SweepRegister;
    struct FlagRegister;

    void runReadTest();
    void runWriteTest();
    void writeTestPass();
    void restoreSettings();
    void restoreReporting();

    QString testDevice() const;
    void selectDevice();
    void aimAtTestDevice();
    void readRegister(const char *name, const std::function<int32_t()> &read);

    // The write pass's steps; each returns false once Stop was seen.
    bool exercise(const std::function<void()> &writeReadCompare);
    bool eventPending(int32_t status);
    bool testGlobalStatus();
    void handOverPendingEvent();
    bool pauseWithIndicators();
    bool testOutState();
    bool sweep(const SweepRegister &reg);
    bool testFlags(const FlagRegister &reg);
    void compare(const QString &label, int32_t expected, int32_t actual);

    SelfTestView &view_;
    SavedSettings saved_;
    QString device_;   // the device a running test addresses
    bool stopRequested_ = false;
    bool running_ = false;
    bool writeTestRunning_ = false;
    bool savedThisRun_ = false;              // saved_ was read completely by the running write test
    bool restored_ = false;                  // stopAndRestore already wrote saved_ back
    std::optional<int32_t> pendingStatus_;   // a device event the test found, for the monitor
};
