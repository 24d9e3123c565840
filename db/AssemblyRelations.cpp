#include "db/AssemblyDbClass.h"
#include "db/ReadValues.h"
#include "shell/Misc.h"
#include "shell/UserDialogs.h"

// Which device is built into which. A device taking part in an assembly owns an assembly number
// (the key of its own 'A' row); memberships ('Z') and removed memberships ('D0', 'D1', ...) link
// assembly numbers, never device IDs.

namespace {

VelkorError CycleError(qint32 assNr) {
    return VelkorError(kAppErrorNumber,
                       QStringLiteral("Die Assembly Tabelle enthält einen Zyklus: die Baugruppe %1 ist in sich selbst "
                                      "verbaut. Eine Korrektur der Datenbank ist notwendig")
                           .arg(assNr));
}

}  // namespace

QVariant AssemblyDbClass::CreateAssNrFromDivID(qint32 devId, qint32 masterProdOrder) {
    try {
        if (devId == 0) {
            throw VelkorError(kAppErrorNumber,
                              QStringLiteral("DeviceID = 0 !!! BITTE DIESEN FEHLER BEI VARLOW (BRENVIK) MELDEN !!!"));
        }
        Execute(QStringLiteral("INSERT INTO device_assembly ( AssemblyNum, Device_Assembly, AssemblyType, "
                               "MasterProdOrder ) VALUES (NULL, ?, 'A', ?);"),
                {devId, masterProdOrder});
        const qint32 id = LastInsertId();
        if (id == 0) {
            throw VelkorError(kAppErrorNumber,
                              QStringLiteral("AssNr = 0 !!! BITTE DIESEN FEHLER BEI VARLOW (BRENVIK) MELDEN !!!"));
        }
        // The assembly number of a device is the key of its own row.
        Execute(QStringLiteral("UPDATE device_assembly SET AssemblyNum = ? WHERE ID = ? AND AssemblyType = 'A';"),
                {id, id});
        NoteDeviceWritten(devId);
        return QVariant(id);
    } catch (const VelkorError& error) {
        ReportError(error, QStringLiteral("CreateAssNrFromDivID"));
        throw;
    }
}

QVariant AssemblyDbClass::GetAssemblyfromDevID(qint32 devId) {
    // After a backfit the device owns two rows; the older one is the handed-over number with the members.
    return NumberOrEmpty(SelectFirstValue(QStringLiteral("SELECT device_assembly.AssemblyNum FROM device_assembly "
                                                         "WHERE device_assembly.AssemblyType = 'A' "
                                                         "AND device_assembly.Device_Assembly = ? "
                                                         "ORDER BY device_assembly.ID;"),
                                          {devId}, QStringLiteral("AssemblyNum")));
}

QVariant AssemblyDbClass::GetDevIdFromAssNr(qint32 assNr) {
    if (assNr == 0) {
        return QVariant();
    }
    RecordSet rs = Select(QStringLiteral("SELECT device_assembly.Device_Assembly FROM device_assembly "
                                         "WHERE device_assembly.AssemblyNum = ? AND device_assembly.AssemblyType = 'A' "
                                         "ORDER BY device_assembly.ID;"),
                          {assNr});
    if (rs.Eof()) {
        return QVariant();
    }
    if (rs.RecordCount() > 1) {
        Dialogs().MsgBox(
            QStringLiteral("Die Wurzel der DeviceID ist innerhalb der Assembly Tabelle nicht eindeutig. \r\n Eine "
                           "Korrektur der Datenbank ist notwendig"));
    }
    return NumberOrEmpty(rs.Field(QStringLiteral("Device_Assembly")));
}

QVariant AssemblyDbClass::GetPrevAssembly(qint32 assNr) {
    return NumberOrEmpty(SelectFirstValue(
        QStringLiteral("SELECT device_assembly.AssemblyNum FROM device_assembly "
                       "WHERE device_assembly.Device_Assembly = ? AND device_assembly.AssemblyType = 'Z' "
                       "ORDER BY device_assembly.ID;"),
        {assNr}, QStringLiteral("AssemblyNum")));
}

QVariant AssemblyDbClass::GetNextAssembly(qint32 assNr) {
    return NumberOrEmpty(
        SelectFirstValue(QStringLiteral("SELECT device_assembly.Device_Assembly FROM device_assembly "
                                        "WHERE device_assembly.AssemblyNum = ? AND device_assembly.AssemblyType = 'Z' "
                                        "ORDER BY device_assembly.ID;"),
                         {assNr}, QStringLiteral("Device_Assembly")));
}

QVariant AssemblyDbClass::FindRootAssembly(qint32& assNr) {
    QSet<qint32> walked{assNr};
    qint32 current = assNr;
    for (;;) {
        const QVariant parent = GetPrevAssembly(current);
        if (IsNullOrEmpty(parent)) {
            break;
        }
        current = parent.toInt();
        if (walked.contains(current)) {
            throw CycleError(current);
        }
        walked.insert(current);
    }
    assNr = current;
    return QVariant(current);
}

