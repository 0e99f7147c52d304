#include "ui/ListView.h"

#include <algorithm>
#include <string_view>

// --- TListColumn ----------------------------------------------------------

int TListColumn::ClampWidth(int Value, int MinWidth, int MaxWidth)
{
    if (Value >= 0 && Value < MinWidth)
        Value = MinWidth;
    if (MaxWidth > 0 && Value > MaxWidth)
        Value = MaxWidth;
    return Value;
}

void TListColumn::SetAlignment(TAlignment Value)
{
    if (FIndex == 0) // the first column's texts stay left-aligned
        return;
    FAlignment = Value;
    Apply();
}

void TListColumn::SetCaption(const std::string& Value)
{
    FCaption = Value;
    Apply();
}

void TListColumn::SetMinWidth(int Value)
{
    FMinWidth = std::max(Value, 0);
    Apply();
}

void TListColumn::SetMaxWidth(int Value)
{
    FMaxWidth = std::max(Value, 0);
    Apply();
}

int TListColumn::Width() const
{
    if (FOwner->HandleAllocated() && FIndex < FOwner->FBuiltColumns && !FOwner->FColumns.Updating())
        return static_cast<int>(::SendMessageA(FOwner->Handle(), LVM_GETCOLUMNWIDTH, FIndex, 0));
    return FWidth;
}

void TListColumn::SetWidth(int Value)
{
    FWidth = ClampWidth(Value, FMinWidth, FMaxWidth);
    Apply();
}

void TListColumn::Apply()
{
    FOwner->FColumns.Changed();
}

// --- TListColumns ---------------------------------------------------------

TListColumn& TListColumns::Add()
{
    FItems.push_back(std::make_unique<TListColumn>(FOwner, Count()));
    Changed();
    return *FItems.back();
}

void TListColumns::Clear()
{
    FItems.clear();
    Changed();
}

void TListColumns::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FDirty)
        Changed();
}

void TListColumns::Changed()
{
    if (FUpdateCount > 0) {
        FDirty = true;
        return;
    }
    FDirty = false;
    FOwner.RebuildColumns();
}

// --- TListView ------------------------------------------------------------

TListView::TListView(TComponent* Owner, std::string Name)
    : TControl(Owner, std::move(Name)), FColumns(*this)
{
}

void TListView::CreateWnd(HWND ParentWnd)
{
    CreateStdClass(ParentWnd, WC_LISTVIEWA,
                   WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
                   WS_EX_CLIENTEDGE);
    DWORD ex = FGridLines ? LVS_EX_GRIDLINES : 0;
    ::SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    FBuiltColumns = 0;
    RebuildColumns();
    ::SendMessageA(FHandle, LVM_SETITEMCOUNT, FItems.size(), LVSICF_NOINVALIDATEALL);
}

void TListView::RebuildColumns()
{
    if (!FHandle)
        return;
    ::SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
    while (FBuiltColumns > 0)
        ::SendMessageA(FHandle, LVM_DELETECOLUMN, --FBuiltColumns, 0);
    for (int i = 0; i < FColumns.Count(); ++i) {
        const TListColumn& c = FColumns[i];
        LVCOLUMNA col{};
        col.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.fmt = c.FAlignment == taCenter ? LVCFMT_CENTER
                : c.FAlignment == taRightJustify ? LVCFMT_RIGHT : LVCFMT_LEFT;
        col.cx = c.FWidth;
        col.pszText = const_cast<char*>(c.FCaption.c_str());
        col.iSubItem = i;
        ::SendMessageA(FHandle, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
        if (c.FWidth < 0)
            ::SendMessageA(FHandle, LVM_SETCOLUMNWIDTH, i, c.FWidth);
        ++FBuiltColumns;
    }
    ::SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(FHandle, nullptr, TRUE);
}

void TListView::SetItems(std::vector<TListItem> Items)
{
    FItems = std::move(Items);
    if (FHandle) {
        ::SendMessageA(FHandle, LVM_DELETEALLITEMS, 0, 0);
        ::SendMessageA(FHandle, LVM_SETITEMCOUNT, FItems.size(), 0);
    }
}

void TListView::DeleteItem(size_t Index)
{
    if (Index >= FItems.size())
        return;
    FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(Index));
    if (FHandle)
        ::SendMessageA(FHandle, LVM_DELETEITEM, Index, 0);
}

