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

    int NativeCode() const { return nativeCode_; }
    // The database refused a row because it would repeat a unique key.
    bool IsDuplicateRow() const;

private:
    int nativeCode_;
};
