// The tray window's way into the windows opened from its menu and from
// discovery. Each is defined beside its window.
#pragma once

void ShowConfig();               // "&Configure Pallix™"
bool ConfigWindowVisible();      // creates the window hidden on first use
void ConfigWindowLoadStatus();   // monitor tick, while visible
void ConfigWindowLoadIPs();      // after a successful discovery, while visible
void ShowSelfTest();             // "Self Test"
void ShowAbout();                // "A&bout Nerrin Pallix™"
void OpenUserGuide();            // "Pallix™ &User Guide"
void OpenSupportPage();          // "Update &App"
void FirmwareCheck();            // after every successful discovery; may end the application

// Before the application ends or the self-test window closes: stops a
// running write test and lets it restore the device's configuration.
void StopSelfTestAndRestore();
