#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <functional>

#include "db/AssemblyDbClass.h"
#include "tests/trace/TraceTestSupport.h"

// velkor-trace show/where-used --svg and --dot: the genealogy drawn by Graphviz, read back as XML.

namespace {

// What the SVG shows of one box or one edge (Graphviz writes each as a <g> with the id it was given).
struct Shape {
    QString fill;
    QString stroke;
    QString strokeWidth;
    QString dash;
    QStringList texts;
};

QHash<QString, Shape> SvgShapes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QHash<QString, Shape> shapes;
    QXmlStreamReader xml(&file);
    QString current;
    int depth = 0;
    int currentDepth = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement()) {
            if (depth-- == currentDepth) {
                current.clear();
                currentDepth = -1;
            }
            continue;
        }
        if (!xml.isStartElement()) {
            continue;
        }
        ++depth;
        const QXmlStreamAttributes attributes = xml.attributes();
        const QString cls = attributes.value(QStringLiteral("class")).toString();
        if (xml.name() == QLatin1String("g") && (cls == QLatin1String("node") || cls == QLatin1String("edge"))) {
            current = attributes.value(QStringLiteral("id")).toString();
            currentDepth = depth;
            shapes.insert(current, Shape());
        } else if (!current.isEmpty() &&
                   (xml.name() == QLatin1String("path") || xml.name() == QLatin1String("polygon"))) {
            Shape& shape = shapes[current];
            if (shape.stroke.isEmpty()) {  // the box or the line, not the arrow head
                shape.fill = attributes.value(QStringLiteral("fill")).toString();
                shape.stroke = attributes.value(QStringLiteral("stroke")).toString();
                shape.strokeWidth = attributes.value(QStringLiteral("stroke-width")).toString();
                shape.dash = attributes.value(QStringLiteral("stroke-dasharray")).toString();
            }
        } else if (!current.isEmpty() && xml.name() == QLatin1String("text")) {
            shapes[current].texts.append(xml.readElementText());
            --depth;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return shapes;
}

QStringList Boxes(const QHash<QString, Shape>& shapes) {
    QStringList boxes;
    for (auto it = shapes.begin(); it != shapes.end(); ++it) {
        if (it.key().startsWith(QLatin1String("dev"))) {
            boxes.append(it.key());
        }
    }
    boxes.sort();
    return boxes;
}

}  // namespace

