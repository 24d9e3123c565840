#include "tests/db/TraceabilityFixture.h"

namespace {

const QString kMemberRefusal = QStringLiteral(
    "Die Komponente hat einen Veredellungsschritt erfahren, somit hat sich die Artikelnummer geändert.\r\nDa sie "
    "bereits als Untergerät in verwendung ist, muss sie erst aus dieser Verbindung gelöst werden.");

class BackfitTest : public TraceabilityFixture {
protected:
    // A recorded device of article T-OLD with an own and an external serial number and the given codes.
    qint32 RecordedDevice(const QStringList& codes) {
        const qint32 device = NewDevice();
        QString artNr = QStringLiteral("T-OLD");
        db_.InsertArtNrWithDevID(artNr, device, 2);
        db_.InsertPaNrWithDevID(QStringLiteral("900040"), device);
        QString serNr = QStringLiteral("S500000001");
        EXPECT_EQ(db_.InsertSerNrWithDevID(serNr, device), 1);
        EXPECT_EQ(db_.InsertExtSerNrWithDevID(QStringLiteral("T-EXT-5"), device), 1);
        for (const QString& code : codes) {
            EXPECT_TRUE(db_.InsertProdCodeWithDevID(code, device));
        }
        return device;
    }

    QStringList OwnRows(qint32 devId) {
        return QueryTestRows(QStringLiteral("SELECT ID, AssemblyNum, MasterProdOrder, OKFlag FROM device_assembly "
                                            "WHERE AssemblyType = 'A' AND Device_Assembly = ? ORDER BY ID"),
                             {devId});
    }
};

}  // namespace

TEST_F(BackfitTest, NewDeviceTakesOverIdentifiersAndAssembly) {
    const QStringList codes = {QStringLiteral("P50000001"), QStringLiteral("P50000002"), QStringLiteral("P50000003")};
    const qint32 oldDevice = RecordedDevice(codes);
    const qint32 oldAssNr = NewAssembly(oldDevice, 900040);
    const qint32 member = NewDevice();
    EXPECT_TRUE(db_.InsertProdCodeWithDevID(QStringLiteral("P50000004"), member));
    db_.AddChildToParentAssembly(NewAssembly(member), oldAssNr);
    db_.SetOKFlagInAssembly(oldDevice, true);
    const QString newestOldCode = db_.GetProdCodeXWithDevId(oldDevice, 1);

    const qint32 newDevice = db_.BackfitDevice(oldDevice, QStringLiteral("T-NEW"), QStringLiteral("900041"));
    EXPECT_GT(newDevice, 0);
    EXPECT_NE(newDevice, oldDevice);
    EXPECT_EQ(db_.OpenTransactionCount(), 0);
    EXPECT_TRUE(dialogs_.Messages().isEmpty());

    // article without suffix, the conversion order, both serial numbers, all codes
    EXPECT_EQ(QueryTestRows(QStringLiteral("SELECT ProductCode, Suffix FROM device_productcode WHERE DevID = ?"),
                            {newDevice}),
              QStringList({QStringLiteral("T-NEW|NULL")}));
    EXPECT_EQ(db_.GetPaWithDevID(newDevice), QStringLiteral("900041"));
    EXPECT_EQ(db_.GetSerNrFromDeviceID(newDevice), QStringLiteral("S500000001"));
    EXPECT_EQ(db_.GetExtSerNrFromDeviceID(newDevice), QStringLiteral("T-EXT-5"));
    EXPECT_EQ(db_.GetNumberOfProdctionCodesFromDevID(newDevice), 3);
    EXPECT_EQ(db_.GetProdCodeXWithDevId(newDevice, 1), newestOldCode);
    for (const QString& code : codes) {
        EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(code, QString()).toInt(), newDevice) << code.toStdString();
    }
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(QString(), QStringLiteral("S500000001")).toInt(), newDevice);
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(QString(), QStringLiteral("T-EXT-5")).toInt(), newDevice);

    // The old device keeps its own records but no place in the assembly table.
    EXPECT_EQ(db_.GetArtNrFromDevID(oldDevice).toString(), QStringLiteral("T-OLD"));
    EXPECT_EQ(db_.GetNumberOfProdctionCodesFromDevID(oldDevice), 3);
    EXPECT_TRUE(OwnRows(oldDevice).isEmpty());

    // Two own rows: the handed-over one with the members first, then a fresh one; both to be completed again.
    const QStringList own = OwnRows(newDevice);
    ASSERT_EQ(own.size(), 2);
    EXPECT_EQ(own.at(0), QStringLiteral("%1|%1|900041|0").arg(oldAssNr));
    EXPECT_TRUE(own.at(1).endsWith(QStringLiteral("|900041|0")));
    EXPECT_EQ(db_.GetAssemblyfromDevID(newDevice).toInt(), oldAssNr);
    EXPECT_FALSE(db_.GetOKFlagInAssembly(newDevice));
    EXPECT_EQ(db_.GetNrOfProdCodesOfAssembly(newDevice), 4);
}

