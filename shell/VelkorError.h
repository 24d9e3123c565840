#pragma once

#include <QString>
#include <stdexcept>

// An error as the system reports it: a number, a description and the source that raised it.
// Operations throw it; handlers show it in the generic report or pass it on.
class VelkorError : public std::runtime_error {
public:
    VelkorError(long number, const QString& description, const QString& source = QString())
        : std::runtime_error(description.toStdString()), number_(number), description_(description), source_(source) {}

    long Number() const { return number_; }
    const QString& Description() const { return description_; }
    const QString& Source() const { return source_; }

private:
    long number_;
    QString description_;
    QString source_;
};

// The number of every error the system raises itself.
constexpr long kAppErrorNumber = -2147219503;

// Provider error classes of the database layer.
constexpr long kProviderGeneralFailure = -2147467259;     // includes a refused duplicate row
constexpr long kProviderRejectedStatement = -2147217900;  // a statement the database rejected