TEST_F(TraceTest, ShowDrawsTheGenealogyWithTheQueriedDeviceRemovedComponentsAndFailedTests) {
    {
        // The relay module 9034 (assembly 9508) comes out of 9030; the display module 9037 fails a newer test.
        AssemblyDbClass db;
        db.DeleteAssemblyWithDevID(9508);
    }
    ExecTestSql(
        QStringLiteral("INSERT INTO testpass (ID, DeviceID, CreationDate) VALUES (9190, 9037, "
                       "'2024-11-01 10:00:00')"));
    ExecTestSql(QStringLiteral("INSERT INTO testitem (TestPassID, PassFailFlag) VALUES (9190, 3)"));
    QTemporaryDir folder;
    const QString svg = folder.filePath(QStringLiteral("genealogie.svg"));
    const QString dot = folder.filePath(QStringLiteral("genealogie.dot"));
    const TraceRun run = RunTraceCommand({QStringLiteral("show"), QStringLiteral("P24100039"), QStringLiteral("--svg"),
                                          svg, QStringLiteral("--dot"), dot});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Genealogie von P24100039")));

    const QHash<QString, Shape> shapes = SvgShapes(svg);
    QStringList expected;
    for (int devId = 9030; devId <= 9040; ++devId) {
        expected.append(QStringLiteral("dev%1").arg(devId));
    }
    EXPECT_EQ(Boxes(shapes), expected);
    struct Case {
        const char* id;
        const char* fill;
        const char* stroke;
        const char* dash;
        const char* text;  // one line of the box or of the edge
    };
    const Case cases[] = {
        {"dev9039", "#ffe680", "#303030", "", "TP-5610-A (Gerät 9039)"},  // the queried device
        {"dev9030", "#ffffff", "#303030", "", "PC P24100030"},
        {"dev9038", "#ffffff", "#303030", "", "PA 240102"},
        {"dev9040", "#ffffff", "#303030", "", "Fremd-SN DP77-310057"},
        {"dev9034", "#f0f0f0", "#9a9a9a", "", "RM-5120-A (Gerät 9034)"},              // removed: grey
        {"dev9037", "#ffffff", "#c80000", "", "vollständig, Test: nicht bestanden"},  // failed latest test: red
        {"link9030-9034-D0", "none", "#9a9a9a", "5,2", "ausgebaut (D0)"},
        {"link9030-9038-Z", "none", "black", "", nullptr},
        {"link9038-9039-Z", "none", "black", "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        ASSERT_TRUE(shapes.contains(QLatin1String(c.id)));
        const Shape shape = shapes.value(QLatin1String(c.id));
        EXPECT_EQ(shape.fill, QLatin1String(c.fill));
        EXPECT_EQ(shape.stroke, QLatin1String(c.stroke));
        EXPECT_EQ(shape.dash, QLatin1String(c.dash));
        if (c.text != nullptr) {
            EXPECT_TRUE(shape.texts.contains(QString::fromUtf8(c.text)))
                << shape.texts.join(QLatin1Char('|')).toStdString();
        }
    }
    EXPECT_EQ(shapes.value(QStringLiteral("dev9039")).strokeWidth, QStringLiteral("3"));
    EXPECT_TRUE(shapes.value(QStringLiteral("dev9030")).texts.contains(QStringLiteral("vollständig, Test: ungeprüft")));
    QFile drawn(svg);
    ASSERT_TRUE(drawn.open(QIODevice::ReadOnly));
    const QString picture = QString::fromUtf8(drawn.readAll());
    for (const char* text : {"Genealogie von P24100039", "Stand: ", "Legende: "}) {
        EXPECT_TRUE(picture.contains(QString::fromUtf8(text))) << text;
    }

    QFile source(dot);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString graph = QString::fromUtf8(source.readAll());
    EXPECT_TRUE(graph.startsWith(QStringLiteral("digraph Genealogie {")));
    EXPECT_TRUE(graph.contains(QStringLiteral("rankdir=LR")));
    EXPECT_TRUE(graph.contains(QStringLiteral("label=\"2 × RM-5120-A\"")));  // the two relay modules left in 9030
}

TEST_F(TraceTest, WhereUsedDrawsEveryFinalProductWithThePathDown) {
    struct Case {
        const char* name;
        std::function<void(AssemblyDbClass&)> rework;
        const char* code;
        QStringList boxes;
        QStringList grey;  // the devices drawn as removed
        QStringList dashed;
    };
    const Case cases[] = {
        {"9034 out of 9030 and into the operating unit 9020",
         [](AssemblyDbClass& db) {
             db.DeleteAssemblyWithDevID(9508);
             db.AddChildToParentAssembly(9508, 9501);
         },
         "P24100035",
         {"dev9020", "dev9030", "dev9034"},
         {},
         {"link9030-9034-D0"}},
        // A sub-assembly taken out and left free is a final product itself: it and its display are built in.
        {"the operating unit 9038 out of 9030, left free",
         [](AssemblyDbClass& db) { db.DeleteAssemblyWithDevID(9512); },
         "P24100040",
         {"dev9030", "dev9038", "dev9040"},
         {},
         {"link9030-9038-D0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetTestDatabase();
        {
            AssemblyDbClass db;
            c.rework(db);
        }
        QTemporaryDir folder;
        const QString svg = folder.filePath(QStringLiteral("verwendung.svg"));
        const TraceRun run =
            RunTraceCommand({QStringLiteral("where-used"), QString::fromLatin1(c.code), QStringLiteral("--svg"), svg});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QHash<QString, Shape> shapes = SvgShapes(svg);
        EXPECT_EQ(Boxes(shapes), c.boxes);
        QStringList grey;
        QStringList dashed;
        for (auto it = shapes.begin(); it != shapes.end(); ++it) {
            if (it.key().startsWith(QLatin1String("dev")) && it.value().fill == QLatin1String("#f0f0f0")) {
                grey.append(it.key());
            }
            if (it.value().dash == QLatin1String("5,2")) {
                dashed.append(it.key());
            }
        }
        EXPECT_EQ(grey, c.grey);
        EXPECT_EQ(dashed, c.dashed);
    }
}
