#pragma once

#include <QString>

// Rows of the test database for the tree tests, written through the tests' own connection. Every
// function returns the key the database assigned, never a fixed number.

void AddOrder(const QString& paNr, const QString& productCode);
void AddHierarchyRow(const QString& paNr, const QString& subProductCode, const QString& subCount);
void AddBillOfMat(const QString& artNr, int prodCodes, int serNrs, int extSerNrs, bool testRequired);

// A device with its article number; its device ID.
qint32 AddDevice(const QString& artNr);
// The device's own assembly number (an 'A' row whose AssemblyNum is its key).
qint32 AddAssemblyNumber(qint32 devId);
// childAssNr becomes a member of parentAssNr.
void AddMembership(qint32 parentAssNr, qint32 childAssNr);
void AddProdCode(qint32 devId, const QString& prodCode);
void AddSerNr(qint32 devId, const QString& serNr, bool external = false);

// The OK flag of the device's own assembly row; -1 when it has none.
int OkFlagOf(qint32 devId);
