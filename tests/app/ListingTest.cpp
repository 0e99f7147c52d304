// The listing through the real window: rows, host nodes, picking a node.
#include "MainFormFixture.h"

namespace {
FILETIME FileTimeOf(WORD year, WORD month, WORD day, WORD hour = 0)
{
    SYSTEMTIME st{};
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    st.wHour = hour;
    FILETIME ft{};
    ::SystemTimeToFileTime(&st, &ft);
    return ft;
}

HTREEITEM NodeNamed(TTreeView& tree, const std::string& text)
{
    for (HTREEITEM c = tree.FirstChild(tree.FirstNode()); c; c = tree.NextSibling(c))
        if (tree.NodeText(c) == text)
            return c;
    return nullptr;
}
} // namespace

TEST_F(MainFormTest, OneSiteGathersItsCookieHistoryAndDocumentsUnderOneHost)
{
    Cache.Entries = {Entry("http://www.example.org/dir/page.htm"),
                     Entry("Cookie:user@www.example.org/", COOKIE_CACHE_ENTRY),
                     Entry("Visited: user@http://www.example.org/dir/page.htm", URLHISTORY_CACHE_ENTRY),
                     Entry("http://Other.example.com/a"), Entry("http://other.EXAMPLE.com/b"),
                     Entry("http://example.net/q?a=b=c")};
    TfrmMorvane& form = Create();
    form.LoadCache();
    EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"All entries", "  example.net", "  Other.example.com",
                                                     "  www.example.org"}));
    EXPECT_FALSE(form.CacheTreeView.Expanded(form.CacheTreeView.FirstNode()));
    EXPECT_EQ(form.CacheTreeView.Selected(), nullptr);
    EXPECT_FALSE(form.BuildingTree());
    EXPECT_EQ(form.CacheListView.ItemCount(), 6u);

    form.CacheTreeView.Select(NodeNamed(form.CacheTreeView, "www.example.org"));
    EXPECT_EQ(form.sStatusBar1.SimpleText(), "Entries:  3");
    std::vector<std::string> captions = Captions();
    ASSERT_EQ(captions.size(), 3u);
    EXPECT_EQ(form.CacheListView.SelectedIndex(), 0);

    // Labels equal but for letter case: one host, named as first filed.
    form.CacheTreeView.Select(NodeNamed(form.CacheTreeView, "Other.example.com"));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"http://Other.example.com/a", "http://other.EXAMPLE.com/b"}));

    // A URL holding "=" is listed as that very entry.
    form.CacheTreeView.Select(NodeNamed(form.CacheTreeView, "example.net"));
    EXPECT_EQ(Captions(), std::vector<std::string>{"http://example.net/q?a=b=c"});
    EXPECT_EQ(form.sStatusBar1.SimpleText(), "Entries:  1");
}

TEST_F(MainFormTest, PickingAHostShowsFreshDataAndAGoneEntryAsItsUrlAlone)
{
    TScriptEntry a = Entry("http://example.org/a");
    a.HitRate = 1;
    TScriptEntry b = Entry("http://example.org/b");
    b.HitRate = 2;
    b.LocalFile = "C:\\cache\\b.htm";
    Cache.Entries = {a, b};
    TfrmMorvane& form = Create();
    form.LoadCache();

    Cache.Entries[1].HitRate = 7;       // changed since the listing
    Cache.Entries.erase(Cache.Entries.begin()); // "a" left the cache
    Cache.InfoCalls.clear();
    form.CacheTreeView.Select(NodeNamed(form.CacheTreeView, "example.org"));
    // Two calls for each host line, two for the detail pane of the first row.
    EXPECT_EQ(Cache.InfoCalls.size(), 6u);
    ASSERT_EQ(form.CacheListView.ItemCount(), 2u);
    const TListItem& gone = form.CacheListView.Item(0);
    EXPECT_EQ(gone.Caption, "http://example.org/a");
    EXPECT_EQ(gone.SubItems, (std::vector<std::string>{"", "", "", ""}));
    const TListItem& fresh = form.CacheListView.Item(1);
    EXPECT_EQ(fresh.SubItems[1], "7");
    EXPECT_EQ(fresh.SubItems[3], "C:\\cache\\b.htm");
    EXPECT_EQ(form.sStatusBar1.SimpleText(), "Entries:  2");
}

