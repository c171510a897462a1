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

    // Starts counting Delay seconds down to action code ShutDownMode.
    void Shutdown(int ShutDownMode, int Delay);

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
    frmShutdown();
    void showDelay();
    void finish();   // the countdown is over, whichever way

    bool ticking_ = false;
};

// True when an input that is enabled as a power input is active.
bool PowerInputActive();
