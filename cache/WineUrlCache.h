// FindFirstUrlCacheEntryExA / FindNextUrlCacheEntryExA for Wine.
//
// Wine's wininet exports both functions but does not implement them: the first
// fails with error 2 and the second with 259 whatever they are given. Its plain
// FindFirstUrlCacheEntryA / FindNextUrlCacheEntryA work, and the functions here
// give the Ex behaviour on top of them:
// - the same sizing: a null or too-small buffer fails with
//   ERROR_INSUFFICIENT_BUFFER and the required size written; the entry is not
//   lost, the next call with a large enough buffer delivers it;
// - the same codes: ERROR_NO_MORE_ITEMS (259) at the end, the plain API's own
//   codes otherwise;
// - the pattern passed to the plain API as it is (Wine picks the container by it:
//   null every entry, "Cookie:" cookies, "Visited:" history, "" content);
// - the filter as the set of accepted entry types: an entry is delivered only
//   when its CacheEntryType shares a bit with the filter; others are skipped.
//   A filter of 0 shares a bit with nothing, so it delivers nothing: the
//   enumeration is empty (259).
// - Wine's cache keeps no groups, so a group id other than 0 is an empty
//   enumeration as well.
// FindFirst with a null or too-small buffer returns no handle, as on Windows; the
// call with the buffer starts the enumeration anew. The handles these functions
// return are their own and must be closed with EmulatedFindCloseUrlCache; a null
// or foreign handle is passed on to the plain FindCloseUrlCache.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstddef>

#include "base/Seam.h"

namespace WineUrlCache {

// True when the process runs on Wine (ntdll exports wine_get_version).
bool RunningOnWine();

// The plain functions the emulation is built on; the real ones by default.
struct TPlainApi {
    decltype(&::FindFirstUrlCacheEntryA) FindFirstUrlCacheEntryA;
    decltype(&::FindNextUrlCacheEntryA) FindNextUrlCacheEntryA;
    decltype(&::FindCloseUrlCache) FindCloseUrlCache;
    decltype(&::GetLastError) GetLastError;
    decltype(&::SetLastError) SetLastError;
};

TPlainApi DefaultPlainApi();

using TPlainSeam = TSeam<TPlainApi, DefaultPlainApi>;
// Puts a plain API in force for its lifetime and then restores the one before.
using TScopedPlainApi = TPlainSeam::TScoped;

HANDLE WINAPI EmulatedFindFirstUrlCacheEntryExA(LPCSTR lpszUrlSearchPattern, DWORD dwFlags, DWORD dwFilter,
    GROUPID GroupId, LPINTERNET_CACHE_ENTRY_INFOA lpFirstCacheEntryInfo, LPDWORD lpcbEntryInfo,
    LPVOID lpGroupAttributes, LPDWORD lpcbGroupAttributes, LPVOID lpReserved);

BOOL WINAPI EmulatedFindNextUrlCacheEntryExA(HANDLE hEnumHandle, LPINTERNET_CACHE_ENTRY_INFOA lpNextCacheEntryInfo,
    LPDWORD lpcbEntryInfo, LPVOID lpGroupAttributes, LPDWORD lpcbGroupAttributes, LPVOID lpReserved);

BOOL WINAPI EmulatedFindCloseUrlCache(HANDLE hEnumHandle);

// How many emulated enumerations are open (for tests: none may be left behind).
std::size_t OpenEnumerations();

} // namespace WineUrlCache
