#include "TrayControl.h"

namespace {

// Answers for the tray window before it exists (and in tests without one).
class NoTray : public TrayControl {
public:
    void enableDiscoveryTimer() override {}
    void ChangeIcon(int) override {}
};

NoTray noTray;
TrayControl *registered = nullptr;

}  // namespace

TrayControl &trayControl() { return registered ? *registered : noTray; }

void setTrayControl(TrayControl *control) { registered = control; }
