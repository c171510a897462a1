// The countdown window of a PC power action requested by the device.
#pragma once

#include <QWidget>
#include <QTimer>

class QLabel;
class QPushButton;

class frmShutdown : public QWidget {
    Q_OBJECT
public:
    static constexpr int TickInterval = 1000;

    static frmShutdown &instance();   // created on first use, one for the process

    // Starts counting Delay seconds down to action code ShutDownMode. The
    // monitor is held until the countdown ends, whichever way.
    void Shutdown(int ShutDownMode, int Delay);
    bool counting() const { return counting_; }

    void tick();
    void cmdNow_Click();
    void cmdCancel_Click();

    QLabel *lblShutdown = nullptr;
    QPushButton *cmdNow = nullptr;
    QPushButton *cmdCancel = nullptr;
    QTimer Timer1;

    int ShutDownMode = 0;
    int Delay = 0;
    QString ActionText;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    enum class InputCheck { Idle, PowerInputActive, Skipped };

    frmShutdown();
    void showDelay();
    InputCheck checkInputs();
    bool stillCounting(unsigned run) const { return counting_ && run == run_; }
    void runAction();
    void finish();   // the countdown is over, whichever way

    bool ticking_ = false;
    bool counting_ = false;
    unsigned run_ = 0;              // which countdown a tick belongs to
    bool skipLogged_ = false;       // the skipped input check was logged for this countdown
};

// True when an input that is enabled as a power input is active.
bool PowerInputActive();

// Action codes after which the PC sleeps and wakes up again.
bool SleepsThePC(int code);

// The log entry written once per countdown when its input check is skipped.
QString InputCheckSkippedText();