int TListView::SelectedIndex() const
{
    if (!FHandle || FItems.empty())
        return -1;
    return static_cast<int>(::SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::SetSelectedIndex(int Index)
{
    if (!FHandle)
        return;
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (Index < 0) {
        item.state = 0;
        item.stateMask = LVIS_SELECTED;
        ::SendMessageA(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
        return;
    }
    ::SendMessageA(FHandle, LVM_SETITEMSTATE, Index, reinterpret_cast<LPARAM>(&item));
    ::SendMessageA(FHandle, LVM_ENSUREVISIBLE, Index, FALSE);
}

bool TListView::Notify(NMHDR& Header, LRESULT& Result)
{
    switch (Header.code) {
    case LVN_GETDISPINFOA: {
        auto& info = reinterpret_cast<NMLVDISPINFOA&>(Header);
        LVITEMA& item = info.item;
        if ((item.mask & LVIF_TEXT) && item.iItem >= 0 && static_cast<size_t>(item.iItem) < FItems.size()) {
            const TListItem& row = FItems[static_cast<size_t>(item.iItem)];
            const std::string* text = nullptr;
            if (item.iSubItem == 0)
                text = &row.Caption;
            else if (static_cast<size_t>(item.iSubItem) <= row.SubItems.size())
                text = &row.SubItems[static_cast<size_t>(item.iSubItem) - 1];
            if (text && item.pszText && item.cchTextMax > 0)
                lstrcpynA(item.pszText, text->c_str(), item.cchTextMax);
            else if (item.pszText && item.cchTextMax > 0)
                item.pszText[0] = '\0';
        }
        Result = 0;
        return true;
    }
    case LVN_ITEMCHANGED: {
        auto& nm = reinterpret_cast<NMLISTVIEW&>(Header);
        if (OnChange)
            OnChange(*this, nm.iItem, nm.uChanged);
        return true;
    }
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW: {
        // Typing in the list finds the next row whose caption starts with
        // what was typed, letter case ignored.
        auto& find = reinterpret_cast<NMLVFINDITEMA&>(Header);
        std::string wanted;
        if (find.lvfi.psz && Header.code == LVN_ODFINDITEMW) {
            auto* wide = reinterpret_cast<const wchar_t*>(find.lvfi.psz);
            int n = ::WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
            if (n > 0) {
                wanted.resize(static_cast<size_t>(n));
                ::WideCharToMultiByte(CP_ACP, 0, wide, -1, wanted.data(), n, nullptr, nullptr);
                wanted.resize(static_cast<size_t>(n - 1));
            }
        } else if (find.lvfi.psz) {
            wanted = find.lvfi.psz;
        }
        Result = FindCaption(wanted, find.iStart, (find.lvfi.flags & LVFI_WRAP) != 0);
        return true;
    }
    case LVN_ODSTATECHANGED:
        if (OnChange)
            OnChange(*this, -1, LVIF_STATE);
        return true;
    case HDN_ENDTRACKA:
    case HDN_ENDTRACKW: {
        // Nothing limits the width while the divider moves; at the end of the
        // drag the column's rule applies.
        auto& nm = reinterpret_cast<NMHEADERA&>(Header);
        if (nm.pitem && (nm.pitem->mask & HDI_WIDTH) && nm.iItem >= 0 && nm.iItem < FColumns.Count()) {
            TListColumn& c = FColumns[nm.iItem];
            int width = TListColumn::ClampWidth(nm.pitem->cxy, c.FMinWidth, c.FMaxWidth);
            if (nm.pitem->cxy <= c.FMinWidth)
                width = c.FMinWidth;
            c.FWidth = width;
            ::PostMessageA(FHandle, LVM_SETCOLUMNWIDTH, nm.iItem, width);
        }
        return false;
    }
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW: {
        // Every width the control takes (a drag, a double click on the
        // divider that fits the column) is the column's width from now on.
        auto& nm = reinterpret_cast<NMHEADERA&>(Header);
        if (nm.pitem && (nm.pitem->mask & HDI_WIDTH) && nm.iItem >= 0 && nm.iItem < FBuiltColumns &&
            nm.iItem < FColumns.Count())
            FColumns[nm.iItem].FWidth = nm.pitem->cxy;
        return false;
    }
    }
    return false;
}

int TListView::FindCaption(std::string_view Prefix, int Start, bool Wrap) const
{
    size_t n = FItems.size();
    if (Prefix.empty() || n == 0)
        return -1;
    size_t first = Start >= 0 ? static_cast<size_t>(Start) % n : 0;
    for (size_t k = 0; k < n; ++k) {
        size_t i = first + k;
        if (i >= n) {
            if (!Wrap)
                break;
            i -= n;
        }
        const std::string& caption = FItems[i].Caption;
        if (caption.size() >= Prefix.size() &&
            ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, caption.data(), static_cast<int>(Prefix.size()),
                             Prefix.data(), static_cast<int>(Prefix.size())) == CSTR_EQUAL)
            return static_cast<int>(i);
    }
    return -1;
}
