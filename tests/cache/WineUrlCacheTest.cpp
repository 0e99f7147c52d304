// The Ex enumeration that Wine lacks, built on a scripted plain
// FindFirstUrlCacheEntryA / FindNextUrlCacheEntryA: sizing, codes, the filter
// as a set of entry types, and no entry lost or delivered twice.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "cache/CacheApi.h"
#include "cache/IECache.h"
#include "cache/WineUrlCache.h"

namespace {

struct TPlainEntry {
    std::string Url;
    DWORD Type;
    std::string Header; // raw bytes
};

// The plain API over a list of entries; records what it was asked.
struct TPlainScript {
    std::vector<TPlainEntry> Entries;
    DWORD FirstError = 0;
    DWORD NextErrorAt = ~0u; // FindNext fails with NextError when it reaches this index
    DWORD NextError = 0;
    DWORD LastError = 0;
    size_t Cursor = 0;
    int Opened = 0;
    int Closed = 0;
    int PlainCalls = 0;
    std::vector<const char*> Patterns;
};

TPlainScript* Plain = nullptr;

DWORD SizeOf(const TPlainEntry& e)
{
    return static_cast<DWORD>(sizeof(INTERNET_CACHE_ENTRY_INFOA) + e.Url.size() + 1 + e.Header.size());
}

BOOL Deliver(const TPlainEntry& e, LPINTERNET_CACHE_ENTRY_INFOA Info, LPDWORD Size)
{
    if (!Info || *Size < SizeOf(e)) {
        *Size = SizeOf(e);
        Plain->LastError = ERROR_INSUFFICIENT_BUFFER;
        return FALSE;
    }
    std::memset(Info, 0, sizeof *Info);
    char* text = reinterpret_cast<char*>(Info + 1);
    std::memcpy(text, e.Url.c_str(), e.Url.size() + 1);
    Info->lpszSourceUrlName = text;
    Info->CacheEntryType = e.Type;
    if (!e.Header.empty()) {
        Info->lpHeaderInfo = text + e.Url.size() + 1;
        Info->dwHeaderInfoSize = static_cast<DWORD>(e.Header.size());
        std::memcpy(Info->lpHeaderInfo, e.Header.data(), e.Header.size());
    }
    *Size = SizeOf(e);
    return TRUE;
}

const HANDLE PlainHandle = reinterpret_cast<HANDLE>(0x7000);

HANDLE WINAPI PlainFindFirst(LPCSTR Pattern, LPINTERNET_CACHE_ENTRY_INFOA Info, LPDWORD Size)
{
    ++Plain->PlainCalls;
    Plain->Patterns.push_back(Pattern);
    if (Plain->FirstError || Plain->Entries.empty()) {
        Plain->LastError = Plain->FirstError ? Plain->FirstError : ERROR_NO_MORE_ITEMS;
        return nullptr;
    }
    if (!Deliver(Plain->Entries[0], Info, Size))
        return nullptr;
    Plain->Cursor = 1;
    ++Plain->Opened;
    return PlainHandle;
}

BOOL WINAPI PlainFindNext(HANDLE Handle, LPINTERNET_CACHE_ENTRY_INFOA Info, LPDWORD Size)
{
    ++Plain->PlainCalls;
    if (Handle != PlainHandle) {
        Plain->LastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (Plain->Cursor == Plain->NextErrorAt) {
        Plain->LastError = Plain->NextError;
        return FALSE;
    }
    if (Plain->Cursor >= Plain->Entries.size()) {
        Plain->LastError = ERROR_NO_MORE_ITEMS;
        return FALSE;
    }
    if (!Deliver(Plain->Entries[Plain->Cursor], Info, Size))
        return FALSE;
    ++Plain->Cursor;
    return TRUE;
}

BOOL WINAPI PlainFindClose(HANDLE Handle)
{
    if (Handle != PlainHandle) {
        Plain->LastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    ++Plain->Closed;
    return TRUE;
}

DWORD WINAPI PlainGetLastError()
{
    return Plain->LastError;
}

void WINAPI PlainSetLastError(DWORD Code)
{
    Plain->LastError = Code;
}

class WineUrlCacheTest : public ::testing::Test {
protected:
    WineUrlCacheTest() { Plain = &Script; }
    ~WineUrlCacheTest() override
    {
        EXPECT_EQ(WineUrlCache::OpenEnumerations(), 0u);
        EXPECT_EQ(Script.Opened, Script.Closed);
        Plain = nullptr;
    }

    // The component with the emulation in place of the Ex functions.
    std::vector<std::string> Listing(TFilterOptions Options, TSearchPattern Pattern = spAll)
    {
        CacheApi::TBinding binding = CacheApi::DefaultBinding();
        binding.FindFirstUrlCacheEntryExA = WineUrlCache::EmulatedFindFirstUrlCacheEntryExA;
        binding.FindNextUrlCacheEntryExA = WineUrlCache::EmulatedFindNextUrlCacheEntryExA;
        binding.FindCloseUrlCache = WineUrlCache::EmulatedFindCloseUrlCache;
        binding.GetLastError = PlainGetLastError;
        CacheApi::TScopedBinding scoped(binding);
        TIECache cache;
        cache.SetFilterOptions(Options);
        cache.SetSearchPattern(Pattern);
        std::vector<std::string> urls;
        cache.OnEntry = [&](TIECache& Sender, bool&) { urls.push_back(Sender.EntryInfo().SourceUrlName); };
        cache.RetrieveEntries(0);
        return urls;
    }

    TPlainScript Script;
    WineUrlCache::TScopedPlainApi FPlain{
        {PlainFindFirst, PlainFindNext, PlainFindClose, PlainGetLastError, PlainSetLastError}};
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
    Script.Entries = {{"http://example.org/first", 1, ""}, {"http://example.org/second", 1, ""}};
    DWORD size = 0;
    EXPECT_EQ(FindFirst(nullptr, &size), nullptr);
    EXPECT_EQ(Script.LastError, DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, SizeOf(Script.Entries[0]));
    EXPECT_EQ(Script.Opened, Script.Closed); // the sizing call keeps no enumeration open

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
    EXPECT_EQ(size, SizeOf(Script.Entries[1]));
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
        Script.Entries.push_back({url, type, ""});
        if (type != SPARSE_CACHE_ENTRY)
            accepted.push_back(url);
    }
    EXPECT_EQ(Listing(WindowSet), accepted);
}

TEST_F(WineUrlCacheTest, FilterIsTheSetOfAcceptedTypes)
{
    Script.Entries = {{"sparse", SPARSE_CACHE_ENTRY, ""}, {"cookie", COOKIE_CACHE_ENTRY, ""},
        {"history", URLHISTORY_CACHE_ENTRY, ""}, {"both", NORMAL_CACHE_ENTRY | STICKY_CACHE_ENTRY, ""},
        {"ocx", 0x00020000, ""}};
    EXPECT_EQ(Listing(WindowSet), (std::vector<std::string>{"cookie", "history", "both"}));
    EXPECT_EQ(Listing({COOKIE_ENTRY}), (std::vector<std::string>{"cookie"}));
    EXPECT_EQ(Listing({STICKY_ENTRY, OCX_ENTRY}), (std::vector<std::string>{"both", "ocx"}));
    EXPECT_EQ(Listing({SPARSE_ENTRY}), (std::vector<std::string>{"sparse"}));
}

TEST_F(WineUrlCacheTest, FilterZeroAndGroupsGiveAnEmptyEnumeration)
{
    Script.Entries = {{"http://example.org/", NORMAL_CACHE_ENTRY, ""}};
    for (GROUPID group : {GROUPID(0), GROUPID(5)}) {
        DWORD size = 0;
        EXPECT_EQ(FindFirst(nullptr, &size, group ? 0x300035 : 0, nullptr, group), nullptr);
        EXPECT_EQ(Script.LastError, DWORD(ERROR_NO_MORE_ITEMS));
        EXPECT_EQ(size, 0u);
    }
    EXPECT_EQ(Script.PlainCalls, 0);
    EXPECT_TRUE(Listing({}).empty());
    EXPECT_TRUE(Listing({SPARSE_ENTRY}).empty()); // no entry of that type
}

TEST_F(WineUrlCacheTest, PlainCodesPassThrough)
{
    Script.Entries = {{"a", 1, ""}, {"b", 1, ""}, {"c", 1, ""}};
    Script.FirstError = ERROR_FILE_NOT_FOUND;
    DWORD size = 0;
    EXPECT_EQ(FindFirst(nullptr, &size), nullptr);
    EXPECT_EQ(Script.LastError, DWORD(ERROR_FILE_NOT_FOUND));
    Script.FirstError = 0;
    Script.NextErrorAt = 2;
    Script.NextError = ERROR_INVALID_DATA;
    EXPECT_EQ(Listing(WindowSet), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Script.LastError, DWORD(ERROR_INVALID_DATA));
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
    Script.Entries = {{"Cookie:user@example.org/", COOKIE_CACHE_ENTRY, ""}};
    for (TSearchPattern p : {spAll, spCookies, spHistory, spUrl})
        Listing(WindowSet, p);
    ASSERT_GE(Script.Patterns.size(), 4u);
    std::vector<std::string> seen;
    for (const char* p : Script.Patterns)
        seen.push_back(p ? std::string("'") + p + "'" : "null");
    // Each listing starts twice (sizing, then the real start).
    EXPECT_EQ(seen, (std::vector<std::string>{"null", "null", "'Cookie:'", "'Cookie:'", "'Visited:'", "'Visited:'",
                        "''", "''"}));
}

TEST_F(WineUrlCacheTest, HeaderBytesAfterAZeroAreKept)
{
    const std::string header("HTTP/1.1 200 OK\r\n\0tail", 23);
    Script.Entries = {{"http://example.org/", NORMAL_CACHE_ENTRY, header}};
    DWORD size = 0;
    FindFirst(nullptr, &size);
    EXPECT_EQ(size, SizeOf(Script.Entries[0]));
    std::vector<std::byte> buffer(size);
    auto* info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    HANDLE find = FindFirst(info, &size);
    ASSERT_NE(find, nullptr);
    ASSERT_EQ(info->dwHeaderInfoSize, header.size());
    EXPECT_EQ(std::string(info->lpHeaderInfo, info->dwHeaderInfoSize), header);
    WineUrlCache::EmulatedFindCloseUrlCache(find);
}

} // namespace
