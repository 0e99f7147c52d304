// The listing through the real window: rows, host nodes, picking a node.
#include "MainFormFixture.h"

#include <algorithm>
#include <random>

#include "app/DisplayText.h"

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
    // One call for each host line, one for the detail pane of the first row.
    EXPECT_EQ(Cache.InfoCalls.size(), 3u);
    ASSERT_EQ(Captions(), (std::vector<std::string>{"http://example.org/a", "http://example.org/b"}));
    EXPECT_EQ(SubItems(0), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(SubItems(1)[1], "7");
    EXPECT_EQ(SubItems(1)[3], "C:\\cache\\b.htm");
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

TEST_F(MainFormTest, HostNodesAreMadeWhenTheRootIsFirstOpenedAndARefreshClosesItAgain)
{
    Cache.Entries = {Entry("http://b.example.org/1"), Entry("http://a.example.org/2"), Entry("http://b.example.org/3")};
    TfrmMorvane& form = Create();
    TTreeView& tree = form.CacheTreeView;
    form.LoadCache();
    HTREEITEM root = tree.FirstNode();
    auto hasButton = [&tree](HTREEITEM Node) {
        TVITEMA item{};
        item.mask = TVIF_HANDLE | TVIF_CHILDREN;
        item.hItem = Node;
        ::SendMessageA(tree.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.cChildren != 0;
    };
    EXPECT_TRUE(hasButton(root));
    EXPECT_EQ(tree.Count(), 1u);

    // The user opens the root: the hosts appear in label order, owning their lines.
    ::SendMessageA(tree.Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    EXPECT_TRUE(tree.Expanded(root));
    EXPECT_EQ(tree.Count(), 3u);
    EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"All entries", "  a.example.org", "  b.example.org"}));
    tree.Select(tree.NextSibling(tree.FirstChild(root)));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"http://b.example.org/1", "http://b.example.org/3"}));

    // A refresh leaves a new, closed root whose hosts wait for it to be opened.
    Cache.Entries.push_back(Entry("http://c.example.org/4"));
    form.LoadCache();
    root = tree.FirstNode();
    EXPECT_FALSE(tree.Expanded(root));
    EXPECT_EQ(tree.Selected(), nullptr);
    EXPECT_EQ(tree.Count(), 1u);
    EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"All entries", "  a.example.org", "  b.example.org",
                                                     "  c.example.org"}));

    // No host at all: no button to open.
    Cache.Entries.clear();
    form.LoadCache();
    EXPECT_FALSE(hasButton(tree.FirstNode()));
    EXPECT_EQ(TreeTexts(), std::vector<std::string>{"All entries"});
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

TEST_F(MainFormTest, ARebuildThatFailsHalfwayShowsWhatItListedAndFilesNothingTwice)
{
    Cache.Entries = {Entry("http://b.example.org/1"), Entry("http://a.example.org/2"), Entry("http://c.example.org/3")};
    TfrmMorvane& form = Create();
    Cache.ThrowAfter = 2;
    EXPECT_THROW(form.LoadCache(), std::runtime_error);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"http://a.example.org/2", "http://b.example.org/1"}));
    EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"All entries", "  a.example.org", "  b.example.org"}));
    EXPECT_TRUE(!form.BuildingTree() && !form.CacheTreeView.Updating());
    Cache.ThrowAfter = -1;
    form.LoadCache();
    form.CacheTreeView.Select(NodeNamed(form.CacheTreeView, "b.example.org"));
    EXPECT_EQ(form.sStatusBar1.SimpleText(), "Entries:  1");
}

