#include "db/WorkstationCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "db/ConnectionProbe.h"
#include "db/OdbcSource.h"
#include "db/SiteSchema.h"
#include "shell/EventLog.h"
#include "shell/FtpClass.h"
#include "shell/Settings.h"
#include "shell/UserDialogs.h"

namespace {

CheckLine Ok(const QString& subject, const QString& detail = QString()) {
    return {true,
            subject + QStringLiteral(": OK") + (detail.isEmpty() ? QString() : QStringLiteral(" (") + detail + ')')};
}

CheckLine Fails(const QString& subject, const QString& problem, const QString& remedy) {
    const QString sentence = remedy.left(1).toUpper() + remedy.mid(1);
    return {false, subject + QStringLiteral(": FEHLER – ") + problem + QStringLiteral(". ") + sentence + '.'};
}

// The value of one option of the connection (UID=...), as the program passes it on.
QString ConnectOption(const QString& name) {
    for (const QString& option : odbc::ConnectOptions().split(QLatin1Char(';'))) {
        if (option.startsWith(name + QLatin1Char('='), Qt::CaseInsensitive)) {
            return option.mid(name.size() + 1);
        }
    }
    return QString();
}

// Answers every question by declining and keeps the texts: the update client tells its failures as messages.
class CollectedMessages : public UserDialogs {
public:
    CollectedMessages() : previous_(&Dialogs()) { SetDialogs(this); }
    ~CollectedMessages() override { SetDialogs(previous_ == this ? nullptr : previous_); }
    CollectedMessages(const CollectedMessages&) = delete;
    CollectedMessages& operator=(const CollectedMessages&) = delete;

    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon, const QString&) override {
        texts.append(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")).simplified());
        return DecliningAnswer(buttons);
    }
    QString InputBox(const QString&, const QString&, const QString&) override { return QString(); }
    QString PasswordBox() override { return QString(); }
    void Beep(int, int) override {}

    QStringList texts;

private:
    UserDialogs* previous_;
};

CheckLine CheckSettings() {
    const Settings::Layers layers = Settings::Current();
    const QStringList problems = layers.FileProblems();
    const QStringList unknown = layers.UnknownKeys();
    const QString subject = QStringLiteral("Einstellungen");
    if (!problems.isEmpty()) {
        return Fails(
            subject, QStringLiteral("Datei nicht verwendet: ") + problems.join(QStringLiteral("; ")),
            QStringLiteral("Datei berichtigen; bis dahin gelten die übrigen Dateien und die Voreinstellungen"));
    }
    if (!unknown.isEmpty()) {
        QStringList known;
        for (const Settings::Definition& setting : Settings::Definitions()) {
            known.append(QStringLiteral("[%1] %2").arg(QLatin1String(setting.section), QLatin1String(setting.key)));
        }
        return Fails(subject, QStringLiteral("unbekannter Schlüssel ") + unknown.join(QStringLiteral(", ")),
                     QStringLiteral("Schreibweise berichtigen oder Zeile entfernen (bekannt: ") +
                         known.join(QStringLiteral(", ")) + ')');
    }
    QStringList read;
    for (const SettingsFile& file : layers.Files()) {
        if (file.exists) {
            read.append(file.path);
        }
    }
    return Ok(subject, read.isEmpty() ? QStringLiteral("keine Datei, es gelten die Voreinstellungen")
                                      : QStringLiteral("gelesen: ") + read.join(QStringLiteral(", ")));
}

CheckLine CheckDataSource(const ConnectionProbe& probe) {
    const DataSourceInfo& source = probe.DataSource();
    const QString subject = QStringLiteral("Datenquelle ") + source.name;
    const QString odbcIni = source.systemFolder + QStringLiteral("/odbc.ini");
    if (!source.defined) {
        return Fails(subject, QStringLiteral("nicht eingerichtet (weder in %1 noch in ~/.odbc.ini)").arg(odbcIni),
                     QStringLiteral("Abschnitt [%1] in %2 anlegen, Vorlage: /usr/share/doc/velkor/examples/odbc.ini")
                         .arg(source.name, odbcIni));
    }
    if (source.driverFile.isEmpty()) {
        return Fails(subject,
                     source.driverEntry.isEmpty()
                         ? QStringLiteral("kein Treiber angegeben")
                         : QStringLiteral("Treiber „%1“ ist in %2/odbcinst.ini nicht eingetragen")
                               .arg(source.driverEntry, source.systemFolder),
                     QStringLiteral("Driver= der Datenquelle auf den MariaDB-Treiber setzen (Paket odbc-mariadb)"));
    }
    if (!source.driverFileExists) {
        return Fails(subject, QStringLiteral("Treiberdatei %1 fehlt").arg(source.driverFile),
                     QStringLiteral("Paket odbc-mariadb installieren oder Driver= in %1 berichtigen").arg(odbcIni));
    }
    return Ok(subject, QStringLiteral("Treiber ") + source.driverFile);
}

CheckLine CheckServer(const ConnectionProbe& probe) {
    const DataSourceInfo& source = probe.DataSource();
    const QStringList hosts = Settings::DatabaseHosts();
    const QString server = hosts.isEmpty() ? source.server : hosts.join(QStringLiteral(", "));
    const QString subject =
        QStringLiteral("Datenbankserver") + (server.isEmpty() ? QString() : QLatin1Char(' ') + server);
    const QString account = ConnectOption(QStringLiteral("UID"));
    const QString database = ConnectOption(QStringLiteral("DATABASE"));
    const QString odbcIni = source.systemFolder + QStringLiteral("/odbc.ini");
    switch (probe.State()) {
        case ConnectionState::Open:
            return Ok(subject, QStringLiteral("Anmeldung als %1, Datenbank %2").arg(account, database));
        case ConnectionState::DataSourceMissing:
        case ConnectionState::DriverMissing:
            return Fails(subject, QStringLiteral("nicht geprüft, die Datenquelle ist nicht verwendbar"),
                         QStringLiteral("erst die Datenquelle einrichten"));
        case ConnectionState::ServerUnreachable:
            return Fails(
                subject, QStringLiteral("antwortet nicht (%1)").arg(probe.ErrorText()),
                QStringLiteral("Netzwerk und Server prüfen, SERVER und PORT (oder SOCKET) in %1 prüfen").arg(odbcIni));
        case ConnectionState::LoginRefused:
            return Fails(subject, QStringLiteral("Anmeldung als %1 abgelehnt (%2)").arg(account, probe.ErrorText()),
                         QStringLiteral("Konto %1 mit seinem Kennwort und Rechten auf %2 auf dem Server einrichten "
                                        "lassen")
                             .arg(account, database));
        case ConnectionState::DatabaseMissing:
            return Fails(subject, QStringLiteral("die Datenbank %1 fehlt (%2)").arg(database, probe.ErrorText()),
                         QStringLiteral("Datenbank %1 auf dem Server anlegen lassen").arg(database));
        case ConnectionState::OtherError:
            break;
    }
    return Fails(subject, QStringLiteral("Verbindung fehlgeschlagen (%1)").arg(probe.ErrorText()),
                 QStringLiteral("Datenquelle in %1 und den Server prüfen").arg(odbcIni));
}

CheckLine CheckSchema(const ConnectionProbe& probe) {
    const QString subject = QStringLiteral("Tabellen und Spalten");
    if (probe.State() != ConnectionState::Open) {
        return Fails(subject, QStringLiteral("nicht geprüft, keine Verbindung zum Server"),
                     QStringLiteral("erst die Verbindung herstellen"));
    }
    const QList<SchemaTable> expected = SiteSchemaTables();
    QList<SchemaTable> present;
    QString error;
    if (!ReadPresentSchema(probe.Database(), present, error)) {
        return Fails(subject, QStringLiteral("nicht lesbar (%1)").arg(error),
                     QStringLiteral("Rechte des Kontos auf information_schema prüfen"));
    }
    const QStringList missing = MissingSchemaItems(expected, present);
    if (!missing.isEmpty()) {
        return Fails(subject, QStringLiteral("es fehlt: ") + missing.join(QStringLiteral(", ")),
                     QStringLiteral("Tabellen und Spalten nach db/site-schema.sql anlegen lassen"));
    }
    int columns = 0;
    for (const SchemaTable& table : expected) {
        columns += static_cast<int>(table.columns.size());
    }
    return Ok(subject, QStringLiteral("%1 Tabellen, %2 Spalten").arg(expected.size()).arg(columns));
}

CheckLine CheckArticleConfigDir() {
    const Settings::Layers layers = Settings::Current();
    const Settings::Definition& setting = Settings::DefinitionOf("Paths", "ArticleConfigDir");
    const QString dir = layers.Value(setting);
    const QString subject = QStringLiteral("Artikel-Konfigurationsordner ") + dir;
    const QString remedy =
        QStringLiteral("Netzlaufwerk einhängen oder [Paths] ArticleConfigDir berichtigen (Wert aus: %1)")
            .arg(layers.Origin(setting));
    const QFileInfo info(dir);
    if (!info.exists()) {
        return Fails(subject, QStringLiteral("fehlt"), remedy);
    }
    if (!info.isDir()) {
        return Fails(subject, QStringLiteral("ist kein Ordner"), remedy);
    }
    if (!info.isReadable() || !info.isExecutable()) {
        return Fails(subject, QStringLiteral("nicht lesbar"), QStringLiteral("Leserechte des Ordners prüfen"));
    }
    const int files = static_cast<int>(QDir(dir).entryList({QStringLiteral("*.ini")}, QDir::Files).size());
    return Ok(subject, QStringLiteral("%1 Artikeldateien").arg(files));
}

CheckLine CheckUpdateServer() {
    const QString host = Settings::UpdateHost();
    const QString subject = QStringLiteral("Update-Server") + (host.isEmpty() ? QString() : QLatin1Char(' ') + host);
    if (!Settings::UpdateEnabled()) {
        return Ok(subject, QStringLiteral("Update-Prüfung abgeschaltet, [Update] Enabled"));
    }
    if (host.isEmpty()) {
        return Ok(subject, QStringLiteral("keiner eingerichtet, keine Update-Prüfung"));
    }
    const QString remotePath = Settings::UpdateRemotePath();
    CollectedMessages messages;
    FTP_Class ftp;
    ftp.Connect(host);
    if (!ftp.IsConnected()) {
        return Fails(subject, QStringLiteral("antwortet nicht (%1)").arg(messages.texts.join(QStringLiteral(" "))),
                     QStringLiteral("Netzwerk und FTP-Server prüfen oder [Update] Host berichtigen"));
    }
    const QDateTime date = ftp.GetFileDate(remotePath);
    if (!date.isValid() || date.date().year() < 1980) {
        return Fails(subject, QStringLiteral("antwortet, aber %1 ist dort nicht zu finden").arg(remotePath),
                     QStringLiteral("die Datei veröffentlichen oder [Update] RemotePath berichtigen"));
    }
    return Ok(subject, QStringLiteral("%1 vom %2").arg(remotePath, date.toString(QStringLiteral("dd.MM.yyyy"))));
}

CheckLine CheckEventLog() {
    const QString subject = QStringLiteral("Ereignisprotokoll ") + EventLogSocketPath();
    if (EventLogTakesEntries()) {
        return Ok(subject);
    }
    return Fails(subject,
                 QFileInfo::exists(EventLogSocketPath()) ? QStringLiteral("niemand nimmt dort Einträge an")
                                                         : QStringLiteral("der Socket fehlt"),
                 QStringLiteral("Systemprotokoll-Dienst starten (systemd-journald oder rsyslog)"));
}

}  // namespace

QList<CheckLine> RunWorkstationChecks() {
    QList<CheckLine> lines;
    lines.append(CheckSettings());
    {
        const ConnectionProbe probe;
        lines.append(CheckDataSource(probe));
        lines.append(CheckServer(probe));
        lines.append(CheckSchema(probe));
    }
    lines.append(CheckArticleConfigDir());
    lines.append(CheckUpdateServer());
    lines.append(CheckEventLog());
    return lines;
}

int RunWorkstationCheck(QTextStream& out) {
    const QList<CheckLine> lines = RunWorkstationChecks();
    int failed = 0;
    for (const CheckLine& line : lines) {
        out << line.text << '\n';
        failed += line.ok ? 0 : 1;
    }
    if (failed == 0) {
        out << QStringLiteral("Alle %1 Prüfungen bestanden.").arg(lines.size()) << '\n';
    } else {
        out << QStringLiteral("%1 von %2 Prüfungen nicht bestanden.").arg(failed).arg(lines.size()) << '\n';
    }
    out.flush();
    return failed == 0 ? CheckExit::kAllHold : CheckExit::kSomeFail;
}
