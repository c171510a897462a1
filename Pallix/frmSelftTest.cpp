// Placeholder until the self-test window lands.
#include "Platform.h"
#include "WindowHooks.h"

void ShowSelfTest()
{
    Platform::current().messageBox(QStringLiteral("Self Test is not available yet."),
                                   QStringLiteral("Nerrin Pallix™"), MsgIcon::Information,
                                   MsgButtons::OK);
}
void StopSelfTestAndRestore() {}
