#include <gtest/gtest.h>

#include "shell/ScanFormats.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDatabase.h"

namespace {

class ScanFormatsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTestDatabase(); }

    static void AddSerial(const QString& serNr, const char* extFlag) {
        ExecTestSql(QStringLiteral("INSERT INTO device (ValidFlag) VALUES (1)"));
        ExecTestSql(QStringLiteral("INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) "
                                   "VALUES ((SELECT MAX(ID) FROM device), ?, ?)"),
                    {serNr, QLatin1String(extFlag)});
    }

    ScriptedDialogs dialogs_;
};

}  // namespace

TEST_F(ScanFormatsTest, ProductionCodeIsCapitalPWithNumericRest) {
    EXPECT_TRUE(IsProdCodeFormat(QStringLiteral("P12345678")));
    EXPECT_TRUE(IsProdCodeFormat(QStringLiteral("P1")));
    for (const QVariant& value : {QVariant(QStringLiteral("P")), QVariant(QStringLiteral("p12345678")),
                                  QVariant(QStringLiteral("P1234A678")), QVariant(QString()), QVariant()}) {
        EXPECT_FALSE(IsProdCodeFormat(value)) << value.toString().toStdString();
    }
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
        for (const char* miss : misses) {
            EXPECT_FALSE(IsSerNrFormat(QString::fromLatin1(miss))) << miss;
        }
    }
    EXPECT_FALSE(IsSerNrFormat(QString()));
    EXPECT_FALSE(IsSerNrFormat(QVariant()));
}

TEST_F(ScanFormatsTest, ProductionCodesAndSerialsOverlapOnlyWhereAPatternSaysSo) {
    EXPECT_TRUE(IsProdCodeFormat(QStringLiteral("P12345")));
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("P12345")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("P12345678")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("P")));
}

TEST_F(ScanFormatsTest, RecordedExternalSerialCountsAsSerialNumber) {
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("T-ext-4711")));
    AddSerial(QStringLiteral("T-ext-4711"), "1");
    AddSerial(QStringLiteral("ab1234"), "1");
    AddSerial(QStringLiteral("T-own-4711"), "0");
    // A production code never reaches the database test.
    AddSerial(QStringLiteral("P12345678"), "1");
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("T-ext-4711")));
    EXPECT_TRUE(IsSerNrFormat(QStringLiteral("ab1234")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("T-own-4711")));
    EXPECT_FALSE(IsSerNrFormat(QStringLiteral("P12345678")));
    EXPECT_TRUE(dialogs_.Messages().isEmpty());
}
