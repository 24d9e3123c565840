#include <gtest/gtest.h>

#include "shell/Misc.h"

namespace {

TEST(MiscTest, FilterCharsDropsStarCommentsThenFiltersByCharacterSet) {
    const QString nul(QChar(0));
    // Runs from "*" to the next "*" go, an unterminated run to the end of the text.
    EXPECT_EQ(FilterChars(QStringLiteral("A1*note*B2"), nul, false, Qt::CaseInsensitive), QStringLiteral("A1B2"));
    EXPECT_EQ(FilterChars(QStringLiteral("A1 *rest of line"), nul, false, Qt::CaseInsensitive), QStringLiteral("A1 "));
    EXPECT_EQ(FilterChars(QStringLiteral("*a*b*c*d"), nul, false, Qt::CaseInsensitive), QStringLiteral("bd"));
    EXPECT_EQ(FilterChars(QStringLiteral("X") + nul + QStringLiteral("Y"), nul, false, Qt::CaseInsensitive),
              QStringLiteral("XY"));

    // Keep flag false drops the set's characters, true keeps only them; the compare mode decides case.
    EXPECT_EQ(FilterChars(QStringLiteral("aAbB-1"), QStringLiteral("ab"), false, Qt::CaseSensitive),
              QStringLiteral("AB-1"));
    EXPECT_EQ(FilterChars(QStringLiteral("aAbB-1"), QStringLiteral("ab"), false, Qt::CaseInsensitive),
              QStringLiteral("-1"));
    EXPECT_EQ(FilterChars(QStringLiteral("aAbB-1"), QStringLiteral("ab"), true, Qt::CaseSensitive),
              QStringLiteral("ab"));
    EXPECT_EQ(FilterChars(QStringLiteral("aAbB-1*ab*"), QStringLiteral("ab"), true, Qt::CaseInsensitive),
              QStringLiteral("aAbB"));
    EXPECT_EQ(FilterChars(QString(), nul, false, Qt::CaseInsensitive), QString());
}

TEST(MiscTest, NumericTextsAndLeadingNumbers) {
    for (const char* numeric : {"240101", " 240101 ", "-5", "+3", "1.5", ".5", "1e3", "007"}) {
        EXPECT_TRUE(IsNumeric(QString::fromLatin1(numeric))) << numeric;
    }
    for (const char* text : {"", " ", "12a", "P12345678", "1.2.3", "--1", "1e", "e3"}) {
        EXPECT_FALSE(IsNumeric(QString::fromLatin1(text))) << text;
    }
    EXPECT_EQ(LeadingNumber(QStringLiteral("4711K3")), 4711);
    EXPECT_EQ(LeadingNumber(QStringLiteral("  12 34")), 12);
    EXPECT_EQ(LeadingNumber(QStringLiteral("-8x")), -8);
    EXPECT_EQ(LeadingNumber(QStringLiteral("ART-01 2")), 0);
    EXPECT_EQ(LeadingNumber(QString()), 0);
    EXPECT_GT(LeadingNumber(QStringLiteral("99999999999999999999999999")), 0);  // saturates, no overflow
}

TEST(MiscTest, TrimBlanksAndEmptiness) {
    EXPECT_EQ(TrimBlanks(QStringLiteral("  A B  ")), QStringLiteral("A B"));
    EXPECT_EQ(TrimBlanks(QStringLiteral("\tA\t")), QStringLiteral("\tA\t"));  // only blanks
    EXPECT_EQ(TrimTrailingBlanks(QStringLiteral("  A  ")), QStringLiteral("  A"));
    EXPECT_TRUE(IsNullOrEmpty(QVariant()));
    EXPECT_TRUE(IsNullOrEmpty(QVariant(QString())));
    EXPECT_TRUE(IsNullOrEmpty(QVariant(QStringLiteral(""))));
    EXPECT_FALSE(IsNullOrEmpty(QVariant(QStringLiteral(" "))));
    EXPECT_FALSE(IsNullOrEmpty(QVariant(0)));
}

}  // namespace
