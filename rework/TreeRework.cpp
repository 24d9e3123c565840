#include "rework/TreeRework.h"

#include "rework/ComponentRemoval.h"
#include "rework/RecordEditorEntry.h"
#include "tree/NodeTree.h"
#include "tree/TreeNode.h"
#include "tree/TreeView.h"
#include "workstation/WorkstationHost.h"

namespace {

// Where a right click to the right of a short node text still meets the text of the row.
constexpr int kRowTextXTwips[] = {800, 1200};

}  // namespace

TreeRework::TreeRework(WorkstationHost& host, NodeTooltipSink& tooltips, RecordEditors& editors)
    : host_(host), editors_(editors), details_(host, tooltips) {}

bool TreeRework::OnMouseDown(int pane, int button, int xTwips, const std::function<TreeNode*(int)>& nodeAt) {
    if (button != 2) {
        return false;
    }
    host_.Tree().SetTreeViewIndex(static_cast<qint16>(pane));
    TreeNode* node = nodeAt(xTwips);
    for (int x : kRowTextXTwips) {
        if (node == nullptr) {
            node = nodeAt(x);
        }
    }
    SetContextNode(pane, node);
    if (node == nullptr) {
        return false;
    }
    editMenu_.UpdateForNode(*node, *node->Root());
    host_.TreeViewCtr(pane).SetSelectedItem(node);
    return true;
}

void TreeRework::OnMouseMove(int pane, int buttons, TreeNode* node) {
    if (buttons == 1) {
        return;  // dragging
    }
    SetContextNode(pane, node);
    details_.OnMouseMove(pane, node);
}

void TreeRework::OnCollapse(TreeNode* node) {
    if (node != nullptr) {
        node->SetExpanded(true);
    }
}

void TreeRework::OnNodeClick(int pane, TreeNode* node) {
    host_.SetSelectedNodeIndex(node != nullptr ? QVariant(node->Index()) : QVariant());
    host_.Tree().SetTreeViewIndex(static_cast<qint16>(pane));
}

void TreeRework::OnClick(int pane) {
    host_.RepaintTree(pane);
    host_.Tree().SetTreeViewIndex(static_cast<qint16>(pane));
}

void TreeRework::MnuDeleteAssembly_Click() {
    RemoveSelectedComponentFromAssembly(host_);
}

void TreeRework::MnuEditSer_Click() {
    if (EditRecordsOfSelectedDevice(host_, editors_, RecordKind::SerialNumbers)) {
        details_.MarkStale();
    }
}

void TreeRework::MnuDelete_Click() {
    if (EditRecordsOfSelectedDevice(host_, editors_, RecordKind::ProductionCodes)) {
        details_.MarkStale();
    }
}

TreeNode* TreeRework::ContextNode() const {
    if (contextPane_ < 0 || contextKey_.isEmpty()) {
        return nullptr;
    }
    return host_.TreeViewCtr(contextPane_).Item(contextKey_);
}

void TreeRework::SetContextNode(int pane, TreeNode* node) {
    contextPane_ = node != nullptr ? pane : -1;
    contextKey_ = node != nullptr ? node->Key() : QString();
}
