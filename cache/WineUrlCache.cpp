#include "cache/WineUrlCache.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace WineUrlCache {

namespace {

// Most entries fit; a larger one grows the buffer to the size the plain API asks for.
constexpr DWORD InitialBufferSize = 1024;

// One emulated enumeration: the plain API's find handle and the entry it gave
// last, which waits in Buffer until a caller's buffer is large enough for it.
struct TFind {
    HANDLE Plain = nullptr;
    DWORD Filter = 0;
    std::vector<std::byte> Buffer = std::vector<std::byte>(InitialBufferSize);
    bool Pending = false;
    DWORD Extent = 0; // bytes of Buffer that the pending entry occupies
};

const TPlainApi& Plain()
{
    return TPlainSeam::Api();
}

std::vector<std::unique_ptr<TFind>>& OpenFinds()
{
    static std::vector<std::unique_ptr<TFind>> finds;
    return finds;
}

TFind* Lookup(HANDLE Handle)
{
    for (auto& find : OpenFinds())
        if (find.get() == Handle)
            return find.get();
    return nullptr;
}

INTERNET_CACHE_ENTRY_INFOA& EntryOf(TFind& Find)
{
    return *reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(Find.Buffer.data());
}

// The bytes of the buffer that the entry uses: the structure and every text of
// it that lies in the buffer (the header for at least its stated size).
DWORD EntryExtent(TFind& Find)
{
    const auto base = reinterpret_cast<std::uintptr_t>(Find.Buffer.data());
    const auto end = base + Find.Buffer.size();
    const INTERNET_CACHE_ENTRY_INFOA& e = EntryOf(Find);
    std::size_t extent = sizeof(INTERNET_CACHE_ENTRY_INFOA);
    auto reach = [&](const char* text, std::size_t minLength) {
        const auto at = reinterpret_cast<std::uintptr_t>(text);
        if (!text || at < base || at >= end)
            return;
        const std::size_t room = end - at;
        const std::size_t used = std::min(room, std::max(strnlen(text, room) + 1, minLength));
        extent = std::max(extent, at - base + used);
    };
    reach(e.lpszSourceUrlName, 0);
    reach(e.lpszLocalFileName, 0);
    reach(e.lpHeaderInfo, e.dwHeaderInfoSize);
    reach(e.lpszFileExtension, 0);
    return static_cast<DWORD>(extent);
}

// Runs one plain call into Find's buffer, growing the buffer while the plain
// API asks for more. Returns 0 or the plain API's error code.
template <class Call>
DWORD FetchPlain(TFind& Find, Call PlainCall)
{
    for (;;) {
        DWORD size = static_cast<DWORD>(Find.Buffer.size());
        if (PlainCall(&EntryOf(Find), &size))
            return 0;
        const DWORD error = Plain().GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER || size <= Find.Buffer.size())
            return error;
        Find.Buffer.resize(size);
    }
}

bool Accepted(TFind& Find)
{
    return (EntryOf(Find).CacheEntryType & Find.Filter) != 0;
}

// Moves the plain enumeration on until an accepted entry is pending.
DWORD FetchNextAccepted(TFind& Find)
{
    do {
        const DWORD error = FetchPlain(Find, [&](LPINTERNET_CACHE_ENTRY_INFOA entry, LPDWORD size) {
            return Plain().FindNextUrlCacheEntryA(Find.Plain, entry, size) != FALSE;
        });
        if (error != 0)
            return error;
    } while (!Accepted(Find));
    Find.Pending = true;
    Find.Extent = EntryExtent(Find);
    return 0;
}

DWORD FetchFirstAccepted(TFind& Find, LPCSTR Pattern)
{
    const DWORD error = FetchPlain(Find, [&](LPINTERNET_CACHE_ENTRY_INFOA entry, LPDWORD size) {
        Find.Plain = Plain().FindFirstUrlCacheEntryA(Pattern, entry, size);
        return Find.Plain != nullptr;
    });
    if (error != 0)
        return error;
    if (!Accepted(Find))
        return FetchNextAccepted(Find);
    Find.Pending = true;
    Find.Extent = EntryExtent(Find);
    return 0;
}

