#include "cache/CacheApi.h"

#include "cache/WineUrlCache.h"

namespace CacheApi {

namespace {

TBinding& Current()
{
    // Built on first use, so that start-up code of other units can already call through it.
    static TBinding binding = DefaultBinding();
    return binding;
}

} // namespace

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

const TBinding& Api()
{
    return Current();
}

TScopedBinding::TScopedBinding(const TBinding& Binding) : FPrevious(Current())
{
    Current() = Binding;
}

TScopedBinding::~TScopedBinding()
{
    Current() = FPrevious;
}

} // namespace CacheApi
