#include "config/ConfigEditor.h"

#include "app/AppState.h"
#include "app/Desktop.h"
#include "app/Notice.h"
#include "app/NrErrors.h"
#include "config/SavedConfigs.h"
#include "loop/Raised.h"
#include "loop/Waits.h"
#include "watch/MonitorState.h"

#include <algorithm>
#include <optional>

std::string settingsNotReadText()
{
    return "The settings of this device have not been read yet, so nothing was written. Select "
           "the device to read them.";
}

ConfigEditor::ConfigEditor(ConfigEditorView &view) : view_(view) {}

ConfigEditor::~ConfigEditor() { *alive_ = false; }

void ConfigEditor::created() { loadIPs(); }

void ConfigEditor::showConfig()
{
    // A window created hidden during a discovery filled its list while the
    // device list was still being written; refill it before showing.
    if (!view_.visible()) loadIPs();
    if (view_.deviceEntryCount() > 0) selectEntry(view_.deviceEntryCount() - 1);
    view_.showWindow();
}

void ConfigEditor::loadIPs()
{
    view_.setDevices(appState().devicesFound());
    // Discovery calls this once per device it stores; the first entry is
    // read once, after the loop has run.
    if (!view_.visible() || reloadPending_) return;
    reloadPending_ = true;
    tasks_.spawn([](ConfigEditor &editor) -> loop::Task<> {
        co_await loop::letEventsRun();
        editor.reloadPending_ = false;
        if (editor.view_.visible() && editor.view_.deviceEntryCount() > 0) editor.selectEntry(0);
    }(*this));
}

void ConfigEditor::selectEntry(int index)
{
    view_.showDeviceEntry(index);
    deviceChosen();
}

// The entry whose text the list shows; edited text that is no entry selects none.
std::string ConfigEditor::selectedAddress() const
{
    const std::string text = view_.deviceText();
    const std::vector<std::string> entries = view_.deviceEntries();
    return std::find(entries.begin(), entries.end(), text) == entries.end() ? std::string() : text;
}

void ConfigEditor::deviceChosen()
{
    if (selectedAddress().empty()) return;
    tasks_.spawn([](ConfigEditor &editor) -> loop::Task<> {
        co_await editor.framed(editor.loadSelected());
    }(*this));
}

void ConfigEditor::apply()
{
    if (!readyToWrite()) return;
    tasks_.spawn([](ConfigEditor &editor, DeviceConfig values) -> loop::Task<> {
        co_await editor.framed(editor.applyWork(values));
    }(*this, view_.settingsShown()));
}

void ConfigEditor::ok()
{
    if (!readyToWrite()) return;
    tasks_.spawn([](ConfigEditor &editor, DeviceConfig values) -> loop::Task<> {
        const bool saved = co_await editor.framed(editor.okWork(values));
        if (saved) editor.view_.closeWindow();
    }(*this, view_.settingsShown()));
}

void ConfigEditor::cancel()
{
    if (mayClose()) view_.closeWindow();
}

// Values a load puts into the controls never write to the device, and a
// click that writes nothing puts its control back: the window shows only
// modes the device has.
void ConfigEditor::outStateClicked()
{
    if (loading_ || !readyToWrite()) {
        view_.showOutState(outStateShown_);
        return;
    }
    tasks_.spawn([](ConfigEditor &editor, OutStateShown wanted) -> loop::Task<> {
        const bool written =
            co_await editor.framed(editor.writeOutStateNow(wanted), BusyPointer::RestoreOnly);
        if (!written && *editor.alive_) editor.view_.showOutState(editor.outStateShown_);
    }(*this, view_.outStateShown()));
}

// The monitor held, the work, the monitor as it was; the one place a
// handler's error is caught. Work asked for while other work runs waits
// its turn.
loop::Task<bool> ConfigEditor::framed(loop::Task<> body, BusyPointer busy)
{
    auto turn = co_await turns_.take();
    if (busy == BusyPointer::Show) setMousePointer(MousePointer::ArrowHourglass);
    std::optional<NrError> failure;
    try {
        const MonitorHoldScope hold(MonitorHold::DeviceOperation);
        co_await std::move(body);
    } catch (const NrError &error) {
        failure = error;
    }
    setMousePointer(MousePointer::Default);
    if (!failure) co_return true;
    showError(*failure);
    co_return false;
}

loop::Task<> ConfigEditor::loadSelected()
{
    const std::string address = selectedAddress();
    if (address.empty()) co_return;
    const loop::Raised loading(loading_);
    const LoadedSettings loaded = co_await loadSettings(address);
    view_.showSettings(loaded);
    tasks_.spawn(keepDeviceConfig(address, loaded.config));
    outStateShown_ = view_.outStateShown();
    shownAddress_ = address;
}

loop::Task<> ConfigEditor::applyWork(DeviceConfig values)
{
    co_await okWork(values);
    co_await loadSelected();
}

// Every register written: this is the configuration the user wants kept.
loop::Task<> ConfigEditor::okWork(DeviceConfig values)
{
    co_await saveSettings(shownAddress_, values);
    keepWritten(shownAddress_, values);
}

loop::Task<> ConfigEditor::writeOutStateNow(OutStateShown wanted)
{
    co_await writeOutState(shownAddress_, wanted.out1Manual, wanted.out2Manual, wanted.out1Drive,
                           wanted.out2Drive);
    outStateShown_ = wanted;
}

// Writes go to the device whose settings the controls hold, and only once
// they hold some: before a load, the lists would write 255 into the device.
// A failed discovery is left to the write itself, which reports it.
bool ConfigEditor::readyToWrite()
{
    if (appState().discoveryFailed) return true;
    if (!shownAddress_.empty() && shownAddress_ == selectedAddress()) return true;
    showNotice(settingsNotReadText(), "Nerrin Pallix™ Control Center", MsgIcon::Information);
    return false;
}

loop::Task<> ConfigEditor::refreshLamps()
{
    const std::string address = selectedAddress();
    if (address.empty()) co_return;
    setMousePointer(MousePointer::ArrowHourglass);
    const std::shared_ptr<bool> alive = alive_;
    const DeviceStatus status = co_await loadStatus(address);
    // The window may have closed while the lamps were read.
    if (*alive) view_.showLamps(indicatorLamps(status));
}

bool ConfigWindowHost::visible() { return open_().visible(); }

loop::Task<> ConfigWindowHost::loadStatus() { co_await open_().refreshLamps(); }

void ConfigWindowHost::loadDevices() { open_().loadIPs(); }
