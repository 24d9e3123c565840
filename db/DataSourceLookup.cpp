#include "db/DataSourceLookup.h"

#include <dlfcn.h>
#include <odbcinst.h>
#include <sql.h>
#include <sqlext.h>

#include <QDir>
#include <QFileInfo>

const char kDataSourceName[] = "TestLogNew";

namespace {

// A value of an ini file of the driver manager ("odbc.ini" or "odbcinst.ini"); empty when it is not there.
QString ProfileValue(const QString& section, const char* key, const char* file) {
    char buffer[1024] = {};
    const QByteArray sectionBytes = section.toLocal8Bit();
    const int length =
        SQLGetPrivateProfileString(sectionBytes.constData(), key, "", buffer, static_cast<int>(sizeof(buffer)), file);
    return length > 0 ? QString::fromLocal8Bit(buffer, length).trimmed() : QString();
}

// True when the driver manager lists the data source (user or system).
bool IsListed(const QString& name) {
    SQLHENV environment = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment))) {
        return false;
    }
    SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    bool listed = false;
    SQLCHAR dataSource[SQL_MAX_DSN_LENGTH + 1];
    SQLCHAR description[512];
    SQLSMALLINT dataSourceLength = 0;
    SQLSMALLINT descriptionLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (!listed &&
           SQL_SUCCEEDED(SQLDataSources(environment, direction, dataSource, sizeof(dataSource), &dataSourceLength,
                                        description, sizeof(description), &descriptionLength))) {
        direction = SQL_FETCH_NEXT;
        listed =
            QString::fromLocal8Bit(reinterpret_cast<const char*>(dataSource)).compare(name, Qt::CaseInsensitive) == 0;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, environment);
    return listed;
}

// A driver named without a folder ("libmaodbc.so") is looked for, as the driver manager does, in the folder
// "odbc" beside the driver manager's own library.
QString DriverFilePath(const QString& file) {
    if (file.isEmpty() || file.contains(QLatin1Char('/'))) {
        return file;
    }
    Dl_info manager{};
    if (dladdr(reinterpret_cast<void*>(&SQLAllocHandle), &manager) != 0 && manager.dli_fname != nullptr) {
        const QString candidate =
            QFileInfo(QString::fromLocal8Bit(manager.dli_fname)).absoluteDir().filePath(QStringLiteral("odbc/") + file);
        if (QFileInfo(candidate).isFile()) {
            return candidate;
        }
    }
    return file;
}

}  // namespace

DataSourceInfo LookUpDataSource(const QString& name) {
    DataSourceInfo info;
    info.name = name;
    info.systemFolder =
        qEnvironmentVariableIsEmpty("ODBCSYSINI") ? QStringLiteral("/etc") : qEnvironmentVariable("ODBCSYSINI");
    info.defined = IsListed(name);
    if (!info.defined) {
        return info;
    }
    info.driverEntry = ProfileValue(name, "Driver", "odbc.ini");
    if (info.driverEntry.contains(QLatin1Char('/'))) {
        info.driverFile = info.driverEntry;
    } else if (!info.driverEntry.isEmpty()) {
        info.driverFile = ProfileValue(info.driverEntry, "Driver", "odbcinst.ini");
    }
    info.driverFile = DriverFilePath(info.driverFile);
    info.driverFileExists = info.driverFile.startsWith(QLatin1Char('/')) && QFileInfo(info.driverFile).isFile();
    const QString socket = ProfileValue(name, "SOCKET", "odbc.ini");
    const QString server = ProfileValue(name, "SERVER", "odbc.ini");
    const QString port = ProfileValue(name, "PORT", "odbc.ini");
    if (!server.isEmpty()) {
        info.server = port.isEmpty() ? server : server + QLatin1Char(':') + port;
    } else if (!socket.isEmpty()) {
        info.server = socket;
    }
    return info;
}

QList<QPair<QString, QString>> DataSourceAttributes(const QString& name) {
    QList<QPair<QString, QString>> attributes;
    // Without a key the driver manager answers with the section's keys, each ended by a zero.
    char keys[4096] = {};
    const QByteArray section = name.toLocal8Bit();
    const int length =
        SQLGetPrivateProfileString(section.constData(), nullptr, "", keys, static_cast<int>(sizeof(keys)), "odbc.ini");
    for (int start = 0; start < length && keys[start] != '\0';) {
        const QByteArray key(keys + start);
        start += static_cast<int>(key.size()) + 1;
        const QString value = ProfileValue(name, key.constData(), "odbc.ini");
        attributes.append({QString::fromLocal8Bit(key).trimmed().toUpper(), value});
    }
    return attributes;
}
