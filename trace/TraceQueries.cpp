#include "trace/TraceQueries.h"

#include "trace/GenealogyTree.h"

QList<Genealogy> ShowGenealogies(TraceStore& store, const QString& code) {
    QList<Genealogy> genealogies;
    for (const CodeMatch& match : store.ResolveCodes({code})) {
        Genealogy genealogy;
        genealogy.match = match;
        if (!match.Found()) {
            genealogies.append(genealogy);
            continue;
        }
        // The final product is the top of the way up through current memberships; a device that is built into
        // nothing (any more) is its own final product. A way up that runs into a cycle has no top.
        qint32 rootDevId = match.devId;
        QSet<qint32> inCycle;
        const QList<Usage> usages = store.WalkUp({match.devId}, genealogy.cycles, &inCycle).values(match.devId);
        genealogy.damaged = inCycle.contains(match.devId);
        for (const Usage& usage : usages) {
            if (!usage.Removed() && !usage.path.isEmpty()) {
                rootDevId = usage.path.first();
                break;
            }
        }
        genealogy.root = store.WalkDown(rootDevId, genealogy.cycles);
        genealogy.facts = store.Facts(TreeDevices(genealogy.root));
        CountCompleteness(store, rootDevId, genealogy.facts);
        genealogies.append(genealogy);
    }
    return genealogies;
}

WhereUsed FindWhereUsed(TraceStore& store, const QStringList& codes) {
    WhereUsed result;
    QList<qint32> devices;
    for (const CodeMatch& match : store.ResolveCodes(codes)) {
        result.codes.append(CodeUsage{match, {}, false});
        if (match.Found()) {
            devices.append(match.devId);
        }
    }
    QSet<qint32> inCycle;
    const QMultiHash<qint32, Usage> usages = store.WalkUp(devices, result.cycles, &inCycle);
    QList<qint32> shown = devices;
    for (CodeUsage& entry : result.codes) {
        if (!entry.match.Found()) {
            continue;
        }
        entry.usages = usages.values(entry.match.devId);
        entry.damaged = inCycle.contains(entry.match.devId);
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
