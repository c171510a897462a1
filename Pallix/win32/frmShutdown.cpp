#include "frmShutdown.h"

#include "resource.h"
#include "watch/WinShutdown.h"

frmShutdown::frmShutdown(Countdown &countdown) : Dialog(IDD_SHUTDOWN), countdown_(countdown)
{
    countdown_.setView(this);
}

frmShutdown::~frmShutdown() { countdown_.setView(nullptr); }

void frmShutdown::showCountdown(int mode, int secondsLeft)
{
    actionText_ = actionProgressText(mode);
    setText(IDC_CMDNOW, actionName(mode) + " Now.");
    showSecondsLeft(secondsLeft);
    SetWindowPos(window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    show();
}

void frmShutdown::showSecondsLeft(int secondsLeft)
{
    setText(IDC_LBLSHUTDOWN, actionText_ + " in " + std::to_string(secondsLeft) + " second(s).");
}

void frmShutdown::command(int id, int notification)
{
    if (notification == BN_CLICKED && id == IDC_CMDNOW) countdown_.now();
}
