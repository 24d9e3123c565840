#pragma once

#include <QList>
#include <QString>
#include <QTextStream>

// "velkor --check": what a technician runs at a new workstation. Every check gives one German line, "OK" or
// what is wrong and what to do:
//   the settings files (broken files, unknown keys), the data source TestLogNew and its driver, the database
//   server and the login, the tables and columns of db/site-schema.sql, the program's own tables (the journal; on a
//   Galera cluster one line per node of the host list: it answers, is synced, in the primary component, and holds
//   the claim table and the journal), the folder of the per-article
//   configuration files, the update server (when one is configured and the check is on), the event log socket.
struct CheckLine {
    bool ok = false;
    QString text;
};

QList<CheckLine> RunWorkstationChecks();

// Prints the lines and a last line with the outcome; 0 when every check holds, 1 otherwise.
int RunWorkstationCheck(QTextStream& out);

namespace CheckExit {
constexpr int kAllHold = 0;
constexpr int kSomeFail = 1;
}  // namespace CheckExit
