// Host labels and the host map: every entry's URL is reduced to a short host
// label, and the entries are gathered per host under that label.
//
// A host line is the entry's whole URL, "=" and its entry type in decimal.
// Two labels are the same host when CompareStringA in the user's default
// locale with letter case ignored finds them equal; the map matches and
// orders them by their sort keys (see SortKeys.h), which agree with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/SortKeys.h"
#include "cache/EntryTypes.h"

// Longest host label kept whole; a longer one keeps this many characters and ends in " ...".
inline constexpr std::size_t HostLabelLimit = 50;

// The host label of a URL: after the first "@", after the scheme markers
// "http://", "https://", "file:///" and "file://", up to the path (the second
// slash once the text holds ":/", else the first slash); "*** " and the whole
// URL when nothing is left. Texts are 8-bit ANSI; lengths count bytes.
std::string HostOfUrl(const std::string& Url);

// Url "=" EntryType in decimal.
std::string HostLine(const std::string& Url, uint32_t EntryType);
std::string HostLine(const TEntryInfo& Entry);
// The URL part of a host line: all before its last "=" (the URL may hold "=" itself).
std::string_view UrlOfHostLine(std::string_view Line);

// One host: its label as first filed and its lines in the order filed.
struct THost {
    std::string Label;
    std::vector<std::string> Lines;
};

// The hosts of one rebuild. Filing is a hash look-up, by the label's very
// bytes first and by its sort key when those are new; the hosts are sorted
// once, when they are taken out.
class THostMap {
public:
    // Files Line under the host of Label, making the host when it is new.
    void Add(std::string_view Label, std::string Line);

    std::size_t Count() const { return FHosts.size(); }
    bool Empty() const { return FHosts.empty(); }
    void Clear();

    // The hosts in label order (letter case ignored), lines moved out, not
    // copied; the map is empty afterwards and ready for the next rebuild.
    std::vector<THost> TakeSorted();

private:
    // Lets the label index be searched with a string_view, without a copy.
    struct TTextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view Text) const { return std::hash<std::string_view>{}(Text); }
    };
    using TIndex = std::unordered_map<std::string, std::size_t, TTextHash, std::equal_to<>>;

    std::vector<THost> FHosts;   // in the order first filed
    TIndex FByKey;               // sort key -> index in FHosts
    TIndex FByLabel;             // every spelling of a label filed so far -> index in FHosts
    TSortKey FKey;               // scratch for the key of Add
};
