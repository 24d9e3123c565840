#include "db/AssemblyDbClass.h"
#include "db/ReadValues.h"
#include "shell/Misc.h"

// Conversion of a recorded device into a device of another article (backfit), and the production
// codes of a device together with everything built into it.

namespace {

// Newest first; codes of the same time the higher first, as in every lookup of a device's newest value.
const char* const kProdCodesOfDevice =
    "SELECT device_productioncode.ProductionCode FROM device_productioncode "
    "WHERE device_productioncode.DeviceID = ? "
    "ORDER BY device_productioncode.CreationDate DESC, device_productioncode.ProductionCode DESC;";

// The production order number as the integer kept with an assembly number.
qint32 ProductionOrderAsInteger(const QString& paNr) {
    bool ok = false;
    const qint32 value = TrimBlanks(paNr).toInt(&ok);
    if (!ok) {
        throw VelkorError(13, QStringLiteral("Type mismatch"));
    }
    return value;
}

}  // namespace

qint32 AssemblyDbClass::BackfitDevice(qint32 oldDevId, const QString& newArtNr, const QString& paNr) {
    bool began = false;
    try {
        if (oldDevId <= 0 || newArtNr.isEmpty() || paNr.isEmpty()) {
            throw VelkorError(kAppErrorNumber, QStringLiteral("Parameter Missmatch"));
        }
        const qint32 order = ProductionOrderAsInteger(paNr);

        Begin();
        began = true;
        const qint32 newDevId = CreateDevice().toInt();
        QString artNr = newArtNr;
        InsertArtNrWithDevID(artNr, newDevId, 0);
        WritePaNr(paNr, newDevId);

        // A device can only be converted while it is not built into another device.
        const QVariant assNr = GetAssemblyfromDevID(oldDevId);
        if (IsNullOrEmpty(assNr)) {
            CreateAssNrFromDivID(oldDevId, order);
        } else {
            qint32 root = assNr.toInt();
            FindRootAssembly(root);
            if (root != assNr.toInt()) {
                throw VelkorError(
                    kAppErrorNumber,
                    QStringLiteral("Die Komponente hat einen Veredellungsschritt erfahren, somit hat sich die "
                                   "Artikelnummer geändert.\r\nDa sie bereits als Untergerät in verwendung ist, muss "
                                   "sie erst aus dieser Verbindung gelöst werden."));
            }
        }
        CreateAssNrFromDivID(newDevId, order);
        // The old assembly number, with all its members, now belongs to the new device.
        UpdateDevIDinAssembly(oldDevId, newDevId, order);
        // The converted device has to be completed again under its new article.
        WriteOKFlag(newDevId, false);

        const QString serNr = GetSerNrFromDeviceID(oldDevId);
        if (!serNr.isEmpty()) {
            WriteSerNr(serNr, newDevId, QStringLiteral("0"));
        }
        const QString extSerNr = GetExtSerNrFromDeviceID(oldDevId);
        if (!extSerNr.isEmpty()) {
            WriteSerNr(extSerNr, newDevId, QStringLiteral("1"));
        }
        // The codes stay on the old device as well; lookups by code find the new device because its rows are
        // newer. Copied oldest first, so that the newest code of the old device is the newest of the new one.
        QStringList newestFirst;
        for (RecordSet codes = Select(QString::fromLatin1(kProdCodesOfDevice), {oldDevId}); !codes.Eof();
             codes.MoveNext()) {
            newestFirst.append(codes.Field(0).toString());
        }
        for (auto it = newestFirst.crbegin(); it != newestFirst.crend(); ++it) {
            if (!it->isEmpty()) {
                WriteProdCode(TrimBlanks(*it), newDevId);
            }
        }

        Commit();
        return newDevId;
    } catch (const VelkorError& error) {
        ReportError(error, QStringLiteral("BackfitDevice"));
        if (began) {
            try {
                Rollback();
            } catch (const VelkorError&) {
                // The connection failed as well; the server discards the open transaction with it.
            }
        }
        throw;
    }
}

