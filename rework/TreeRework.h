#pragma once

#include <QString>
#include <functional>

#include "rework/EditMenuState.h"
#include "rework/NodeDetails.h"

class RecordEditors;
class TreeNode;
class WorkstationHost;

// What the trees of the main window do with the mouse apart from scanning and dragging: the node details
// while the pointer rests on a node, the context menu MnuEdit and its entries (removal from the assembly, the
// record editors), and the small events that keep the trees fully expanded. The window forwards its tree
// events here; nothing here knows a widget.
class TreeRework {
public:
    TreeRework(WorkstationHost& host, NodeTooltipSink& tooltips, RecordEditors& editors);

    // Mouse button pressed over tree `pane` (1 left, 2 right, 4 middle). nodeAt(x) gives the node in the
    // pointer's row at x (twips of the tree control), null when there is none; xTwips is the pointer's x.
    // A right click makes the node under the pointer the context node, selects it and sets the entries of
    // MnuEdit (EditMenu()); true when the window is to pop up MnuEdit at the pointer.
    bool OnMouseDown(int pane, int button, int xTwips, const std::function<TreeNode*(int)>& nodeAt);
    // Mouse moved over tree `pane` with the buttons held (1 left, 2 right, 4 middle, added); node is the node
    // under the pointer or null. With only the left button held the move belongs to dragging.
    void OnMouseMove(int pane, int buttons, TreeNode* node);
    // A node was collapsed: it is expanded again, the trees stay fully expanded.
    static void OnCollapse(TreeNode* node);
    // Node click and click on tree `pane`.
    void OnNodeClick(int pane, TreeNode* node);
    void OnClick(int pane);

    // The entries of MnuEdit.
    void MnuDeleteAssembly_Click();
    void MnuEditSer_Click();
    void MnuDelete_Click();

    const EditMenuState& EditMenu() const { return editMenu_; }
    // The node under the pointer at the last hover or right click; null when there is none (any more).
    TreeNode* ContextNode() const;
    NodeDetails& Details() { return details_; }

private:
    void SetContextNode(int pane, TreeNode* node);

    WorkstationHost& host_;
    RecordEditors& editors_;
    NodeDetails details_;
    EditMenuState editMenu_;
    // The context node by tree and key: a node reference would outlive a removal of the node.
    int contextPane_ = -1;
    QString contextKey_;
};
