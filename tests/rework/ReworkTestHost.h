#pragma once

#include <gtest/gtest.h>

#include <QStringList>

#include "tests/db/TraceabilityFixture.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDatabase.h"
#include "tests/tree/TreeTestData.h"
#include "tree/NodeTree.h"
#include "tree/TreeView.h"
#include "workstation/WorkstationHost.h"

// The main window as the rework sees it, without widgets: two node trees, the fields of the panes and the
// status line (every text it was given is kept).
class ReworkTestHost : public WorkstationHost {
public:
    NodeTree trees[2];
    QString paNr[2];
    QStringList statuses;
    QVariant selectedNodeIndex;
    int repaints = 0;

    NodeTree& TreeViewCtr(int index) override { return trees[index]; }
    QString ArtNrText() const override { return QString(); }
    QString PaNrText() const override { return paNr[0]; }
    void SetStatus(const QString& text) override { statuses.append(text); }
    QString Status() const override { return statuses.isEmpty() ? QString() : statuses.back(); }
    QString PaNr(int pane) const override { return paNr[pane]; }
    void SetPaNr(int pane, const QString& text) override { paNr[pane] = text; }
    void ShowOrder(int, const QString&, const QString&) override {}
    void ShowScannedValue(const QString&) override {}
    void ShowScannedArticle(const QString&) override {}
    void FocusTree(int) override {}
    void RepaintTree(int) override { ++repaints; }
    void ProcessPendingEvents() override {}
    void RefreshTreeView() override {}
    QVariant SelectedNodeIndex() const override { return selectedNodeIndex; }
    void SetSelectedNodeIndex(const QVariant& index) override { selectedNodeIndex = index; }
    qint16 LastMouseButton() const override { return 0; }
    TreeView& Tree() override { return tree_; }

private:
    TreeView tree_{*this};
};

// The demo database with scripted dialogs; a message box the test did not take fails it.
class ReworkTest : public TraceabilityFixture {
protected:
    NodeTree& Nodes(int pane = 0) { return host_.trees[pane]; }
    TreeNode* Node(const QString& key, int pane = 0) { return host_.trees[pane].Item(key); }

    // The structure of order 240101 with the finished demo device 9030 loaded into it.
    TreeNode* LoadDemoDevice() {
        host_.paNr[0] = QStringLiteral("240101");
        host_.Tree().CreateNodesForPA(QStringLiteral("240101"));
        TreeNode* root = Node(QStringLiteral("SG-5000-A 0"));
        host_.Tree().InsertDeviceIntoSpecifiedNode(root, 9030);
        host_.Tree().InsertSubAssemblysFromDeviceID(9030, root);
        host_.Tree().InsertProdcodeCountInNodeWithDeviceIdText(root);
        return root;
    }

    ReworkTestHost host_;
};
