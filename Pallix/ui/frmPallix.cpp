#include "frmPallix.h"

#include "QtText.h"
#include "StatusLamp.h"
#include "WindowStyle.h"
#include "app/AppPaths.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {

frmPallix *theWindow = nullptr;

const QColor kBackground(64, 64, 64);
constexpr int kLampSize = 13;

// Positions are pixels at 96 dpi, relative to the parent.
QLabel *label(QWidget *parent, const QString &text, const QRect &geometry)
{
    auto *l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    l->setGeometry(geometry);
    return l;
}

QGroupBox *frame(QWidget *parent, const QString &name, const QString &title, const QRect &geometry)
{
    auto *f = new QGroupBox(title, parent);
    f->setObjectName(name);
    f->setGeometry(geometry);
    return f;
}

QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &text,
                    const QRect &geometry)
{
    auto *c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->setGeometry(geometry);
    return c;
}

QComboBox *list(QWidget *parent, const QString &name, const std::vector<std::string> &entries,
                const QRect &geometry)
{
    auto *l = new QComboBox(parent);
    l->setObjectName(name);
    l->addItems(qTexts(entries));
    l->setCurrentIndex(-1);
    l->setGeometry(geometry);
    return l;
}

StatusLamp *lamp(QWidget *parent, const QString &name, QPoint at, LampState state)
{
    auto *l = new StatusLamp(parent, name, state);
    l->move(at);
    return l;
}

}   // namespace

frmPallix &frmPallix::instance()
{
    if (!theWindow) theWindow = new frmPallix;
    return *theWindow;
}

frmPallix *frmPallix::existing() { return theWindow; }

frmPallix::~frmPallix()
{
    if (theWindow == this) theWindow = nullptr;
}

