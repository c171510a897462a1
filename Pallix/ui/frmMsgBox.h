// The application's own two-button message window.
#pragma once

#include "app/Desktop.h"

#include <QDialog>
#include <QQueue>

class QLabel;
class QPushButton;

class frmMsgBox : public QDialog {
    Q_OBJECT
public:
    static frmMsgBox &instance();   // created on first use, one for the process

    // Shows msg without waiting; answered gets 1 for "OK", 2 for "Cancel" or
    // closing the window. A message that comes while another is open waits
    // its turn.
    void showMessage(const QString &msg, BoxAnswered answered = {});

    QLabel *lblMsg = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    struct Message {
        QString text;
        BoxAnswered answered;
    };

    frmMsgBox();
    void showNext();
    void answer(int result);

    QQueue<Message> waiting_;
    BoxAnswered current_;
    bool showing_ = false;
};
