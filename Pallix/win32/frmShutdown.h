// The countdown window of a PC power action requested by the device: what
// will run and in how many seconds, with Now and Cancel, above all others.
#pragma once

#include "Dialog.h"
#include "watch/Countdown.h"

class frmShutdown : public Dialog, public CountdownView {
public:
    explicit frmShutdown(Countdown &countdown);
    ~frmShutdown() override;

private:
    void showCountdown(int mode, int secondsLeft) override;
    void showSecondsLeft(int secondsLeft) override;
    void hideCountdown() override { hide(); }

    void command(int id, int notification) override;
    void closed() override { countdown_.cancel(); }   // the close box is Cancel

    Countdown &countdown_;
    std::string actionText_;
};
