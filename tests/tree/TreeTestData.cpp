#include "tests/tree/TreeTestData.h"

#include "tests/support/TestDatabase.h"

QStringList KeysOf(const NodeTree& tree) {
    QStringList keys;
    for (int index = 0; index < tree.Count(); ++index) {
        keys.append(tree.Item(index)->Key());
    }
    return keys;
}

void TreeTest::SetUp() {
    ResetTestDatabase();
}

void AddOrder(const QString& paNr, const QString& productCode) {
    ExecTestSql("INSERT INTO productionorder_khk (ProductionOrderNumber, ProductCode) VALUES (?, ?)",
                {paNr, productCode});
}

void AddHierarchyRow(const QString& paNr, const QString& subProductCode, const QString& subCount) {
    ExecTestSql(
        "INSERT INTO productionorder_hierarchy_khk (ProductionOrderNumber, SubProductCode, SubCount) "
        "VALUES (?, ?, ?)",
        {paNr, subProductCode, subCount});
}

void AddBillOfMat(const QString& artNr, int prodCodes, int serNrs, int extSerNrs, bool testRequired) {
    ExecTestSql(
        "INSERT INTO productioncode_count_khk (BillOfMaterials, ProductionCodeCount, SerialNumberCount, "
        "ExtSerialNumberCount, TestRequired) VALUES (?, ?, ?, ?, ?)",
        {artNr, prodCodes, serNrs, extSerNrs, testRequired ? -1 : 0});
}

qint32 AddDevice(const QString& artNr) {
    ExecTestSql("INSERT INTO device (ValidFlag) VALUES (1)");
    const qint32 devId = QueryTestValue("SELECT LAST_INSERT_ID()").toInt();
    ExecTestSql("INSERT INTO device_productcode (DevID, ProductCode) VALUES (?, ?)", {devId, artNr});
    return devId;
}

qint32 AddAssemblyNumber(qint32 devId) {
    ExecTestSql("INSERT INTO device_assembly (Device_Assembly, AssemblyType, MasterProdOrder) VALUES (?, 'A', 770000)",
                {devId});
    const qint32 assNr = QueryTestValue("SELECT LAST_INSERT_ID()").toInt();
    ExecTestSql("UPDATE device_assembly SET AssemblyNum = ID WHERE ID = ?", {assNr});
    return assNr;
}

void AddMembership(qint32 parentAssNr, qint32 childAssNr) {
    ExecTestSql("INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) VALUES (?, ?, 'Z')",
                {parentAssNr, childAssNr});
}

void AddRecords(qint32 devId, int prodCodes, int serNrs, int extSerNrs) {
    for (int i = 0; i < prodCodes; ++i) {
        ExecTestSql("INSERT INTO device_productioncode (DeviceID, ProductionCode) VALUES (?, ?)",
                    {devId, QString("P%1-%2").arg(devId).arg(i)});
    }
    for (int i = 0; i < serNrs + extSerNrs; ++i) {
        ExecTestSql("INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) VALUES (?, ?, ?)",
                    {devId, QString("S%1-%2").arg(devId).arg(i), i < serNrs ? "0" : "1"});
    }
}

int OkFlagOf(qint32 devId) {
    const QVariant flag =
        QueryTestValue("SELECT OKFlag FROM device_assembly WHERE Device_Assembly = ? AND AssemblyType = 'A'", {devId});
    return flag.isValid() ? flag.toInt() : -1;
}
