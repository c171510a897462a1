// Boxes that tell and ask nothing back, shown without waiting.
#pragma once

#include "app/Desktop.h"

// Shows a box unless one with the same text is still open, so a fault that
// repeats every tick opens one box, not a stack of them. answered gets the
// answer of a box that is shown; it is not called for one that is not.
void showNotice(const std::string &text, const std::string &title, MsgIcon icon,
                MsgButtons buttons = MsgButtons::OK, BoxAnswered answered = {});

// True while a notice with this text is open.
bool noticeOpen(const std::string &text);

// co_await askNotice(...): the answer of a notice; check noticeOpen first,
// as nothing answers while another notice with the text is open.
BoxAnswer askNotice(const std::string &text, const std::string &title, MsgIcon icon,
                    MsgButtons buttons);
