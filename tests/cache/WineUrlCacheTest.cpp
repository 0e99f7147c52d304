// The Ex enumeration that Wine lacks, built on the scripted WinINet's plain
// FindFirstUrlCacheEntryA / FindNextUrlCacheEntryA: sizing, codes, the filter
// as a set of entry types, and no entry lost or delivered twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ScriptedWinInet.h"
#include "cache/CacheApi.h"
#include "cache/IECache.h"
#include "cache/WineUrlCache.h"

namespace {

class WineUrlCacheTest : public ::testing::Test {
protected:
    ~WineUrlCacheTest() override
    {
        EXPECT_EQ(WineUrlCache::OpenEnumerations(), 0u);
        // Every plain enumeration that was opened was closed, once.
        for (HANDLE h : Script.OpenedHandles)
            EXPECT_EQ(std::count(Script.ClosedHandles.begin(), Script.ClosedHandles.end(), h), 1);
    }

    // The component with the emulation in place of the Ex functions.
    std::vector<std::string> Listing(TFilterOptions Options, TSearchPattern Pattern = spAll)
    {
        CacheApi::TBinding binding = CacheApi::Api();
        binding.FindFirstUrlCacheEntryExA = WineUrlCache::EmulatedFindFirstUrlCacheEntryExA;
        binding.FindNextUrlCacheEntryExA = WineUrlCache::EmulatedFindNextUrlCacheEntryExA;
        binding.FindCloseUrlCache = WineUrlCache::EmulatedFindCloseUrlCache;
        CacheApi::TScopedBinding scoped(binding);
        TIECache cache;
        cache.SetFilterOptions(Options);
        cache.SetSearchPattern(Pattern);
        std::vector<std::string> urls;
        cache.OnEntry = [&](TIECache& Sender, bool&) { urls.push_back(Sender.EntryInfo().SourceUrlName); };
        cache.RetrieveEntries(0);
        return urls;
    }

