// The control protocol's requests that talk to the device, answered alike by
// the service and by pallixctl when no service runs. Requests and replies
// are JSON objects: a reply has "ok"; a failed one says why in "error", and
// its "kind" tells bad input ("invalid") from everything else.
#pragma once

#include "loop/Task.h"
#include "selftest/SelfTest.h"

#include <QJsonObject>
#include <functional>

class NrError;

namespace ReplyKind {
inline const QString Invalid = QStringLiteral("invalid");   // nothing was done
inline const QString Device = QStringLiteral("device");     // the device failed
inline const QString Busy = QStringLiteral("busy");         // try again later
inline const QString Refused = QStringLiteral("refused");   // not in this state
}   // namespace ReplyKind

QJsonObject okReply();
QJsonObject errorReply(const QString &text, const QString &kind);
QJsonObject errorReply(const NrError &error);

// "devices" of the last discovery, "found" with each one's "address",
// "firmware" and "mac", and "firmware", "mac" of the first.
QJsonObject devicesReply();
// The error reply for a setting name (and value) that cannot be used, or
// empty when it can; nothing is asked of the device.
QJsonObject settingRequestError(const QString &name, const QString *value);
// "settings": {name: text} for one setting or, for "all", every one.
loop::Task<QJsonObject> getReply(QString address, QString name);
// Checks name and value before anything is written.
loop::Task<QJsonObject> setReply(QString address, QString name, QString value);
// The error reply for settings to import ({name: value}) of which one
// cannot be used, or empty when all can.
QJsonObject importRequestError(const QJsonObject &settings);
// Writes the settings that differ from what the device holds and reads them
// back: "written" {name: value}, "settings" as read back; a device error
// names each setting that did not take ("notTaken").
loop::Task<QJsonObject> importReply(QString address, QJsonObject settings);
// "globalStatus" and the live "outputs", "inputs" of a device.
loop::Task<QJsonObject> deviceStatusReply(QString address);

enum class SelfTestKind { Read, Write };

// A self test without a window: its log lines go to a callback, one at a
// time; stop() ends it at its next step (a write test restores first).
class HeadlessSelfTest : public SelfTestView {
public:
    using LineOut = std::function<void(const QString &line)>;

    HeadlessSelfTest(int loops, bool details, LineOut out,
                     SelfTest::DeviceEventHandler onDeviceEvent = {});

    // Runs the test to its end; the reply says how many passes ran and how
    // many problems (mismatches, unrestored settings) they logged. The
    // write test's warning is not asked: asking for the test was the answer.
    loop::Task<QJsonObject> run(SelfTestKind kind);
    void stop() { test_.stop(); }

    bool detailsChecked() const override { return details_; }
    std::string loopCountText() const override { return std::to_string(loops_); }
    void fillLoopCounts(int) override {}
    void appendLogLine(const std::string &text) override;
    void clearLog() override {}
    void showLamps(const StatusLamps &) override {}
    void showStatusCaption(const std::string &) override {}
    void showProgress(const std::string &text) override;
    void showTestRunning(bool) override {}

private:
    int loops_;
    bool details_;
    LineOut out_;
    int passes_ = 0;
    int problems_ = 0;
    SelfTest test_;
};