void AssemblyDbClass::AddChildToParentAssembly(qint32 childAssNr, qint32 parentAssNr) {
    try {
        if (childAssNr == 0 || parentAssNr == 0) {
            throw VelkorError(kAppErrorNumber, QStringLiteral("Passed AssemblyNr = 0"));
        }
        const QVariant count = SelectFirstValue(
            QStringLiteral("SELECT Count(device_assembly.ID) AS AssemblyCount FROM device_assembly "
                           "WHERE device_assembly.AssemblyType = 'Z' AND device_assembly.Device_Assembly = ? "
                           "AND device_assembly.AssemblyNum = ?;"),
            {childAssNr, parentAssNr}, QStringLiteral("AssemblyCount"));
        if (IsNullOrEmpty(count) || count.toInt() == 0) {
            Execute(QStringLiteral("INSERT INTO device_assembly ( AssemblyNum, Device_Assembly, AssemblyType ) "
                                   "VALUES (?, ?, 'Z');"),
                    {parentAssNr, childAssNr});
        }
    } catch (const VelkorError& error) {
        ReportError(error, QStringLiteral("AddChildToParentAssembly"));
        throw;
    }
}

void AssemblyDbClass::DeleteAssemblyWithDevID(qint32 assNr) {
    // The removal count of the member so far names the history row: 'D0' for the first removal, then 'D1', ...
    const QVariant removed = SelectFirstValue(
        QStringLiteral("SELECT Count(device_assembly.Device_Assembly) AS AnzahlvonDevice_Assembly FROM device_assembly "
                       "WHERE device_assembly.AssemblyType LIKE 'D%' AND device_assembly.Device_Assembly = ?;"),
        {assNr}, QStringLiteral("AnzahlvonDevice_Assembly"));
    const qint16 count = CountOrZero(removed);
    Execute(
        QStringLiteral("UPDATE device_assembly SET AssemblyType = ? WHERE Device_Assembly = ? AND AssemblyType = 'Z';"),
        {QStringLiteral("D%1").arg(count), assNr});
}

void AssemblyDbClass::UpdateDevIDinAssembly(qint32 oldDevId, qint32 newDevId, qint32 masterProdOrder) {
    try {
        if (oldDevId == 0 || newDevId == 0) {
            throw VelkorError(kAppErrorNumber, QStringLiteral("Passed DevID = 0"));
        }
        // Only own rows hold device IDs; memberships and their history are left as they are.
        Execute(QStringLiteral("UPDATE device_assembly SET device_assembly.Device_Assembly = ?, "
                               "device_assembly.MasterProdOrder = ? "
                               "WHERE device_assembly.Device_Assembly = ? AND AssemblyType = 'A';"),
                {newDevId, masterProdOrder, oldDevId});
        NoteDeviceWritten(oldDevId);
        NoteDeviceWritten(newDevId);
    } catch (const VelkorError& error) {
        ReportError(error, QStringLiteral("ReplaceDevID"));
        throw;
    }
}

void AssemblyDbClass::WriteOKFlag(qint32 devId, bool flag) {
    Execute(QStringLiteral("UPDATE device_assembly SET OKFlag = ? WHERE Device_Assembly = ? AND AssemblyType = 'A';"),
            {flag ? 1 : 0, devId});
    NoteDeviceWritten(devId);
}

void AssemblyDbClass::SetOKFlagInAssembly(qint32 devId, bool flag) {
    try {
        WriteOKFlag(devId, flag);
    } catch (const VelkorError& error) {
        // Reported, and passed on: the operation that set the flag must not be recorded without it.
        ReportError(error, QStringLiteral("SetOKFlagInAssembly"));
        throw;
    }
}

bool AssemblyDbClass::GetOKFlagInAssembly(qint32 devId) {
    const QVariant flag = SelectFirstValue(
        QStringLiteral("SELECT device_assembly.OKFlag FROM device_assembly WHERE device_assembly.Device_Assembly = ? "
                       "AND device_assembly.AssemblyType = 'A' ORDER BY device_assembly.ID;"),
        {devId}, QStringLiteral("OKFlag"));
    return !IsNullOrEmpty(flag) && flag.toInt() == 1;
}

bool AssemblyDbClass::IsDeviceTested(qint32 devId) {
    // Only the newest test run counts, and it passed when its highest item flag is -1 (every item passed).
    const QVariant passId =
        SelectFirstValue(QStringLiteral("SELECT testpass.DeviceID, testpass.CreationDate, testpass.ID FROM testpass "
                                        "WHERE testpass.DeviceID = ? ORDER BY testpass.CreationDate DESC, testpass.ID "
                                        "DESC;"),
                         {devId}, QStringLiteral("ID"));
    if (IsNullOrEmpty(passId)) {
        return false;
    }
    const QVariant highest = SelectFirstValue(QStringLiteral("SELECT testitem.PassFailFlag FROM testitem "
                                                             "WHERE testitem.TestPassID = ? "
                                                             "ORDER BY testitem.PassFailFlag DESC;"),
                                              {passId.toInt()}, QStringLiteral("PassFailFlag"));
    return !IsNullOrEmpty(highest) && highest.toInt() == -1;
}
