#include <tuple>

#include "tests/db/TraceabilityFixture.h"

namespace {

class AssemblyRelationsTest : public TraceabilityFixture {
protected:
    QStringList MemberRows(qint32 memberAssNr) {
        return QueryTestRows(QStringLiteral("SELECT AssemblyNum, AssemblyType FROM device_assembly "
                                            "WHERE Device_Assembly = ? AND AssemblyType <> 'A' ORDER BY ID"),
                             {memberAssNr});
    }

    void AddTestRun(qint32 devId, const QString& when, const QList<int>& flags) {
        ExecTestSql(QStringLiteral("INSERT INTO testpass (DeviceID, CreationDate) VALUES (?, ?)"), {devId, when});
        const QVariant passId = QueryTestValue(QStringLiteral("SELECT MAX(ID) FROM testpass"));
        for (int flag : flags) {
            ExecTestSql(QStringLiteral("INSERT INTO testitem (TestPassID, PassFailFlag) VALUES (?, ?)"),
                        {passId, flag});
        }
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
        EXPECT_EQ(QueryTestRows(QStringLiteral("SELECT ID, AssemblyNum, AssemblyType, MasterProdOrder, OKFlag "
                                               "FROM device_assembly WHERE Device_Assembly = ?"),
                                {dev}),
                  QStringList({QStringLiteral("%1|%1|A|%2|0").arg(ass).arg(order)}));
        EXPECT_EQ(db_.GetAssemblyfromDevID(dev).toInt(), ass);
        EXPECT_EQ(db_.GetDevIdFromAssNr(ass).toInt(), dev);
        EXPECT_EQ(db_.GetMasterProdOrderFromDeviceID(dev), order);
    }
    EXPECT_TRUE(db_.GetAssemblyfromDevID(NewDevice()).isNull());
    EXPECT_TRUE(db_.GetDevIdFromAssNr(0).isNull());
    EXPECT_TRUE(dialogs_.Messages().isEmpty());

    // A second own row for the same number is a database fault: reported, the first row's device is taken.
    ExecTestSql(QStringLiteral("INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) "
                               "VALUES (?, ?, 'A')"),
                {assNr, otherDevice});
    EXPECT_EQ(db_.GetDevIdFromAssNr(assNr).toInt(), device);
    EXPECT_EQ(dialogs_.Messages(),
              QStringList({QStringLiteral("Die Wurzel der DeviceID ist innerhalb der Assembly Tabelle nicht eindeutig. "
                                          "\r\n Eine Korrektur der Datenbank ist notwendig")}));

