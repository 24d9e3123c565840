#include <QElapsedTimer>
#include <QSqlError>
#include <QThread>
#include <functional>
#include <thread>

#include "db/ProviderError.h"
#include "tests/db/TraceabilityFixture.h"

using namespace Qt::StringLiterals;

// Only a repeated row counts as "already recorded". Every other failure the server reports (a lock it waited
// for too long, a deadlock, a value too long for its column, a lost connection) reaches the caller, so the
// operation ends with its error ending; nothing is dropped silently. Each failure is provoked on the server.
namespace {

constexpr int kLockWaitTimeout = 1205;
constexpr int kDeadlock = 1213;
constexpr int kDataTooLong = 1406;
constexpr int kAnyCode = -1;

// A statement of the test on the store's own connection (session settings, its connection number).
QVariant OnConnection(AssemblyDbClass& db, const QString& sql) {
    RecordSet rs;
    db.GetDataWithQuery(sql, rs);
    return rs.Eof() ? QVariant() : rs.Field(u"Value"_s);
}

// Ends the store's connection on the server, as a restart or a network failure would.
void KillConnectionOf(AssemblyDbClass& db) {
    const QVariant id = OnConnection(db, u"SELECT CONNECTION_ID() AS Value"_s);
    ExecTestSql(u"KILL CONNECTION %1"_s.arg(id.toLongLong()));
}

// The three identifier inserts, each told what to write and whether it wrote it.
struct Insert {
    const char* name;
    QString table;
    std::function<bool(AssemblyDbClass&, const QString&, qint32)> write;
};

const std::vector<Insert>& Inserts() {
    static const std::vector<Insert> inserts = {
        {"order", u"device_productionordernumber"_s,
         [](AssemblyDbClass& db, const QString& value, qint32 dev) {
             db.InsertPaNrWithDevID(value, dev);
             return true;
         }},
        {"serial", u"device_serialnumber"_s,
         [](AssemblyDbClass& db, const QString& value, qint32 dev) {
             QString serNr = value;
             return db.InsertSerNrWithDevID(serNr, dev) == 1;
         }},
        {"code", u"device_productioncode"_s,
         [](AssemblyDbClass& db, const QString& value, qint32 dev) { return db.InsertProdCodeWithDevID(value, dev); }},
    };
    return inserts;
}

QString ValueFor(const Insert& insert, int length = 0) {
    const QString value = QLatin1String(insert.name) == "order"    ? u"9876543"_s
                          : QLatin1String(insert.name) == "serial" ? u"SERR4711"_s
                                                                   : u"P77770001"_s;
    return length == 0 ? value : value + QString(length - value.size(), u'7');
}

// The generic report InsertPaNrWithDevID shows before it passes the error on; the others show nothing.
QStringList ReportsOf(const Insert& insert, const ProviderError& error) {
    if (QLatin1String(insert.name) != "order") {
        return {};
    }
    return {u"Error %1 (%2) in procedure InsertPaNrWithDevID of Klassenmodul AssemblyDbClass"_s.arg(error.Number())
                .arg(error.Description())};
}

}  // namespace

class StoreErrorTest : public TraceabilityFixture {
protected:
    // Runs the insert expecting it to fail with the server's error number; returns the error.
    ProviderError ExpectFailure(const Insert& insert, const QString& value, qint32 dev, int nativeCode) {
        try {
            insert.write(db_, value, dev);
        } catch (const ProviderError& error) {
            if (nativeCode != kAnyCode) {
                EXPECT_EQ(error.NativeCode(), nativeCode) << insert.name << ": " << error.Description().toStdString();
            }
            EXPECT_EQ(TakeMessages(), ReportsOf(insert, error)) << insert.name;
            return error;
        }
        ADD_FAILURE() << insert.name << " went through";
        return ProviderError(0, QString(), 0);
    }
    // Rows of the insert's table holding a value of the test.
    static int Rows(const Insert& insert) {
        const QString column = QLatin1String(insert.name) == "order"    ? u"ProductionOrderNumber"_s
                               : QLatin1String(insert.name) == "serial" ? u"SerialNumber"_s
                                                                        : u"ProductionCode"_s;
        return CountTestRows(insert.table, column + u" LIKE ?"_s, {ValueFor(insert) + u"%"_s});
    }
};

TEST_F(StoreErrorTest, ARepeatedValueIsTheOnlyFailureTakenAsAlreadyRecorded) {
    const qint32 dev = NewDevice();
    for (const Insert& insert : Inserts()) {
        EXPECT_TRUE(insert.write(db_, ValueFor(insert), dev)) << insert.name;
        // The order is refused by the table's key and left alone; the serial number and the code are found.
        EXPECT_EQ(insert.write(db_, ValueFor(insert), dev), QLatin1String(insert.name) == "order") << insert.name;
        EXPECT_EQ(Rows(insert), 1) << insert.name;
    }
    EXPECT_EQ(TakeMessages(),
              QStringList{u"Produktionscode wurde bereits verwendet und kann nicht nocheinmal zugewiesen werden."_s});
}

