#include "CommandWords.h"

namespace {

bool blank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// Within double quotes a backslash escapes only these.
bool escapedInDoubleQuotes(QChar c) { return QStringLiteral("\"\\$`").contains(c); }

}   // namespace

std::optional<QStringList> commandWords(const QString &text, QString *error)
{
    QStringList words;
    QString word;
    bool inWord = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (blank(c)) {
            if (inWord) words << word;
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == QLatin1Char('\\')) {
            if (++i == text.size()) {
                *error = QStringLiteral("nothing follows the backslash at the end of: %1").arg(text);
                return std::nullopt;
            }
            word += text[i];
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype start = i;
            for (++i; i < text.size() && text[i] != c; ++i) {
                if (c == QLatin1Char('"') && text[i] == QLatin1Char('\\') && i + 1 < text.size()
                    && escapedInDoubleQuotes(text[i + 1]))
                    ++i;
                word += text[i];
            }
            if (i == text.size()) {
                *error = QStringLiteral("the quote %1 at character %2 is not closed in: %3")
                             .arg(c)
                             .arg(start + 1)
                             .arg(text);
                return std::nullopt;
            }
        } else {
            word += c;
        }
    }
    if (inWord) words << word;
    return words;
}
