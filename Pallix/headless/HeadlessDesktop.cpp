#include "HeadlessDesktop.h"

#include "app/LogFile.h"
#include "app/Text.h"

// A run of blanks around line breaks becomes one blank.
std::string oneLine(const std::string &text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::string line;
    for (size_t i = 0; i < text.size();) {
        const size_t runEnd = [&] {
            size_t end = i;
            while (end < text.size() && blank(text[end]))
                ++end;
            return end;
        }();
        const bool breaks = text.find_first_of("\r\n", i) < runEnd;
        if (breaks) {
            line += ' ';
            i = runEnd;
        } else {
            line += text[i++];
        }
    }
    return trimmed(line);
}

int HeadlessDesktop::answer(const std::string &text, MsgButtons buttons)
{
    if (text != unlogged_) logFile(oneLine(text));
    return buttons == MsgButtons::OKCancel ? MsgCancel : MsgOK;
}

int HeadlessDesktop::messageBox(const std::string &text, const std::string &, MsgIcon,
                                MsgButtons buttons)
{
    return answer(text, buttons);
}

void HeadlessDesktop::showBox(const std::string &text, const std::string &, MsgIcon,
                              MsgButtons buttons, BoxAnswered answered)
{
    const int result = answer(text, buttons);
    if (answered) answered(result);
}

void HeadlessDesktop::showMessageWindow(const std::string &text, BoxAnswered answered)
{
    showBox(text, std::string(), MsgIcon::None, MsgButtons::OKCancel, std::move(answered));
}
