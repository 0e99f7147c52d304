// The main window's layout and start-up, over a scripted cache.
#include "MainFormFixture.h"

TEST_F(MainFormTest, DesignPropertiesOfTheWindow)
{
    TfrmMorvane& form = Create();
    std::string caption = form.Caption();
    EXPECT_EQ(caption, "Morvane ");
    EXPECT_EQ(caption.find_last_not_of(' '), caption.size() - 2); // exactly one trailing blank
    EXPECT_EQ(form.Width(), 644);
    EXPECT_EQ(form.Height(), 472);
    MINMAXINFO limits{};
    ::SendMessageA(form.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 500);
    EXPECT_EQ(limits.ptMinTrackSize.y, 400);
    EXPECT_EQ(form.Position(), poDesktopCenter);
    EXPECT_EQ(form.Font().Name, "MS Sans Serif");
    EXPECT_EQ(form.IECache1.FilterMask(), 0x300035u);
    EXPECT_EQ(form.IECache1.SearchPattern(), spAll);

    ASSERT_EQ(form.CacheListView.Columns().Count(), 5);
    const char* headers[] = {"Name", "Last Access", "Hit rate", "Size", "File Name"};
    int widths[] = {300, 100, 50, 50, 200};
    int minimums[] = {100, 50, 50, 50, 100};
    for (int i = 0; i < 5; ++i) {
        const TListColumn& c = form.CacheListView.Columns()[i];
        EXPECT_EQ(c.Caption(), headers[i]);
        EXPECT_EQ(c.Width(), widths[i]) << i;
        EXPECT_EQ(c.MinWidth(), minimums[i]) << i;
    }
    EXPECT_EQ(form.sSplitter1.MinSize(), 100);
    EXPECT_EQ(form.sSplitter2.MinSize(), 100);
    EXPECT_EQ(form.sSplitter1.Neighbour(), &form.sPanel3);
    EXPECT_EQ(form.sSplitter2.Neighbour(), &form.CacheListView);
    EXPECT_EQ(form.CacheTreeView.Indent(), 19);
    EXPECT_TRUE(form.HeaderMemo.Visible());
}

TEST_F(MainFormTest, LabelsShowTheirDesignCaptionsBeforeAnySelection)
{
    Cache.Entries = {Entry("http://example.org/a.htm")};
    TfrmMorvane& form = Create();
    form.LoadCache();
    EXPECT_EQ(form.Label1.Caption(), "HitRate:");
    EXPECT_EQ(form.Label2.Caption(), "FileSize:");
    EXPECT_EQ(form.Label3.Caption(), "Last accessed:");
    EXPECT_EQ(form.Label4.Caption(), "Last modified:");
    EXPECT_EQ(form.Label5.Caption(), "Expire:");
    EXPECT_EQ(form.Label1.Left(), 5);
    EXPECT_EQ(form.Label1.Top(), 17);
    EXPECT_EQ(form.Label5.Left(), 6);
    EXPECT_EQ(form.Label5.Top(), 91);
    EXPECT_EQ(form.CacheListView.SelectedIndex(), -1);
}

TEST_F(MainFormTest, AnEmptyCacheGivesAnEmptyListAndOnlyTheRootWithoutAMessage)
{
    TfrmMorvane& form = Create();
    form.LoadCache();
    EXPECT_EQ(form.CacheListView.ItemCount(), 0u);
    EXPECT_EQ(TreeTexts(), std::vector<std::string>{"All entries"});
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(MainFormTest, WithoutTheCacheLibraryTheWindowOpensEmptyWithoutAMessage)
{
    Cache.LibraryLoads = false;
    Cache.Entries = {Entry("http://example.org/a.htm")};
    TfrmMorvane& form = Create();
    form.LoadCache();
    EXPECT_EQ(form.CacheListView.ItemCount(), 0u);
    EXPECT_EQ(TreeTexts(), std::vector<std::string>{"All entries"});
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(MainFormTest, LoadCacheListsEveryEntryInCaptionOrderWithNothingSelected)
{
    Cache.Entries = {Entry("http://b.example.org/"), Entry("Cookie:user@a.example.org/", COOKIE_CACHE_ENTRY),
                     Entry("http://a.example.org/")};
    TfrmMorvane& form = Create();
    form.IECache1.SetSearchPattern(spCookies);
    form.LoadCache();
    EXPECT_EQ(form.IECache1.SearchPattern(), spAll);
    std::vector<std::string> captions = Captions();
    ASSERT_EQ(captions.size(), 3u);
    for (size_t i = 1; i < captions.size(); ++i)
        EXPECT_LT(::lstrcmpA(captions[i - 1].c_str(), captions[i].c_str()), 0);
    EXPECT_EQ(form.CacheListView.SelectedIndex(), -1);
    EXPECT_EQ(form.sStatusBar1.SimpleText(), "");
}

TEST_F(MainFormTest, AFailingStartUpListingIsReportedAndTheProgramGoesOn)
{
    Cache.Entries = {Entry("http://a.example.org/"), Entry("http://b.example.org/")};
    Cache.ThrowAfter = 1;
    Application().MessageBox = [this](HWND, const std::string& text, const std::string&, UINT) {
        Boxes.push_back(text);
        ::PostMessageA(Application().Handle(), WM_CLOSE, 0, 0);   // the user closes the window next
        return IDOK;
    };
    EXPECT_EQ(RunMorvane(), 0);   // the window was shown, and closed as usual
    MSG quit;
    ::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    EXPECT_EQ(Boxes, std::vector<std::string>{"scripted failure."});
}
