#include "tests/db/TraceabilityFixture.h"

using namespace Qt::StringLiterals;

namespace {

class BackfitTest : public TraceabilityFixture {
protected:
    // A recorded device of article T-OLD with an own and an external serial number and the given codes.
    qint32 RecordedDevice(const QStringList& codes) {
        const qint32 device = NewDevice();
        QString artNr = u"T-OLD"_s, serNr = u"S500000001"_s;
        db_.InsertArtNrWithDevID(artNr, device, 2);
        db_.InsertPaNrWithDevID(u"900040"_s, device);
        db_.InsertSerNrWithDevID(serNr, device);
        db_.InsertExtSerNrWithDevID(u"T-EXT-5"_s, device);
        for (const QString& code : codes)
            EXPECT_TRUE(db_.InsertProdCodeWithDevID(code, device));
        return device;
    }

    // Each own row has its key as assembly number, the given order and no completeness flag.
    static void ExpectOwnRows(const QStringList& rows, const char* order) {
        for (const QString& row : rows)
            EXPECT_EQ(row, u"%1|%1|%2|0"_s.arg(row.section(u'|', 0, 0), QLatin1String(order)));
    }
};

}  // namespace

TEST_F(BackfitTest, NewDeviceTakesOverIdentifiersAndAssembly) {
    const QStringList codes = {u"P50000001"_s, u"P50000002"_s, u"P50000003"_s};
    const qint32 oldDevice = RecordedDevice(codes);
    const qint32 oldAssNr = NewAssembly(oldDevice, 900040);
    const qint32 member = NewDevice();
    EXPECT_TRUE(db_.InsertProdCodeWithDevID(u"P50000004"_s, member));
    db_.AddChildToParentAssembly(NewAssembly(member), oldAssNr);
    db_.SetOKFlagInAssembly(oldDevice, true);

    const qint32 newDevice = db_.BackfitDevice(oldDevice, u"T-NEW"_s, u"900041"_s);
    EXPECT_NE(newDevice, oldDevice);
    EXPECT_EQ(db_.OpenTransactionCount(), 0);
    // article without suffix, the conversion order, both serial numbers, all codes; looked up, each finds it
    EXPECT_EQ(QueryTestRows(u"SELECT ProductCode, Suffix FROM device_productcode WHERE DevID = ?"_s, {newDevice}),
              QStringList{u"T-NEW|NULL"_s});
    EXPECT_EQ(db_.GetPaWithDevID(newDevice), u"900041"_s);
    EXPECT_EQ(db_.GetSerNrFromDeviceID(newDevice), u"S500000001"_s);
    EXPECT_EQ(db_.GetExtSerNrFromDeviceID(newDevice), u"T-EXT-5"_s);
    EXPECT_EQ(db_.GetNumberOfProdctionCodesFromDevID(newDevice), 3);
    // codes by position, newest first
    EXPECT_EQ(db_.GetProdCodeXWithDevId(newDevice, 1), u"P50000003"_s);
    EXPECT_EQ(db_.GetProdCodeXWithDevId(newDevice, 3), u"P50000001"_s);
    EXPECT_EQ(db_.GetProdCodeXWithDevId(newDevice, 4), QString());
    EXPECT_EQ(db_.GetProdCodeXWithDevId(newDevice, 0), QString());
    for (const QString& code : codes)
        EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(code, QString()).toInt(), newDevice) << code.toStdString();
    for (const QString& serNr : {u"S500000001"_s, u"T-EXT-5"_s})
        EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(QString(), serNr).toInt(), newDevice) << serNr.toStdString();

    // The old device keeps its own records but no place in the assembly table.
    EXPECT_EQ(db_.GetArtNrFromDevID(oldDevice).toString(), u"T-OLD"_s);
    EXPECT_EQ(db_.GetNumberOfProdctionCodesFromDevID(oldDevice), 3);
    EXPECT_TRUE(OwnRows(oldDevice).isEmpty());
    // Two own rows: the handed-over one with the members first, then a fresh one; both to be completed again.
    const QStringList own = OwnRows(newDevice);
    ASSERT_EQ(own.size(), 2);
    EXPECT_TRUE(own.at(0).startsWith(u"%1|"_s.arg(oldAssNr)));
    ExpectOwnRows(own, "900041");
    EXPECT_EQ(db_.GetNrOfProdCodesOfAssembly(newDevice), 4);
}

TEST_F(BackfitTest, DeviceWithoutAssemblyNumberGetsOneForBothRecords) {
    const qint32 oldDevice = RecordedDevice({u"P50000011"_s});
    const qint32 newDevice = db_.BackfitDevice(oldDevice, u"T-NEW"_s, u"900042"_s);
    const QStringList own = OwnRows(newDevice);
    EXPECT_EQ(own.size(), 2);
    ExpectOwnRows(own, "900042");
    EXPECT_TRUE(OwnRows(oldDevice).isEmpty());
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(u"P50000011"_s, QString()).toInt(), newDevice);
}

TEST_F(BackfitTest, BuiltInDeviceOrMissingArgumentIsRefusedAndNothingIsWritten) {
    const qint32 oldDevice = RecordedDevice({u"P50000021"_s});
    db_.AddChildToParentAssembly(NewAssembly(oldDevice), NewAssembly(NewDevice()));
    const QStringList before = TraceabilityRows();
    EXPECT_THROW(db_.BackfitDevice(0, u"T-NEW"_s, u"900043"_s), VelkorError);
    EXPECT_THROW(db_.BackfitDevice(oldDevice, QString(), u"900043"_s), VelkorError);
    EXPECT_THROW(db_.BackfitDevice(oldDevice, u"T-NEW"_s, QString()), VelkorError);
    EXPECT_THROW(db_.BackfitDevice(oldDevice, u"T-NEW"_s, u"900043"_s), VelkorError);
    EXPECT_EQ(TraceabilityRows(), before);
    // Also the refusals before the transaction leave the counter balanced for the caller.
    EXPECT_EQ(db_.OpenTransactionCount(), 0);
    const QString missing = AppErrorReport(u"Parameter Missmatch"_s, u"BackfitDevice"_s);
    EXPECT_EQ(TakeMessages(),
              QStringList({missing, missing, missing,
                           AppErrorReport(u"Die Komponente hat einen Veredellungsschritt erfahren, somit hat sich die "
                                          "Artikelnummer geändert.\r\nDa sie bereits als Untergerät in verwendung "
                                          "ist, muss sie erst aus dieser Verbindung gelöst werden."_s,
                                          u"BackfitDevice"_s)}));
}
