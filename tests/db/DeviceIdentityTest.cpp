#include "tests/db/TraceabilityFixture.h"

namespace {

class DeviceIdentityTest : public TraceabilityFixture {};

const QString kOtherAssembly =
    QStringLiteral("Produktionscode wurde bereits einem anderen Artikel in einem anderen Zusammenbau zugewiesen");
const QString kAlreadyUsed =
    QStringLiteral("Produktionscode wurde bereits verwendet und kann nicht nocheinmal zugewiesen werden.");
const QString kDuplicateRow = QStringLiteral("Produktionscode wurde diesem Artikel bereits zugewiesen");

}  // namespace

TEST_F(DeviceIdentityTest, DeviceKeysOfTwoConnectionsDoNotMix) {
    AssemblyDbClass other;
    db_.Begin();
    const qint32 first = NewDevice();
    const qint32 foreign = other.CreateDevice().toInt();
    const qint32 second = NewDevice();
    EXPECT_GT(first, 0);
    EXPECT_NE(first, foreign);
    EXPECT_NE(second, foreign);
    EXPECT_GT(second, first);
    EXPECT_EQ(QueryTestValue(QStringLiteral("SELECT ValidFlag FROM device WHERE ID = ?"), {foreign}).toInt(), 1);
    // Only the rows of this connection go with its rollback.
    db_.Rollback();
    EXPECT_EQ(CountTestRows(QStringLiteral("device"), QStringLiteral("ID IN (?, ?)"), {first, second}), 0);
    EXPECT_EQ(CountTestRows(QStringLiteral("device"), QStringLiteral("ID = ?"), {foreign}), 1);
    EXPECT_TRUE(dialogs_.Messages().isEmpty());
}

TEST_F(DeviceIdentityTest, ProductionCodeIsRecordedOnceAndRefusedByStep) {
    const qint32 assembled = NewDevice();
    NewAssembly(assembled);
    const qint32 loose = NewDevice();
    const qint32 target = NewDevice();

    EXPECT_TRUE(db_.InsertProdCodeWithDevID(QStringLiteral("P10000001"), assembled));
    EXPECT_TRUE(db_.InsertProdCodeWithDevID(QStringLiteral("P10000002"), loose));
    EXPECT_TRUE(db_.CheckProdCode(QStringLiteral("P10000001")));
    EXPECT_FALSE(db_.CheckProdCode(QStringLiteral("P10000009")));
    EXPECT_TRUE(dialogs_.Messages().isEmpty());

    // Recorded on a device that stands in an assembly: the other-assembly refusal comes first.
    EXPECT_FALSE(db_.InsertProdCodeWithDevID(QStringLiteral("P10000001"), target));
    // The same code again on its own device, and a code of a device without assembly: already used.
    EXPECT_FALSE(db_.InsertProdCodeWithDevID(QStringLiteral("P10000001"), assembled));
    EXPECT_FALSE(db_.InsertProdCodeWithDevID(QStringLiteral("P10000002"), target));
    EXPECT_EQ(dialogs_.Messages(), QStringList({kOtherAssembly, kAlreadyUsed, kAlreadyUsed}));
    EXPECT_EQ(CountTestRows(QStringLiteral("device_productioncode"), QStringLiteral("DeviceID = ?"), {target}), 0);
    EXPECT_EQ(CountTestRows(QStringLiteral("device_productioncode"), QStringLiteral("ProductionCode = 'P10000001'")),
              1);

    // A code outside the production-code format is not looked up; the table refuses the repeated row.
    dialogs_.Clear();
    EXPECT_TRUE(db_.InsertProdCodeWithDevID(QStringLiteral("T-CODE-1"), target));
    EXPECT_FALSE(db_.InsertProdCodeWithDevID(QStringLiteral("T-CODE-1"), target));
    EXPECT_EQ(dialogs_.Messages(), QStringList({kDuplicateRow}));
    EXPECT_EQ(db_.GetNumberOfProdctionCodesFromDevID(target), 1);
}

