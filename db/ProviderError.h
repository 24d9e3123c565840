#pragma once

#include <QSqlError>

#include "shell/VelkorError.h"

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

    int NativeCode() const { return nativeCode_; }
    // The database refused a row because it would repeat a unique key.
    bool IsDuplicateRow() const;
    // The connection to the server broke (or was never there): the server has discarded an open transaction.
    bool IsConnectionLost() const;
    // After this error the server holds no open transaction of this connection any more (deadlock victim,
    // lost connection).
    bool DiscardsTransaction() const;

private:
    int nativeCode_;
};

// True when the error is a provider error of a lost (or never opened) connection.
inline bool IsConnectionLost(const VelkorError& error) {
    const auto* provider = dynamic_cast<const ProviderError*>(&error);
    return provider != nullptr && provider->IsConnectionLost();
}
