// Placeholder until the About window lands.
#include "Platform.h"
#include "WindowHooks.h"

void ShowAbout()
{
    Platform::current().messageBox(QStringLiteral("About is not available yet."),
                                   QStringLiteral("Nerrin Pallix™"), MsgIcon::Information,
                                   MsgButtons::OK);
}
