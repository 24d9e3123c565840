#include "trace/CsvFields.h"

namespace {

QString Field(const QString& value) {
    if (value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('"')) || value.contains(QLatin1Char('\n')) ||
        value.contains(QLatin1Char('\r'))) {
        QString quoted = value;
        quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
        return QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    return value;
}

}  // namespace

void WriteCsvRow(const QStringList& fields, QTextStream& out, int columns) {
    QStringList quoted;
    for (const QString& field : fields) {
        quoted.append(Field(field));
    }
    while (quoted.size() < columns) {
        quoted.append(QString());
    }
    out << quoted.join(QLatin1Char(';')) << '\n';
}