frmPallix::frmPallix()
{
    setObjectName(QStringLiteral("frmPallix"));
    setWindowTitle(QStringLiteral("Nerrin Pallix™ Control Center"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(673, 345);
    applyWindowStyle(*this);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    setFont(font);

    buildTopRow();
    buildStatusFrame();
    buildPowerFrame();
    buildOutputFrame(0, QRect(256, 40, 201, 265));
    buildOutputFrame(1, QRect(460, 40, 205, 265));
    buildButtons();
    applyModeEnabling(0);
    applyModeEnabling(1);
    connectHandlers();
    editor_.created();
}

void frmPallix::buildTopRow()
{
    auto *title = label(this, QStringLiteral("Nerrin Pallix™"), QRect(48, 12, 193, 25));
    title->setObjectName(QStringLiteral("Label1"));
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPointSizeF(14.25);
    titleFont.setBold(true);
    title->setFont(titleFont);

    auto *picture = label(this, QString(), QRect(4, 4, 33, 33));
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(QIcon(qText(appFile(AppFile::RedIcon))).pixmap(32, 32));

    cmdDiscovery = new QPushButton(QStringLiteral("Auto Detect"), this);
    cmdDiscovery->setObjectName(QStringLiteral("cmdDiscovery"));
    cmdDiscovery->setGeometry(300, 12, 85, 25);
    cmdDiscovery->hide();

    cmbPallix = list(this, QStringLiteral("cmbPallix"), {}, QRect(462, 16, 201, 21));
    cmbPallix->setEditable(true);
    cmbPallix->setInsertPolicy(QComboBox::NoInsert);
    QPalette palette = cmbPallix->palette();
    for (auto role : {QPalette::Base, QPalette::Button, QPalette::Window})
        palette.setColor(role, kBackground);
    for (auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        palette.setColor(role, Qt::white);
    cmbPallix->setPalette(palette);
}

void frmPallix::buildStatusFrame()
{
    QGroupBox *status =
        frame(this, QStringLiteral("Frame1"), QStringLiteral("Status"), QRect(8, 40, 245, 117));
    const struct {
        StatusLamp **lamp;
        const char *name;
        const char *caption;
    } lamps[] = {
        {&chkInState0, "chkInState0", "Input State 1"},
        {&chkInState1, "chkInState1", "Input State 2"},
        {&chkOutState0, "chkOutState0", "Output State 1"},
        {&chkOutState1, "chkOutState1", "Output State 2"},
    };
    int y = 24;
    for (const auto &l : lamps) {
        *l.lamp = lamp(status, QString::fromLatin1(l.name), {12, y}, LampState::Unknown);
        label(status, QString::fromLatin1(l.caption), QRect(32, y - 2, 105, 17));
        y += 22;
    }

    QGroupBox *legend =
        frame(status, QStringLiteral("fraLegend"), QStringLiteral("Legend"), QRect(144, 8, 97, 97));
    const struct {
        LampState state;
        const char *caption;
    } entries[] = {
        {LampState::Armed, "Armed"},
        {LampState::Triggered, "Triggered"},
        {LampState::Disabled, "Disabled"},
        {LampState::Unknown, "Unknown"},
    };
    for (int i = 0; i < 4; ++i) {
        const int y = 20 + 19 * i;
        lamp(legend, QStringLiteral("chkMainWakeState_%1").arg(i), {8, y}, entries[i].state);
        label(legend, QString::fromLatin1(entries[i].caption), QRect(28, y - 2, 65, 17));
    }
}

void frmPallix::buildPowerFrame()
{
    QGroupBox *power =
        frame(this, QStringLiteral("Frame2_2"), QStringLiteral("Ethernet - Wake On LAN / Shutdown"),
              QRect(8, 160, 245, 169));
    chkPwrIn0En = checkBox(power, QStringLiteral("chkPwrIn0En"),
                           QStringLiteral("Trigger On Input 1"), QRect(12, 22, 220, 19));
    chkPwrIn1En = checkBox(power, QStringLiteral("chkPwrIn1En"),
                           QStringLiteral("Trigger On Input 2"), QRect(12, 44, 220, 19));
    label(power, QStringLiteral("Delay On (s)"), QRect(12, 70, 105, 15))
        ->setObjectName(QStringLiteral("lblPowerOnDelay"));
    cmbPowerOnDelay =
        list(power, QStringLiteral("cmbPowerOnDelay"), delaySteps(), QRect(12, 86, 105, 21));
    label(power, QStringLiteral("Delay Off (s)"), QRect(128, 70, 105, 15))
        ->setObjectName(QStringLiteral("lblPowerOffDelay"));
    cmbPowerOffDelay =
        list(power, QStringLiteral("cmbPowerOffDelay"), delaySteps(), QRect(128, 86, 105, 21));
    label(power, QStringLiteral("Power Off Action"), QRect(12, 116, 220, 15))
        ->setObjectName(QStringLiteral("Label2"));
    cmbShutdownAction = list(power, QStringLiteral("cmbShutdownAction"), shutdownActionNames(),
                             QRect(12, 132, 221, 21));
    cmbPowerOnDelay->setCurrentIndex(0);
    cmbPowerOffDelay->setCurrentIndex(0);
}

void frmPallix::buildOutputFrame(int output, const QRect &geometry)
{
    // Output 1 carries the suffix 0 on its boxes and 1 on its lists.
    const QString box = QString::number(output);
    const QString number = QString::number(output + 1);
    const int width = geometry.width();
    OutputControls &out = output_[output];

    QGroupBox *gp = frame(this, QStringLiteral("Frame2_") + box,
                          QStringLiteral("GP Output ") + number, geometry);
    QGroupBox *stateControl = frame(gp, QStringLiteral("Frame7_") + box,
                                    QStringLiteral("State Control"), QRect(8, 18, width - 16, 42));
    out.manual = new QRadioButton(QStringLiteral("Manual"), stateControl);
    out.manual->setObjectName(QStringLiteral("OptStateControl%1_0").arg(number));
    out.manual->setGeometry(10, 18, 80, 19);
    out.automatic = new QRadioButton(QStringLiteral("Automatic"), stateControl);
    out.automatic->setObjectName(QStringLiteral("OptStateControl%1_1").arg(number));
    out.automatic->setGeometry(96, 18, width - 112, 19);
    out.automatic->setChecked(true);   // matches the manual-drive box starting disabled

    const int boxWidth = width - 24;
    out.manualDrive = checkBox(gp, QStringLiteral("chkManualOutDrive") + box,
                               QStringLiteral("Manual On/Off State"), QRect(12, 66, boxWidth, 19));
    out.in1Enable = checkBox(gp, QStringLiteral("chkOut%1In0Enable").arg(box),
                             QStringLiteral("Trigger On Input 1"), QRect(12, 88, boxWidth, 19));
    out.in2Enable = checkBox(gp, QStringLiteral("chkOut%1In1Enable").arg(box),
                             QStringLiteral("Trigger On Input 2"), QRect(12, 110, boxWidth, 19));

    label(gp, QStringLiteral("Delay On (s)"), QRect(12, 138, 88, 15));
    out.onDelay = list(gp, QStringLiteral("cmbOutOnDelay") + number, delaySteps(),
                       QRect(104, 135, width - 116, 21));
    label(gp, QStringLiteral("Delay Off (s)"), QRect(12, 164, 88, 15));
    out.offDelay = list(gp, QStringLiteral("cmbOutOffDelay") + number, delaySteps(),
                        QRect(104, 161, width - 116, 21));
    out.onDelay->setCurrentIndex(0);
    out.offDelay->setCurrentIndex(0);

    QGroupBox *acpi = frame(gp, QStringLiteral("fraACPI_") + box,
                            QStringLiteral("ACPI/Pulse Control"), QRect(8, 190, width - 16, 66));
    out.acpiEnable = checkBox(acpi, QStringLiteral("chkOut%1ACPIEn").arg(box),
                              QStringLiteral("ACPI Enable"), QRect(10, 18, width - 36, 19));
    label(acpi, QStringLiteral("Pulse Width"), QRect(10, 42, 70, 15))
        ->setObjectName(QStringLiteral("Label3_") + box);
    out.pulseWidth = list(acpi, QStringLiteral("cmbPulseWidth") + number, delaySteps(),
                          QRect(84, 39, width - 110, 21));
}

void frmPallix::buildButtons()
{
    // The watchdog is not offered: the box stays unticked, so every save
    // switches the device's watchdog off.
    chkWDTEnable = checkBox(this, QStringLiteral("chkWDTEnable"),
                            QStringLiteral("Watchdog Enable Timer"), QRect(8, 316, 200, 19));
    chkWDTEnable->hide();

    const struct {
        QPushButton **button;
        const char *name;
        const char *caption;
        int x;
    } buttons[] = {
        {&cmdOK, "cmdOK", "&OK", 396},
        {&cmdCancel, "cmdCancel", "&Cancel", 488},
        {&cmdApply, "cmdApply", "&Apply", 580},
    };
    for (const auto &b : buttons) {
        *b.button = new QPushButton(QString::fromUtf8(b.caption), this);
        (*b.button)->setObjectName(QString::fromLatin1(b.name));
        (*b.button)->setGeometry(b.x, 312, 85, 25);
        (*b.button)->setAutoDefault(false);
    }
    cmdOK->setDefault(true);
}

void frmPallix::connectHandlers()
{
    connect(cmbPallix, &QComboBox::activated, this, [this] { editor_.deviceChosen(); });
    // Typing only selects when the text is one of the entries.
    connect(cmbPallix->lineEdit(), &QLineEdit::textEdited, this,
            [this] { editor_.deviceChosen(); });
    connect(cmdApply, &QPushButton::clicked, this, [this] { editor_.apply(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { editor_.ok(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { editor_.cancel(); });
    for (int output = 0; output < 2; ++output) {
        const OutputControls &out = output_[output];
        connect(out.manualDrive, &QCheckBox::clicked, this, [this] { editor_.outStateClicked(); });
        for (QRadioButton *option : {out.manual, out.automatic})
            connect(option, &QRadioButton::clicked, this, [this, output] {
                applyModeEnabling(output);
                editor_.outStateClicked();
            });
    }
}

// --- the view the editor drives ---------------------------------------------

void frmPallix::showWindow()
{
    show();
    raise();
    activateWindow();
}

void frmPallix::setDevices(const std::vector<std::string> &addresses)
{
    const QSignalBlocker blocker(cmbPallix);
    cmbPallix->clear();
    for (const std::string &address : addresses)
        if (!address.empty()) cmbPallix->addItem(qText(address));
    cmbPallix->setCurrentIndex(-1);
}

void frmPallix::showDeviceEntry(int index)
{
    const QSignalBlocker blocker(cmbPallix);
    cmbPallix->setCurrentIndex(index);
}

int frmPallix::deviceEntryCount() const { return cmbPallix->count(); }

std::string frmPallix::deviceText() const { return stdText(cmbPallix->currentText()); }

std::vector<std::string> frmPallix::deviceEntries() const
{
    std::vector<std::string> entries;
    for (int i = 0; i < cmbPallix->count(); ++i)
        entries.push_back(stdText(cmbPallix->itemText(i)));
    return entries;
}

void frmPallix::closeEvent(QCloseEvent *event)
{
    // Not while a device operation is under way: it still uses the controls.
    if (!editor_.mayClose()) {
        event->ignore();
        return;
    }
    if (theWindow == this) theWindow = nullptr;
    event->accept();
}

void frmPallix::reject() { close(); }

void frmPallix::showSettings(const LoadedSettings &loaded)
{
    const DeviceConfig &c = loaded.config;
    const StatusLamps lamps = indicatorLamps(loaded.status);
    OutputControls &out1 = output_[0];
    OutputControls &out2 = output_[1];

    cmbPowerOnDelay->setCurrentIndex(c.powerOnDelay);
    cmbPowerOffDelay->setCurrentIndex(c.powerOffDelay);
    out1.onDelay->setCurrentIndex(c.out1OnDelay);
    out1.offDelay->setCurrentIndex(c.out1OffDelay);
    out2.onDelay->setCurrentIndex(c.out2OnDelay);
    out2.offDelay->setCurrentIndex(c.out2OffDelay);
    chkOutState0->setState(lamps.out1);
    out1.manualDrive->setChecked(driveTicked(c.out1Drive));
    chkOutState1->setState(lamps.out2);
    out2.manualDrive->setChecked(driveTicked(c.out2Drive));
    chkInState0->setState(lamps.in1);
    chkInState1->setState(lamps.in2);
    (manualChosen(c.out1Manual) ? out1.manual : out1.automatic)->setChecked(true);
    (manualChosen(c.out2Manual) ? out2.manual : out2.automatic)->setChecked(true);
    out1.acpiEnable->setChecked(enableTicked(c.out1ACPIEnable));
    out2.acpiEnable->setChecked(enableTicked(c.out2ACPIEnable));
    chkPwrIn0En->setChecked(enableTicked(c.powerIn1Enable));
    chkPwrIn1En->setChecked(enableTicked(c.powerIn2Enable));
    out1.pulseWidth->setCurrentIndex(c.acpiPulseWidth1);
    out2.pulseWidth->setCurrentIndex(c.acpiPulseWidth2);
    out1.in1Enable->setChecked(enableTicked(c.out1In1Enable));
    out1.in2Enable->setChecked(enableTicked(c.out1In2Enable));
    out2.in1Enable->setChecked(enableTicked(c.out2In1Enable));
    out2.in2Enable->setChecked(enableTicked(c.out2In2Enable));
    cmbShutdownAction->setCurrentIndex(shutdownActionEntry(c.shutdownAction));
    applyModeEnabling(0);
    applyModeEnabling(1);
}

OutStateShown frmPallix::outStateShown() const
{
    return {tickValue(output_[0].manual->isChecked()), tickValue(output_[1].manual->isChecked()),
            tickValue(output_[0].manualDrive->isChecked()),
            tickValue(output_[1].manualDrive->isChecked())};
}

void frmPallix::showOutState(const OutStateShown &shown)
{
    const int32_t manual[2] = {shown.out1Manual, shown.out2Manual};
    const int32_t drive[2] = {shown.out1Drive, shown.out2Drive};
    for (int output = 0; output < 2; ++output) {
        OutputControls &out = output_[output];
        (manual[output] == 1 ? out.manual : out.automatic)->setChecked(true);
        out.manualDrive->setChecked(drive[output] == 1);
        applyModeEnabling(output);
    }
}

void frmPallix::showLamps(const StatusLamps &lamps)
{
    chkOutState0->setState(lamps.out1);
    chkOutState1->setState(lamps.out2);
    chkInState0->setState(lamps.in1);
    chkInState1->setState(lamps.in2);
}

DeviceConfig frmPallix::settingsShown() const
{
    const OutputControls &out1 = output_[0];
    const OutputControls &out2 = output_[1];
    DeviceConfig c;
    c.powerOnDelay = cmbPowerOnDelay->currentIndex();
    c.powerOffDelay = cmbPowerOffDelay->currentIndex();
    c.shutdownAction = cmbShutdownAction->currentIndex();
    c.powerIn1Enable = tickValue(chkPwrIn0En->isChecked());
    c.powerIn2Enable = tickValue(chkPwrIn1En->isChecked());
    c.out1OnDelay = out1.onDelay->currentIndex();
    c.out1OffDelay = out1.offDelay->currentIndex();
    c.out2OnDelay = out2.onDelay->currentIndex();
    c.out2OffDelay = out2.offDelay->currentIndex();
    c.out1Manual = tickValue(out1.manual->isChecked());
    c.out2Manual = tickValue(out2.manual->isChecked());
    c.out1Drive = tickValue(out1.manualDrive->isChecked());
    c.out2Drive = tickValue(out2.manualDrive->isChecked());
    c.out1ACPIEnable = tickValue(out1.acpiEnable->isChecked());
    c.out2ACPIEnable = tickValue(out2.acpiEnable->isChecked());
    c.acpiPulseWidth1 = out1.pulseWidth->currentIndex();
    c.acpiPulseWidth2 = out2.pulseWidth->currentIndex();
    c.out1In1Enable = tickValue(out1.in1Enable->isChecked());
    c.out1In2Enable = tickValue(out1.in2Enable->isChecked());
    c.out2In1Enable = tickValue(out2.in1Enable->isChecked());
    c.out2In2Enable = tickValue(out2.in2Enable->isChecked());
    c.wdtEnable = tickValue(chkWDTEnable->isChecked());
    return c;
}

// Manual: only the drive box acts. Automatic: the triggers, delays and the
// ACPI pulse do.
void frmPallix::applyModeEnabling(int output)
{
    const OutputControls &out = output_[output];
    const bool automatic = !out.manual->isChecked();
    out.manualDrive->setEnabled(!automatic);
    for (QWidget *control :
         std::initializer_list<QWidget *>{out.in1Enable, out.in2Enable, out.acpiEnable,
                                          out.pulseWidth, out.onDelay, out.offDelay})
        control->setEnabled(automatic);
}

// --- entry points for the tray window -----------------------------------------

void showConfig() { frmPallix::instance().editor().showConfig(); }

ConfigView &configWindowView()
{
    static ConfigWindowHost view([]() -> ConfigEditor & { return frmPallix::instance().editor(); });
    return view;
}
