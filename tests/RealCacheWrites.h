// Whether a test or tool may write to and delete from the real URL cache.
// Under Wine that is the cache of a private prefix made for the run; on
// Windows it is the user's own, which only an explicit opt-in lets them touch.
#pragma once

#include <windows.h>

#include "cache/WineUrlCache.h"

inline constexpr char RealCacheOptIn[] =
    "it writes to the current user's URL cache, which happens only under Wine or with MORVANE_WRITE_REAL_CACHE=1";

inline bool MayWriteRealCache()
{
    char value[2] = {};
    if (::GetEnvironmentVariableA("MORVANE_WRITE_REAL_CACHE", value, sizeof value) == 1 && value[0] == '1')
        return true;
    return WineUrlCache::RunningOnWine();
}
