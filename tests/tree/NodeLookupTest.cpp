// Lookups of the node model that do not walk the whole tree: rows among siblings, positions in the index order
// and keys by their beginning, also after nodes were removed and keys changed.

#include <gtest/gtest.h>

#include <functional>

#include "tests/tree/TreeTestData.h"

namespace {

struct LookupCase {
    const char* name;
    std::function<void(NodeTree&)> change;  // applied to the tree built by Build()
    QString prefix;
    QStringList keysWithPrefix;  // in key order
};

void PrintTo(const LookupCase& c, std::ostream* out) {
    *out << c.name;
}

// R 0 > 9030K0 > (9031K0, 90310K0, 9032K1), A 2; Q 0 > 9031K1
void Build(NodeTree& tree) {
    TreeNode* root = tree.Add(nullptr, "R 0", "root");
    TreeNode* device = tree.Add(root, "9030K0", "device");
    tree.Add(device, "9031K0", "a");
    tree.Add(device, "90310K0", "b");
    tree.Add(device, "9032K1", "c");
    tree.Add(root, "A 2", "expected");
    TreeNode* other = tree.Add(nullptr, "Q 0", "other");
    tree.Add(other, "9031K1", "d");
}

const LookupCase kCases[] = {
    {"AsBuilt", [](NodeTree&) {}, "9031", {"90310K0", "9031K0", "9031K1"}},  // "0" sorts before "K"
    {"MarkerNarrows", [](NodeTree&) {}, "9031K", {"9031K0", "9031K1"}},
    {"NoMatch", [](NodeTree&) {}, "8", {}},
    {"LetterCaseCounts", [](NodeTree&) {}, "a ", {}},
    {"AfterRemoval", [](NodeTree& tree) { tree.Remove("9031K0"); }, "9031", {"90310K0", "9031K1"}},
    {"AfterRemovalOfASubtree", [](NodeTree& tree) { tree.Remove("9030K0"); }, "903", {"9031K1"}},
    {"AfterKeyChange",
     [](NodeTree& tree) { tree.Item("A 2")->SetKey("9031K2"); },
     "9031K",
     {"9031K0", "9031K1", "9031K2"}},
    {"KeyGivenBack", [](NodeTree& tree) { tree.Item("9031K1")->SetKey("Q 1"); }, "9031", {"90310K0", "9031K0"}},
    {"AfterClear", [](NodeTree& tree) { tree.Clear(); }, "9", {}},
};

class NodeLookupTest : public ::testing::TestWithParam<LookupCase> {};

}  // namespace

TEST_P(NodeLookupTest, KeysByTheirBeginningRowsAndPositions) {
    const LookupCase& c = GetParam();
    NodeTree tree;
    Build(tree);
    c.change(tree);

    QStringList found;
    for (TreeNode* node : tree.NodesWithKeyPrefix(c.prefix)) {
        found.append(node->Key());
    }
    EXPECT_EQ(found, c.keysWithPrefix);
    EXPECT_EQ(tree.CountKeysWithPrefix(c.prefix), c.keysWithPrefix.size());
    EXPECT_EQ(tree.CountKeysWithPrefix(QString()), tree.Count());

    // Every node knows its place, asked twice (the second answer comes from where it stood).
    for (int round = 0; round < 2; ++round) {
        for (int index = 0; index < tree.Count(); ++index) {
            TreeNode* node = tree.Item(index);
            EXPECT_EQ(node->Index(), index) << node->Key().toStdString();
            EXPECT_EQ(tree.IndexOf(node), index);
            const int row = node->Row();
            TreeNode* parent = node->Parent();
            EXPECT_EQ(parent != nullptr ? parent->Child(row) : tree.TopLevel(row), node);
            TreeNode* next = node->NextSibling();
            EXPECT_EQ(next, parent != nullptr ? parent->Child(row + 1) : tree.TopLevel(row + 1));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, NodeLookupTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });
