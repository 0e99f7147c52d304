// Against Wine's own WinINet: "Delete All" with cookies chosen (every cookie goes, the documents stay), and
// WinINet's files previewed as their entries' own. It deletes every cookie of the account, so elsewhere it
// runs only when writing is allowed (RealCacheWrites.h).
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "MenuDriver.h"
#include "RealCacheWrites.h"
#include "app/MainForm.h"
#include "cache/CacheApi.h"
#include "ui/Application.h"

namespace {

const std::string Documents[] = {"http://morvane-commands.example/one.htm",
                                 "http://morvane-commands.example/two.txt"};
const std::string CookieSites[] = {"http://one.morvane-commands.example/", "http://two.morvane-commands.example/"};

bool CommitDocument(const std::string& Url, const char* Extension, const std::string& Body)
{
    char file[MAX_PATH] = {};
    if (!::CreateUrlCacheEntryA(Url.c_str(), 0, Extension, file, 0))
        return false;
    HANDLE h = ::CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    ::WriteFile(h, Body.data(), static_cast<DWORD>(Body.size()), &written, nullptr);
    ::CloseHandle(h);
    FILETIME never{};
    return ::CommitUrlCacheEntryA(Url.c_str(), file, never, never, NORMAL_CACHE_ENTRY, nullptr, 0, Extension,
                                  nullptr) != FALSE;
}

// The URLs that the plain enumeration finds for a pattern.
std::vector<std::string> Enumerate(const char* Pattern)
{
    std::vector<std::string> urls;
    std::vector<char> buffer(4096);
    DWORD size = static_cast<DWORD>(buffer.size());
    auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    HANDLE find = ::FindFirstUrlCacheEntryA(Pattern, info, &size);
    if (!find && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        buffer.resize(size);
        info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
        find = ::FindFirstUrlCacheEntryA(Pattern, info, &size);
    }
    if (!find)
        return urls;
    for (;;) {
        urls.push_back(info->lpszSourceUrlName ? info->lpszSourceUrlName : "");
        size = static_cast<DWORD>(buffer.size());
        if (!::FindNextUrlCacheEntryA(find, info, &size)) {
            if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
                break;
            buffer.resize(size);
            info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
            if (!::FindNextUrlCacheEntryA(find, info, &size))
                break;
        }
    }
    ::FindCloseUrlCache(find);
    return urls;
}

bool InCache(const std::string& Url)
{
    DWORD size = 0;
    if (::GetUrlCacheEntryInfoA(Url.c_str(), nullptr, &size))
        return true;
    return ::GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

class CommandsOnWinInet : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!MayWriteRealCache())
            GTEST_SKIP() << "skipped: " << RealCacheOptIn;
        Application().Initialize();
        Application().SetHint("");
        FSavedBox = Application().MessageBox;
        Application().MessageBox = [this](HWND, const std::string& text, const std::string&, UINT) {
            Boxes.push_back(text);
            return IDOK;
        };
        CacheApi::ResetLibraryFlag();
    }
    void TearDown() override
    {
        if (!MayWriteRealCache())
            return;
        Form.reset();
        for (const std::string& url : Documents)
            ::DeleteUrlCacheEntryA(url.c_str());
        for (const std::string& url : Enumerate("Cookie:"))
            if (url.find("morvane-commands.example") != std::string::npos)
                ::DeleteUrlCacheEntryA(url.c_str());
        Application().MessageBox = FSavedBox;
    }

    TFormPtr<TfrmMorvane> Form;
    std::vector<std::string> Boxes;

private:
    decltype(TApplication::MessageBox) FSavedBox;
};

} // namespace

TEST_F(CommandsOnWinInet, DeleteAllWithCookiesChosenDeletesEveryCookieAndKeepsTheDocuments)
{
    ASSERT_TRUE(CommitDocument(Documents[0], "htm", "<html><body>one</body></html>"));
    ASSERT_TRUE(CommitDocument(Documents[1], "txt", "two"));
    for (const std::string& site : CookieSites)
        ASSERT_TRUE(::InternetSetCookieA(site.c_str(), "visit", "1; expires=Fri, 01-Jan-2037 00:00:00 GMT"));
    const std::vector<std::string> cookies = Enumerate("Cookie:");
    ASSERT_GE(cookies.size(), 2u);

    Form = MakeForm<TfrmMorvane>();
    Form->LoadCache();
    TMenuDriver menu(Form->Handle());
    menu.Choose({"View", "Show cookies"});
    EXPECT_EQ(Form->CacheListView.ItemCount(), cookies.size());

    menu.Choose({"Edit", "Delete All"});

    EXPECT_EQ(Enumerate("Cookie:"), std::vector<std::string>{});
    EXPECT_TRUE(InCache(Documents[0]));
    EXPECT_TRUE(InCache(Documents[1]));
    EXPECT_EQ(Form->CacheListView.ItemCount(), 0u);
    EXPECT_TRUE(Boxes.empty());

    // The next rebuild finds no cookie either.
    menu.Choose({"View", "Refresh"});
    EXPECT_EQ(Form->CacheListView.ItemCount(), 0u);
    menu.Choose({"View", "Show URLs"});
    std::vector<std::string> rows;
    for (size_t i = 0; i < Form->CacheListView.ItemCount(); ++i)
        rows.emplace_back(Form->CacheListView.Caption(i));
    EXPECT_NE(std::find(rows.begin(), rows.end(), Documents[0]), rows.end());
    EXPECT_NE(std::find(rows.begin(), rows.end(), Documents[1]), rows.end());
}

TEST_F(CommandsOnWinInet, WinInetsOwnCookieAndDocumentFilesArePreviewedAsTheirEntries)
{
    // The sizes WinINet records are its files' sizes: none is taken for another entry's file.
    ASSERT_TRUE(CommitDocument(Documents[1], "txt", "two"));
    ASSERT_TRUE(::InternetSetCookieA(CookieSites[0].c_str(), "visit", "1; expires=Fri, 01-Jan-2037 00:00:00 GMT"));
    Form = MakeForm<TfrmMorvane>();
    Form->LoadCache();
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < Form->CacheListView.ItemCount(); ++i) {
        const std::string url(Form->CacheListView.Caption(i));
        if (url != Documents[1] && (url.rfind("Cookie:", 0) != 0 || url.find("morvane-commands") == std::string::npos))
            continue;
        Form->CacheListView.SetSelectedIndex(static_cast<int>(i));
        shown.push_back(Form->HeaderMemo.Text().substr(0, 5));
    }
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_NE(std::find(shown.begin(), shown.end(), "two"), shown.end());
    EXPECT_NE(std::find(shown.begin(), shown.end(), "visit"), shown.end()); // a cookie file starts with its name
}
