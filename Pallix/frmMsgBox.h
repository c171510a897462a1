// The application's own two-button message window.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class frmMsgBox : public QDialog {
    Q_OBJECT
public:
    static frmMsgBox &instance();   // created on first use, one for the process

    // Shows msg modally: 1 for "OK", 2 for "Cancel" or closing the window.
    int MessageBox(const QString &msg);

    QLabel *lblMsg = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *Command1 = nullptr;

private:
    frmMsgBox();
};
