#include "tests/db/TraceabilityFixture.h"

using namespace Qt::StringLiterals;
using DeviceIdentityTest = TraceabilityFixture;

TEST_F(DeviceIdentityTest, DeviceKeysOfTwoConnectionsDoNotMix) {
    AssemblyDbClass other;
    db_.Begin();
    const qint32 first = NewDevice();
    const qint32 foreign = other.CreateDevice().toInt();
    const qint32 second = NewDevice();
    EXPECT_GT(first, 0);
    EXPECT_NE(second, foreign);
    // Only the rows of this connection go with its rollback.
    db_.Rollback();
    EXPECT_EQ(QueryTestRows(u"SELECT ID, ValidFlag FROM device WHERE ID IN (?, ?, ?)"_s, {first, foreign, second}),
              QStringList{u"%1|1"_s.arg(foreign)});
}

TEST_F(DeviceIdentityTest, ProductionCodeIsRecordedOnceAndRefusedByStep) {
    const qint32 assembled = NewDevice();
    NewAssembly(assembled);
    const qint32 loose = NewDevice();
    const qint32 target = NewDevice();
    EXPECT_TRUE(db_.InsertProdCodeWithDevID(u"P10000001"_s, assembled));
    EXPECT_TRUE(db_.InsertProdCodeWithDevID(u"P10000002"_s, loose));
    EXPECT_TRUE(db_.CheckProdCode(u"P10000001"_s));
    EXPECT_FALSE(db_.CheckProdCode(u"P10000009"_s));

    // A code of a device in an assembly is refused as assigned elsewhere first; the same code again on its
    // own device and the code of a device without assembly as already used.
    EXPECT_FALSE(db_.InsertProdCodeWithDevID(u"P10000001"_s, target));
    EXPECT_FALSE(db_.InsertProdCodeWithDevID(u"P10000001"_s, assembled));
    EXPECT_FALSE(db_.InsertProdCodeWithDevID(u"P10000002"_s, target));
    // A code outside the production-code format is not looked up; the table refuses the repeated row.
    EXPECT_TRUE(db_.InsertProdCodeWithDevID(u"T-CODE-1"_s, target));
    EXPECT_FALSE(db_.InsertProdCodeWithDevID(u"T-CODE-1"_s, target));
    const QString used = u"Produktionscode wurde bereits verwendet und kann nicht nocheinmal zugewiesen werden."_s;
    EXPECT_EQ(
        TakeMessages(),
        QStringList({u"Produktionscode wurde bereits einem anderen Artikel in einem anderen Zusammenbau zugewiesen"_s,
                     used, used, u"Produktionscode wurde diesem Artikel bereits zugewiesen"_s}));
    EXPECT_EQ(db_.GetNumberOfProdctionCodesFromDevID(target), 1);
}

TEST_F(DeviceIdentityTest, OwnAndExternalSerialNumbersAreToldApart) {
    const qint32 device = NewDevice();
    const qint32 other = NewDevice();
    QString serNr = u"  T-SER-1  "_s;
    EXPECT_EQ(db_.InsertSerNrWithDevID(serNr, device), 1);
    EXPECT_EQ(serNr, u"T-SER-1"_s);
    EXPECT_EQ(db_.InsertExtSerNrWithDevID(u"T-EXT-1"_s, device), 1);
    EXPECT_EQ(db_.GetSerNrFromDeviceID(device), u"T-SER-1"_s);
    EXPECT_EQ(db_.GetExtSerNrFromDeviceID(device), u"T-EXT-1"_s);
    EXPECT_TRUE(db_.IsSerNrExtSer(u"T-EXT-1"_s));
    EXPECT_FALSE(db_.IsSerNrExtSer(u"T-SER-1"_s));
    EXPECT_TRUE(db_.CheckSerNr(u"T-EXT-1"_s));

    // Any recorded serial number, own or external, on any device, blocks both checked inserts (after trimming).
    for (QString taken : {u" T-SER-1"_s, u"T-EXT-1"_s}) {
        EXPECT_EQ(db_.InsertSerNrWithDevID(taken, other), 0);
        EXPECT_EQ(db_.InsertExtSerNrWithDevID(taken, other), 0);
    }
    // Copies are written without any check, with their flag.
    EXPECT_EQ(db_.InsertDuplicateSerNrWithDevID(u"T-SER-1"_s, other), 0);
    EXPECT_EQ(db_.InsertExtDuplicateSerNrWithDevID(u"T-EXT-1"_s, other), 0);
    EXPECT_EQ(db_.GetNumberOfSerialsFromDevID(other), 1);
    EXPECT_EQ(db_.GetNumberOfExtSerFromDevID(other), 1);
}

