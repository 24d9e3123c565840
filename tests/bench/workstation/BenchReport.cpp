#include "tests/bench/workstation/BenchReport.h"

#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tests/support/TestDatabase.h"

namespace bench {

namespace {

const char* const kTraceabilityTables[] = {"device",
                                           "device_assembly",
                                           "device_productioncode",
                                           "device_serialnumber",
                                           "device_productionordernumber",
                                           "device_productcode",
                                           "testpass",
                                           "testitem"};

double StatusMegabytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(static_cast<int>(qstrlen(field))).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    return 0;
}

// Table names by the names a statement gives them (aliases and the names themselves).
QHash<QString, QString> TablesByAlias(const QString& sql) {
    static const QRegularExpression reference(QStringLiteral(R"((?:FROM|JOIN|UPDATE)\s+(\w+)(?:\s+(?:AS\s+)?(\w+))?)"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QStringList keywords{"WHERE", "JOIN",  "INNER", "LEFT", "ON",
                                      "ORDER", "GROUP", "LIMIT", "SET",  "UNION"};
    QHash<QString, QString> tables;
    for (auto match = reference.globalMatch(sql); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        tables.insert(m.captured(1), m.captured(1));
        if (!m.captured(2).isEmpty() && !keywords.contains(m.captured(2).toUpper())) {
            tables.insert(m.captured(2), m.captured(1));
        }
    }
    return tables;
}

constexpr double kHandful = 100;

// The statement on one line, a long list of placeholders cut short.
QString Shortened(const QString& sql) {
    static const QRegularExpression placeholders(QStringLiteral(R"(\?(, \?){3,})"));
    QString text = sql.simplified();
    for (auto match = placeholders.match(text); match.hasMatch(); match = placeholders.match(text)) {
        const qsizetype count = match.captured(0).count(QLatin1Char('?'));
        text.replace(match.capturedStart(), match.capturedLength(), QStringLiteral("%1 values").arg(count));
    }
    return text;
}

QString Number(double value) {
    if (value == 0) {
        return QStringLiteral("0");
    }
    return QString::number(value, 'f', std::fabs(value) >= 100 ? 0 : (std::fabs(value) >= 10 ? 1 : 2));
}

}  // namespace

Spread SpreadOf(QList<double> samples) {
    Spread spread;
    if (samples.isEmpty()) {
        return spread;
    }
    std::sort(samples.begin(), samples.end());
    const qsizetype n = samples.size();
    spread.median = n % 2 == 1 ? samples.at(n / 2) : (samples.at(n / 2 - 1) + samples.at(n / 2)) / 2;
    spread.p95 = samples.at(std::min<qsizetype>(n - 1, static_cast<qsizetype>(std::ceil(0.95 * n)) - 1));
    spread.max = samples.last();
    return spread;
}

double ResidentMegabytes() {
    return StatusMegabytes("VmRSS:");
}

double PeakResidentMegabytes() {
    return StatusMegabytes("VmHWM:");
}

QStringList FullScans(const QHash<QString, QVariantList>& statements) {
    QHash<QString, double> rowsOf;
    for (const char* table : kTraceabilityTables) {
        rowsOf.insert(QLatin1String(table),
                      QueryTestValue(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))).toDouble());
    }
    QStringList texts = statements.keys();
    texts.sort();
    QStringList findings;
    for (const QString& sql : texts) {
        const QString verb = sql.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
        if (verb != QLatin1String("SELECT") && verb != QLatin1String("UPDATE") && verb != QLatin1String("DELETE") &&
            verb != QLatin1String("WITH")) {
            continue;
        }
        const QHash<QString, QString> tables = TablesByAlias(sql);
        // Columns: id|select_type|table|type|possible_keys|key|key_len|ref|rows|Extra
        for (const QString& row : QueryTestRows(QStringLiteral("EXPLAIN ") + sql, statements.value(sql))) {
            const QStringList columns = row.split(QLatin1Char('|'));
            if (columns.size() < 9) {
                continue;
            }
            const QString table = tables.value(columns.at(2), columns.at(2));
            if (!rowsOf.contains(table)) {
                continue;
            }
            const QString type = columns.at(3);
            const double rows = columns.at(8).toDouble();
            const double total = rowsOf.value(table);
            // More than 1 % of the rows, and more than a handful: a lookup of one row in a small table is no scan.
            if (type == QLatin1String("ALL") || type == QLatin1String("index") ||
                (rows > 0.01 * total && rows > kHandful)) {
                findings.append(QStringLiteral("%1: %2 of %3 rows (%4)\n    %5")
                                    .arg(table, Number(rows), Number(total), type, Shortened(sql)));
            }
        }
    }
    return findings;
}

