// The tree view: node data owned by the nodes, and children made late.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/TreeView.h"

namespace {

class TreeForm : public TForm {
public:
    explicit TreeForm(const TFormKey& Key) : TForm(Key, nullptr, "TreeForm", "TMorvaneTreeTestForm")
    {
        SetBounds(0, 0, 300, 300);
        Tree.SetParent(this);
        Tree.SetBounds(0, 0, 300, 300);
        HandleNeeded();
    }

    TTreeView Tree{this, "Tree"};
};

// Counts its own instances, so a test sees when a node's data is released.
struct TCounted : TTreeNodeData {
    explicit TCounted(int& Alive) : FAlive(Alive) { ++FAlive; }
    ~TCounted() override { --FAlive; }
    int& FAlive;
};

class TreeView : public ::testing::Test {
protected:
    void SetUp() override { Application().Initialize(); }

    // The children of Node as the control holds them, without making late ones.
    std::vector<std::string> ControlChildren(HTREEITEM Node) const
    {
        std::vector<std::string> texts;
        for (HTREEITEM c = TreeView_GetChild(Form.Tree.Handle(), Node); c; c = Form.Tree.NextSibling(c))
            texts.push_back(Form.Tree.NodeText(c));
        return texts;
    }
    int ChildrenFlag(HTREEITEM Node) const
    {
        TVITEMA item{};
        item.mask = TVIF_HANDLE | TVIF_CHILDREN;
        item.hItem = Node;
        ::SendMessageA(Form.Tree.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.cChildren;
    }

    TFormPtr<TreeForm> Owner = MakeForm<TreeForm>();
    TreeForm& Form = *Owner;
    int Made = 0;
    int Alive = 0;
    TTreeView::TMakeChildren MakeTwo = [this](TTreeView& Tree, HTREEITEM Node) {
        ++Made;
        Tree.AddChild(Node, "alpha", std::make_unique<TCounted>(Alive));
        Tree.AddChild(Node, "beta", std::make_unique<TCounted>(Alive));
    };
};

} // namespace

TEST_F(TreeView, LateChildrenAreMadeOnceWhenTheNodeIsFirstExpanded)
{
    TTreeView& tree = Form.Tree;
    HTREEITEM root = tree.AddChild(nullptr, "root");
    tree.AddChildrenLater(root, MakeTwo);

    // Nothing made yet, but the node offers to open.
    EXPECT_TRUE(tree.ChildrenLater(root));
    EXPECT_EQ(ChildrenFlag(root), 1);
    EXPECT_TRUE(ControlChildren(root).empty());
    EXPECT_EQ(tree.Count(), 1u);
    EXPECT_EQ(Made, 0);

    // Opening it, as the keyboard or the expand button does, makes them.
    EXPECT_TRUE(::SendMessageA(tree.Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root)));
    EXPECT_TRUE(tree.Expanded(root));
    EXPECT_EQ(ControlChildren(root), (std::vector<std::string>{"alpha", "beta"}));
    EXPECT_EQ(tree.Count(), 3u);
    EXPECT_FALSE(tree.ChildrenLater(root));

    // Closed and opened again: made only the once.
    ::SendMessageA(tree.Handle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(root));
    ::SendMessageA(tree.Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    EXPECT_EQ(Made, 1);
    EXPECT_EQ(ControlChildren(root).size(), 2u);
    EXPECT_EQ(Alive, 2);

    tree.ClearNodes();
    EXPECT_EQ(Alive, 0);
    EXPECT_EQ(tree.Count(), 0u);
}

TEST_F(TreeView, WalkingTheChildrenMakesThemAndLeavesTheNodeClosed)
{
    TTreeView& tree = Form.Tree;
    HTREEITEM root = tree.AddChild(nullptr, "root");
    tree.AddChildrenLater(root, MakeTwo);

    HTREEITEM first = tree.FirstChild(root);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(tree.NodeText(first), "alpha");
    EXPECT_EQ(tree.NodeText(tree.NextSibling(first)), "beta");
    EXPECT_FALSE(tree.Expanded(root));
    EXPECT_NE(tree.NodeData(first), nullptr);

    // Selecting a child opens its parent without making anything again.
    tree.Select(first);
    EXPECT_EQ(tree.Selected(), first);
    EXPECT_EQ(Made, 1);
    EXPECT_EQ(tree.Count(), 3u);
}

TEST_F(TreeView, ClearingDropsChildrenNotYetMadeAndAFailedMakeIsNotRepeated)
{
    TTreeView& tree = Form.Tree;
    HTREEITEM root = tree.AddChild(nullptr, "root");
    tree.AddChildrenLater(root, MakeTwo);
    tree.ClearNodes();
    EXPECT_EQ(Made, 0);
    EXPECT_EQ(tree.FirstNode(), nullptr);

    // A maker that fails half-way: the nodes it made stay, and it is not run again.
    root = tree.AddChild(nullptr, "root");
    int runs = 0;
    tree.AddChildrenLater(root, [&runs](TTreeView& Tree, HTREEITEM Node) {
        ++runs;
        Tree.AddChild(Node, "made");
        throw std::runtime_error("no more");
    });
    EXPECT_THROW(tree.FirstChild(root), std::runtime_error);
    EXPECT_EQ(tree.NodeText(tree.FirstChild(root)), "made");
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(tree.Count(), 2u);

    // The tree's repainting was resumed after the failure.
    EXPECT_FALSE(tree.Updating());
}
