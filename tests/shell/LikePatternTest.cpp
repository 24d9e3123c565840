#include <gtest/gtest.h>

#include "shell/LikePattern.h"

TEST(LikePatternTest, LiteralsMatchWholeStringCaseSensitive) {
    EXPECT_TRUE(Like("test", "test"));
    EXPECT_FALSE(Like("Test", "test"));
    EXPECT_FALSE(Like("tests", "test"));
    EXPECT_FALSE(Like("tes", "test"));
    EXPECT_TRUE(Like("", ""));
    EXPECT_FALSE(Like("a", ""));
    EXPECT_FALSE(Like("", "a"));
}

TEST(LikePatternTest, StarTakesAnyRunIncludingNone) {
    EXPECT_TRUE(Like("", "*"));
    EXPECT_TRUE(Like("anything", "*"));
    EXPECT_TRUE(Like("ABC-12", "ABC*"));
    EXPECT_TRUE(Like("ABC", "ABC*"));
    EXPECT_FALSE(Like("AB", "ABC*"));
    EXPECT_TRUE(Like("4711K3", "*K#"));
    EXPECT_FALSE(Like("4711K", "*K#"));
    EXPECT_FALSE(Like("4711K33", "*K#"));
    // Backtracking: the first "K" is not the one the pattern needs.
    EXPECT_TRUE(Like("AKBK7", "*K#"));
    EXPECT_TRUE(Like("abcabcabd", "*abd"));
    EXPECT_TRUE(Like("xaybz", "*a*b*"));
    EXPECT_FALSE(Like("xaybz", "*b*a*"));
    EXPECT_TRUE(Like("ab", "**a**b**"));
}

TEST(LikePatternTest, QuestionMarkAndHashTakeExactlyOneCharacter) {
    EXPECT_TRUE(Like("x12345", "?#####"));
    EXPECT_TRUE(Like("112345", "?#####"));
    EXPECT_FALSE(Like("12345", "?#####"));
    EXPECT_FALSE(Like("x1234a", "?#####"));
    EXPECT_TRUE(Like("\xC3\xA4", "?"));  // "ä" counts as one character
    EXPECT_FALSE(Like("a", "#"));
    EXPECT_FALSE(Like("", "?"));
    EXPECT_FALSE(Like("", "#"));
}

TEST(LikePatternTest, BracketListsRangesAndNegation) {
    EXPECT_TRUE(Like("b", "[abc]"));
    EXPECT_FALSE(Like("d", "[abc]"));
    EXPECT_FALSE(Like("B", "[abc]"));
    EXPECT_TRUE(Like("E7", "[A-F][0-9]"));
    EXPECT_FALSE(Like("e7", "[A-F][0-9]"));
    EXPECT_FALSE(Like("G7", "[A-F][0-9]"));
    EXPECT_TRUE(Like("9", "[A-F0-9]"));
    EXPECT_TRUE(Like("x", "[!abc]"));
    EXPECT_FALSE(Like("a", "[!abc]"));
    EXPECT_FALSE(Like("5", "[!0-9]"));
    EXPECT_FALSE(Like("", "[abc]"));
    EXPECT_FALSE(Like("ab", "[abc]"));
    // A dash at either end of the list is an ordinary character.
    EXPECT_TRUE(Like("-", "[-A]"));
    EXPECT_TRUE(Like("-", "[A-]"));
    EXPECT_FALSE(Like("B", "[A-]"));
}

TEST(LikePatternTest, WildcardsInBracketsAreLiteral) {
    EXPECT_TRUE(Like("*", "[*]"));
    EXPECT_FALSE(Like("x", "[*]"));
    EXPECT_TRUE(Like("?", "[?]"));
    EXPECT_FALSE(Like("x", "[?]"));
    EXPECT_TRUE(Like("#", "[#]"));
    EXPECT_FALSE(Like("1", "[#]"));
    EXPECT_TRUE(Like("a*b", "a[*]b"));
    EXPECT_FALSE(Like("axxb", "a[*]b"));
}

TEST(LikePatternTest, UnclosedBracketIsLiteralAndEmptyListMatchesNothing) {
    EXPECT_TRUE(Like("[abc", "[abc"));
    EXPECT_FALSE(Like("a", "[abc"));
    EXPECT_TRUE(Like("x[1", "?[#"));
    EXPECT_TRUE(Like("]", "]"));
    EXPECT_TRUE(Like("ab", "a[]b"));
    EXPECT_TRUE(Like("a", "a[]"));
}

TEST(LikePatternTest, LongInputsDoNotExplode) {
    const QString text = QString(5000, QLatin1Char('a'));
    EXPECT_FALSE(Like(text, "*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(Like(text + "b", "*a*a*a*a*a*a*a*b"));
}
