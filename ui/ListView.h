// TListView: a report-style list view over a vector of rows (owner data), with
// the framework's column collection.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Control.h"
#include "ui/StdCtrls.h"
#include "base/TextBlocks.h"

class TListView;

// One column with the eight published properties. A width that is not
// negative is kept between MinWidth and a non-zero MaxWidth; the first
// column is always left-aligned.
class TListColumn {
public:
    TListColumn(TListView& Owner, int Index) : FOwner(&Owner), FIndex(Index) {}

    int Index() const { return FIndex; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { FAutoSize = Value; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    // The width the column holds (read from the control while it exists).
    int Width() const;
    void SetWidth(int Value);

    // The width rule for a value given to the column.
    static int ClampWidth(int Value, int MinWidth, int MaxWidth);

private:
    friend class TListView;
    friend class TListColumns;
    void Apply();
    TListView* FOwner;
    int FIndex;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = false;
    std::string FCaption;
    int FImageIndex = -1;
    int FMaxWidth = 0;
    int FMinWidth = 0;
    int FTag = 0;
    int FWidth = 50;
};

class TListColumns {
public:
    explicit TListColumns(TListView& Owner) : FOwner(Owner) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    TListColumn& operator[](int Index) { return *FItems.at(static_cast<size_t>(Index)); }
    const TListColumn& operator[](int Index) const { return *FItems.at(static_cast<size_t>(Index)); }
    // A new column with the values of a new column, at the end.
    TListColumn& Add();
    void Clear();
    // Multiplies by M and divides by D every width that is not a
    // fit-to-content one, and every minimum and maximum width.
    void ChangeScale(int M, int D);
    // Changes between the two rebuild the header once.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    bool Updating() const { return FUpdateCount > 0; }

private:
    friend class TListView;
    friend class TListColumn;
    void Changed();
    TListView& FOwner;
    std::vector<std::unique_ptr<TListColumn>> FItems;
    int FUpdateCount = 0;
    bool FDirty = false;
};

// The rows of a list, each a caption and its sub-item texts, kept in large
// blocks: a row costs no heap block of its own, which counts in lists of
// 100,000 rows. Each row is its texts' lengths followed by the texts, each
// ending in a zero byte.
class TListRows {
public:
    // Appends a row.
    void Add(std::string_view Caption, std::initializer_list<std::string_view> SubItems);

    std::size_t Count() const { return FRows.size(); }
    bool Empty() const { return FRows.empty(); }
    std::string_view Caption(std::size_t Row) const { return Text(Row, 0); }
    // Column 0 is the caption, column n the sub-item n; empty beyond the row's texts.
    std::string_view Text(std::size_t Row, std::size_t Column) const;

    void Erase(std::size_t Row);
    // Puts the rows in a new order: Order[i] is the present index of the row
    // that becomes row i (each row once).
    void Reorder(const std::vector<uint32_t>& Order);
    // Forgets every row; their memory is kept for the rows that follow.
    void Clear();
    // Frees the kept memory that the rows since the last Clear did not need.
    void Trim() { FTexts.Trim(); }

private:
    TTextBlocks FTexts;
    std::vector<const char*> FRows;
};

class TListView : public TControl {
public:
    TListView(TComponent* Owner, std::string Name);

    TListColumns& Columns() { return FColumns; }
    const TListColumns& Columns() const { return FColumns; }

    size_t ItemCount() const { return FRows.Count(); }
    std::string_view Caption(size_t Index) const { return FRows.Caption(Index); }
    // Replaces every row; no row is selected afterwards. Gives back the rows
    // it held, whose memory the next rows can take.
    TListRows SetRows(TListRows Rows);
    TListRows ClearItems() { return SetRows({}); }
    void DeleteItem(size_t Index);

    // The first row from Start on whose caption begins with Prefix, letter
    // case ignored (wrapping round to the top with Wrap); -1 when none.
    int FindCaption(std::string_view Prefix, int Start = 0, bool Wrap = true) const;

    int SelectedIndex() const;
    void SetSelectedIndex(int Index);

    bool GridLines() const { return FGridLines; }
    void SetGridLines(bool Value) { FGridLines = Value; }

    // Any change of a row: its text, image or state. Item is -1 for a range.
    std::function<void(TListView& Sender, int Item, UINT Change)> OnChange;

    // Rebuilds the header from the columns (the collection calls it).
    void RebuildColumns();
    // The columns' widths and width limits scale with the rest.
    void ChangeScale(int M, int D) override;

protected:
    void CreateWnd(HWND ParentWnd) override;
    bool Notify(NMHDR& Header, LRESULT& Result) override;

private:
    friend class TListColumn;
    TListColumns FColumns;
    TListRows FRows;
    bool FGridLines = false;
    int FBuiltColumns = 0;
};
