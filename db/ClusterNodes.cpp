// The servers a connection goes to (the host list) and what it learns of a Galera cluster on connecting.

#include <QFile>
#include <QSqlQuery>

#include "db/AssemblyDbClass.h"
#include "db/OdbcSource.h"
#include "db/ProviderError.h"
#include "shell/EventLog.h"

namespace {

// The first column of the first row of a SHOW statement's answer, the value; empty when there is none.
QString ShownValue(QSqlQuery query) {
    return query.next() ? query.value(1).toString().trimmed() : QString();
}

QString ClaimTableStatement() {
    QFile file(QStringLiteral(":/velkor/cluster-claims.sql"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

}  // namespace

QString AssemblyDbClass::CurrentHost() const {
    return hostIndex_ >= 0 && hostIndex_ < hosts_.size() ? hosts_.at(hostIndex_) : QString();
}

void AssemblyDbClass::ConnectToHosts(int first) {
    ProviderError failure = ProviderError::ConnectionClosed();
    for (int i = 0; i < hosts_.size(); ++i) {
        const int index = (first + i) % hosts_.size();
        {
            QSqlDatabase db = DBConObj();
            db.close();
            db.setDatabaseName(odbc::ConnectOptions(hosts_.at(index)));
        }
        try {
            Connect();
        } catch (const ProviderError& error) {
            DBConObj().close();
            failure = error;
            continue;
        }
        if (hostIndex_ >= 0 && index != hostIndex_) {
            LogEvent(QStringLiteral("Datenbankserver gewechselt: %1 war nicht erreichbar, weiter mit %2")
                         .arg(hosts_.at(hostIndex_), hosts_.at(index)));
        }
        hostIndex_ = index;
        return;
    }
    throw failure;
}

void AssemblyDbClass::ProbeCluster() {
    onCluster_ = ShownValue(Send(QStringLiteral("SHOW VARIABLES LIKE 'wsrep_on'"), {}))
                     .compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0;
    claimTable_ = false;
    if (!onCluster_) {
        return;
    }
    // A node that is not part of the cluster's primary component (joining, cut off) refuses statements: it is
    // no server to work on, as if it did not answer.
    if (!NodeIsReady()) {
        throw ProviderError(kProviderGeneralFailure, QStringLiteral("Der Datenbankknoten ist nicht bereit"),
                            mariadb_error::kWsrepNotReady);
    }
    // Every read waits until the node has applied what the cluster committed before it (causal reads): a
    // workstation sees the rows another node's workstation recorded a moment ago, as on one server. Autocommit is
    // off: when the cluster gives a transaction up, the statements that follow (which may not hear of it) are
    // kept in a transaction of their own that the commit finds out and rolls back (see Commit); a change outside a
    // transaction is committed right after it.
    Send(QStringLiteral("SET SESSION wsrep_sync_wait = 1, SESSION autocommit = 0"), {});
    QSqlQuery present = Send(QStringLiteral("SELECT COUNT(*) FROM information_schema.TABLES "
                                            "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = 'velkor_claim'"),
                             {});
    claimTable_ = present.next() && present.value(0).toInt() > 0;
    if (claimTable_) {
        return;
    }
    try {
        Send(ClaimTableStatement(), {});
        claimTable_ = true;
    } catch (const ProviderError& error) {
        // Without the table the named locks are all there is: they keep two workstations of one node apart,
        // not two of different nodes.
        LogEvent(QStringLiteral("Die Tabelle velkor_claim fehlt und kann nicht angelegt werden (%1); doppelte "
                                "Erfassungen über verschiedene Knoten sind nicht ausgeschlossen. Bitte "
                                "db/cluster-claims.sql einspielen.")
                     .arg(error.Description()));
    }
}

bool AssemblyDbClass::HasClaimTable() const {
    return claimTable_;
}

bool AssemblyDbClass::NodeIsReady() {
    return ShownValue(Send(QStringLiteral("SHOW STATUS LIKE 'wsrep_ready'"), {})) == QLatin1String("ON");
}

ProviderError AssemblyDbClass::OnUnreadyNode(const ProviderError& error) {
    // A node cut off from the cluster's majority does not always say so: a read waits for the cluster (causal
    // reads) and fails as a lock wait time-out, a write may fail in other ways. So any failure but a repeated row
    // asks the node (SHOW is answered without waiting for the cluster); a node that is not ready, or does not
    // answer the question, is left for the next host of the list.
    if (!onCluster_ || error.IsConnectionLost() || error.IsDuplicateRow()) {
        return error;
    }
    try {
        if (NodeIsReady()) {
            return error;
        }
    } catch (const ProviderError&) {
        // No answer either: left as not ready.
    }
    return ProviderError(
        kProviderGeneralFailure,
        QStringLiteral("Der Datenbankknoten %1 ist nicht bereit (%2)")
            .arg(CurrentHost().isEmpty() ? QStringLiteral("der Datenquelle") : CurrentHost(), error.Description()),
        mariadb_error::kWsrepNotReady);
}
