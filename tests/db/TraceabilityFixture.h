#pragma once

#include <gtest/gtest.h>

#include <QStringList>

#include "db/AssemblyDbClass.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDatabase.h"

// Every traceability test starts from the demo database, with scripted dialogs installed before the
// database object exists (and removed after it is gone). Test rows use articles starting with "T-".
// A message box the test did not take with TakeMessages() fails it.
class TraceabilityFixture : public ::testing::Test {
protected:
    void SetUp() override { ResetTestDatabase(); }
    void TearDown() override { EXPECT_EQ(dialogs_.Messages(), QStringList()) << "unexpected message boxes"; }

    QStringList TakeMessages() {
        const QStringList messages = dialogs_.Messages();
        dialogs_.Clear();
        return messages;
    }

    qint32 NewDevice() { return db_.CreateDevice().toInt(); }

    // A device with its own assembly number; returns the assembly number.
    qint32 NewAssembly(qint32 devId, qint32 order = 900001) { return db_.CreateAssNrFromDivID(devId, order).toInt(); }

    // An assembly row written past the program, to build a faulty table.
    static void AddAssemblyRow(const QVariant& assNr, const QVariant& member, const QString& type) {
        ExecTestSql(QStringLiteral("INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) "
                                   "VALUES (?, ?, ?)"),
                    {assNr, member, type});
    }

    // The own assembly rows of a device: "ID|AssemblyNum|MasterProdOrder|OKFlag".
    static QStringList OwnRows(qint32 devId) {
        return QueryTestRows(QStringLiteral("SELECT ID, AssemblyNum, MasterProdOrder, OKFlag FROM device_assembly "
                                            "WHERE AssemblyType = 'A' AND Device_Assembly = ? ORDER BY ID"),
                             {devId});
    }

    // The generic report text the database class shows for an error of its own.
    static QString AppErrorReport(const QString& description, const QString& procedure) {
        return QStringLiteral("Error -2147219503 (%1) in procedure %2 of Klassenmodul AssemblyDbClass")
            .arg(description, procedure);
    }

    ScriptedDialogs dialogs_;
    AssemblyDbClass db_;
};