TEST_F(BackfitTest, DeviceWithoutAssemblyNumberGetsOneForBothRecords) {
    const qint32 oldDevice = RecordedDevice({QStringLiteral("P50000011")});
    const qint32 newDevice = db_.BackfitDevice(oldDevice, QStringLiteral("T-NEW"), QStringLiteral("900042"));

    const QStringList own = OwnRows(newDevice);
    ASSERT_EQ(own.size(), 2);
    for (const QString& row : own) {
        const QStringList columns = row.split(QLatin1Char('|'));
        EXPECT_EQ(columns.at(0), columns.at(1)) << "assembly number equals its row key";
        EXPECT_EQ(columns.at(2), QStringLiteral("900042"));
    }
    EXPECT_TRUE(OwnRows(oldDevice).isEmpty());
    EXPECT_EQ(db_.GetDevIdFromProdCodeOrSerNr(QStringLiteral("P50000011"), QString()).toInt(), newDevice);
    EXPECT_EQ(db_.GetNrOfProdCodesOfAssembly(newDevice), 1);
}

TEST_F(BackfitTest, BuiltInDeviceIsRefusedAndNothingIsWritten) {
    const qint32 parentAssNr = NewAssembly(NewDevice());
    const qint32 oldDevice = RecordedDevice({QStringLiteral("P50000021")});
    db_.AddChildToParentAssembly(NewAssembly(oldDevice), parentAssNr);
    const QStringList before = TraceabilityRows();

    try {
        db_.BackfitDevice(oldDevice, QStringLiteral("T-NEW"), QStringLiteral("900043"));
        FAIL() << "the conversion of a built-in device must be refused";
    } catch (const VelkorError& error) {
        EXPECT_EQ(error.Number(), kAppErrorNumber);
        EXPECT_EQ(error.Description(), kMemberRefusal);
    }
    EXPECT_EQ(dialogs_.Messages(), QStringList({AppErrorReport(kMemberRefusal, QStringLiteral("BackfitDevice"))}));
    EXPECT_EQ(TraceabilityRows(), before);
    EXPECT_EQ(db_.OpenTransactionCount(), 0);
}

TEST_F(BackfitTest, MissingArgumentsAreRefusedBeforeAnyWrite) {
    const qint32 oldDevice = RecordedDevice({});
    const QStringList before = TraceabilityRows();
    EXPECT_THROW(db_.BackfitDevice(0, QStringLiteral("T-NEW"), QStringLiteral("900044")), VelkorError);
    EXPECT_THROW(db_.BackfitDevice(oldDevice, QString(), QStringLiteral("900044")), VelkorError);
    EXPECT_THROW(db_.BackfitDevice(oldDevice, QStringLiteral("T-NEW"), QString()), VelkorError);
    const QString report = AppErrorReport(QStringLiteral("Parameter Missmatch"), QStringLiteral("BackfitDevice"));
    EXPECT_EQ(dialogs_.Messages(), QStringList({report, report, report}));
    EXPECT_EQ(TraceabilityRows(), before);
    // No transaction was opened, so none is closed: the counter stays balanced for the caller.
    EXPECT_EQ(db_.OpenTransactionCount(), 0);
}

TEST_F(BackfitTest, ProductionCodesByPositionNewestFirst) {
    const qint32 device = NewDevice();
    for (const char* code : {"P50000031", "P50000032", "P50000033"}) {
        EXPECT_TRUE(db_.InsertProdCodeWithDevID(QLatin1String(code), device));
    }
    EXPECT_EQ(db_.GetProdCodeXWithDevId(device, 1), QStringLiteral("P50000033"));
    EXPECT_EQ(db_.GetProdCodeXWithDevId(device, 3), QStringLiteral("P50000031"));
    EXPECT_EQ(db_.GetProdCodeXWithDevId(device, 4), QString());
    EXPECT_EQ(db_.GetProdCodeXWithDevId(device, 0), QString());
    EXPECT_EQ(db_.GetProdCodeXWithDevId(NewDevice(), 1), QString());
    EXPECT_EQ(db_.GetProdCodeXWithDevId(QVariant(), 1), QString());
    EXPECT_EQ(db_.GetProdCodeWithDevID(device).toString(), QStringLiteral("P50000033"));
}
