#include "frmAbout.h"

#include "AppPaths.h"
#include "AppState.h"
#include "LogFile.h"
#include "NrDiscovery.h"
#include "NrErrors.h"
#include "OSVer.h"
#include "ShellExecute.h"
#include "WindowStyle.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString aboutTitle = QStringLiteral("Nerrin Pallix™ Control Center");
const QString ipAddressDesignText = QStringLiteral("IP Address");
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

QString softwareVersionText()
{
    return QStringLiteral("Software Version %1.%2.%3")
        .arg(PALLIX_VERSION_MAJOR)
        .arg(PALLIX_VERSION_MINOR)
        .arg(PALLIX_VERSION_REVISION);
}

void openLogFile()
{
    const QString log = logFilePath();
    if (!QFileInfo::exists(log)) throw NrError(1, QStringLiteral("Log File is empty."));
    shellOpen(log);
}

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
    lblIPAddress = plainLabel(this, ipAddressDesignText);
    lblPCIP = plainLabel(this);
    lblPCIP->setWordWrap(true);
    lblOSInfo = plainLabel(this);
    lblNote = plainLabel(this, QStringLiteral("Power and I/O control for your PC.\n"
                                              "© Nerrin. All rights reserved."));
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

void frmAbout::formLoad()
{
    try {
        loadValues();
    } catch (const NrError &error) {
        showError(error);
    }
}

void frmAbout::loadValues()
{
    const AppState &state = appState();
    setWindowTitle(aboutTitle);
    lblTitle->setText(aboutTitle);
    lblVersion->setText(softwareVersionText());
    lblFirmwareVersion->setText(QStringLiteral("Firmware Version: ") + state.firmwareVersion);
    lblMACAddress->setText(QStringLiteral("MAC Address: ") + state.macAddress);
    lblIPAddress->setText(state.deviceCount > 0
                              ? QStringLiteral("IP Address: ") + state.deviceList.value(0)
                              : ipAddressDesignText);
    lblPCIP->setText(QStringLiteral("PC IP Address: ")
                     + localAddresses().join(QStringLiteral(", ")));
    lblOSInfo->setText(QString::number(getOSVersion()));
    const QIcon icon(appFile(AppFile::RedIcon));
    picIcon->setPixmap(icon.pixmap(IconSize, IconSize));
}

void frmAbout::cmdLogFileClicked()
{
    try {
        openLogFile();
    } catch (const NrError &error) {
        showError(error);
    }
}

void showAbout()
{
    frmAbout &window = frmAbout::instance();
    // Values are read when the window opens; an open window is only raised.
    if (!window.isVisible()) window.formLoad();
    window.show();
    window.raise();
    window.activateWindow();
}
