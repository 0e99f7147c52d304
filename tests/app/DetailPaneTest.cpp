// The detail pane: routing of the preview, the text view's content, the five
// file-information lines.
#include "MainFormFixture.h"

#include <exdisp.h>
#include <winioctl.h>

#include "app/DetailPane.h"
#include "app/DisplayText.h"
#include "cache/IECache.h"
#include "base/Handle.h"

namespace {

std::string TempFolder()
{
    char folder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    return folder;
}

std::string TempFile(const std::string& name, const std::string& content)
{
    std::string path = TempFolder() + "morvane-pane-" + name;
    TFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    return path;
}

// A file of Size zero bytes that takes no room on a disk that keeps files sparse.
std::string SparseFile(const std::string& name, uint64_t Size)
{
    std::string path = TempFolder() + "morvane-pane-" + name;
    TFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD ignored = 0;
    ::DeviceIoControl(file.Get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(Size);
    EXPECT_TRUE(::SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file.Get())) << path;
    return path;
}

// While it lives, the process has no web browser control: its class object
// refuses to make one, as on a machine where it is not registered.
class TNoBrowserControl final : public IClassFactory {
public:
    TNoBrowserControl()
    {
        ::CoRegisterClassObject(CLSID_WebBrowser, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &FCookie);
    }
    ~TNoBrowserControl() { ::CoRevokeClassObject(FCookie); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override
    {
        *Object = Iid == IID_IUnknown || Iid == IID_IClassFactory ? this : nullptr;
        return *Object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void**) override { return REGDB_E_CLASSNOTREG; }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    DWORD FCookie = 0;
};

} // namespace

TEST(PreviewRouting, BrowserByTheFinalExtensionCaseSensitive)
{
    for (const char* path : {"C:\\c\\page[1].htm", "C:\\c\\page[1].html", "C:\\c\\logo[1].gif",
                             "C:\\c\\photo[2].jpg", "C:\\c\\page.htm"})
        EXPECT_TRUE(PreviewsInBrowser(path)) << path;
    for (const char* path : {"C:\\c\\setup.htm[1].exe", "C:\\c\\x.html[0].bat", "C:\\c\\a.htm[1].pdf",
                             "C:\\c\\x.gif\\file.txt", "C:\\c\\a.htm.bak", "C:\\c\\a.jpg[1].js", "C:\\c\\PAGE.HTM",
                             "C:\\c\\a.GIF", "C:\\c\\a.JPG", "C:\\c\\a.jpeg", "C:\\c\\a.png", "C:\\c\\a.css", "",
                             "C:\\c\\user@site[1].txt"})
        EXPECT_FALSE(PreviewsInBrowser(path)) << path;
}

TEST(PreviewText, LoneCrAndLoneLfBecomeCrLfAndControlBytesButTabAPlaceholder)
{
    EXPECT_EQ(PreviewText("a\rb\nc\r\nd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(PreviewText("\n\n\r\r"), "\r\n\r\n\r\n\r\n");
    EXPECT_EQ(PreviewText("\r\n\r"), "\r\n\r\n");
    EXPECT_EQ(PreviewText("\n\r"), "\r\n\r\n");
    EXPECT_EQ(PreviewText(""), "");
    const std::string p(1, ControlPlaceholder());
    EXPECT_EQ(PreviewText(std::string("\0MZ\x01\x1f\tx\x7f\x80\xff", 10)), p + "MZ" + p + p + "\tx" + p + "\x80\xff");
    EXPECT_TRUE(static_cast<unsigned char>(p[0]) > 0x20 && p[0] != 0x7F) << "a visible character";
}

TEST(PreviewPaths, OnlyAPlainAbsolutePathOnALocalDriveMayBeOpened)
{
    const std::string folder = TempFolder();
    EXPECT_TRUE(IsPlainLocalPath(folder + "page[1].htm"));
    EXPECT_TRUE(IsPlainLocalPath("C:\\users\\a\\INetCache\\IE\\X1\\console[1].txt"));
    char unused = 'Z'; // a letter that names no drive
    while (unused > 'C' && (::GetLogicalDrives() & (1u << (unused - 'A'))))
        --unused;
    for (const std::string& path :
         {folder + "..\\a.txt", folder + ".\\a.txt", folder + "a.txt.", folder + "a.txt ", unused + std::string(":\\a"),
          std::string("\\\\server\\share\\a.txt"), std::string("//server/share/a.txt"), std::string("\\\\.\\C:\\a"),
          std::string("\\\\?\\C:\\a.txt"), std::string("C:\\c\\CON"), std::string("C:\\c\\nul.txt"),
          std::string("C:\\c\\Com1"), std::string("C:\\lpt9 .log"), std::string("C:\\c\\conout$"),
          std::string("C:/c/a.txt"), std::string("C:c\\a.txt"), std::string("\\c\\a.txt"), std::string("c\\a.txt"),
          std::string("C:\\c\\a.txt:stream"), std::string("C:\\c\\\\a.txt"), std::string("C:\\c\\a\tb"), std::string()})
        EXPECT_FALSE(IsPlainLocalPath(path)) << path;
}

class DetailPaneTest : public MainFormTest {
protected:
    TfrmMorvane& Listed()
    {
        TfrmMorvane& form = Create();
        form.HandleNeeded();
        form.LoadCache();
        return form;
    }
    void Select(const std::string& url)
    {
        for (size_t i = 0; i < Form->CacheListView.ItemCount(); ++i)
            if (Form->CacheListView.Caption(i) == url)
                Form->CacheListView.SetSelectedIndex(static_cast<int>(i));
    }
    // The texts of the five lines' windows, which screen readers read.
    std::vector<std::string> LabelTexts() const
    {
        return {Form->Label1.Text(), Form->Label2.Text(), Form->Label3.Text(), Form->Label4.Text(),
                Form->Label5.Text()};
    }
    bool MemoVisible() const { return (::GetWindowLongA(Form->HeaderMemo.Handle(), GWL_STYLE) & WS_VISIBLE) != 0; }
    // An entry whose cached file holds Content and whose recorded size is that of the file.
    TScriptEntry FileEntry(const std::string& url, const std::string& name, const std::string& content)
    {
        TScriptEntry e = Entry(url);
        e.LocalFile = TempFile(name, content);
        e.SizeLow = static_cast<DWORD>(content.size());
        FFiles.push_back(*e.LocalFile);
        return e;
    }
    void TearDown() override
    {
        MainFormTest::TearDown();
        for (const std::string& file : FFiles)
            ::DeleteFileA(file.c_str());
    }

private:
    std::vector<std::string> FFiles;
};

TEST_F(DetailPaneTest, ACookieFileShowsAsTextWithLineBreaksMadeCrLf)
{
    TScriptEntry cookie = FileEntry("Cookie:user@example.org/", "user@example[1].txt", "id\n42\rexample.org/\r\n");
    cookie.Type = COOKIE_CACHE_ENTRY;
    cookie.HitRate = 3;
    Cache.Entries = {cookie};
    TfrmMorvane& form = Listed();
    Select("Cookie:user@example.org/");
    EXPECT_EQ(form.HeaderMemo.Text(), "id\r\n42\r\nexample.org/\r\n");
    EXPECT_TRUE(MemoVisible());
    EXPECT_EQ(form.Label1.Caption(), "Hitrate: 3");
    EXPECT_EQ(form.Label2.Caption(), "FileSize: 20");
}

TEST_F(DetailPaneTest, AVisitedLinkRecordShowsAnEmptyTextViewAndStillSetsTheLabels)
{
    TScriptEntry visited = Entry("Visited: user@http://example.org/", URLHISTORY_CACHE_ENTRY);
    visited.HitRate = 0x80000000u;
    visited.SizeLow = 0xFFFFFFFEu;
    Cache.Entries = {visited};
    TfrmMorvane& form = Listed();
    form.HeaderMemo.SetText("earlier");
    Select("Visited: user@http://example.org/");
    EXPECT_EQ(form.HeaderMemo.Text(), "");
    EXPECT_TRUE(MemoVisible());
    // Times before 30 December 1899 (the zero file time lies in 1601) show nothing.
    EXPECT_EQ(LabelTexts(), (std::vector<std::string>{"Hitrate: 2147483648", "FileSize: 4294967294",
                                                      "Last access: ", "Last modified: ", "Expire: "}));
}

TEST_F(DetailPaneTest, EachTimeLabelShowsItsOwnTime)
{
    auto fileTime = [](WORD Year, WORD Month, WORD Day, WORD Hour, WORD Minute) {
        SYSTEMTIME st{Year, Month, 0, Day, Hour, Minute, 0, 0};
        FILETIME ft{};
        EXPECT_TRUE(::SystemTimeToFileTime(&st, &ft));
        return ft;
    };
    TScriptEntry e = Entry("http://example.org/times");
    e.LastAccess = fileTime(2024, 3, 5, 10, 20);
    e.LastModified = fileTime(2021, 7, 9, 0, 0);
    e.Expire = fileTime(2030, 12, 31, 23, 59);
    Cache.Entries = {e};
    TfrmMorvane& form = Listed();
    Select("http://example.org/times");
    EXPECT_EQ(form.Label3.Caption(), "Last access: " + DateTimeText(FileTimeToDateTime(e.LastAccess)));
    EXPECT_EQ(form.Label4.Caption(), "Last modified: " + DateTimeText(FileTimeToDateTime(e.LastModified)));
    EXPECT_EQ(form.Label5.Caption(), "Expire: " + DateTimeText(FileTimeToDateTime(e.Expire)));
    // Three different texts: no label shows another's time.
    EXPECT_NE(form.Label3.Caption().substr(13), form.Label4.Caption().substr(15));
    EXPECT_NE(form.Label4.Caption().substr(15), form.Label5.Caption().substr(8));
    EXPECT_NE(form.Label3.Caption().substr(13), form.Label5.Caption().substr(8));
}

TEST_F(DetailPaneTest, WithThePreviewOffAnotherRowChangesTheLabelsOnly)
{
    TScriptEntry first = FileEntry("http://example.org/a.css", "a[2].css", "first");
    first.HitRate = 1;
    TScriptEntry second = FileEntry("http://example.org/b.css", "b[2].css", "second");
    second.HitRate = 2;
    Cache.Entries = {first, second};
    TfrmMorvane& form = Listed();
    Select("http://example.org/a.css");
    ASSERT_EQ(form.HeaderMemo.Text(), "first");
    form.cmdShowContent.SetChecked(false);
    ASSERT_FALSE(form.PreviewOn());
    Select("http://example.org/b.css");
    EXPECT_EQ(form.Label1.Caption(), "Hitrate: 2");
    EXPECT_EQ(form.HeaderMemo.Text(), "first");
    EXPECT_TRUE(MemoVisible());
}

TEST_F(DetailPaneTest, PagesAndImagesGoToTheBrowserViewBehindAnEmptiedHiddenTextView)
{
    TScriptEntry page = FileEntry("http://example.org/page.htm", "page[1].htm", "<html><body>x</body></html>");
    TScriptEntry text = FileEntry("http://example.org/a.css", "a[1].css", "body{}");
    TScriptEntry setup = FileEntry("http://example.org/setup.exe", "setup.htm[1].exe", "MZ");
    Cache.Entries = {page, text, setup};
    TfrmMorvane& form = Listed();
    Select("http://example.org/a.css");
    ASSERT_EQ(form.HeaderMemo.Text(), "body{}");
    Select("http://example.org/page.htm");
    EXPECT_FALSE(MemoVisible());
    EXPECT_EQ(form.HeaderMemo.Text(), ""); // nothing of the entry before
    Select("http://example.org/setup.exe");
    EXPECT_TRUE(MemoVisible());
    EXPECT_EQ(form.HeaderMemo.Text(), "MZ");
}

TEST_F(DetailPaneTest, OnlyTheEntrysOwnFileIsOpenedAndSharedWithItsWriter)
{
    // The files are there, but no detour to them is taken, to a text or to a page.
    TScriptEntry own = FileEntry("http://example.org/own", "own[1].txt", "own data");
    const std::string name = *own.LocalFile, folder = name.substr(0, name.rfind('\\') + 1);
    const std::string page = *FileEntry("http://example.org/page", "own[1].htm", "own data").LocalFile;
    Cache.Entries = {own};
    for (const std::string& detour : {folder + "sub\\..\\" + name.substr(folder.size()), "\\\\?\\" + name,
                                      folder + "sub\\..\\" + page.substr(folder.size()),
                                      "\\\\127.0.0.1\\c$\\" + name.substr(3)}) {
        Cache.Entries.push_back(own);
        Cache.Entries.back().Url = "http://example.org/" + detour;
        Cache.Entries.back().LocalFile = detour;
    }
    TFileHandle writer(::CreateFileA(name.c_str(), GENERIC_WRITE | DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                     nullptr));
    ASSERT_TRUE(writer);
    TfrmMorvane& form = Listed();
    Select("http://example.org/own");
    EXPECT_EQ(form.HeaderMemo.Text(), "own data");
    for (std::size_t i = 1; i < Cache.Entries.size(); ++i) {
        Select(*Cache.Entries[i].Url);
        EXPECT_EQ(form.HeaderMemo.Text(), "") << *Cache.Entries[i].LocalFile;
        EXPECT_TRUE(MemoVisible());
    }
}

TEST_F(DetailPaneTest, AFileOfAnotherSizeThanTheEntryRecordsIsNotShown)
{
    // The entry's file was removed and its name given to another entry's file.
    TScriptEntry own = FileEntry("http://example.org/own", "shared[1].txt", "the other entry's data");
    TScriptEntry stale = own;
    stale.Url = "http://example.org/stale";
    stale.SizeLow = 7;
    Cache.Entries = {own, stale};
    TfrmMorvane& form = Listed();
    Select("http://example.org/own");
    ASSERT_EQ(form.HeaderMemo.Text(), "the other entry's data");
    Select("http://example.org/stale");
    EXPECT_EQ(form.HeaderMemo.Text(), "");
    EXPECT_EQ(form.Label2.Caption(), "FileSize: 7");
}

TEST_F(DetailPaneTest, AnyFileShowsItsFirstPartAndALastLineSayingHowMuch)
{
    // Sizes beyond 4 GiB record only their low 32 bits.
    const uint64_t huge = (5ull << 30) + 3, atLimit = PreviewLimit;
    TScriptEntry big = Entry("http://example.org/big");
    big.LocalFile = SparseFile("big[1].iso", huge);
    big.SizeLow = static_cast<DWORD>(huge);
    TScriptEntry whole = Entry("http://example.org/whole");
    whole.LocalFile = SparseFile("whole[1].bin", atLimit);
    whole.SizeLow = static_cast<DWORD>(atLimit);
    Cache.Entries = {big, whole};
    TfrmMorvane& form = Listed();
    const std::string dots(PreviewLimit, ControlPlaceholder());
    Select("http://example.org/big");
    EXPECT_EQ(form.HeaderMemo.Text(),
              dots + "\r\n[The first " + std::to_string(PreviewLimit) + " of 5368709123 bytes are shown.]");
    Select("http://example.org/whole");
    EXPECT_EQ(form.HeaderMemo.Text(), dots);
    ::DeleteFileA(big.LocalFile->c_str());
    ::DeleteFileA(whole.LocalFile->c_str());
}

TEST_F(DetailPaneTest, AGoneEntryShowsTheTextsWithoutValuesAndNoOtherEntrysData)
{
    TScriptEntry a = FileEntry("http://example.org/a", "a[1].txt", "content of a");
    a.HitRate = 5;
    TScriptEntry b = Entry("http://example.org/b");
    Cache.Entries = {a, b};
    TfrmMorvane& form = Listed();
    Select("http://example.org/a");
    ASSERT_EQ(form.Label1.Caption(), "Hitrate: 5");
    ASSERT_EQ(form.HeaderMemo.Text(), "content of a");
    Cache.Entries.pop_back(); // "b" leaves the cache behind the list's back
    Select("http://example.org/b");
    EXPECT_EQ(LabelTexts(), (std::vector<std::string>{"Hitrate: ", "FileSize: ", "Last access: ",
                                                      "Last modified: ", "Expire: "}));
    EXPECT_EQ(form.HeaderMemo.Text(), "");
    EXPECT_TRUE(MemoVisible());
}

TEST_F(DetailPaneTest, NoRowsOrNoSelectionChangeNothing)
{
    Cache.Entries = {Entry("http://example.org/a")};
    TfrmMorvane& form = Listed();
    form.CacheListViewChange(form.CacheListView, -1, 0);
    EXPECT_EQ(form.Label1.Caption(), "HitRate:");
    form.CacheListView.ClearItems();
    form.CacheListViewChange(form.CacheListView, -1, 0);
    EXPECT_EQ(form.Label1.Caption(), "HitRate:");
}

TEST_F(DetailPaneTest, WithoutABrowserControlTextStillShowsAndPagesShowABlankArea)
{
    TScriptEntry text = FileEntry("http://example.org/a.css", "nb[1].css", "body{}");
    TScriptEntry page = FileEntry("http://example.org/page.htm", "nb[1].htm", "<html></html>");
    page.HitRate = 7;
    Cache.Entries = {text, page};
    TNoBrowserControl none;
    TfrmMorvane& form = Listed();
    ASSERT_EQ(nullptr, form.WebBrowser1.Browser());
    Select("http://example.org/a.css");
    EXPECT_EQ(form.HeaderMemo.Text(), "body{}");
    EXPECT_TRUE(MemoVisible());
    Select("http://example.org/page.htm");
    EXPECT_EQ(form.HeaderMemo.Text(), "");
    EXPECT_FALSE(MemoVisible());
    EXPECT_EQ(form.Label1.Caption(), "Hitrate: 7");
    EXPECT_TRUE(Boxes.empty()) << Boxes.front();
}
