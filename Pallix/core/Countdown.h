// The countdown of a PC power action the device asked for. Each second it
// re-reads the device's inputs and is abandoned when an enabled power input
// is active; at zero the action runs. A view shows it; its Now and Cancel
// buttons, and closing it, come back here.
#pragma once

#include <QObject>
#include <QTimer>

class CountdownView {
public:
    virtual ~CountdownView() = default;
    virtual void showCountdown(int mode, int secondsLeft) = 0;   // opens the view
    virtual void showSecondsLeft(int secondsLeft) = 0;
    virtual void hideCountdown() = 0;
};

class Countdown : public QObject {
    Q_OBJECT
public:
    static constexpr int TickInterval = 1000;

    Countdown();
    void setView(CountdownView *view) { view_ = view; }

    // Starts counting seconds down to action code mode. The monitor is held
    // until the countdown ends, whichever way.
    void shutdown(int mode, int seconds);
    void tick();
    void now();      // the action at the next tick
    void cancel();   // also closing the view

    bool counting() const { return counting_; }
    int secondsLeft() const { return delay_; }
    int mode() const { return mode_; }

    QTimer timer;

signals:
    void started(int mode, int seconds);
    void abandoned();   // an enabled power input became active
    void cancelled();
    void actionRun(int mode);

private:
    enum class InputCheck { Idle, PowerInputActive, Skipped };

    InputCheck checkInputs();
    bool stillCounting(unsigned run) const { return counting_ && run == run_; }
    void runAction();
    void finish();   // the countdown is over, whichever way

    CountdownView *view_ = nullptr;
    int mode_ = 0;
    int delay_ = 0;
    bool counting_ = false;
    bool ticking_ = false;
    unsigned run_ = 0;          // which countdown a tick belongs to
    bool skipLogged_ = false;   // the skipped input check was logged for this countdown
};

// True when an input that is enabled as a power input is active.
bool powerInputActive();

// Action codes after which the PC sleeps and wakes up again.
bool sleepsThePC(int code);

// The log entry written once per countdown when its input check is skipped.
QString inputCheckSkippedText();
