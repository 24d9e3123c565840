#pragma once

#include <QSqlDatabase>
#include <QString>

#include "db/DataSourceLookup.h"

// A trial connection to the traceability database, as the program opens it, with the reason when it fails:
// the start-up and "velkor --check" tell the technician which of these it is instead of the driver's text.
enum class ConnectionState {
    Open,
    DataSourceMissing,  // the driver manager knows no data source TestLogNew
    DriverMissing,      // it does, but the driver's file is not there
    ServerUnreachable,  // the server does not answer at the address of the data source
    LoginRefused,       // the server refuses the account
    DatabaseMissing,    // the account logs in, but the database is not there
    OtherError,
};

class ConnectionProbe {
public:
    // Looks the data source up and, when it is there with its driver, opens a connection of its own.
    ConnectionProbe();
    ~ConnectionProbe();
    ConnectionProbe(const ConnectionProbe&) = delete;
    ConnectionProbe& operator=(const ConnectionProbe&) = delete;

    ConnectionState State() const { return state_; }
    const DataSourceInfo& DataSource() const { return dataSource_; }
    // The driver's or the server's own text of the failure; empty when the connection is open.
    const QString& ErrorText() const { return errorText_; }
    // The open connection (only while State() is Open).
    QSqlDatabase Database() const;

private:
    QString connectionName_;
    DataSourceInfo dataSource_;
    ConnectionState state_ = ConnectionState::OtherError;
    QString errorText_;
};

// The state of a connect that failed with this error.
ConnectionState ConnectFailureState(int nativeCode, const QString& text);

// The German message at the start of the program when the database cannot be used because of the data source
// or the server; empty for an open connection and for every other failure (which the program reports as
// before). It names the problem, what to check and "velkor --check".
QString StartProblemMessage(ConnectionState state, const DataSourceInfo& source);

// The German message at the start of the program on a Galera cluster without the claim table velkor_claim (which
// the session could not create): it names db/cluster-claims.sql and "velkor --check".
QString MissingClaimTableMessage();
// Shows it (once, through the dialogs interface) when the session is on a cluster without the table.
void ReportMissingClaimTable(bool onCluster, bool hasClaimTable);
