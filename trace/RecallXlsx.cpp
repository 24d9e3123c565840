#include <xlsxwriter.h>

#include <QFile>
#include <QHash>

#include "trace/RecallReports.h"

// The recall as a workbook, written by libxlsxwriter: sheet "Rückruf" with one row per affected final product
// (German headings and words, a filter on every column, the heading row frozen), sheet "Kriterien" with the
// question and the counts.

namespace {

// The machine keys of the CSV fields in the words of the spreadsheet's readers.
QString German(const QString& key) {
    static const QHash<QString, QString> words{
        {QStringLiteral("built-in"), QStringLiteral("verbaut")},
        {QStringLiteral("removed"), QStringLiteral("ausgebaut")},
        {QStringLiteral("itself"), QStringLiteral("selbst")},
        {QStringLiteral("passed"), QStringLiteral("bestanden")},
        {QStringLiteral("failed"), QStringLiteral("nicht bestanden")},
        {QStringLiteral("untested"), QStringLiteral("ungeprüft")},
        {QStringLiteral("several-devices"), QStringLiteral("Code für mehrere Geräte")},
        {QStringLiteral("cycle"), QStringLiteral("Zyklus")},
    };
    QStringList parts = key.split(QLatin1Char('|'));
    for (QString& part : parts) {
        part = words.value(part, part);
    }
    return parts.join(QStringLiteral(", "));
}

const char* const kHeadings[] = {"Gerät",         "Artikel", "PA",          "Produktionscodes",
                                 "Seriennummern", "Zustand", "Komponenten", "Zustand der Komponenten",
                                 "ausgebaut am",  "Test",    "Testdatum",   "Warnungen"};
const double kWidths[] = {9, 14, 9, 16, 14, 10, 16, 22, 20, 14, 20, 22};

class Sheet {
public:
    Sheet(lxw_worksheet* sheet, lxw_format* bold) : sheet_(sheet), bold_(bold) {}
    void Text(int row, int column, const QString& text, bool heading = false) {
        const QByteArray utf8 = text.toUtf8();
        worksheet_write_string(sheet_, row, static_cast<lxw_col_t>(column), utf8.constData(),
                               heading ? bold_ : nullptr);
    }
    void Number(int row, int column, double value) {
        worksheet_write_number(sheet_, row, static_cast<lxw_col_t>(column), value, nullptr);
    }
    lxw_worksheet* Raw() const { return sheet_; }

private:
    lxw_worksheet* sheet_;
    lxw_format* bold_;
};

void WriteProducts(Sheet sheet, const RecallResult& result) {
    const int columns = static_cast<int>(std::size(kHeadings));
    for (int column = 0; column < columns; ++column) {
        sheet.Text(0, column, QString::fromUtf8(kHeadings[column]), true);
        worksheet_set_column(sheet.Raw(), static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column),
                             kWidths[column], nullptr);
    }
    int row = 0;
    for (const RecallProduct& product : result.products) {
        const QStringList fields = RecallFields(result, product);
        ++row;
        sheet.Number(row, 0, product.devId);
        for (int column = 1; column < columns; ++column) {
            const bool keyed = column == 5 || column == 7 || column == 9 || column == 11;
            QString field = fields.value(column);
            if (!keyed) {
                field.replace(QLatin1Char('|'), QStringLiteral(", "));
            }
            sheet.Text(row, column, keyed ? German(field) : field);
        }
    }
    worksheet_autofilter(sheet.Raw(), 0, 0, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(columns - 1));
    worksheet_freeze_panes(sheet.Raw(), 1, 0);
}

void WriteCriteria(Sheet sheet, const RecallResult& result) {
    int row = 0;
    sheet.Text(row++, 0, QStringLiteral("Kriterien"), true);
    for (const QString& label : CriteriaLabels(result.criteria)) {
        sheet.Text(row++, 0, label);
    }
    ++row;
    const int builtIn = static_cast<int>(std::count_if(result.products.begin(), result.products.end(),
                                                       [](const RecallProduct& p) { return p.StillBuiltIn(); }));
    const QList<QPair<QString, int>> counts{
        {QStringLiteral("Komponenten ausgewählt"), static_cast<int>(result.components.size())},
        {QStringLiteral("davon in keinem Gerät verbaut"), static_cast<int>(result.notBuiltIn.size())},
        {QStringLiteral("betroffene Endprodukte"), static_cast<int>(result.products.size())},
        {QStringLiteral("davon mit noch verbauter Komponente"), builtIn},
        {QStringLiteral("Codes für mehrere Geräte"), static_cast<int>(result.ambiguous.size())},
        {QStringLiteral("Zyklen in der Baugruppen-Tabelle"), static_cast<int>(result.cycles.size())}};
    for (const auto& [label, count] : counts) {
        sheet.Text(row, 0, label);
        sheet.Number(row++, 1, count);
    }
    worksheet_set_column(sheet.Raw(), 0, 0, 40, nullptr);
}

}  // namespace

QString WriteRecallXlsx(const RecallResult& result, const QString& path) {
    // Tried first, so that a path that cannot be written is named in the program's words, not the library's.
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly)) {
        return QStringLiteral("%1 kann nicht geschrieben werden: %2").arg(path, probe.errorString());
    }
    probe.close();
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* workbook = workbook_new(file.constData());
    if (workbook == nullptr) {
        return QStringLiteral("%1 kann nicht geschrieben werden").arg(path);
    }
    lxw_format* bold = workbook_add_format(workbook);
    format_set_bold(bold);
    WriteProducts(Sheet(workbook_add_worksheet(workbook, "Rückruf"), bold), result);
    WriteCriteria(Sheet(workbook_add_worksheet(workbook, "Kriterien"), bold), result);
    const lxw_error error = workbook_close(workbook);
    return error == LXW_NO_ERROR ? QString()
                                 : QStringLiteral("%1 kann nicht geschrieben werden: %2")
                                       .arg(path, QString::fromUtf8(lxw_strerror(error)));
}
