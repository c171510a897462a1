#include "frmMsgBox.h"

#include "resource.h"

#include <utility>

frmMsgBox &frmMsgBox::instance()
{
    static frmMsgBox *window = new frmMsgBox;   // lives until the application ends
    return *window;
}

frmMsgBox::frmMsgBox() : Dialog(IDD_MSGBOX) {}

void frmMsgBox::showMessage(const std::string &msg, BoxAnswered answered)
{
    waiting_.push_back({msg, std::move(answered)});
    if (!showing_) showNext();
}

void frmMsgBox::showNext()
{
    if (waiting_.empty()) return;
    Message next = std::move(waiting_.front());
    waiting_.pop_front();
    setText(IDC_LBLMSG, next.text);
    current_ = std::move(next.answered);
    showing_ = true;
    show();
}

void frmMsgBox::command(int id, int notification)
{
    if (id == IDOK && notification == BN_CLICKED) answer(MsgOK);
}

void frmMsgBox::answer(int result)
{
    if (!showing_) return;
    showing_ = false;
    hide();
    const BoxAnswered answered = std::exchange(current_, {});
    if (answered) answered(result);
    if (!showing_) showNext();
}
