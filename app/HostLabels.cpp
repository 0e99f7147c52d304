#include "app/HostLabels.h"

#include <windows.h>

#include <algorithm>
#include <charconv>
#include <functional>
#include <numeric>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::size_t npos = std::string::npos;

// Index of the first match of Marker at or after From, where a byte matches
// when the tables' lower-case or upper-case mappings make them equal; npos
// when none.
std::size_t FindIgnoringCase(const char* Lower, const char* Upper, std::string_view Text, std::string_view Marker,
                             std::size_t From)
{
    const std::size_t length = Marker.size();
    if (length > Text.size())
        return npos;
    for (std::size_t at = From; at + length <= Text.size(); ++at) {
        std::size_t k = 0;
        while (k < length) {
            const auto t = static_cast<unsigned char>(Text[at + k]);
            const auto m = static_cast<unsigned char>(Marker[k]);
            if (Lower[t] != Lower[m] && Upper[t] != Upper[m])
                break;
            ++k;
        }
        if (k == length)
            return at;
    }
    return npos;
}

// Index of the second occurrence of C in Text; npos when there is none.
std::size_t SecondIndexOf(std::string_view Text, char C)
{
    const std::size_t first = Text.find(C);
    return first == npos ? npos : Text.find(C, first + 1);
}

} // namespace

std::string_view THostMap::HostOfUrl(std::string_view Url)
{
    if (!FPrepared)
        Prepare();
    // Every search runs on Scan, whose bytes stand at the places of the URL's.
    // Where the code page has two bytes a character, Scan is a copy of the URL
    // in which the second byte of every character repeats its lead byte
    // (never an ASCII byte), so no marker, "@", "/" or "\\" is found inside a
    // character.
    std::string_view scan = Url;
    if (!FCodePage->SingleByte()) {
        FScan.assign(Url);
        for (std::size_t i = 0; i + 1 < FScan.size(); ++i)
            if (FCodePage->IsLead(static_cast<unsigned char>(FScan[i]))) {
                FScan[i + 1] = FScan[i];
                ++i;
            }
        scan = FScan;
    }
    // Until the path is cut off, the working text is always a tail of the URL:
    // Url[start...].
    std::size_t start = 0;

    if (const std::size_t at = scan.find('@'); at != npos)
        start = at + 1;

    // Whether a marker is there is asked with letter case significant; where to
    // cut, with letter case ignored (which can find an earlier occurrence).
    for (std::string_view marker : {"http://", "https://", "file:///", "file://"}) {
        if (scan.find(marker, start) == npos)
            continue;
        const std::size_t found = FindIgnoringCase(FCase.Lower, FCase.Upper, scan, marker, start);
        if (found != npos)  // always so: the exact occurrence matches too
            start = found + marker.size();
    }

    const std::string_view rest = Url.substr(start);
    const std::string_view restScan = scan.substr(start);
    std::size_t length = rest.size();
    if (restScan.find(":/") != npos) {
        std::size_t second = SecondIndexOf(restScan, '/');
        if (second == npos)
            second = SecondIndexOf(restScan, '\\');
        length = second == npos ? 0 : second;
    } else if (const std::size_t slash = restScan.find('/'); slash != npos) {
        length = slash;
    }

    if (length == 0) {
        FLabel.assign("*** ");
        FLabel.append(Url);
    } else if (length > HostLabelLimit) {
        FLabel.assign(rest.substr(0, length));
    } else {
        return rest.substr(0, length);
    }
    if (FLabel.size() > HostLabelLimit) {
        FLabel.resize(FCodePage->CutLength(FLabel, HostLabelLimit));
        FLabel += " ...";
    }
    return FLabel;
}

std::string_view UrlOfHostLine(std::string_view Line)
{
    const std::size_t separator = Line.rfind('=');
    return separator == npos ? Line : Line.substr(0, separator);
}

// --- THostMap::TTextIndex --------------------------------------------------

uint32_t THostMap::TTextIndex::Find(std::string_view Text, std::size_t Hash) const
{
    if (FSlots.empty())
        return None;
    const std::size_t mask = FSlots.size() - 1;
    for (std::size_t i = Hash & mask;; i = (i + 1) & mask) {
        const TSlot& slot = FSlots[i];
        if (slot.Value == None)
            return None;
        if (slot.Hash == Hash && slot.Text == Text)
            return slot.Value;
    }
}

void THostMap::TTextIndex::Insert(std::string_view Text, std::size_t Hash, uint32_t Value)
{
    if ((FCount + 1) * 2 > FSlots.size())
        Grow();
    const std::size_t mask = FSlots.size() - 1;
    std::size_t i = Hash & mask;
    while (FSlots[i].Value != None)
        i = (i + 1) & mask;
    FSlots[i] = TSlot{Text, Hash, Value};
    ++FCount;
}

void THostMap::TTextIndex::Grow()
{
    std::vector<TSlot> old = std::move(FSlots);
    FSlots.assign(old.empty() ? 64 : old.size() * 2, TSlot{});
    FCount = 0;
    for (const TSlot& slot : old)
        if (slot.Value != None)
            Insert(slot.Text, slot.Hash, slot.Value);
}

