#pragma once

#include <QSqlError>

#include "shell/VelkorError.h"

// The MariaDB error numbers the program tells apart.
namespace mariadb_error {
constexpr int kDuplicateKey = 1022;
constexpr int kAccessDenied = 1045;
constexpr int kUnknownDatabase = 1049;
constexpr int kWsrepNotReady = 1047;
constexpr int kServerShutdown = 1053;
constexpr int kDuplicateEntry = 1062;
constexpr int kDeadlock = 1213;
constexpr int kDuplicateEntryWithKeyName = 1586;
constexpr int kConnectionKilled = 1927;
constexpr int kCannotConnectSocket = 2002;
constexpr int kCannotConnectTcp = 2003;
constexpr int kUnknownHost = 2005;
constexpr int kServerGone = 2006;
constexpr int kConnectionLostInQuery = 2013;
constexpr int kConnectionLostReading = 2055;
constexpr int kDisconnectedForInactivity = 4031;
}  // namespace mariadb_error

// A failure reported by the database or its driver, mapped onto the provider error classes
// the operations branch on. The database's own error number is kept for the cases that need it.
class ProviderError : public VelkorError {
public:
    ProviderError(long number, const QString& description, int nativeCode)
        : VelkorError(number, description, QStringLiteral("Microsoft OLE DB Provider for ODBC Drivers")),
          nativeCode_(nativeCode) {}

    static ProviderError FromSqlError(const QSqlError& error);
    // The connection is not open (never opened, or closed after a failure).
    static ProviderError ConnectionClosed();
    // A statement refused because the transaction it belongs to has already been discarded by the server.
    static ProviderError TransactionDiscarded();
    // The answer to a COMMIT was lost and whether the server kept the transaction could not be found out either
    // (the reason given): a lost connection whose operation may or may not be recorded.
    static ProviderError CommitOutcomeUnknown(const QString& reason);

    int NativeCode() const { return nativeCode_; }
    // The database refused a row because it would repeat a unique key.
    bool IsDuplicateRow() const;
    // The connection to the server broke (or was never there): the server has discarded an open transaction.
    bool IsConnectionLost() const;
    // After this error the server holds no open transaction of this connection any more (deadlock victim,
    // lost connection).
    bool DiscardsTransaction() const;
    bool IsCommitOutcomeUnknown() const { return outcomeUnknown_; }

private:
    int nativeCode_;
    bool outcomeUnknown_ = false;
};

// True when the error is a lost connection after which the operation may or may not be recorded.
inline bool IsCommitOutcomeUnknown(const VelkorError& error) {
    const auto* provider = dynamic_cast<const ProviderError*>(&error);
    return provider != nullptr && provider->IsCommitOutcomeUnknown();
}

// True when the error is a provider error of a lost (or never opened) connection.
inline bool IsConnectionLost(const VelkorError& error) {
    const auto* provider = dynamic_cast<const ProviderError*>(&error);
    return provider != nullptr && provider->IsConnectionLost();
}