    // The scripted plain functions under the emulation.
    TScriptedWinInet Script;
};

const TFilterOptions WindowSet{NORMAL_ENTRY, STICKY_ENTRY, COOKIE_ENTRY, URLHISTORY_ENTRY, TRACK_OFFLINE_ENTRY,
    TRACK_ONLINE_ENTRY};

HANDLE FindFirst(LPINTERNET_CACHE_ENTRY_INFOA Info, DWORD* Size, DWORD Filter = 0x300035, LPCSTR Pattern = nullptr,
    GROUPID Group = 0)
{
    return WineUrlCache::EmulatedFindFirstUrlCacheEntryExA(Pattern, 0, Filter, Group, Info, Size, nullptr, nullptr,
        nullptr);
}

BOOL FindNext(HANDLE Handle, LPINTERNET_CACHE_ENTRY_INFOA Info, DWORD* Size)
{
    return WineUrlCache::EmulatedFindNextUrlCacheEntryExA(Handle, Info, Size, nullptr, nullptr, nullptr);
}

TEST_F(WineUrlCacheTest, SizesLikeTheExFunctionsAndLosesNoEntry)
{
    Script.Entries = {EntryNamed("http://example.org/first"), EntryNamed("http://example.org/second")};
    DWORD size = 0;
    EXPECT_EQ(FindFirst(nullptr, &size), nullptr);
    EXPECT_EQ(Script.LastError, DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, TScriptedWinInet::RequiredSize(Script.Entries[0]));
    EXPECT_EQ(Script.ClosedHandles, Script.OpenedHandles); // the sizing call keeps no enumeration open

    std::vector<std::byte> buffer(size);
    auto* info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    DWORD tooSmall = size - 1;
    EXPECT_EQ(FindFirst(info, &tooSmall), nullptr);
    EXPECT_EQ(tooSmall, size);
    HANDLE find = FindFirst(info, &size);
    ASSERT_NE(find, nullptr);
    EXPECT_STREQ(info->lpszSourceUrlName, "http://example.org/first");
    // The texts point into the caller's buffer, not into the emulation's own.
    EXPECT_GE(reinterpret_cast<std::byte*>(info->lpszSourceUrlName), buffer.data());
    EXPECT_LT(reinterpret_cast<std::byte*>(info->lpszSourceUrlName), buffer.data() + buffer.size());

    size = 0;
    EXPECT_FALSE(FindNext(find, nullptr, &size));
    EXPECT_EQ(Script.LastError, DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, TScriptedWinInet::RequiredSize(Script.Entries[1]));
    buffer.resize(size);
    info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    ASSERT_TRUE(FindNext(find, info, &size));
    EXPECT_STREQ(info->lpszSourceUrlName, "http://example.org/second");

    size = 0;
    EXPECT_FALSE(FindNext(find, nullptr, &size));
    EXPECT_EQ(Script.LastError, DWORD(ERROR_NO_MORE_ITEMS));
    EXPECT_TRUE(WineUrlCache::EmulatedFindCloseUrlCache(find));
    // Closed: the handle is no longer known.
    EXPECT_FALSE(FindNext(find, nullptr, &size));
    EXPECT_EQ(Script.LastError, DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(WineUrlCacheTest, TheComponentGetsEveryAcceptedEntryExactlyOnce)
{
    // Many entries of mixed types; some larger than the emulation's first buffer.
    std::vector<std::string> accepted;
    for (int i = 0; i < 60; ++i) {
        const DWORD type = i % 4 == 0 ? SPARSE_CACHE_ENTRY : i % 4 == 1 ? COOKIE_CACHE_ENTRY
            : i % 4 == 2 ? URLHISTORY_CACHE_ENTRY : NORMAL_CACHE_ENTRY;
        std::string url = "http://example.org/" + std::to_string(i) + "/" + std::string(i % 7 == 0 ? 3000 : i, 'x');
        Script.Entries.push_back(EntryNamed(url, type));
        if (type != SPARSE_CACHE_ENTRY)
            accepted.push_back(url);
    }
    EXPECT_EQ(Listing(WindowSet), accepted);
}

TEST_F(WineUrlCacheTest, FilterIsTheSetOfAcceptedTypes)
{
    Script.Entries = {EntryNamed("sparse", SPARSE_CACHE_ENTRY), EntryNamed("cookie", COOKIE_CACHE_ENTRY),
        EntryNamed("history", URLHISTORY_CACHE_ENTRY), EntryNamed("both", NORMAL_CACHE_ENTRY | STICKY_CACHE_ENTRY),
        EntryNamed("ocx", 0x00020000)};
    EXPECT_EQ(Listing(WindowSet), (std::vector<std::string>{"cookie", "history", "both"}));
    EXPECT_EQ(Listing({COOKIE_ENTRY}), (std::vector<std::string>{"cookie"}));
    EXPECT_EQ(Listing({STICKY_ENTRY, OCX_ENTRY}), (std::vector<std::string>{"both", "ocx"}));
    EXPECT_EQ(Listing({SPARSE_ENTRY}), (std::vector<std::string>{"sparse"}));
}

TEST_F(WineUrlCacheTest, FilterZeroAndGroupsGiveAnEmptyEnumeration)
{
    Script.Entries = {EntryNamed("http://example.org/")};
    for (GROUPID group : {GROUPID(0), GROUPID(5)}) {
        DWORD size = 0;
        EXPECT_EQ(FindFirst(nullptr, &size, group ? 0x300035 : 0, nullptr, group), nullptr);
        EXPECT_EQ(Script.LastError, DWORD(ERROR_NO_MORE_ITEMS));
        EXPECT_EQ(size, 0u);
    }
    EXPECT_EQ(Script.FirstCalls.size() + Script.NextCalls.size(), 0u); // the plain API was not asked
    EXPECT_TRUE(Listing({}).empty());
    EXPECT_TRUE(Listing({SPARSE_ENTRY}).empty()); // no entry of that type
}

TEST_F(WineUrlCacheTest, PlainCodesPassThrough)
{
    Script.Entries = {EntryNamed("a"), EntryNamed("b")};
    Script.FirstError = ERROR_FILE_NOT_FOUND;
    DWORD size = 0;
    EXPECT_EQ(FindFirst(nullptr, &size), nullptr);
    EXPECT_EQ(Script.LastError, DWORD(ERROR_FILE_NOT_FOUND));
    Script.FirstError = 0;
    // FindNext fails after the second entry with a code other than the end's.
    Script.EndError = ERROR_INVALID_DATA;
    EXPECT_EQ(Listing(WindowSet), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Script.LastError, DWORD(ERROR_INVALID_DATA));
    Script.EndError = ERROR_NO_MORE_ITEMS;
    Script.Entries.clear();
    size = 0;
    EXPECT_EQ(FindFirst(nullptr, &size), nullptr);
    EXPECT_EQ(Script.LastError, DWORD(ERROR_NO_MORE_ITEMS));
    EXPECT_TRUE(Listing(WindowSet).empty());
    // The null handle of a failed start goes to the plain API, which refuses it.
    EXPECT_FALSE(WineUrlCache::EmulatedFindCloseUrlCache(nullptr));
    EXPECT_EQ(Script.LastError, DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(WineUrlCacheTest, PatternPassesThroughAsItIs)
{
    Script.Entries = {EntryNamed("Cookie:user@example.org/", COOKIE_CACHE_ENTRY)};
    for (TSearchPattern p : {spAll, spCookies, spHistory, spUrl})
        Listing(WindowSet, p);
    std::vector<std::string> seen;
    for (const TFindFirstCall& call : Script.FirstCalls)
        seen.push_back(call.NullPattern ? "null" : "'" + call.Pattern + "'");
    // Each listing starts once: its entry fits the component's buffer.
    EXPECT_EQ(seen, (std::vector<std::string>{"null", "'Cookie:'", "'Visited:'", "''"}));
}

TEST_F(WineUrlCacheTest, HeaderBytesAfterAZeroAreKept)
{
    const std::string header("HTTP/1.1 200 OK\r\n\0tail", 23);
    Script.Entries = {EntryNamed("http://example.org/")};
    Script.Entries[0].Header = header;
    DWORD size = 0;
    FindFirst(nullptr, &size);
    // The structure, the URL with its zero and every byte of the header.
    EXPECT_EQ(size, sizeof(INTERNET_CACHE_ENTRY_INFOA) + sizeof "http://example.org/" + header.size());
    std::vector<std::byte> buffer(size);
    auto* info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    HANDLE find = FindFirst(info, &size);
    ASSERT_NE(find, nullptr);
    ASSERT_EQ(info->dwHeaderInfoSize, header.size());
    EXPECT_EQ(std::string(info->lpHeaderInfo, info->dwHeaderInfoSize), header);
    WineUrlCache::EmulatedFindCloseUrlCache(find);
}

} // namespace
