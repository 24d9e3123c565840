#include "db/ProviderError.h"

#include <QRegularExpression>

namespace {

using namespace mariadb_error;

// The first MariaDB error number in the driver's native code list (e.g. "1062" or "1062;0").
int FirstNativeCode(const QSqlError& error) {
    static const QRegularExpression number(QStringLiteral("\\d+"));
    const auto matches = number.globalMatch(error.nativeErrorCode());
    int code = 0;
    auto it = matches;
    while (it.hasNext()) {
        const int value = it.next().captured().toInt();
        if (value != 0) {
            return value;
        }
        code = value;
    }
    return code;
}

bool IsConnectionLostCode(int code) {
    switch (code) {
        case kServerShutdown:
        case kWsrepNotReady:  // a cluster node cut off from the cluster: another node is to be used
        case kConnectionKilled:
        case kCannotConnectSocket:
        case kCannotConnectTcp:
        case kServerGone:
        case kConnectionLostInQuery:
        case kConnectionLostReading:
        case kDisconnectedForInactivity:
            return true;
        default:
            return false;
    }
}

bool IsStatementError(int code) {
    // Errors the server raises for the statement itself (syntax, unknown table or column, bad value)
    // lie in the server's range; the client library's own errors (2000 and up) are connection failures.
    return code >= 1000 && code < 2000 && !IsConnectionLostCode(code);
}

}  // namespace

ProviderError ProviderError::FromSqlError(const QSqlError& error) {
    int code = FirstNativeCode(error);
    // A connection handle the driver itself no longer holds open (seen after a server restart) fails a statement
    // before it is sent: Qt then reports no error at all, or the driver's "Connection not open" without a server
    // number. The connection is lost all the same, to be opened again.
    if (code == 0 &&
        (error.type() == QSqlError::NoError ||
         error.databaseText().contains(QLatin1String("Connection not open"), Qt::CaseInsensitive) ||
         error.driverText().contains(QLatin1String("Unable to allocate statement handle"), Qt::CaseInsensitive))) {
        return ProviderError::ConnectionClosed();
    }
    QString description = error.databaseText().trimmed();
    if (description.isEmpty()) {
        description = error.text().trimmed();
    }
    if (description.isEmpty()) {
        description = QStringLiteral("Unbekannter Datenbankfehler");
    }
    const bool duplicate = code == kDuplicateEntry || code == kDuplicateKey || code == kDuplicateEntryWithKeyName;
    const long number = (duplicate || !IsStatementError(code)) ? kProviderGeneralFailure : kProviderRejectedStatement;
    return ProviderError(number, description, code);
}

bool ProviderError::IsDuplicateRow() const {
    return nativeCode_ == kDuplicateEntry || nativeCode_ == kDuplicateKey || nativeCode_ == kDuplicateEntryWithKeyName;
}

ProviderError ProviderError::ConnectionClosed() {
    return ProviderError(kProviderGeneralFailure, QStringLiteral("Keine Verbindung zur Datenbank"), kServerGone);
}

ProviderError ProviderError::TransactionDiscarded() {
    return ProviderError(kProviderGeneralFailure,
                         QStringLiteral("Die Datenbank hat den laufenden Vorgang bereits verworfen"), kDeadlock);
}

ProviderError ProviderError::CommitOutcomeUnknown(const QString& reason) {
    ProviderError error(kProviderGeneralFailure,
                        QStringLiteral("Antwort auf COMMIT verloren, Ergebnis nicht feststellbar (%1)").arg(reason),
                        kConnectionLostInQuery);
    error.outcomeUnknown_ = true;
    return error;
}

bool ProviderError::IsConnectionLost() const {
    return IsConnectionLostCode(nativeCode_);
}

bool ProviderError::DiscardsTransaction() const {
    return nativeCode_ == kDeadlock || IsConnectionLost();
}
