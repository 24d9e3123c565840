#include <gtest/gtest.h>

#include "db/AssemblyDbClass.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDatabase.h"

TEST(SessionTest, ConnectsToTestDatabase) {
    ScriptedDialogs dialogs;
    AssemblyDbClass db;
    EXPECT_TRUE(db.IsConnected());
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}
