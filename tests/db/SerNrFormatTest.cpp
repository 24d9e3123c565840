#include <gtest/gtest.h>

#include "db/SerNrFormat.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

class SerNrFormatTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTestDatabase(); }
    ScriptedDialogs dialogs_;
};

}  // namespace

TEST_F(SerNrFormatTest, RecordedExternalSerialCountsAsSerialNumber) {
    EXPECT_FALSE(IsSerNrFormat(u"T-ext-4711"_s));
    EXPECT_TRUE(IsSerNrFormat(u"AB1234"_s));  // a pattern needs no database
    ExecTestSql(
        u"INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) VALUES (9001, 'T-ext-4711', '1'), "
        "(9001, 'ab1234', '1'), (9001, 'T-own-4711', '0'), (9001, 'P12345678', '1')"_s);
    EXPECT_TRUE(IsSerNrFormat(u"T-ext-4711"_s));
    EXPECT_TRUE(IsSerNrFormat(u"ab1234"_s));
    EXPECT_FALSE(IsSerNrFormat(u"T-own-4711"_s));
    EXPECT_FALSE(IsSerNrFormat(u"P12345678"_s));  // a production code never reaches the database test
    EXPECT_TRUE(dialogs_.Messages().isEmpty());
}
