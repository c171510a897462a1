#include "frmMsgBox.h"

#include "WindowStyle.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmMsgBox &frmMsgBox::instance()
{
    static frmMsgBox *window = new frmMsgBox;   // lives until the application ends
    return *window;
}

frmMsgBox::frmMsgBox()
{
    setWindowTitle(QStringLiteral("Nerrin Pallix™ Control Center"));
    applyWindowStyle(*this);

    lblMsg = new QLabel(this);
    lblMsg->setTextFormat(Qt::PlainText);
    lblMsg->setWordWrap(true);
    lblMsg->setMinimumWidth(280);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    Command1 = new QPushButton(QStringLiteral("Cancel"), this);
    cmdOK->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(Command1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblMsg);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, [this] { done(1); });
    connect(Command1, &QPushButton::clicked, this, [this] { done(2); });
}

int frmMsgBox::MessageBox(const QString &msg)
{
    lblMsg->setText(msg);
    QCoreApplication::processEvents();
    const int result = exec();
    // Rejected (close box, Escape) counts as Cancel.
    return result == 1 ? 1 : 2;
}
