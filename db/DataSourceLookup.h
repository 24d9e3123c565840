#pragma once

#include <QList>
#include <QPair>
#include <QString>

// What the ODBC driver manager (unixODBC) knows of a data source, read through its own interface, so that the
// answer is the one the connection gets: the user's ~/.odbc.ini, then the system odbc.ini (in the folder named
// by ODBCSYSINI, else /etc).
struct DataSourceInfo {
    QString name;
    bool defined = false;
    // Driver= of the data source: the driver's file, or the name of a driver entry of odbcinst.ini.
    QString driverEntry;
    // The driver's file that entry leads to; empty when it leads to none.
    QString driverFile;
    bool driverFileExists = false;
    // Where the data source points: SERVER[:PORT], or SOCKET; empty when it names neither.
    QString server;
    // The folder of the system odbc.ini and odbcinst.ini the driver manager reads.
    QString systemFolder;
};

DataSourceInfo LookUpDataSource(const QString& name);

// Every "Key=Value" line of the data source (user file first, as the driver manager reads it), keys in capitals;
// empty when it is not defined.
QList<QPair<QString, QString>> DataSourceAttributes(const QString& name);

// The data source every connection of the program opens.
extern const char kDataSourceName[];
