// Placeholder until shell open lands.
#include "Platform.h"
#include "WindowHooks.h"

static void notYet(const char *what)
{
    Platform::current().messageBox(QString::fromUtf8(what) + QStringLiteral(" is not available yet."),
                                   QStringLiteral("Nerrin Pallix™"), MsgIcon::Information,
                                   MsgButtons::OK);
}
void OpenUserGuide() { notYet("The user guide"); }
void OpenSupportPage() { notYet("The support page"); }
