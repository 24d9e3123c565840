#include <algorithm>

#include "trace/RecallReports.h"

// The affected final products of a recall: the ways up of every selected component, one product per top.

bool RecallProduct::StillBuiltIn() const {
    return std::any_of(components.begin(), components.end(),
                       [](const RecallComponent& component) { return !component.removed; });
}

namespace {

// When the removed device was taken out, from its journal's last removal (or move), where there is one.
QString RemovedAt(const DeviceFacts& removed) {
    for (auto it = removed.journal.crbegin(); it != removed.journal.crend(); ++it) {
        if (it->operation == QLatin1String("removal") || it->operation == QLatin1String("move")) {
            return it->time;
        }
    }
    return QString();
}

}  // namespace

RecallResult FindRecall(TraceStore& store, const RecallCriteria& criteria) {
    RecallResult result;
    result.criteria = criteria;
    result.components = store.RecallComponents(criteria);
    QSet<qint32> inCycle;
    const QMultiHash<qint32, Usage> usages = store.WalkUp(result.components, result.cycles, &inCycle);
    QHash<qint32, RecallProduct> products;
    QHash<qint64, qint32> removedDevice;  // product and component: the device taken out on the way
    for (qint32 component : result.components) {
        if (inCycle.contains(component)) {
            result.damaged.append(component);
        }
        const QList<Usage> ways = usages.values(component);
        if (ways.isEmpty() && !inCycle.contains(component)) {
            // Built into nothing: the component is its own final product (or a part on the shelf).
            result.notBuiltIn.append(component);
            products[component].devId = component;
            products[component].components.append(RecallComponent{component, false, QString()});
            continue;
        }
        for (const Usage& usage : ways) {
            RecallProduct& product = products[usage.path.first()];
            product.devId = usage.path.first();
            const int step = usage.RemovedStep();
            auto same = std::find_if(product.components.begin(), product.components.end(),
                                     [&](const RecallComponent& c) { return c.devId == component; });
            if (same != product.components.end()) {
                same->removed = same->removed && step >= 0;  // built in on one way is built in
                continue;
            }
            product.components.append(RecallComponent{component, step >= 0, QString()});
            if (step >= 0) {
                removedDevice.insert(qint64(product.devId) << 32 | quint32(component), usage.path.at(step + 1));
            }
        }
    }
    QList<qint32> shown = result.components + products.keys();
    for (qint32 devId : removedDevice) {
        shown.append(devId);
    }
    result.facts = store.Facts(shown);
    for (RecallProduct& product : products) {
        for (RecallComponent& component : product.components) {
            if (component.removed) {
                const qint32 taken = removedDevice.value(qint64(product.devId) << 32 | quint32(component.devId));
                component.removedAt = RemovedAt(result.facts.value(taken));
            }
        }
        result.products.append(product);
    }
    std::sort(result.products.begin(), result.products.end(),
              [](const RecallProduct& a, const RecallProduct& b) { return a.devId < b.devId; });
    // The codes of the products that name other devices too: a label on a returned unit might mean either.
    QStringList codes;
    for (const RecallProduct& product : result.products) {
        const DeviceFacts facts = result.facts.value(product.devId);
        codes += facts.productionCodes + facts.serialNumbers + facts.externalSerialNumbers;
    }
    codes.removeDuplicates();
    for (const CodeMatch& match : store.ResolveCodes(codes)) {
        if (match.NamesSeveral() && match.devId == match.named.first()) {
            result.ambiguous.append(match);
        }
    }
    return result;
}
