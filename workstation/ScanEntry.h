#pragma once

class ComponentCapture;
class WorkstationHost;

// The double-click on a node of a tree: asks for a scanned value and passes it to the capture as a
// production code, a serial number or an external serial number, by its format.
class ScanEntry {
public:
    ScanEntry(WorkstationHost& host, ComponentCapture& capture);

    void TreeViewCtr_DblClick(int index);

private:
    WorkstationHost& host_;
    ComponentCapture& capture_;
};
