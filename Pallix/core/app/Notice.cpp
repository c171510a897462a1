#include "app/Notice.h"

#include <set>

namespace {

std::set<std::string> &openNotices()
{
    static std::set<std::string> texts;
    return texts;
}

}   // namespace

void showNotice(const std::string &text, const std::string &title, MsgIcon icon)
{
    if (!openNotices().insert(text).second) return;
    Desktop::current().showBox(text, title, icon, MsgButtons::OK,
                               [text](int) { openNotices().erase(text); });
}

bool noticeOpen(const std::string &text) { return openNotices().count(text) > 0; }
