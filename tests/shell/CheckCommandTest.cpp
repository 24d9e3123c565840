#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <functional>

#include "tests/shell/FtpTestServer.h"
#include "tests/support/TestDatabase.h"

// "velkor --check" as a technician runs it: the real program against the private server, one situation a row.
namespace {

const QString kRemotePath = QStringLiteral("/pub/TOOLS/Velkor/Velkor.exe");

// A port on 127.0.0.1 where nobody listens.
int UnusedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// A system logger's socket that takes entries while the object lives.
class LoggerSocket {
public:
    explicit LoggerSocket(const QString& path) : fd_(::socket(AF_UNIX, SOCK_DGRAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray bytes = path.toLocal8Bit();
        std::memcpy(address.sun_path, bytes.constData(), static_cast<size_t>(bytes.size()));
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    }
    ~LoggerSocket() { ::close(fd_); }
    LoggerSocket(const LoggerSocket&) = delete;
    LoggerSocket& operator=(const LoggerSocket&) = delete;

private:
    int fd_;
};

// One run of the program with the environment of a workstation where everything holds, changed by the row.
class Workstation {
public:
    Workstation() : logger_(dir_.filePath(QStringLiteral("log.sock"))) {
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("HOME"), dir_.path());
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
        env_.insert(QStringLiteral("VELKOR_INI_DIR"), QStringLiteral(VELKOR_SOURCE_DIR "/demo/ini"));
        env_.insert(QStringLiteral("VELKOR_UPDATE_HOST"), QString());
        env_.insert(QStringLiteral("VELKOR_EVENT_LOG_SOCKET"), dir_.filePath(QStringLiteral("log.sock")));
        env_.remove(QStringLiteral("VELKOR_UPDATE_ENABLED"));
    }

    void Set(const char* name, const QString& value) { env_.insert(QLatin1String(name), value); }
    // A data source TestLogNew of its own with these lines, in a folder of its own.
    void DataSource(const QString& lines) {
        const QString folder = dir_.filePath(QStringLiteral("odbc"));
        QDir().mkpath(folder);
        Write(folder + QStringLiteral("/odbc.ini"), QStringLiteral("[TestLogNew]\n") + lines);
        Write(folder + QStringLiteral("/odbcinst.ini"), QString());
        Set("ODBCSYSINI", folder);
    }
    void UserSettings(const QString& text) {
        QDir().mkpath(dir_.filePath(QStringLiteral("config/velkor")));
        Write(dir_.filePath(QStringLiteral("config/velkor/velkor.ini")), text);
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }

    // Runs velkor --check; its output, and the exit code in exitCode.
    QString Check(int& exitCode) {
        QProcess process;
        process.setProcessEnvironment(env_);
        process.start(QStringLiteral(VELKOR_BINARY_DIR "/velkor"), {QStringLiteral("--check")});
        if (!process.waitForFinished(60000)) {
            process.kill();
            exitCode = -1;
            return QString();
        }
        exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return QString::fromUtf8(process.readAllStandardOutput());
    }

private:
    static void Write(const QString& path, const QString& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }

    QTemporaryDir dir_;
    QProcessEnvironment env_;
    LoggerSocket logger_;
};

struct CheckRow {
    const char* what;
    std::function<void(Workstation&)> arrange;
    std::function<void()> restore;
    int exitCode;
    QString line;  // the line of the check in question begins with it
};

QString DriverFile() {
    for (const QString& candidate : {QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so"),
                                     QStringLiteral("/usr/lib/aarch64-linux-gnu/odbc/libmaodbc.so"),
                                     QStringLiteral("/usr/lib/odbc/libmaodbc.so")}) {
        if (QFile::exists(candidate)) {
            return candidate;
        }
    }
    return QString();
}

}  // namespace

