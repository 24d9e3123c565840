#include "tests/plantwalk/PlantWalkCheck.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <algorithm>
#include <cstdio>

#include "db/OdbcSource.h"

namespace plantwalk {

namespace {

void Print(const QString& text) {
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// The checker's own connection to a node ("" for the one server of the data source), opened anew when needed.
QSqlDatabase Node(const QString& host) {
    const QString name = QStringLiteral("plantwalk-check-") + host;
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
    if (!db.isOpen()) {
        db.setDatabaseName(host.isEmpty() ? odbc::ConnectOptions() : odbc::ConnectOptions(host));
        db.open();
    }
    return db;
}

// Every row of the statement, its columns joined by "|"; ok false when the node refused it.
QStringList Rows(const QString& host, const QString& sql, const QVariantList& values = {}, bool* ok = nullptr) {
    QSqlDatabase db = Node(host);
    QSqlQuery query(db);
    query.prepare(sql);
    for (const QVariant& value : values) {
        query.addBindValue(odbc::BindableValue(value));
    }
    const bool done = query.exec();
    if (ok != nullptr) {
        *ok = done;
    }
    QStringList rows;
    while (done && query.next()) {
        QStringList columns;
        for (int i = 0; i < query.record().count(); ++i) {
            columns.append(query.value(i).toString());
        }
        rows.append(columns.join(QLatin1Char('|')));
    }
    return rows;
}

const QStringList kCheckedTables = {"device",
                                    "device_assembly",
                                    "device_productioncode",
                                    "device_serialnumber",
                                    "device_productionordernumber",
                                    "device_productcode",
                                    "velkor_journal",
                                    "velkor_journal_device"};

// Told that the operation was not kept: nothing of it may stay.
bool ToldNotKept(const Step& step) {
    return step.told == QLatin1String("refused") || step.told == QLatin1String("discarded");
}

// Told that the step's value was not taken (a later step refused it, or the whole operation).
bool ValueRefused(const Step& step) {
    return ToldNotKept(step) || step.told == QLatin1String("step-refused");
}

bool ToldSaved(const Step& step) {
    return step.told == QLatin1String("saved") || step.told == QLatin1String("saved-after-lost");
}

bool NewValueKind(const Step& step) {
    return step.kind == QLatin1String("code") || step.kind == QLatin1String("serial") ||
           step.kind == QLatin1String("external");
}

class Checker {
public:
    Checker(const QList<Step>& steps, quint32 seed) : steps_(steps), seed_(seed) {}

    // A violation: the step it concerns (null for none), what is wrong, the steps that bear on it.
    void Violation(const QString& node, const Step* step, const QString& what, const QList<const Step*>& related) {
        ++count_;
        QString where = step != nullptr ? QStringLiteral(" ws %1 step %2").arg(step->ws).arg(step->step) : QString();
        Print(QStringLiteral("VIOLATION seed %1%2 on %3: %4")
                  .arg(seed_)
                  .arg(where, node.isEmpty() ? QStringLiteral("the server") : node, what));
        if (count_ > 20) {
            return;  // the histories of the first twenty are enough to read
        }
        qint64 from = std::numeric_limits<qint64>::max(), to = 0;
        for (const Step* s : related) {
            from = std::min(from, s->start - 2000);
            to = std::max(to, s->end + 2000);
        }
        Print(QStringLiteral("  histories around it:"));
        for (const Step& s : steps_) {
            if (s.end >= from && s.start <= to) {
                Print(QStringLiteral("    ") + s.ToLine());
            }
        }
    }

    QList<const Step*> WithKey(const QString& key) const {
        QList<const Step*> found;
        for (const Step& s : steps_) {
            if (s.key == key) {
                found.append(&s);
            }
        }
        return found;
    }

    void CheckNode(const QString& node, qint64 firstDevice) {
        bool ok = false;
        const QStringList journal = Rows(node, QStringLiteral("SELECT OperationID FROM velkor_journal"), {}, &ok);
        if (!ok) {
            Violation(node, nullptr, QStringLiteral("the journal cannot be read"), {});
        }
        const QSet<QString> kept(journal.begin(), journal.end());
        QHash<QString, const Step*> byOp;
        QHash<QString, bool> anySaved;  // key: whether any step on it may have been kept
        for (const Step& s : steps_) {
            if (!s.op.isEmpty()) {
                byOp.insert(s.op, &s);
            }
            if (NewValueKind(s)) {
                anySaved[s.key] = anySaved.value(s.key) || !ValueRefused(s);
            }
            if (ToldSaved(s) && (s.op.isEmpty() || !kept.contains(s.op))) {
                Violation(node, &s, QStringLiteral("told saved, no journal row for its operation"), {&s});
            } else if (ToldNotKept(s) && !s.op.isEmpty() && kept.contains(s.op)) {
                Violation(node, &s, QStringLiteral("told %1, its operation is in the journal").arg(s.told), {&s});
            }
            if (ToldSaved(s) && NewValueKind(s) && Recorded(node, s.value) == 0) {
                Violation(node, &s, QStringLiteral("told saved, \"%1\" is not recorded").arg(s.value), {&s});
            }
            if (ToldSaved(s) && s.kind != QLatin1String("take") && !NewValueKind(s) &&
                Rows(node,
                     QStringLiteral("SELECT 1 FROM device_assembly a JOIN device_assembly z ON z.Device_Assembly = "
                                    "a.AssemblyNum AND z.AssemblyType = 'Z' WHERE a.AssemblyType = 'A' AND "
                                    "a.Device_Assembly = ?"),
                     {s.key.section(QLatin1Char(':'), 1).toLongLong()})
                    .isEmpty()) {
                Violation(node, &s, QStringLiteral("told saved, the device is a member of no assembly"), {&s});
            }
        }
        for (auto it = anySaved.cbegin(); it != anySaved.cend(); ++it) {
            const QList<const Step*> tries = WithKey(it.key());
            if (!it.value() && Recorded(node, tries.first()->value) > 0) {
                Violation(node, tries.first(),
                          QStringLiteral("every workstation was told refused or discarded, \"%1\" is recorded")
                              .arg(tries.first()->value),
                          tries);
            }
        }
        for (const QString& row :
             Rows(node, QStringLiteral("SELECT j.OperationID, j.DeviceID FROM velkor_journal_device j WHERE NOT "
                                       "EXISTS (SELECT 1 FROM device d WHERE d.ID = j.DeviceID) OR NOT EXISTS (SELECT "
                                       "1 FROM device_productcode p WHERE p.DevID = j.DeviceID)"))) {
            const Step* s = byOp.value(row.section(QLatin1Char('|'), 0, 0));
            Violation(node, s,
                      QStringLiteral("device %1 of a kept operation is not recorded whole (no device or article row)")
                          .arg(row.section(QLatin1Char('|'), 1)),
                      s != nullptr ? QList<const Step*>{s} : QList<const Step*>{});
        }
        CheckDevices(node, firstDevice);
    }

    void CheckDevices(const QString& node, qint64 firstDevice) {
        const QVariantList since{firstDevice};
        for (const QString& row :
             Rows(node, QStringLiteral("SELECT Device_Assembly, COUNT(*) FROM device_assembly WHERE AssemblyType = 'A' "
                                       "GROUP BY Device_Assembly HAVING COUNT(*) > 1"))) {
            const QString device = row.section(QLatin1Char('|'), 0, 0);
            Report(node, QStringLiteral("device:") + device,
                   QStringLiteral("device %1 has %2 own assembly rows").arg(device, row.section(QLatin1Char('|'), 1)));
        }
        for (const QString& row :
             Rows(node, QStringLiteral("SELECT a.Device_Assembly, GROUP_CONCAT(DISTINCT z.AssemblyNum) FROM "
                                       "device_assembly a JOIN device_assembly z ON z.Device_Assembly = a.AssemblyNum "
                                       "AND z.AssemblyType = 'Z' WHERE a.AssemblyType = 'A' GROUP BY a.Device_Assembly "
                                       "HAVING COUNT(DISTINCT z.AssemblyNum) > 1"))) {
            const QString device = row.section(QLatin1Char('|'), 0, 0);
            Report(node, QStringLiteral("device:") + device,
                   QStringLiteral("device %1 is a member of the assemblies %2")
                       .arg(device, row.section(QLatin1Char('|'), 1)));
        }
        // By the server's comparison of the column (its collation: letter case, trailing blanks).
        for (const auto& [table, column, prefix] : {std::tuple{"device_productioncode", "ProductionCode", "code:"},
                                                    std::tuple{"device_serialnumber", "SerialNumber", "serial:"}}) {
            for (const QString& row :
                 Rows(node,
                      QStringLiteral("SELECT MIN(%2), GROUP_CONCAT(DISTINCT DeviceID) FROM %1 GROUP BY %2 HAVING "
                                     "COUNT(DISTINCT DeviceID) > 1 AND MAX(DeviceID) >= ?")
                          .arg(QLatin1String(table), QLatin1String(column)),
                      since)) {
                const QString value = row.section(QLatin1Char('|'), 0, 0);
                QString key = value.toUpper();
                while (key.endsWith(QLatin1Char(' '))) {
                    key.chop(1);
                }
                Report(node, QLatin1String(prefix) + key,
                       QStringLiteral("\"%1\" is recorded on the devices %2")
                           .arg(value, row.section(QLatin1Char('|'), 1)));
            }
        }
    }

    // A violation of the database found by its key: the first step on it is named, all of them shown.
    void Report(const QString& node, const QString& key, const QString& what) {
        const QList<const Step*> related = WithKey(key);
        Violation(node, related.value(0, nullptr), what, related);
    }

    int Recorded(const QString& node, const QString& value) {
        return Rows(node,
                    QStringLiteral("SELECT (SELECT COUNT(*) FROM device_productioncode WHERE ProductionCode = ?) + "
                                   "(SELECT COUNT(*) FROM device_serialnumber WHERE SerialNumber = ?)"),
                    {value, value})
            .value(0)
            .toInt();
    }

    int Count() const { return count_; }

private:
    const QList<Step>& steps_;
    quint32 seed_;
    int count_ = 0;
};

}  // namespace

bool WaitUntilNodesAgree(const QStringList& hosts) {
    QElapsedTimer clock;
    clock.start();
    while (!hosts.isEmpty() && clock.elapsed() < 120000) {
        QSet<QString> committed;
        bool synced = true;
        for (const QString& host : hosts) {
            const QStringList status =
                Rows(host, QStringLiteral("SHOW STATUS WHERE Variable_name IN "
                                          "('wsrep_last_committed', 'wsrep_local_state_comment')"));
            synced = synced && status.contains(QStringLiteral("wsrep_local_state_comment|Synced"));
            committed.insert(status.filter(QStringLiteral("wsrep_last_committed")).value(0));
            if (status.isEmpty()) {
                QSqlDatabase::database(QStringLiteral("plantwalk-check-") + host, false).close();
            }
        }
        if (synced && committed.size() == 1) {
            return true;
        }
        QThread::msleep(500);
    }
    return hosts.isEmpty();
}

int CheckRun(const QList<Step>& steps, const QStringList& hosts, quint32 seed, qint64 firstDevice) {
    Checker checker(steps, seed);
    const QStringList nodes = hosts.isEmpty() ? QStringList{QString()} : hosts;
    QString firstSums;
    for (const QString& node : nodes) {
        checker.CheckNode(node, firstDevice);
        const QString sums = Rows(node, QStringLiteral("CHECKSUM TABLE ") + kCheckedTables.join(QStringLiteral(", ")))
                                 .join(QLatin1Char(' '));
        if (firstSums.isEmpty()) {
            firstSums = sums;
        } else if (sums != firstSums) {
            checker.Violation(node, nullptr,
                              QStringLiteral("the traceability tables differ from %1's: %2 against %3")
                                  .arg(nodes.first(), sums, firstSums),
                              {});
        }
    }
    return checker.Count();
}

int ReportRaces(const QList<Step>& steps) {
    QMap<QString, QList<const Step*>> byKey;
    for (const Step& s : steps) {
        if (!s.key.isEmpty()) {
            byKey[s.key].append(&s);
        }
    }
    QMap<QString, int> races, guarded, twiceSaved;
    for (QList<const Step*>& tries : byKey) {
        std::sort(tries.begin(), tries.end(), [](const Step* a, const Step* b) { return a->start < b->start; });
        for (qsizetype i = 0; i < tries.size();) {
            qsizetype j = i;
            QSet<int> stations;
            int saved = 0, refused = 0;
            for (; j < tries.size() && tries[j]->start - tries[i]->start < 1000; ++j) {
                stations.insert(tries[j]->ws);
                saved += ToldSaved(*tries[j]) ? 1 : 0;
                refused += ValueRefused(*tries[j]) ? 1 : 0;
            }
            if (stations.size() > 1) {
                const QString kind = tries[i]->kind;
                ++races[kind];
                guarded[kind] += saved == 1 && refused > 0 ? 1 : 0;
                twiceSaved[kind] += saved > 1 ? 1 : 0;
            }
            i = j;
        }
    }
    int total = 0;
    for (auto it = races.cbegin(); it != races.cend(); ++it) {
        total += it.value();
        Print(
            QStringLiteral("  races on %1: %2, decided by the guard (one saved, the others refused) %3, more than one "
                           "told saved %4")
                .arg(it.key())
                .arg(it.value())
                .arg(guarded.value(it.key()))
                .arg(twiceSaved.value(it.key())));
    }
    return total;
}

}  // namespace plantwalk
