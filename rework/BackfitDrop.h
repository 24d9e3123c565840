#pragma once

#include <QString>
#include <QtGlobal>

class ComponentCapture;
class TreeNode;
class WorkstationHost;

// A device dragged from the right tree onto the left one: converted into the article of the device node
// it is dropped on (behind the conversion password), or moved into the slot it is dropped on, as if its
// production code had been scanned there (behind the move password when the slot is of another article).
// All that one drop writes is one transaction: kept whole or rolled back whole, and the trees then show
// again what they showed before.
class BackfitDrop {
public:
    BackfitDrop(WorkstationHost& host, ComponentCapture& capture);

    // The tree control a drag started from.
    qint16 DragSourceIndex = 1;

    // The drop onto tree index: sourceName names the dragged control, sourceNode is the node the drag started
    // on (the button went down on it), targetNode the node under the pointer (each null when there is none).
    void Drop(int index, const QString& sourceName, TreeNode* sourceNode, TreeNode* targetNode);

private:
    void Convert(TreeNode* source, TreeNode* target, const QString& sourceArtNr, const QString& targetArtNr);
    // Shows the records of a conversion in both trees.
    void ShowConversion(qint32 sourceDevId, qint32 targetDevId, qint32 placeholderDevId);
    void Move(TreeNode* source, const QString& sourceArtNr, const QString& targetArtNr);
    bool ConfirmOtherArticle(const QString& sourceArtNr, const QString& targetArtNr);

    WorkstationHost& host_;
    ComponentCapture& capture_;
};
