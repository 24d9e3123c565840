#include <tuple>

#include "tests/db/TraceabilityFixture.h"

using namespace Qt::StringLiterals;

namespace {

class AssemblyRelationsTest : public TraceabilityFixture {
protected:
    static QStringList MemberRows(qint32 memberAssNr) {
        return QueryTestRows(
            u"SELECT AssemblyNum, AssemblyType FROM device_assembly "
            "WHERE Device_Assembly = ? AND AssemblyType <> 'A' ORDER BY ID"_s,
            {memberAssNr});
    }

    static void AddTestRun(qint32 devId, const char* when, const QList<int>& flags) {
        ExecTestSql(u"INSERT INTO testpass (DeviceID, CreationDate) VALUES (?, ?)"_s, {devId, QLatin1String(when)});
        for (int flag : flags)
            ExecTestSql(u"INSERT INTO testitem (TestPassID, PassFailFlag) SELECT MAX(ID), ? FROM testpass"_s, {flag});
    }
};

}  // namespace

TEST_F(AssemblyRelationsTest, AssemblyNumberIsTheKeyOfTheOwnRow) {
    AssemblyDbClass other;
    const qint32 device = NewDevice();
    const qint32 otherDevice = other.CreateDevice().toInt();
    const qint32 assNr = NewAssembly(device, 900010);
    const qint32 otherAssNr = other.CreateAssNrFromDivID(otherDevice, 900011).toInt();
    for (const auto& [dev, ass, order] :
         {std::tuple{device, assNr, 900010}, std::tuple{otherDevice, otherAssNr, 900011}}) {
        EXPECT_EQ(OwnRows(dev), QStringList{u"%1|%1|%2|0"_s.arg(ass).arg(order)});
        EXPECT_EQ(db_.GetAssemblyfromDevID(dev).toInt(), ass);
        EXPECT_EQ(db_.GetDevIdFromAssNr(ass).toInt(), dev);
        EXPECT_EQ(db_.GetMasterProdOrderFromDeviceID(dev), order);
    }
    const qint32 loose = NewDevice();
    EXPECT_TRUE(db_.GetAssemblyfromDevID(loose).isNull());
    EXPECT_TRUE(db_.GetDevIdFromAssNr(0).isNull());
    EXPECT_EQ(db_.GetMasterProdOrderFromDeviceID(loose), -1);

    // The completeness flag lives in the own row.
    db_.SetOKFlagInAssembly(device, true);
    db_.SetOKFlagInAssembly(loose, true);
    EXPECT_TRUE(db_.GetOKFlagInAssembly(device));
    EXPECT_FALSE(db_.GetOKFlagInAssembly(loose));

    // Database faults: a second own row for one number is reported and the first row's device taken;
    // an own row without production order is raised to the caller.
    AddAssemblyRow(assNr, otherDevice, u"A"_s);
    EXPECT_EQ(db_.GetDevIdFromAssNr(assNr).toInt(), device);
    EXPECT_EQ(TakeMessages(),
              QStringList{u"Die Wurzel der DeviceID ist innerhalb der Assembly Tabelle nicht eindeutig. "
                          "\r\n Eine Korrektur der Datenbank ist notwendig"_s});
    AddAssemblyRow(QVariant(QMetaType::fromType<int>()), loose, u"A"_s);
    EXPECT_THROW(db_.GetMasterProdOrderFromDeviceID(loose), VelkorError);
}

TEST_F(AssemblyRelationsTest, ZeroKeysAreRefusedWithAReportAndWriteNothing) {
    const qint32 device = NewDevice();
    const qint32 assNr = NewAssembly(NewDevice());
    const QStringList before = TraceabilityRows();
    EXPECT_THROW(db_.CreateAssNrFromDivID(0, 900010), VelkorError);
    EXPECT_THROW(db_.AddChildToParentAssembly(0, assNr), VelkorError);
    EXPECT_THROW(db_.AddChildToParentAssembly(assNr, 0), VelkorError);
    EXPECT_THROW(db_.UpdateDevIDinAssembly(0, device, 1), VelkorError);
    EXPECT_EQ(TraceabilityRows(), before);
    const QString zeroAssNr = AppErrorReport(u"Passed AssemblyNr = 0"_s, u"AddChildToParentAssembly"_s);
    EXPECT_EQ(TakeMessages(),
              QStringList({AppErrorReport(u"DeviceID = 0 !!! BITTE DIESEN FEHLER BEI VARLOW (BRENVIK) MELDEN !!!"_s,
                                          u"CreateAssNrFromDivID"_s),
                           zeroAssNr, zeroAssNr, AppErrorReport(u"Passed DevID = 0"_s, u"ReplaceDevID"_s)}));
}

