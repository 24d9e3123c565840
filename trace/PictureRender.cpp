#include <cgraph.h>
#include <gvc.h>

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "trace/GenealogyPicture.h"
#include "trace/TextLabels.h"

// Lays out and renders a picture with Graphviz: the graph is built with cgraph, laid out by the dot engine
// left to right and written as SVG by gvc; the source is the graph as cgraph writes it.

namespace {

const char* const kGreyColour = "#9a9a9a";
const char* const kFailedColour = "#c80000";
const char* const kHighlightFill = "#ffe680";

// This cgraph takes names and values as char* (it copies them); the copies live as long as the call.
void Set(void* object, const char* name, const QString& value) {
    QByteArray key(name);
    QByteArray text = value.toUtf8();
    QByteArray none;
    agsafeset(object, key.data(), text.data(), none.data());
}

// The value of an attribute for every node or edge that does not set its own.
void Default(Agraph_t* graph, int kind, const char* name, const char* value) {
    QByteArray key(name);
    QByteArray text(value);
    agattr(graph, kind, key.data(), text.data());
}

QString NodeName(qint32 devId) {
    return QStringLiteral("d%1").arg(devId);
}

// A label line; a backslash in a value would start a Graphviz escape.
QString Line(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return escaped;
}

QString Label(const DeviceFacts& facts, qint32 devId) {
    QStringList lines{Line(QStringLiteral("%1 (Gerät %2)")
                               .arg(facts.article.isEmpty() ? QStringLiteral("Artikel unbekannt") : facts.article)
                               .arg(devId))};
    if (!facts.productionCodes.isEmpty()) {
        lines.append(Line(QStringLiteral("PC ") + facts.productionCodes.join(QStringLiteral(", "))));
    }
    if (!facts.serialNumbers.isEmpty()) {
        lines.append(Line(QStringLiteral("SN ") + facts.serialNumbers.join(QStringLiteral(", "))));
    }
    if (!facts.externalSerialNumbers.isEmpty()) {
        lines.append(Line(QStringLiteral("Fremd-SN ") + facts.externalSerialNumbers.join(QStringLiteral(", "))));
    }
    if (facts.placeholderOf != 0) {
        lines.insert(1, Line(QStringLiteral("PLATZHALTER, ersetzt durch Gerät %1").arg(facts.placeholderOf)));
    }
    if (!facts.order.isEmpty()) {
        lines.append(Line(QStringLiteral("PA ") + facts.order));
    }
    const QString completeness = CompletenessLabel(facts);
    lines.append(Line(completeness.isEmpty() ? TestLabel(facts.test)
                                             : completeness + QStringLiteral(", ") + TestLabel(facts.test)));
    if (!facts.journal.isEmpty()) {
        const JournalEvent& last = facts.journal.last();
        lines.append(Line(QStringLiteral("zuletzt %1 %2, %3 (%4)")
                              .arg(OperationLabel(last.operation), last.time.left(16), last.workstation, last.user)));
    }
    return lines.join(QLatin1String("\\n"));
}

// Title, the queried codes, when it was drawn, the warnings and what the colours mean.
QString GraphLabel(const Picture& picture) {
    QStringList lines{
        Line(picture.title),
        Line(QStringLiteral("Stand: ") + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")))};
    for (const QString& warning : picture.warnings) {
        lines.append(Line(warning));
    }
    lines.append(
        QStringLiteral("Legende: gelb mit dickem Rahmen = Gerät des gesuchten Codes; grau, gestrichelt = ausgebaut; "
                       "rot = letzter Test nicht bestanden; gestrichelter Rahmen = Komponenten eines Artikels"));
    return lines.join(QLatin1String("\\l")) + QLatin1String("\\l");
}

struct GraphvizContext {
    GVC_t* gvc = gvContext();
    Agraph_t* graph = nullptr;
    bool laidOut = false;
    ~GraphvizContext() {
        if (laidOut) {
            gvFreeLayout(gvc, graph);
        }
        if (graph != nullptr) {
            agclose(graph);
        }
        gvFreeContext(gvc);
    }
};

void AddNodes(Agraph_t* graph, const Picture& picture, QHash<qint32, Agnode_t*>& nodes) {
    const QSet<qint32> removed = picture.RemovedDevices();
    for (qint32 devId : picture.devices) {
        QByteArray name = NodeName(devId).toUtf8();
        Agnode_t* node = agnode(graph, name.data(), 1);
        nodes.insert(devId, node);
        const DeviceFacts facts = picture.facts.value(devId);
        Set(node, "id", QStringLiteral("dev%1").arg(devId));
        Set(node, "label", Label(facts, devId));
        Set(node, "tooltip", QStringLiteral("Gerät %1").arg(devId));
        QString fill = QStringLiteral("#ffffff");
        QString colour = QStringLiteral("#303030");
        if (removed.contains(devId)) {
            fill = QStringLiteral("#f0f0f0");
            colour = QString::fromLatin1(kGreyColour);
            Set(node, "fontcolor", QString::fromLatin1(kGreyColour));
        }
        if (facts.test == TestResult::Failed) {
            colour = QString::fromLatin1(kFailedColour);
            Set(node, "fontcolor", QString::fromLatin1(kFailedColour));
        }
        if (picture.highlighted.contains(devId)) {
            fill = QString::fromLatin1(kHighlightFill);
            Set(node, "penwidth", QStringLiteral("3"));
        }
        Set(node, "fillcolor", fill);
        Set(node, "color", colour);
    }
}

// The components of one article built into one device share a frame, labelled with their number and article.
void GroupByArticle(Agraph_t* graph, const Picture& picture, const QHash<qint32, Agnode_t*>& nodes) {
    QList<qint32> parents;
    QHash<qint32, QList<qint32>> children;
    for (const PictureEdge& edge : picture.edges) {
        if (edge.Removed()) {
            continue;  // a removed component is no longer one of the pieces
        }
        if (!children.contains(edge.parent)) {
            parents.append(edge.parent);
        }
        if (!children[edge.parent].contains(edge.child)) {
            children[edge.parent].append(edge.child);
        }
    }
    QSet<qint32> grouped;
    int clusters = 0;
    for (qint32 parent : parents) {
        QStringList articles;
        QHash<QString, QList<qint32>> byArticle;
        for (qint32 child : children.value(parent)) {
            const QString article = picture.facts.value(child).article;
            if (article.isEmpty() || grouped.contains(child)) {
                continue;
            }
            if (!byArticle.contains(article)) {
                articles.append(article);
            }
            byArticle[article].append(child);
        }
        for (const QString& article : articles) {
            const QList<qint32> members = byArticle.value(article);
            if (members.size() < 2) {
                continue;
            }
            QByteArray name = QStringLiteral("cluster_%1").arg(++clusters).toUtf8();
            Agraph_t* cluster = agsubg(graph, name.data(), 1);
            Set(cluster, "label", Line(QStringLiteral("%1 × %2").arg(members.size()).arg(article)));
            Set(cluster, "style", QStringLiteral("rounded,dashed"));
            Set(cluster, "color", QString::fromLatin1(kGreyColour));
            Set(cluster, "fontsize", QStringLiteral("9"));
            for (qint32 member : members) {
                agsubnode(cluster, nodes.value(member), 1);
                grouped.insert(member);
            }
        }
    }
}

void AddEdges(Agraph_t* graph, const Picture& picture, const QHash<qint32, Agnode_t*>& nodes) {
    for (const PictureEdge& edge : picture.edges) {
        QByteArray name = QStringLiteral("%1-%2-%3").arg(edge.parent).arg(edge.child).arg(edge.link).toUtf8();
        Agedge_t* line = agedge(graph, nodes.value(edge.parent), nodes.value(edge.child), name.data(), 1);
        Set(line, "id", QStringLiteral("link%1-%2-%3").arg(edge.parent).arg(edge.child).arg(edge.link));
        if (edge.Removed()) {
            Set(line, "style", QStringLiteral("dashed"));
            Set(line, "color", QString::fromLatin1(kGreyColour));
            Set(line, "fontcolor", QString::fromLatin1(kGreyColour));
            Set(line, "label", QStringLiteral("ausgebaut (%1)").arg(edge.link));
        }
    }
}

Agraph_t* BuildGraph(const Picture& picture) {
    QByteArray name("Genealogie");
    Agraph_t* graph = agopen(name.data(), Agdirected, nullptr);
    Set(graph, "rankdir", QStringLiteral("LR"));
    Set(graph, "nodesep", QStringLiteral("0.15"));
    Set(graph, "ranksep", QStringLiteral("0.6"));
    Set(graph, "fontname", QStringLiteral("Helvetica"));
    Set(graph, "fontsize", QStringLiteral("10"));
    Set(graph, "labelloc", QStringLiteral("t"));
    Set(graph, "labeljust", QStringLiteral("l"));
    Set(graph, "label", GraphLabel(picture));
    Default(graph, AGNODE, "shape", "box");
    Default(graph, AGNODE, "style", "rounded,filled");
    Default(graph, AGNODE, "fontname", "Helvetica");
    Default(graph, AGNODE, "fontsize", "10");
    Default(graph, AGEDGE, "fontname", "Helvetica");
    Default(graph, AGEDGE, "fontsize", "9");
    QHash<qint32, Agnode_t*> nodes;
    AddNodes(graph, picture, nodes);
    GroupByArticle(graph, picture, nodes);
    AddEdges(graph, picture, nodes);
    return graph;
}

QString CannotWrite(const QString& path, const QString& reason) {
    return QStringLiteral("%1 kann nicht geschrieben werden: %2").arg(path, reason);
}

QString WriteSource(Agraph_t* graph, const QString& path) {
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "w");
    if (file == nullptr) {
        return CannotWrite(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    const int written = agwrite(graph, file);
    const int closed = std::fclose(file);
    return written == 0 && closed == 0 ? QString() : CannotWrite(path, QStringLiteral("Schreibfehler"));
}

}  // namespace

QString WritePicture(const Picture& picture, const PictureFiles& files) {
    // The SVG file is opened first, so that a path that cannot be written is named before anything is laid out.
    if (!files.svg.isEmpty()) {
        QFile probe(files.svg);
        if (!probe.open(QIODevice::WriteOnly)) {
            return CannotWrite(files.svg, probe.errorString());
        }
    }
    agseterr(AGERR);  // Graphviz's warnings stay off standard error; its errors still reach it
    GraphvizContext context;
    context.graph = BuildGraph(picture);
    if (!files.dot.isEmpty()) {
        const QString error = WriteSource(context.graph, files.dot);
        if (!error.isEmpty()) {
            return error;
        }
    }
    if (files.svg.isEmpty()) {
        return QString();
    }
    if (gvLayout(context.gvc, context.graph, "dot") != 0) {
        return QStringLiteral("Graphviz konnte das Bild für %1 nicht anordnen").arg(files.svg);
    }
    context.laidOut = true;
    if (gvRenderFilename(context.gvc, context.graph, "svg", QFile::encodeName(files.svg).constData()) != 0) {
        return CannotWrite(files.svg, QStringLiteral("Graphviz konnte es nicht zeichnen"));
    }
    return QString();
}
