#include "trace/GenealogyPicture.h"

// What the pictures show: the devices and edges of a genealogy or of the ways up of where-used.

namespace {

void AddDevice(Picture& picture, QSet<qint32>& known, qint32 devId) {
    if (!known.contains(devId)) {
        known.insert(devId);
        picture.devices.append(devId);
    }
}

void AddEdge(Picture& picture, const PictureEdge& edge) {
    for (const PictureEdge& existing : picture.edges) {
        if (existing.parent == edge.parent && existing.child == edge.child && existing.link == edge.link) {
            return;
        }
    }
    picture.edges.append(edge);
}

void AddNode(Picture& picture, QSet<qint32>& known, const GenealogyNode& node) {
    AddDevice(picture, known, node.devId);
    for (const GenealogyNode& child : node.components) {
        AddEdge(picture, PictureEdge{node.devId, child.devId, child.link});
        AddNode(picture, known, child);
    }
}

}  // namespace

QSet<qint32> Picture::RemovedDevices() const {
    QSet<qint32> hasParent;
    QMultiHash<qint32, qint32> builtIn;
    for (const PictureEdge& edge : edges) {
        hasParent.insert(edge.child);
        if (!edge.Removed()) {
            builtIn.insert(edge.parent, edge.child);
        }
    }
    QSet<qint32> current;
    QList<qint32> pending;
    for (qint32 devId : devices) {
        if (!hasParent.contains(devId)) {
            pending.append(devId);
        }
    }
    while (!pending.isEmpty()) {
        const qint32 devId = pending.takeLast();
        if (current.contains(devId)) {
            continue;
        }
        current.insert(devId);
        pending += builtIn.values(devId);
    }
    QSet<qint32> removed;
    for (qint32 devId : devices) {
        if (!current.contains(devId)) {
            removed.insert(devId);
        }
    }
    return removed;
}

Picture PictureOfGenealogy(const Genealogy& genealogy) {
    Picture picture;
    QSet<qint32> known;
    AddNode(picture, known, genealogy.root);
    picture.highlighted.insert(genealogy.match.devId);
    picture.facts = genealogy.facts;
    return picture;
}

Picture PictureOfWhereUsed(const WhereUsed& whereUsed) {
    Picture picture;
    QSet<qint32> known;
    for (const CodeUsage& entry : whereUsed.codes) {
        if (!entry.match.Found()) {
            continue;
        }
        for (const Usage& usage : entry.usages) {
            for (int step = 0; step < usage.path.size(); ++step) {
                AddDevice(picture, known, usage.path.at(step));
                if (step > 0) {
                    AddEdge(picture,
                            PictureEdge{usage.path.at(step - 1), usage.path.at(step), usage.links.value(step - 1)});
                }
            }
        }
        AddDevice(picture, known, entry.match.devId);
        picture.highlighted.insert(entry.match.devId);
    }
    picture.facts = whereUsed.facts;
    return picture;
}