TEST_F(DeviceIdentityTest, OwnAndExternalSerialNumbersAreToldApart) {
    const qint32 device = NewDevice();
    const qint32 other = NewDevice();

    QString serNr = QStringLiteral("  T-SER-1  ");
    EXPECT_EQ(db_.InsertSerNrWithDevID(serNr, device), 1);
    EXPECT_EQ(serNr, QStringLiteral("T-SER-1"));
    EXPECT_EQ(QueryTestRows(QStringLiteral("SELECT SerialNumber, ExtFlag FROM device_serialnumber WHERE DeviceID = ?"),
                            {device}),
              QStringList({QStringLiteral("T-SER-1|0")}));
    EXPECT_EQ(db_.InsertExtSerNrWithDevID(QStringLiteral("T-EXT-1"), device), 1);

    // Any recorded serial number, own or external, on any device, blocks the checked inserts.
    QString again = QStringLiteral(" T-SER-1");
    EXPECT_EQ(db_.InsertSerNrWithDevID(again, other), 0);
    EXPECT_EQ(again, QStringLiteral("T-SER-1"));
    QString external = QStringLiteral("T-EXT-1");
    EXPECT_EQ(db_.InsertSerNrWithDevID(external, other), 0);
    EXPECT_EQ(db_.InsertExtSerNrWithDevID(QStringLiteral("T-SER-1"), other), 0);
    EXPECT_EQ(CountTestRows(QStringLiteral("device_serialnumber"), QStringLiteral("DeviceID = ?"), {other}), 0);
    EXPECT_TRUE(db_.CheckSerNr(QStringLiteral("T-EXT-1")));

    EXPECT_EQ(db_.GetSerNrFromDeviceID(device), QStringLiteral("T-SER-1"));
    EXPECT_EQ(db_.GetExtSerNrFromDeviceID(device), QStringLiteral("T-EXT-1"));
    EXPECT_EQ(db_.GetNumberOfSerialsFromDevID(device), 1);
    EXPECT_EQ(db_.GetNumberOfExtSerFromDevID(device), 1);
    EXPECT_TRUE(db_.IsSerNrExtSer(QStringLiteral("T-EXT-1")));
    EXPECT_FALSE(db_.IsSerNrExtSer(QStringLiteral("T-SER-1")));

    // Copies are written without any check, with their flag.
    EXPECT_EQ(db_.InsertDuplicateSerNrWithDevID(QStringLiteral("T-SER-1"), other), 0);
    EXPECT_EQ(db_.InsertExtDuplicateSerNrWithDevID(QStringLiteral("T-EXT-1"), other), 0);
    EXPECT_EQ(db_.GetNumberOfSerialsFromDevID(other), 1);
    EXPECT_EQ(db_.GetNumberOfExtSerFromDevID(other), 1);
    EXPECT_TRUE(dialogs_.Messages().isEmpty());
}

