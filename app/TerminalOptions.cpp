#include "app/TerminalOptions.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstring>

#include "db/WorkstationCheck.h"
#include "shell/Version.h"

namespace {

enum class Option { None, Help, Version, Check };

Option OptionOf(const char* argument) {
    if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
        return Option::Help;
    }
    if (std::strcmp(argument, "--version") == 0) {
        return Option::Version;
    }
    if (std::strcmp(argument, "--check") == 0) {
        return Option::Check;
    }
    return Option::None;
}

}  // namespace

const char* HelpText() {
    return "Aufruf: velkor [--check | --version | --help]\n"
           "\n"
           "Arbeitsplatzprogramm der Endmontage elektronischer Geräte: jeder gescannte Produktionscode\n"
           "und jede Seriennummer wird gegen die Stückliste des Fertigungsauftrags (PA) geprüft und in\n"
           "der Rückverfolgbarkeits-Datenbank aufgezeichnet (ODBC-Datenquelle TestLogNew). Ohne Option\n"
           "öffnet sich das Fenster.\n"
           "\n"
           "Optionen:\n"
           "  --check      prüft die Einrichtung dieses Arbeitsplatzes: Einstellungen, Datenquelle\n"
           "               TestLogNew und Treiber, Datenbankserver und Anmeldung, Tabellen und Spalten,\n"
           "               Artikel-Konfigurationsordner, Update-Server, Ereignisprotokoll. Eine Zeile je\n"
           "               Prüfung; Rückgabewert 0, wenn alles stimmt, sonst 1.\n"
           "  --version    zeigt die Version.\n"
           "  -h, --help   zeigt diese Hilfe.\n"
           "\n"
           "Einstellungen, jede spätere Quelle vor der früheren: /etc/velkor/velkor.ini,\n"
           "velkor.ini neben dem Programm, ~/.config/velkor/velkor.ini, die Umgebungsvariablen\n"
           "VELKOR_INI_DIR, VELKOR_UPDATE_ENABLED, VELKOR_UPDATE_HOST, VELKOR_UPDATE_PATH,\n"
           "VELKOR_FONT_PT. Die Datenquelle sucht unixODBC in ~/.odbc.ini und /etc/odbc.ini\n"
           "(oder im Ordner ODBCSYSINI).\n";
}

int RunTerminalOption(int argc, char** argv) {
    Option option = Option::None;
    for (int index = 1; index < argc && option == Option::None; ++index) {
        option = OptionOf(argv[index]);
    }
    if (option == Option::None) {
        return -1;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velkor"));
    QTextStream out(stdout);
    switch (option) {
        case Option::Help:
            out << QString::fromUtf8(HelpText());
            return 0;
        case Option::Version:
            out << QStringLiteral("velkor ") << ProgramVersion() << '\n';
            return 0;
        case Option::Check:
            return RunWorkstationCheck(out);
        case Option::None:
            break;
    }
    return -1;
}