TEST_F(AssemblyRelationsTest, MembershipIsWrittenOnceAndRemovedWithHistory) {
    const qint32 parent = NewAssembly(NewDevice());
    const qint32 child = NewAssembly(NewDevice());
    db_.AddChildToParentAssembly(child, parent);
    db_.AddChildToParentAssembly(child, parent);
    EXPECT_EQ(MemberRows(child), QStringList{u"%1|Z"_s.arg(parent)});
    EXPECT_EQ(db_.GetPrevAssembly(child).toInt(), parent);
    EXPECT_EQ(db_.GetNextAssembly(parent).toInt(), child);

    // remove, re-add, remove: the history counts the earlier removals; the member keeps its own row
    db_.DeleteAssemblyWithDevID(child);
    EXPECT_TRUE(db_.GetPrevAssembly(child).isNull());
    db_.AddChildToParentAssembly(child, parent);
    db_.DeleteAssemblyWithDevID(child);
    EXPECT_EQ(MemberRows(child), QStringList({u"%1|D0"_s.arg(parent), u"%1|D1"_s.arg(parent)}));
    EXPECT_EQ(CountTestRows(u"device_assembly"_s, u"ID = ? AND AssemblyType = 'A'"_s, {child}), 1);
    // Removing a non-member writes nothing.
    const QStringList before = TraceabilityRows();
    db_.DeleteAssemblyWithDevID(child);
    EXPECT_EQ(TraceabilityRows(), before);
}

TEST_F(AssemblyRelationsTest, RootWalkClimbsThreeLevelsAndRaisesOnACycle) {
    const qint32 top = NewAssembly(NewDevice());
    const qint32 middle = NewAssembly(NewDevice());
    const qint32 bottom = NewAssembly(NewDevice());
    db_.AddChildToParentAssembly(middle, top);
    db_.AddChildToParentAssembly(bottom, middle);
    for (const qint32 start : {bottom, top}) {
        qint32 walk = start;
        EXPECT_EQ(db_.FindRootAssembly(walk).toInt(), top);
        EXPECT_EQ(walk, top);
    }

    // top as a member of middle: a circle above bottom; and an assembly that is a member of itself
    AddAssemblyRow(middle, top, u"Z"_s);
    const qint32 self = NewAssembly(NewDevice());
    AddAssemblyRow(self, self, u"Z"_s);
    for (const qint32 start : {bottom, self}) {
        qint32 walk = start;
        EXPECT_THROW(db_.FindRootAssembly(walk), VelkorError);
        EXPECT_EQ(walk, start);
    }
}

TEST_F(AssemblyRelationsTest, HandOverMovesOnlyTheOwnRow) {
    const qint32 oldDevice = NewDevice();
    const qint32 newDevice = NewDevice();
    const qint32 assNr = NewAssembly(oldDevice, 900020);
    const qint32 parent = NewAssembly(NewDevice());
    // Membership rows whose member number happens to equal the old device ID stay as they are.
    AddAssemblyRow(parent, oldDevice, u"Z"_s);
    AddAssemblyRow(parent, oldDevice, u"D0"_s);
    db_.UpdateDevIDinAssembly(oldDevice, newDevice, 900021);
    EXPECT_EQ(OwnRows(newDevice), QStringList{u"%1|%1|900021|0"_s.arg(assNr)});
    EXPECT_TRUE(OwnRows(oldDevice).isEmpty());
    EXPECT_EQ(MemberRows(oldDevice), QStringList({u"%1|Z"_s.arg(parent), u"%1|D0"_s.arg(parent)}));
}

TEST_F(AssemblyRelationsTest, OnlyTheNewestTestRunCounts) {
    const qint32 passed = NewDevice(), oneFailed = NewDevice(), failedLater = NewDevice(), noItems = NewDevice();
    AddTestRun(passed, "2024-01-01 10:00:00", {-1, -1});
    AddTestRun(oneFailed, "2024-01-01 10:00:00", {-1, 0});
    // Passed first, failed later; the later run is inserted first so that key and time order disagree.
    AddTestRun(failedLater, "2024-01-02 10:00:00.000002", {-1, 1});
    AddTestRun(failedLater, "2024-01-02 10:00:00.000001", {-1, -1});
    AddTestRun(noItems, "2024-01-01 10:00:00", {});
    EXPECT_TRUE(db_.IsDeviceTested(passed));
    EXPECT_FALSE(db_.IsDeviceTested(oneFailed));
    EXPECT_FALSE(db_.IsDeviceTested(failedLater));
    EXPECT_FALSE(db_.IsDeviceTested(noItems));
    EXPECT_FALSE(db_.IsDeviceTested(NewDevice()));
}
