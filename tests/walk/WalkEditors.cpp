#include "tests/walk/WalkEditors.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTableView>
#include <algorithm>

#include "rework/DeviceRecordsModel.h"
#include "rework/widgets/RecordEditorForm.h"
#include "tests/support/TestDatabase.h"
#include "tests/walk/WalkValues.h"
#include "tests/walk/WalkWorker.h"

namespace {

// The values the grid shows in its record rows, in order.
QStringList Shown(const DeviceRecordsModel& model) {
    QStringList values;
    for (int row = 0; row < model.NewRowLine(); ++row) {
        values.append(model.data(model.index(row, DeviceRecordsModel::ValueColumn), Qt::EditRole).toString());
    }
    return values;
}

QStringList Sorted(QStringList values) {
    values.sort();
    return values;
}

QStringList Recorded(RecordKind kind, qint32 devId) {
    return kind == RecordKind::SerialNumbers
               ? QueryTestRows(QStringLiteral("SELECT SerialNumber FROM device_serialnumber WHERE DeviceID = ?"),
                               {devId})
               : QueryTestRows(QStringLiteral("SELECT ProductionCode FROM device_productioncode WHERE DeviceID = ?"),
                               {devId});
}

// The messages shown so far; a step that showed one may have had its edits refused or rolled back.
int MessageCount() {
    const auto* worker = dynamic_cast<const WalkWorker*>(&Dialogs());
    return worker != nullptr ? static_cast<int>(worker->Log().size()) : 0;
}

void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

}  // namespace

void WalkEditors::Prepare(const QStringList* steps) {
    replay_ = steps;
    steps_.clear();
    findings_.clear();
}

QStringList WalkEditors::ChooseSteps(int rows, bool prodCodes) {
    QStringList steps;
    const int count = 1 + values_.Below(3);
    for (int i = 0; i < count; ++i) {
        switch (values_.Below(5)) {
            case 0:
            case 1:
                steps.append(
                    QStringLiteral("edit:%1:%2").arg(values_.Below(rows + 1)).arg(values_.EditorValue(prodCodes)));
                break;
            case 2:
                steps.append(QStringLiteral("add:") + values_.EditorValue(prodCodes));
                break;
            case 3: {
                // Often the row just edited, before its edit was written.
                const QString last = steps.isEmpty() ? QString() : steps.last();
                const int row = last.startsWith(QLatin1String("edit:")) && values_.Chance(60)
                                    ? last.section(QLatin1Char(':'), 1, 1).toInt()
                                    : values_.Below(rows + 2) - 1;
                steps.append(QStringLiteral("del:%1").arg(row));
                break;
            }
            default:
                steps.append(QStringLiteral("refresh"));
                break;
        }
    }
    return steps;
}

void WalkEditors::ShowEditor(RecordKind kind, qint32 devId) {
    if (auto* worker = dynamic_cast<WalkWorker*>(&Dialogs())) {
        worker->EnterLaterSteps();
    }
    RecordEditorForm form(kind);
    form.SetDevId(devId);
    DeviceRecordsModel& model = form.DatPrimaryRS();
    QTableView* grid = form.GrdDataGrid();
    const bool prodCodes = kind == RecordKind::ProductionCodes;
    steps_ = replay_ != nullptr ? *replay_ : ChooseSteps(model.NewRowLine(), prodCodes);
    // What the supervisor sees in the grid and expects to stay, in the grid's order.
    QStringList expected = Shown(model);
    for (const QString& step : steps_) {
        const int messagesBefore = MessageCount();
        const QString op = step.section(QLatin1Char(':'), 0, 0);
        if (op == QLatin1String("edit")) {
            const int row = qMin(step.section(QLatin1Char(':'), 1, 1).toInt(), model.NewRowLine());
            const QString value = step.section(QLatin1Char(':'), 2);
            grid->setCurrentIndex(model.index(row, DeviceRecordsModel::ValueColumn));
            Settle();  // leaving a row writes it and may read the rows again
            expected = Shown(model);
            const int at = grid->currentIndex().row();
            if (model.setData(model.index(at, DeviceRecordsModel::ValueColumn), value)) {
                if (at < expected.size()) {
                    expected[at] = value;
                } else {
                    expected.append(value);
                }
                writtenProdCodes_.insert(value.trimmed());
            }
        } else if (op == QLatin1String("add")) {
            const QString value = step.section(QLatin1Char(':'), 1);
            form.CmdAdd()->click();
            Settle();
            expected = Shown(model);
            if (model.setData(model.index(model.NewRowLine(), DeviceRecordsModel::ValueColumn), value)) {
                expected.append(value);
                writtenProdCodes_.insert(value.trimmed());
            }
        } else if (op == QLatin1String("del")) {
            const int row = step.section(QLatin1Char(':'), 1).toInt();
            grid->setCurrentIndex(row >= 0 ? model.index(qMin(row, model.NewRowLine()), DeviceRecordsModel::ValueColumn)
                                           : QModelIndex());
            Settle();
            // The supervisor sees the grid as it is now and deletes the row the cursor is on.
            expected = Shown(model);
            const int at = grid->currentIndex().isValid() ? grid->currentIndex().row() : -1;
            const QString target = at >= 0 && at < expected.size() ? expected.at(at) : QString();
            form.CmdDelete()->click();
            Settle();
            if (at >= 0 && at < expected.size()) {
                expected.removeAt(at);
            }
            if (MessageCount() == messagesBefore && Sorted(Shown(model)) != Sorted(expected)) {
                findings_.append(
                    QStringLiteral("\"Löschen\" on row %1 (\"%2\") left the grid showing [%3] instead of [%4]")
                        .arg(at)
                        .arg(target, Shown(model).join(QStringLiteral(", ")), expected.join(QStringLiteral(", "))));
            }
        } else if (op == QLatin1String("refresh")) {
            form.CmdRefresh()->click();
            Settle();
            // Read again: the grid shows what is recorded (a new row left without a value was not written).
            expected = Recorded(kind, devId);
        }
        if (MessageCount() != messagesBefore) {
            expected = Shown(model);  // a refused or failed write: the grid was read again
        } else if (Sorted(Shown(model)) != Sorted(expected) && findings_.isEmpty()) {
            findings_.append(
                QStringLiteral("after \"%1\" the grid shows [%2] instead of [%3]")
                    .arg(step, Shown(model).join(QStringLiteral(", ")), expected.join(QStringLiteral(", "))));
        }
        expected = Shown(model);
    }
    const int messagesBefore = MessageCount();
    QStringList pending = Shown(model);
    form.done(QDialog::Accepted);
    Settle();
    if (MessageCount() == messagesBefore && findings_.isEmpty()) {
        pending.removeAll(QString());  // a new row left without a value records nothing
        QStringList recorded = Recorded(kind, devId);
        recorded.removeAll(QString());
        if (Sorted(recorded) != Sorted(pending)) {
            findings_.append(QStringLiteral("the window closed showing [%1], the database holds [%2]")
                                 .arg(pending.join(QStringLiteral(", ")), recorded.join(QStringLiteral(", "))));
        }
    }
}
