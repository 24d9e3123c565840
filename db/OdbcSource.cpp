#include "db/OdbcSource.h"

#include "db/DataSourceLookup.h"

namespace odbc {

namespace {

// Account and database of the program, and how long it waits for the server.
QString AccountAndTimeouts() {
    return QStringLiteral("UID=testlog;PWD=Pmex514;DATABASE=testlog;CONN_TIMEOUT=%1;READ_TIMEOUT=%2;WRITE_TIMEOUT=%2")
        .arg(kConnectTimeoutSeconds)
        .arg(kReadTimeoutSeconds);
}

// The settings of the data source that say where its server is; a host of the list takes their place.
bool IsServerAttribute(const QString& key) {
    static const QStringList kKeys = {
        QStringLiteral("SERVER"),       QStringLiteral("PORT"),         QStringLiteral("SOCKET"),
        QStringLiteral("DRIVER"),       QStringLiteral("DSN"),          QStringLiteral("TCPIP"),
        QStringLiteral("UID"),          QStringLiteral("PWD"),          QStringLiteral("DATABASE"),
        QStringLiteral("USER"),         QStringLiteral("PASSWORD"),     QStringLiteral("SERVERNAME"),
        QStringLiteral("DESCRIPTION"),  QStringLiteral("CONN_TIMEOUT"), QStringLiteral("READ_TIMEOUT"),
        QStringLiteral("WRITE_TIMEOUT")};
    return kKeys.contains(key);
}

}  // namespace

QString ConnectOptions() {
    return QStringLiteral("TestLogNew;") + AccountAndTimeouts();
}

QString ConnectOptions(const QString& host) {
    const int colon = host.lastIndexOf(QLatin1Char(':'));
    const QString server = colon > 0 ? host.left(colon) : host;
    const QString port = colon > 0 ? host.mid(colon + 1) : QStringLiteral("3306");
    // MariaDB Connector/ODBC goes to a SOCKET of the data source whatever server and port the connection names (an
    // empty SOCKET= makes it look for the socket ""): so the data source is not named, but its driver and every
    // other setting of it are, and the host of the list is reached over TCP.
    const DataSourceInfo source = LookUpDataSource(QLatin1String(kDataSourceName));
    const QString driver = source.driverFileExists ? source.driverFile : QStringLiteral("{%1}").arg(source.driverEntry);
    QString options = QStringLiteral("DRIVER=") + driver;
    for (const auto& [key, value] : DataSourceAttributes(QLatin1String(kDataSourceName))) {
        if (!IsServerAttribute(key) && !value.contains(QLatin1Char(';'))) {
            options += QStringLiteral(";%1=%2").arg(key, value);
        }
    }
    return options + QLatin1Char(';') + AccountAndTimeouts() + QStringLiteral(";SERVER=%1;PORT=%2").arg(server, port);
}

QVariant BindableValue(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) {
        const QByteArray bytes = value.toString().toUtf8();
        return bytes.isNull() ? QByteArray("", 0) : bytes;
    }
    return value;
}

}  // namespace odbc