TEST_F(DeviceIdentityTest, ArticleNumberWithAndWithoutSuffix) {
    const qint32 device = NewDevice();
    QString artNr = QStringLiteral("  T-ART-A ");
    db_.InsertArtNrWithDevID(artNr, device, 0);
    EXPECT_EQ(artNr, QStringLiteral("T-ART-A"));
    QString second = QStringLiteral("T-ART-B");
    db_.InsertArtNrWithDevID(second, device, 3);
    QString third = QStringLiteral("T-ART-C");
    db_.InsertArtNrWithDevID(third, device, QStringLiteral("2"));
    QString fourth = QStringLiteral("T-ART-D");
    db_.InsertArtNrWithDevID(fourth, device, QVariant());
    EXPECT_EQ(QueryTestRows(QStringLiteral("SELECT ProductCode, Suffix FROM device_productcode WHERE DevID = ? "
                                           "ORDER BY ID"),
                            {device}),
              QStringList({QStringLiteral("T-ART-A|NULL"), QStringLiteral("T-ART-B|3"), QStringLiteral("T-ART-C|2"),
                           QStringLiteral("T-ART-D|NULL")}));

    // The newest row counts; a suffix is handed out only when that row has one.
    QVariant suffix = QStringLiteral("kept");
    EXPECT_EQ(db_.GetArtNrFromDevID(device, suffix).toString(), QStringLiteral("T-ART-D"));
    EXPECT_EQ(suffix.toString(), QStringLiteral("kept"));
    ExecTestSql(QStringLiteral("DELETE FROM device_productcode WHERE DevID = ? AND ProductCode = 'T-ART-D'"), {device});
    EXPECT_EQ(db_.GetArtNrFromDevID(device, suffix).toString(), QStringLiteral("T-ART-C"));
    EXPECT_EQ(suffix.toInt(), 2);
    EXPECT_FALSE(db_.GetArtNrFromDevID(QVariant()).isValid());
    EXPECT_FALSE(db_.GetArtNrFromDevID(NewDevice()).isValid());

    // The update renames every row of the device and leaves the suffixes alone.
    db_.UpdateArtNrWithDevID(QStringLiteral("T-ART-N"), device, 7);
    EXPECT_EQ(QueryTestRows(QStringLiteral("SELECT ProductCode, Suffix FROM device_productcode WHERE DevID = ? "
                                           "ORDER BY ID"),
                            {device}),
              QStringList({QStringLiteral("T-ART-N|NULL"), QStringLiteral("T-ART-N|3"), QStringLiteral("T-ART-N|2")}));
}

TEST_F(DeviceIdentityTest, NewestRowWinsEvenWithinOneSecond) {
    const qint32 older = NewDevice();
    const qint32 newer = NewDevice();
    // The newer row is inserted first, so that key order and time order disagree.
    const QString early = QStringLiteral("2024-05-06 07:08:09.000001");
    const QString late = QStringLiteral("2024-05-06 07:08:09.000002");
    ExecTestSql(
        QStringLiteral("INSERT INTO device_productioncode (DeviceID, ProductionCode, CreationDate) VALUES (?, ?, ?)"),
        {newer, QStringLiteral("P30000001"), late});
    ExecTestSql(
        QStringLiteral("INSERT INTO device_productioncode (DeviceID, ProductionCode, CreationDate) VALUES (?, ?, ?)"),
        {older, QStringLiteral("P30000001"), early});
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(QStringLiteral("P30000001"), QString()).toInt(), newer);

    ExecTestSql(QStringLiteral("INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag, CreationDate) "
                               "VALUES (?, ?, '0', ?)"),
                {older, QStringLiteral("S200000002"), late});
    ExecTestSql(QStringLiteral("INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag, CreationDate) "
                               "VALUES (?, ?, '0', ?)"),
                {older, QStringLiteral("S200000001"), early});
    EXPECT_EQ(db_.GetSerNrFromDeviceID(older), QStringLiteral("S200000002"));
}

