#include "ui/TreeView.h"

#include "base/ScopeExit.h"
#include "base/SystemError.h"

TTreeView::TTreeView(TComponent* Owner, std::string Name) : TControl(Owner, std::move(Name)) {}

TTreeView::~TTreeView()
{
    OnChange = nullptr;
}

void TTreeView::CreateWnd(HWND ParentWnd)
{
    CreateStdClass(ParentWnd, WC_TREEVIEWA,
                   WS_CHILD | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                       TVS_SHOWSELALWAYS | TVS_FULLROWSELECT | TVS_NOTOOLTIPS,
                   WS_EX_CLIENTEDGE);
    ::SendMessageA(FHandle, TVM_SETINDENT, FIndent, 0);
}

int TTreeView::Indent() const
{
    return FHandle ? static_cast<int>(::SendMessageA(FHandle, TVM_GETINDENT, 0, 0)) : FIndent;
}

void TTreeView::SetIndent(int Value)
{
    if (FHandle)
        ::SendMessageA(FHandle, TVM_SETINDENT, Value, 0);
    else
        FIndent = Value;
}

void TTreeView::ChangeScale(int M, int D)
{
    TControl::ChangeScale(M, D);
    SetIndent(::MulDiv(Indent(), M, D));
}

HTREEITEM TTreeView::AddChild(HTREEITEM Parent, std::string_view Text, std::unique_ptr<TTreeNodeData> Data)
{
    HandleNeeded();
    FNewText.assign(Text);
    TVINSERTSTRUCTA insert{};
    insert.hParent = Parent ? Parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = FNewText.data();
    insert.item.lParam = reinterpret_cast<LPARAM>(Data.get());
    auto node = reinterpret_cast<HTREEITEM>(
        ::SendMessageA(FHandle, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!node)
        ThrowLastError("Cannot add tree node", "TVM_INSERTITEMA");
    if (Data)
        FData.emplace(node, std::move(Data));
    else
        ++FDatalessCount;
    return node;
}

void TTreeView::AddChildrenLater(HTREEITEM Node, TMakeChildren Make)
{
    if (!FHandle || !Node || !Make)
        return;
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = Node;
    item.cChildren = 1;
    if (!::SendMessageA(FHandle, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        ThrowLastError("Cannot change tree node", "TVM_SETITEMA");
    FLater[Node] = std::move(Make);
}

void TTreeView::MakeChildren(HTREEITEM Node)
{
    auto later = FLater.find(Node);
    if (later == FLater.end())
        return;
    // Taken out first: made once, even when making them fails.
    TMakeChildren make = std::move(later->second);
    FLater.erase(later);
    BeginUpdate();
    const auto resume = ScopeExit([this] { EndUpdate(); });
    make(*this, Node);
}

void TTreeView::ClearNodes()
{
    if (!FHandle)
        return;
    FLater.clear();
    bool hadSelection = Selected() != nullptr;
    FClearing = true;
    ::SendMessageA(FHandle, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    FClearing = false;
    FData.clear();
    FDatalessCount = 0;
    if (hadSelection && OnChange)
        OnChange(*this, nullptr);
}

HTREEITEM TTreeView::FirstNode() const
{
    return FHandle ? TreeView_GetRoot(FHandle) : nullptr;
}

HTREEITEM TTreeView::FirstChild(HTREEITEM Node)
{
    if (!FHandle)
        return nullptr;
    MakeChildren(Node);
    return TreeView_GetChild(FHandle, Node);
}

HTREEITEM TTreeView::NextSibling(HTREEITEM Node) const
{
    return FHandle ? TreeView_GetNextSibling(FHandle, Node) : nullptr;
}

HTREEITEM TTreeView::Selected() const
{
    return FHandle ? TreeView_GetSelection(FHandle) : nullptr;
}

void TTreeView::Select(HTREEITEM Node)
{
    if (FHandle)
        TreeView_SelectItem(FHandle, Node);
}

std::string TTreeView::NodeText(HTREEITEM Node) const
{
    std::string text(256, '\0');
    for (;;) {
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = Node;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        if (!::SendMessageA(FHandle, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
            return {};
        size_t length = lstrlenA(text.c_str());
        if (length + 1 < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

TTreeNodeData* TTreeView::NodeData(HTREEITEM Node) const
{
    auto it = FData.find(Node);
    return it == FData.end() ? nullptr : it->second.get();
}

bool TTreeView::Expanded(HTREEITEM Node) const
{
    return FHandle && (TreeView_GetItemState(FHandle, Node, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

bool TTreeView::Notify(NMHDR& Header, LRESULT& Result)
{
    switch (Header.code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
        if (FClearing)
            return true;
        auto& nm = reinterpret_cast<NMTREEVIEWA&>(Header);
        if (OnChange)
            OnChange(*this, nm.itemNew.hItem);
        Result = 0;
        return true;
    }
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        auto& nm = reinterpret_cast<NMTREEVIEWA&>(Header);
        if (nm.action & TVE_EXPAND)
            MakeChildren(nm.itemNew.hItem);
        Result = FALSE;
        return true;
    }
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW: {
        auto& nm = reinterpret_cast<NMTREEVIEWA&>(Header);
        FLater.erase(nm.itemOld.hItem);
        if (FData.erase(nm.itemOld.hItem) == 0 && FDatalessCount > 0 && !FClearing)
            --FDatalessCount;
        return true;
    }
    }
    return false;
}
