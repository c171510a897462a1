#include "frmPallix.h"

#include "DarkLook.h"
#include "WideText.h"
#include "WindowFonts.h"
#include "loop/EventLoop.h"
#include "resource.h"

namespace {

frmPallix *theWindow = nullptr;
constexpr int TitlePoints = 14;
constexpr int IconSize = 32;

}   // namespace

const int frmPallix::cmbPallix = IDC_CMBPALLIX;
const frmPallix::OutputControls frmPallix::output_[2] = {
    {IDC_OPTSTATECONTROL1_MANUAL, IDC_OPTSTATECONTROL1_AUTOMATIC, IDC_CHKMANUALOUTDRIVE0,
     IDC_CHKOUT0IN0ENABLE, IDC_CHKOUT0IN1ENABLE, IDC_CMBOUTONDELAY1, IDC_CMBOUTOFFDELAY1,
     IDC_CHKOUT0ACPIEN, IDC_CMBPULSEWIDTH1},
    {IDC_OPTSTATECONTROL2_MANUAL, IDC_OPTSTATECONTROL2_AUTOMATIC, IDC_CHKMANUALOUTDRIVE1,
     IDC_CHKOUT1IN0ENABLE, IDC_CHKOUT1IN1ENABLE, IDC_CMBOUTONDELAY2, IDC_CMBOUTOFFDELAY2,
     IDC_CHKOUT1ACPIEN, IDC_CMBPULSEWIDTH2},
};

frmPallix &frmPallix::instance()
{
    if (!theWindow) theWindow = new frmPallix;
    return *theWindow;
}

frmPallix::~frmPallix()
{
    if (theWindow == this) theWindow = nullptr;
}

frmPallix::frmPallix() : Dialog(IDD_CONFIG)
{
    SendDlgItemMessageW(window(), IDC_LABEL1, WM_SETFONT,
                        reinterpret_cast<WPARAM>(boldFont(window(), TitlePoints, L"Arial")), FALSE);
    SendDlgItemMessageW(window(), IDC_PICTURE1, STM_SETICON,
                        reinterpret_cast<WPARAM>(loadIconFile(true, IconSize)), 0);
    setLamp(IDC_LEGEND_ARMED, LampState::Armed);
    setLamp(IDC_LEGEND_TRIGGERED, LampState::Triggered);
    setLamp(IDC_LEGEND_DISABLED, LampState::Disabled);
    setLamp(IDC_LEGEND_UNKNOWN, LampState::Unknown);

    fillList(IDC_CMBSHUTDOWNACTION, shutdownActionNames());
    for (const int list : {IDC_CMBPOWERONDELAY, IDC_CMBPOWEROFFDELAY})
        fillList(list, delaySteps());
    for (const OutputControls &out : output_) {
        for (const int list : {out.onDelay, out.offDelay, out.pulseWidth})
            fillList(list, delaySteps());
        selectEntry(out.onDelay, 0);
        selectEntry(out.offDelay, 0);
        setChecked(out.automatic, true);   // matches the manual-drive box starting disabled
    }
    selectEntry(IDC_CMBPOWERONDELAY, 0);
    selectEntry(IDC_CMBPOWEROFFDELAY, 0);
    applyModeEnabling(0);
    applyModeEnabling(1);
    editor_.created();
}

// The device list is dark too.
INT_PTR frmPallix::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLOREDIT && GetParent(reinterpret_cast<HWND>(lParam)) == item(cmbPallix))
        return darkControl(reinterpret_cast<HDC>(wParam));
    return Dialog::handle(message, wParam, lParam);
}