TEST_F(DeviceIdentityTest, LookupsByCodeAndSerialInBothDirections) {
    const qint32 device = NewDevice();
    EXPECT_TRUE(db_.InsertProdCodeWithDevID(QStringLiteral("P40000001"), device));
    QString serNr = QStringLiteral("S400000001");
    EXPECT_EQ(db_.InsertSerNrWithDevID(serNr, device), 1);
    EXPECT_EQ(db_.InsertExtSerNrWithDevID(QStringLiteral("T-EXT-4"), device), 1);
    QString ownOddFormat = QStringLiteral("T-OWN-4");
    EXPECT_EQ(db_.InsertSerNrWithDevID(ownOddFormat, device), 1);

    // By identifier
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(QStringLiteral("P40000001"), QString()).toInt(), device);
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(QString(), QStringLiteral("S400000001")).toInt(), device);
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(QString(), QStringLiteral("T-EXT-4")).toInt(), device);
    // A value that is no production code is not looked up as one; an own serial outside every pattern is no serial.
    EXPECT_TRUE(db_.GetDevIdFromProdCodeOrSerNr(QStringLiteral("S400000001"), QString()).isNull());
    EXPECT_TRUE(db_.GetDevIdFromProdCodeOrSerNr(QString(), QStringLiteral("T-OWN-4")).isNull());
    EXPECT_TRUE(db_.GetDevIdFromProdCodeOrSerNr(QStringLiteral("P40000009"), QString()).isNull());

    // By device
    EXPECT_EQ(db_.GetProdCodeWithDevID(device).toString(), QStringLiteral("P40000001"));
    EXPECT_FALSE(db_.GetProdCodeWithDevID(NewDevice()).isValid());
    EXPECT_EQ(db_.GetNumberOfProdctionCodesFromDevID(device), 1);
    EXPECT_EQ(db_.GetNumberOfSerialsFromDevID(device), 2);
    EXPECT_EQ(db_.GetSerNrFromDeviceID(device), QStringLiteral("T-OWN-4"));

    // Production order of the device and the order of its assembly number
    db_.InsertPaNrWithDevID(QStringLiteral("900004"), device);
    db_.InsertPaNrWithDevID(QStringLiteral("900004"), device);  // already recorded: left alone
    EXPECT_EQ(CountTestRows(QStringLiteral("device_productionordernumber"), QStringLiteral("DeviceID = ?"), {device}),
              1);
    EXPECT_EQ(db_.GetPaWithDevID(device), QStringLiteral("900004"));
    EXPECT_EQ(db_.GetMasterProdOrderFromDeviceID(device), -1);
    NewAssembly(device, 900004);
    EXPECT_EQ(db_.GetMasterProdOrderFromDeviceID(device), 900004);
    EXPECT_TRUE(dialogs_.Messages().isEmpty());

    // An own-assembly row without production order is a data error the caller gets.
    const qint32 broken = NewDevice();
    ExecTestSql(QStringLiteral("INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) "
                               "VALUES (NULL, ?, 'A')"),
                {broken});
    EXPECT_THROW(db_.GetMasterProdOrderFromDeviceID(broken), VelkorError);
}

TEST_F(DeviceIdentityTest, QuotesAndBackslashesAreStoredAsTyped) {
    const qint32 device = NewDevice();
    const QString tricky = QStringLiteral("T-'x\\\"y;-- z'");

    QString serNr = tricky;
    EXPECT_EQ(db_.InsertSerNrWithDevID(serNr, device), 1);
    EXPECT_EQ(db_.GetSerNrFromDeviceID(device), tricky);
    EXPECT_EQ(db_.InsertExtSerNrWithDevID(tricky + QStringLiteral("E"), device), 1);
    EXPECT_TRUE(db_.IsSerNrExtSer(tricky + QStringLiteral("E")));

    EXPECT_TRUE(db_.InsertDuplicateProdCodeWithDevID(tricky, device));
    EXPECT_EQ(db_.GetProdCodeWithDevID(device).toString(), tricky);
    EXPECT_EQ(
        QueryTestValue(QStringLiteral("SELECT ProductionCode FROM device_productioncode WHERE DeviceID = ?"), {device})
            .toString(),
        tricky);

    QString artNr = tricky;
    db_.InsertArtNrWithDevID(artNr, device);
    EXPECT_EQ(db_.GetArtNrFromDevID(device).toString(), tricky);
    db_.InsertPaNrWithDevID(QStringLiteral("9'\\1"), device);
    EXPECT_EQ(db_.GetPaWithDevID(device), QStringLiteral("9'\\1"));

    EXPECT_TRUE(dialogs_.Messages().isEmpty());
}
