#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "shell/LikePattern.h"

TEST(LikePatternTest, WildcardsListsAndLiteralsOverTheWholeString) {
    // pattern, texts it matches, texts it does not match
    using Texts = std::vector<const char*>;
    const std::vector<std::tuple<const char*, Texts, Texts>> rows = {
        {"test", {"test"}, {"Test", "tests"}},  // whole string, case-sensitive
        {"", {""}, {"a"}},
        {"*", {""}, {}},
        {"ABC*", {"ABC"}, {"AB"}},
        {"*K#", {"4711K3", "AKBK7"}, {"4711K33"}},  // backtracks
        {"*abd", {"abcabcabd"}, {}},
        {"*b*a*", {}, {"xaybz"}},
        {"**a**b**", {"ab"}, {}},
        {"?#####", {"x12345"}, {"12345", "x1234a"}},
        {"?", {"ä"}, {""}},
        {"[abc]", {"b"}, {"B", "ab"}},
        {"[A-F][0-9]", {"E7"}, {"e7"}},
        {"[A-F0-9]", {"9"}, {}},
        {"[!abc]", {"x"}, {"a"}},
        {"[A-]", {"-"}, {"B"}},
        {"[*]", {"*"}, {"x"}},  // wildcards in brackets stand for themselves
        {"[?]", {"?"}, {}},
        {"[#]", {"#"}, {"1"}},
        {"[abc", {"[abc"}, {"a"}},  // an unclosed [ is an ordinary character
        {"a[]b", {"ab"}, {}},
    };
    for (const auto& [pattern, hits, misses] : rows) {
        for (const char* text : hits)
            EXPECT_TRUE(Like(QString::fromUtf8(text), QString::fromUtf8(pattern))) << text << " Like " << pattern;
        for (const char* text : misses)
            EXPECT_FALSE(Like(QString::fromUtf8(text), QString::fromUtf8(pattern))) << text << " Like " << pattern;
    }
}

TEST(LikePatternTest, LongInputsStayFast) {
    const QString text(5000, QLatin1Char('a'));
    EXPECT_FALSE(Like(text, QStringLiteral("*a*a*a*a*a*a*a*b")));
    EXPECT_TRUE(Like(text + QLatin1Char('b'), QStringLiteral("*a*a*a*a*a*a*a*b")));
}
