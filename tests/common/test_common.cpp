#include "common/KeyedCollection.h"
#include "common/Prompter.h"
#include "common/QuorvelError.h"
#include "common/TextRules.h"
#include "support/Errors.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <tuple>

TEST(KeyedCollection, KeysIgnoreCaseKeepOrderAndFirstEntryWins) {
    KeyedCollection<QString> names;
    EXPECT_TRUE(names.add(QStringLiteral("Sniper"), QStringLiteral("Sniper")).added);
    EXPECT_TRUE(names.add(QStringLiteral("Rook"), QStringLiteral("Rook")).added);
    const auto again = names.add(QStringLiteral("SNIPER"), QStringLiteral("SNIPER"));
    EXPECT_FALSE(again.added);
    EXPECT_EQ(*again.item, QStringLiteral("Sniper"));
    ASSERT_EQ(names.Count(), 2);
    EXPECT_EQ(*names.Item(2), QStringLiteral("Rook"));
    EXPECT_TRUE(!names.Item(0) && !names.Item(3) && !names.Item(QStringLiteral("nobody")));
    EXPECT_EQ(*names.Item(QStringLiteral("rOOK")), QStringLiteral("Rook"));

    EXPECT_TRUE(names.remove(QStringLiteral("sniper")));
    EXPECT_FALSE(names.remove(QStringLiteral("sniper")));
    QStringList seen;
    for (const QString &name : names)
        seen << name;
    EXPECT_EQ(seen, QStringList{QStringLiteral("Rook")});
}

TEST(TextRules, NumberPatterns) {
    const std::tuple<int, int, const char *> cases[] = {
        {5, 2, "05"}, {125, 2, "125"}, {-1, 2, "-01"}, {87, 4, "0087"}, {-30, 5, "-00030"}};
    for (const auto &[value, digits, text] : cases)
        EXPECT_EQ(formatZeros(value, digits), QString::fromLatin1(text)) << text;
}

TEST(TextRules, NumericTestAcceptsBlanksSignDecimalsAndExponents) {
    const struct {
        const char *text;
        std::optional<double> value;
    } cases[] = {
        {"12", 12},   {" 12 ", 12},     {"+3", 3},    {"-4.5", -4.5}, {".5", 0.5},
        {"1e2", 100}, {"2.5E-1", 0.25}, {"", {}},     {" ", {}},      {"abc", {}},
        {"4x", {}},   {"1e", {}},       {"1..2", {}}, {"-", {}},      {"1 2", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(numericValue(QString::fromLatin1(c.text)), c.value);
    }
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(numericToLong(QStringLiteral("255.5")), 256);
    EXPECT_EQ(numericToLong(QStringLiteral("99999999999")), std::nullopt);
}

TEST(TextRules, BooleanWordsAndNumbers) {
    for (const char *text : {"True", "TRUE", "tRuE", "-1", "0.5"})
        EXPECT_TRUE(textToBool(QString::fromLatin1(text))) << text;
    for (const char *text : {"false", "0"})
        EXPECT_FALSE(textToBool(QString::fromLatin1(text))) << text;
    for (const char *bad : {"", "maybe", "yes", "T"})
        EXPECT_EQ(errorFrom([&] { (void)textToBool(QString::fromLatin1(bad)); }),
                  QStringLiteral("Type mismatch"))
            << bad;
}

TEST(Prompter, RetryRepeatsTheStepAndCancelGivesUp) {
    ScriptedPrompter prompter;
    prompter.expect(titles::error, Answer::Retry, QStringLiteral("disk full"))
        .expect(titles::error, Answer::Cancel, QStringLiteral("disk full"));
    int runs = 0;
    const bool ok = runWithRetry(prompter, titles::error, [&] {
        ++runs;
        throw QuorvelError(QStringLiteral("disk full"));
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(runs, 2);
    EXPECT_TRUE(prompter.shown().at(0).is(Buttons::RetryCancel, Icon::Critical));

    runs = 0;
    prompter.expect(titles::error, Answer::Retry);
    EXPECT_TRUE(runWithRetry(prompter, titles::error, [&] {
        if (++runs == 1)
            throw std::runtime_error("once");
    }));
    EXPECT_EQ(runs, 2);
}

TEST(Prompter, ScriptedPrompterFailsOnAnUnexpectedBox) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompter prompter;
            tell(prompter, QStringLiteral("surprise"));
        },
        "unexpected message box");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompter prompter;
            prompter.expect(QStringLiteral("Expected"), Answer::Ok);
        },
        "never shown");
}
