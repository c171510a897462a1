// The configuration window: one device's settings and live status, edited
// and written back; the two outputs switched by hand. One instance at most,
// modeless; closing it destroys it.
#pragma once

#include "Dialog.h"
#include "config/ConfigEditor.h"

class frmPallix : public Dialog, private ConfigEditorView {
public:
    static frmPallix &instance();   // created hidden on first use
    ~frmPallix() override;

    ConfigEditor &editor() { return editor_; }

private:
    // The controls of one "GP Output" frame.
    struct OutputControls {
        int manual, automatic, manualDrive, in1Enable, in2Enable, onDelay, offDelay, acpiEnable,
            pulseWidth;
    };

    frmPallix();
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void command(int id, int notification) override;
    void closed() override { editor_.cancel(); }
    void applyModeEnabling(int output);

    // ConfigEditorView
    bool visible() const override { return Dialog::visible(); }
    void showWindow() override { show(); }
    void closeWindow() override;
    void setDevices(const std::vector<std::string> &addresses) override;
    void showDeviceEntry(int index) override { selectEntry(cmbPallix, index); }
    int deviceEntryCount() const override;
    std::string deviceText() const override { return text(cmbPallix); }
    std::vector<std::string> deviceEntries() const override;
    void showSettings(const LoadedSettings &loaded) override;
    void showLamps(const StatusLamps &lamps) override;
    void showOutState(const OutStateShown &shown) override;
    DeviceConfig settingsShown() const override;
    OutStateShown outStateShown() const override;

    static const int cmbPallix;
    static const OutputControls output_[2];
    ConfigEditor editor_{*this};
};

// "&Configure Pallix™": the window with the last device found.
void showConfig();
// The window for the monitor and discovery.
ConfigView &configWindowView();
