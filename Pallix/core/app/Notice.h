// Boxes that tell and ask nothing back, shown without waiting.
#pragma once

#include "app/Desktop.h"

// Shows an OK box unless one with the same text is still open, so a fault
// that repeats every tick opens one box, not a stack of them.
void showNotice(const std::string &text, const std::string &title, MsgIcon icon);

// True while a notice with this text is open.
bool noticeOpen(const std::string &text);