TEST_F(MainFormTest, PickingTheRootEnumeratesAfresh)
{
    Cache.Entries = {Entry("http://example.org/a")};
    TfrmMorvane& form = Create();
    form.LoadCache();
    Cache.Entries.push_back(Entry("http://example.org/new"));
    form.CacheTreeView.Select(form.CacheTreeView.FirstNode());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"http://example.org/a", "http://example.org/new"}));
    EXPECT_EQ(form.sStatusBar1.SimpleText(), "Entries:  2");
    // Nothing is filed: the tree still has the one host of the listing.
    EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"All entries", "  example.org"}));
}

TEST_F(MainFormTest, ASelectionThatGoesAwayGivesAnEmptyListAndACountOfZero)
{
    Cache.Entries = {Entry("http://example.org/a")};
    TfrmMorvane& form = Create();
    form.LoadCache();
    form.CacheTreeView.Select(form.CacheTreeView.FirstNode());
    ASSERT_EQ(form.CacheListView.ItemCount(), 1u);
    form.CacheTreeView.ClearNodes();
    EXPECT_EQ(form.CacheListView.ItemCount(), 0u);
    EXPECT_EQ(form.sStatusBar1.SimpleText(), "Entries:  0");
    EXPECT_EQ(form.CacheListView.SelectedIndex(), -1);
}

TEST_F(MainFormTest, CellTextsOfARow)
{
    TScriptEntry never = Entry("http://example.org/never");
    never.LastAccess = FILETIME{0, 0}; // 1601: before 30 December 1899
    TScriptEntry epoch = Entry("http://example.org/epoch");
    epoch.LastAccess = FileTimeOf(1899, 12, 30);
    TScriptEntry big = Entry("http://example.org/big");
    big.HitRate = 0x80000000u;
    big.SizeLow = 0xFFFFFFFFu;
    big.SizeHigh = 3;
    big.LastAccess = FileTimeOf(2026, 12, 8, 13);
    Cache.Entries = {never, epoch, big};
    TfrmMorvane& form = Create();
    form.LoadCache();
    ASSERT_EQ(Captions(), (std::vector<std::string>{"http://example.org/big", "http://example.org/epoch",
                                                    "http://example.org/never"}));
    const TListItem& b = form.CacheListView.Item(0);
    EXPECT_EQ(b.SubItems[0], "12/8/2026 1:00:00 PM");
    EXPECT_EQ(b.SubItems[1], "2147483648");
    EXPECT_EQ(b.SubItems[2], "4294967295");
    EXPECT_EQ(form.CacheListView.Item(1).SubItems[0], "12/30/1899");
    EXPECT_EQ(form.CacheListView.Item(2).SubItems[0], "");
}

TEST_F(MainFormTest, RowsFollowLstrcmpOrderWhateverTheOrderOfArrival)
{
    const char* urls[] = {"http://b.example.org/", "http://B.example.org/", "http://co-op.example.org/",
                          "http://coop.example.org/", "http://a.example.org/x", "http://a.example.org/X",
                          "http://\xE9t\xE9.example.org/", "http://etc.example.org/", "http://10.example.org/",
                          "http://9.example.org/"};
    for (const char* url : urls)
        Cache.Entries.push_back(Entry(url));
    TfrmMorvane& form = Create();
    form.LoadCache();
    std::vector<std::string> captions = Captions();
    ASSERT_EQ(captions.size(), std::size(urls));
    for (size_t i = 1; i < captions.size(); ++i)
        EXPECT_LE(::lstrcmpA(captions[i - 1].c_str(), captions[i].c_str()), 0) << captions[i - 1] << " / " << captions[i];
}
