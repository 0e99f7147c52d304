// The component against the real WinINet of the test prefix: entries made
// through WinINet itself are listed by each pattern, looked up and deleted.
// Every test works on hosts of its own and removes what it made; the prefix
// may hold other entries, so listings are checked for membership. Only the
// read-only tests run on Windows unless writing is allowed (RealCacheWrites.h).
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RealCacheWrites.h"
#include "cache/IECache.h"
#include "cache/WineUrlCache.h"

namespace {

const TFilterOptions WindowSet{NORMAL_ENTRY, STICKY_ENTRY, COOKIE_ENTRY, URLHISTORY_ENTRY, TRACK_OFFLINE_ENTRY,
    TRACK_ONLINE_ENTRY};

FILETIME FileTimeOf(WORD Year, WORD Month, WORD Day)
{
    SYSTEMTIME st{Year, Month, 0, Day, 12, 0, 0, 0};
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

std::string UserName()
{
    char name[256];
    DWORD size = sizeof name;
    return GetUserNameA(name, &size) ? std::string(name) : std::string();
}

struct TListed {
    std::string Url;
    DWORD Type;
};

std::vector<TListed> Listing(TSearchPattern Pattern, TFilterOptions Options = WindowSet)
{
    TIECache cache;
    cache.SetFilterOptions(Options);
    cache.SetSearchPattern(Pattern);
    std::vector<TListed> listed;
    cache.OnEntry = [&](TIECache& Sender, bool&) {
        listed.push_back({Sender.EntryInfo().SourceUrlName, Sender.EntryInfo().CacheEntryType});
    };
    cache.RetrieveEntries(0);
    return listed;
}

bool Lists(const std::vector<TListed>& Listed, const std::string& Url)
{
    return std::any_of(Listed.begin(), Listed.end(), [&](const TListed& l) { return l.Url == Url; });
}

class RealWinInetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!MayWriteRealCache())
            GTEST_SKIP() << "skipped: " << RealCacheOptIn;
    }

    ~RealWinInetTest() override
    {
        for (const std::string& url : FMade)
            DeleteUrlCacheEntryA(url.c_str());
        EXPECT_EQ(WineUrlCache::OpenEnumerations(), 0u);
    }

    std::string CommitContent(const std::string& Url, const std::string& Extension, const std::string& Bytes,
        const std::string& Header)
    {
        char file[MAX_PATH] = {};
        EXPECT_TRUE(CreateUrlCacheEntryA(Url.c_str(), 0, Extension.c_str(), file, 0));
        HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(h, Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr);
        CloseHandle(h);
        std::string header = Header;
        EXPECT_TRUE(CommitUrlCacheEntryA(Url.c_str(), file, FileTimeOf(2031, 5, 6), FileTimeOf(2020, 2, 3),
            NORMAL_CACHE_ENTRY, reinterpret_cast<LPBYTE>(header.data()), static_cast<DWORD>(header.size()),
            Extension.c_str(), nullptr));
        FMade.push_back(Url);
        return file;
    }

    // A lasting cookie; returns the URL of its cache entry.
    std::string SetCookie(const std::string& Host)
    {
        const std::string url = "http://" + Host + "/";
        EXPECT_TRUE(InternetSetCookieA(url.c_str(), "morvane", "1; expires=Fri, 31 Dec 2100 23:59:59 GMT"));
        FMade.push_back("Cookie:" + UserName() + "@" + Host + "/");
        return FMade.back();
    }

    std::string CommitVisit(const std::string& Url)
    {
        const std::string record = "Visited: " + UserName() + "@" + Url;
        EXPECT_TRUE(CommitUrlCacheEntryA(record.c_str(), nullptr, FILETIME{}, FILETIME{}, URLHISTORY_CACHE_ENTRY,
            nullptr, 0, nullptr, nullptr));
        FMade.push_back(record);
        return record;
    }

private:
    std::vector<std::string> FMade;
};

