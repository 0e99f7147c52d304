// Host labels and the host map: every entry's URL is reduced to a short host
// label, and the entries are gathered per host under that label.
//
// A host line is the entry's whole URL, "=" and its entry type in decimal.
// Two labels are the same host when CompareStringA in the user's default
// locale with letter case ignored, reading the texts in the ANSI code page as
// the list rows' order does, finds them equal; the map matches and orders
// them by their sort keys (see SortKeys.h), which agree with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/SortKeys.h"
#include "base/AnsiCodePage.h"
#include "base/TextBlocks.h"

// Longest host label kept whole, in bytes; a longer one keeps this many bytes
// and ends in " ...". Where the ANSI code page has two bytes a character, it
// keeps the whole characters within the first this many bytes.
inline constexpr std::size_t HostLabelLimit = 50;

// The URL part of a host line: all before its last "=" (the URL may hold "=" itself).
std::string_view UrlOfHostLine(std::string_view Line);

// The texts of the hosts of one rebuild: labels and lines, the lines of each
// host one after another.
struct THostTexts {
    TTextBlocks Texts;
    const std::string_view* Lines = nullptr; // in Texts
};

// One host's lines in the order filed. Shares the texts of its rebuild and
// keeps them alive.
class THostLines {
public:
    THostLines() = default;
    THostLines(std::shared_ptr<const THostTexts> Texts, std::size_t Begin, std::size_t End)
        : FTexts(std::move(Texts)), FBegin(Begin), FEnd(End)
    {
    }
    std::size_t size() const { return FEnd - FBegin; }
    bool empty() const { return FEnd == FBegin; }
    std::string_view operator[](std::size_t Index) const { return FTexts->Lines[FBegin + Index]; }
    const std::string_view* begin() const { return FTexts ? FTexts->Lines + FBegin : nullptr; }
    const std::string_view* end() const { return FTexts ? FTexts->Lines + FEnd : nullptr; }

private:
    std::shared_ptr<const THostTexts> FTexts;
    std::size_t FBegin = 0, FEnd = 0;
};

// The hosts of one rebuild in label order: each with its label as first
// filed and its lines.
class THostList {
public:
    std::size_t size() const { return FCount; }
    bool empty() const { return FCount == 0; }
    std::string_view Label(std::size_t Host) const { return FHosts[Host].Label; }
    THostLines Lines(std::size_t Host) const { return THostLines(FTexts, FHosts[Host].Begin, FHosts[Host].End); }

private:
    friend class THostMap;
    struct THost {
        std::string_view Label;
        std::size_t Begin, End;
    };
    std::shared_ptr<const THostTexts> FTexts;
    const THost* FHosts = nullptr; // in FTexts
    std::size_t FCount = 0;
};

// The hosts of one rebuild. Filing is a hash look-up, by the label's very
// bytes first and by its sort key when those are new; the hosts are sorted
// once, when they are taken out. Labels, keys and lines are kept in large
// blocks: filing an entry costs no heap block of its own.
class THostMap {
public:
    THostMap();

    // The host label of a URL: after the first "@", after the scheme markers
    // "http://", "https://", "file:///" and "file://", up to the path (the
    // second slash once the text holds ":/", else the first slash); "*** "
    // and the whole URL when nothing is left. Texts are 8-bit ANSI; lengths
    // count bytes, and no search finds a byte inside a character of two. The
    // label is a part of Url, or lies in the map where it is more (valid
    // until the next call).
    std::string_view HostOfUrl(std::string_view Url);

    // Files the host line of Url and EntryType under the host of Label,
    // making the host when it is new.
    void Add(std::string_view Label, std::string_view Url, uint32_t EntryType);

    std::size_t Count() const { return FHosts.size(); }
    bool Empty() const { return FHosts.empty(); }
    void Clear();

    // The hosts in label order (letter case ignored); the map is empty
    // afterwards and ready for the next rebuild.
    THostList TakeSorted();

private:
    // Text -> index, for texts that stay where they are (in FTexts).
    class TTextIndex {
    public:
        static constexpr uint32_t None = UINT32_MAX;
        uint32_t Find(std::string_view Text, std::size_t Hash) const;
        void Insert(std::string_view Text, std::size_t Hash, uint32_t Value);
        void Clear();

    private:
        struct TSlot {
            std::string_view Text;
            std::size_t Hash = 0;
            uint32_t Value = None;
        };
        void Grow();
        std::vector<TSlot> FSlots;
        std::size_t FCount = 0;
    };
    struct THost {
        std::string_view Label;
        std::string_view Key;
    };
    struct TLine {
        std::string_view Text;
        uint32_t Host;
    };

    // The system's lower-case and upper-case mappings of all 256 bytes.
    struct TCaseTables {
        char Lower[256];
        char Upper[256];
    };

    // Reads the user's locale and the code page's case mappings at the start of a rebuild.
    void Prepare();
    uint32_t HostOf(std::string_view Label);

    bool FPrepared = false;
    // The mappings of the characters of one byte: every case-blind search of
    // the rebuild looks for ASCII markers, which only such characters match.
    TCaseTables FCase;
    const TAnsiCodePage* FCodePage = nullptr;
    std::optional<TSortKeyMaker> FMaker; // host label keys, made for FMakerFor
    LCID FMakerFor = 0;
    std::string FLabel;                 // a label that is more than a part of its URL
    std::string FScan;                  // the URL as searched, where characters take two bytes
    std::unique_ptr<THostTexts> FTexts; // labels and lines
    TTextBlocks FKeys;                  // sort keys of the labels
    std::vector<THost> FHosts;          // in the order first filed
    std::vector<TLine> FLines;          // in the order filed
    std::vector<std::size_t> FPlace;    // scratch for TakeSorted
    TTextIndex FByKey;                  // sort key -> host
    TTextIndex FByLabel;                // every spelling of a label filed so far -> host
    TSortKey FKey;                      // scratch for the key of Add
};