void PrintTable(const QJsonObject& figures, const QJsonObject& base) {
    struct Line {
        const char* key;
        const char* label;
    };
    static const Line lines[] = {
        {"scan_ms_median", "scan to \"Bereit\", ms, median"},
        {"scan_ms_p95", "scan to \"Bereit\", ms, p95"},
        {"scan_ms_max", "scan to \"Bereit\", ms, max"},
        {"scan_statements_median", "statements per scan, median"},
        {"scan_statements_max", "statements per scan, max"},
        {"floor_ms_median", "floor: one scan's rows, ms, median"},
        {"floor_statements", "floor: statements"},
        {"program_to_floor_statements", "program / floor, statements"},
        {"program_to_floor_ms", "program / floor, ms"},
        {"newass_ms", "NewAss 240101, ms"},
        {"newass_statements", "NewAss 240101, statements"},
        {"show500_ms", "device with 500 components shown, ms"},
        {"show500_statements", "device with 500 components, statements"},
        {"rss_mb", "resident memory afterwards, MB"},
    };
    const bool withBase = !base.isEmpty();
    std::printf("\n%-42s %14s", "", qPrintable(QStringLiteral("%1 devices").arg(figures.value("devices").toInt())));
    if (withBase) {
        std::printf(" %14s %8s", qPrintable(QStringLiteral("%1 devices").arg(base.value("devices").toInt())), "ratio");
    }
    std::printf("\n");
    for (const Line& line : lines) {
        const double value = figures.value(QLatin1String(line.key)).toDouble();
        std::printf("%-42s %14s", line.label, qPrintable(Number(value)));
        if (withBase) {
            const double other = base.value(QLatin1String(line.key)).toDouble();
            std::printf(" %14s %8s", qPrintable(Number(other)),
                        other > 0 ? qPrintable(QString::number(value / other, 'f', 2)) : "-");
        }
        std::printf("\n");
    }
    std::fflush(stdout);
}

void PrintBefore(const QJsonObject& figures, const QJsonObject& before) {
    if (before.isEmpty()) {
        return;
    }
    static const char* const keys[][2] = {
        {"scan_statements_median", "statements per scan, median"},
        {"scan_statements_max", "statements per scan, max"},
        {"newass_statements", "NewAss 240101, statements"},
        {"show500_statements", "device with 500 components, statements"},
        {"scan_ms_median", "scan to \"Bereit\", ms, median"},
        {"scan_ms_p95", "scan to \"Bereit\", ms, p95"},
        {"newass_ms", "NewAss 240101, ms"},
        {"show500_ms", "device with 500 components shown, ms"},
    };
    std::printf("\n%-42s %14s %14s\n",
                qPrintable(QStringLiteral("before the reduction (%1 devices)").arg(before.value("devices").toInt())),
                "before", "now");
    for (const auto& key : keys) {
        std::printf("%-42s %14s %14s\n", key[1], qPrintable(Number(before.value(QLatin1String(key[0])).toDouble())),
                    qPrintable(Number(figures.value(QLatin1String(key[0])).toDouble())));
    }
    std::fflush(stdout);
}

QString MachineDescription() {
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    QString model = QStringLiteral("unknown processor");
    if (cpuinfo.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : cpuinfo.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                model = QString::fromLatin1(line.mid(line.indexOf(':') + 1)).trimmed();
                break;
            }
        }
    }
    return QStringLiteral("%1, %2 cores").arg(model).arg(QThread::idealThreadCount());
}

}  // namespace bench
