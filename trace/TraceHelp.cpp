#include "trace/TraceHelp.h"

const char* TraceHelpText() {
    return R"(Aufruf: velkor-trace BEFEHL [ARGUMENTE] [--csv | --json] [--svg DATEI] [--dot DATEI]

Rückverfolgungs-Abfragen auf der Velkor-Datenbank (nur lesend: die Sitzung ist auf dem
Server schreibgeschützt; ODBC-Datenquelle TestLogNew).

Befehle:
  show CODE              Die Genealogie jedes Geräts, das CODE trägt (Produktionscode,
                         eigene Seriennummer oder Fremdseriennummer): sein Endprodukt und
                         jedes Gerät darunter, je Zeile mit Artikel, Produktionscodes,
                         Seriennummern, PA, Vollständigkeit (gespeichert und, wo sie
                         abweicht, gezählt), letztem Testergebnis und dem Journal (wann,
                         wo und von wem erfasst, verschoben, umgerüstet, ausgebaut oder
                         korrigiert). Wieder ausgebaute Komponenten stehen an ihrem
                         früheren Platz, markiert AUSGEBAUT.
  where-used CODE...     Für jeden Code jedes Endprodukt, das sein Gerät in beliebiger
                         Tiefe enthält oder enthielt: der Weg vom Endprodukt hinab, Artikel,
                         PA, Produktionscode und Seriennummer des Endprodukts und ob die
                         Komponente noch verbaut oder ausgebaut ist. Nicht erfasste Codes
                         heißen unbekannt.
  order PA               Stand des Produktionsauftrags PA: jedes Endprodukt mit
                         Vollständigkeit (wie der Arbeitsplatz zählt; der gespeicherte
                         Merker, wo er abweicht), dem schlechtesten letzten Testergebnis
                         darunter und was fehlt; Baugruppen aus anderen Aufträgen; Summen.
                         Führende Nullen (000240104) werden ignoriert.
  recall KRITERIEN       Rückruf: die Komponenten nach Kriterien, und je betroffenem
                         Endprodukt eine Zeile (Codes, Seriennummer, PA, Komponente verbaut
                         oder ausgebaut, letzter Test und Datum), mit Anzahlen.
  history CODE           Das Journal jedes Geräts, das CODE trägt, in zeitlicher Folge.

Kriterien von recall (mindestens eines; alle angegebenen müssen zutreffen):
  --article MUSTER       Artikel (* beliebiger Text, ? ein Zeichen), z. B. FM-53*
  --codes VON..BIS       Produktionscodes oder Seriennummern im Bereich (als Text)
  --recorded VON..BIS    Datum der Produktionscodes oder Seriennummern (2024-10-01..2024-10-31)
  --order-recorded VON..BIS  Datum der Auftragszeilen der Komponente
  --supplier NR          Lieferant (SubManufacturer der Stückliste)
  --order PA             Auftrag der Komponente oder des Geräts, in das sie verbaut ist/war
  --scanned VON..BIS     Journal: Zeit der Erfassung
  --workstation NAME     Journal: Arbeitsplatz der Erfassung
  --user NAME            Journal: Benutzer der Erfassung
  Ein Ende eines Bereichs darf fehlen (2024-10-01.. oder ..P24100099).

Optionen:
  --csv                  CSV für Tabellenkalkulationen (";"-getrennt, eine Kopfzeile).
  --json                 JSON für Skripte.
  --xlsx DATEI           recall: zusätzlich eine Tabelle (Excel-Arbeitsmappe) in DATEI.
  --from DATEI           where-used: Codes aus DATEI, einer je Zeile ("-": Standardeingabe).
  --svg DATEI            show, where-used: die Genealogie als Bild (Graphviz) in DATEI.
  --dot DATEI            show, where-used: die Graphviz-Quelle des Bildes in DATEI.
  --version              zeigt die Version.
  -h, --help             zeigt diese Hilfe.

Warnungen: ein Code, der mehrere Geräte bezeichnet (jedes wird aufgeführt), und ein
Zyklus in der Baugruppen-Tabelle (BESCHÄDIGT) stehen in jeder Ausgabe und auf der
Standardfehlerausgabe.

Rückgabewert (der höchste zutreffende):
  0  jeder Code (oder der Auftrag) wurde gefunden
  1  manche Codes (oder der Auftrag) sind nicht erfasst
  2  falscher Aufruf oder abgelehnte Auftragsnummer; nichts wird ausgegeben
  3  keine Verbindung zur Datenbank (Datenquelle TestLogNew) oder Datenbankfehler
  4  Warnung: Zyklus in der Baugruppen-Tabelle oder ein Code für mehrere Geräte
     (die Antwort ist vollständig ausgegeben)
  5  eine Bild- oder Tabellendatei ließ sich nicht schreiben (die Antwort ist ausgegeben)
)";
}

const char* TraceUsageLine() {
    return "Aufruf: velkor-trace show CODE | where-used CODE... | where-used --from DATEI | order PA | "
           "recall KRITERIEN | history CODE  [--csv | --json]  (velkor-trace --help)";
}
