#include "frmMsgBox.h"

#include "WindowStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

frmMsgBox &frmMsgBox::instance()
{
    static frmMsgBox *window = new frmMsgBox;   // lives until the application ends
    return *window;
}

frmMsgBox::frmMsgBox()
{
    setWindowTitle(QStringLiteral("Nerrin Pallix™ Control Center"));
    applyWindowStyle(*this);
    setModal(false);

    lblMsg = new QLabel(this);
    lblMsg->setTextFormat(Qt::PlainText);
    lblMsg->setWordWrap(true);
    lblMsg->setMinimumWidth(280);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdOK->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblMsg);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, [this] { done(1); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { done(2); });
    // Rejected (close box, Escape) counts as Cancel.
    connect(this, &QDialog::finished, this, [this](int result) { answer(result == 1 ? 1 : 2); });
}

void frmMsgBox::showMessage(const QString &msg, BoxAnswered answered)
{
    waiting_.enqueue({msg, std::move(answered)});
    if (!showing_) showNext();
}

void frmMsgBox::showNext()
{
    if (waiting_.isEmpty()) return;
    Message next = waiting_.dequeue();
    lblMsg->setText(next.text);
    current_ = std::move(next.answered);
    showing_ = true;
    adjustSize();
    show();
    raise();
    activateWindow();
}

void frmMsgBox::answer(int result)
{
    showing_ = false;
    const BoxAnswered answered = std::exchange(current_, {});
    if (answered) answered(result);
    if (!showing_) showNext();
}
