#pragma once

#include <QString>
#include <QVariant>

// The ODBC data source of the traceability database, as every connection of the program opens it.
namespace odbc {

// Data source, account and database, in the form Qt's ODBC driver passes on to the driver manager.
QString ConnectOptions();
// The same for one server of the host list ("host" or "host:port", 3306 when no port is given), named in place
// of the data source's own server.
QString ConnectOptions(const QString& host);

// A value as it is bound for the driver: texts as UTF-8 bytes, so the driver receives exactly the
// characters of the text (bound as wide strings they arrive with the terminating zero as one more
// character, and no longer compare equal to the stored values); an empty text stays a text, never NULL.
QVariant BindableValue(const QVariant& value);

}  // namespace odbc
