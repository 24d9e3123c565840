#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <ostream>

#include "tree/NodeTree.h"
#include "tree/TreeHost.h"
#include "tree/TreeView.h"

// Shared by the tree tests: readable texts in failure output, the main window as the tree object sees it,
// and rows of the test database written through the tests' own connection (keys are the ones the database
// assigned, never fixed numbers).

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// A run of blanks, as the node texts pad article numbers with.
inline QString Blanks(int count) {
    return QString(count, QLatin1Char(' '));
}

QStringList KeysOf(const NodeTree& tree);  // in index order

// Two tree controls and the order fields of pane 0 (TB_ArtNr holds the product code of the order).
struct TestTreeHost : TreeHost {
    NodeTree trees[2];
    QString artNrText, paNrText;

    NodeTree& TreeViewCtr(int index) override { return trees[index]; }
    QString ArtNrText() const override { return artNrText; }
    QString PaNrText() const override { return paNrText; }
};

// The tree object on tree control 0, over a freshly reset test database.
class TreeTest : public ::testing::Test {
protected:
    void SetUp() override;
    NodeTree& Nodes() { return host_.trees[0]; }
    TreeNode* Node(const QString& key) { return Nodes().Item(key); }

    TestTreeHost host_;
    TreeView tree_{host_};
};

void AddOrder(const QString& paNr, const QString& productCode);
void AddHierarchyRow(const QString& paNr, const QString& subProductCode, const QString& subCount);
void AddBillOfMat(const QString& artNr, int prodCodes, int serNrs, int extSerNrs, bool testRequired);
qint32 AddDevice(const QString& artNr);  // the device ID
qint32 AddAssemblyNumber(qint32 devId);  // the device's own 'A' row; its assembly number
void AddMembership(qint32 parentAssNr, qint32 childAssNr);
void AddRecords(qint32 devId, int prodCodes, int serNrs = 0, int extSerNrs = 0);
int OkFlagOf(qint32 devId);  // of the device's own assembly row; -1 when it has none
