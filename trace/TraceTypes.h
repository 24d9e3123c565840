#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

// What the traceability queries read from the store, independent of how it is printed.

// The latest test result of a device: the newest test run counts; it passed when every item passed.
enum class TestResult { Passed, Failed, Untested };

// Under which kind of identifier a code was found.
enum class MatchKind { None, ProductionCode, SerialNumber, ExternalSerialNumber };

// A code given by the user and one device that carries it (devId 0: the code is not recorded). A code may name
// several devices (old data, the record editor, a conversion): each gets a match of its own, and every match lists
// all of them in named.
struct CodeMatch {
    QString code;
    qint32 devId = 0;
    MatchKind kind = MatchKind::None;
    QList<qint32> named;  // every device the code names, the one the workstation would find first
    bool Found() const { return devId != 0; }
    bool NamesSeveral() const { return named.size() > 1; }
};

// One entry of the journal of kept operations that names a device.
struct JournalEvent {
    QString time;  // "2026-12-09 10:15:02"
    QString workstation;
    QString user;
    QString order;
    QString operation;  // scan, move, conversion, removal, correction
    QString detail;
};

// The recorded identity of one device. Lists are newest first.
struct DeviceFacts {
    qint32 devId = 0;
    QString article;
    QString suffix;
    QStringList productionCodes;
    QStringList serialNumbers;
    QStringList externalSerialNumbers;
    QString order;
    bool hasAssembly = false;  // the device has an own assembly number, so the completeness flag means something
    bool complete = false;     // the stored flag
    TestResult test = TestResult::Untested;
    QString testDate;  // of the latest test run
    // Counted afresh against the bill of materials, as the workstation's tree counts (when it was counted).
    bool counted = false;
    bool countedComplete = false;
    // A conversion's placeholder: it holds the old place of the converted device, which is this one.
    qint32 placeholderOf = 0;
    // The journal's entries naming the device, oldest first; journalKnown false when there is no journal.
    bool journalKnown = false;
    QList<JournalEvent> journal;
};
using FactsByDevice = QHash<qint32, DeviceFacts>;

// A chain of devices that is built into itself: the devices in order, the first one repeated at the end.
using Cycle = QList<qint32>;

// One device in a genealogy tree. link is the membership type under the parent ("Z" built in, "D0", "D1"...
// removed again); empty for the root.
struct GenealogyNode {
    qint32 devId = 0;
    QString link;
    std::vector<GenealogyNode> components;
    bool Removed() const { return link.startsWith(QLatin1Char('D')); }
};

// "velkor-trace show": the device of the code, its current final product and everything below it.
// damaged: the way up from the device runs into a cycle, so its final product cannot be told.
struct Genealogy {
    CodeMatch match;
    GenealogyNode root;
    FactsByDevice facts;
    QList<Cycle> cycles;
    bool damaged = false;
};

// One final product that contains or contained a device: the devices from that root down to the device,
// and the membership type of each step (links.size() == path.size() - 1).
struct Usage {
    QList<qint32> path;
    QStringList links;
    // The first step that was removed again; -1 when the device is still built in all the way up.
    int RemovedStep() const;
    bool Removed() const { return RemovedStep() >= 0; }
};

// damaged: a way up from the device runs into a cycle; the final products listed may not be all.
struct CodeUsage {
    CodeMatch match;
    QList<Usage> usages;
    bool damaged = false;
};

// "velkor-trace where-used": for every code in the order given, where its device is or was built in.
struct WhereUsed {
    QList<CodeUsage> codes;
    FactsByDevice facts;
    QList<Cycle> cycles;
};

// Texts of the enumerations for the machine-readable outputs.
QString MatchKindKey(MatchKind kind);
QString TestResultKey(TestResult result);
