#include "db/RecordSet.h"

#include "shell/VelkorError.h"

void RecordSet::Open(const QStringList& fields) {
    fields_ = fields;
    rows_.clear();
    current_ = 0;
    open_ = true;
}

void RecordSet::Close() {
    fields_.clear();
    rows_.clear();
    current_ = 0;
    open_ = false;
}

void RecordSet::AddRow(const QVariantList& values) {
    QVariantList row = values;
    while (row.size() < fields_.size()) {
        row.append(QVariant());
    }
    rows_.push_back(row);
}

void RecordSet::MoveNext() {
    if (current_ < rows_.size()) {
        ++current_;
    }
}

int RecordSet::FieldIndex(const QString& name) const {
    for (int i = 0; i < fields_.size(); ++i) {
        if (fields_.at(i).compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

QVariant RecordSet::Field(const QString& name) const {
    const int index = FieldIndex(name);
    if (index < 0) {
        throw VelkorError(3265, QStringLiteral("Item cannot be found in the collection corresponding to the "
                                               "requested name or ordinal: ") +
                                    name);
    }
    return Field(index);
}

QVariant RecordSet::Field(int index) const {
    if (Eof() || index < 0 || index >= fields_.size()) {
        return QVariant();
    }
    return rows_[current_].at(index);
}
