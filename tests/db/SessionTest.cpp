#include <gtest/gtest.h>

#include "db/AssemblyDbClass.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDatabase.h"

namespace {

const QString kUnfinishedTransactions = QStringLiteral(
    "Achtung eine oder mehrere Transaktionen wurden nicht gültig beendet. Bitte bei Herr Varlow (Brenvik) melden. "
    "Sie können trotzdem weiter Arbeiten. Danke !");

int Devices() {
    return CountTestRows(QStringLiteral("device"));
}

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTestDatabase(); }
    ScriptedDialogs dialogs;
};

TEST_F(SessionTest, CommitKeepsAndRollbackUndoesWithCounter) {
    AssemblyDbClass db;
    ASSERT_TRUE(db.IsConnected());
    const int before = Devices();

    db.Begin();
    EXPECT_EQ(db.OpenTransactionCount(), 1);
    db.CreateDevice();
    db.Rollback();
    EXPECT_EQ(db.OpenTransactionCount(), 0);
    EXPECT_EQ(Devices(), before);

    db.Begin();
    db.CreateDevice();
    db.Commit();
    EXPECT_EQ(Devices(), before + 1);
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(SessionTest, CommitOrRollbackWithoutTransactionRaisesAndKeepsTheCounterAtZero) {
    {
        AssemblyDbClass db;
        const quint64 sent = AssemblyDbClass::StatementsSent();
        EXPECT_THROW(db.Commit(), VelkorError);
        EXPECT_THROW(db.Rollback(), VelkorError);
        EXPECT_EQ(db.OpenTransactionCount(), 0);
        EXPECT_EQ(AssemblyDbClass::StatementsSent(), sent) << "no COMMIT or ROLLBACK sent";
        db.Begin();  // levels still nest afterwards
        db.Begin();
        EXPECT_EQ(db.OpenTransactionCount(), 2);
        db.RollbackAll();
    }
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(SessionTest, DestructionCommitsOpenTransactionsAndWarnsOnce) {
    const int before = Devices();
    {
        AssemblyDbClass db;
        db.Begin();
        db.Begin();  // a savepoint inside the transaction, counter 2
        EXPECT_EQ(db.OpenTransactionCount(), 2);
        db.CreateDevice();
    }
    EXPECT_EQ(Devices(), before + 1);  // committed, not lost
    EXPECT_EQ(dialogs.Messages(), QStringList{kUnfinishedTransactions});
}

// Each step opens a level and creates one device, or ends the innermost level; the devices left at the
// end tell which levels the database kept.
TEST_F(SessionTest, NestedLevelsKeepOrUndoOnlyTheirOwnWork) {
    struct Case {
        const char* name;
        const char* steps;  // B begin + create a device, C commit, R rollback, A roll back all
        int keptDevices;
    };
    const Case cases[] = {
        {"inner rollback keeps the outer work", "BBRC", 1},
        {"inner commit is undone by the outer rollback", "BBCR", 0},
        {"both committed", "BBCC", 2},
        {"three levels, middle rolled back", "BBBCRC", 1},
        {"roll back all levels at once", "BBBA", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AssemblyDbClass db;
        const int before = Devices();
        for (const char* step = c.steps; *step != 0; ++step) {
            switch (*step) {
                case 'B':
                    db.Begin();
                    db.CreateDevice();
                    break;
                case 'C':
                    db.Commit();
                    break;
                case 'R':
                    db.Rollback();
                    break;
                case 'A':
                    db.RollbackAll();
                    break;
            }
        }
        EXPECT_EQ(db.OpenTransactionCount(), 0);
        EXPECT_EQ(Devices(), before + c.keptDevices);
    }
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(SessionTest, QueryWithoutRowsReturnsFalseAndLeavesSetOpen) {
    AssemblyDbClass db;
    RecordSet rs;
    EXPECT_FALSE(db.GetDataWithQuery(QStringLiteral("SELECT ID FROM device WHERE ID = ?"), rs, {-1}));
    EXPECT_TRUE(rs.IsOpen());
    EXPECT_TRUE(rs.Eof());
    EXPECT_TRUE(db.GetDataWithQuery(QStringLiteral("SELECT ? AS Value"), rs, {QStringLiteral("  x  ")}));
    EXPECT_EQ(rs.Field(QStringLiteral("value")).toString(), QStringLiteral("x"));  // trimmed, any letter case
}

TEST_F(SessionTest, TextsAreBoundExactlyAndEmptyIsNotNull) {
    AssemblyDbClass db;
    RecordSet rs;
    const QString tricky = QStringLiteral("O'Brien \\ \"x\"; -- Prüf");
    ASSERT_TRUE(db.GetDataWithQuery(QStringLiteral("SELECT ? AS Value, HEX(?) AS Hex, ? IS NULL AS IsNull"), rs,
                                    {tricky, QStringLiteral("AB"), QString()}));
    EXPECT_EQ(rs.Field(QStringLiteral("Value")).toString(), tricky);
    EXPECT_EQ(rs.Field(QStringLiteral("Hex")).toString(), QStringLiteral("4142"));  // no terminating zero
    EXPECT_EQ(rs.Field(QStringLiteral("IsNull")).toInt(), 0);
}

// A database that is down at start is tested with the real program (ProgramSmokeTest): unixODBC reads
// its data sources once per process, so it cannot be pointed elsewhere within one test program.

}  // namespace
