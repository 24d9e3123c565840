#include <gtest/gtest.h>

#include "shell/LikePattern.h"

namespace {

struct Case {
    const char* text;
    const char* pattern;
    bool matches;
};

void ExpectCases(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(Like(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern)), c.matches)
            << '"' << c.text << "\" Like \"" << c.pattern << '"';
    }
}

}  // namespace

TEST(LikePatternTest, WholeStringCaseSensitiveLiterals) {
    ExpectCases({{"test", "test", true},
                 {"Test", "test", false},
                 {"tests", "test", false},
                 {"", "", true},
                 {"a", "", false},
                 {"", "a", false}});
}

TEST(LikePatternTest, StarTakesAnyRunAndBacktracks) {
    ExpectCases({{"", "*", true},
                 {"ABC", "ABC*", true},
                 {"AB", "ABC*", false},
                 {"4711K3", "*K#", true},
                 {"4711K33", "*K#", false},
                 {"AKBK7", "*K#", true},
                 {"abcabcabd", "*abd", true},
                 {"xaybz", "*b*a*", false},
                 {"ab", "**a**b**", true}});
}

TEST(LikePatternTest, QuestionMarkAndHashTakeExactlyOneCharacter) {
    ExpectCases({{"x12345", "?#####", true},
                 {"12345", "?#####", false},
                 {"x1234a", "?#####", false},
                 {"ä", "?", true},
                 {"a", "#", false},
                 {"", "?", false}});
}

TEST(LikePatternTest, BracketListsRangesAndNegation) {
    ExpectCases({{"b", "[abc]", true},
                 {"B", "[abc]", false},
                 {"ab", "[abc]", false},
                 {"E7", "[A-F][0-9]", true},
                 {"e7", "[A-F][0-9]", false},
                 {"9", "[A-F0-9]", true},
                 {"x", "[!abc]", true},
                 {"a", "[!abc]", false},
                 {"-", "[A-]", true},
                 {"B", "[A-]", false}});
}

TEST(LikePatternTest, SpecialCharactersInBracketsAndUnclosedBrackets) {
    ExpectCases({{"*", "[*]", true},
                 {"x", "[*]", false},
                 {"?", "[?]", true},
                 {"#", "[#]", true},
                 {"1", "[#]", false},
                 {"[abc", "[abc", true},
                 {"a", "[abc", false},
                 {"ab", "a[]b", true}});
}

TEST(LikePatternTest, LongInputsStayFast) {
    const QString text(5000, QLatin1Char('a'));
    EXPECT_FALSE(Like(text, QStringLiteral("*a*a*a*a*a*a*a*b")));
    EXPECT_TRUE(Like(text + QLatin1Char('b'), QStringLiteral("*a*a*a*a*a*a*a*b")));
}
