// The About window: versions, the device's and the PC's addresses, the
// Windows version, and the log file.
#pragma once

#include "Dialog.h"

class frmAbout : public Dialog {
public:
    static frmAbout &instance();   // created on first use, lives until the application ends

    void formLoad();   // the current values; errors go to showError

private:
    frmAbout();
    void command(int id, int notification) override;
    void loadValues();

    HFONT titleFont_ = nullptr;
};

// "A&bout Nerrin Pallix™": values read when the window opens; an open window is only raised.
void showAbout();
