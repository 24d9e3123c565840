#include "db/OdbcSource.h"

namespace odbc {

QString ConnectOptions() {
    // A server that cannot be reached fails the connect after 5 seconds; a server that stops answering fails a
    // statement after 30 (longer than any lock the program waits for).
    return QStringLiteral(
        "TestLogNew;UID=testlog;PWD=Pmex514;DATABASE=testlog;CONN_TIMEOUT=5;READ_TIMEOUT=30;WRITE_TIMEOUT=30");
}

QString ConnectOptions(const QString& host) {
    const int colon = host.lastIndexOf(QLatin1Char(':'));
    const QString server = colon > 0 ? host.left(colon) : host;
    const QString port = colon > 0 ? host.mid(colon + 1) : QStringLiteral("3306");
    // With a server named, Qt no longer puts "DSN=" in front of the data source: it is named here.
    return QStringLiteral("DSN=") + ConnectOptions() + QStringLiteral(";SERVER=%1;PORT=%2").arg(server, port);
}

QVariant BindableValue(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) {
        const QByteArray bytes = value.toString().toUtf8();
        return bytes.isNull() ? QByteArray("", 0) : bytes;
    }
    return value;
}

}  // namespace odbc
