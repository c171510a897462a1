// A message box that does not hold the program: a modeless window with the
// text, its icon and OK (and Cancel or Restore); the answer is handed on
// when it closes.
#pragma once

#include "Dialog.h"
#include "app/Desktop.h"

#include <functional>

class frmBox : public Dialog {
public:
    // Shown at once; closed tells the owner the box may go.
    frmBox(const std::string &text, const std::string &title, MsgIcon icon, MsgButtons buttons,
           BoxAnswered answered, std::function<void(frmBox *)> closed);

private:
    void command(int id, int notification) override;
    void closed() override;
    void answer(int result);
    void fitToText(const std::string &text, bool withIcon, bool withSecond);

    MsgButtons buttons_;
    BoxAnswered answered_;
    std::function<void(frmBox *)> closed_;
    bool answeredOnce_ = false;
};
