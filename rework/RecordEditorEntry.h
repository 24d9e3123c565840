#pragma once

#include <QString>

class WorkstationHost;

// The two record editors: the serial numbers and the production codes of one device.
enum class RecordKind { SerialNumbers, ProductionCodes };

// Opens a record editor window over the main window and returns when the worker has closed it.
class RecordEditors {
public:
    virtual ~RecordEditors() = default;
    virtual void ShowEditor(RecordKind kind, qint32 devId) = 0;
};

// True for the password that opens the record editors (compared exactly).
bool IsEditorPassword(const QString& password);

// The context-menu entries "Seriennummern / - bearbeiten" and "Produktionscodes / - bearbeiten": asks for the
// editor password, opens the editor on the device of the selected node of the current tree and, once it is
// closed, brings the counters of the node, its parent and the root up to date. A wrong password is refused
// with "Falsches Passwort" by the serial number entry and silently by the production code entry.
// True when an editor was open, so the node details must be built again.
bool EditRecordsOfSelectedDevice(WorkstationHost& host, RecordEditors& editors, RecordKind kind);
