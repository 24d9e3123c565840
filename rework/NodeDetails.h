#pragma once

#include <QString>

class TreeNode;
class WorkstationHost;

// Where the node details appear: the main window shows them in a tooltip over the tree of a pane.
class NodeTooltipSink {
public:
    virtual ~NodeTooltipSink() = default;
    // Replaces the tooltip by one with the text over the tree of the pane; pane -1 takes the tooltip down.
    // Raises a VelkorError when the tooltip cannot be built.
    virtual void ShowNodeTooltip(int pane, const QString& text) = 0;
};

// The details of the node under the pointer (device, order it was assembled under, production codes, serial
// numbers, description, key), shown in the tooltip of the tree. The database is asked only when the pointer
// reaches another node, or after a record editor changed what the details show.
class NodeDetails {
public:
    NodeDetails(WorkstationHost& host, NodeTooltipSink& tooltips);

    // The pointer moved over tree `pane` (no button, or another than the left one); node is the node under
    // the pointer, null when there is none.
    void OnMouseMove(int pane, TreeNode* node);
    // A record editor was used: the next hover builds the details again, also for the same node.
    void MarkStale() { hoverStale_ = true; }

    const QString& NodeDetailsText() const { return nodeDetailsText_; }
    const QString& HoverKey() const { return hoverKey_; }
    bool HoverActive() const { return hoverActive_; }

private:
    void BuildDeviceDetails(TreeNode& node);
    // Shows NodeDetailsText over the tree TooltipParent (-1: takes the tooltip down).
    void ShowNodeTooltip();
    void ShowOverTree(int pane);

    WorkstationHost& host_;
    NodeTooltipSink& tooltips_;
    QString hoverKey_;
    bool hoverStale_ = false;
    bool hoverActive_ = false;
    bool connectionLostShown_ = false;  // a lost connection was reported and has not come back since
    QString nodeDetailsText_;
    int tooltipParent_ = -1;
};
