#include "trace/GenealogyPicture.h"

#include "trace/TraceWarnings.h"

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
    // A device can have a removed edge from an earlier product and still be a top itself (a sub-assembly taken
    // out and left free): the tops are given, not guessed from the edges.
    QMultiHash<qint32, qint32> builtIn;
    for (const PictureEdge& edge : edges) {
        if (!edge.Removed()) {
            builtIn.insert(edge.parent, edge.child);
        }
    }
    QSet<qint32> current;
    QList<qint32> pending = tops;
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

Picture PictureOfGenealogy(const QList<Genealogy>& genealogies) {
    Picture picture;
    QSet<qint32> known;
    for (const Genealogy& genealogy : genealogies) {
        if (!genealogy.match.Found()) {
            continue;
        }
        picture.title = QStringLiteral("Genealogie von %1").arg(genealogy.match.code);
        AddNode(picture, known, genealogy.root);
        if (!genealogy.damaged) {
            picture.tops.append(genealogy.root.devId);
        }
        picture.highlighted.insert(genealogy.match.devId);
        picture.facts.insert(genealogy.facts);
    }
    for (const TraceWarning& warning : WarningsOf(genealogies)) {
        picture.warnings.append(warning.Text());
    }
    return picture;
}

Picture PictureOfWhereUsed(const WhereUsed& whereUsed) {
    Picture picture;
    QSet<qint32> known;
    QList<CodeMatch> matches;
    QStringList codes;
    for (const CodeUsage& entry : whereUsed.codes) {
        matches.append(entry.match);
        if (!entry.match.Found()) {
            continue;
        }
        if (!codes.contains(entry.match.code)) {
            codes.append(entry.match.code);
        }
        for (const Usage& usage : entry.usages) {
            if (!picture.tops.contains(usage.path.first())) {
                picture.tops.append(usage.path.first());
            }
            for (int step = 0; step < usage.path.size(); ++step) {
                AddDevice(picture, known, usage.path.at(step));
                if (step > 0) {
                    AddEdge(picture,
                            PictureEdge{usage.path.at(step - 1), usage.path.at(step), usage.links.value(step - 1)});
                }
            }
        }
        if (entry.usages.isEmpty() && !entry.damaged) {
            picture.tops.append(entry.match.devId);  // built into nothing: its own final product
        }
        AddDevice(picture, known, entry.match.devId);
        picture.highlighted.insert(entry.match.devId);
    }
    picture.title = QStringLiteral("Verwendung von %1").arg(codes.join(QStringLiteral(", ")));
    for (const TraceWarning& warning : WarningsOf(matches, whereUsed.cycles)) {
        picture.warnings.append(warning.Text());
    }
    picture.facts = whereUsed.facts;
    return picture;
}
