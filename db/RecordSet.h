#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

// A read-only, fully fetched result (or an in-memory list of rows) with a current-row cursor.
// Field names are matched without regard to letter case, as the database treats column names.
class RecordSet {
public:
    // Opens the set empty with the given fields; any earlier content is dropped.
    void Open(const QStringList& fields);
    void Close();
    bool IsOpen() const { return open_; }

    void AddRow(const QVariantList& values);

    bool Eof() const { return current_ >= rows_.size(); }
    bool Bof() const { return rows_.empty(); }
    void MoveFirst() { current_ = 0; }
    void MoveNext();
    int RecordCount() const { return static_cast<int>(rows_.size()); }

    // The named field of the current row; an invalid variant when there is no current row.
    QVariant Field(const QString& name) const;
    QVariant Field(int index) const;
    const QStringList& Fields() const { return fields_; }

private:
    int FieldIndex(const QString& name) const;

    bool open_ = false;
    QStringList fields_;
    std::vector<QVariantList> rows_;
    size_t current_ = 0;
};
