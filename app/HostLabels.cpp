#include "app/HostLabels.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "app/DisplayText.h"

namespace {

constexpr std::size_t npos = std::string::npos;

void LowerInPlace(std::string& Text)
{
    if (!Text.empty())
        CharLowerBuffA(Text.data(), static_cast<DWORD>(Text.size()));
}

void UpperInPlace(std::string& Text)
{
    if (!Text.empty())
        CharUpperBuffA(Text.data(), static_cast<DWORD>(Text.size()));
}

// Search with letter case ignored in one text: a byte of the text matches a
// byte of the marker when the system's ANSI lower-case mapping or its
// upper-case mapping makes them equal. The mapped copies of the text are made
// once, at the first search.
class TCaseIgnoringSearch {
public:
    explicit TCaseIgnoringSearch(const std::string& Text) : FText(Text) {}

    // Index of the first match of Marker at or after From; npos when none.
    std::size_t Find(std::string_view Marker, std::size_t From)
    {
        if (!FMapped) {
            FLower = FText;
            LowerInPlace(FLower);
            FUpper = FText;
            UpperInPlace(FUpper);
            FMapped = true;
        }
        std::string lower(Marker), upper(Marker);
        LowerInPlace(lower);
        UpperInPlace(upper);
        const std::size_t length = Marker.size();
        if (length > FText.size())
            return npos;
        for (std::size_t at = From; at + length <= FText.size(); ++at) {
            std::size_t k = 0;
            while (k < length && (FLower[at + k] == lower[k] || FUpper[at + k] == upper[k]))
                ++k;
            if (k == length)
                return at;
        }
        return npos;
    }

private:
    const std::string& FText;
    std::string FLower, FUpper;
    bool FMapped = false;
};

// Index of the second occurrence of C in Text; npos when there is none.
std::size_t SecondIndexOf(std::string_view Text, char C)
{
    const std::size_t first = Text.find(C);
    return first == npos ? npos : Text.find(C, first + 1);
}

} // namespace

std::string HostOfUrl(const std::string& Url)
{
    // Until the path is cut off, the working text is always a tail of the URL:
    // Url[start...].
    TCaseIgnoringSearch search(Url);
    std::size_t start = 0;

    if (const std::size_t at = Url.find('@'); at != npos)
        start = at + 1;

    // Whether a marker is there is asked with letter case significant; where to
    // cut, with letter case ignored (which can find an earlier occurrence).
    for (std::string_view marker : {"http://", "https://", "file:///", "file://"}) {
        if (Url.find(marker, start) == npos)
            continue;
        const std::size_t found = search.Find(marker, start);
        if (found != npos)  // always so: the exact occurrence matches too
            start = found + marker.size();
    }

    const std::string_view rest(Url.data() + start, Url.size() - start);
    std::size_t length = rest.size();
    if (rest.find(":/") != npos) {
        std::size_t second = SecondIndexOf(rest, '/');
        if (second == npos)
            second = SecondIndexOf(rest, '\\');
        length = second == npos ? 0 : second;
    } else if (const std::size_t slash = rest.find('/'); slash != npos) {
        length = slash;
    }

    std::string label = length == 0 ? "*** " + Url : std::string(rest.substr(0, length));
    if (label.size() > HostLabelLimit) {
        label.resize(HostLabelLimit);
        label += " ...";
    }
    return label;
}

std::string HostLine(const std::string& Url, uint32_t EntryType)
{
    std::string line;
    line.reserve(Url.size() + 11);
    line += Url;
    line += '=';
    line += UnsignedText(EntryType);
    return line;
}

std::string HostLine(const TEntryInfo& Entry)
{
    return HostLine(Entry.SourceUrlName, Entry.CacheEntryType);
}

std::string_view UrlOfHostLine(std::string_view Line)
{
    const std::size_t separator = Line.rfind('=');
    return separator == npos ? Line : Line.substr(0, separator);
}

void THostMap::Add(std::string_view Label, std::string Line)
{
    // The same bytes are always the same host: the locale is asked only about
    // spellings not seen before.
    std::size_t index;
    if (const auto known = FByLabel.find(Label); known != FByLabel.end()) {
        index = known->second;
    } else {
        HostLabelKey(Label, FKey);
        if (const auto found = FByKey.find(FKey); found != FByKey.end()) {
            index = found->second;
        } else {
            index = FHosts.size();
            FHosts.push_back(THost{std::string(Label), {}});
            try {
                FByKey.emplace(FKey, index);
            } catch (...) {
                FHosts.pop_back();
                throw;
            }
        }
        FByLabel.emplace(Label, index);
    }
    FHosts[index].Lines.push_back(std::move(Line));
}

void THostMap::Clear()
{
    FHosts.clear();
    FByKey.clear();
    FByLabel.clear();
}

std::vector<THost> THostMap::TakeSorted()
{
    // Keys are unique in the index, so the order is fully given by them.
    std::vector<std::pair<const TSortKey*, std::size_t>> order;
    order.reserve(FByKey.size());
    for (const auto& [key, index] : FByKey)
        order.emplace_back(&key, index);
    std::sort(order.begin(), order.end(), [](const auto& A, const auto& B) { return *A.first < *B.first; });

    std::vector<THost> sorted;
    sorted.reserve(order.size());
    for (const auto& item : order)
        sorted.push_back(std::move(FHosts[item.second]));
    Clear();
    return sorted;
}
