// The configuration window: one device's settings and live status, edited
// and written back; the two outputs switched by hand. One instance at most,
// modeless; closing it destroys it.
#pragma once

#include "config/ConfigEditor.h"
#include "device/DeviceSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class StatusLamp;
class QGroupBox;
class QPushButton;
class QRadioButton;

class frmPallix : public QDialog, private ConfigEditorView {
    Q_OBJECT
public:
    static frmPallix &instance();   // created hidden on first use
    static frmPallix *existing();   // null until then, and after it closed
    ~frmPallix() override;

    ConfigEditor &editor() { return editor_; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;   // Escape closes as Cancel does

private:
    // The controls of one "GP Output" frame.
    struct OutputControls {
        QRadioButton *manual = nullptr;
        QRadioButton *automatic = nullptr;
        QCheckBox *manualDrive = nullptr;
        QCheckBox *in1Enable = nullptr;
        QCheckBox *in2Enable = nullptr;
        QComboBox *onDelay = nullptr;
        QComboBox *offDelay = nullptr;
        QCheckBox *acpiEnable = nullptr;
        QComboBox *pulseWidth = nullptr;
    };

    frmPallix();
    void buildTopRow();
    void buildStatusFrame();
    void buildPowerFrame();
    void buildOutputFrame(int output, const QRect &geometry);
    void buildButtons();
    void connectHandlers();
    void applyModeEnabling(int output);

    // ConfigEditorView
    bool visible() const override { return isVisible(); }
    void showWindow() override;
    void closeWindow() override { close(); }
    void setDevices(const std::vector<std::string> &addresses) override;
    void showDeviceEntry(int index) override;
    int deviceEntryCount() const override;
    std::string deviceText() const override;
    std::vector<std::string> deviceEntries() const override;
    void showSettings(const LoadedSettings &loaded) override;
    void showLamps(const StatusLamps &lamps) override;
    void showOutState(const OutStateShown &shown) override;
    DeviceConfig settingsShown() const override;
    OutStateShown outStateShown() const override;

    QComboBox *cmbPallix = nullptr;
    StatusLamp *chkInState0 = nullptr;
    StatusLamp *chkInState1 = nullptr;
    StatusLamp *chkOutState0 = nullptr;
    StatusLamp *chkOutState1 = nullptr;
    QCheckBox *chkPwrIn0En = nullptr;
    QCheckBox *chkPwrIn1En = nullptr;
    QComboBox *cmbPowerOnDelay = nullptr;
    QComboBox *cmbPowerOffDelay = nullptr;
    QComboBox *cmbShutdownAction = nullptr;
    OutputControls output_[2];
    QCheckBox *chkWDTEnable = nullptr;
    QPushButton *cmdDiscovery = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdApply = nullptr;

    ConfigEditor editor_{*this};
};

// "&Configure Pallix™": the window with the last device found.
void showConfig();
// The window for the monitor and discovery.
ConfigView &configWindowView();
