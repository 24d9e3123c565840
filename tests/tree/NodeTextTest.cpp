#include <gtest/gtest.h>

#include "tests/tree/TreeTestData.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"

TEST(NodeTextTest, BothFormsPadTheArticleToTwentyFiveCharacters) {
    const QString exact = "ABCDEFGHIJKLMNOPQRSTUVWXY";  // 25 characters: no padding
    const struct {
        QString text, expected;
    } cases[] = {
        {ExpectedNodeText("ART-7", 1, true, 1, 2, true), "ART-7" + Blanks(20) + " P(0/1) S(0/1) F(0/2) T"},
        {ExpectedNodeText("ABC", 2, false, 0, 0, false), "ABC" + Blanks(22) + " P(0/2)"},
        {ExpectedNodeText("TST", 0, false, 0, 0, true), "TST" + Blanks(22) + " P(0/0) T"},
        {ExpectedNodeText("S", 1, true, 0, 0, false), "S" + Blanks(24) + " P(0/1) S(0/0)"},
        {ExpectedNodeText(exact, 1, false, 0, 0, false), exact + " P(0/1)"},
        // The progress form has no blank before the counters and "?" when no codes are expected.
        {ProgressNodeText("ABC-12", {2, 3, 1, 1, 0, 0, false}), "ABC-12" + Blanks(19) + "P(2/3) S(1/1)"},
        {ProgressNodeText("ART-7", {3, 2, 1, 1, 0, 2, true}), "ART-7" + Blanks(20) + "P(3/2) S(1/1) F(0/2) T"},
        {ProgressNodeText("X", {}), "X" + Blanks(24) + "P(0/?)"},
        {ProgressNodeText(exact, {1, 1, 0, 0, 0, 0, false}), exact + "P(1/1)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, c.expected);
    }
}

TEST(NodeTextTest, ArticleIsTheTextBeforeTheEarliestMarker) {
    const QString exact = "ABCDEFGHIJKLMNOPQRSTUVWXY";
    const struct {
        QString text, artNr;
    } cases[] = {
        {"ABC-12" + Blanks(19) + " P(0/3) S(0/1) T", "ABC-12"},
        {"ABC-12" + Blanks(19) + "P(2/?) F(1/1) T", "ABC-12"},
        {exact + "P(1/1)", exact},
        {exact + "Z12 P(0/1)", exact + "Z12"},
        {"  LP-5100-A  ", "LP-5100-A"},  // a freshly loaded device node: the whole text, trimmed
        // Markers inside an article number cut it, in either letter case; the earliest one wins.
        {"CAP(10)" + Blanks(18) + " P(0/1)", "CA"},
        {"TEMPF(3) P(0/1)", "TEMP"},
        {"ROD tip P(0/1)", "ROD"},
        {"cap(x) p(0/1)", "ca"},
        {"AS(1)P(1)", "A"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetArtNrFromNodeText(c.text), c.artNr);
    }
    EXPECT_EQ(ArticleFromProductCode(" SG-5000-A 01"), "SG-5000-A");
}

TEST(NodeKeyTest, OnlyDigitsKDigitsIsADeviceKey) {
    EXPECT_EQ(DeviceIdOfKey("4711K3"), 4711);
    EXPECT_EQ(DeviceIdOfKey("901K10"), 901);
    EXPECT_EQ(KeySuffix("901K10"), "0");
    EXPECT_EQ(KeySuffix("ART-01 2  "), "2");
    // Article numbers with a "K" or leading digits never make an expected node a device node.
    for (const char* key : {"ART-01 2", "KAB-12 0", "12K-A 2", "4711-A 0", "0K1", "99999999999K1", "12K"}) {
        EXPECT_FALSE(IsDeviceNodeKey(key)) << key;
        EXPECT_EQ(DeviceIdOfKey(key), 0) << key;
    }
}
