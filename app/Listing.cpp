// The entry list and the host tree: filling the list from an enumeration,
// filing every entry under its host label, and listing one host's entries.
#include <stdexcept>

#include "app/DisplayText.h"
#include "app/HostLabels.h"
#include "app/MainForm.h"

// A host node's data: the host lines filed under it, in enumeration order.
struct THostLines : TTreeNodeData {
    explicit THostLines(std::vector<std::string> Value) : Lines(std::move(Value)) {}
    std::vector<std::string> Lines;
};

void TfrmMorvane::RebuildListing()
{
    BeginHostTree();
    FillEntryList();
    EndHostTree();
}

void TfrmMorvane::BeginHostTree()
{
    FBuildingTree = true;
    CacheTreeView.BeginUpdate();
    CacheTreeView.ClearNodes();
}

void TfrmMorvane::FillEntryList()
{
    CacheListView.BeginUpdate();
    CacheListView.ClearItems();
    BeginRows();
    try {
        IECache1.RetrieveEntries(0);
    } catch (...) {
        EndRows();
        CacheListView.EndUpdate();
        throw;
    }
    EndRows();
    CacheListView.EndUpdate();
}

void TfrmMorvane::EndHostTree()
{
    HTREEITEM root = CacheTreeView.FirstNode();
    if (!root)
        root = CacheTreeView.AddChild(nullptr, "All entries");
    for (THost& host : FHostMap->TakeSorted())
        CacheTreeView.AddChild(root, host.Label, std::make_unique<THostLines>(std::move(host.Lines)));
    FHostMap->Clear();
    CacheTreeView.EndUpdate();
    FBuildingTree = false;
}

void TfrmMorvane::IECache1Entry(TIECache& Sender, bool&)
{
    if (FBuildingTree)
        FileUnderHost(Sender.EntryInfo());
    AddEntryRow(Sender.EntryInfo());
}

void TfrmMorvane::FileUnderHost(const TEntryInfo& Entry)
{
    AddToHostMap(HostOfUrl(Entry.SourceUrlName), Entry);
}

void TfrmMorvane::AddToHostMap(const std::string& Host, const TEntryInfo& Entry)
{
    FHostMap->Add(Host, HostLine(Entry));
}

// Rows are collected while the list's repainting is suspended and put in
// caption order once, before the list shows them again: the order the user
// sees is that of lstrcmpA on the captions, whatever the order of arrival.
void TfrmMorvane::BeginRows()
{
    FPendingRows.clear();
}

void TfrmMorvane::AddEntryRow(const TEntryInfo& Entry)
{
    TPendingRow& row = FPendingRows.emplace_back();
    RowKey(Entry.SourceUrlName, row.Key);
    row.Item.Caption = Entry.SourceUrlName;
    row.Item.SubItems = {DateTimeText(Entry.LastAccessTime), UnsignedText(Entry.HitRate),
                         UnsignedText(Entry.Size), Entry.LocalFileName};
}

void TfrmMorvane::AddGoneRow(std::string_view Url)
{
    TPendingRow& row = FPendingRows.emplace_back();
    row.Item.Caption.assign(Url);
    RowKey(row.Item.Caption, row.Key);
    row.Item.SubItems.assign(4, std::string());
}

void TfrmMorvane::EndRows()
{
    SortRowsByKey(FPendingRows, &TPendingRow::Key);
    std::vector<TListItem> items;
    items.reserve(FPendingRows.size());
    for (TPendingRow& row : FPendingRows)
        items.push_back(std::move(row.Item));
    FPendingRows.clear();
    FPendingRows.shrink_to_fit();
    CacheListView.SetItems(std::move(items));
}

void TfrmMorvane::CacheTreeViewChange(TTreeView&, HTREEITEM)
{
    size_t count = 0;
    CacheListView.BeginUpdate();
    CacheListView.ClearItems();
    BeginRows();
    try {
        HTREEITEM selected = CacheTreeView.Selected();
        if (selected && selected == CacheTreeView.FirstNode()) {
            IECache1.RetrieveEntries(0);
            count = FPendingRows.size();
        } else if (selected) {
            if (auto* host = dynamic_cast<THostLines*>(CacheTreeView.NodeData(selected))) {
                for (const std::string& line : host->Lines) {
                    std::string_view url = UrlOfHostLine(line);
                    // An entry that has left the cache keeps its row, without
                    // data: never another entry's.
                    if (IECache1.GetEntryInfo(std::string(url)) == 0)
                        AddEntryRow(IECache1.EntryInfo());
                    else
                        AddGoneRow(url);
                    ++count;
                }
            }
        }
    } catch (const std::exception&) {
        // The listing ends here; the rows produced so far stay.
    }
    EndRows();
    CacheListView.EndUpdate();
    sStatusBar1.SetSimpleText("Entries:  " + std::to_string(count));
    if (CacheListView.ItemCount() > 0)
        CacheListView.SetSelectedIndex(0);
}
