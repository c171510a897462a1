#include "frmShutdown.h"

#include "AppState.h"
#include "LogFile.h"
#include "MonitorState.h"
#include "MousePointer.h"
#include "NrAPI.h"
#include "NrDiscovery.h"
#include "NrErrors.h"
#include "TickGuard.h"
#include "WinShutdown.h"
#include "WindowStyle.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

frmShutdown &frmShutdown::instance()
{
    static frmShutdown *window = new frmShutdown;   // lives until the application ends
    return *window;
}

frmShutdown::frmShutdown() : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Nerrin Pallix™"));
    applyWindowStyle(*this);

    lblShutdown = new QLabel(this);
    lblShutdown->setTextFormat(Qt::PlainText);
    lblShutdown->setAlignment(Qt::AlignCenter);
    cmdNow = new QPushButton(this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdNow);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblShutdown);
    layout->addLayout(buttons);
    setMinimumWidth(320);

    Timer1.setInterval(TickInterval);
    connect(&Timer1, &QTimer::timeout, this, &frmShutdown::tick);
    connect(cmdNow, &QPushButton::clicked, this, &frmShutdown::cmdNow_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmShutdown::cmdCancel_Click);
}

void frmShutdown::Shutdown(int mode, int delay)
{
    ++run_;
    counting_ = true;
    skipLogged_ = false;
    monitorState().hold(MonitorHold::Countdown);
    Delay = delay;
    ShutDownMode = mode;
    ActionText = ActionProgressText(ShutDownMode);
    cmdNow->setText(ActionName(ShutDownMode) + QStringLiteral(" Now."));
    showDelay();
    Timer1.start();
    adjustSize();
    if (const QScreen *where = screen())
        move(where->availableGeometry().center() - rect().center());
    show();
    raise();
}

void frmShutdown::showDelay()
{
    lblShutdown->setText(ActionText + QStringLiteral(" in ") + QString::number(Delay)
                         + QStringLiteral(" second(s)."));
}

void frmShutdown::tick()
{
    const TickGuard guard(ticking_);
    if (!guard.entered() || !counting_) return;
    const unsigned run = run_;
    const InputCheck inputs = checkInputs();
    // The check let events run: a Cancel, a close or a new countdown handled
    // there ends this tick's part.
    if (!stillCounting(run)) return;
    if (inputs == InputCheck::PowerInputActive) {
        finish();
        return;
    }
    --Delay;
    showDelay();
    if (Delay < 1) runAction();
}

// The request was acknowledged, so it was real: while the device does not
// answer (it may have lost its network with the power) the count goes on
// without the input check.
frmShutdown::InputCheck frmShutdown::checkInputs()
{
    const bool deviceAnswers = monitorState().watching() && !appState().DiscoveryFailed;
    if (deviceAnswers) {
        try {
            return PowerInputActive() ? InputCheck::PowerInputActive : InputCheck::Idle;
        } catch (const NrError &error) {
            ShowError(error);
        }
    }
    if (!skipLogged_) {
        skipLogged_ = true;
        LogFile(InputCheckSkippedText());
    }
    return InputCheck::Skipped;
}

void frmShutdown::runAction()
{
    const int code = ShutDownMode;
    finish();
    DoPowerAction(code);
    if (SleepsThePC(code)) monitorState().settle();
}

void frmShutdown::cmdNow_Click()
{
    if (counting_) Delay = 1;
}

void frmShutdown::cmdCancel_Click() { finish(); }

// Closing the window is taken as Cancel.
void frmShutdown::closeEvent(QCloseEvent *event)
{
    if (counting_) finish();
    event->accept();
}

void frmShutdown::finish()
{
    counting_ = false;
    Timer1.stop();
    hide();
    monitorState().release(MonitorHold::Countdown);
}

bool SleepsThePC(int code) { return code == 3 || code == 4 || code == 7; }

QString InputCheckSkippedText()
{
    return QStringLiteral("Countdown goes on without its power input check: the Pallix does not answer");
}

bool PowerInputActive()
{
    AppState &state = appState();
    if (state.DiscoveryFailed)
        throw NrError(1, QStringLiteral("Cannot Load Settings - Device Discovery Failed."));
    SetMousePointer(MousePointer::ArrowHourglass);
    SelectDeviceLettingEventsRun(WatchedDevice());

    int status = 0;
    CheckError(NrAPI::pallixGetGlobalStatus(status), QStringLiteral("Get Global Status"));
    state.LastGlobalStatus = status;
    int out[6] = {};
    CheckError(NrAPI::pallixGetOutState(out[0], out[1], out[2], out[3], out[4], out[5]),
               QStringLiteral("Get Out State"));
    int enable1 = 0, enable2 = 0;
    CheckError(NrAPI::pallixGetPowerInEnable(enable1, enable2), QStringLiteral("Get Power In Enable"));
    int outIn[4] = {};
    CheckError(NrAPI::pallixGetOutInEnable(outIn[0], outIn[1], outIn[2], outIn[3]),
               QStringLiteral("Get Out In Enable"));
    int input1 = 0, input2 = 0;
    CheckError(NrAPI::pallixGetInState(input1, input2), QStringLiteral("Get In State"));
    return (input1 == 1 && enable1 != 0) || (input2 == 1 && enable2 != 0);
}
