#include "frmShutdown.h"

#include "QtText.h"
#include "watch/WinShutdown.h"
#include "WindowStyle.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

frmShutdown::frmShutdown(Countdown &countdown)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), countdown_(countdown)
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

    connect(cmdNow, &QPushButton::clicked, this, [this] { countdown_.now(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { countdown_.cancel(); });
    countdown_.setView(this);
}

frmShutdown::~frmShutdown() { countdown_.setView(nullptr); }

void frmShutdown::showCountdown(int mode, int secondsLeft)
{
    actionText_ = qText(actionProgressText(mode));
    cmdNow->setText(qText(actionName(mode)) + QStringLiteral(" Now."));
    showSecondsLeft(secondsLeft);
    adjustSize();
    if (const QScreen *where = screen())
        move(where->availableGeometry().center() - rect().center());
    show();
    raise();
}

void frmShutdown::showSecondsLeft(int secondsLeft)
{
    lblShutdown->setText(actionText_ + QStringLiteral(" in ") + QString::number(secondsLeft)
                         + QStringLiteral(" second(s)."));
}

void frmShutdown::hideCountdown() { hide(); }

void frmShutdown::closeEvent(QCloseEvent *event)
{
    countdown_.cancel();
    event->accept();
}
