#pragma once

#include <QString>

#include "db/ProviderError.h"

// Texts and tones shared by the steps of the scanning workflow.
namespace msg {

// A line break inside a message.
inline QString Crlf() {
    return QStringLiteral("\r\n");
}

// The text of an error ending: the usual one, or for a database that cannot be reached one that tells the
// worker what happened and what to do.
inline QString ErrorEndingText(const VelkorError& error, const QString& usual) {
    if (!IsConnectionLost(error)) {
        return usual;
    }
    if (IsCommitOutcomeUnknown(error)) {
        return QStringLiteral(
            "Keine Verbindung zur Datenbank. Ob der Vorgang gespeichert wurde, ist nicht bekannt. "
            "Bitte den Zusammenbau erneut aufrufen und prüfen.");
    }
    return QStringLiteral("Keine Verbindung zur Datenbank. Der Vorgang wird Gelöscht.") + Crlf() +
           QStringLiteral("Bitte erneut scannen, sobald die Verbindung wieder besteht.");
}

constexpr int kRefusalToneHz = 600;
constexpr int kRefusalToneMs = 300;
constexpr int kConfirmToneHz = 800;
constexpr int kConfirmToneMs = 400;

inline QString NoOrder() {
    return QStringLiteral("Hinzufügen von Produktionscodes ohne Produktionsauftrag nicht möglich!");
}
inline QString SerNrUsed() {
    return QStringLiteral("Seriennummer wurde bereits Verwendet");
}
// Names a scanned value at the start of a refusal of StorageRefusal.
inline QString ScannedValue() {
    return QStringLiteral("Der gescannte Wert");
}
inline QString ScanPrompt() {
    return QStringLiteral("Bitte eine Produktionscode oder Seriennummer Scannen");
}
inline QString UntestedTail() {
    return Crlf() + QStringLiteral("Es dürfen an dieser Stelle nur vogeteste Artikel eingebaut werden.") + Crlf() +
           QStringLiteral("Möchten sie den Vorgang trotzdem durchführen ?");
}
// The question for a recorded component that has not passed its test.
inline QString UntestedProdCode() {
    return QStringLiteral("Dieser Produktionscode gehört zu einem bisher ungetesteten Artikel. ") + UntestedTail();
}

}  // namespace msg
