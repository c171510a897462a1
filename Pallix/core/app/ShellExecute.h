// Opening documents, folders and web pages with the program the desktop
// associates with them.
#pragma once

#include <string>

// Opens pathOrUrl; throws NrError(code, description) when the shell refuses.
// Never shows anything itself.
void shellOpen(const std::string &pathOrUrl);

// The description of a failed shell open (codes 0 to 32).
std::string shellErrorDescription(int code);

// "Pallix™ &User Guide" and "Update &App"; errors go to showError.
void openUserGuide();
void openSupportPage();

// Where "Update &App" sends the user.
std::string supportPageUrl();
