#pragma once

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include "db/AssemblyDbClass.h"
#include "tests/support/TestDatabase.h"
#include "trace/TraceCommand.h"

// Every trace test starts from the demo database and runs the program's command line in this process.
struct TraceRun {
    int exitCode = -1;
    QString out;
    QString err;
    QJsonObject Json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

inline TraceRun RunTraceCommand(const QStringList& arguments) {
    TraceRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.exitCode = RunTrace(QStringList{QStringLiteral("velkor-trace")} + arguments, out, err);
    out.flush();
    err.flush();
    return run;
}

// The rows of a ";"-separated CSV text, fields unquoted ("" inside quotes is one quote).
inline QList<QStringList> ParseCsv(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(';')) {
            row.append(field);
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            row.append(field);
            rows.append(row);
            row.clear();
            field.clear();
        } else {
            field += c;
        }
    }
    return rows;
}

// The CSV rows as maps from the header's column names to the fields.
inline QList<QHash<QString, QString>> CsvRecords(const QString& text) {
    const QList<QStringList> rows = ParseCsv(text);
    QList<QHash<QString, QString>> records;
    for (int r = 1; r < rows.size(); ++r) {
        QHash<QString, QString> record;
        for (int c = 0; c < rows.first().size(); ++c) {
            record.insert(rows.first().at(c), rows.at(r).value(c));
        }
        records.append(record);
    }
    return records;
}

inline QStringList Strings(const QJsonValue& array) {
    QStringList texts;
    for (const QJsonValue& value : array.toArray()) {
        texts.append(value.toString());
    }
    return texts;
}

class TraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTestDatabase();
        ClearJournal();
    }

    // The journal of the operations of earlier tests names devices of the same numbers: it starts empty here (a
    // connection of the program makes its tables where they are missing).
    static void ClearJournal() {
        AssemblyDbClass db;
        ExecTestSql(QStringLiteral("DELETE FROM velkor_journal_device"));
        ExecTestSql(QStringLiteral("DELETE FROM velkor_journal"));
    }

    // A membership row written past the program, e.g. to make a cycle.
    static void AddMembership(int parentAssNr, int memberAssNr, const QString& type = QStringLiteral("Z")) {
        ExecTestSql(QStringLiteral("INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) "
                                   "VALUES (?, ?, ?)"),
                    {parentAssNr, memberAssNr, type});
    }
};
