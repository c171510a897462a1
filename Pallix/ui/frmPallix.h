// The configuration window: one device's settings and live status, edited
// and written back; the two outputs switched by hand. One instance at most,
// modeless; closing it destroys it.
#pragma once

#include "DeviceSettings.h"

#include <QDialog>
#include <functional>

class ConfigView;
class QCheckBox;
class QComboBox;
class StatusLamp;
class QGroupBox;
class QPushButton;
class QRadioButton;

class frmPallix : public QDialog {
    Q_OBJECT
public:
    static frmPallix &instance();   // created hidden on first use
    static frmPallix *existing();   // null until then, and after it closed
    ~frmPallix() override;

    void showConfig();
    void loadIPs();
    // Lamps of the selected device; errors go to the caller.
    void loadStatus();

    bool isLoading() const { return loading_; }

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
    enum class BusyPointer { Show, RestoreOnly };
    // State control and manual drive of both outputs, as the device has them.
    struct OutStateShown {
        int32_t out1Manual = 0;
        int32_t out2Manual = 0;
        int32_t out1Drive = 0;
        int32_t out2Drive = 0;
    };

    frmPallix();
    void buildTopRow();
    void buildStatusFrame();
    void buildPowerFrame();
    void buildOutputFrame(int output, const QRect &geometry);
    void buildButtons();
    void connectHandlers();

    void cmbPallixClicked();
    void cmdApplyClicked();
    void cmdOKClicked();
    void cmdCancelClicked();
    void chkManualOutDriveClicked();
    void optStateControlClicked(int output);

    bool deviceOperation(const std::function<void()> &body, BusyPointer busy = BusyPointer::Show);
    void selectEntry(int index);
    QString selectedAddress() const;
    void loadSelected();
    bool readyToWrite();
    void saveShown();
    void showSettings(const LoadedSettings &loaded);
    void showLamps(const StatusLamps &lamps);
    DeviceConfig configFromControls() const;
    OutStateShown outStateFromControls() const;
    void showOutState(const OutStateShown &shown);
    void applyModeEnabling(int output);

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

    bool loading_ = false;         // loaded values are going into the controls
    bool operating_ = false;       // a device operation of this window is running
    bool reloadPending_ = false;   // new discovery results wait to be read
    QString shownAddress_;         // whose settings the controls hold; empty before a load
    OutStateShown outStateShown_;
};

// "&Configure Pallix™": the window with the last device found.
void showConfig();
// The window for the monitor and discovery.
ConfigView &configWindowView();
