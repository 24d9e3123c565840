// The records of a device and everything below it, read at once, give the same answers as the single queries.

#include <functional>

#include "shell/Misc.h"
#include "tests/db/TraceabilityFixture.h"
#include "tree/DeviceRecords.h"

using namespace Qt::StringLiterals;

namespace {

struct SubtreeCase {
    const char* name;
    QStringList data;  // statements run on the demo data first
    qint32 devId;
    QList<qint32> walked;  // the devices a walk from devId meets, in the order of the tree
};

void PrintTo(const SubtreeCase& c, std::ostream* out) {
    *out << c.name;
}

// clang-format off
const SubtreeCase kCases[] = {
    {"FinalProductTwoLevels", {}, 9030, {9030, 9031, 9032, 9033, 9034, 9035, 9036, 9037, 9038, 9039, 9040}},
    {"PreAssembledUnit", {}, 9020, {9020, 9021, 9022}},
    {"ReturnedDevice", {}, 8950, {8950, 8951}},
    {"FreeDeviceWithoutAssembly", {}, 9001, {9001}},
    {"SubAssemblyAlone", {}, 9038, {9038, 9039, 9040}},
    {"UnknownDevice", {}, 999999, {999999}},
    // 9020 taken into 9039, which is inside 9038: the records form a cycle 9038 > 9039 > 9020 > ... (no end).
    {"Cycle", {"INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) VALUES (9513, 9501, 'Z')",
               "INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) VALUES (9501, 9512, 'Z')"},
     9038, {9038, 9039, 9020, 9021, 9022, 9038, 9040}},
    // After a conversion the device owns two rows; the older one (with the members) counts. A second article row,
    // a second code and an external serial.
    {"TwoOwnRowsAndMoreRecords",
     {"INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType, MasterProdOrder) VALUES "
      "(9700, 9700, 9020, 'A', 240104)",
      "INSERT INTO device_productcode (DevID, ProductCode, CreationDate) VALUES (9021, 'TP-5610-B', "
      "'2030-01-01 00:00:00')",
      "INSERT INTO device_productioncode (DeviceID, ProductionCode) VALUES (9021, 'P29990001')",
      "INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) VALUES (9021, 'TP-X1', '1')"},
     9020, {9020, 9021, 9022}},
};
// clang-format on

class DeviceRecordsTest : public TraceabilityFixture, public ::testing::WithParamInterface<SubtreeCase> {
protected:
    static QList<QVariant> Column(const QString& sql, const QVariant& value) {
        QList<QVariant> values;
        for (const QString& row : QueryTestRows(sql, {value})) {
            values.append(row);
        }
        return values;
    }
    static QStringList Texts(const QList<QVariant>& values) {
        QStringList texts;
        for (const QVariant& value : values) {
            texts.append(value.toString());
        }
        return texts;
    }

    // Walks as the tree does, checking every answer of the records against the single query; a device met twice
    // is listed again but not walked again.
    void Walk(const DeviceRecords& records, qint32 devId, QSet<qint32>& visited, QList<qint32>& walked) {
        walked.append(devId);
        ASSERT_TRUE(records.KnowsAssemblies(devId)) << devId;
        EXPECT_EQ(records.OwnAssembly(devId), db_.GetAssemblyfromDevID(devId)) << devId;
        EXPECT_EQ(records.Article(devId).toString(), db_.GetArtNrFromDevID(devId).toString()) << devId;
        ASSERT_TRUE(records.KnowsCounts(devId)) << devId;
        EXPECT_EQ(records.ProdCodes(devId), db_.GetNumberOfProdctionCodesFromDevID(devId)) << devId;
        EXPECT_EQ(records.Serials(devId), db_.GetNumberOfSerialsFromDevID(devId)) << devId;
        EXPECT_EQ(records.ExtSerials(devId), db_.GetNumberOfExtSerFromDevID(devId)) << devId;
        const QVariant assNr = records.OwnAssembly(devId);
        if (IsNullOrEmpty(assNr)) {
            return;
        }
        ASSERT_TRUE(records.KnowsMembers(assNr)) << devId;
        EXPECT_EQ(Texts(records.Members(assNr)),
                  Texts(Column(u"SELECT Device_Assembly FROM device_assembly WHERE AssemblyNum = ? AND "
                               "AssemblyType = 'Z' ORDER BY ID"_s,
                               assNr)));
        for (const QVariant& member : records.Members(assNr)) {
            ASSERT_TRUE(records.KnowsDevices(member)) << member.toString().toStdString();
            EXPECT_EQ(Texts(records.Devices(member)),
                      Texts(Column(u"SELECT Device_Assembly FROM device_assembly WHERE AssemblyType = 'A' AND "
                                   "AssemblyNum = ? ORDER BY ID"_s,
                                   member)));
            for (const QVariant& device : records.Devices(member)) {
                const qint32 sub = device.toInt();
                if (visited.contains(sub)) {
                    walked.append(sub);
                    continue;
                }
                visited.insert(sub);
                Walk(records, sub, visited, walked);
            }
        }
    }
};

}  // namespace

