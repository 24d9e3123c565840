#pragma once

#include <QSqlDatabase>
#include <QString>

// Opens a connection of its own (a QODBC connection added by the caller) as the workstation's session opens its
// own: with a host list (Settings::DatabaseHosts) on the first host that answers and, on a Galera cluster, is
// ready, with causal reads (a row another node committed a moment ago is seen); without one, on the data source's
// server. True with the connection open, host set to the host of the list ("" without a list); false when no server
// could be used (db.lastError() holds the last failure of an open).
bool OpenOnHostList(QSqlDatabase& db, QString* host = nullptr);

// What a server says of itself as a Galera node: SHOW VARIABLES / SHOW STATUS values, empty when it is no node or
// does not answer.
QString ServerVariable(const QSqlDatabase& db, const QString& name);
QString ServerStatus(const QSqlDatabase& db, const QString& name);