void THostMap::TTextIndex::Clear()
{
    // The slots stay for the next rebuild, which is likely to need as many:
    // fresh memory costs a page fault for every page.
    std::fill(FSlots.begin(), FSlots.end(), TSlot{});
    FCount = 0;
}

// --- THostMap -----------------------------------------------------------------

namespace {

constexpr uint32_t NoLine = UINT32_MAX;

std::size_t HashOf(std::string_view Text)
{
    return std::hash<std::string_view>{}(Text);
}

} // namespace

THostMap::THostMap() : FTexts(std::make_unique<THostTexts>()) {}

void THostMap::Prepare()
{
    // A maker checks its locale's keys when it is made, which takes a while:
    // it is made again only when the user's locale has changed.
    const LCID user = GetUserDefaultLCID();
    if (!FMaker || FMakerFor != user) {
        FMaker.emplace(LOCALE_USER_DEFAULT, HostLabelKeyFlags);
        FMakerFor = user;
    }
    // The system's mappings of the characters of one byte; a lead byte is
    // no character of its own and stays as it is.
    FCodePage = &TAnsiCodePage::Current();
    for (int i = 0; i < 256; ++i)
        FCase.Lower[i] = FCase.Upper[i] = static_cast<char>(i);
    if (FCodePage->SingleByte()) {
        CharLowerBuffA(FCase.Lower, 256);
        CharUpperBuffA(FCase.Upper, 256);
    } else {
        for (int i = 0; i < 256; ++i)
            if (!FCodePage->IsLead(static_cast<unsigned char>(i))) {
                CharLowerBuffA(&FCase.Lower[i], 1);
                CharUpperBuffA(&FCase.Upper[i], 1);
            }
    }
    FPrepared = true;
}

// The host of Label. The same bytes are always the same host: the locale is
// asked only about spellings not seen before.
uint32_t THostMap::HostOf(std::string_view Label)
{
    if (!FPrepared)
        Prepare();
    const std::size_t labelHash = HashOf(Label);
    if (const uint32_t known = FByLabel.Find(Label, labelHash); known != TTextIndex::None)
        return known;
    if (FHosts.size() >= NoLine - 1)
        throw std::length_error("too many hosts");
    FMaker->Make(Label, FKey);
    const std::size_t keyHash = HashOf(FKey);
    uint32_t host = FByKey.Find(FKey, keyHash);
    const std::string_view spelling = FTexts->Texts.Add(Label);
    if (host == TTextIndex::None) {
        host = static_cast<uint32_t>(FHosts.size());
        const std::string_view key = FKeys.Add(FKey);
        FHosts.push_back(THost{spelling, key});
        try {
            FByKey.Insert(key, keyHash, host);
        } catch (...) {
            FHosts.pop_back();
            throw;
        }
    }
    FByLabel.Insert(spelling, labelHash, host);
    return host;
}

void THostMap::Add(std::string_view Label, std::string_view Url, uint32_t EntryType)
{
    const uint32_t host = HostOf(Label);
    char type[10];
    const auto typeEnd = std::to_chars(type, type + sizeof type, EntryType).ptr;
    const std::size_t typeLength = static_cast<std::size_t>(typeEnd - type);
    char* line = FTexts->Texts.Allocate(Url.size() + 1 + typeLength);
    if (!Url.empty())
        std::copy(Url.begin(), Url.end(), line);
    line[Url.size()] = '=';
    std::copy(type, typeEnd, line + Url.size() + 1);
    if (FLines.size() >= NoLine - 1)
        throw std::length_error("too many host lines");
    FLines.push_back(TLine{std::string_view(line, Url.size() + 1 + typeLength), host});
}

void THostMap::Clear()
{
    FPrepared = false;
    FTexts = std::make_unique<THostTexts>();
    FKeys.Clear();
    FHosts.clear();
    FLines.clear();
    FByKey.Clear();
    FByLabel.Clear();
}

THostList THostMap::TakeSorted()
{
    // Keys are unique among the hosts, so the order is fully given by them.
    std::vector<uint32_t> order(FHosts.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [this](uint32_t A, uint32_t B) { return FHosts[A].Key < FHosts[B].Key; });

    // Each host's lines in one stretch, the stretches in host order, the lines
    // of a host in the order filed.
    std::vector<std::size_t>& place = FPlace;
    place.assign(FHosts.size(), 0);
    for (const TLine& line : FLines)
        ++place[line.Host];
    THostList list;
    auto* hosts = FTexts->Texts.AllocateArray<THostList::THost>(order.size());
    std::size_t begin = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const uint32_t host = order[i];
        const std::size_t count = place[host];
        hosts[i] = THostList::THost{FHosts[host].Label, begin, begin + count};
        place[host] = begin;
        begin += count;
    }
    list.FHosts = hosts;
    list.FCount = order.size();
    std::string_view* lines = FTexts->Texts.AllocateArray<std::string_view>(FLines.size());
    for (const TLine& line : FLines)
        lines[place[line.Host]++] = line.Text;
    FTexts->Lines = lines;
    list.FTexts = std::shared_ptr<const THostTexts>(std::move(FTexts));
    FKeys.Trim(); // the next rebuild keeps what this one needed
    Clear();
    return list;
}
