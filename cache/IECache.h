// TIECache: the program's only road to the current user's WinINet URL cache.
// Enumerates entries (one OnEntry call per entry), looks one up by URL and
// deletes entries. Whatever WinINet returns is copied at once into EntryInfo.
// Failures come back as numbers: 0 success, 2 no usable WinINet, otherwise the
// Windows error code (259 ends an enumeration).
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "cache/EntryTypes.h"
#include "base/Component.h"

class TIECache;

using TOnEntryEvent = std::function<void(TIECache& Sender, bool& Cancel)>;

// Asks once per process whether wininet.dll offers what the component needs;
// a true answer is kept, a false one is asked again at the next call.
bool CheckLibrary();
// A UTC file time as local days since 30 December 1899. Below zero when it does
// not convert: the time taken as UTC where that is before 1899, else -1.
TDateTime FileTimeToDateTime(const FILETIME& Time);

class TIECache : public TComponent {
public:
    explicit TIECache(TComponent* Owner = nullptr);

    TFilterOptions FilterOptions() const { return FFilterOptions; }
    void SetFilterOptions(TFilterOptions Value);
    TSearchPattern SearchPattern() const { return FSearchPattern; }
    void SetSearchPattern(TSearchPattern Value) { FSearchPattern = Value; }
    bool LibraryFound() const { return CheckLibrary(); }
    const TEntryInfo& EntryInfo() const { return FEntryInfo; }

    TOnEntryEvent OnEntry;

    uint32_t GetEntryInfo(const std::string& Url);
    uint32_t DeleteEntry(const std::string& Url);
    void DeleteAllEntries();
    void RetrieveEntries(int64_t GroupId);

    // The entry-type mask that enumerations pass to WinINet.
    uint32_t FilterMask() const { return FFilterMask; }

private:
    void UpdateFilter();
    void ClearEntryInfo();
    void CopyEntryInfo(const INTERNET_CACHE_ENTRY_INFOA& Entry);
    uint32_t FindFirstEntry(int64_t GroupId);
    uint32_t FindNextEntry();
    void CloseEnumeration();
    template <class Call>
    uint32_t SizedCall(Call WinInetCall);
    void Grow(DWORD Size);

    TSearchPattern FSearchPattern = spAll;
    HANDLE FEnumHandle = nullptr;
    bool FCancel = false;
    TFilterOptions FFilterOptions;
    uint32_t FFilterMask = 0;
    TEntryInfo FEntryInfo;
    // The entry buffer of every WinINet call, kept between calls.
    std::unique_ptr<std::byte[]> FBuffer;
    DWORD FBufferSize = 0;
};
