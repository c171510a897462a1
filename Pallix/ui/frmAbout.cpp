#include "frmAbout.h"

#include "QtText.h"
#include "WindowStyle.h"
#include "app/About.h"
#include "app/AppPaths.h"
#include "app/NrErrors.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int IconSize = 64;
constexpr int Spacing = 12;
constexpr int MinimumWidth = 380;

// Device texts arrive from the network: never let a label read them as markup.
QLabel *plainLabel(QWidget *parent, const QString &text = {})
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}   // namespace

frmAbout &frmAbout::instance()
{
    static frmAbout *window = new frmAbout;   // lives until the application ends
    return *window;
}

frmAbout::frmAbout()
{
    applyWindowStyle(*this);
    createControls();
    layoutControls();
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdLogFile, &QPushButton::clicked, this, &frmAbout::cmdLogFileClicked);
}

void frmAbout::createControls()
{
    lblTitle = plainLabel(this);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblTitle->setFont(titleFont);
    lblVersion = plainLabel(this);
    lblFirmwareVersion = plainLabel(this);
    lblMACAddress = plainLabel(this);
    lblIPAddress = plainLabel(this, QStringLiteral("IP Address"));
    lblPCIP = plainLabel(this);
    lblPCIP->setWordWrap(true);
    lblOSInfo = plainLabel(this);
    lblNote = plainLabel(this);
    picIcon = new QLabel(this);
    picIcon->setFixedSize(IconSize, IconSize);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    cmdLogFile = new QPushButton(QStringLiteral("Log File"), this);
    cmdLogFile->setAutoDefault(false);
}

// The icon beside the texts, the buttons below them.
void frmAbout::layoutControls()
{
    auto *texts = new QVBoxLayout;
    for (QLabel *label : {lblTitle, lblVersion, lblFirmwareVersion, lblMACAddress, lblIPAddress,
                          lblPCIP, lblOSInfo})
        texts->addWidget(label);
    texts->addSpacing(Spacing);
    texts->addWidget(lblNote);

    auto *top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addSpacing(Spacing);
    top->addLayout(texts, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdLogFile);
    buttons->addStretch();
    buttons->addWidget(cmdOK);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(Spacing);
    layout->addLayout(buttons);
    setMinimumWidth(MinimumWidth);
}

void frmAbout::formLoad() { reportingErrors([this] { loadValues(); }); }

void frmAbout::loadValues()
{
    const AboutTexts texts = aboutTexts();
    setWindowTitle(qText(texts.title));
    lblTitle->setText(qText(texts.title));
    lblVersion->setText(qText(texts.version));
    lblFirmwareVersion->setText(qText(texts.firmwareVersion));
    lblMACAddress->setText(qText(texts.macAddress));
    lblIPAddress->setText(qText(texts.ipAddress));
    lblPCIP->setText(qText(texts.pcAddresses));
    lblOSInfo->setText(qText(texts.osInfo));
    lblNote->setText(qText(texts.note));
    const QIcon icon(qText(appFile(AppFile::RedIcon)));
    picIcon->setPixmap(icon.pixmap(IconSize, IconSize));
}

void frmAbout::cmdLogFileClicked() { reportingErrors(openLogFile); }

void showAbout()
{
    frmAbout &window = frmAbout::instance();
    // Values are read when the window opens; an open window is only raised.
    if (!window.isVisible()) window.formLoad();
    window.show();
    window.raise();
    window.activateWindow();
}
