// TTreeView: the tree view control; each node may own a data object, which is
// released when the node is removed. A node's children may be made late: when
// the node is first expanded, or its children first walked.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ui/Control.h"

struct TTreeNodeData {
    virtual ~TTreeNodeData() = default;
};

class TTreeView : public TControl {
public:
    TTreeView(TComponent* Owner, std::string Name);
    ~TTreeView() override;

    // Adds a node at the end of Parent's children (null: a top-level node).
    HTREEITEM AddChild(HTREEITEM Parent, std::string_view Text, std::unique_ptr<TTreeNodeData> Data = {});
    // Node's children, made by Make (which adds them with AddChild) when they
    // are first needed: when Node is first expanded, or FirstChild(Node) is
    // first asked. Until then Node has no child and shows an expand button.
    // A tree of many nodes is thus rebuilt without making them, as long as
    // nobody opens it.
    using TMakeChildren = std::function<void(TTreeView& Sender, HTREEITEM Node)>;
    void AddChildrenLater(HTREEITEM Node, TMakeChildren Make);
    // Whether Node's children are still to be made.
    bool ChildrenLater(HTREEITEM Node) const { return FLater.count(Node) != 0; }
    // Removes every node with its data, and children not made yet. A selection
    // that goes away is reported by OnChange.
    void ClearNodes();
    // The nodes made so far.
    size_t Count() const { return FData.size() + FDatalessCount; }

    HTREEITEM FirstNode() const;
    // The first child of Node, its children made first if they are still to be made.
    HTREEITEM FirstChild(HTREEITEM Node);
    HTREEITEM NextSibling(HTREEITEM Node) const;
    HTREEITEM Selected() const;
    void Select(HTREEITEM Node);
    std::string NodeText(HTREEITEM Node) const;
    TTreeNodeData* NodeData(HTREEITEM Node) const;
    bool Expanded(HTREEITEM Node) const;

    int Indent() const;
    void SetIndent(int Value);
    // The indent scales with the rest.
    void ChangeScale(int M, int D) override;

    // The selected node changed (Node is null when the selection went away).
    std::function<void(TTreeView& Sender, HTREEITEM Node)> OnChange;

protected:
    void CreateWnd(HWND ParentWnd) override;
    bool Notify(NMHDR& Header, LRESULT& Result) override;

private:
    void MakeChildren(HTREEITEM Node);

    std::unordered_map<HTREEITEM, std::unique_ptr<TTreeNodeData>> FData;
    std::unordered_map<HTREEITEM, TMakeChildren> FLater;
    size_t FDatalessCount = 0;
    std::string FNewText; // the text of the node being added, with its zero byte
    int FIndent = 19;   // until the window exists
    bool FClearing = false;
};
