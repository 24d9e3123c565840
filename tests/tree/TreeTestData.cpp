#include "tests/tree/TreeTestData.h"

#include "tests/support/TestDatabase.h"

namespace {

qint32 LastInsertId() {
    return QueryTestValue("SELECT LAST_INSERT_ID()").toInt();
}

}  // namespace

void AddOrder(const QString& paNr, const QString& productCode) {
    ExecTestSql("INSERT INTO productionorder_khk (ProductionOrderNumber, ProductCode, Name) VALUES (?, ?, ?)",
                {paNr, productCode, "Testartikel " + productCode});
}

void AddHierarchyRow(const QString& paNr, const QString& subProductCode, const QString& subCount) {
    ExecTestSql(
        "INSERT INTO productionorder_hierarchy_khk (ProductionOrderNumber, SubProductCode, SubCount, "
        "SubManufacturer) VALUES (?, ?, ?, '70000')",
        {paNr, subProductCode, subCount.isNull() ? QVariant() : QVariant(subCount)});
}

void AddBillOfMat(const QString& artNr, int prodCodes, int serNrs, int extSerNrs, bool testRequired) {
    ExecTestSql(
        "INSERT INTO productioncode_count_khk (BillOfMaterials, Variation, ProductionCodeCount, "
        "SerialNumberCount, ExtSerialNumberCount, TestRequired) VALUES (?, 0, ?, ?, ?, ?)",
        {artNr, prodCodes, serNrs, extSerNrs, testRequired ? -1 : 0});
}

qint32 AddDevice(const QString& artNr) {
    ExecTestSql("INSERT INTO device (ValidFlag) VALUES (1)");
    const qint32 devId = LastInsertId();
    ExecTestSql("INSERT INTO device_productcode (DevID, ProductCode) VALUES (?, ?)", {devId, artNr});
    return devId;
}

qint32 AddAssemblyNumber(qint32 devId) {
    ExecTestSql(
        "INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType, MasterProdOrder) "
        "VALUES (NULL, ?, 'A', 770000)",
        {devId});
    const qint32 assNr = LastInsertId();
    ExecTestSql("UPDATE device_assembly SET AssemblyNum = ? WHERE ID = ?", {assNr, assNr});
    return assNr;
}

void AddMembership(qint32 parentAssNr, qint32 childAssNr) {
    ExecTestSql("INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) VALUES (?, ?, 'Z')",
                {parentAssNr, childAssNr});
}

void AddProdCode(qint32 devId, const QString& prodCode) {
    ExecTestSql("INSERT INTO device_productioncode (DeviceID, ProductionCode) VALUES (?, ?)", {devId, prodCode});
}

void AddSerNr(qint32 devId, const QString& serNr, bool external) {
    ExecTestSql("INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) VALUES (?, ?, ?)",
                {devId, serNr, external ? "1" : "0"});
}

int OkFlagOf(qint32 devId) {
    const QVariant flag =
        QueryTestValue("SELECT OKFlag FROM device_assembly WHERE Device_Assembly = ? AND AssemblyType = 'A'", {devId});
    return flag.isValid() ? flag.toInt() : -1;
}
