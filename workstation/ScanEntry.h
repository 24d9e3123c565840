#pragma once

#include <QString>

class ComponentCapture;
class TreeNode;
class WorkstationHost;

// A value entered on the selected node of the tree of pane 0 other than through the production-code capture:
// typed into the input box of a double-click, or scanned into the tree as a line that is no production code.
// It goes to the capture as a production code, a serial number or an external serial number, by its format.
class ScanEntry {
public:
    ScanEntry(WorkstationHost& host, ComponentCapture& capture);

    // The double-click on a node: asks for the value in an input box.
    void TreeViewCtr_DblClick(int index);
    // A line scanned into the tree of pane 0 (a value of any format but "P" and eight digits, which the capture
    // takes itself): passed on as the double-click passes its value. A value of no known format on a node that
    // takes no external serial number is refused with the refusal tone.
    void TreeViewCtr_ScannedLine(const QString& value);

private:
    // Checks the value and passes it to the capture for the node; then ready, with the keyboard on the tree.
    void EnterValue(TreeNode* node, const QString& value, bool scanned);

    WorkstationHost& host_;
    ComponentCapture& capture_;
};