TEST_F(RealWinInetTest, ContentEntryIsListedByAllAndUrlAndLookedUp)
{
    const std::string url = "http://content.morvane-test.example.org/dir/page.htm";
    const std::string header = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
    const std::string file = CommitContent(url, "htm", "<html><body>cached</body></html>", header);

    EXPECT_TRUE(Lists(Listing(spAll), url));
    EXPECT_TRUE(Lists(Listing(spUrl), url));
    EXPECT_FALSE(Lists(Listing(spCookies), url));
    EXPECT_FALSE(Lists(Listing(spHistory), url));

    TIECache cache;
    ASSERT_EQ(cache.GetEntryInfo(url), 0u);
    const TEntryInfo& e = cache.EntryInfo();
    EXPECT_EQ(e.SourceUrlName, url);
    EXPECT_EQ(e.CacheEntryType, DWORD(NORMAL_CACHE_ENTRY));
    EXPECT_EQ(e.Size, 32u);
    EXPECT_EQ(e.LocalFileName, file);
    EXPECT_NE(GetFileAttributesA(e.LocalFileName.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(e.FileExtension, "htm");
    EXPECT_EQ(e.HeaderInfo, header);
    EXPECT_DOUBLE_EQ(e.LastModifiedTime, FileTimeToDateTime(FileTimeOf(2020, 2, 3)));
    EXPECT_DOUBLE_EQ(e.ExpireTime, FileTimeToDateTime(FileTimeOf(2031, 5, 6)));
    EXPECT_GT(e.LastAccessTime, 40000.0); // some day of this century

    EXPECT_EQ(cache.DeleteEntry(url), 0u);
    EXPECT_EQ(cache.EntryInfo(), TEntryInfo{});
    EXPECT_EQ(cache.GetEntryInfo(url), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(cache.DeleteEntry(url), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(Lists(Listing(spAll), url));
}

TEST_F(RealWinInetTest, EntriesLargerThanTheFirstBufferAreListedWholeAndNoneIsSkipped)
{
    // Entries of some kilobytes each (a long URL, a long header), between short ones:
    // each is read again into a larger buffer, and the enumeration goes on after it.
    std::vector<std::string> urls, headers;
    for (int i = 0; i < 6; ++i) {
        std::string url = "http://large.morvane-test.example.org/" + std::to_string(i) + "/";
        std::string header = "HTTP/1.1 200 OK\r\n";
        if (i % 2 == 1) {
            url += std::string(1500 + 100 * i, 'u');
            header += "X-Padding: " + std::string(3000 + 100 * i, 'h') + "\r\n";
        }
        header += "\r\n";
        CommitContent(url, "txt", "x", header);
        urls.push_back(url);
        headers.push_back(header);
    }

    TIECache cache;
    cache.SetFilterOptions(WindowSet);
    std::vector<std::pair<std::string, std::string>> listed;
    cache.OnEntry = [&](TIECache& Sender, bool&) {
        listed.emplace_back(Sender.EntryInfo().SourceUrlName, Sender.EntryInfo().HeaderInfo);
    };
    cache.RetrieveEntries(0);
    for (std::size_t i = 0; i < urls.size(); ++i) {
        const auto found = std::count_if(listed.begin(), listed.end(), [&](const auto& l) { return l.first == urls[i]; });
        EXPECT_EQ(found, 1) << "entry " << i;
        const auto it = std::find_if(listed.begin(), listed.end(), [&](const auto& l) { return l.first == urls[i]; });
        if (it != listed.end())
            EXPECT_EQ(it->second, headers[i]) << "entry " << i;
    }
    EXPECT_EQ(WineUrlCache::OpenEnumerations(), 0u);
}

TEST_F(RealWinInetTest, CookieIsListedByAllAndCookies)
{
    const std::string url = SetCookie("cookie.morvane-test.example.org");
    const auto cookies = Listing(spCookies);
    EXPECT_TRUE(Lists(cookies, url));
    for (const TListed& l : cookies)
        EXPECT_EQ(l.Url.rfind("Cookie:", 0), 0u) << l.Url;
    EXPECT_TRUE(Lists(Listing(spAll), url));
    EXPECT_FALSE(Lists(Listing(spUrl), url));
    EXPECT_FALSE(Lists(Listing(spHistory), url));

    TIECache cache;
    ASSERT_EQ(cache.GetEntryInfo(url), 0u);
    EXPECT_EQ(cache.EntryInfo().CacheEntryType, DWORD(COOKIE_CACHE_ENTRY));
    EXPECT_GT(cache.EntryInfo().Size, 0u);
    EXPECT_NE(GetFileAttributesA(cache.EntryInfo().LocalFileName.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(cache.DeleteEntry(url), 0u);
    EXPECT_FALSE(Lists(Listing(spCookies), url));
}

TEST_F(RealWinInetTest, HistoryRecordIsListedByAllAndHistory)
{
    const std::string url = CommitVisit("http://history.morvane-test.example.org/visited.htm");
    const auto history = Listing(spHistory);
    EXPECT_TRUE(Lists(history, url));
    for (const TListed& l : history)
        EXPECT_EQ(l.Url.rfind("Visited:", 0), 0u) << l.Url;
    EXPECT_TRUE(Lists(Listing(spAll), url));
    EXPECT_FALSE(Lists(Listing(spUrl), url));
    EXPECT_FALSE(Lists(Listing(spCookies), url));

    TIECache cache;
    ASSERT_EQ(cache.GetEntryInfo(url), 0u);
    EXPECT_EQ(cache.EntryInfo().CacheEntryType, DWORD(URLHISTORY_CACHE_ENTRY));
    EXPECT_EQ(cache.EntryInfo().LocalFileName, "");
    EXPECT_EQ(cache.DeleteEntry(url), 0u);
    EXPECT_FALSE(Lists(Listing(spHistory), url));
}

TEST_F(RealWinInetTest, FilterSelectsEntryTypes)
{
    const std::string content = "http://filter.morvane-test.example.org/a.txt";
    CommitContent(content, "txt", "text", "");
    const std::string cookie = SetCookie("filter.morvane-test.example.org");
    const std::string visit = CommitVisit(content);

    const auto cookiesOnly = Listing(spAll, {COOKIE_ENTRY});
    EXPECT_TRUE(Lists(cookiesOnly, cookie));
    EXPECT_FALSE(Lists(cookiesOnly, content));
    EXPECT_FALSE(Lists(cookiesOnly, visit));
    for (const TListed& l : cookiesOnly)
        EXPECT_TRUE(l.Type & COOKIE_CACHE_ENTRY) << l.Url;

    // An empty set of types lists nothing, and so does a component whose
    // FilterOptions were never assigned.
    EXPECT_TRUE(Listing(spAll, {}).empty());
    TIECache fresh;
    int calls = 0;
    fresh.OnEntry = [&](TIECache&, bool&) { ++calls; };
    fresh.RetrieveEntries(0);
    EXPECT_EQ(calls, 0);
}

TEST_F(RealWinInetTest, DeleteAllCookiesRemovesEveryCookieAndNothingElse)
{
    const std::string content = "http://deleteall.morvane-test.example.org/keep.htm";
    CommitContent(content, "htm", "<p>keep</p>", "");
    const std::string visit = CommitVisit(content);
    SetCookie("deleteall.morvane-test.example.org");
    SetCookie("deleteall.morvane-test.example.com");
    ASSERT_GE(Listing(spCookies).size(), 2u);

    TIECache cache;
    cache.SetFilterOptions(WindowSet);
    cache.SetSearchPattern(spCookies);
    cache.DeleteAllEntries();

    EXPECT_TRUE(Listing(spCookies).empty());
    const auto all = Listing(spAll);
    EXPECT_TRUE(Lists(all, content));
    EXPECT_TRUE(Lists(all, visit));
    for (const TListed& l : all)
        EXPECT_NE(l.Url.rfind("Cookie:", 0), 0u) << l.Url;
}

// Reads what the cache holds and writes nothing, so it runs everywhere; where
// writing is allowed one entry of each kind is made first, for it to find.
class RealWinInetReadOnlyTest : public RealWinInetTest {
protected:
    void SetUp() override {}
};

TEST_F(RealWinInetReadOnlyTest, EachKindIsListedToItsEndAndItsEntriesLookedUp)
{
    std::vector<std::string> made;
    if (MayWriteRealCache()) {
        const std::string page = "http://readonly.morvane-test.example.org/";
        CommitContent(page, "htm", "<p>read</p>", "");
        made = {page, SetCookie("readonly.morvane-test.example.org"), CommitVisit(page)};
    }
    const std::pair<TSearchPattern, std::string> kinds[] = {
        {spAll, ""}, {spUrl, ""}, {spCookies, "Cookie:"}, {spHistory, "Visited:"}};
    std::size_t found = 0;
    for (const auto& [pattern, prefix] : kinds) {
        const auto listed = Listing(pattern);
        EXPECT_EQ(WineUrlCache::OpenEnumerations(), 0u);
        TIECache cache;
        // A live cache may lose an entry between the listing and its look-up.
        for (std::size_t i = 0; i < listed.size() && i < 1000; ++i) {
            const TListed& l = listed[i];
            EXPECT_EQ(l.Url.rfind(prefix, 0), 0u) << l.Url;
            const DWORD error = cache.GetEntryInfo(l.Url);
            if (error == ERROR_FILE_NOT_FOUND)
                continue;
            EXPECT_EQ(error, 0u) << l.Url;
            EXPECT_EQ(cache.EntryInfo().SourceUrlName, l.Url);
            EXPECT_EQ(cache.EntryInfo().CacheEntryType, l.Type) << l.Url;
        }
        for (const std::string& url : made)
            found += Lists(listed, url);
    }
    // Each made entry is listed with all entries and with those of its kind.
    EXPECT_EQ(found, 2 * made.size());
}

TEST_F(RealWinInetReadOnlyTest, TheLibraryIsFound)
{
    EXPECT_TRUE(CheckLibrary());
    EXPECT_TRUE(TIECache().LibraryFound());
}

} // namespace
