// The countdown window of a PC power action requested by the device: what
// will run and in how many seconds, with Now and Cancel.
#pragma once

#include "watch/Countdown.h"

#include <QWidget>

class QLabel;
class QPushButton;

class frmShutdown : public QWidget, public CountdownView {
    Q_OBJECT
public:
    explicit frmShutdown(Countdown &countdown);
    ~frmShutdown() override;

    QLabel *lblShutdown = nullptr;
    QPushButton *cmdNow = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;   // taken as Cancel

private:
    void showCountdown(int mode, int secondsLeft) override;
    void showSecondsLeft(int secondsLeft) override;
    void hideCountdown() override;

    Countdown &countdown_;
    QString actionText_;
};
