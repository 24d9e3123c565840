#include "db/AssemblyDbClass.h"
#include "db/OdbcSource.h"
#include "db/ProviderError.h"
#include "db/ReadValues.h"
#include "shell/Misc.h"
#include "shell/ScanFormats.h"
#include "shell/UserDialogs.h"

// Device records and the identifiers recorded against them: production codes, own and external
// serial numbers, production orders and article numbers.

namespace {

// A suffix given as a number or as a text of digits; an empty value counts as 0.
int SuffixValue(const QVariant& suffix) {
    if (IsNullOrEmpty(suffix)) {
        return 0;
    }
    bool ok = false;
    const int value = TrimBlanks(suffix.toString()).toInt(&ok);
    if (!ok) {
        throw VelkorError(13, QStringLiteral("Type mismatch"));
    }
    return value;
}

}  // namespace

// ---- Creation and existence checks ---------------------------------------------------------------

QVariant AssemblyDbClass::CreateDevice() {
    try {
        Execute(QStringLiteral("INSERT INTO device ( ValidFlag ) VALUES (1);"));
        const qint32 id = LastInsertId();
        if (id == 0) {
            throw VelkorError(kAppErrorNumber, QStringLiteral("DeviceID = 0"));
        }
        NoteDeviceWritten(id);
        return QVariant(id);
    } catch (const VelkorError& error) {
        ReportError(error, QStringLiteral("CreateDevice"));
        throw;
    }
}

qint32 AssemblyDbClass::LastInsertId() {
    const QVariant id = SelectFirstValue(QStringLiteral("SELECT LAST_INSERT_ID() AS ID;"), {}, QStringLiteral("ID"));
    return IsNullOrEmpty(id) ? 0 : id.toInt();
}

bool AssemblyDbClass::CheckProdCode(const QVariant& prodCode) {
    const QVariant count = SelectFirstValue(
        QStringLiteral("SELECT Count(device_productioncode.ProductionCode) AS ProdCodeCount FROM device_productioncode "
                       "WHERE device_productioncode.ProductionCode = ?;"),
        {prodCode.toString()}, QStringLiteral("ProdCodeCount"));
    return !IsNullOrEmpty(count) && count.toLongLong() > 0;
}

bool AssemblyDbClass::RecordedAsOtherKind(const QString& value, bool asCode) {
    // Only a value of both formats ("P12345") can be either; asked under the value's guard, which codes and serial
    // numbers share.
    if (asCode) {
        return IsSerNrPatternFormat(value) && CheckSerNr(value);
    }
    return IsProdCodeFormat(value) && CheckProdCode(value);
}

bool AssemblyDbClass::CheckSerNr(const QString& serNr) {
    const RecordSet rs =
        Select(QStringLiteral("SELECT SerialNumber FROM device_serialnumber WHERE SerialNumber = ?;"), {serNr});
    return !rs.Eof();
}

// ---- Recording identifiers -----------------------------------------------------------------------

namespace {

// A guard named after a scanned value, held while one workstation checks that the value is not recorded yet and
// records it, so that of two workstations scanning the same value at the same moment only one records it.
// On one server it is a named server-side lock: the other workstation waits and then finds the value recorded
// (every session reads uncommitted rows, so it sees the row even before the first one commits). Named locks
// and uncommitted rows stay on their node of a Galera cluster; there the guard is a claim row written in the
// transaction: a workstation on the same node waits for the first one's commit, and of two on different nodes
// the cluster refuses the later commit, and the scan runs again and finds the value recorded. Its key follows the
// server's comparison (AssemblyDbClass::ValueKeyExpression), and a code and a serial number of one text share it.
class ValueLock {
public:
    ValueLock(AssemblyDbClass& db, const QString& value) : db_(db), value_(value) {
        if (db_.OnCluster() && db_.ClaimValueKey(value_)) {
            claimed_ = true;
            return;
        }
        RecordSet rs;
        db_.GetDataWithQuery(QStringLiteral("SELECT GET_LOCK(%1, ?) AS Got").arg(db_.ValueKeyExpression()), rs,
                             {value_, kLockWaitSeconds});
        if (rs.Eof() || rs.Field(QStringLiteral("Got")).toInt() != 1) {
            throw VelkorError(
                kAppErrorNumber,
                QStringLiteral("Der Wert %1 wird gerade an einem anderen Arbeitsplatz erfasst").arg(value));
        }
    }
    ~ValueLock() {
        if (claimed_) {
            return;  // the claim ends with the transaction
        }
        try {
            RecordSet rs;
            db_.GetDataWithQuery(QStringLiteral("SELECT RELEASE_LOCK(%1) AS Released").arg(db_.ValueKeyExpression()),
                                 rs, {value_});
        } catch (const VelkorError&) {
            // A lost connection has released the lock with it.
        }
    }
    ValueLock(const ValueLock&) = delete;
    ValueLock& operator=(const ValueLock&) = delete;

private:
    static constexpr int kLockWaitSeconds = odbc::kLockWaitSeconds;

