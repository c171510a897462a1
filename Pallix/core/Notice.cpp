#include "Notice.h"

#include <QSet>

namespace {

QSet<QString> &openNotices()
{
    static QSet<QString> texts;
    return texts;
}

}   // namespace

void showNotice(const QString &text, const QString &title, MsgIcon icon)
{
    if (openNotices().contains(text)) return;
    openNotices().insert(text);
    Desktop::current().showBox(text, title, icon, MsgButtons::OK,
                               [text](int) { openNotices().remove(text); });
}

bool noticeOpen(const QString &text) { return openNotices().contains(text); }
