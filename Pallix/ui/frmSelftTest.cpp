#include "frmSelftTest.h"

#include "QtText.h"
#include "app/AppPaths.h"
#include "app/AppState.h"
#include "StatusLamp.h"
#include "WindowStyle.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

constexpr int MaxLogLines = 100000;   // older lines give way, so a long run cannot exhaust memory

void addLampRow(QGridLayout *grid, int row, StatusLamp *lamp, const QString &text)
{
    grid->addWidget(lamp, row, 0);
    grid->addWidget(new QLabel(text, lamp->parentWidget()), row, 1);
}

}   // namespace

frmSelftTest::frmSelftTest(SelfTest::DeviceEventHandler onDeviceEvent, QWidget *parent)
    : QWidget(parent), selfTest_(*this, std::move(onDeviceEvent))
{
    setObjectName(QStringLiteral("frmSelftTest"));
    setWindowTitle(QStringLiteral("Nerrin Pallix™ Self Test"));
    setWindowIcon(QIcon(qText(appFile(AppFile::RedIcon))));
    setFixedSize(258, 382);
    applyWindowStyle(*this);

    picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(windowIcon().pixmap(32, 32));
    titleLabel = new QLabel(QStringLiteral("Nerrin Pallix™"), this);
    titleLabel->setObjectName(QStringLiteral("Label1"));
    QFont titleFont = titleLabel->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    titleLabel->setFont(titleFont);
    auto *header = new QHBoxLayout;
    header->addWidget(picture);
    header->addWidget(titleLabel, 1);

    lblSelfTest = new QLabel(this);
    lblSelfTest->setObjectName(QStringLiteral("lblSelfTest"));

    cmdReadLoop = new QPushButton(QStringLiteral("Read Test"), this);
    cmdReadLoop->setObjectName(QStringLiteral("cmdReadLoop"));
    cmdWriteLoopTest = new QPushButton(QStringLiteral("Write Test"), this);
    cmdWriteLoopTest->setObjectName(QStringLiteral("cmdWriteLoopTest"));
    cmdStop = new QPushButton(QStringLiteral("Stop"), this);
    cmdStop->setObjectName(QStringLiteral("cmdStop"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdReadLoop);
    buttons->addWidget(cmdWriteLoopTest);
    buttons->addWidget(cmdStop);

    cmbLoops = new QComboBox(this);
    cmbLoops->setObjectName(QStringLiteral("cmbLoops"));
    chkDetails = new QCheckBox(QStringLiteral("Details"), this);
    chkDetails->setObjectName(QStringLiteral("chkDetails"));
    auto *loops = new QHBoxLayout;
    loops->addWidget(new QLabel(QStringLiteral("# Test Loops"), this));
    loops->addWidget(cmbLoops, 1);
    loops->addWidget(chkDetails);

    txtLog = new QPlainTextEdit(this);
    txtLog->setObjectName(QStringLiteral("txtLog"));
    txtLog->setReadOnly(true);
    txtLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtLog->setMaximumBlockCount(MaxLogLines);

    cmdClear = new QPushButton(QStringLiteral("Clear"), this);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(cmdClear);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addLayout(header);
    layout->addWidget(buildStatusFrame());
    layout->addWidget(lblSelfTest);
    layout->addLayout(buttons);
    layout->addLayout(loops);
    layout->addWidget(txtLog, 1);
    layout->addLayout(bottom);

    connect(cmdReadLoop, &QPushButton::clicked, this, [this] { selfTest_.readTest(); });
    connect(cmdWriteLoopTest, &QPushButton::clicked, this, [this] { selfTest_.writeTest(); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { selfTest_.stop(); });
    connect(cmdClear, &QPushButton::clicked, this, [this] { selfTest_.clear(); });

    reload();
}

QWidget *frmSelftTest::buildStatusFrame()
{
    statusFrame = new QGroupBox(this);
    statusFrame->setObjectName(QStringLiteral("Frame2"));
    chkInState0 = new StatusLamp(statusFrame, QStringLiteral("chkInState0"));
    chkInState1 = new StatusLamp(statusFrame, QStringLiteral("chkInState1"));
    chkOutState0 = new StatusLamp(statusFrame, QStringLiteral("chkOutState0"));
    chkOutState1 = new StatusLamp(statusFrame, QStringLiteral("chkOutState1"));
    auto *lamps = new QGridLayout;
    addLampRow(lamps, 0, chkInState0, QStringLiteral("Input State 1"));
    addLampRow(lamps, 1, chkInState1, QStringLiteral("Input State 2"));
    addLampRow(lamps, 2, chkOutState0, QStringLiteral("Output State 1"));
    addLampRow(lamps, 3, chkOutState1, QStringLiteral("Output State 2"));

    auto *row = new QHBoxLayout(statusFrame);
    row->setContentsMargins(6, 4, 6, 6);
    row->addLayout(lamps, 1);
    row->addWidget(buildLegend());
    return statusFrame;
}

QWidget *frmSelftTest::buildLegend()
{
    fraLegend = new QGroupBox(QStringLiteral("Legend"), statusFrame);
    fraLegend->setObjectName(QStringLiteral("fraLegend"));
    auto *keys = new QGridLayout(fraLegend);
    keys->setContentsMargins(6, 4, 6, 4);
    const std::pair<LampState, const char *> legend[] = {
        {LampState::Armed, "Armed"},
        {LampState::Triggered, "Triggered"},
        {LampState::Disabled, "Disabled"},
        {LampState::Unknown, "Unknown"},
    };
    int row = 0;
    for (const auto &[state, text] : legend) {
        auto *key = new StatusLamp(fraLegend, QStringLiteral("chkMainWakeState%1").arg(row), state);
        addLampRow(keys, row++, key, QString::fromUtf8(text));
    }
    return fraLegend;
}

void frmSelftTest::reload()
{
    txtLog->clear();
    lblSelfTest->clear();
    cmbLoops->clear();
    chkDetails->setChecked(true);
    showStatusCaption("Status");
    showLamps(StatusLamps{});
    selfTest_.load();
}

// The window goes at once; a running write test restores the settings on its own.
void frmSelftTest::closeEvent(QCloseEvent *event)
{
    selfTest_.stop();
    event->accept();
}

bool frmSelftTest::detailsChecked() const { return chkDetails->isChecked(); }

std::string frmSelftTest::loopCountText() const { return stdText(cmbLoops->currentText()); }

void frmSelftTest::fillLoopCounts(int last)
{
    QStringList counts;
    for (int n = 1; n <= last; ++n)
        counts << QString::number(n);
    cmbLoops->addItems(counts);
    cmbLoops->setCurrentIndex(0);
}

void frmSelftTest::appendLogLine(const std::string &text)
{
    txtLog->appendPlainText(qText(text));
    QTextCursor line(txtLog->document()->lastBlock());
    line.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    txtLog->setTextCursor(line);
    txtLog->ensureCursorVisible();
}

void frmSelftTest::clearLog() { txtLog->clear(); }

void frmSelftTest::showLamps(const StatusLamps &lamps)
{
    chkInState0->setState(lamps.in1);
    chkInState1->setState(lamps.in2);
    chkOutState0->setState(lamps.out1);
    chkOutState1->setState(lamps.out2);
}

void frmSelftTest::showStatusCaption(const std::string &caption)
{
    statusFrame->setTitle(qText(caption));
}

void frmSelftTest::showProgress(const std::string &text) { lblSelfTest->setText(qText(text)); }

void frmSelftTest::showTestRunning(bool running)
{
    cmdReadLoop->setEnabled(!running);
    cmdWriteLoopTest->setEnabled(!running);
}

namespace {
frmSelftTest *selfTestWindow = nullptr;   // created on first use, lives until the application ends
}

void showSelfTest(const SelfTest::DeviceEventHandler &onDeviceEvent)
{
    if (!selfTestWindow) {
        selfTestWindow = new frmSelftTest(onDeviceEvent);
    } else if (!selfTestWindow->isVisible() && !selfTestWindow->selfTest().running()) {
        selfTestWindow->reload();
    }
    selfTestWindow->show();
    selfTestWindow->raise();
    selfTestWindow->activateWindow();
}
