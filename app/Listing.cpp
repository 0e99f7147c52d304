// The entry list and the host tree.
#include <algorithm>

#include "app/MainForm.h"

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
    FPendingRows.clear();
    IECache1.RetrieveEntries(0);
    std::stable_sort(FPendingRows.begin(), FPendingRows.end(), [](const TListItem& a, const TListItem& b) {
        return ::lstrcmpA(a.Caption.c_str(), b.Caption.c_str()) < 0;
    });
    CacheListView.SetItems(std::move(FPendingRows));
    FPendingRows.clear();
    CacheListView.EndUpdate();
}

void TfrmMorvane::EndHostTree()
{
    if (!CacheTreeView.FirstNode())
        CacheTreeView.AddChild(nullptr, "All entries");
    CacheTreeView.EndUpdate();
    FBuildingTree = false;
}

void TfrmMorvane::IECache1Entry(TIECache& Sender, bool&)
{
    AddEntryRow(Sender.EntryInfo());
}

void TfrmMorvane::AddEntryRow(TEntryInfo Entry)
{
    TListItem row;
    row.Caption = Entry.SourceUrlName;
    row.SubItems = {std::string(), std::to_string(Entry.HitRate), std::to_string(Entry.Size), Entry.LocalFileName};
    FPendingRows.push_back(std::move(row));
}