TEST_F(MainFormTest, AHostSelectionThatFailsInAnyWayEndsItsListingAndLeavesTheListRepainting)
{
    Cache.Entries = {Entry("http://a.example.org/1"), Entry("http://a.example.org/2"), Entry("http://a.example.org/3")};
    TfrmMorvane& form = Create();
    form.LoadCache();
    Cache.ThrowForUrl = "http://a.example.org/2";
    form.CacheTreeView.Select(NodeNamed(form.CacheTreeView, "a.example.org"));
    EXPECT_FALSE(form.CacheListView.Updating());
    EXPECT_EQ(Captions(), std::vector<std::string>{"http://a.example.org/1"});
    EXPECT_EQ(form.sStatusBar1.SimpleText(), "Entries:  1");
    EXPECT_TRUE(Boxes.empty());
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
    EXPECT_EQ(SubItems(0), (std::vector<std::string>{"12/8/2026 1:00:00 PM", "2147483648", "4294967295", ""}));
    EXPECT_EQ(SubItems(1)[0], "12/30/1899");
    EXPECT_EQ(SubItems(2)[0], "");
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

namespace {
// The rules the listing follows, applied the plain way: rows stable-sorted by
// lstrcmpA, hosts matched by a linear search with CompareStringA (letter case
// ignored) and sorted by it once.
bool CaptionBefore(const std::string& A, const std::string& B)
{
    return ::lstrcmpA(A.c_str(), B.c_str()) < 0;
}

struct TPlainRow {
    std::string Caption;
    std::vector<std::string> SubItems;
};

int HostCompare(const std::string& A, const std::string& B)
{
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, A.data(), static_cast<int>(A.size()), B.data(),
                            static_cast<int>(B.size())) - CSTR_EQUAL;
}

struct TPlainHost {
    std::string Label;
    std::vector<std::string> Urls;
};

// URLs built from parts that the locale's comparisons treat specially.
std::vector<std::string> TrickyUrls(std::size_t Count)
{
    const char* hosts[] = {"www.example.com", "WWW.Example.COM", "co-op.example.org", "coop.example.org",
                           "o'reilly.example.net", "h\xf4te.example.fr", "H\xd4TE.example.fr", "stra\xdf" "e.example.de",
                           "strasse.example.de", "a-very-long-host-name-that-goes-on-and-on.example-domain.com",
                           "10.example.org", "9.example.org", "xn--bcher-kva.example", "host:8080"};
    const char* paths[] = {"", "index.htm", "a-b/c", "A/B", "q?a=b=c", "caf\xe9.htm", "co-op", "coop", "x'y",
                           "%20space", "dir/sub/page.htm"};
    std::mt19937 random(17);
    std::vector<std::string> urls;
    for (std::size_t i = 0; urls.size() < Count; ++i) {
        const std::string host = hosts[random() % std::size(hosts)];
        const std::string path = std::string(paths[random() % std::size(paths)]) + (random() % 3 ? "" : std::to_string(i));
        switch (random() % 6) {
        case 0: urls.push_back("Cookie:user@" + host + "/" + path); break;
        case 1: urls.push_back("Visited: user@http://" + host + "/" + path); break;
        case 2: urls.push_back("https://" + host + "/" + path); break;
        case 3: urls.push_back("file:///C:/" + path); break;
        default: urls.push_back("http://" + host + "/" + path); break;
        }
    }
    urls.push_back("about:blank");
    urls.push_back("");
    // No two entries of a cache have the same URL.
    std::sort(urls.begin(), urls.end());
    urls.erase(std::unique(urls.begin(), urls.end()), urls.end());
    std::shuffle(urls.begin(), urls.end(), random);
    return urls;
}
} // namespace

