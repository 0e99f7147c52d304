#include "cache/IECache.h"

#include <chrono>
#include <cstring>
#include <memory>
#include <optional>

#include "base/ScopeExit.h"
#include "cache/CacheApi.h"

using CacheApi::Api;

namespace {

// Unit-wide: true once CheckLibrary has found everything it looks for.
bool LibraryFlag = false;

// The unit's start-up: asked once when the program starts, before any window exists.
[[maybe_unused]] const bool StartupLibraryCheck = CheckLibrary();

// How often a call is repeated for an entry that grew since its size was reported.
constexpr int MaxResizes = 4;

// The entry buffer's first size: most entries fit in it.
constexpr DWORD InitialBufferSize = 4096;

constexpr const char* LibraryName = "wininet.dll";
constexpr const char* RequiredFunctions[] = {
    "FindFirstUrlCacheGroup",
    "FindNextUrlCacheGroup",
    "GetUrlCacheGroupAttributeA",
    "SetUrlCacheGroupAttributeA",
    "FindFirstUrlCacheEntryExA",
};

// The URL pattern of each TSearchPattern; spAll passes no pattern, spUrl an empty text.
const char* PatternOf(TSearchPattern Pattern)
{
    static const char EmptyText[] = "";
    switch (Pattern) {
    case spCookies: return "Cookie:";
    case spHistory: return "Visited:";
    case spUrl: return EmptyText;
    case spAll: break;
    }
    return nullptr;
}

std::string TextOf(const char* Text)
{
    return Text ? std::string(Text) : std::string();
}

// The header text ends at its first zero byte, and never runs past the header's
// own size: the cache need not end it with a zero (Wine stores it without one,
// the next text of the entry following at once).
std::string HeaderOf(const INTERNET_CACHE_ENTRY_INFOA& Entry)
{
    if (!Entry.lpHeaderInfo)
        return std::string();
    return std::string(Entry.lpHeaderInfo, strnlen(Entry.lpHeaderInfo, Entry.dwHeaderInfoSize));
}

} // namespace

namespace CacheApi {

void ResetLibraryFlag()
{
    LibraryFlag = false;
}

} // namespace CacheApi

bool CheckLibrary()
{
    if (LibraryFlag)
        return true;
    bool found = false;
    try {
        if (HMODULE library = Api().LoadLibraryA(LibraryName)) {
            found = true;
            for (const char* name : RequiredFunctions) {
                if (!Api().GetProcAddress(library, name)) {
                    found = false;
                    break;
                }
            }
        }
    } catch (...) {
        found = false;
    }
    LibraryFlag = found;
    return found;
}

namespace {

// Calendar fields as days since 30 December 1899; nothing when they are no valid time.
std::optional<TDateTime> DateTimeOf(const SYSTEMTIME& St)
{
    using namespace std::chrono;
    const year_month_day date{year{St.wYear}, month{St.wMonth}, day{St.wDay}};
    if (!date.ok() || St.wHour > 23 || St.wMinute > 59 || St.wSecond > 59 || St.wMilliseconds > 999)
        return std::nullopt;
    constexpr sys_days Epoch{year{1899} / December / 30};
    const double days = static_cast<double>((sys_days{date} - Epoch).count());
    const double time =
        (((St.wHour * 60.0 + St.wMinute) * 60.0 + St.wSecond) * 1000.0 + St.wMilliseconds) / 86400000.0;
    // Before 30 December 1899 the day count is negative and the time of day
    // takes it further below zero.
    return days >= 0 ? days + time : days - time;
}

} // namespace

TDateTime FileTimeToDateTime(const FILETIME& Time)
{
    // A time that does not convert is below zero, shown as no time, and never
    // 0 (a real day). The zero file time has no local time west of UTC: taken
    // as UTC it keeps its day in 1601.
    constexpr TDateTime NoTime = -1;
    try {
        FILETIME local{};
        SYSTEMTIME st{};
        if (Api().FileTimeToLocalFileTime(&Time, &local) && Api().FileTimeToSystemTime(&local, &st)) {
            if (std::optional<TDateTime> value = DateTimeOf(st))
                return *value;
        }
        if (Api().FileTimeToSystemTime(&Time, &st)) {
            if (std::optional<TDateTime> value = DateTimeOf(st); value && *value < 0)
                return *value;
        }
        return NoTime;
    } catch (...) {
        return NoTime;
    }
}

TIECache::TIECache(TComponent* Owner) : TComponent(Owner)
{
    ClearEntryInfo();
    // Stored directly: the mask stays 0 until FilterOptions is assigned.
    FFilterOptions = {NORMAL_ENTRY, STICKY_ENTRY, COOKIE_ENTRY, URLHISTORY_ENTRY, TRACK_OFFLINE_ENTRY,
        TRACK_ONLINE_ENTRY};
}

void TIECache::SetFilterOptions(TFilterOptions Value)
{
    FFilterOptions = Value;
    UpdateFilter();
}

void TIECache::UpdateFilter()
{
    FFilterMask = 0;
    if (FFilterOptions.Empty())
        return;
    for (int ordinal = 0; ordinal < FilterOptionCount; ++ordinal)
        if (FFilterOptions.Contains(static_cast<TFilterOption>(ordinal)))
            FFilterMask += FilterValues[ordinal];
}

