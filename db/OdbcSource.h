#pragma once

#include <QString>
#include <QVariant>

// The ODBC data source of the traceability database, as every connection of the program opens it.
namespace odbc {

// How long the program waits for the database. A row another workstation holds (innodb_lock_wait_timeout) and a
// value another workstation is recording (GET_LOCK) are waited for kLockWaitSeconds: a scan holds them for some
// milliseconds, so a longer wait means a workstation stopped inside its transaction. A statement's answer is waited
// for kReadTimeoutSeconds, which must outlast those waits and the few seconds a cluster node stalls while the
// cluster gives a vanished peer up (evs.suspect_timeout, 5 s by default): a server that vanished without a reset
// costs one wait of that length before the next host of the list is tried.
constexpr int kLockWaitSeconds = 5;
constexpr int kReadTimeoutSeconds = 8;
constexpr int kConnectTimeoutSeconds = 5;

// Data source, account and database, in the form Qt's ODBC driver passes on to the driver manager.
QString ConnectOptions();
// The same for one server of the host list ("host" or "host:port", 3306 when no port is given), reached over TCP
// in place of the data source's own server or socket; the data source's driver and other settings stay.
QString ConnectOptions(const QString& host);

// A value as it is bound for the driver: texts as UTF-8 bytes, so the driver receives exactly the
// characters of the text (bound as wide strings they arrive with the terminating zero as one more
// character, and no longer compare equal to the stored values); an empty text stays a text, never NULL.
QVariant BindableValue(const QVariant& value);

}  // namespace odbc
