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

// A code given by the user and the device that carries it (devId 0: the code is not recorded).
struct CodeMatch {
    QString code;
    qint32 devId = 0;
    MatchKind kind = MatchKind::None;
    bool Found() const { return devId != 0; }
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
    bool complete = false;
    TestResult test = TestResult::Untested;
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
struct Genealogy {
    CodeMatch match;
    GenealogyNode root;
    FactsByDevice facts;
    QList<Cycle> cycles;
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

struct CodeUsage {
    CodeMatch match;
    QList<Usage> usages;
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
