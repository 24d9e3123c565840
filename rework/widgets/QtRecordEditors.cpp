#include "rework/widgets/QtRecordEditors.h"

#include <memory>

#include "rework/widgets/RecordEditorForm.h"

void QtRecordEditors::ShowEditor(RecordKind kind, qint32 devId) {
    std::unique_ptr<RecordEditorForm> form;
    if (kind == RecordKind::SerialNumbers) {
        form = std::make_unique<FormSerEdit>(mainWindow_);
    } else {
        form = std::make_unique<FormProdCodeEdit>(mainWindow_);
    }
    form->setWindowModality(Qt::ApplicationModal);
    form->SetDevId(devId);
    form->exec();
}
