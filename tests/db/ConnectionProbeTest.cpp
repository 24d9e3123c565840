#include <gtest/gtest.h>

#include "db/ConnectionProbe.h"

// What a failed connect is taken for, and the message at the start of the program that follows from it.
TEST(ConnectionProbeTest, FailureClassesAndTheMessageAtTheStart) {
    struct Row {
        int nativeCode;
        const char* text;
        ConnectionState state;
        const char* says;  // empty: no message at the start (the window opens and reports as before)
    };
    const Row rows[] = {
        {0, "[unixODBC][Driver Manager]Data source name not found and no default driver specified",
         ConnectionState::DataSourceMissing, "Die Datenquelle TestLogNew ist auf diesem Rechner nicht eingerichtet."},
        {0, "[unixODBC][Driver Manager]Can't open lib '/opt/none.so' : file not found", ConnectionState::DriverMissing,
         "aber ihr ODBC-Treiber fehlt (/opt/none.so)"},
        {2002, "Can't connect to local server through socket", ConnectionState::ServerUnreachable,
         "Der Datenbankserver der Datenquelle TestLogNew ist nicht erreichbar (dbhost.example:3306)."},
        {2003, "Can't connect to server on 'dbhost'", ConnectionState::ServerUnreachable, "nicht erreichbar"},
        {2005, "Unknown server host", ConnectionState::ServerUnreachable, "nicht erreichbar"},
        {1045, "Access denied for user 'testlog'", ConnectionState::LoginRefused, ""},
        {1049, "Unknown database 'testlog'", ConnectionState::DatabaseMissing, ""},
        {1105, "something else", ConnectionState::OtherError, ""},
    };
    DataSourceInfo source;
    source.name = QStringLiteral("TestLogNew");
    source.defined = true;
    source.driverFile = QStringLiteral("/opt/none.so");
    source.server = QStringLiteral("dbhost.example:3306");
    source.systemFolder = QStringLiteral("/etc");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ConnectFailureState(row.nativeCode, QString::fromUtf8(row.text)), row.state);
        const QString message = StartProblemMessage(row.state, source);
        if (*row.says == '\0') {
            EXPECT_TRUE(message.isEmpty()) << message.toStdString();
            continue;
        }
        EXPECT_TRUE(message.contains(QString::fromUtf8(row.says))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("„velkor --check“"))) << message.toStdString();
        EXPECT_TRUE(message.endsWith(QStringLiteral("Das Programm wird beendet."))) << message.toStdString();
    }
    EXPECT_TRUE(StartProblemMessage(ConnectionState::Open, source).isEmpty());
}