TEST_F(MainFormTest, ManyTrickyEntriesAreListedAndFiledAsThePlainRulesSay)
{
    std::mt19937 random(23);
    for (const std::string& url : TrickyUrls(1500)) {
        TScriptEntry e = Entry(url, url.rfind("Cookie:", 0) == 0   ? COOKIE_CACHE_ENTRY
                                    : url.rfind("Visited:", 0) == 0 ? URLHISTORY_CACHE_ENTRY
                                                                    : NORMAL_CACHE_ENTRY);
        e.HitRate = random();
        e.SizeLow = random();
        const uint64_t ticks = 132000000000000000ull + (random() % 5000) * 864000000000ull / 7;
        e.LastAccess = FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        if (random() % 4)
            e.LocalFile = "C:\\cache\\" + std::to_string(random()) + ".htm";
        Cache.Entries.push_back(e);
    }
    TfrmMorvane& form = Create();
    form.LoadCache();

    // Rows: every entry, its cells, in lstrcmpA order, equal captions in the order enumerated.
    std::vector<TPlainRow> expected;
    for (const TScriptEntry& e : Cache.Entries)
        expected.push_back({*e.Url, {DateTimeText(FileTimeToDateTime(e.LastAccess)), UnsignedText(e.HitRate),
                                     UnsignedText(e.SizeLow), e.LocalFile.value_or("")}});
    std::stable_sort(expected.begin(), expected.end(),
                     [](const TPlainRow& A, const TPlainRow& B) { return CaptionBefore(A.Caption, B.Caption); });
    ASSERT_EQ(form.CacheListView.ItemCount(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(form.CacheListView.Caption(i), expected[i].Caption) << i;
        ASSERT_EQ(SubItems(i), expected[i].SubItems) << i;
    }

    // Hosts: matched ignoring case, named as first filed, in CompareStringA order.
    std::vector<TPlainHost> hosts;
    THostMap labels;
    for (const TScriptEntry& e : Cache.Entries) {
        const std::string label(labels.HostOfUrl(*e.Url));
        auto host = std::find_if(hosts.begin(), hosts.end(), [&](const TPlainHost& H) { return HostCompare(H.Label, label) == 0; });
        if (host == hosts.end())
            host = hosts.insert(hosts.end(), TPlainHost{label, {}});
        host->Urls.push_back(*e.Url);
    }
    std::sort(hosts.begin(), hosts.end(), [](const TPlainHost& A, const TPlainHost& B) { return HostCompare(A.Label, B.Label) < 0; });
    std::vector<std::string> texts = {"All entries"};
    for (const TPlainHost& host : hosts)
        texts.push_back("  " + host.Label);
    ASSERT_EQ(TreeTexts(), texts);

    // Picking a host lists exactly its entries, in caption order.
    TTreeView& tree = form.CacheTreeView;
    std::size_t index = 0;
    for (HTREEITEM node = tree.FirstChild(tree.FirstNode()); node; node = tree.NextSibling(node), ++index) {
        tree.Select(node);
        std::vector<std::string> urls = hosts[index].Urls;
        std::stable_sort(urls.begin(), urls.end(), CaptionBefore);
        ASSERT_EQ(Captions(), urls) << hosts[index].Label;
        ASSERT_EQ(form.sStatusBar1.SimpleText(), "Entries:  " + std::to_string(urls.size()));
    }
    EXPECT_EQ(index, hosts.size());
}

class CodePageListing : public MainFormTest {};

TEST_F(CodePageListing, CellsAreClippedAndPrefixesMatchedBetweenCharacters)
{
    if (GetACP() != 932)
        GTEST_SKIP() << "the texts are written in code page 932";
    const std::string page = "http://\x95\x5c\x8e\xa6.example.jp/";
    Cache.Entries = {Entry(page), Entry("http://\x83\x40.example.jp/")};
    TListView& list = Create().CacheListView;
    Form->LoadCache();
    const int row = list.FindCaption(page);
    ASSERT_GE(row, 0);
    // The caption as the list gives it to the control, into a buffer of Room bytes.
    auto caption = [&](int Room) {
        char text[16];
        NMLVDISPINFOA info{};
        info.hdr.hwndFrom = list.Handle();
        info.hdr.code = LVN_GETDISPINFOA;
        info.item.mask = LVIF_TEXT;
        info.item.iItem = row;
        info.item.pszText = text;
        info.item.cchTextMax = Room;
        ::SendMessageA(::GetParent(list.Handle()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return std::string(text);
    };
    EXPECT_EQ(caption(9), "http://");
    EXPECT_EQ(caption(11), "http://\x95\x5c");
    EXPECT_EQ(list.FindCaption("HTTP://\x95\x5c"), row);
    EXPECT_EQ(list.FindCaption("http://\x95"), -1);
}