// One WinINet call into the component's buffer, which is kept from call to
// call: where the entry fits, that one call delivers it. An entry that does
// not fit fails with ERROR_INSUFFICIENT_BUFFER and the size it needs; the
// buffer grows to that size and the call is made again. The cache is live: an
// entry that grew since its size was reported fails again with its new size,
// and is asked for again, up to MaxResizes times. WinInetCall takes (entry
// buffer, address of its size) and returns whether the call succeeded.
template <class Call>
uint32_t TIECache::SizedCall(Call WinInetCall)
{
    for (int calls = 0;; ++calls) {
        if (!FBuffer)
            Grow(InitialBufferSize);
        DWORD size = FBufferSize;
        if (WinInetCall(reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(FBuffer.get()), &size)) {
            // A success that reports fewer bytes than an entry takes delivered none.
            if (size < sizeof(INTERNET_CACHE_ENTRY_INFOA))
                return ERROR_INSUFFICIENT_BUFFER;
            CopyEntryInfo(*reinterpret_cast<const INTERNET_CACHE_ENTRY_INFOA*>(FBuffer.get()));
            return 0;
        }
        const uint32_t error = Api().GetLastError();
        // The first call reports the size; the one after it and MaxResizes more use it.
        if (error != ERROR_INSUFFICIENT_BUFFER || calls == MaxResizes + 1)
            return error;
        if (size > FBufferSize)
            Grow(size);
    }
}

void TIECache::Grow(DWORD Size)
{
    // The old buffer goes before the new one is made.
    FBuffer.reset();
    FBufferSize = 0;
    FBuffer = std::make_unique_for_overwrite<std::byte[]>(Size);
    FBufferSize = Size;
}

uint32_t TIECache::GetEntryInfo(const std::string& Url)
{
    if (!CheckLibrary())
        return ERROR_FILE_NOT_FOUND;
    return SizedCall([&](LPINTERNET_CACHE_ENTRY_INFOA Entry, LPDWORD Size) {
        return Api().GetUrlCacheEntryInfoExA(Url.c_str(), Entry, Size, nullptr, nullptr, nullptr, 0) != FALSE;
    });
}

uint32_t TIECache::FindFirstEntry(int64_t GroupId)
{
    if (!CheckLibrary())
        return ERROR_FILE_NOT_FOUND;
    FEnumHandle = nullptr;
    const char* pattern = PatternOf(FSearchPattern);
    return SizedCall([&](LPINTERNET_CACHE_ENTRY_INFOA Entry, LPDWORD Size) {
        FEnumHandle = Api().FindFirstUrlCacheEntryExA(pattern, 0, FFilterMask, GroupId, Entry, Size, nullptr,
            nullptr, nullptr);
        return FEnumHandle != nullptr;
    });
}

uint32_t TIECache::FindNextEntry()
{
    if (!CheckLibrary())
        return ERROR_FILE_NOT_FOUND;
    return SizedCall([&](LPINTERNET_CACHE_ENTRY_INFOA Entry, LPDWORD Size) {
        return Api().FindNextUrlCacheEntryExA(FEnumHandle, Entry, Size, nullptr, nullptr, nullptr) != FALSE;
    });
}

void TIECache::CloseEnumeration()
{
    HANDLE handle = FEnumHandle;
    FEnumHandle = nullptr;
    Api().FindCloseUrlCache(handle);
}

void TIECache::RetrieveEntries(int64_t GroupId)
{
    if (!CheckLibrary())
        return;
    FCancel = false;
    // Closed however the operation ends, also by an exception from an OnEntry handler.
    const auto close = ScopeExit([this] { CloseEnumeration(); });
    uint32_t r = FindFirstEntry(GroupId);
    if (r != 0)
        return;
    if (OnEntry)
        OnEntry(*this, FCancel);
    while (r == 0 && !FCancel) {
        r = FindNextEntry();
        if (r == 0 && OnEntry)
            OnEntry(*this, FCancel);
    }
}

uint32_t TIECache::DeleteEntry(const std::string& Url)
{
    // Nothing can be deleted without the library: that is a failure, not a success.
    if (!CheckLibrary())
        return ERROR_FILE_NOT_FOUND;
    if (!Api().DeleteUrlCacheEntryA(Url.c_str()))
        return Api().GetLastError();
    ClearEntryInfo();
    return 0;
}

void TIECache::DeleteAllEntries()
{
    if (!CheckLibrary())
        return;
    const auto close = ScopeExit([this] { CloseEnumeration(); });
    uint32_t r = FindFirstEntry(0);
    if (r != 0)
        return;
    do {
        DeleteEntry(FEntryInfo.SourceUrlName);
        r = FindNextEntry();
    } while (r == 0);
}

void TIECache::CopyEntryInfo(const INTERNET_CACHE_ENTRY_INFOA& Entry)
{
    if (!CheckLibrary())
        return;
    TEntryInfo& e = FEntryInfo;
    e.SourceUrlName = TextOf(Entry.lpszSourceUrlName);
    e.LocalFileName = TextOf(Entry.lpszLocalFileName);
    e.CacheEntryType = Entry.CacheEntryType;
    e.UseCount = Entry.dwUseCount;
    e.HitRate = Entry.dwHitRate;
    e.Size = Entry.dwSizeLow;
    e.LastModifiedTime = FileTimeToDateTime(Entry.LastModifiedTime);
    e.ExpireTime = FileTimeToDateTime(Entry.ExpireTime);
    e.LastAccessTime = FileTimeToDateTime(Entry.LastAccessTime);
    e.LastSyncTime = FileTimeToDateTime(Entry.LastSyncTime);
    e.HeaderInfo = HeaderOf(Entry);
    e.FileExtension = TextOf(Entry.lpszFileExtension);
    e.ExemptDelta = Entry.dwExemptDelta;
}

void TIECache::ClearEntryInfo()
{
    if (!CheckLibrary())
        return;
    FEntryInfo = TEntryInfo{};
}
