// The self-test window: shows what SelfTest logs and reads, and passes on
// the button presses.
#pragma once

#include "selftest/SelfTest.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class StatusLamp;

class frmSelftTest : public QWidget, private SelfTestView {
    Q_OBJECT
public:
    explicit frmSelftTest(SelfTest::DeviceEventHandler onDeviceEvent, QWidget *parent = nullptr);

    SelfTest &selfTest() { return selfTest_; }
    // Back to the state of a freshly opened window, then the window load.
    void reload();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool detailsChecked() const override;
    std::string loopCountText() const override;
    void fillLoopCounts(int last) override;
    void appendLogLine(const std::string &text) override;
    void clearLog() override;
    void showLamps(const StatusLamps &lamps) override;
    void showStatusCaption(const std::string &caption) override;
    void showProgress(const std::string &text) override;
    void showTestRunning(bool running) override;

    QWidget *buildStatusFrame();
    QWidget *buildLegend();

    QLabel *picture;
    QLabel *titleLabel;
    QGroupBox *statusFrame;
    StatusLamp *chkInState0;
    StatusLamp *chkInState1;
    StatusLamp *chkOutState0;
    StatusLamp *chkOutState1;
    QGroupBox *fraLegend;
    QLabel *lblSelfTest;
    QPushButton *cmdReadLoop;
    QPushButton *cmdWriteLoopTest;
    QPushButton *cmdStop;
    QComboBox *cmbLoops;
    QCheckBox *chkDetails;
    QPlainTextEdit *txtLog;
    QPushButton *cmdClear;

    SelfTest selfTest_;
};

// "Self Test": the window, opened or brought forward. A device event the
// write test finds goes to onDeviceEvent.
void showSelfTest(const SelfTest::DeviceEventHandler &onDeviceEvent);
