#include <gtest/gtest.h>

#include "shell/ScanFormats.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

class ScanFormatsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTestDatabase(); }
    ScriptedDialogs dialogs_;
};

}  // namespace

TEST_F(ScanFormatsTest, ProductionCodeIsCapitalPWithNumericRest) {
    EXPECT_TRUE(IsProdCodeFormat(u"P12345678"_s));
    EXPECT_TRUE(IsProdCodeFormat(u"P1"_s));
    for (const QVariant& value :
         {QVariant(u"P"_s), QVariant(u"p12345678"_s), QVariant(u"P1234A678"_s), QVariant(QString()), QVariant()}) {
        EXPECT_FALSE(IsProdCodeFormat(value)) << value.toString().toStdString();
    }
    // The formats overlap only where a serial pattern (?#####) says so.
    EXPECT_TRUE(IsProdCodeFormat(u"P12345"_s));
    EXPECT_TRUE(IsSerNrFormat(u"P12345"_s));
    EXPECT_FALSE(IsSerNrFormat(u"P12345678"_s));
    EXPECT_FALSE(IsSerNrFormat(u"P"_s));
}

TEST_F(ScanFormatsTest, EachSerialPatternHasHitsAndNearMisses) {
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
        EXPECT_TRUE(IsSerNrFormat(QString::fromLatin1(hit))) << hit;
        for (const char* miss : misses)
            EXPECT_FALSE(IsSerNrFormat(QString::fromLatin1(miss))) << miss;
    }
    EXPECT_FALSE(IsSerNrFormat(QString()));
    EXPECT_FALSE(IsSerNrFormat(QVariant()));
}

TEST_F(ScanFormatsTest, RecordedExternalSerialCountsAsSerialNumber) {
    EXPECT_FALSE(IsSerNrFormat(u"T-ext-4711"_s));
    ExecTestSql(
        u"INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) VALUES (9001, 'T-ext-4711', '1'), "
        "(9001, 'ab1234', '1'), (9001, 'T-own-4711', '0'), (9001, 'P12345678', '1')"_s);
    EXPECT_TRUE(IsSerNrFormat(u"T-ext-4711"_s));
    EXPECT_TRUE(IsSerNrFormat(u"ab1234"_s));
    EXPECT_FALSE(IsSerNrFormat(u"T-own-4711"_s));
    EXPECT_FALSE(IsSerNrFormat(u"P12345678"_s));  // a production code never reaches the database test
    EXPECT_TRUE(dialogs_.Messages().isEmpty());
}