bool AssemblyDbClass::GetSubAssemblysRsFromDeviceID(qint32 devId, RecordSet& rs) {
    if (!rs.IsOpen()) {
        rs.Open({QStringLiteral("ArtNr"), QStringLiteral("SerNr"), QStringLiteral("ProdCode")});
    }
    QSet<qint32> path;
    QSet<qint32> listed;
    AppendSubAssemblys(devId, rs, path, listed);
    rs.MoveFirst();
    return true;
}

void AssemblyDbClass::AppendSubAssemblys(qint32 devId, RecordSet& rs, QSet<qint32>& path, QSet<qint32>& listed) {
    if (path.contains(devId)) {
        throw VelkorError(kAppErrorNumber,
                          QStringLiteral("Die Assembly Tabelle enthält einen Zyklus: das Gerät %1 ist in sich selbst "
                                         "verbaut. Eine Korrektur der Datenbank ist notwendig")
                              .arg(devId));
    }
    if (listed.contains(devId)) {
        return;  // already listed through another parent
    }
    path.insert(devId);
    listed.insert(devId);

    // The device's own rows: one per production code, or one without code.
    const QString artNr = GetArtNrFromDevID(devId).toString();
    const QString serNr = GetSerNrFromDeviceID(devId);
    RecordSet codes = Select(QString::fromLatin1(kProdCodesOfDevice), {devId});
    if (codes.Eof()) {
        rs.AddRow({artNr, serNr, QString()});
    }
    for (; !codes.Eof(); codes.MoveNext()) {
        rs.AddRow({artNr, serNr, codes.Field(0)});
    }

    // Then each member, followed by everything below it.
    const QVariant assNr = GetAssemblyfromDevID(devId);
    if (!IsNullOrEmpty(assNr)) {
        RecordSet members =
            Select(QStringLiteral("SELECT device_assembly.Device_Assembly FROM device_assembly "
                                  "WHERE device_assembly.AssemblyNum = ? "
                                  "AND device_assembly.AssemblyType = 'Z' ORDER BY device_assembly.ID;"),
                   {assNr.toInt()});
        for (; !members.Eof(); members.MoveNext()) {
            RecordSet devices =
                Select(QStringLiteral("SELECT device_assembly.Device_Assembly FROM device_assembly "
                                      "WHERE device_assembly.AssemblyType = 'A' AND device_assembly.AssemblyNum = ? "
                                      "ORDER BY device_assembly.ID;"),
                       {members.Field(0).toInt()});
            for (; !devices.Eof(); devices.MoveNext()) {
                AppendSubAssemblys(devices.Field(0).toInt(), rs, path, listed);
            }
        }
    }
    path.remove(devId);
}

qint16 AssemblyDbClass::GetNrOfProdCodesOfAssembly(qint32 devId) {
    RecordSet rs;
    GetSubAssemblysRsFromDeviceID(devId, rs);
    qint16 count = 0;
    for (; !rs.Eof(); rs.MoveNext()) {
        if (!IsNullOrEmpty(rs.Field(QStringLiteral("ProdCode")))) {
            ++count;
        }
    }
    rs.Close();
    return count;
}

QVariant AssemblyDbClass::GetProdCodeWithDevID(const QVariant& devId) {
    if (IsNullOrEmpty(devId)) {
        return QVariant();
    }
    const QVariant code =
        SelectFirstValue(QString::fromLatin1(kProdCodesOfDevice), {devId.toInt()}, QStringLiteral("ProductionCode"));
    return IsNullOrEmpty(code) ? QVariant() : code;
}

QString AssemblyDbClass::GetProdCodeXWithDevId(const QVariant& devId, const QVariant& x) {
    if (IsNullOrEmpty(devId) || IsNullOrEmpty(x)) {
        return QString();
    }
    const int position = x.toInt();
    RecordSet codes = Select(QString::fromLatin1(kProdCodesOfDevice), {devId.toInt()});
    if (position < 1 || position > codes.RecordCount()) {
        return QString();
    }
    for (int i = 1; i < position; ++i) {
        codes.MoveNext();
    }
    return TextOrEmpty(codes.Field(0));
}
