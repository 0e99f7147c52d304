// The one seam between the URL cache component and the platform: every
// WinINet and kernel function that TIECache calls goes through the binding
// in force. The default binding holds the real functions; tests put a
// scripted one in place for a scope.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "base/Seam.h"

namespace CacheApi {

struct TBinding {
    decltype(&::LoadLibraryA) LoadLibraryA;
    decltype(&::GetProcAddress) GetProcAddress;
    decltype(&::FindFirstUrlCacheEntryExA) FindFirstUrlCacheEntryExA;
    decltype(&::FindNextUrlCacheEntryExA) FindNextUrlCacheEntryExA;
    decltype(&::FindCloseUrlCache) FindCloseUrlCache;
    decltype(&::GetUrlCacheEntryInfoExA) GetUrlCacheEntryInfoExA;
    decltype(&::DeleteUrlCacheEntryA) DeleteUrlCacheEntryA;
    decltype(&::GetLastError) GetLastError;
    decltype(&::FileTimeToLocalFileTime) FileTimeToLocalFileTime;
    decltype(&::FileTimeToSystemTime) FileTimeToSystemTime;
};

// The real functions. On Wine, whose FindFirstUrlCacheEntryExA and
// FindNextUrlCacheEntryExA are stubs, the enumeration functions are those of
// WineUrlCache.h, built on the plain enumeration.
TBinding DefaultBinding();

using TSeamType = TSeam<TBinding, DefaultBinding>;

// The binding in force.
inline const TBinding& Api() { return TSeamType::Api(); }

// Puts a binding in force for its lifetime and then restores the one before.
using TScopedBinding = TSeamType::TScoped;

// For tests: forgets the answer of CheckLibrary, as if the program had just started.
void ResetLibraryFlag();

} // namespace CacheApi
