#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "tests/workstation/WorkflowTestHost.h"

// Synthetic recorded history for the workstation benchmark, written on the server (sequence engine) beside the
// demo data, which stays as it is.
namespace bench {

// Finished control units SG-5000-A of eleven devices each (main board with two codes, three relay modules,
// power supply, radio module, tested display module, operating unit BG-5600-B with keyboard and display),
// with codes, serials, orders, articles, assembly numbers and memberships like the program's own, until about
// `devices` devices are recorded; nothing when they are there already. Returns the seconds it took (0 when
// nothing was written).
double GenerateHistory(int devices);

// The production code of the recorded SG-5000-A under order 240101 with 500 components (200 relay modules,
// 100 operating units each holding a keyboard and a display), part of the generated history.
QString LargeDeviceCode();

// Parts one assembly of order 240101 takes from stock, written before it is scanned: a free tested display
// module and a pre-assembled operating unit (order 240102) with keyboard and display. Safe beside other
// processes adding theirs.
struct StockParts {
    QString displayModuleCode;  // production code of the display module
    QString keyboardCode;       // production code of the keyboard inside the operating unit
    qint64 number = 0;          // the display module's device ID: no other stock parts share it
};
StockParts AddStockParts();

// The nine scans of one assembly of order 240101 in the article's scan order, the stock parts among them: code(i)
// gives the new production codes (i from 1 to 8), serial(i) the new own serial numbers (i 0 and 1), radioSerial
// the radio module's supplier serial.
std::vector<Scan> AssemblyScans(const StockParts& stock, const std::function<QString(int)>& code,
                                const std::function<QString(int)>& serial, const QString& radioSerial);

// An integer from the environment; fallback when the variable is unset or not a number.
int EnvInt(const char* name, int fallback);

// A number no earlier run has used, for the codes and serials scanned in this run.
qint64 FreshNumberBase();

}  // namespace bench
