// Types of the URL cache component: the flat entry record, the entry-type
// filter set and the search patterns.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

// Days since 30 December 1899 00:00 local time; the fraction is the time of day.
using TDateTime = double;

struct TEntryInfo {
    std::string SourceUrlName;
    std::string LocalFileName;
    uint32_t CacheEntryType = 0;
    uint32_t UseCount = 0;
    uint32_t HitRate = 0;
    uint32_t Size = 0;
    TDateTime LastModifiedTime = 0;
    TDateTime ExpireTime = 0;
    TDateTime LastAccessTime = 0;
    TDateTime LastSyncTime = 0;
    std::string HeaderInfo;
    std::string FileExtension;
    uint32_t ExemptDelta = 0;

    bool operator==(const TEntryInfo&) const = default;
};

enum TFilterOption : uint8_t {
    NORMAL_ENTRY,
    STABLE_ENTRY,
    STICKY_ENTRY,
    COOKIE_ENTRY,
    URLHISTORY_ENTRY,
    TRACK_OFFLINE_ENTRY,
    TRACK_ONLINE_ENTRY,
    SPARSE_ENTRY,
    OCX_ENTRY,
};
inline constexpr int FilterOptionCount = 9;

// The WinINet entry-type flag that each member selects, by ordinal.
inline constexpr uint32_t FilterValues[FilterOptionCount] = {
    0x00000001, 0x00000002, 0x00000004, 0x00100000, 0x00200000,
    0x00000010, 0x00000020, 0x00010000, 0x00020000,
};

// A set of TFilterOption held in 16 bits: bit n stands for the member of ordinal n.
class TFilterOptions {
public:
    constexpr TFilterOptions() = default;
    constexpr TFilterOptions(std::initializer_list<TFilterOption> members)
    {
        for (TFilterOption m : members)
            FBits = static_cast<uint16_t>(FBits | (1u << m));
    }
    static constexpr TFilterOptions FromBits(uint16_t bits)
    {
        TFilterOptions s;
        s.FBits = bits;
        return s;
    }
    constexpr uint16_t Bits() const { return FBits; }
    constexpr bool Contains(TFilterOption m) const { return (FBits >> m) & 1u; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr bool operator==(const TFilterOptions&) const = default;

private:
    uint16_t FBits = 0;
};

enum TSearchPattern : uint8_t { spAll, spCookies, spHistory, spUrl };