// Hands the pending entry out when the caller's buffer holds it; else tells the
// size it needs and keeps the entry for the next call.
BOOL Deliver(TFind& Find, LPINTERNET_CACHE_ENTRY_INFOA Entry, LPDWORD Size)
{
    if (!Entry || *Size < Find.Extent) {
        *Size = Find.Extent;
        Plain().SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(Entry, Find.Buffer.data(), Find.Extent);
    // The texts' pointers point into the copy now.
    const auto from = reinterpret_cast<std::uintptr_t>(Find.Buffer.data());
    const auto to = reinterpret_cast<std::uintptr_t>(Entry);
    auto relocate = [&](LPSTR& text) {
        const auto at = reinterpret_cast<std::uintptr_t>(text);
        if (text && at >= from && at < from + Find.Extent)
            text = reinterpret_cast<LPSTR>(to + (at - from));
    };
    relocate(Entry->lpszSourceUrlName);
    relocate(Entry->lpszLocalFileName);
    relocate(Entry->lpHeaderInfo);
    relocate(Entry->lpszFileExtension);
    *Size = Find.Extent;
    Find.Pending = false;
    return TRUE;
}

void ClosePlain(TFind& Find)
{
    if (Find.Plain) {
        const DWORD error = Plain().GetLastError();
        Plain().FindCloseUrlCache(Find.Plain);
        Plain().SetLastError(error);
        Find.Plain = nullptr;
    }
}

} // namespace

bool RunningOnWine()
{
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TPlainApi DefaultPlainApi()
{
    return {::FindFirstUrlCacheEntryA, ::FindNextUrlCacheEntryA, ::FindCloseUrlCache, ::GetLastError, ::SetLastError};
}

HANDLE WINAPI EmulatedFindFirstUrlCacheEntryExA(LPCSTR lpszUrlSearchPattern, DWORD, DWORD dwFilter, GROUPID GroupId,
    LPINTERNET_CACHE_ENTRY_INFOA lpFirstCacheEntryInfo, LPDWORD lpcbEntryInfo, LPVOID, LPDWORD, LPVOID)
{
    if (!lpcbEntryInfo) {
        Plain().SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (dwFilter == 0 || GroupId != 0) {
        Plain().SetLastError(ERROR_NO_MORE_ITEMS);
        return nullptr;
    }
    auto find = std::make_unique<TFind>();
    find->Filter = dwFilter;
    if (const DWORD error = FetchFirstAccepted(*find, lpszUrlSearchPattern); error != 0) {
        ClosePlain(*find);
        Plain().SetLastError(error);
        return nullptr;
    }
    if (!Deliver(*find, lpFirstCacheEntryInfo, lpcbEntryInfo)) {
        ClosePlain(*find);
        return nullptr;
    }
    OpenFinds().push_back(std::move(find));
    return OpenFinds().back().get();
}

BOOL WINAPI EmulatedFindNextUrlCacheEntryExA(HANDLE hEnumHandle, LPINTERNET_CACHE_ENTRY_INFOA lpNextCacheEntryInfo,
    LPDWORD lpcbEntryInfo, LPVOID, LPDWORD, LPVOID)
{
    TFind* find = Lookup(hEnumHandle);
    if (!find) {
        Plain().SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpcbEntryInfo) {
        Plain().SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!find->Pending) {
        if (const DWORD error = FetchNextAccepted(*find); error != 0) {
            Plain().SetLastError(error);
            return FALSE;
        }
    }
    return Deliver(*find, lpNextCacheEntryInfo, lpcbEntryInfo);
}

BOOL WINAPI EmulatedFindCloseUrlCache(HANDLE hEnumHandle)
{
    auto& finds = OpenFinds();
    auto it = std::find_if(finds.begin(), finds.end(), [&](auto& f) { return f.get() == hEnumHandle; });
    if (it == finds.end())
        return Plain().FindCloseUrlCache(hEnumHandle);
    const BOOL closed = (*it)->Plain ? Plain().FindCloseUrlCache((*it)->Plain) : TRUE;
    finds.erase(it);
    return closed;
}

std::size_t OpenEnumerations()
{
    return OpenFinds().size();
}

} // namespace WineUrlCache
