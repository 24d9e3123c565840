#pragma once

#include "rework/RecordEditorEntry.h"

class QWidget;

// Opens FormSerEdit or FormProdCodeEdit modally over the main window.
class QtRecordEditors : public RecordEditors {
public:
    explicit QtRecordEditors(QWidget* mainWindow) : mainWindow_(mainWindow) {}

    void ShowEditor(RecordKind kind, qint32 devId) override;

private:
    QWidget* mainWindow_;
};