void frmPallix::command(int id, int notification)
{
    if (id == cmbPallix) {
        // A picked entry is in the list's text only once this message is done.
        if (notification == CBN_SELCHANGE)
            loop::EventLoop::current().post([this] { editor_.deviceChosen(); });
        if (notification == CBN_EDITCHANGE) editor_.deviceChosen();
        return;
    }
    if (notification != BN_CLICKED) return;
    if (id == IDOK) editor_.ok();
    if (id == IDC_CMDAPPLY) editor_.apply();
    for (int output = 0; output < 2; ++output) {
        const OutputControls &out = output_[output];
        if (id == out.manualDrive) editor_.outStateClicked();
        if (id == out.manual || id == out.automatic) {
            applyModeEnabling(output);
            editor_.outStateClicked();
        }
    }
}

// Not while this window handles a message: it goes once the loop runs again.
void frmPallix::closeWindow()
{
    if (theWindow == this) theWindow = nullptr;
    hide();
    loop::EventLoop::current().post([this] { delete this; });
}

void frmPallix::setDevices(const std::vector<std::string> &addresses)
{
    std::vector<std::string> entries;
    for (const std::string &address : addresses)
        if (!address.empty()) entries.push_back(address);
    fillList(cmbPallix, entries);
    selectEntry(cmbPallix, -1);
    SetDlgItemTextW(window(), cmbPallix, L"");
}

int frmPallix::deviceEntryCount() const
{
    return int(SendDlgItemMessageW(window(), cmbPallix, CB_GETCOUNT, 0, 0));
}

std::vector<std::string> frmPallix::deviceEntries() const
{
    std::vector<std::string> entries;
    for (int i = 0; i < deviceEntryCount(); ++i) {
        wchar_t entry[64] = {};
        SendDlgItemMessageW(window(), cmbPallix, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(entry));
        entries.push_back(utf8Text(entry));
    }
    return entries;
}

void frmPallix::showSettings(const LoadedSettings &loaded)
{
    const DeviceConfig &c = loaded.config;
    const StatusLamps lamps = indicatorLamps(loaded.status);
    const OutputControls &out1 = output_[0];
    const OutputControls &out2 = output_[1];

    selectEntry(IDC_CMBPOWERONDELAY, c.powerOnDelay);
    selectEntry(IDC_CMBPOWEROFFDELAY, c.powerOffDelay);
    selectEntry(out1.onDelay, c.out1OnDelay);
    selectEntry(out1.offDelay, c.out1OffDelay);
    selectEntry(out2.onDelay, c.out2OnDelay);
    selectEntry(out2.offDelay, c.out2OffDelay);
    setLamp(IDC_OUTSTATE0, lamps.out1);
    setChecked(out1.manualDrive, driveTicked(c.out1Drive));
    setLamp(IDC_OUTSTATE1, lamps.out2);
    setChecked(out2.manualDrive, driveTicked(c.out2Drive));
    setLamp(IDC_INSTATE0, lamps.in1);
    setLamp(IDC_INSTATE1, lamps.in2);
    setChecked(out1.manual, manualChosen(c.out1Manual));
    setChecked(out1.automatic, !manualChosen(c.out1Manual));
    setChecked(out2.manual, manualChosen(c.out2Manual));
    setChecked(out2.automatic, !manualChosen(c.out2Manual));
    setChecked(out1.acpiEnable, enableTicked(c.out1ACPIEnable));
    setChecked(out2.acpiEnable, enableTicked(c.out2ACPIEnable));
    setChecked(IDC_CHKPWRIN0EN, enableTicked(c.powerIn1Enable));
    setChecked(IDC_CHKPWRIN1EN, enableTicked(c.powerIn2Enable));
    selectEntry(out1.pulseWidth, c.acpiPulseWidth1);
    selectEntry(out2.pulseWidth, c.acpiPulseWidth2);
    setChecked(out1.in1Enable, enableTicked(c.out1In1Enable));
    setChecked(out1.in2Enable, enableTicked(c.out1In2Enable));
    setChecked(out2.in1Enable, enableTicked(c.out2In1Enable));
    setChecked(out2.in2Enable, enableTicked(c.out2In2Enable));
    selectEntry(IDC_CMBSHUTDOWNACTION, shutdownActionEntry(c.shutdownAction));
    applyModeEnabling(0);
    applyModeEnabling(1);
}