    AssemblyDbClass& db_;
    QString value_;
    bool claimed_ = false;
};

}  // namespace

void AssemblyDbClass::WriteSerNr(const QString& serNr, qint32 devId, const QString& extFlag) {
    Execute(QStringLiteral("INSERT INTO device_serialnumber ( DeviceID, SerialNumber, ExtFlag ) VALUES (?, ?, ?);"),
            {devId, serNr, extFlag});
    NoteDeviceWritten(devId);
}

void AssemblyDbClass::WriteProdCode(const QString& prodCode, qint32 devId) {
    Execute(QStringLiteral("INSERT INTO device_productioncode ( DeviceID, ProductionCode ) VALUES (?, ?);"),
            {devId, prodCode});
    NoteDeviceWritten(devId);
}

void AssemblyDbClass::WritePaNr(const QString& paNr, qint32 devId) {
    Execute(
        QStringLiteral("INSERT INTO device_productionordernumber ( DeviceID, ProductionOrderNumber ) VALUES (?, ?);"),
        {devId, paNr});
    NoteDeviceWritten(devId);
}

namespace {

// Only a row the database refuses as a repetition counts as "already recorded"; every other failure
// (deadlock, lock wait, a value too long, a lost connection) goes on to the operation's error ending.
void RethrowUnlessDuplicate(const ProviderError& error) {
    if (!error.IsDuplicateRow()) {
        throw error;
    }
}

}  // namespace

qint16 AssemblyDbClass::InsertSerNrWithDevID(QString& serNr, qint32 devId) {
    serNr = TrimBlanks(serNr);
    try {
        const ValueLock lock(*this, serNr);
        if (CheckSerNr(serNr) || RecordedAsOtherKind(serNr, false)) {
            return 0;
        }
        // Without ExtFlag the row takes the table's default, an own serial number.
        Execute(QStringLiteral("INSERT INTO device_serialnumber ( DeviceID, SerialNumber ) VALUES (?, ?);"),
                {devId, serNr});
        NoteDeviceWritten(devId);
        return 1;
    } catch (const ProviderError& error) {
        RethrowUnlessDuplicate(error);
        return 0;
    }
}

qint16 AssemblyDbClass::InsertExtSerNrWithDevID(const QString& serNr, qint32 devId) {
    try {
        const ValueLock lock(*this, serNr);
        if (CheckSerNr(serNr) || RecordedAsOtherKind(serNr, false)) {
            return 0;
        }
        WriteSerNr(serNr, devId, QStringLiteral("1"));
        return 1;
    } catch (const ProviderError& error) {
        RethrowUnlessDuplicate(error);
        return 0;
    }
}

qint16 AssemblyDbClass::InsertDuplicateSerNrWithDevID(const QString& serNr, qint32 devId) {
    try {
        WriteSerNr(serNr, devId, QStringLiteral("0"));
    } catch (const ProviderError& error) {
        RethrowUnlessDuplicate(error);
    }
    return 0;
}

qint16 AssemblyDbClass::InsertExtDuplicateSerNrWithDevID(const QString& serNr, qint32 devId) {
    try {
        WriteSerNr(serNr, devId, QStringLiteral("1"));
    } catch (const ProviderError& error) {
        RethrowUnlessDuplicate(error);
    }
    return 0;
}

bool AssemblyDbClass::InsertProdCodeWithDevID(const QString& prodCode, qint32 devId) {
    try {
        const ValueLock lock(*this, prodCode);
        const QVariant existing = GetDevIdFromProdCodeOrSerNr(prodCode, QString());
        if (!IsNullOrEmpty(existing) && !IsNullOrEmpty(GetAssemblyfromDevID(existing.toInt())) &&
            existing.toInt() != devId) {
            Dialogs().MsgBox(QStringLiteral(
                "Produktionscode wurde bereits einem anderen Artikel in einem anderen Zusammenbau zugewiesen"));
            return false;
        }
        if (!IsNullOrEmpty(existing) || RecordedAsOtherKind(prodCode, true)) {
            Dialogs().MsgBox(
                QStringLiteral("Produktionscode wurde bereits verwendet und kann nicht nocheinmal zugewiesen werden."));
            return false;
        }
        WriteProdCode(prodCode, devId);
        return true;
    } catch (const ProviderError& error) {
        RethrowUnlessDuplicate(error);
        Dialogs().MsgBox(QStringLiteral("Produktionscode wurde diesem Artikel bereits zugewiesen"));
        return false;
    }
}

