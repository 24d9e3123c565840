#include <gtest/gtest.h>

#include "shell/ScanFormats.h"

using namespace Qt::StringLiterals;

TEST(ScanFormatsTest, ProductionCodeIsCapitalPWithNumericRest) {
    EXPECT_TRUE(IsProdCodeFormat(u"P12345678"_s));
    EXPECT_TRUE(IsProdCodeFormat(u"P1"_s));
    for (const QVariant& value :
         {QVariant(u"P"_s), QVariant(u"p12345678"_s), QVariant(u"P1234A678"_s), QVariant(QString()), QVariant()}) {
        EXPECT_FALSE(IsProdCodeFormat(value)) << value.toString().toStdString();
    }
    // The formats overlap only where a serial pattern (?#####) says so.
    EXPECT_TRUE(IsProdCodeFormat(u"P12345"_s));
    EXPECT_TRUE(IsSerNrPatternFormat(u"P12345"_s));
    EXPECT_FALSE(IsSerNrPatternFormat(u"P12345678"_s));
    EXPECT_FALSE(IsSerNrPatternFormat(u"P"_s));
}

TEST(ScanFormatsTest, EachSerialPatternHasHitsAndNearMisses) {
    // One row per pattern: a value it matches, then near misses (case, length, character class).
    const std::vector<std::pair<const char*, std::vector<const char*>>> rows = {
        {"AB1234", {"ab1234", "AB12345", "AG123X"}},            // [A-F0-9][A-F0-9]####
        {"S1234abCD", {"s1234abcd", "S1234ABCG", "S1234ABC"}},  // S and 8 hexadecimal characters
        {"123456", {"12345", "1234567"}},                       // ######
        {"x12345", {"xx2345", "x1234"}},                        // ?#####
        {"0050Cabcdefg", {"0050cabcdefg", "0050Cabcdef"}},      // 0050C???????
        {"Gxyz-123", {"gxyz-123", "Gxyz-1234"}},                // G???????
        {"S123456789", {"S12345678A", "S1234567890"}},          // S#########
        {"502DF4zzzzzz", {"502df4zzzzzz", "502DF4zzzzz"}},      // 502DF4??????
        {"test", {"Test", "test1"}},                            // test
    };
    for (const auto& [hit, misses] : rows) {
        EXPECT_TRUE(IsSerNrPatternFormat(QString::fromLatin1(hit))) << hit;
        for (const char* miss : misses)
            EXPECT_FALSE(IsSerNrPatternFormat(QString::fromLatin1(miss))) << miss;
    }
    EXPECT_FALSE(IsSerNrPatternFormat(QString()));
    EXPECT_FALSE(IsSerNrPatternFormat(QVariant()));
}
