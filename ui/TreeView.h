// TTreeView: the tree view control; each node may own a data object, which is
// released when the node is removed.
#pragma once

#include <windows.h>
#include <commctrl.h>

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
    // Removes every node with its data. A selection that goes away is reported by OnChange.
    void ClearNodes();
    size_t Count() const { return FData.size() + FDatalessCount; }

    HTREEITEM FirstNode() const;
    HTREEITEM FirstChild(HTREEITEM Node) const;
    HTREEITEM NextSibling(HTREEITEM Node) const;
    HTREEITEM Selected() const;
    void Select(HTREEITEM Node);
    std::string NodeText(HTREEITEM Node) const;
    TTreeNodeData* NodeData(HTREEITEM Node) const;
    bool Expanded(HTREEITEM Node) const;

    int Indent() const { return FIndent; }
    void SetIndent(int Value);

    // The selected node changed (Node is null when the selection went away).
    std::function<void(TTreeView& Sender, HTREEITEM Node)> OnChange;

protected:
    void CreateWnd(HWND ParentWnd) override;
    bool Notify(NMHDR& Header, LRESULT& Result) override;

private:
    std::unordered_map<HTREEITEM, std::unique_ptr<TTreeNodeData>> FData;
    size_t FDatalessCount = 0;
    std::string FNewText; // the text of the node being added, with its zero byte
    int FIndent = 19;
    bool FClearing = false;
};
