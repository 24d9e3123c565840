#include "trace/CycleList.h"

#include <algorithm>

namespace {

// The ring without its repeated end, rotated to start at its smallest device, with that device repeated.
Cycle Normalized(const Cycle& cycle) {
    QList<qint32> ring = cycle.mid(0, cycle.size() - 1);
    if (ring.isEmpty()) {
        return cycle;
    }
    std::rotate(ring.begin(), std::min_element(ring.begin(), ring.end()), ring.end());
    ring.append(ring.first());
    return ring;
}

}  // namespace

Cycle CycleFromTop(const QList<qint32>& devices) {
    if (devices.isEmpty()) {
        return {};
    }
    const int again = devices.indexOf(devices.first(), 1);
    return again < 0 ? devices : devices.mid(0, again + 1);
}

Cycle CycleFromBottom(const QList<qint32>& devices) {
    if (devices.isEmpty()) {
        return {};
    }
    const int first = devices.indexOf(devices.last());
    return devices.mid(first);
}

void AddCycle(QList<Cycle>& cycles, const Cycle& cycle) {
    const Cycle normalized = Normalized(cycle);
    if (!normalized.isEmpty() && !cycles.contains(normalized)) {
        cycles.append(normalized);
    }
}