OutStateShown frmPallix::outStateShown() const
{
    return {tickValue(checked(output_[0].manual)), tickValue(checked(output_[1].manual)),
            tickValue(checked(output_[0].manualDrive)), tickValue(checked(output_[1].manualDrive))};
}

void frmPallix::showOutState(const OutStateShown &shown)
{
    const int32_t manual[2] = {shown.out1Manual, shown.out2Manual};
    const int32_t drive[2] = {shown.out1Drive, shown.out2Drive};
    for (int output = 0; output < 2; ++output) {
        const OutputControls &out = output_[output];
        setChecked(out.manual, manual[output] == 1);
        setChecked(out.automatic, manual[output] != 1);
        setChecked(out.manualDrive, drive[output] == 1);
        applyModeEnabling(output);
    }
}

void frmPallix::showLamps(const StatusLamps &lamps)
{
    setLamp(IDC_OUTSTATE0, lamps.out1);
    setLamp(IDC_OUTSTATE1, lamps.out2);
    setLamp(IDC_INSTATE0, lamps.in1);
    setLamp(IDC_INSTATE1, lamps.in2);
}

DeviceConfig frmPallix::settingsShown() const
{
    const OutputControls &out1 = output_[0];
    const OutputControls &out2 = output_[1];
    DeviceConfig c;
    c.powerOnDelay = selectedEntry(IDC_CMBPOWERONDELAY);
    c.powerOffDelay = selectedEntry(IDC_CMBPOWEROFFDELAY);
    c.shutdownAction = selectedEntry(IDC_CMBSHUTDOWNACTION);
    c.powerIn1Enable = tickValue(checked(IDC_CHKPWRIN0EN));
    c.powerIn2Enable = tickValue(checked(IDC_CHKPWRIN1EN));
    c.out1OnDelay = selectedEntry(out1.onDelay);
    c.out1OffDelay = selectedEntry(out1.offDelay);
    c.out2OnDelay = selectedEntry(out2.onDelay);
    c.out2OffDelay = selectedEntry(out2.offDelay);
    c.out1Manual = tickValue(checked(out1.manual));
    c.out2Manual = tickValue(checked(out2.manual));
    c.out1Drive = tickValue(checked(out1.manualDrive));
    c.out2Drive = tickValue(checked(out2.manualDrive));
    c.out1ACPIEnable = tickValue(checked(out1.acpiEnable));
    c.out2ACPIEnable = tickValue(checked(out2.acpiEnable));
    c.acpiPulseWidth1 = selectedEntry(out1.pulseWidth);
    c.acpiPulseWidth2 = selectedEntry(out2.pulseWidth);
    c.out1In1Enable = tickValue(checked(out1.in1Enable));
    c.out1In2Enable = tickValue(checked(out1.in2Enable));
    c.out2In1Enable = tickValue(checked(out2.in1Enable));
    c.out2In2Enable = tickValue(checked(out2.in2Enable));
    c.wdtEnable = tickValue(checked(IDC_CHKWDTENABLE));
    return c;
}

// Manual: only the drive box acts. Automatic: the triggers, delays and the
// ACPI pulse do.
void frmPallix::applyModeEnabling(int output)
{
    const OutputControls &out = output_[output];
    const bool automatic = !checked(out.manual);
    enable(out.manualDrive, !automatic);
    for (const int control :
         {out.in1Enable, out.in2Enable, out.acpiEnable, out.pulseWidth, out.onDelay, out.offDelay})
        enable(control, automatic);
}

void showConfig() { frmPallix::instance().editor().showConfig(); }

ConfigView &configWindowView()
{
    static ConfigWindowHost view([]() -> ConfigEditor & { return frmPallix::instance().editor(); });
    return view;
}
