#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>
#include <memory>

class AssemblyDbClass;
class DeviceRecords;
class NodeTree;
class TreeHost;
class TreeNode;

// The assembly tree of the main window: builds the expected structure of a production order, turns
// expected nodes into device nodes, loads recorded devices, keeps the progress counters of device nodes and
// moves the selection along the article's scan order. Every member works on the tree control
// TreeViewCtr(TreeViewIndex) of the host and keeps no node between calls: all the state of a node lives in
// its key, text and image (NodeKey.h, NodeText.h). The images are the keys "Set" (device complete),
// "Unknown" (expected, or device not complete) and "HasDev" (device with nothing recorded).
//
// Node pointers passed in and returned belong to the tree control; null stands for "no node".
class TreeView {
public:
    // Fills the shared image list on first use and binds it to both tree controls.
    explicit TreeView(TreeHost& host);

    qint16 TreeViewIndex() const { return treeViewIndex_; }
    void SetTreeViewIndex(qint16 index) { treeViewIndex_ = index; }

    // ---- Searches and selection (first match in index order; null when none) ---------------------------
    // A node whose article equals artNr and, when suffix is not empty, whose instance suffix matches the
    // suffix pattern.
    TreeNode* GetNodeWithSuffix(const QString& artNr, const QVariant& suffix = QVariant());
    // A node whose article begins with artNr (matched as pattern artNr + "*").
    TreeNode* GetNodeWithArtNr(const QString& artNr);
    // An expected node of the article: first one whose suffix matches suffix and whose article begins with
    // artNr; else (always, when suffix is null) one whose article matches artNr.
    TreeNode* GetNodeWithoutDevIdWithArtNr(const QString& artNr, const QVariant& suffix);
    // A device node of the device whose article begins with artNr; the second argument is not used.
    TreeNode* GetNodeWithDevIdAndArtNr(const QString& artNr, const QVariant& ignored, qint32 devId);
    // True when a node of the device is in the tree.
    bool CheckIfDeviceIDIsAllreadyPresent(qint32 devId);

    // ---- Production order structure ------------------------------------------------------------------
    // Clears the tree and adds a single root for the article; null (after telling the worker) when empty.
    TreeNode* CreateRootDevice(const QString& artNr);
    // Clears the tree and builds the expected structure of the production order.
    void CreateNodesForPA(const QString& paNr);
    // Adds the expected nodes of every hierarchy row of the order below parentNode.
    void InsertSubAssemblys(const QString& paNr, TreeNode* parentNode);
    // Writes the expected text of the article into the node and expands it.
    void InsertNewArtNrInToNode(TreeNode* node, const QString& artNr);

    // ---- Devices in the tree -------------------------------------------------------------------------
    // Makes the node the device node of devId (keeps the piece digit of an expected piece).
    void InsertDeviceIntoSpecifiedNode(TreeNode* node, qint32 devId);
    // Shows the recorded sub-devices of devId, all levels: matched to their nodes anywhere in the tree, or
    // added below parentNode. A device met a second time in one walk (a cycle in the records) is skipped.
    void InsertSubAssemblysFromDeviceID(qint32 devId, TreeNode* parentNode);
    // Records the node's device as a member of its parent node's device, giving either device an assembly
    // number first when it has none; the node's assembly number, or empty after an error (reported).
    // newDevice: the node's device was created by the operation in progress and has no assembly number yet.
    // A parent device without an assembly number that is not recorded at all (the screen kept a device whose
    // creation was undone) gets none: kShownDeviceNotRecorded is thrown, for the operation to end and the screen to
    // be read again.
    QVariant InsertNewDeviceIntoAssembledDevicesInTreeView(TreeNode* node, bool newDevice = false);
    static constexpr long kShownDeviceNotRecorded = 10033;
    // Turns a device node back into an expected node without children, then shows again what is still
    // recorded below the root device.
    void ClearDeviceInNode(TreeNode* node);

    // ---- Progress ------------------------------------------------------------------------------------
    // Brings text, image and the device's OK flag up to date; nothing for an expected node.
    void InsertProdcodeCountInNodeWithDeviceIdText(TreeNode* node);
    // Production codes recorded on the devices below the node.
    qint16 CountPreviousProdCodesInTree(TreeNode* node);
    // Production codes the bill of materials expects on all nodes below the node.
    qint16 CountPreviousProdCodesAquiredInTree(TreeNode* node);
    // Inside an operation: reads the bill-of-materials figures of every article in the tree by one statement.
    void ReadBillsOfMatInTree();
    // Reads the counts of the devices of the node's subtree once, for the progress updates that follow until
    // EndKeepingCounts; nothing may be recorded in between (the completeness flags they write are followed).
    void KeepCountsBelow(TreeNode* node);
    void EndKeepingCounts();
    // Until EndKeepingCounts, the progress updates write this completeness flag for the device instead of the
    // one its counts give.
    void HoldOKFlag(qint32 devId, bool flag);
    // Production codes recorded on the device itself: from the counts kept when they hold it, else by a statement.
    qint16 ProdCodesOf(qint32 devId);

    // ---- Navigation ----------------------------------------------------------------------------------
    // Selects the node to scan after node (null: the first of the scan order); returns a scan-order
    // keyword ("NewDevice", "SwapDevice", "NewDeviceWCommit", "SwapDeviceWCommit") instead of selecting,
    // or the empty text.
    QString SelectNextNode(TreeNode* node);
    // Selects the node with that key (a text) or index (a number); a missing node leaves the selection.
    void SelectLastNode(const QVariant& index);

private:
    NodeTree& Tree() const;
    static AssemblyDbClass& Db();
    // The node itself; raises a VelkorError for a missing node.
    static TreeNode& NodeOrRaise(TreeNode* node);
    void LoadSubAssemblys(qint32 devId, TreeNode* parentNode, QSet<qint32>& visited);
    int SumRecordedProdCodesBelow(TreeNode* node);
    int SumExpectedProdCodesBelow(TreeNode* node);
    // The device IDs SumRecordedProdCodesBelow reads, with the node's own.
    void CollectCountedDevices(TreeNode* node, QList<qint32>& devIds) const;

    // What the database records of devices, answered from records_ when they hold the device (read at once for
    // the operation in progress), else by a statement of their own.
    QVariant OwnAssemblyOf(qint32 devId);
    QList<QVariant> MembersOf(const QVariant& assNr);
    QList<QVariant> DevicesOf(const QVariant& memberAssNr);
    QVariant RecordedArticleOf(qint32 devId);
    qint16 SerialsOf(qint32 devId);
    qint16 ExtSerialsOf(qint32 devId);

    TreeHost& host_;
    qint16 treeViewIndex_ = 0;
    DeviceRecords* records_ = nullptr;
    std::shared_ptr<DeviceRecords> keptCounts_;
    QHash<qint32, bool> heldOKFlags_;
};