TEST_F(DeviceIdentityTest, ArticleNumberWithAndWithoutSuffix) {
    const qint32 device = NewDevice();
    QString first = u"  T-ART-A "_s, second = u"T-ART-B"_s, third = u"T-ART-C"_s;
    db_.InsertArtNrWithDevID(first, device, 0);
    EXPECT_EQ(first, u"T-ART-A"_s);
    db_.InsertArtNrWithDevID(second, device);
    // The newest row counts; a suffix is handed out only when that row has one.
    QVariant suffix = u"kept"_s;
    EXPECT_EQ(db_.GetArtNrFromDevID(device, suffix).toString(), u"T-ART-B"_s);
    EXPECT_EQ(suffix.toString(), u"kept"_s);
    db_.InsertArtNrWithDevID(third, device, u"2"_s);
    EXPECT_EQ(db_.GetArtNrFromDevID(device, suffix).toString(), u"T-ART-C"_s);
    EXPECT_EQ(suffix.toInt(), 2);
    EXPECT_FALSE(db_.GetArtNrFromDevID(QVariant()).isValid());
    EXPECT_FALSE(db_.GetArtNrFromDevID(NewDevice()).isValid());

    // The update renames every row of the device and leaves the suffixes alone.
    db_.UpdateArtNrWithDevID(u"T-ART-N"_s, device, 7);
    EXPECT_EQ(
        QueryTestRows(u"SELECT ProductCode, Suffix FROM device_productcode WHERE DevID = ? ORDER BY CreationDate"_s,
                      {device}),
        QStringList({u"T-ART-N|NULL"_s, u"T-ART-N|NULL"_s, u"T-ART-N|2"_s}));
}

TEST_F(DeviceIdentityTest, NewestRowWinsEvenWithinOneSecond) {
    const qint32 older = NewDevice();
    const qint32 newer = NewDevice();
    // The newer rows are inserted first, so that key order and time order disagree.
    ExecTestSql(
        u"INSERT INTO device_productioncode (DeviceID, ProductionCode, CreationDate) VALUES "
        "(?, 'P30000001', '2024-05-06 07:08:09.000002'), (?, 'P30000001', '2024-05-06 07:08:09.000001')"_s,
        {newer, older});
    ExecTestSql(
        u"INSERT INTO device_serialnumber (DeviceID, SerialNumber, CreationDate) VALUES "
        "(?, 'S200000002', '2024-05-06 07:08:09.000002'), (?, 'S200000001', '2024-05-06 07:08:09.000001')"_s,
        {older, older});
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(u"P30000001"_s, QString()).toInt(), newer);
    EXPECT_EQ(db_.GetSerNrFromDeviceID(older), u"S200000002"_s);
}

TEST_F(DeviceIdentityTest, RowsOfTheSameTimeGoByTheHigherValueOrTheLaterDevice) {
    const qint32 older = NewDevice();
    const qint32 newer = NewDevice();
    const QString earlier = u"2024-05-06 07:08:09.000001"_s, later = u"2024-05-06 07:08:09.000002"_s;
    // The row expected to win is inserted first each time, so that insertion order points the other way.
    ExecTestSql(
        u"INSERT INTO device_productioncode (DeviceID, ProductionCode, CreationDate) VALUES "
        "(?, 'P30000020', ?), (?, 'P30000010', ?), (?, 'P30000099', ?), (?, 'P30000099', ?)"_s,
        {older, later, older, later, newer, earlier, older, earlier});
    ExecTestSql(
        u"INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag, CreationDate) VALUES "
        "(?, '300009', '0', ?), (?, '300005', '0', ?), (?, 'S3000000F', '1', ?), (?, 'S3000000F', '0', ?)"_s,
        {older, later, older, later, newer, earlier, older, earlier});
    ExecTestSql(
        u"INSERT INTO device_productionordernumber (DeviceID, ProductionOrderNumber, CreationDate) VALUES "
        "(?, '900020', ?), (?, '900010', ?)"_s,
        {older, later, older, later});
    ExecTestSql(
        u"INSERT INTO device_productcode (DevID, ProductCode, Suffix, CreationDate) VALUES "
        "(?, 'T-ART-Y', 2, ?), (?, 'T-ART-Y', NULL, ?), (?, 'T-ART-X', 3, ?)"_s,
        {older, later, older, later, older, later});

    // Values of one device: the higher one.
    EXPECT_EQ(db_.GetProdCodeWithDevID(older).toString(), u"P30000020"_s);
    EXPECT_EQ(db_.GetProdCodeXWithDevId(older, 2), u"P30000010"_s);
    EXPECT_EQ(db_.GetProdCodeXWithDevId(older, 3), u"P30000099"_s);
    EXPECT_EQ(db_.GetSerNrFromDeviceID(older), u"300009"_s);
    EXPECT_EQ(db_.GetPaWithDevID(older), u"900020"_s);
    QVariant suffix;
    EXPECT_EQ(db_.GetArtNrFromDevID(older, suffix).toString(), u"T-ART-Y"_s);
    EXPECT_EQ(suffix.toInt(), 2);
    // One value on two devices: the device created last, and its row's flag.
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(u"P30000099"_s, QString()).toInt(), newer);
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(QString(), u"S3000000F"_s).toInt(), newer);
    EXPECT_TRUE(db_.IsSerNrExtSer(u"S3000000F"_s));
}