TEST_P(DeviceRecordsTest, AnswersAsTheSingleQueriesDo) {
    const SubtreeCase& c = GetParam();
    for (const QString& sql : c.data) {
        ExecTestSql(sql);
    }
    DeviceRecords records;
    const quint64 before = AssemblyDbClass::StatementsSent();
    ASSERT_TRUE(records.ReadSubtree(db_, c.devId));
    EXPECT_EQ(AssemblyDbClass::StatementsSent() - before, 3u) << "walk, articles, counts";
    QSet<qint32> visited{c.devId};
    QList<qint32> walked;
    Walk(records, c.devId, visited, walked);
    EXPECT_EQ(walked, c.walked);
}

INSTANTIATE_TEST_SUITE_P(Devices, DeviceRecordsTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TraceabilityFixture, CountsOfAListOfDevicesInOneStatement) {
    ExecTestSql(
        u"INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) VALUES (9035, 'X-2', '1'), "
        "(9035, 'X-3', '2')"_s);
    const QList<qint32> devIds{9031, 9035, 9036, 9040, 9001, 424242};
    DeviceRecords records;
    const quint64 before = AssemblyDbClass::StatementsSent();
    ASSERT_TRUE(records.ReadCounts(db_, devIds));
    EXPECT_EQ(AssemblyDbClass::StatementsSent() - before, 1u);
    for (qint32 devId : devIds) {
        SCOPED_TRACE(devId);
        ASSERT_TRUE(records.KnowsCounts(devId));
        EXPECT_EQ(records.ProdCodes(devId), db_.GetNumberOfProdctionCodesFromDevID(devId));
        EXPECT_EQ(records.Serials(devId), db_.GetNumberOfSerialsFromDevID(devId));
        EXPECT_EQ(records.ExtSerials(devId), db_.GetNumberOfExtSerFromDevID(devId));
    }
    EXPECT_FALSE(records.KnowsCounts(9030));
    EXPECT_FALSE(records.KnowsAssemblies(9031));
}

TEST_F(TraceabilityFixture, CompletenessFlagsKnownFromTheCounts) {
    // 9031: one own row, complete. 9035: two own rows, one of them not complete. 9036: not complete.
    // 9001: no own row, so writing a flag would change nothing.
    ExecTestSql(
        u"INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType, OKFlag) VALUES "
        "(9701, 9035, 'A', 0)"_s);
    ExecTestSql(u"UPDATE device_assembly SET OKFlag = 0 WHERE Device_Assembly = 9036 AND AssemblyType = 'A'"_s);
    DeviceRecords records;
    ASSERT_TRUE(records.ReadCounts(db_, {9031, 9035, 9036, 9001}));
    const struct {
        qint32 devId;
        bool set, cleared;
    } cases[] = {
        {9031, true, false}, {9035, false, false}, {9036, false, true}, {9001, true, true}, {9030, false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(records.OKFlagIs(c.devId, true), c.set) << c.devId;
        EXPECT_EQ(records.OKFlagIs(c.devId, false), c.cleared) << c.devId;
    }
    records.NoteOKFlag(9035, true);
    EXPECT_TRUE(records.OKFlagIs(9035, true));
    EXPECT_FALSE(records.OKFlagIs(9035, false));
    records.NoteOKFlag(9031, false);
    EXPECT_FALSE(records.OKFlagIs(9031, true));
    EXPECT_TRUE(records.OKFlagIs(9031, false));
}
