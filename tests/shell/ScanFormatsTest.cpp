#include <gtest/gtest.h>

#include "shell/ScanFormats.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDatabase.h"

namespace {

class ScanFormatsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTestDatabase(); }
    ScriptedDialogs dialogs_;
};

}  // namespace

TEST_F(ScanFormatsTest, ProductionCodeIsCapitalPWithNumericRest) {
    EXPECT_TRUE(IsProdCodeFormat(QStringLiteral("P12345678")));
    EXPECT_TRUE(IsProdCodeFormat(QStringLiteral("P1")));
    EXPECT_FALSE(IsProdCodeFormat(QStringLiteral("P")));
    EXPECT_FALSE(IsProdCodeFormat(QStringLiteral("p12345678")));
    EXPECT_FALSE(IsProdCodeFormat(QStringLiteral("P1234A678")));
    EXPECT_FALSE(IsProdCodeFormat(QStringLiteral("XP12345678")));
    EXPECT_FALSE(IsProdCodeFormat(QString()));
    EXPECT_FALSE(IsProdCodeFormat(QVariant()));
}

TEST_F(ScanFormatsTest, EachSerialPatternHasHitsAndNearMisses) {
    // 1: two upper-case hexadecimal characters, four digits
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("AB1234")));
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("F01234")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("ab1234")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("AB12345")));
    // 2: "S" and eight hexadecimal characters of either case
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("S1234ABCD")));
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("S1234abcd")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("s1234abcd")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("S1234ABCG")));
    // 3 and 4: six digits; any character and five digits
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("123456")));
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("x12345")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("12345")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("xx2345")));
    // 5: "0050C" and seven characters
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("0050Cabcdefg")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("0050cabcdefg")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("0050Cabcdef")));
    // 6: "G" and seven characters
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("Gxyz-123")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("gxyz-123")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("Gxyz-1234")));
    // 7: "S" and nine digits
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("S123456789")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("S12345678A")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("S1234567890")));
    // 8: "502DF4" and six characters
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("502DF4zzzzzz")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("502df4zzzzzz")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("502DF4zzzzz")));
    // 9: the word "test"
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("test")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("Test")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("test1")));
    // never a serial number
    EXPECT_FALSE(IsSerNrFormat(QString()));
    EXPECT_FALSE(IsSerNrFormat(QVariant()));
}

TEST_F(ScanFormatsTest, ProductionCodesAndSerialsOverlapOnlyWhereAPatternSaysSo) {
    EXPECT_TRUE(IsProdCodeFormat(QStringLiteral("P12345")));
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("P12345")));
    EXPECT_TRUE(IsProdCodeFormat(QStringLiteral("P12345678")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("P12345678")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("P")));
}

TEST_F(ScanFormatsTest, RecordedExternalSerialCountsAsSerialNumber) {
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("T-ext-4711")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("ab1234")));
    ExecTestSql(QStringLiteral("INSERT INTO device (ValidFlag) VALUES (1)"));
    const QVariant devId = QueryTestValue(QStringLiteral("SELECT MAX(ID) FROM device"));
    ExecTestSql(QStringLiteral("INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) VALUES (?, ?, '1')"),
                {devId, QStringLiteral("T-ext-4711")});
    ExecTestSql(QStringLiteral("INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) VALUES (?, ?, '1')"),
                {devId, QStringLiteral("ab1234")});
    ExecTestSql(QStringLiteral("INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) VALUES (?, ?, '0')"),
                {devId, QStringLiteral("T-own-4711")});
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("T-ext-4711")));
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("ab1234")));
    // An own serial of an unknown format does not qualify through the database.
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("T-own-4711")));

    // A production code never reaches the database test, even when recorded as an external serial.
    ExecTestSql(QStringLiteral("INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) VALUES (?, ?, '1')"),
                {devId, QStringLiteral("P12345678")});
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("P12345678")));
    EXPECT_TRUE(dialogs_.Messages().isEmpty());
}
