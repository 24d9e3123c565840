#include "db/HostConnection.h"

#include <QSqlQuery>
#include <QStringList>

#include "db/OdbcSource.h"
#include "shell/Settings.h"

namespace {

QString Shown(const QSqlDatabase& db, const QString& statement) {
    QSqlQuery query(db);
    return query.exec(statement) && query.next() ? query.value(1).toString().trimmed() : QString();
}

}  // namespace

QString ServerVariable(const QSqlDatabase& db, const QString& name) {
    // The name is one of the program's own, never a value typed by someone: SHOW takes no bound parameters.
    return Shown(db, QStringLiteral("SHOW VARIABLES LIKE '%1'").arg(name));
}

QString ServerStatus(const QSqlDatabase& db, const QString& name) {
    return Shown(db, QStringLiteral("SHOW STATUS LIKE '%1'").arg(name));
}

bool OpenOnHostList(QSqlDatabase& db, QString* host) {
    QStringList hosts = Settings::DatabaseHosts();
    if (hosts.isEmpty()) {
        hosts.append(QString());
    }
    for (const QString& candidate : hosts) {
        db.close();
        db.setDatabaseName(candidate.isEmpty() ? odbc::ConnectOptions() : odbc::ConnectOptions(candidate));
        if (!db.open()) {
            continue;
        }
        if (ServerVariable(db, QStringLiteral("wsrep_on")).compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0) {
            // A node cut off from the cluster's primary component is no server to work on.
            if (ServerStatus(db, QStringLiteral("wsrep_ready")) != QLatin1String("ON")) {
                db.close();
                continue;
            }
            QSqlQuery(db).exec(QStringLiteral("SET SESSION wsrep_sync_wait = 1"));
        }
        if (host != nullptr) {
            *host = candidate;
        }
        return true;
    }
    return false;
}