TEST_F(StoreErrorTest, AValueTooLongForItsColumnIsAnErrorNotATruncatedRow) {
    const qint32 dev = NewDevice();
    for (const Insert& insert : Inserts()) {
        ExpectFailure(insert, ValueFor(insert, 80), dev, kDataTooLong);
        EXPECT_EQ(Rows(insert), 0) << insert.name;
    }
}

TEST_F(StoreErrorTest, ALockWaitedForTooLongIsAnError) {
    const qint32 dev = NewDevice();
    OnConnection(db_, u"SET SESSION lock_wait_timeout = 1"_s);
    for (const Insert& insert : Inserts()) {
        // Another workstation holds the whole table.
        AssemblyDbClass other;
        OnConnection(other, u"LOCK TABLES %1 WRITE"_s.arg(insert.table));
        ExpectFailure(insert, ValueFor(insert), dev, kLockWaitTimeout);
        OnConnection(other, u"UNLOCK TABLES"_s);
        EXPECT_EQ(Rows(insert), 0) << insert.name;
    }
}

TEST_F(StoreErrorTest, ADeadlockVictimsScanIsDiscardedWhole) {
    // This workstation records two orders of a device in one transaction; another one, with more work of its own
    // open, records the same two orders the other way round. The server breaks the deadlock by rolling this
    // workstation's transaction back: the error reaches the caller, and nothing after it runs in autocommit.
    const qint32 dev = NewDevice();
    const qint32 countBefore = CountTestRows(u"device_productionordernumber"_s);
    db_.Begin();
    db_.InsertPaNrWithDevID(u"T-DL-1"_s, dev);
    std::atomic<bool> otherDone{false};
    std::thread other([&] {
        AssemblyDbClass station;
        station.Begin();
        for (int i = 0; i < 20; ++i) {
            QString artNr = u"T-DL-WORK"_s;
            station.InsertArtNrWithDevID(artNr, dev);
        }
        station.InsertPaNrWithDevID(u"T-DL-2"_s, dev);
        station.InsertPaNrWithDevID(u"T-DL-1"_s, dev);  // waits for this workstation
        station.Rollback();
        otherDone = true;
    });
    QElapsedTimer waited;
    waited.start();
    // Until the other workstation's insert is waiting (a session sees its own account's statements).
    while (QueryTestValue(u"SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID <> CONNECTION_ID() AND "
                          "COMMAND <> 'Sleep' AND INFO LIKE '%device_productionordernumber%'"_s)
                   .toInt() == 0 &&
           waited.elapsed() < 10000) {
        QThread::msleep(20);
    }
    ExpectFailure(Inserts()[0], u"T-DL-2"_s, dev, kDeadlock);
    other.join();
    EXPECT_TRUE(otherDone);
    // The rest of the scan is refused until the caller's error ending, which needs no statement.
    EXPECT_THROW(db_.InsertPaNrWithDevID(u"T-DL-3"_s, dev), ProviderError);
    TakeMessages();
    EXPECT_THROW(db_.Commit(), ProviderError);
    db_.RollbackAll();
    EXPECT_EQ(db_.OpenTransactionCount(), 0);
    EXPECT_EQ(CountTestRows(u"device_productionordernumber"_s), countBefore);
    // The next scan works.
    db_.InsertPaNrWithDevID(u"T-DL-4"_s, dev);
    EXPECT_EQ(db_.GetPaWithDevID(dev), u"T-DL-4"_s);
}

TEST_F(StoreErrorTest, ALostConnectionIsReopenedOutsideATransactionAndEndsTheOneInside) {
    const qint32 dev = NewDevice();
    for (const Insert& insert : Inserts()) {
        // Outside a transaction the statement is sent again on a new connection: nobody notices.
        KillConnectionOf(db_);
        EXPECT_TRUE(insert.write(db_, ValueFor(insert), dev)) << insert.name;
        EXPECT_EQ(Rows(insert), 1) << insert.name;

        // Inside one the transaction is gone with the connection: the error ends the operation.
        db_.Begin();
        const QString second = ValueFor(insert, 12);
        EXPECT_TRUE(insert.write(db_, second, dev)) << insert.name;
        KillConnectionOf(db_);
        const ProviderError error = ExpectFailure(insert, ValueFor(insert, 13), dev, kAnyCode);
        EXPECT_TRUE(error.IsConnectionLost()) << insert.name << ": " << error.NativeCode();
        db_.RollbackAll();
        EXPECT_EQ(Rows(insert), 1) << insert.name << ": the first insert of the transaction stayed";
        // And the next operation works on a new connection. (A new value: the server discards the killed
        // connection's rows in the background, and until then other sessions still read them.)
        EXPECT_TRUE(insert.write(db_, ValueFor(insert, 14), dev)) << insert.name;
    }
    TakeMessages();
    // A connection handle the driver no longer holds open reports no server number, and is lost all the same.
    EXPECT_TRUE(ProviderError::FromSqlError(QSqlError(u"Unable to allocate statement handle"_s,
                                                      u"[ma-3.1.15]Connection not open"_s, QSqlError::StatementError))
                    .IsConnectionLost());
    EXPECT_TRUE(ProviderError::FromSqlError(QSqlError()).IsConnectionLost());
}