TEST(CheckCommandTest, OneLinePerCheckAndTheExitCode) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("ODBCSYSINI")) << "run through scripts/test (private server)";
    const int closedPort = UnusedPort();
    FtpTestServer server;
    FtpTestServer emptyServer;
    ASSERT_TRUE(server.IsRunning() && emptyServer.IsRunning());
    server.PutFile(kRemotePath, "build", QDateTime(QDate(2024, 5, 3), QTime(8, 0, 0), Qt::LocalTime));
    const QString port = QString::number(closedPort);
    ExecTestSqlFile(
        QStringLiteral(VELKOR_SOURCE_DIR "/db/journal.sql"));  // as the program's first connection leaves it

    const CheckRow rows[] = {
        {"everything holds", [](Workstation&) {}, {}, 0, QStringLiteral("Alle 8 Prüfungen bestanden.")},
        {"journal missing",
         [](Workstation&) { ExecTestSql(QStringLiteral("RENAME TABLE velkor_journal TO velkor_journal_away")); },
         [] { ExecTestSql(QStringLiteral("RENAME TABLE velkor_journal_away TO velkor_journal")); }, 1,
         QStringLiteral("Programmtabellen: FEHLER – es fehlt: velkor_journal. Vom Administrator einspielen lassen: "
                        "db/journal.sql")},
        {"no data source",
         [](Workstation& w) { w.Set("ODBCSYSINI", w.Path("none")); },
         {},
         1,
         QStringLiteral("Datenquelle TestLogNew: FEHLER – nicht eingerichtet")},
        {"driver file missing",
         [](Workstation& w) { w.DataSource(QStringLiteral("Driver=/opt/none/libmaodbc.so\nSERVER=127.0.0.1\n")); },
         {},
         1,
         QStringLiteral("Datenquelle TestLogNew: FEHLER – Treiberdatei /opt/none/libmaodbc.so fehlt")},
        {"server does not answer",
         [port](Workstation& w) {
             w.DataSource(QStringLiteral("Driver=%1\nSERVER=127.0.0.1\nPORT=%2\n").arg(DriverFile(), port));
         },
         {},
         1,
         QStringLiteral("Datenbankserver 127.0.0.1:%1: FEHLER – antwortet nicht").arg(port)},
        {"table missing", [](Workstation&) { ExecTestSql(QStringLiteral("RENAME TABLE testitem TO testitem_away")); },
         [] { ExecTestSql(QStringLiteral("RENAME TABLE testitem_away TO testitem")); }, 1,
         QStringLiteral("Tabellen und Spalten: FEHLER – es fehlt: Tabelle testitem.")},
        {"column missing",
         [](Workstation&) {
             ExecTestSql(QStringLiteral("ALTER TABLE device_serialnumber RENAME COLUMN ExtFlag TO ExtFlagAway"));
         },
         [] { ExecTestSql(QStringLiteral("ALTER TABLE device_serialnumber RENAME COLUMN ExtFlagAway TO ExtFlag")); }, 1,
         QStringLiteral("Tabellen und Spalten: FEHLER – es fehlt: Spalte device_serialnumber.ExtFlag.")},
        {"article folder missing",
         [](Workstation& w) { w.Set("VELKOR_INI_DIR", QStringLiteral("/srv/none/INI")); },
         {},
         1,
         QStringLiteral("Artikel-Konfigurationsordner /srv/none/INI: FEHLER – fehlt")},
        {"update server does not answer",
         [port](Workstation& w) { w.Set("VELKOR_UPDATE_HOST", QStringLiteral("127.0.0.1:") + port); },
         {},
         1,
         QStringLiteral("Update-Server 127.0.0.1:%1: FEHLER – antwortet nicht").arg(port)},
        {"update server answers",
         [&server](Workstation& w) { w.Set("VELKOR_UPDATE_HOST", server.Host()); },
         {},
         0,
         QStringLiteral("Update-Server %1: OK (%2 vom 03.05.2024)").arg(server.Host(), kRemotePath)},
        {"update server without the build",
         [&emptyServer](Workstation& w) { w.Set("VELKOR_UPDATE_HOST", emptyServer.Host()); },
         {},
         1,
         QStringLiteral("Update-Server %1: FEHLER – antwortet, aber %2 ist dort nicht zu finden")
             .arg(emptyServer.Host(), kRemotePath)},
        {"update check switched off",
         [port](Workstation& w) {
             w.Set("VELKOR_UPDATE_HOST", QStringLiteral("127.0.0.1:") + port);
             w.UserSettings(QStringLiteral("[Update]\nEnabled = false\n"));
         },
         {},
         0,
         QStringLiteral("Update-Server 127.0.0.1:%1: OK (Update-Prüfung abgeschaltet").arg(port)},
        {"no event log",
         [](Workstation& w) { w.Set("VELKOR_EVENT_LOG_SOCKET", w.Path("none.sock")); },
         {},
         1,
         QStringLiteral("Ereignisprotokoll %1: FEHLER – der Socket fehlt")},
        {"unknown key",
         [](Workstation& w) { w.UserSettings(QStringLiteral("[Update]\nHots = ftp.example\n")); },
         {},
         1,
         QStringLiteral("Einstellungen: FEHLER – unbekannter Schlüssel [Update] Hots (%1, Zeile 2)")},
        {"broken settings file",
         [](Workstation& w) { w.UserSettings(QStringLiteral("[Paths]\nnonsense\n")); },
         {},
         1,
         QStringLiteral("Einstellungen: FEHLER – Datei nicht verwendet: %1, Zeile 2")},
    };
    for (const CheckRow& row : rows) {
        SCOPED_TRACE(row.what);
        Workstation workstation;
        row.arrange(workstation);
        int exitCode = -1;
        const QString output = workstation.Check(exitCode);
        if (row.restore) {
            row.restore();
        }
        const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), 9) << output.toStdString();
        EXPECT_EQ(exitCode, row.exitCode) << output.toStdString();
        QString expected = row.line;
        if (expected.contains(QLatin1String("%1"))) {
            expected = expected.arg(expected.startsWith(QLatin1String("Ereignis"))
                                        ? workstation.Path(QStringLiteral("none.sock"))
                                        : workstation.Path(QStringLiteral("config/velkor/velkor.ini")));
        }
        const auto found = std::find_if(lines.cbegin(), lines.cend(),
                                        [&expected](const QString& line) { return line.startsWith(expected); });
        EXPECT_NE(found, lines.cend()) << "expected a line beginning " << expected.toStdString() << "\n"
                                       << output.toStdString();
        // Every line is "OK" or says what is wrong; a wrong setting is named once.
        for (const QString& line : lines.mid(0, 8)) {
            EXPECT_TRUE(line.contains(QLatin1String(": OK")) || line.contains(QString::fromUtf8(": FEHLER – ")))
                << line.toStdString();
        }
        EXPECT_LE(output.count(QLatin1String("Hots")), 1);
    }
}
