// The application's own two-button message window, shown without waiting.
// A message that comes while another is open waits its turn.
#pragma once

#include "Dialog.h"
#include "app/Desktop.h"

#include <deque>

class frmMsgBox : public Dialog {
public:
    static frmMsgBox &instance();   // created on first use, one for the process

    // answered gets 1 for "OK", 2 for "Cancel" or closing the window.
    void showMessage(const std::string &msg, BoxAnswered answered = {});

private:
    struct Message {
        std::string text;
        BoxAnswered answered;
    };

    frmMsgBox();
    void command(int id, int notification) override;
    void closed() override { answer(MsgCancel); }
    void showNext();
    void answer(int result);

    std::deque<Message> waiting_;
    BoxAnswered current_;
    bool showing_ = false;
};
