// The self test's logic: the read loop, the write loop, the register pass
// and its restore. It talks to the device through the device thread and to
// the window only through SelfTestView, so tests drive it without a window.
#pragma once

#include "device/DeviceSettings.h"
#include "device/DeviceThread.h"
#include "device/RegisterAccess.h"
#include "loop/Event.h"
#include "loop/TaskScope.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// What the self test shows and asks of its window.
class SelfTestView {
public:
    virtual ~SelfTestView() = default;
    virtual bool detailsChecked() const = 0;
    virtual std::string loopCountText() const = 0;
    virtual void fillLoopCounts(int last) = 0;   // 1 to last, first one selected
    // Becomes the log's last line, scrolled to.
    virtual void appendLogLine(const std::string &text) = 0;
    virtual void clearLog() = 0;
    virtual void showLamps(const StatusLamps &lamps) = 0;
    virtual void showStatusCaption(const std::string &caption) = 0;
    virtual void showProgress(const std::string &text) = 0;
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
int loopCountFromText(const std::string &text);

// Stops every running self test; a running write test restores the device's
// configuration before this ends. For the application's end.
loop::Task<> stopSelfTestsAndRestore();
// Ends the application once the running self tests have written the
// settings back.
loop::Task<> endAfterSelfTests(int exitCode = 0);

class SelfTest {
public:
    static constexpr int MaxLoops = 1000;
    static constexpr int PauseMs = 1000;

    // A device event the write test found in the global status before
    // writing it: whoever watches the device acts on it after the restore.
    using DeviceEventHandler = std::function<void(int status)>;
    // Whether the write test asks before it starts; a test asked for on a
    // command line was asked already.
    enum class WriteWarning { Ask, AlreadyAgreed };

    explicit SelfTest(SelfTestView &view, DeviceEventHandler onDeviceEvent = {});
    ~SelfTest();
    SelfTest(const SelfTest &) = delete;
    SelfTest &operator=(const SelfTest &) = delete;

    // Button and window handlers; each starts its work and reports its own errors.
    void load();
    void readTest();
    void writeTest();
    void stop();
    void clear();

    // The two tests to their end, for a caller that waits on them. A test
    // asked for while one runs does nothing.
    loop::Task<> read();
    loop::Task<> write(WriteWarning warning = WriteWarning::Ask);

    // Ends a running test at its next step. A running write test restores
    // the device's configuration before this ends.
    loop::Task<> stopAndRestore();

    bool running() const { return running_; }
    const SavedSettings &savedSettings() const { return saved_; }

    // The routines both tests share.
    void addLog(const std::string &text);
    loop::Task<> updateStatusIndicators();
    loop::Task<> readAllRegisters();

private:
    class RunScope;
    struct SweepRegister;
    struct FlagRegister;

    loop::Task<> runReadTest();
    loop::Task<> runWriteTest();
    loop::Task<> writeTestPass();
    loop::Task<> restoreSettings();
    loop::Task<> restoreReporting();
    void handOverPendingEvent();

    std::string testDevice() const;
    loop::Task<> selectDevice();
    // A job on the test's device, selected first; a test whose device is no
    // longer the watched one stops rather than write into another.
    template <typename Job, typename... Inputs> auto onTestDevice(Job job, Inputs... inputs)
    {
        aimAtTestDevice();
        return onDevice(testDevice(), job, std::move(inputs)...);
    }
    void aimAtTestDevice() const;

    // The write pass's steps; each ends false once Stop was seen.
    bool eventPending(int32_t status);
    loop::Task<bool> testGlobalStatus();
    loop::Task<bool> pauseWithIndicators();
    loop::Task<bool> testOutState();
    loop::Task<bool> sweep(const SweepRegister &reg);
    loop::Task<bool> testFlags(const FlagRegister &reg);
    void compare(const std::string &label, int32_t expected, int32_t actual);

    SelfTestView &view_;
    DeviceEventHandler onDeviceEvent_;
    SavedSettings saved_;
    std::string device_;   // the device a running test addresses
    bool stopRequested_ = false;
    bool running_ = false;
    bool writeTestRunning_ = false;
    bool savedThisRun_ = false;              // saved_ was read completely by the running write test
    bool restored_ = false;                  // the running write test wrote saved_ back
    bool destroyed_ = false;                 // the view may be gone
    std::optional<int32_t> pendingStatus_;   // a device event the test found, for the monitor
    loop::Event ended_;                      // a test ended
    loop::TaskScope tasks_;
};
