// A command from the configuration splits as a shell would split it, and
// what a shell would reject is refused with the reason.
#include "CommandWords.h"

#include <gtest/gtest.h>

namespace {

QStringList words(const QString &text)
{
    QString error;
    const std::optional<QStringList> split = commandWords(text, &error);
    EXPECT_TRUE(split.has_value()) << error.toStdString();
    return split.value_or(QStringList{});
}

QString refusal(const QString &text)
{
    QString error;
    EXPECT_FALSE(commandWords(text, &error).has_value()) << text.toStdString();
    return error;
}

TEST(CommandWords, QuotesAndBackslashesAsAShellReadsThem)
{
    EXPECT_EQ(words(QStringLiteral("  systemctl\tpoweroff  ")),
              (QStringList{"systemctl", "poweroff"}));
    EXPECT_EQ(words(QStringLiteral(R"(/bin/tell "two words" 'it''s' a\ b "q\"x\n" '' "")")),
              (QStringList{"/bin/tell", "two words", "its", "a b", "q\"x\\n", "", ""}));
    EXPECT_EQ(words(QStringLiteral(R"(say 'no $HOME or \t here')")),
              (QStringList{"say", "no $HOME or \\t here"}));
}

TEST(CommandWords, AnUnclosedQuoteOrATrailingBackslashIsRefused)
{
    EXPECT_EQ(refusal(QStringLiteral("tell \"unterminated")),
              QStringLiteral("the quote \" at character 6 is not closed in: tell \"unterminated"));
    EXPECT_TRUE(refusal(QStringLiteral("tell 'it")).contains(QStringLiteral("quote '")));
    EXPECT_TRUE(refusal(QStringLiteral("tell \\")).contains(QStringLiteral("backslash")));
}

}   // namespace
