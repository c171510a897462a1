// Opening documents, folders and web pages with the program the desktop
// associates with them.
#pragma once

#include <QString>

// Where "Update &App" sends the user.
inline constexpr char SupportPageUrl[] = "https://support.example.com/pallix";

// Opens pathOrUrl; throws NrError(code, description) when the shell refuses.
// Never shows anything itself.
void shellOpen(const QString &pathOrUrl);

// The description of a failed shell open (codes 0 to 32).
QString shellErrorDescription(int code);

// "Pallix™ &User Guide" and "Update &App"; errors go to showError.
void openUserGuide();
void openSupportPage();
