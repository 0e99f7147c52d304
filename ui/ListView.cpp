#include "ui/ListView.h"

#include "base/AnsiCodePage.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <stdexcept>
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

void TListColumns::ChangeScale(int M, int D)
{
    for (const std::unique_ptr<TListColumn>& c : FItems) {
        const int width = c->Width();
        if (width > 0)   // not a fit-to-content width
            c->FWidth = ::MulDiv(width, M, D);
        c->FMinWidth = ::MulDiv(c->FMinWidth, M, D);
        c->FMaxWidth = ::MulDiv(c->FMaxWidth, M, D);
    }
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

// --- TListRows ------------------------------------------------------------

namespace {

uint32_t ReadCount(const char* At)
{
    uint32_t value;
    std::memcpy(&value, At, sizeof value);
    return value;
}

} // namespace

void TListRows::Add(std::string_view Caption, std::initializer_list<std::string_view> SubItems)
{
    const auto count = static_cast<uint32_t>(SubItems.size() + 1);
    std::size_t size = sizeof(uint32_t) * (count + 1);
    auto measure = [&size](std::string_view Text) {
        if (Text.size() > UINT32_MAX - 1)
            throw std::length_error("list text too long");
        size += Text.size() + 1;
    };
    measure(Caption);
    for (std::string_view text : SubItems)
        measure(text);
    char* const row = FTexts.Allocate(size);
    std::memcpy(row, &count, sizeof count);
    char* length = row;
    char* out = row + sizeof(uint32_t) * (count + 1);
    auto put = [&length, &out](std::string_view Text) {
        const auto n = static_cast<uint32_t>(Text.size());
        length += sizeof n;
        std::memcpy(length, &n, sizeof n);
        if (!Text.empty())
            std::memcpy(out, Text.data(), Text.size());
        out += Text.size();
        *out++ = '\0';
    };
    put(Caption);
    for (std::string_view text : SubItems)
        put(text);
    FRows.push_back(row);
}

std::string_view TListRows::Text(std::size_t Row, std::size_t Column) const
{
    const char* row = FRows[Row];
    const uint32_t count = ReadCount(row);
    if (Column >= count)
        return {};
    const char* text = row + sizeof(uint32_t) * (count + 1);
    for (std::size_t i = 0; i < Column; ++i)
        text += ReadCount(row + sizeof(uint32_t) * (i + 1)) + 1;
    return std::string_view(text, ReadCount(row + sizeof(uint32_t) * (Column + 1)));
}

void TListRows::Erase(std::size_t Row)
{
    // The texts stay in their block until the rows are cleared or replaced.
    FRows.erase(FRows.begin() + static_cast<std::ptrdiff_t>(Row));
}

void TListRows::Reorder(const std::vector<uint32_t>& Order)
{
    if (Order.size() != FRows.size())
        throw std::invalid_argument("row order of another length");
    std::vector<const char*> reordered(Order.size());
    for (std::size_t i = 0; i < Order.size(); ++i)
        reordered[i] = FRows.at(Order[i]);
    FRows.swap(reordered);
}

void TListRows::Clear()
{
    FRows.clear();
    FTexts.Clear();
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
    ::SendMessageA(FHandle, LVM_SETITEMCOUNT, FRows.Count(), LVSICF_NOINVALIDATEALL);
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

void TListView::ChangeScale(int M, int D)
{
    TControl::ChangeScale(M, D);
    FColumns.ChangeScale(M, D);
}

TListRows TListView::SetRows(TListRows Rows)
{
    std::swap(FRows, Rows);
    if (FHandle) {
        ::SendMessageA(FHandle, LVM_DELETEALLITEMS, 0, 0);
        ::SendMessageA(FHandle, LVM_SETITEMCOUNT, FRows.Count(), 0);
    }
    return Rows;
}

void TListView::DeleteItem(size_t Index)
{
    if (Index >= FRows.Count())
        return;
    FRows.Erase(Index);
    if (FHandle)
        ::SendMessageA(FHandle, LVM_DELETEITEM, Index, 0);
}

int TListView::SelectedIndex() const
{
    if (!FHandle || FRows.Empty())
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
        if ((item.mask & LVIF_TEXT) && item.iItem >= 0 && static_cast<size_t>(item.iItem) < FRows.Count() &&
            item.pszText && item.cchTextMax > 0) {
            // Every text of a row ends in a zero byte; a missing one is empty.
            const std::string_view text =
                item.iSubItem >= 0 ? FRows.Text(static_cast<size_t>(item.iItem), static_cast<size_t>(item.iSubItem))
                                   : std::string_view();
            // Cut to the buffer, never inside a character of two bytes.
            const std::size_t length =
                TAnsiCodePage::Current().CutLength(text, static_cast<std::size_t>(item.cchTextMax) - 1);
            if (length > 0)
                std::memcpy(item.pszText, text.data(), length);
            item.pszText[length] = '\0';
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
    size_t n = FRows.Count();
    if (Prefix.empty() || n == 0)
        return -1;
    size_t first = Start >= 0 ? static_cast<size_t>(Start) % n : 0;
    const TAnsiCodePage& codePage = TAnsiCodePage::Current();
    for (size_t k = 0; k < n; ++k) {
        size_t i = first + k;
        if (i >= n) {
            if (!Wrap)
                break;
            i -= n;
        }
        // The caption's start as long as the prefix, when that ends between
        // two characters; the texts are read in the ANSI code page, theirs.
        std::string_view caption = FRows.Caption(i);
        if (caption.size() >= Prefix.size() && codePage.EndsAtBoundary(caption, Prefix.size()) &&
            ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | LOCALE_USE_CP_ACP, caption.data(),
                             static_cast<int>(Prefix.size()), Prefix.data(),
                             static_cast<int>(Prefix.size())) == CSTR_EQUAL)
            return static_cast<int>(i);
    }
    return -1;
}
