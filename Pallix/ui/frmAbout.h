// The About window: versions, the device's and the PC's addresses, and the log.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// A dialog shown modeless, so Enter means OK and Escape closes it.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    static frmAbout &instance();   // created on first use, one for the process

    // Fills the labels from the current values; reported through showError.
    void formLoad();
    void cmdLogFileClicked();

    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblFirmwareVersion = nullptr;
    QLabel *lblMACAddress = nullptr;
    QLabel *lblIPAddress = nullptr;
    QLabel *lblPCIP = nullptr;
    QLabel *lblOSInfo = nullptr;
    QLabel *lblNote = nullptr;
    QLabel *picIcon = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdLogFile = nullptr;

private:
    frmAbout();
    void createControls();
    void layoutControls();
    void loadValues();
};

// "A&bout Nerrin Pallix™": the window, refilled and shown.
void showAbout();
