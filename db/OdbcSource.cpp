#include "db/OdbcSource.h"

namespace odbc {

QString ConnectOptions() {
    return QStringLiteral("TestLogNew;UID=testlog;PWD=Pmex514;DATABASE=testlog");
}

QVariant BindableValue(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) {
        const QByteArray bytes = value.toString().toUtf8();
        return bytes.isNull() ? QByteArray("", 0) : bytes;
    }
    return value;
}

}  // namespace odbc
