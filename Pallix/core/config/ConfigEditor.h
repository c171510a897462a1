// The configuration window's logic: which device it shows, reading and
// writing its settings, the manual outputs, the lamps. A front end's window
// is the view; this decides. One window at a time; closing it ends it.
#pragma once

#include "device/DeviceSettings.h"
#include "loop/TaskScope.h"
#include "loop/Turns.h"
#include "watch/ConfigView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// State control and manual drive of both outputs.
struct OutStateShown {
    int32_t out1Manual = 0;
    int32_t out2Manual = 0;
    int32_t out1Drive = 0;
    int32_t out2Drive = 0;
    bool operator==(const OutStateShown &) const = default;
};

// The window as the editor sees it. Closing must not destroy the window
// (and the editor with it) before the loop runs again.
class ConfigEditorView {
public:
    virtual ~ConfigEditorView() = default;
    virtual bool visible() const = 0;
    virtual void showWindow() = 0;    // shown, raised, activated
    virtual void closeWindow() = 0;   // the window goes; the editor with it

    // The device list: its entries, and the one shown (without a selection
    // event). The shown text may be typed and match no entry.
    virtual void setDevices(const std::vector<std::string> &addresses) = 0;   // none shown
    virtual void showDeviceEntry(int index) = 0;
    virtual int deviceEntryCount() const = 0;
    virtual std::string deviceText() const = 0;
    virtual std::vector<std::string> deviceEntries() const = 0;

    // Every control of a load, in the load's order, lamps included, and the
    // enabling rule applied to both outputs.
    virtual void showSettings(const LoadedSettings &loaded) = 0;
    virtual void showLamps(const StatusLamps &lamps) = 0;
    // Modes and drives, with the enabling rule applied.
    virtual void showOutState(const OutStateShown &shown) = 0;
    // The controls as a record (the hidden watchdog box unticked: 0).
    virtual DeviceConfig settingsShown() const = 0;
    virtual OutStateShown outStateShown() const = 0;
};

class ConfigEditor {
public:
    explicit ConfigEditor(ConfigEditorView &view);
    ~ConfigEditor();
    ConfigEditor(const ConfigEditor &) = delete;
    ConfigEditor &operator=(const ConfigEditor &) = delete;

    // The window was created: its device list is filled.
    void created();
    // "&Configure Pallix™": the last device found, read, and the window shown.
    void showConfig();
    // The device list refilled from the last discovery; the first entry read
    // once the window is visible.
    void loadIPs();

    // Handlers. A click that needs the device while another is under way
    // waits its turn.
    void deviceChosen();   // an entry picked, or the list's text edited
    void apply();
    void ok();
    void cancel();
    void outStateClicked();   // a manual-drive box or a state-control option

    bool visible() const { return view_.visible(); }
    // Nothing of the window's own is under way or waiting.
    bool idle() const { return tasks_.running() == 0; }
    bool mayClose() const { return !turns_.busy(); }
    bool loading() const { return loading_; }
    // The device whose settings the controls hold; empty before a load.
    const std::string &shownAddress() const { return shownAddress_; }

    // The monitor's refresh of the lamps; errors go to the caller.
    loop::Task<> refreshLamps();

private:
    enum class BusyPointer { Show, RestoreOnly };

    loop::Task<bool> framed(loop::Task<> body, BusyPointer busy = BusyPointer::Show);
    loop::Task<> loadSelected();
    loop::Task<> applyWork(DeviceConfig values);
    loop::Task<> okWork(DeviceConfig values);
    loop::Task<> outStateWork(OutStateShown wanted);
    loop::Task<> writeOutStateNow(OutStateShown wanted);
    std::string selectedAddress() const;
    bool readyToWrite();
    void selectEntry(int index);

    ConfigEditorView &view_;
    bool loading_ = false;         // loaded values are going into the controls
    bool reloadPending_ = false;   // new discovery results wait to be read
    std::string shownAddress_;
    OutStateShown outStateShown_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    loop::Turns turns_;
    loop::TaskScope tasks_;
};

// What the monitor and discovery see of the configuration window: asking
// whether it is visible creates it, hidden, the first time.
class ConfigWindowHost : public ConfigView {
public:
    // The window's editor, the window created hidden when there is none.
    using Open = std::function<ConfigEditor &()>;
    explicit ConfigWindowHost(Open open) : open_(std::move(open)) {}

    bool visible() override;
    loop::Task<> loadStatus() override;
    void loadDevices() override;

private:
    Open open_;
};

// The text a write asked for before the settings were read gets.
std::string settingsNotReadText();
