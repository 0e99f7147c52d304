#include "cache/CacheApi.h"

#include "cache/WineUrlCache.h"

namespace CacheApi {

TBinding DefaultBinding()
{
    TBinding b{
        ::LoadLibraryA,
        ::GetProcAddress,
        ::FindFirstUrlCacheEntryExA,
        ::FindNextUrlCacheEntryExA,
        ::FindCloseUrlCache,
        ::GetUrlCacheEntryInfoExA,
        ::DeleteUrlCacheEntryA,
        ::GetLastError,
        ::FileTimeToLocalFileTime,
        ::FileTimeToSystemTime,
    };
    if (WineUrlCache::RunningOnWine()) {
        b.FindFirstUrlCacheEntryExA = WineUrlCache::EmulatedFindFirstUrlCacheEntryExA;
        b.FindNextUrlCacheEntryExA = WineUrlCache::EmulatedFindNextUrlCacheEntryExA;
        b.FindCloseUrlCache = WineUrlCache::EmulatedFindCloseUrlCache;
    }
    return b;
}

} // namespace CacheApi
