// The tests' one stand-in for WinINet, for cases that need exact sizes, error
// codes and a record of every call: it enumerates and looks up a list of
// entries, fails with the codes a test asks for, and records every call. It
// answers the Ex functions and the kernel calls of the URL cache component and
// also the plain FindFirstUrlCacheEntryA / FindNextUrlCacheEntryA that the
// Wine adapter builds on. While one exists it is the binding in force, and
// the library check starts afresh.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <optional>
#include <string>
#include <vector>

#include "cache/CacheApi.h"
#include "cache/WineUrlCache.h"

struct TScriptEntry {
    std::optional<std::string> Url = std::string("http://example.org/");
    std::optional<std::string> LocalFile;
    DWORD Type = NORMAL_CACHE_ENTRY;
    DWORD UseCount = 0;
    DWORD HitRate = 0;
    DWORD SizeLow = 0;
    DWORD SizeHigh = 0;
    FILETIME LastModified{};
    FILETIME Expire{};
    FILETIME LastAccess{};
    FILETIME LastSync{};
    std::optional<std::string> Header; // raw bytes, zero bytes included
    bool HeaderUnterminated = false;   // laid out without a closing zero, the next text right after it
    std::optional<std::string> Extension;
    DWORD ExemptDelta = 0;
    DWORD ExtraBytes = 0; // asked for beyond the structure and the texts
};

inline TScriptEntry EntryNamed(const std::string& Url, DWORD Type = NORMAL_CACHE_ENTRY)
{
    TScriptEntry e;
    e.Url = Url;
    e.Type = Type;
    return e;
}

// One WinINet call that takes an entry buffer, as the script saw it.
struct TBufferCall {
    bool NullBuffer;
    DWORD SizeIn;    // *lpcb on entry
    size_t Allocated; // the heap block's size behind the buffer (0 without one)
};

struct TFindFirstCall : TBufferCall {
    bool NullPattern;
    std::string Pattern;
    DWORD Flags;
    DWORD Filter;
    GROUPID Group;
};

class TScriptedWinInet {
public:
    TScriptedWinInet();
    ~TScriptedWinInet();
    TScriptedWinInet(const TScriptedWinInet&) = delete;
    TScriptedWinInet& operator=(const TScriptedWinInet&) = delete;

    // The script.
    std::vector<TScriptEntry> Entries;   // enumerated in this order; looked up by URL
    bool LibraryLoads = true;
    bool LoadThrows = false;             // LoadLibraryA raises a C++ exception
    int ThrowAfter = -1;                 // FindNext raises one once this many entries were enumerated
    std::string ThrowForUrl;             // its look-up raises something that is no std::exception
    std::string MissingFunction;         // GetProcAddress gives null for this name
    DWORD FirstError = 0;                // FindFirst fails with this code when not 0
    DWORD EndError = ERROR_NO_MORE_ITEMS; // what an enumeration gives when the entries run out
    DWORD LookupError = ERROR_FILE_NOT_FOUND; // look-up or delete of a URL not in Entries
    bool LocalTimeFails = false;
    bool SystemTimeFails = false;
    bool TimeIsLocal = true;             // local time = UTC + LocalShift; else the kernel converts
    LONGLONG LocalShift = 0;             // 100-nanosecond units
    // A look-up reports that it needs no bytes, and the call after that succeeds, reporting none.
    bool ZeroSizeSucceeds = false;
    // A live cache: each time a call is told the size an entry needs, the entry
    // then grows by GrowBy bytes, for as many calls as Growths says.
    int Growths = 0;
    DWORD GrowBy = 40;
    // Enumerations pick entries by their pattern as WinINet's containers do:
    // "Cookie:" and "Visited:" by URL prefix, "" everything else, no pattern all.
    bool MatchPattern = false;

    // What the component did. The plain FindFirst and FindNext are recorded
    // with the Ex ones (flags, filter and group 0).
    int LoadLibraryCalls = 0;
    std::vector<std::string> LookedUp;
    std::vector<TFindFirstCall> FirstCalls;
    std::vector<TBufferCall> NextCalls;
    std::vector<TBufferCall> InfoCalls;
    std::vector<HANDLE> OpenedHandles;
    std::vector<HANDLE> ClosedHandles;
    std::vector<std::string> Deleted;
    DWORD LastError = 0;

    // The size that the script asks for to hold the entry.
    static DWORD RequiredSize(const TScriptEntry& Entry);

private:
    CacheApi::TScopedBinding FBinding;
    WineUrlCache::TScopedPlainApi FPlain;
};