bool AssemblyDbClass::InsertDuplicateProdCodeWithDevID(const QString& prodCode, qint32 devId) {
    try {
        WriteProdCode(TrimBlanks(prodCode), devId);
        return true;
    } catch (const ProviderError& error) {
        RethrowUnlessDuplicate(error);
        return false;
    }
}

void AssemblyDbClass::InsertPaNrWithDevID(const QString& paNr, qint32 devId) {
    try {
        WritePaNr(paNr, devId);
    } catch (const VelkorError& error) {
        // A production order already recorded for the device is refused by the table and left alone.
        const auto* provider = dynamic_cast<const ProviderError*>(&error);
        if (provider != nullptr && provider->IsDuplicateRow()) {
            return;
        }
        ReportError(error, QStringLiteral("InsertPaNrWithDevID"));
        throw;
    }
}

void AssemblyDbClass::InsertArtNrWithDevID(QString& artNr, qint32 devId, const QVariant& suffix) {
    artNr = TrimBlanks(artNr);
    const int suffixValue = SuffixValue(suffix);
    if (suffixValue == 0) {
        Execute(QStringLiteral("INSERT INTO device_productcode ( DevID, ProductCode ) VALUES (?, ?);"), {devId, artNr});
    } else {
        Execute(QStringLiteral("INSERT INTO device_productcode ( DevID, ProductCode, Suffix ) VALUES (?, ?, ?);"),
                {devId, artNr, suffixValue});
    }
    NoteDeviceWritten(devId);
}

void AssemblyDbClass::UpdateArtNrWithDevID(const QString& artNr, qint32 devId, const QVariant& /*suffix*/) {
    Execute(QStringLiteral("UPDATE device_productcode SET ProductCode = ? WHERE DevID = ?;"), {artNr, devId});
    NoteDeviceWritten(devId);
}

// ---- Lookups by device ID ------------------------------------------------------------------------
// The newest row counts. Rows of the same time are told apart by their value, the higher first: production
// codes, serial numbers and order numbers are handed out in ascending order, so the higher one is as a rule
// the later. (The tables carry no row key of their own that could say which row came last.)

QString AssemblyDbClass::NewestSerNrWithFlag(qint32 devId, const QString& extFlag) {
    return TextOrEmpty(SelectFirstValue(
        QStringLiteral("SELECT device_serialnumber.SerialNumber FROM device_serialnumber "
                       "WHERE device_serialnumber.DeviceID = ? AND device_serialnumber.ExtFlag = ? "
                       "ORDER BY device_serialnumber.CreationDate DESC, device_serialnumber.SerialNumber DESC;"),
        {devId, extFlag}, QStringLiteral("SerialNumber")));
}

QString AssemblyDbClass::GetSerNrFromDeviceID(qint32 devId) {
    return NewestSerNrWithFlag(devId, QStringLiteral("0"));
}

QString AssemblyDbClass::GetExtSerNrFromDeviceID(qint32 devId) {
    return NewestSerNrWithFlag(devId, QStringLiteral("1"));
}

QString AssemblyDbClass::GetPaWithDevID(qint32 devId) {
    return TextOrEmpty(SelectFirstValue(
        QStringLiteral(
            "SELECT device_productionordernumber.DeviceID, device_productionordernumber.ProductionOrderNumber "
            "FROM device_productionordernumber WHERE device_productionordernumber.DeviceID = ? "
            "ORDER BY device_productionordernumber.CreationDate DESC, "
            "device_productionordernumber.ProductionOrderNumber DESC;"),
        {devId}, QStringLiteral("ProductionOrderNumber")));
}

QVariant AssemblyDbClass::GetArtNrFromDevID(const QVariant& devId, QVariant& suffix) {
    if (IsNullOrEmpty(devId)) {
        return QVariant();
    }
    const RecordSet rs =
        Select(QStringLiteral("SELECT device_productcode.ProductCode, device_productcode.Suffix "
                              "FROM device_productcode WHERE device_productcode.DevID = ? "
                              "ORDER BY device_productcode.CreationDate DESC, device_productcode.ProductCode DESC, "
                              "device_productcode.Suffix DESC;"),
               {devId.toInt()});
    if (rs.Eof()) {
        return QVariant();
    }
    const QVariant rowSuffix = rs.Field(QStringLiteral("Suffix"));
    if (!rowSuffix.isNull() && rowSuffix.isValid()) {
        suffix = rowSuffix;
    }
    return rs.Field(QStringLiteral("ProductCode"));
}

