#include "tests/walk/WalkMessages.h"

namespace {

struct Entry {
    const char* start;  // the message begins with this text
    MessageClass cls;
    bool laterSteps;
};

// Every message the workflow and the rework show with only an OK button, by how it begins; questions are
// recognised by their buttons. A message not listed counts as a note.
// clang-format off
const Entry kMessages[] = {
    // The scan and the double-click entry refuse the value.
    {"Hinzufügen von Produktionscodes ohne Produktionsauftrag nicht möglich!", MessageClass::Refusal, false},
    {"Eingabe entspricht nicht dem zugelassenen Format", MessageClass::Refusal, false},
    {"Der gescannte Wert entspricht werder einer Seriennummer noch einem", MessageClass::Refusal, false},
    {"Der gescannte Wert", MessageClass::Refusal, false},
    {"Die Artikelnummer ", MessageClass::Refusal, false},
    {"Die Produktionsauftragsnummer", MessageClass::Refusal, false},
    {"Seriennummer wurde bereits Verwendet", MessageClass::Refusal, false},
    {"Der Produktionscode wurde bereits in diesem Zusammenbau verwendet", MessageClass::Refusal, false},
    {"Der gescannte Produktionskode hat die Artikelnummer:", MessageClass::Refusal, false},
    {"Der gescannte Produktionskode wurde bereits in einem Zusammenbau verwendet", MessageClass::Refusal, false},
    {"Produktionscode wurde bereits verwendet und kann nicht nocheinmal zugewiesen werden.", MessageClass::Refusal, false},
    {"Produktionscode wurde diesem Artikel bereits zugewiesen", MessageClass::Refusal, false},
    // The completion prompts refuse what was typed into them.
    {"Eingabe entspricht nicht dem Produktioncode Format", MessageClass::StepRefusal, false},
    {"Seriennummer entspricht nicht dem zugelassenen Format", MessageClass::StepRefusal, false},
    {"Seriennummer ist ungültig", MessageClass::StepRefusal, false},
    // Showing a device.
    {"Produktionscode oder Seriennummer ungültig oder unbekannt", MessageClass::Refusal, false},
    {"Dieser Produktionscode ist noch unbekannt", MessageClass::Refusal, false},
    {"Dieser Produktionscode ist bisher noch unbekannt", MessageClass::Refusal, false},
    {"Dieser Produktionscode wurde noch in keinem Zusammenbau", MessageClass::Refusal, false},
    {"Dieser Artikel wurde keinem Gerät", MessageClass::Refusal, false},
    {"Dieser Artikel wurde bisher keinem Gerät zugewiesen", MessageClass::Refusal, false},
    {"Das gescannte Endgerät wurde unter dem Produktionsauftrag", MessageClass::Refusal, false},
    {"Produktionscode ungültig", MessageClass::Refusal, false},
    {"Es Wurde kein Artikel in dem Produktionsauftrag gefunden", MessageClass::Refusal, false},
    {"Achtung ! ", MessageClass::Info, false},
    // The drop.
    {"Kein Einfügen in leere Struktur möglich", MessageClass::Refusal, false},
    {"Der Zielknoten beinhalten eine Komponente", MessageClass::Refusal, false},
    {"Ein Leeres Element kann nicht verschoben werden.", MessageClass::Refusal, false},
    {"Falsches Passwort", MessageClass::Refusal, false},
    {"Kein PA für Umrüstung vorhanden", MessageClass::Refusal, false},
    {"Einfügen nicht möglich.", MessageClass::Refusal, false},
    // The removal.
    {"Das oberste Gerät ist in keiner Zuweisung verbaut", MessageClass::Refusal, false},
    // The record editors.
    {"Die Änderung wurde nicht gespeichert", MessageClass::Refusal, false},
    {"Es ist kein Datensatz ausgewählt", MessageClass::Refusal, false},
    // The order field and the order's structure.
    {"Bitte einen numerischen Wert eingeben", MessageClass::Refusal, false},
    {"Unbekannter Produktionsauftrag", MessageClass::Refusal, false},
    {"Bitte einen Produktionsauftrag eingeben!", MessageClass::Refusal, false},
    {"Bitte einen Produktionsauftrag eigeben!", MessageClass::Refusal, false},
    {"Ungültiger Produktionsauftrag", MessageClass::Refusal, false},
    {"Dieser Artikel beinhaltet keine @? Flags", MessageClass::Refusal, false},
    // A committed scan whose follow-up failed: the scan stays recorded.
    {"Der Scan wurde gespeichert.", MessageClass::Info, false},
    // Error endings and error reports.
    {"Es ist ein Fehler aufgetreten. Der Vorgang wird Gelöscht", MessageClass::ErrorEnding, false},
    // A connection lost around the commit, and the journal asked afterwards: kept, or not to be found out.
    {"Die Verbindung zur Datenbank war unterbrochen. Der Vorgang wurde trotzdem gespeichert.", MessageClass::Info, false},
    {"Keine Verbindung zur Datenbank. Ob der Vorgang gespeichert wurde, ist nicht bekannt.", MessageClass::Info, false},
    {"Keine Verbindung zur Datenbank.", MessageClass::ErrorEnding, false},
    {"Der Vorgang wird Gelöscht", MessageClass::ErrorEnding, false},
    {"Es ist Ein Fehler Aufgetereten. Der Vorgang wird Rückgängig gemacht", MessageClass::ErrorEnding, false},
    {"Fehler beim erstellen des Assembly Entrys", MessageClass::ErrorEnding, false},
    {"Error ", MessageClass::ErrorEnding, false},
    {"Data error event hit err:", MessageClass::ErrorEnding, false},
    {"Achtung eine oder mehrere Transaktionen wurden nicht gültig beendet", MessageClass::ErrorEnding, false},
    {"Die Wurzel der DeviceID ist innerhalb der Assembly Tabelle nicht eindeutig", MessageClass::ErrorEnding, false},
};

// Questions after which the action is in its later steps.
const char* const kLaterStepQuestions[] = {
    "Bitte vollständige Asemblierung bestätigen",
    "Der Produktionscode gehört zu einem bereits angefangenem Zusammenbau",
};

const char* const kLaterStepInputs[] = {"Produktionscode Eingabe", "Seriennummer Eingabe",
                                        "Produktions- Seriennummern Eingabe"};
// clang-format on

}  // namespace

MessageKind ClassifyMessage(const QString& text, MsgButtons buttons) {
    if (buttons != MsgButtons::Ok) {
        for (const char* start : kLaterStepQuestions) {
            if (text.startsWith(QString::fromUtf8(start))) {
                return {MessageClass::Question, true};
            }
        }
        return {MessageClass::Question, false};
    }
    for (const Entry& entry : kMessages) {
        if (text.startsWith(QString::fromUtf8(entry.start))) {
            return {entry.cls, entry.laterSteps};
        }
    }
    return {};
}

bool IsLaterStepInput(const QString& title) {
    for (const char* input : kLaterStepInputs) {
        if (title == QString::fromUtf8(input)) {
            return true;
        }
    }
    return false;
}

const char* MessageClassName(MessageClass cls) {
    switch (cls) {
        case MessageClass::Info:
            return "note";
        case MessageClass::Question:
            return "question";
        case MessageClass::Refusal:
            return "refusal";
        case MessageClass::StepRefusal:
            return "step refusal";
        case MessageClass::ErrorEnding:
            return "error ending";
    }
    return "";
}
