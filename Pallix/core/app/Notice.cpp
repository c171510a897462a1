#include "app/Notice.h"

#include <set>

namespace {

std::set<std::string> &openNotices()
{
    static std::set<std::string> texts;
    return texts;
}

}   // namespace

void showNotice(const std::string &text, const std::string &title, MsgIcon icon,
                MsgButtons buttons, BoxAnswered answered)
{
    if (!openNotices().insert(text).second) return;
    Desktop::current().showBox(text, title, icon, buttons,
                               [text, answered = std::move(answered)](int answer) {
                                   openNotices().erase(text);
                                   if (answered) answered(answer);
                               });
}

bool noticeOpen(const std::string &text) { return openNotices().count(text) > 0; }

BoxAnswer askNotice(const std::string &text, const std::string &title, MsgIcon icon,
                    MsgButtons buttons)
{
    return BoxAnswer([=](BoxAnswered answered) {
        showNotice(text, title, icon, buttons, std::move(answered));
    });
}
