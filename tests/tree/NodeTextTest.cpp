#include <gtest/gtest.h>

#include "tests/tree/TestTexts.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"

TEST(NodeTextTest, ExpectedFormPadsTheArticleToTwentyFiveCharacters) {
    EXPECT_EQ(ExpectedNodeText("ART-7", 1, true, 1, 2, true), "ART-7" + Blanks(20) + " P(0/1) S(0/1) F(0/2) T");
    EXPECT_EQ(ExpectedNodeText("ABC", 2, false, 0, 0, false), "ABC" + Blanks(22) + " P(0/2)");
    // Nothing but a test: the production-code group is still written.
    EXPECT_EQ(ExpectedNodeText("TST", 0, false, 0, 0, true), "TST" + Blanks(22) + " P(0/0) T");
    // Serial group written on request even when the shown count is 0.
    EXPECT_EQ(ExpectedNodeText("S", 1, true, 0, 0, false), "S" + Blanks(24) + " P(0/1) S(0/0)");
}

TEST(NodeTextTest, ProgressFormHasNoBlankBeforeTheCountersAndAQuestionMarkForNoCodes) {
    NodeProgress progress;
    progress.acquiredProdCodes = 2;
    progress.expectedProdCodes = 3;
    progress.serNrs = 1;
    progress.expectedSerNrs = 1;
    EXPECT_EQ(ProgressNodeText("ABC-12", progress), "ABC-12" + Blanks(19) + "P(2/3) S(1/1)");

    NodeProgress full{3, 2, 1, 1, 0, 2, true};
    EXPECT_EQ(ProgressNodeText("ART-7", full), "ART-7" + Blanks(20) + "P(3/2) S(1/1) F(0/2) T");

    NodeProgress nothingExpected;
    nothingExpected.acquiredProdCodes = 0;
    EXPECT_EQ(ProgressNodeText("X", nothingExpected), "X" + Blanks(24) + "P(0/?)");
    // The progress form is one character shorter than the expected form of the same node.
    EXPECT_EQ(ProgressNodeText("ABC", NodeProgress{0, 2, 0, 0, 0, 0, false}).size() + 1,
              ExpectedNodeText("ABC", 2, false, 0, 0, false).size());
}

TEST(NodeTextTest, ArticleOfTwentyFiveCharactersOrMoreGetsNoPadding) {
    const QString exact = "ABCDEFGHIJKLMNOPQRSTUVWXY";
    ASSERT_EQ(exact.size(), 25);
    EXPECT_EQ(ExpectedNodeText(exact, 1, false, 0, 0, false), exact + " P(0/1)");
    EXPECT_EQ(ProgressNodeText(exact, NodeProgress{1, 1, 0, 0, 0, 0, false}), exact + "P(1/1)");
    EXPECT_EQ(GetArtNrFromNodeText(exact + "P(1/1)"), exact);

    const QString longer = exact + "Z12";
    EXPECT_EQ(NodeTextPadding(longer), QString());
    EXPECT_EQ(GetArtNrFromNodeText(ExpectedNodeText(longer, 1, false, 0, 0, false)), longer);
}

TEST(NodeTextTest, ArticleIsTheTextBeforeTheEarliestMarker) {
    EXPECT_EQ(GetArtNrFromNodeText("ABC-12" + Blanks(19) + " P(0/3) S(0/1) T"), "ABC-12");
    EXPECT_EQ(GetArtNrFromNodeText("ABC-12" + Blanks(19) + "P(2/3) S(1/1)"), "ABC-12");
    EXPECT_EQ(GetArtNrFromNodeText("ABC-12" + Blanks(19) + "P(2/?) F(1/1) T"), "ABC-12");
    // A text without markers (a freshly loaded device node) is the whole text, trimmed.
    EXPECT_EQ(GetArtNrFromNodeText("  LP-5100-A  "), "LP-5100-A");
    EXPECT_EQ(GetArtNrFromNodeText(""), "");
    // Markers inside an article number cut it, in either letter case.
    EXPECT_EQ(GetArtNrFromNodeText("CAP(10)" + Blanks(18) + " P(0/1)"), "CA");
    EXPECT_EQ(GetArtNrFromNodeText("BUS(2)-X"), "BU");
    EXPECT_EQ(GetArtNrFromNodeText("TEMPF(3) P(0/1)"), "TEMP");
    EXPECT_EQ(GetArtNrFromNodeText("ROD tip P(0/1)"), "ROD");
    EXPECT_EQ(GetArtNrFromNodeText("cap(x) p(0/1)"), "ca");
    // The earliest marker wins whatever the order of the search.
    EXPECT_EQ(GetArtNrFromNodeText("AS(1)P(1)"), "A");
}

TEST(NodeTextTest, ArticleOfAnOrderDropsTheLastTwoCharacters) {
    EXPECT_EQ(ArticleFromProductCode("ABC123XY"), "ABC123");
    EXPECT_EQ(ArticleFromProductCode(" SG-5000-A 01"), "SG-5000-A");
    EXPECT_EQ(ArticleFromProductCode("AB"), "");
    EXPECT_EQ(ArticleFromProductCode("A"), "");
    EXPECT_EQ(ArticleFromProductCode(""), "");
}

TEST(NodeKeyTest, DeviceKeysCarryDeviceIdAndSuffix) {
    EXPECT_TRUE(IsDeviceNodeKey("4711K3"));
    EXPECT_EQ(DeviceIdOfKey("4711K3"), 4711);
    EXPECT_EQ(KeySuffix("4711K3"), "3");
    EXPECT_TRUE(IsDeviceNodeKey("901K10"));
    EXPECT_EQ(DeviceIdOfKey("901K10"), 901);

    EXPECT_FALSE(IsDeviceNodeKey("ART-01 2"));
    EXPECT_EQ(DeviceIdOfKey("ART-01 2"), 0);
    EXPECT_EQ(KeySuffix("ART-01 2"), "2");
    EXPECT_EQ(KeySuffix("ART-01 2  "), "2");

    // Article numbers with a "K" or leading digits never make an expected node a device node.
    EXPECT_FALSE(IsDeviceNodeKey("KAB-12 0"));
    EXPECT_FALSE(IsDeviceNodeKey("12K-A 2"));
    EXPECT_EQ(DeviceIdOfKey("12K-A 2"), 0);
    EXPECT_EQ(DeviceIdOfKey("4711-A 0"), 0);
    EXPECT_FALSE(IsDeviceNodeKey("0K1"));
    EXPECT_FALSE(IsDeviceNodeKey("99999999999K1"));
    EXPECT_FALSE(IsDeviceNodeKey("12K"));

    EXPECT_EQ(ExpectedNodeKey("ART-9", "3"), "ART-9 3");
    EXPECT_EQ(DeviceNodeKey(815, "3"), "815K3");
}