QVariant AssemblyDbClass::GetArtNrFromDevID(const QVariant& devId) {
    QVariant ignored;
    return GetArtNrFromDevID(devId, ignored);
}

qint32 AssemblyDbClass::GetMasterProdOrderFromDeviceID(qint32 devId) {
    const RecordSet rs = Select(QStringLiteral("SELECT device_assembly.MasterProdOrder, device_assembly.AssemblyType "
                                               "FROM device_assembly WHERE device_assembly.Device_Assembly = ? "
                                               "AND device_assembly.AssemblyType = 'A' ORDER BY device_assembly.ID;"),
                                {devId});
    if (rs.Eof()) {
        return -1;
    }
    const QVariant order = rs.Field(QStringLiteral("MasterProdOrder"));
    if (order.isNull()) {
        throw VelkorError(94, QStringLiteral("Invalid use of Null"));
    }
    return order.toInt();
}

// ---- Counts by device ID -------------------------------------------------------------------------

qint16 AssemblyDbClass::GetNumberOfProdctionCodesFromDevID(qint32 devId) {
    return CountOrZero(
        SelectFirstValue(QStringLiteral("SELECT Count(device_productioncode.DeviceID) AS ProductionCodeCount "
                                        "FROM device_productioncode WHERE device_productioncode.DeviceID = ?;"),
                         {devId}, QStringLiteral("ProductionCodeCount")));
}

qint16 AssemblyDbClass::SerNrCountWithFlag(qint32 devId, const QString& extFlag) {
    return CountOrZero(SelectFirstValue(
        QStringLiteral("SELECT Count(device_serialnumber.DeviceID) AS SerialnumberCount FROM device_serialnumber "
                       "WHERE device_serialnumber.ExtFlag = ? AND device_serialnumber.DeviceID = ?;"),
        {extFlag, devId}, QStringLiteral("SerialnumberCount")));
}

qint16 AssemblyDbClass::GetNumberOfSerialsFromDevID(qint32 devId) {
    return SerNrCountWithFlag(devId, QStringLiteral("0"));
}

qint16 AssemblyDbClass::GetNumberOfExtSerFromDevID(qint32 devId) {
    return SerNrCountWithFlag(devId, QStringLiteral("1"));
}

// ---- Lookups by identifier -----------------------------------------------------------------------
// A value recorded for several devices belongs to the device of its newest row; at the same time, to the
// device created last (device IDs are handed out in ascending order).

QVariant AssemblyDbClass::GetDevIdFromProdCodeOrSerNr(const QString& prodCode, const QString& serNr) {
    if (IsProdCodeFormat(prodCode)) {
        return NumberOrEmpty(SelectFirstValue(
            QStringLiteral("SELECT DeviceID FROM device_productioncode WHERE ProductionCode = ? "
                           "ORDER BY device_productioncode.CreationDate DESC, device_productioncode.DeviceID DESC;"),
            {prodCode}, QStringLiteral("DeviceID")));
    }
    // Any other value is looked up as a serial number, by the same comparison that decides whether it is recorded
    // already (the server's collation: letter case and trailing blanks do not count), so that a value the
    // capture cannot record is never taken for a new one.
    if (!serNr.isEmpty()) {
        return NumberOrEmpty(SelectFirstValue(
            QStringLiteral("SELECT DeviceID FROM device_serialnumber WHERE SerialNumber = ? "
                           "ORDER BY device_serialnumber.CreationDate DESC, device_serialnumber.DeviceID DESC;"),
            {serNr}, QStringLiteral("DeviceID")));
    }
    return QVariant();
}

bool AssemblyDbClass::IsSerNrExtSer(const QString& serNr) {
    const QVariant flag = SelectFirstValue(
        QStringLiteral("SELECT ExtFlag FROM device_serialnumber WHERE SerialNumber = ? "
                       "ORDER BY device_serialnumber.CreationDate DESC, device_serialnumber.DeviceID DESC, "
                       "device_serialnumber.ExtFlag DESC;"),
        {serNr}, QStringLiteral("ExtFlag"));
    return !IsNullOrEmpty(flag) && LeadingNumber(flag.toString()) > 0;
}
