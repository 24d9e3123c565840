#include "db/ConnectionProbe.h"

#include <QAtomicInt>
#include <QSqlError>

#include "db/HostConnection.h"
#include "db/ProviderError.h"
#include "shell/UserDialogs.h"

namespace {

using namespace mariadb_error;

QString NextConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("ConnectionProbe%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

const char* const kCheckHint = "Was genau fehlt, zeigt der Befehl „velkor --check“ im Terminal.";
const char* const kEnding = "Das Programm wird beendet.";

}  // namespace

ConnectionState ConnectFailureState(int nativeCode, const QString& text) {
    switch (nativeCode) {
        case kCannotConnectSocket:
        case kCannotConnectTcp:
        case kUnknownHost:
        case kServerGone:
        case kConnectionLostInQuery:
            return ConnectionState::ServerUnreachable;
        case kAccessDenied:
            return ConnectionState::LoginRefused;
        case kUnknownDatabase:
            return ConnectionState::DatabaseMissing;
        default:
            break;
    }
    if (text.contains(QLatin1String("Data source name not found"), Qt::CaseInsensitive)) {
        return ConnectionState::DataSourceMissing;
    }
    if (text.contains(QLatin1String("Can't open lib"), Qt::CaseInsensitive)) {
        return ConnectionState::DriverMissing;
    }
    return ConnectionState::OtherError;
}

ConnectionProbe::ConnectionProbe()
    : connectionName_(NextConnectionName()), dataSource_(LookUpDataSource(QLatin1String(kDataSourceName))) {
    if (!dataSource_.defined) {
        state_ = ConnectionState::DataSourceMissing;
        return;
    }
    if (!dataSource_.driverFileExists) {
        state_ = ConnectionState::DriverMissing;
        return;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName_);
    // With a host list the program works on as long as one of its servers answers.
    if (OpenOnHostList(db)) {
        state_ = ConnectionState::Open;
        return;
    }
    const QSqlError error = db.lastError();
    errorText_ = error.databaseText().trimmed().isEmpty() ? error.text().trimmed() : error.databaseText().trimmed();
    state_ = ConnectFailureState(ProviderError::FromSqlError(error).NativeCode(), error.text());
}

ConnectionProbe::~ConnectionProbe() {
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase ConnectionProbe::Database() const {
    return QSqlDatabase::database(connectionName_, false);
}

QString StartProblemMessage(ConnectionState state, const DataSourceInfo& source) {
    QString problem;
    switch (state) {
        case ConnectionState::DataSourceMissing:
            problem = QStringLiteral(
                          "Die Datenquelle %1 ist auf diesem Rechner nicht eingerichtet.\n\nBitte die ODBC-Datenquelle "
                          "%1 einrichten lassen (in %2/odbc.ini; ein Beispiel liegt unter "
                          "/usr/share/doc/velkor/examples/odbc.ini).")
                          .arg(source.name, source.systemFolder);
            break;
        case ConnectionState::DriverMissing:
            problem = QStringLiteral(
                          "Die Datenquelle %1 ist eingerichtet, aber ihr ODBC-Treiber fehlt (%2).\n\nBitte das Paket "
                          "odbc-mariadb installieren oder den Treiber der Datenquelle berichtigen lassen.")
                          .arg(source.name, source.driverFile.isEmpty() ? source.driverEntry : source.driverFile);
            break;
        case ConnectionState::ServerUnreachable:
            problem =
                QStringLiteral(
                    "Der Datenbankserver der Datenquelle %1 ist nicht erreichbar (%2).\n\nBitte prüfen: die "
                    "Netzwerkverbindung dieses Rechners, ob der Server läuft, und SERVER und PORT der "
                    "Datenquelle (in %3/odbc.ini).")
                    .arg(source.name, source.server.isEmpty() ? QStringLiteral("kein Server angegeben") : source.server,
                         source.systemFolder);
            break;
        default:
            return QString();
    }
    return problem + QStringLiteral("\n") + QString::fromUtf8(kCheckHint) + QStringLiteral("\n\n") +
           QString::fromUtf8(kEnding);
}

QString MissingClaimTableMessage() {
    return QStringLiteral(
               "Die Datenbank ist ein Galera-Cluster, aber die Tabelle velkor_claim fehlt und kann mit dem Konto "
               "dieses "
               "Arbeitsplatzes nicht angelegt werden.\n\nOhne sie sind doppelte Erfassungen desselben Produktionscodes "
               "oder "
               "derselben Seriennummer an Arbeitsplätzen verschiedener Knoten nicht ausgeschlossen. Bitte die Tabelle "
               "aus "
               "db/cluster-claims.sql einspielen lassen.\n") +
           QString::fromUtf8(kCheckHint);
}

void ReportMissingClaimTable(bool onCluster, bool hasClaimTable) {
    if (onCluster && !hasClaimTable) {
        Dialogs().MsgBox(MissingClaimTableMessage(), MsgButtons::Ok, MsgIcon::Exclamation);
    }
}
