// Guards of the check-then-write steps: a recorded device that is about to be placed, moved, converted or
// corrected, and the values (codes and serial numbers) about to be recorded (their guard is in DeviceIdentity.cpp).

#include "db/AssemblyDbClass.h"
#include "db/ProviderError.h"

namespace {

constexpr int kLockWaitTimeout = 1205;

}  // namespace

QString AssemblyDbClass::ValueKeyExpression() const {
    // The key is the value's weight under the identifier columns' collation (what their comparisons compare), with
    // trailing blanks left out as the server's PAD SPACE comparison leaves them out: a value in another letter case
    // or with blanks behind it is the same key. Hashed, as lock names are at most 64 characters.
    return QStringLiteral(
               "CONCAT('velkor.value.', SHA1(WEIGHT_STRING(TRIM(TRAILING ' ' FROM CONVERT(? USING %1)) "
               "COLLATE %2)))")
        .arg(identifierCharset_, identifierCollation_);
}

QList<AssemblyDbClass::Statement> AssemblyDbClass::DeviceGuardStatements(qint32 devId) const {
    // The row lock: a device another workstation of this server (or node) is writing, or has just created and not
    // committed yet (its uncommitted rows are read here), is waited for.
    QList<Statement> statements{{QStringLiteral("SELECT ID FROM device WHERE ID = ? FOR UPDATE"), {devId}}};
    if (onCluster_ && claimTable_) {
        // Row locks stay on their node of a cluster; a written row is what the cluster certifies.
        statements += ClaimStatements(QStringLiteral("CONCAT('velkor.device.', ?)"), devId);
    }
    return statements;
}

bool AssemblyDbClass::GuardDevice(qint32 devId) {
    try {
        const QList<Statement> statements = DeviceGuardStatements(devId);
        const bool recorded = !Select(statements.first().sql, statements.first().values).Eof();
        for (const Statement& statement : statements.mid(1)) {
            Execute(statement.sql, statement.values);
        }
        // The journal names the device the operation is about to write; not one that turned out to be another
        // workstation's, read uncommitted and then undone.
        if (recorded) {
            NoteDeviceWritten(devId);
        }
        return recorded;
    } catch (const ProviderError& error) {
        if (error.NativeCode() != kLockWaitTimeout) {
            throw;
        }
        throw VelkorError(kAppErrorNumber,
                          QStringLiteral("Das Gerät %1 wird gerade an einem anderen Arbeitsplatz bearbeitet. Bitte "
                                         "später erneut versuchen.")
                              .arg(devId));
    }
}

bool AssemblyDbClass::ClaimValueKey(const QString& value) {
    if (!claimTable_) {
        return false;
    }
    Claim(ValueKeyExpression(), value);
    return true;
}

QList<AssemblyDbClass::Statement> AssemblyDbClass::ClaimStatements(const QString& keyExpression,
                                                                   const QVariant& value) {
    return {{QStringLiteral("INSERT INTO velkor_claim ( ClaimKey ) VALUES (%1);").arg(keyExpression), {value}},
            {QStringLiteral("DELETE FROM velkor_claim WHERE ClaimKey = %1;").arg(keyExpression), {value}}};
}

void AssemblyDbClass::Claim(const QString& keyExpression, const QVariant& value) {
    for (const Statement& statement : ClaimStatements(keyExpression, value)) {
        Execute(statement.sql, statement.values);
    }
}