TEST_F(DeviceIdentityTest, LookupsByCodeAndSerialInBothDirections) {
    const qint32 device = NewDevice();
    EXPECT_TRUE(db_.InsertProdCodeWithDevID(u"P40000001"_s, device));
    QString serNr = u"S400000001"_s, ownOddFormat = u"T-OWN-4"_s;
    EXPECT_EQ(db_.InsertSerNrWithDevID(serNr, device), 1);
    EXPECT_EQ(db_.InsertExtSerNrWithDevID(u"T-EXT-4"_s, device), 1);
    EXPECT_EQ(db_.InsertSerNrWithDevID(ownOddFormat, device), 1);

    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(u"P40000001"_s, QString()).toInt(), device);
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(QString(), u"S400000001"_s).toInt(), device);
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(QString(), u"T-EXT-4"_s).toInt(), device);
    // A value that is no production code is not looked up as one. A serial is found as the server compares it when
    // it checks whether a value is recorded: outside every pattern, in another letter case, with trailing blanks.
    EXPECT_TRUE(db_.GetDevIdFromProdCodeOrSerNr(u"S400000001"_s, QString()).isNull());
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(QString(), u"T-OWN-4"_s).toInt(), device);
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(QString(), u"t-ext-4 "_s).toInt(), device);
    EXPECT_TRUE(db_.CheckSerNr(u"t-ext-4 "_s));
    EXPECT_TRUE(db_.GetDevIdFromProdCodeOrSerNr(u"P40000009"_s, QString()).isNull());

    EXPECT_EQ(db_.GetProdCodeWithDevID(device).toString(), u"P40000001"_s);
    EXPECT_EQ(db_.GetSerNrFromDeviceID(device), u"T-OWN-4"_s);
    db_.InsertPaNrWithDevID(u"900004"_s, device);
    db_.InsertPaNrWithDevID(u"900004"_s, device);  // already recorded: left alone
    EXPECT_EQ(CountTestRows(u"device_productionordernumber"_s, u"DeviceID = ?"_s, {device}), 1);
    EXPECT_EQ(db_.GetPaWithDevID(device), u"900004"_s);
    // A device converted under a later order carries both: the newest is its order.
    db_.InsertPaNrWithDevID(u"900005"_s, device);
    EXPECT_EQ(db_.GetPaWithDevID(device), u"900005"_s);
}

TEST_F(DeviceIdentityTest, QuotesAndBackslashesAreStoredAsTyped) {
    const qint32 device = NewDevice();
    const QString tricky = u"T-'x\\\"y;-- z'"_s;
    QString serNr = tricky, artNr = tricky;
    EXPECT_EQ(db_.InsertSerNrWithDevID(serNr, device), 1);
    EXPECT_TRUE(db_.InsertDuplicateProdCodeWithDevID(tricky, device));
    db_.InsertArtNrWithDevID(artNr, device);
    db_.InsertPaNrWithDevID(u"9'\\1"_s, device);

    EXPECT_EQ(CountTestRows(u"device_productioncode"_s, u"ProductionCode = ?"_s, {tricky}), 1);
    EXPECT_EQ(db_.GetProdCodeWithDevID(device).toString(), tricky);
    EXPECT_EQ(db_.GetSerNrFromDeviceID(device), tricky);
    EXPECT_EQ(db_.GetArtNrFromDevID(device).toString(), tricky);
    EXPECT_EQ(db_.GetPaWithDevID(device), u"9'\\1"_s);
}
