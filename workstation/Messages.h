#pragma once

#include <QString>

// Texts and tones shared by the steps of the scanning workflow.
namespace msg {

// A line break inside a message.
inline QString Crlf() {
    return QStringLiteral("\r\n");
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
