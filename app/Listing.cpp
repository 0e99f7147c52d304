// The entry list and the host tree: filling the list from an enumeration,
// filing every entry under its host label, and listing one host's entries.
#include "app/HostLabels.h"
#include "app/MainForm.h"
#include "base/ScopeExit.h"

// A host node's data: the host lines filed under it, in enumeration order.
struct THostNode : TTreeNodeData {
    explicit THostNode(THostLines Value) : Lines(std::move(Value)) {}
    THostLines Lines;
};

void TfrmMorvane::RebuildListing()
{
    try {
        BeginHostTree();
        FillEntryList();
    } catch (...) {
        // The list shows the rows gathered so far; the tree gets their
        // hosts. The failure that stopped the listing is the one reported.
        try {
            EndHostTree();
        } catch (...) {
        }
        throw;
    }
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
    const auto resume = ScopeExit([this] { CacheListView.EndUpdate(); });
    BeginRows();
    try {
        IECache1.RetrieveEntries(0);
    } catch (...) {
        EndRows(); // the rows gathered so far
        throw;
    }
    EndRows();
}

void TfrmMorvane::EndHostTree()
{
    // However making the tree ends, the tree repaints again, the flag is
    // cleared and the map is left empty for the next rebuild.
    const auto finish = ScopeExit([this] {
        CacheTreeView.EndUpdate();
        FBuildingTree = false;
        FHostMap->Clear();
    });
    HTREEITEM root = CacheTreeView.FirstNode();
    if (!root)
        root = CacheTreeView.AddChild(nullptr, "All entries");
    // The host nodes are made when the root is first opened: the root stays
    // closed after a rebuild, and a refresh of a large cache then costs the
    // tree nothing for its hosts (nor for removing them again).
    THostList hosts = FHostMap->TakeSorted();
    if (!hosts.empty()) {
        CacheTreeView.AddChildrenLater(root, [hosts = std::move(hosts)](TTreeView& Tree, HTREEITEM Root) {
            for (std::size_t i = 0; i < hosts.size(); ++i)
                Tree.AddChild(Root, hosts.Label(i), std::make_unique<THostNode>(hosts.Lines(i)));
        });
    }
}

void TfrmMorvane::IECache1Entry(TIECache& Sender, bool&)
{
    if (FBuildingTree)
        FileUnderHost(Sender.EntryInfo());
    AddEntryRow(Sender.EntryInfo());
}

void TfrmMorvane::FileUnderHost(const TEntryInfo& Entry)
{
    AddToHostMap(FHostMap->HostOfUrl(Entry.SourceUrlName), Entry);
}

void TfrmMorvane::AddToHostMap(std::string_view Host, const TEntryInfo& Entry)
{
    FHostMap->Add(Host, Entry.SourceUrlName, Entry.CacheEntryType);
}

// Rows are collected while the list's repainting is suspended and put in
// caption order once, before the list shows them again: the order the user
// sees is that of lstrcmpA on the captions, whatever the order of arrival.
// Every row is removed first; the new rows take their memory.
void TfrmMorvane::BeginRows()
{
    FPendingRows.Begin(CacheListView.ClearItems());
}

void TfrmMorvane::AddEntryRow(const TEntryInfo& Entry)
{
    FPendingRows.Add(Entry);
}

void TfrmMorvane::AddGoneRow(std::string_view Url)
{
    FPendingRows.AddUrl(Url);
}

void TfrmMorvane::EndRows()
{
    CacheListView.SetRows(FPendingRows.TakeSorted());
}

void TfrmMorvane::CacheTreeViewChange(TTreeView&, HTREEITEM)
{
    size_t count = 0;
    {
        // The list repaints again however the listing ends.
        CacheListView.BeginUpdate();
        const auto resume = ScopeExit([this] { CacheListView.EndUpdate(); });
        BeginRows();
        try {
            HTREEITEM selected = CacheTreeView.Selected();
            if (selected && selected == CacheTreeView.FirstNode()) {
                IECache1.RetrieveEntries(0);
                count = FPendingRows.Count();
            } else if (selected) {
                if (auto* host = dynamic_cast<THostNode*>(CacheTreeView.NodeData(selected))) {
                    std::string url;
                    for (std::string_view line : host->Lines) {
                        url.assign(UrlOfHostLine(line));
                        // An entry that has left the cache keeps its row, without
                        // data: never another entry's.
                        if (IECache1.GetEntryInfo(url) == 0)
                            AddEntryRow(IECache1.EntryInfo());
                        else
                            AddGoneRow(url);
                        ++count;
                    }
                }
            }
        } catch (...) {
            // The listing ends here, whatever failed; the rows produced so far stay.
        }
        EndRows();
    }
    // A rebuild that clears the tree takes the selection away: no node is
    // picked, so there is no count to show, and the rebuild fills the list.
    sStatusBar1.SetSimpleText(FBuildingTree ? std::string() : "Entries:  " + std::to_string(count));
    if (CacheListView.ItemCount() > 0)
        CacheListView.SetSelectedIndex(0);
}
