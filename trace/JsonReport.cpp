#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "trace/TraceReports.h"

// JSON for scripts: one document, keys in English, device IDs as numbers, lists newest first.

namespace {

QJsonValue OrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
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
        {QStringLiteral("test"), TestResultKey(device.test)},
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
                       {QStringLiteral("device"), match.Found() ? QJsonValue(match.devId) : QJsonValue()}};
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

}  // namespace

void WriteGenealogyJson(const Genealogy& genealogy, QTextStream& out) {
    QJsonObject document = MatchObject(genealogy.match);
    if (genealogy.match.Found()) {
        document.insert(QStringLiteral("tree"), NodeObject(genealogy, genealogy.root, true));
    }
    document.insert(QStringLiteral("cycles"), CycleArray(genealogy.cycles));
    Write(document, out);
}

void WriteWhereUsedJson(const WhereUsed& whereUsed, QTextStream& out) {
    QJsonArray results;
    for (const CodeUsage& entry : whereUsed.codes) {
        QJsonObject result = MatchObject(entry.match);
        result.insert(QStringLiteral("article"), OrNull(whereUsed.facts.value(entry.match.devId).article));
        QJsonArray usedIn;
        for (const Usage& usage : entry.usages) {
            usedIn.append(UsageObject(whereUsed, usage));
        }
        result.insert(QStringLiteral("usedIn"), usedIn);
        results.append(result);
    }
    Write(QJsonObject{{QStringLiteral("results"), results}, {QStringLiteral("cycles"), CycleArray(whereUsed.cycles)}},
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
