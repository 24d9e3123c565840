#pragma once

#include <QHash>
#include <QList>
#include <QVariant>

class AssemblyDbClass;

// What the database records of a group of devices, read by a few statements at once so that a walk over a
// device and everything below it does not ask once per component. Every answer is the one the single query
// of AssemblyDbClass gives; a device the group was not read for is not known, and the caller asks for it alone.
// The records are a picture of one moment: hold them for one operation only.
class DeviceRecords {
public:
    // Reads the assembly rows, articles and counts of the device and of every device recorded below it, at
    // any depth. False (and nothing known) when the database refused a statement.
    bool ReadSubtree(AssemblyDbClass& db, qint32 devId);
    // Reads the production code and serial number counts of the devices. False when refused.
    bool ReadCounts(AssemblyDbClass& db, const QList<qint32>& devIds);

    // As AssemblyDbClass::GetAssemblyfromDevID, for a device of ReadSubtree.
    bool KnowsAssemblies(qint32 devId) const { return ownAssembly_.contains(devId); }
    QVariant OwnAssembly(qint32 devId) const { return ownAssembly_.value(devId); }
    // Device_Assembly of the 'Z' rows of the assembly number, by row ID; of the 'A' rows, by row ID.
    // Known for the own assembly numbers of the devices of ReadSubtree and for their members.
    bool KnowsMembers(const QVariant& assNr) const { return members_.contains(Key(assNr)); }
    QList<QVariant> Members(const QVariant& assNr) const { return members_.value(Key(assNr)); }
    bool KnowsDevices(const QVariant& assNr) const { return devices_.contains(Key(assNr)); }
    QList<QVariant> Devices(const QVariant& assNr) const { return devices_.value(Key(assNr)); }
    // As AssemblyDbClass::GetArtNrFromDevID (without the suffix), for a device of ReadSubtree.
    bool KnowsArticle(qint32 devId) const { return ownAssembly_.contains(devId); }
    QVariant Article(qint32 devId) const { return articles_.value(devId); }

    bool KnowsCounts(qint32 devId) const { return counts_.contains(devId); }
    qint16 ProdCodes(qint32 devId) const { return counts_.value(devId).prodCodes; }
    qint16 Serials(qint32 devId) const { return counts_.value(devId).serials; }
    qint16 ExtSerials(qint32 devId) const { return counts_.value(devId).extSerials; }
    // True when every own assembly row of the device carries the completeness flag already (also when it has none):
    // writing it would change nothing. NoteOKFlag records a flag written since.
    bool OKFlagIs(qint32 devId, bool flag) const {
        return counts_.contains(devId) && (flag ? counts_.value(devId).notSet : counts_.value(devId).notCleared) == 0;
    }
    void NoteOKFlag(qint32 devId, bool flag);

private:
    struct Counts {
        qint16 prodCodes = 0, serials = 0, extSerials = 0;
        int notSet = 0, notCleared = 0;  // own assembly rows whose OKFlag is not 1 / not 0
    };
    static QString Key(const QVariant& number) { return number.toString(); }
    bool ReadArticles(AssemblyDbClass& db, const QList<qint32>& devIds);

    QHash<qint32, QVariant> ownAssembly_;
    QHash<QString, QList<QVariant>> members_;
    QHash<QString, QList<QVariant>> devices_;
    QHash<qint32, QVariant> articles_;
    QHash<qint32, Counts> counts_;
};

// Puts records in a slot for the lifetime of this object and gives the slot its previous content back.
class DeviceRecordsInUse {
public:
    DeviceRecordsInUse(DeviceRecords*& slot, DeviceRecords* records) : slot_(slot), previous_(slot) { slot_ = records; }
    ~DeviceRecordsInUse() { slot_ = previous_; }
    DeviceRecordsInUse(const DeviceRecordsInUse&) = delete;
    DeviceRecordsInUse& operator=(const DeviceRecordsInUse&) = delete;

private:
    DeviceRecords*& slot_;
    DeviceRecords* previous_;
};
