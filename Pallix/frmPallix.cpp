// Placeholder until the configuration window lands.
#include "Platform.h"
#include "WindowHooks.h"

void ShowConfig()
{
    Platform::current().messageBox(QStringLiteral("Configuration is not available yet."),
                                   QStringLiteral("Nerrin Pallix™"), MsgIcon::Information,
                                   MsgButtons::OK);
}
bool ConfigWindowVisible() { return false; }
void ConfigWindowLoadStatus() {}
void ConfigWindowLoadIPs() {}