    // Device 0 is refused with a report, and nothing is written.
    dialogs_.Clear();
    const int rows = CountTestRows(QStringLiteral("device_assembly"));
    EXPECT_THROW(db_.CreateAssNrFromDivID(0, 900010), VelkorError);
    EXPECT_EQ(CountTestRows(QStringLiteral("device_assembly")), rows);
    EXPECT_EQ(dialogs_.Messages(),
              QStringList({AppErrorReport(
                  QStringLiteral("DeviceID = 0 !!! BITTE DIESEN FEHLER BEI VARLOW (BRENVIK) MELDEN !!!"),
                  QStringLiteral("CreateAssNrFromDivID"))}));
}

TEST_F(AssemblyRelationsTest, MembershipIsWrittenOnceAndRemovedWithHistory) {
    const qint32 parent = NewAssembly(NewDevice());
    const qint32 child = NewAssembly(NewDevice());
    db_.AddChildToParentAssembly(child, parent);
    db_.AddChildToParentAssembly(child, parent);
    EXPECT_EQ(MemberRows(child), QStringList({QStringLiteral("%1|Z").arg(parent)}));
    EXPECT_EQ(db_.GetPrevAssembly(child).toInt(), parent);
    EXPECT_EQ(db_.GetNextAssembly(parent).toInt(), child);
    EXPECT_TRUE(db_.GetNextAssembly(child).isNull());

    // remove, re-add, remove: the history counts the earlier removals
    db_.DeleteAssemblyWithDevID(child);
    EXPECT_EQ(MemberRows(child), QStringList({QStringLiteral("%1|D0").arg(parent)}));
    EXPECT_TRUE(db_.GetPrevAssembly(child).isNull());
    db_.AddChildToParentAssembly(child, parent);
    db_.DeleteAssemblyWithDevID(child);
    EXPECT_EQ(MemberRows(child),
              QStringList({QStringLiteral("%1|D0").arg(parent), QStringLiteral("%1|D1").arg(parent)}));
    // The removed member keeps its own row; removing a non-member writes nothing.
    EXPECT_EQ(
        CountTestRows(QStringLiteral("device_assembly"), QStringLiteral("ID = ? AND AssemblyType = 'A'"), {child}), 1);
    const QStringList before = TraceabilityRows();
    db_.DeleteAssemblyWithDevID(child);
    EXPECT_EQ(TraceabilityRows(), before);
    EXPECT_TRUE(dialogs_.Messages().isEmpty());

    EXPECT_THROW(db_.AddChildToParentAssembly(0, parent), VelkorError);
    EXPECT_THROW(db_.AddChildToParentAssembly(child, 0), VelkorError);
    const QString report =
        AppErrorReport(QStringLiteral("Passed AssemblyNr = 0"), QStringLiteral("AddChildToParentAssembly"));
    EXPECT_EQ(dialogs_.Messages(), QStringList({report, report}));
}

TEST_F(AssemblyRelationsTest, RootWalkClimbsThreeLevels) {
    const qint32 top = NewAssembly(NewDevice());
    const qint32 middle = NewAssembly(NewDevice());
    const qint32 bottom = NewAssembly(NewDevice());
    db_.AddChildToParentAssembly(middle, top);
    db_.AddChildToParentAssembly(bottom, middle);

    qint32 walk = bottom;
    EXPECT_EQ(db_.FindRootAssembly(walk).toInt(), top);
    EXPECT_EQ(walk, top);
    EXPECT_EQ(db_.GetPrevAssembly(bottom).toInt(), middle);
    qint32 alone = top;
    EXPECT_EQ(db_.FindRootAssembly(alone).toInt(), top);
}

TEST_F(AssemblyRelationsTest, CycleInTheAssemblyTableRaisesInsteadOfHanging) {
    const qint32 first = NewAssembly(NewDevice());
    const qint32 second = NewAssembly(NewDevice());
    const qint32 below = NewAssembly(NewDevice());
    db_.AddChildToParentAssembly(second, first);
    db_.AddChildToParentAssembly(below, second);
    ExecTestSql(QStringLiteral("INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) "
                               "VALUES (?, ?, 'Z')"),
                {second, first});
    qint32 walk = below;
    try {
        db_.FindRootAssembly(walk);
        FAIL() << "a cycle must raise";
    } catch (const VelkorError& error) {
        EXPECT_EQ(error.Number(), kAppErrorNumber);
        EXPECT_TRUE(error.Description().contains(QStringLiteral("Zyklus"))) << error.Description().toStdString();
    }
    EXPECT_EQ(walk, below);

    // A member of itself
    const qint32 self = NewAssembly(NewDevice());
    ExecTestSql(QStringLiteral("INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) "
                               "VALUES (?, ?, 'Z')"),
                {self, self});
    qint32 selfWalk = self;
    EXPECT_THROW(db_.FindRootAssembly(selfWalk), VelkorError);
}

TEST_F(AssemblyRelationsTest, HandOverMovesOnlyTheOwnRow) {
    const qint32 oldDevice = NewDevice();
    const qint32 newDevice = NewDevice();
    const qint32 assNr = NewAssembly(oldDevice, 900020);
    const qint32 parent = NewAssembly(NewDevice());
    // Membership rows whose member number happens to equal the old device ID stay as they are.
    ExecTestSql(QStringLiteral("INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) "
                               "VALUES (?, ?, 'Z')"),
                {parent, oldDevice});
    ExecTestSql(QStringLiteral("INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) "
                               "VALUES (?, ?, 'D0')"),
                {parent, oldDevice});

    db_.UpdateDevIDinAssembly(oldDevice, newDevice, 900021);
    EXPECT_EQ(db_.GetAssemblyfromDevID(newDevice).toInt(), assNr);
    EXPECT_TRUE(db_.GetAssemblyfromDevID(oldDevice).isNull());
    EXPECT_EQ(db_.GetDevIdFromAssNr(assNr).toInt(), newDevice);
    EXPECT_EQ(db_.GetMasterProdOrderFromDeviceID(newDevice), 900021);
    EXPECT_EQ(MemberRows(oldDevice),
              QStringList({QStringLiteral("%1|Z").arg(parent), QStringLiteral("%1|D0").arg(parent)}));
    EXPECT_TRUE(dialogs_.Messages().isEmpty());

    EXPECT_THROW(db_.UpdateDevIDinAssembly(0, newDevice, 1), VelkorError);
    EXPECT_EQ(dialogs_.Messages(),
              QStringList({AppErrorReport(QStringLiteral("Passed DevID = 0"), QStringLiteral("ReplaceDevID"))}));
}

TEST_F(AssemblyRelationsTest, CompletenessFlag) {
    const qint32 device = NewDevice();
    const qint32 loose = NewDevice();
    NewAssembly(device);
    EXPECT_FALSE(db_.GetOKFlagInAssembly(device));
    db_.SetOKFlagInAssembly(device, true);
    EXPECT_TRUE(db_.GetOKFlagInAssembly(device));
    db_.SetOKFlagInAssembly(device, false);
    EXPECT_FALSE(db_.GetOKFlagInAssembly(device));
    db_.SetOKFlagInAssembly(loose, true);
    EXPECT_FALSE(db_.GetOKFlagInAssembly(loose));
    EXPECT_TRUE(dialogs_.Messages().isEmpty());
}

TEST_F(AssemblyRelationsTest, OnlyTheNewestTestRunCounts) {
    const qint32 passed = NewDevice();
    AddTestRun(passed, QStringLiteral("2024-01-01 10:00:00"), {-1, -1});
    EXPECT_TRUE(db_.IsDeviceTested(passed));

    const qint32 oneFailed = NewDevice();
    AddTestRun(oneFailed, QStringLiteral("2024-01-01 10:00:00"), {-1, 0});
    EXPECT_FALSE(db_.IsDeviceTested(oneFailed));

    // Passed first, failed later; the later run is inserted first so that key and time order disagree.
    const qint32 failedLater = NewDevice();
    AddTestRun(failedLater, QStringLiteral("2024-01-02 10:00:00.000002"), {-1, 1});
    AddTestRun(failedLater, QStringLiteral("2024-01-02 10:00:00.000001"), {-1, -1});
    EXPECT_FALSE(db_.IsDeviceTested(failedLater));

    const qint32 noItems = NewDevice();
    AddTestRun(noItems, QStringLiteral("2024-01-01 10:00:00"), {});
    EXPECT_FALSE(db_.IsDeviceTested(noItems));
    EXPECT_FALSE(db_.IsDeviceTested(NewDevice()));
}
