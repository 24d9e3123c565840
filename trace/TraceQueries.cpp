#include "trace/TraceQueries.h"

#include "trace/GenealogyTree.h"

Genealogy ShowGenealogy(TraceStore& store, const QString& code) {
    Genealogy genealogy;
    genealogy.match = store.ResolveCodes({code}).value(0);
    if (!genealogy.match.Found()) {
        return genealogy;
    }
    const qint32 devId = genealogy.match.devId;
    // The final product is the top of the way up through current memberships; a device that is built into
    // nothing (any more) is its own final product.
    qint32 rootDevId = devId;
    const QList<Usage> usages = store.WalkUp({devId}, genealogy.cycles).values(devId);
    for (const Usage& usage : usages) {
        if (!usage.Removed() && !usage.path.isEmpty()) {
            rootDevId = usage.path.first();
            break;
        }
    }
    genealogy.root = store.WalkDown(rootDevId, genealogy.cycles);
    genealogy.facts = store.Facts(TreeDevices(genealogy.root));
    return genealogy;
}

WhereUsed FindWhereUsed(TraceStore& store, const QStringList& codes) {
    WhereUsed result;
    QList<qint32> devices;
    for (const CodeMatch& match : store.ResolveCodes(codes)) {
        result.codes.append(CodeUsage{match, {}});
        if (match.Found()) {
            devices.append(match.devId);
        }
    }
    const QMultiHash<qint32, Usage> usages = store.WalkUp(devices, result.cycles);
    QList<qint32> shown = devices;
    for (CodeUsage& entry : result.codes) {
        if (!entry.match.Found()) {
            continue;
        }
        entry.usages = usages.values(entry.match.devId);
        // Final products in a stable order: by root device, then by path.
        std::sort(entry.usages.begin(), entry.usages.end(),
                  [](const Usage& a, const Usage& b) { return a.path < b.path; });
        for (const Usage& usage : entry.usages) {
            shown += usage.path;
        }
    }
    result.facts = store.Facts(shown);
    return result;
}
