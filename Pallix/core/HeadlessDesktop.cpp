#include "HeadlessDesktop.h"

#include "LogFile.h"

#include <QRegularExpression>

QString oneLine(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    return QString(text).replace(breaks, QStringLiteral(" ")).trimmed();
}

int HeadlessDesktop::answer(const QString &text, MsgButtons buttons)
{
    if (text != unlogged_) logFile(oneLine(text));
    if (buttons == MsgButtons::OK || agreed_ > 0) return MsgOK;
    return MsgCancel;
}

int HeadlessDesktop::messageBox(const QString &text, const QString &, MsgIcon, MsgButtons buttons)
{
    return answer(text, buttons);
}

void HeadlessDesktop::showBox(const QString &text, const QString &, MsgIcon, MsgButtons buttons,
                              BoxAnswered answered)
{
    const int result = answer(text, buttons);
    if (answered) answered(result);
}

void HeadlessDesktop::showMessageWindow(const QString &text, BoxAnswered answered)
{
    showBox(text, QString(), MsgIcon::None, MsgButtons::OKCancel, std::move(answered));
}
