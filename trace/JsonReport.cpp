#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "trace/CycleList.h"
#include "trace/TraceReports.h"
#include "trace/TraceWarnings.h"

// JSON for scripts: one document, keys in English, device IDs as numbers, lists newest first.

namespace {

QJsonValue OrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

// The device's journal entries, oldest first; null where there is no journal to read.
QJsonValue JournalArray(const DeviceFacts& device) {
    if (!device.journalKnown) {
        return QJsonValue();
    }
    QJsonArray events;
    for (const JournalEvent& event : device.journal) {
        events.append(QJsonObject{{QStringLiteral("time"), event.time},
                                  {QStringLiteral("operation"), event.operation},
                                  {QStringLiteral("workstation"), event.workstation},
                                  {QStringLiteral("user"), event.user},
                                  {QStringLiteral("order"), OrNull(event.order)},
                                  {QStringLiteral("detail"), OrNull(event.detail)}});
    }
    return events;
}

QJsonObject DeviceObject(const FactsByDevice& facts, qint32 devId) {
    const DeviceFacts device = facts.value(devId);
    return QJsonObject{
        {QStringLiteral("device"), devId},
        {QStringLiteral("article"), OrNull(device.article)},
        {QStringLiteral("suffix"), OrNull(device.suffix)},
        {QStringLiteral("productionCodes"), QJsonArray::fromStringList(device.productionCodes)},
        {QStringLiteral("serialNumbers"), QJsonArray::fromStringList(device.serialNumbers)},
        {QStringLiteral("externalSerialNumbers"), QJsonArray::fromStringList(device.externalSerialNumbers)},
        {QStringLiteral("order"), OrNull(device.order)},
        {QStringLiteral("complete"), device.hasAssembly ? QJsonValue(device.complete) : QJsonValue()},
        {QStringLiteral("completeCounted"),
         device.hasAssembly && device.counted ? QJsonValue(device.countedComplete) : QJsonValue()},
        {QStringLiteral("test"), TestResultKey(device.test)},
        {QStringLiteral("testDate"), OrNull(device.testDate)},
        {QStringLiteral("placeholderOf"), device.placeholderOf != 0 ? QJsonValue(device.placeholderOf) : QJsonValue()},
        {QStringLiteral("journal"), JournalArray(device)},
    };
}

QJsonObject NodeObject(const Genealogy& genealogy, const GenealogyNode& node, bool isRoot) {
    QJsonObject object = DeviceObject(genealogy.facts, node.devId);
    object.insert(QStringLiteral("state"), isRoot           ? QStringLiteral("root")
                                           : node.Removed() ? QStringLiteral("removed")
                                                            : QStringLiteral("built-in"));
    object.insert(QStringLiteral("link"), OrNull(node.link));
    object.insert(QStringLiteral("queried"), node.devId == genealogy.match.devId);
    QJsonArray components;
    for (const GenealogyNode& child : node.components) {
        components.append(NodeObject(genealogy, child, false));
    }
    object.insert(QStringLiteral("components"), components);
    return object;
}

QJsonObject MatchObject(const CodeMatch& match) {
    return QJsonObject{{QStringLiteral("code"), match.code},
                       {QStringLiteral("found"), match.Found()},
                       {QStringLiteral("matchedAs"), MatchKindKey(match.kind)},
                       {QStringLiteral("device"), match.Found() ? QJsonValue(match.devId) : QJsonValue()},
                       {QStringLiteral("devicesNamed"), static_cast<int>(match.named.size())}};
}

QJsonObject UsageObject(const WhereUsed& whereUsed, const Usage& usage) {
    QJsonArray path;
    for (int step = 0; step < usage.path.size(); ++step) {
        const qint32 devId = usage.path.at(step);
        path.append(QJsonObject{{QStringLiteral("device"), devId},
                                {QStringLiteral("article"), OrNull(whereUsed.facts.value(devId).article)},
                                {QStringLiteral("link"), OrNull(step > 0 ? usage.links.value(step - 1) : QString())}});
    }
    return QJsonObject{
        {QStringLiteral("state"), usage.Removed() ? QStringLiteral("removed") : QStringLiteral("built-in")},
        {QStringLiteral("root"), DeviceObject(whereUsed.facts, usage.path.first())},
        {QStringLiteral("path"), path}};
}

void Write(const QJsonObject& document, QTextStream& out) {
    out << QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
}

QJsonObject GenealogyObject(const Genealogy& genealogy) {
    QJsonObject document = MatchObject(genealogy.match);
    if (genealogy.match.Found()) {
        document.insert(QStringLiteral("tree"), NodeObject(genealogy, genealogy.root, true));
        document.insert(QStringLiteral("damaged"), genealogy.damaged);
    }
    return document;
}

}  // namespace

// The first device the code names at the top, as a code naming one device always was; the others under "others".
void WriteGenealogyJson(const QList<Genealogy>& genealogies, QTextStream& out) {
    QList<CodeMatch> matches;
    QList<Cycle> cycles;
    QJsonArray others;
    for (const Genealogy& genealogy : genealogies) {
        matches.append(genealogy.match);
        for (const Cycle& cycle : genealogy.cycles) {
            AddCycle(cycles, cycle);
        }
        if (matches.size() > 1) {
            others.append(GenealogyObject(genealogy));
        }
    }
    QJsonObject document = genealogies.isEmpty() ? QJsonObject() : GenealogyObject(genealogies.first());
    document.insert(QStringLiteral("others"), others);
    document.insert(QStringLiteral("cycles"), CycleArray(cycles));
    document.insert(QStringLiteral("warnings"), WarningArray(WarningsOf(matches, cycles)));
    Write(document, out);
}

void WriteWhereUsedJson(const WhereUsed& whereUsed, QTextStream& out) {
    QJsonArray results;
    QList<CodeMatch> matches;
    for (const CodeUsage& entry : whereUsed.codes) {
        matches.append(entry.match);
        QJsonObject result = MatchObject(entry.match);
        result.insert(QStringLiteral("article"), OrNull(whereUsed.facts.value(entry.match.devId).article));
        QJsonArray usedIn;
        for (const Usage& usage : entry.usages) {
            usedIn.append(UsageObject(whereUsed, usage));
        }
        result.insert(QStringLiteral("usedIn"), usedIn);
        result.insert(QStringLiteral("damaged"), entry.damaged);
        results.append(result);
    }
    Write(QJsonObject{{QStringLiteral("results"), results},
                      {QStringLiteral("cycles"), CycleArray(whereUsed.cycles)},
                      {QStringLiteral("warnings"), WarningArray(WarningsOf(matches, whereUsed.cycles))}},
          out);
}

QJsonArray CycleArray(const QList<Cycle>& cycles) {
    QJsonArray array;
    for (const Cycle& cycle : cycles) {
        QJsonArray devices;
        for (qint32 devId : cycle) {
            devices.append(devId);
        }
        array.append(devices);
    }
    return array;
}
