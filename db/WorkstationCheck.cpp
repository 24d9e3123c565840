#include "db/WorkstationCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include "db/ConnectionProbe.h"
#include "db/HostConnection.h"
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

// The program's own tables the server lacks, named; those of a cluster node include the claim table.
QStringList MissingProgramTables(const QSqlDatabase& db, bool onCluster) {
    QStringList wanted = {QStringLiteral("velkor_journal"), QStringLiteral("velkor_journal_device")};
    if (onCluster) {
        wanted.prepend(QStringLiteral("velkor_claim"));
    }
    QStringList missing;
    for (const QString& table : wanted) {
        QSqlQuery query(db);
        query.prepare(
            QStringLiteral("SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE() "
                           "AND TABLE_NAME = ?"));
        query.addBindValue(odbc::BindableValue(table));
        if (!query.exec() || !query.next() || query.value(0).toInt() == 0) {
            missing.append(table);
        }
    }
    return missing;
}

// What to do about missing tables of the program: the file each comes from.
QString ProgramTablesRemedy(const QStringList& missing) {
    QStringList files;
    if (missing.contains(QLatin1String("velkor_claim"))) {
        files.append(
            QStringLiteral("db/cluster-claims.sql (ohne velkor_claim sind doppelte Erfassungen über "
                           "verschiedene Knoten nicht ausgeschlossen)"));
    }
    if (missing.contains(QLatin1String("velkor_journal")) || missing.contains(QLatin1String("velkor_journal_device"))) {
        files.append(QStringLiteral("db/journal.sql"));
    }
    return QStringLiteral("vom Administrator einspielen lassen: ") + files.join(QStringLiteral(" und ")) +
           QStringLiteral(", oder dem Konto das Recht CREATE geben, dann legt das Programm sie an");
}

// A single server: the journal tables of the program.
CheckLine CheckProgramTables(const ConnectionProbe& probe) {
    const QString subject = QStringLiteral("Programmtabellen");
    if (probe.State() != ConnectionState::Open) {
        return Fails(subject, QStringLiteral("nicht geprüft, keine Verbindung zum Server"),
                     QStringLiteral("erst die Verbindung herstellen"));
    }
    const QStringList missing = MissingProgramTables(probe.Database(), false);
    if (!missing.isEmpty()) {
        return Fails(subject, QStringLiteral("es fehlt: ") + missing.join(QStringLiteral(", ")),
                     ProgramTablesRemedy(missing));
    }
    return Ok(subject, QStringLiteral("velkor_journal, velkor_journal_device"));
}

// One node of a cluster, on a connection of its own: it answers, is synced, in the primary component, and holds
// the program's tables.
CheckLine CheckClusterNode(const QString& host, int index) {
    const QString subject =
        QStringLiteral("Datenbankknoten ") + (host.isEmpty() ? QStringLiteral("der Datenquelle") : host);
    const QString name = QStringLiteral("ClusterNodeCheck%1").arg(index);
    CheckLine line;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db.setDatabaseName(host.isEmpty() ? odbc::ConnectOptions() : odbc::ConnectOptions(host));
        if (!db.open()) {
            const QSqlError error = db.lastError();
            line = Fails(subject,
                         QStringLiteral("antwortet nicht (%1)")
                             .arg(error.databaseText().trimmed().isEmpty() ? error.text().trimmed()
                                                                           : error.databaseText().trimmed()),
                         QStringLiteral("Netzwerk und Knoten prüfen, oder den Knoten aus [Database] Hosts nehmen"));
        } else {
            const QString state = ServerStatus(db, QStringLiteral("wsrep_local_state_comment"));
            const QString component = ServerStatus(db, QStringLiteral("wsrep_cluster_status"));
            QStringList problems;
            QStringList remedies;
            if (state != QLatin1String("Synced")) {
                problems.append(QStringLiteral("Zustand %1 statt Synced").arg(state.isEmpty() ? "unbekannt" : state));
            }
            if (component != QLatin1String("Primary")) {
                problems.append(QStringLiteral("nicht in der primären Komponente des Clusters (%1)")
                                    .arg(component.isEmpty() ? QStringLiteral("kein Cluster-Knoten") : component));
            }
            if (!problems.isEmpty()) {
                remedies.append(
                    QStringLiteral("den Knoten wieder in den Cluster bringen (scripts/cluster status, "
                                   "Netzwerk zwischen den Knoten prüfen)"));
            }
            const QStringList missing = MissingProgramTables(db, true);
            if (!missing.isEmpty()) {
                problems.append(QStringLiteral("es fehlt: ") + missing.join(QStringLiteral(", ")));
                remedies.append(ProgramTablesRemedy(missing));
            }
            line = problems.isEmpty()
                       ? Ok(subject, QStringLiteral("Synced, primäre Komponente, velkor_claim, velkor_journal, "
                                                    "velkor_journal_device"))
                       : Fails(subject, problems.join(QStringLiteral("; ")), remedies.join(QStringLiteral("; ")));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return line;
}

// The program's own tables: on a cluster, every node of the host list on its own.
QList<CheckLine> CheckServersOfProgram(const ConnectionProbe& probe) {
    const bool onCluster =
        probe.State() == ConnectionState::Open && ServerVariable(probe.Database(), QStringLiteral("wsrep_on"))
                                                          .compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0;
    if (!onCluster) {
        return {CheckProgramTables(probe)};
    }
    QStringList hosts = Settings::DatabaseHosts();
    if (hosts.isEmpty()) {
        hosts.append(QString());
    }
    QList<CheckLine> lines;
    for (int i = 0; i < hosts.size(); ++i) {
        lines.append(CheckClusterNode(hosts.at(i), i));
    }
    return lines;
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
        lines.append(CheckServersOfProgram(probe));
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
