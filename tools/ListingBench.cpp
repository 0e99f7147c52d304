// ListingBench: how long the main window takes to list the URL cache, to
// list one host's entries and to preview a large cached file, each figure
// beside its floor (what the same work costs at the least) and the target it
// must meet.
//
//   ListingBench             the figures; exit 1 when one misses its target
//   ListingBench --profile   also the parts of a 100,000-entry listing, timed apart
//
// Two caches: an in-memory stand-in for WinINet (put in force through the
// cache component's seam) holding a realistic mix of documents, cookies and
// visited-link records, and the real WinINet of the Wine prefix the program
// runs in, filled once with 5,000 committed entries. Every figure is the best
// of five runs, timed with QueryPerformanceCounter.
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/DetailPane.h"
#include "app/DisplayText.h"
#include "app/HostLabels.h"
#include "app/MainForm.h"
#include "app/SortKeys.h"
#include "base/TextBlocks.h"
#include "cache/CacheApi.h"
#include "cache/IECache.h"
#include "tests/RealCacheWrites.h"
#include "ui/Application.h"

namespace {

// --- Timing ---------------------------------------------------------------------------------------------------

double Now()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

double Seconds(const std::function<void()>& Run)
{
    const double start = Now();
    Run();
    return Now() - start;
}

constexpr int Runs = 5;

// The best of Runs runs of Measured and of Floor, taken in turns so that a
// slow spell of the machine weighs on both alike.
struct TPair {
    double Measured = 1e30;
    double Floor = 1e30;
    double FirstMeasured = 0;
};

TPair BestOf(const std::function<void()>& Floor, const std::function<void()>& Measured,
             const std::function<void()>& Between = {})
{
    TPair best;
    for (int run = 0; run < Runs; ++run) {
        best.Floor = std::min(best.Floor, Seconds(Floor));
        if (Between)
            Between();
        const double t = Seconds(Measured);
        if (run == 0)
            best.FirstMeasured = t;
        best.Measured = std::min(best.Measured, t);
    }
    return best;
}

// --- Report -----------------------------------------------------------------------------------------------------

int Missed = 0;

void Verdict(bool Met)
{
    if (!Met)
        ++Missed;
    std::printf("   %s\n", Met ? "ok" : "MISSED");
}

void Check(bool Holds, const char* What)
{
    if (!Holds) {
        std::printf("   CHECK FAILED: %s\n", What);
        ++Missed;
    }
}

// --- The in-memory stand-in for WinINet ---------------------------------------------------------------------------

// Why the benchmark has a stand-in of its own: the tests' scripted WinINet records every call and looks
// entries up by walking its list, so at 100,000 entries a look-up costs it 10-12 ms instead of 2 us and the
// peak working set doubles (about 205 MB); the floors would measure the stand-in, not the cache component.

// One cache entry as the benchmark makes it.
struct TBenchEntry {
    std::string Url;
    std::string LocalFile;  // empty: none
    std::string Header;     // empty: none
    std::string Extension;  // empty: none
    DWORD Type = NORMAL_CACHE_ENTRY;
    DWORD HitRate = 0;
    DWORD Size = 0;
    FILETIME LastModified{}, Expire{}, LastAccess{}, LastSync{};
};

// Entries laid out as WinINet lays them out (the structure, then the texts it
// points into), in blocks of their own. A text pointer holds its offset from
// the start of its entry until the entry is handed out.
class TLeanCache {
public:
    // Appends an entry; it is enumerated in the order of appending until Shuffle.
    void Append(const TBenchEntry& e)
    {
        INTERNET_CACHE_ENTRY_INFOA info{};
        std::size_t size = sizeof info;
        auto place = [&size](const std::string& text, bool always) -> LPSTR {
            if (text.empty() && !always)
                return nullptr;
            const std::size_t at = size;
            size += text.size() + 1;
            return reinterpret_cast<LPSTR>(at);
        };
        info.dwStructSize = sizeof info;
        info.lpszSourceUrlName = place(e.Url, true);
        info.lpszLocalFileName = place(e.LocalFile, false);
        info.CacheEntryType = e.Type;
        info.dwHitRate = e.HitRate;
        info.dwSizeLow = e.Size;
        info.LastModifiedTime = e.LastModified;
        info.ExpireTime = e.Expire;
        info.LastAccessTime = e.LastAccess;
        info.LastSyncTime = e.LastSync;
        info.lpHeaderInfo = place(e.Header, false);
        info.dwHeaderInfoSize = static_cast<DWORD>(e.Header.size());
        info.lpszFileExtension = place(e.Extension, false);

        char* entry = Room(size);
        std::memcpy(entry, &info, sizeof info);
        auto copy = [entry](LPSTR at, const std::string& text) {
            if (at)
                std::memcpy(entry + reinterpret_cast<std::uintptr_t>(at), text.c_str(), text.size() + 1);
        };
        copy(info.lpszSourceUrlName, e.Url);
        copy(info.lpszLocalFileName, e.LocalFile);
        copy(info.lpHeaderInfo, e.Header);
        copy(info.lpszFileExtension, e.Extension);
        FEntries.push_back(TSpan{entry, static_cast<DWORD>(size)});
    }

    // Puts the entries in a random order, as a cache's hash table holds them,
    // and indexes them by URL.
    void Shuffle(std::mt19937& Random)
    {
        std::shuffle(FEntries.begin(), FEntries.end(), Random);
        FByUrl.clear();
        FByUrl.reserve(FEntries.size());
        for (std::size_t i = 0; i < FEntries.size(); ++i)
            FByUrl.emplace(UrlAt(i), static_cast<uint32_t>(i));
    }

    std::size_t Count() const { return FEntries.size(); }
    std::size_t Bytes() const { return FBlocks.size() * BlockSize + FEntries.capacity() * sizeof(TSpan); }

    // Hands entry Index out when the buffer holds it; else the size it needs.
    BOOL Deliver(std::size_t Index, LPINTERNET_CACHE_ENTRY_INFOA Info, LPDWORD Size)
    {
        const TSpan& entry = FEntries[Index];
        if (!Info || *Size < entry.Size) {
            *Size = entry.Size;
            LastError = ERROR_INSUFFICIENT_BUFFER;
            return FALSE;
        }
        std::memcpy(Info, entry.Bytes, entry.Size);
        char* base = reinterpret_cast<char*>(Info);
        for (LPSTR* text : {&Info->lpszSourceUrlName, &Info->lpszLocalFileName, &Info->lpHeaderInfo,
                            &Info->lpszFileExtension})
            if (*text)
                *text = base + reinterpret_cast<std::uintptr_t>(*text);
        *Size = entry.Size;
        return TRUE;
    }

    // Index of the entry with this URL; Count() when there is none.
    std::size_t Find(std::string_view Url) const
    {
        const auto at = FByUrl.find(Url);
        return at == FByUrl.end() ? Count() : at->second;
    }

    DWORD TypeAt(std::size_t Index) const { return Header(Index).CacheEntryType; }
    std::string_view UrlAt(std::size_t Index) const
    {
        return FEntries[Index].Bytes + reinterpret_cast<std::uintptr_t>(Header(Index).lpszSourceUrlName);
    }

    DWORD LastError = 0;
    std::size_t Cursor = 0;
    DWORD Filter = 0;
    const char* Pattern = nullptr;

private:
    static constexpr std::size_t BlockSize = 1 << 20;
    struct TSpan {
        char* Bytes;
        DWORD Size;
    };

    INTERNET_CACHE_ENTRY_INFOA Header(std::size_t Index) const
    {
        INTERNET_CACHE_ENTRY_INFOA info;
        std::memcpy(&info, FEntries[Index].Bytes, sizeof info);
        return info;
    }

    char* Room(std::size_t Size)
    {
        if (Size > FLeft) {
            FBlocks.push_back(std::make_unique_for_overwrite<char[]>(BlockSize));
            FFree = FBlocks.back().get();
            FLeft = BlockSize;
        }
        char* room = FFree;
        FFree += Size;
        FLeft -= Size;
        return room;
    }

    std::vector<std::unique_ptr<char[]>> FBlocks;
    char* FFree = nullptr;
    std::size_t FLeft = 0;
    std::vector<TSpan> FEntries;
    std::unordered_map<std::string_view, uint32_t> FByUrl;
};

TLeanCache* Lean = nullptr;
const HANDLE LeanHandle = reinterpret_cast<HANDLE>(0x1EA0);

// Whether the enumeration delivers the entry: its type shares a bit with the
// filter, and its URL fits the pattern as Windows picks containers by it.
bool Listed(std::size_t Index)
{
    if ((Lean->TypeAt(Index) & Lean->Filter) == 0)
        return false;
    if (!Lean->Pattern)
        return true;
    const std::string_view url = Lean->UrlAt(Index), pattern = Lean->Pattern;
    if (pattern.empty())
        return url.rfind("Cookie:", 0) != 0 && url.rfind("Visited:", 0) != 0;
    return url.rfind(pattern, 0) == 0;
}

BOOL DeliverNextListed(LPINTERNET_CACHE_ENTRY_INFOA Info, LPDWORD Size)
{
    while (Lean->Cursor < Lean->Count() && !Listed(Lean->Cursor))
        ++Lean->Cursor;
    if (Lean->Cursor >= Lean->Count()) {
        Lean->LastError = ERROR_NO_MORE_ITEMS;
        return FALSE;
    }
    if (!Lean->Deliver(Lean->Cursor, Info, Size))
        return FALSE;
    ++Lean->Cursor;
    return TRUE;
}

HANDLE WINAPI LeanFindFirst(LPCSTR Pattern, DWORD, DWORD Filter, GROUPID Group, LPINTERNET_CACHE_ENTRY_INFOA Info,
                            LPDWORD Size, LPVOID, LPDWORD, LPVOID)
{
    Lean->Cursor = 0;
    Lean->Filter = Group == 0 ? Filter : 0;
    Lean->Pattern = Pattern;
    return DeliverNextListed(Info, Size) ? LeanHandle : nullptr;
}

BOOL WINAPI LeanFindNext(HANDLE Handle, LPINTERNET_CACHE_ENTRY_INFOA Info, LPDWORD Size, LPVOID, LPDWORD, LPVOID)
{
    if (Handle != LeanHandle) {
        Lean->LastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    return DeliverNextListed(Info, Size);
}

BOOL WINAPI LeanFindClose(HANDLE Handle)
{
    if (Handle != LeanHandle) {
        Lean->LastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI LeanGetInfo(LPCSTR Url, LPINTERNET_CACHE_ENTRY_INFOA Info, LPDWORD Size, LPSTR, LPDWORD, LPVOID, DWORD)
{
    const std::size_t index = Lean->Find(Url);
    if (index == Lean->Count()) {
        Lean->LastError = ERROR_FILE_NOT_FOUND;
        return FALSE;
    }
    return Lean->Deliver(index, Info, Size);
}

BOOL WINAPI LeanDelete(LPCSTR)
{
    Lean->LastError = ERROR_ACCESS_DENIED; // the benchmark deletes nothing
    return FALSE;
}

DWORD WINAPI LeanGetLastError()
{
    return Lean->LastError;
}

// The stand-in's binding: WinINet in memory, the library check and the time
// conversions are the system's own.
CacheApi::TBinding LeanBinding()
{
    CacheApi::TBinding b = CacheApi::DefaultBinding();
    b.FindFirstUrlCacheEntryExA = LeanFindFirst;
    b.FindNextUrlCacheEntryExA = LeanFindNext;
    b.FindCloseUrlCache = LeanFindClose;
    b.GetUrlCacheEntryInfoExA = LeanGetInfo;
    b.DeleteUrlCacheEntryA = LeanDelete;
    b.GetLastError = LeanGetLastError;
    return b;
}

// --- A realistic cache --------------------------------------------------------------------------------------------

// The host that the host-selection figures pick, and how many entries it has.
const std::string BigHost = "www.bigsite.example.com";
constexpr std::size_t BigHostEntries = 1000;

const char* const Words[] = {"news", "shop", "weather", "video", "mail", "travel", "sports", "photo-share",
                             "my-blog", "maps", "search", "music", "forum", "recipes", "o'reilly-books", "wiki"};
const char* const Prefixes[] = {"www.", "www.", "www.", "static.", "cdn.", "img.", "api.", ""};
const char* const Domains[] = {".com", ".com", ".org", ".net", ".co.uk", ".de", ".example.com"};
const char* const Folders[] = {"images", "scripts", "css", "articles/2024", "media/photos", "static/js", "docs"};

struct TKind {
    const char* Extension;
    const char* ContentType;
};
const TKind Kinds[] = {{"htm", "text/html"}, {"jpg", "image/jpeg"}, {"gif", "image/gif"}, {"png", "image/png"},
                       {"js", "application/javascript"}, {"css", "text/css"}, {"txt", "text/plain"}};

FILETIME FileTimeOf(uint64_t Ticks)
{
    return {static_cast<DWORD>(Ticks), static_cast<DWORD>(Ticks >> 32)};
}

// The name of host Index (0 is the big host); no two are equal with letter
// case ignored.
std::string HostName(std::size_t Index, std::mt19937& Random)
{
    if (Index == 0)
        return BigHost;
    const char* word = Words[Random() % std::size(Words)];
    return std::string(Prefixes[Random() % std::size(Prefixes)]) + word + std::to_string(Index) +
           Domains[Random() % std::size(Domains)];
}

// Count entries over Count / 5 hosts, one by one to Sink: a tenth cookies, a
// quarter visited-link records, the rest cached documents; BigHostEntries of
// them belong to the big host. Some URLs spell their host in capitals (the
// same host).
void MakeEntries(std::size_t Count, std::mt19937& random, std::vector<std::string>& BigHostUrls,
                 const std::function<void(const TBenchEntry&)>& Sink)
{
    const std::size_t hostCount = Count / 5;
    std::vector<std::string> hosts;
    hosts.reserve(hostCount);
    for (std::size_t i = 0; i < hostCount; ++i)
        hosts.push_back(HostName(i, random));

    // 2026-06-01 00:00 UTC in file time; entries were last used in the 90 days before.
    const uint64_t now = 134246016000000000ull;
    const uint64_t day = 864000000000ull;

    BigHostUrls.clear();
    for (std::size_t i = 0; i < Count; ++i) {
        // The big host first, then every other host once, then at random.
        std::size_t h;
        if (i < BigHostEntries)
            h = 0;
        else if (i < BigHostEntries + hostCount - 1)
            h = i - BigHostEntries + 1;
        else
            h = 1 + random() % (hostCount - 1);
        std::string host = hosts[h];
        if (h != 0 && random() % 50 == 0)
            CharUpperBuffA(host.data(), static_cast<DWORD>(host.size()));

        TBenchEntry e;
        const TKind& kind = Kinds[random() % std::size(Kinds)];
        const std::string file = "item_" + std::to_string(100000 + i) + "." + kind.Extension;
        const std::string path = std::string(Folders[random() % std::size(Folders)]) + "/" + file;
        const unsigned pick = i < BigHostEntries ? 99 : random() % 100;
        if (pick < 10) {
            e.Url = "Cookie:user@" + host + "/" + (i % 3 ? "account/" : "") + std::to_string(i) + "/";
            e.Type = COOKIE_CACHE_ENTRY;
            e.LocalFile = "C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Cookies\\user@" + host + "[" +
                          std::to_string(i % 3 + 1) + "].txt";
            e.Extension = "txt";
        } else if (pick < 35) {
            e.Url = "Visited: user@http://" + host + "/" + path;
            e.Type = URLHISTORY_CACHE_ENTRY;
        } else {
            e.Url = (random() % 4 == 0 ? "https://" : "http://") + host + "/" + path;
            if (random() % 5 == 0)
                e.Url += "?id=" + std::to_string(random() % 100000) + "&lang=en";
            e.Type = NORMAL_CACHE_ENTRY;
            char folder[9];
            std::snprintf(folder, sizeof folder, "%08X", static_cast<unsigned>(random()));
            e.LocalFile = "C:\\users\\user\\AppData\\Local\\Microsoft\\Windows\\INetCache\\Content.IE5\\" +
                          std::string(folder) + "\\item_" + std::to_string(100000 + i) + "[1]." + kind.Extension;
            e.Header = "HTTP/1.1 200 OK\r\nContent-Type: " + std::string(kind.ContentType) +
                       "\r\nContent-Length: " + std::to_string(random() % 200000) + "\r\n\r\n";
            e.Extension = kind.Extension;
            e.Size = random() % 200000;
        }
        if (h == 0)
            BigHostUrls.push_back(e.Url);
        e.HitRate = random() % 40;
        const uint64_t access = now - (random() % (90 * 86400)) * 10000000ull;
        e.LastAccess = FileTimeOf(access);
        e.LastModified = FileTimeOf(access - (random() % 400) * day);
        e.Expire = FileTimeOf(access + (random() % 30) * day);
        e.LastSync = FileTimeOf(access);
        Sink(e);
    }
}

// The stand-in filled with Count entries of MakeEntries, in a random order.
std::unique_ptr<TLeanCache> MakeLeanCache(std::size_t Count, std::vector<std::string>& BigHostUrls)
{
    std::mt19937 random(20240607u + static_cast<unsigned>(Count));
    auto cache = std::make_unique<TLeanCache>();
    MakeEntries(Count, random, BigHostUrls, [&cache](const TBenchEntry& e) { cache->Append(e); });
    cache->Shuffle(random);
    return cache;
}

// --- The window ---------------------------------------------------------------------------------------------------

TFilterOptions WindowFilter()
{
    return {NORMAL_ENTRY, STICKY_ENTRY, COOKIE_ENTRY, URLHISTORY_ENTRY, TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY};
}

HTREEITEM HostNode(TTreeView& Tree, const std::string& Label)
{
    char text[256];
    for (HTREEITEM n = Tree.FirstChild(Tree.FirstNode()); n; n = Tree.NextSibling(n)) {
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = n;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        if (::SendMessageA(Tree.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) && Label == text)
            return n;
    }
    return nullptr;
}

std::size_t HostNodeCount(TTreeView& Tree)
{
    std::size_t count = 0;
    for (HTREEITEM n = Tree.FirstChild(Tree.FirstNode()); n; n = Tree.NextSibling(n))
        ++count;
    return count;
}

std::size_t PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return counters.PeakWorkingSetSize;
}

std::size_t WorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return counters.WorkingSetSize;
}

constexpr double MB = 1024.0 * 1024.0;

// LoadCache of the whole cache against RetrieveEntries with an empty handler,
// with the checks that the listing really ran.
TPair MeasureLoadCache(TfrmMorvane& Form, const char* Title, std::size_t Expected, std::size_t ExpectedHosts,
                       const char* Target, const std::function<bool(const TPair&)>& Met)
{
    TIECache floorCache;
    floorCache.SetFilterOptions(WindowFilter());
    floorCache.SetSearchPattern(spAll);
    std::size_t delivered = 0;
    floorCache.OnEntry = [&delivered](TIECache&, bool&) { ++delivered; };

    // Every timed run replaces the listing of the run before, as a refresh
    // does; the first listing is timed apart.
    const double first = Seconds([&] { Form.LoadCache(); });
    TPair t = BestOf([&] { delivered = 0; floorCache.RetrieveEntries(0); }, [&] { Form.LoadCache(); });
    std::printf("%s: %.3f s   floor (RetrieveEntries, empty OnEntry): %.3f s   ratio %.2f (target %s)", Title,
                t.Measured, t.Floor, t.Measured / t.Floor, Target);
    Verdict(Met(t));

    const TListView& list = Form.CacheListView;
    const std::size_t rows = list.ItemCount();
    const std::size_t hosts = HostNodeCount(Form.CacheTreeView);
    bool ordered = true;
    for (std::size_t i = 1; i < rows && ordered; ++i)
        ordered = lstrcmpA(std::string(list.Caption(i - 1)).c_str(), std::string(list.Caption(i)).c_str()) <= 0;
    std::printf("      [rows %zu%s, host nodes %zu under the root, entries the floor saw %zu;"
                " the first LoadCache (fresh memory): %.3f s]\n",
                rows, ordered ? " in lstrcmpA order" : "", hosts, delivered, first);
    Check(delivered == Expected, "the floor enumerated every entry");
    Check(rows == delivered, "the list holds one row per entry");
    Check(ordered, "the rows stand in lstrcmpA order");
    Check(hosts == ExpectedHosts, "one host node per distinct host");
    Check(Form.CacheTreeView.Count() == hosts + 1, "the tree holds the root and the host nodes");
    return t;
}

// What a host selection is measured against.
enum class THostFloor {
    Component,   // the cache component's GetEntryInfo for each line
    OneLookUp,   // one GetUrlCacheEntryInfoExA call per line, into a buffer that holds any entry
};

// Selecting the big host's node against its floor.
TPair MeasureHostSelection(TfrmMorvane& Form, const char* Title, const std::vector<std::string>& Urls,
                           THostFloor Floor, double Target)
{
    TIECache floorCache;
    floorCache.SetFilterOptions(WindowFilter());
    std::vector<std::byte> buffer(64 * 1024);
    std::size_t found = 0;
    HTREEITEM node = HostNode(Form.CacheTreeView, BigHost);
    Check(node != nullptr, "the big host has a node");
    TPair t = BestOf(
        [&] {
            found = 0;
            for (const std::string& url : Urls) {
                if (Floor == THostFloor::Component) {
                    found += floorCache.GetEntryInfo(url) == 0;
                    continue;
                }
                DWORD size = static_cast<DWORD>(buffer.size());
                found += CacheApi::Api().GetUrlCacheEntryInfoExA(
                             url.c_str(), reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data()), &size,
                             nullptr, nullptr, nullptr, 0) != FALSE;
            }
        },
        [&] { Form.CacheTreeView.Select(node); },
        // No node selected between runs, so that each run is a change of selection.
        [&] { Form.CacheTreeView.Select(nullptr); });
    std::printf("%s: %.4f s   floor (%zu %s): %.4f s   ratio %.2f (target <= %.2f)", Title, t.Measured,
                Urls.size(), Floor == THostFloor::Component ? "GetEntryInfo" : "look-ups, one call each", t.Floor,
                t.Measured / t.Floor, Target);
    Verdict(t.Measured <= Target * t.Floor);
    const std::size_t rows = Form.CacheListView.ItemCount();
    const std::string status = Form.sStatusBar1.SimpleText();

    // The tree control's own part: selecting the node with no handler to list it.
    double treeAlone = 1e30;
    {
        auto handler = std::move(Form.CacheTreeView.OnChange);
        Form.CacheTreeView.OnChange = nullptr;
        for (int run = 0; run < Runs; ++run) {
            Form.CacheTreeView.Select(nullptr);
            treeAlone = std::min(treeAlone, Seconds([&] { Form.CacheTreeView.Select(node); }));
        }
        Form.CacheTreeView.OnChange = std::move(handler);
    }
    // Two parts of a selection that do not depend on the number of lines: the
    // first row shown in the detail pane, and the list's repainting resumed.
    TListView& list = Form.CacheListView;
    double detail = 1e30, resume = 1e30;
    for (int run = 0; run < Runs; ++run) {
        list.SetSelectedIndex(-1);
        detail = std::min(detail, Seconds([&] { list.SetSelectedIndex(0); }));
        resume = std::min(resume, Seconds([&] {
            list.BeginUpdate();
            list.EndUpdate();
        }));
    }
    const double lines = static_cast<double>(Urls.size());
    const double perLine = (t.Measured - t.Floor - detail - resume) / lines;
    char rest[96];
    if (perLine >= 0)
        std::snprintf(rest, sizeof rest, "%.2f us a line", perLine * 1e6);
    else
        std::snprintf(rest, sizeof rest, "within the look-ups' own variation");
    std::printf("      [rows %zu, status \"%s\"; the first selection, which also expands the root: %.4f s;"
                " the tree control's own selection without a listing: %.4f s]\n"
                "      [of the selection: the first row shown in the detail pane %.4f s, the list's repainting"
                " resumed %.4f s; the rest beyond the look-ups %s, a look-up %.2f us]\n",
                rows, status.c_str(), t.FirstMeasured, treeAlone, detail, resume, rest, t.Floor / lines * 1e6);
    Check(found == Urls.size(), "the floor found every entry");
    Check(rows == Urls.size(), "the list holds the host's entries");
    Check(status == "Entries:  " + std::to_string(Urls.size()), "the status bar counts them");
    return t;
}

// The host nodes are made when the root is first opened; a listing made while
// the root is open removes the nodes made before. Both beside the floor.
void MeasureOpenRoot(TfrmMorvane& Form, double Floor, std::size_t ExpectedHosts)
{
    TTreeView& tree = Form.CacheTreeView;
    auto open = [&tree] {
        ::SendMessageA(tree.Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(tree.FirstNode()));
    };
    double opening = 1e30, refresh = 1e30;
    std::size_t made = 0;
    for (int run = 0; run < Runs; ++run) {
        Form.LoadCache();
        opening = std::min(opening, Seconds(open));
        made = tree.Count() - 1;
        refresh = std::min(refresh, Seconds([&] { Form.LoadCache(); }));
    }
    std::printf("      [opening the root after a listing (making %zu host nodes): %.3f s; a listing made while the"
                " root is open (removing them): %.3f s, %.2f x the floor]\n",
                made, opening, refresh, refresh / Floor);
    Check(made == ExpectedHosts, "opening the root made every host node");
    Check(tree.Count() == 1 && !tree.Expanded(tree.FirstNode()), "the listing left a closed root, its hosts not made");
}

// --- Previewing a large cached file ------------------------------------------------------------------------------

constexpr std::size_t LargeFileBytes = 50u << 20;

// A text file of LargeFileBytes bytes in lines of 60 characters, in the
// prefix's temporary folder; made once and kept for later runs.
std::string LargeTextFile()
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "listing-bench-large[1].txt";
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeHigh == 0 &&
        data.nFileSizeLow == LargeFileBytes)
        return path;
    std::string block;
    for (std::size_t line = 0; block.size() < (1u << 20); ++line) {
        char text[96];
        std::snprintf(text, sizeof text, "%08zu the quick brown fox jumps over the lazy dog, line\r\n", line);
        block += text;
    }
    block.resize(1u << 20);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    bool ok = true;
    for (std::size_t done = 0; ok && done < LargeFileBytes; done += block.size()) {
        DWORD written = 0;
        ok = WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) &&
             written == block.size();
    }
    CloseHandle(file);
    return ok ? path : std::string();
}

// Selecting the one row of a cache whose entry is a 50 MB text file, with the
// preview on, against reading the preview's limit of the file once. The
// memory figures are taken before any listing, while the peak working set is
// still that of the process at rest.
void MeasureLargePreview(TfrmMorvane& Form)
{
    const std::string path = LargeTextFile();
    Check(!path.empty(), "the 50 MB file was written");
    if (path.empty())
        return;
    TBenchEntry e;
    e.Url = "http://downloads.example.org/large.txt";
    e.LocalFile = path;
    e.Extension = "txt";
    e.Size = static_cast<DWORD>(LargeFileBytes);
    TLeanCache cache;
    cache.Append(e);
    std::mt19937 random(1);
    cache.Shuffle(random); // indexes it by URL
    Lean = &cache;
    CacheApi::TScopedBinding binding(LeanBinding());
    Form.LoadCache();
    TListView& list = Form.CacheListView;
    list.SetSelectedIndex(-1);
    Form.HeaderMemo.Clear();

    // The peak of the process so far lies above its working set now: memory,
    // touched and kept through the selection, raises the working set to it, so
    // that the peak after the selection tells what the selection added.
    std::vector<char> ballast;
    if (PeakWorkingSet() > WorkingSet())
        ballast.assign(PeakWorkingSet() - WorkingSet(), 1);
    const std::size_t before = WorkingSet();
    const std::size_t peakBefore = PeakWorkingSet();
    double first = Seconds([&] { list.SetSelectedIndex(0); });
    const std::size_t peakAfter = PeakWorkingSet();
    const std::size_t held = WorkingSet();
    const int shown = GetWindowTextLengthA(Form.HeaderMemo.Handle());

    std::string bytes;
    TPair t = BestOf(
        [&] {
            HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
            bytes = std::string(PreviewLimit, '\0');
            DWORD got = 0;
            ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
            bytes.resize(got);
            CloseHandle(file);
        },
        [&] { list.SetSelectedIndex(0); },
        // As after another entry: the text view holds nothing of the file.
        [&] {
            list.SetSelectedIndex(-1);
            Form.HeaderMemo.Clear();
        });
    std::printf("Select a cached text file of %zu MB: %.3f s   floor (reading %zu KB of it once): %.4f s"
                "   (target < 0.5 s)",
                LargeFileBytes >> 20, t.Measured, PreviewLimit >> 10, t.Floor);
    Verdict(t.Measured < 0.5);
    // The text made of what was read, the text view's own copy in UTF-16 and
    // the conversion that fills it, and the view's line records.
    const double rise = peakAfter > before ? static_cast<double>(peakAfter - before) : 0.0;
    std::printf("   peak working set %.1f MB above the %.1f MB before, %.1f x the read limit   (target <= 8 x)",
                rise / MB, before / MB, rise / PreviewLimit);
    Verdict(peakAfter > 0 && rise <= 8.0 * PreviewLimit);
    std::printf("      [the first selection: %.3f s; the peak before it %.1f MB (what lies above the working set"
                " counts as added); still held after it: %.1f MB; the text view holds %d characters]\n",
                first, peakBefore / MB, held > before ? (held - before) / MB : 0.0, shown);
    Check(bytes.size() == PreviewLimit, "the floor read the limit");
    Check(shown > 0 && Form.HeaderMemo.Text().ends_with(" of 52428800 bytes are shown.]"),
          "the text view shows the first part of the file and says so");
    list.SetSelectedIndex(-1);
    Form.HeaderMemo.Clear();
    Form.CacheListView.ClearItems();
    Form.CacheTreeView.ClearNodes();
    Lean = nullptr;
}

// --- The parts of a listing, timed apart ----------------------------------------------------------------------------

void Profile(TfrmMorvane& Form, std::size_t Count)
{
    std::printf("\nParts of a listing of %zu entries: each stage enumerates and does the work of the stage\n"
                "before it and one part more, as the window does for every entry (best of %d):\n",
                Count, Runs);
    TIECache cache;
    cache.SetFilterOptions(WindowFilter());
    const TSortKeyMaker maker(GetThreadLocale(), RowKeyFlags);
    TSortKey key;
    THostMap map;
    TTextBlocks keyTexts;
    std::vector<std::string_view> keys;
    std::unique_ptr<TDateTimeTexts> times;
    TListRows rows;
    std::vector<TDateTime> accessTimes;
    const char* const names[] = {"enumeration alone (the floor)", "+ HostOfUrl", "+ THostMap::Add", "+ row key",
                                 "+ TDateTimeTexts", "+ the row's texts"};
    double previous = 0;
    for (int stage = 0; stage < 6; ++stage) {
        double best = 1e30;
        for (int run = 0; run < Runs; ++run) {
            map.Clear();
            keyTexts.Clear();
            keys.clear();
            rows.Clear();
            times = std::make_unique<TDateTimeTexts>();
            cache.OnEntry = [&](TIECache& Sender, bool&) {
                const TEntryInfo& e = Sender.EntryInfo();
                if (stage >= 1) {
                    std::string_view label = map.HostOfUrl(e.SourceUrlName);
                    if (stage >= 2)
                        map.Add(label, e.SourceUrlName, e.CacheEntryType);
                }
                if (stage >= 3) {
                    keys.push_back(maker.Make(e.SourceUrlName, keyTexts, key));
                }
                std::string_view date;
                if (stage >= 4)
                    date = times->Text(e.LastAccessTime);
                if (stage == 5 && run == 0)
                    accessTimes.push_back(e.LastAccessTime);
                if (stage >= 5)
                    rows.Add(e.SourceUrlName, {date, UnsignedText(e.HitRate), UnsignedText(e.Size), e.LocalFileName});
            };
            best = std::min(best, Seconds([&] { cache.RetrieveEntries(0); }));
        }
        std::printf("  %-32s %.3f s   (%+.3f s)\n", names[stage], best, stage ? best - previous : 0.0);
        previous = best;
    }
    THostList hosts;
    const std::size_t hostCount = map.Count();
    std::printf("  THostMap::TakeSorted (%zu hosts)  %.3f s\n", hostCount, Seconds([&] { hosts = map.TakeSorted(); }));
    std::printf("  sorting the rows: KeyOrder           %.3f s\n", Seconds([&] { rows.Reorder(KeyOrder(keys)); }));

    // Each speed-up of the listing beside the plain way it replaces, for all
    // the rows of this listing.
    std::printf("\nWhat each speed-up saves at %zu entries (best of %d; with it / without it):\n", rows.Count(), Runs);
    auto bestOf = [](const std::function<void()>& Run) {
        double best = 1e30;
        for (int run = 0; run < Runs; ++run)
            best = std::min(best, Seconds(Run));
        return best;
    };
    auto saves = [](const char* What, double With, double Without) {
        std::printf("  %-44s %.3f s / %.3f s   saves %.3f s\n", What, With, Without, Without - With);
    };
    TTextBlocks assembled;
    saves(maker.Assembles() ? "row keys assembled / from LCMapStringA" : "row keys (NOT assembled here)",
          bestOf([&] {
              assembled.Clear();
              for (std::size_t i = 0; i < rows.Count(); ++i)
                  maker.Make(rows.Caption(i), assembled, key);
          }),
          bestOf([&] {
              for (std::size_t i = 0; i < rows.Count(); ++i)
                  maker.MapKey(rows.Caption(i), key);
          }));
    std::vector<uint32_t> order(keys.size());
    saves("key order: KeyOrder / std::stable_sort", bestOf([&] { KeyOrder(keys); }), bestOf([&] {
              std::iota(order.begin(), order.end(), 0u);
              std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
          }));
    auto timeTexts = [&](bool Learn) {
        return bestOf([&] {
            TDateTimeTexts texts(Learn);
            for (TDateTime t : accessTimes)
                texts.Text(t);
        });
    };
    saves("date texts: minutes learnt / each second asked", timeTexts(true), timeTexts(false));
    saves("date texts: TDateTimeTexts / DateTimeText", timeTexts(true), bestOf([&] {
              for (TDateTime t : accessTimes)
                  DateTimeText(t);
          }));
    std::printf("\n");
    std::printf("  TListView::SetRows                   %.3f s\n", Seconds([&] {
        Form.CacheListView.BeginUpdate();
        Form.CacheListView.SetRows(std::move(rows));
        Form.CacheListView.EndUpdate();
    }));
    TTreeView& tree = Form.CacheTreeView;
    Form.LoadCache();
    tree.FirstChild(tree.FirstNode()); // the host nodes made
    const std::size_t nodeCount = tree.Count();
    const std::size_t rowCount = Form.CacheListView.ItemCount();
    std::printf("  tree: clearing the listing's %zu nodes  %.3f s\n", nodeCount, Seconds([&] {
        tree.BeginUpdate();
        tree.ClearNodes();
        tree.EndUpdate();
    }));
    struct TNode : TTreeNodeData {
        explicit TNode(THostLines L) : Lines(std::move(L)) {}
        THostLines Lines;
    };
    std::printf("  tree: inserting %zu nodes            %.3f s\n", hosts.size(), Seconds([&] {
        tree.BeginUpdate();
        HTREEITEM root = tree.AddChild(nullptr, "All entries");
        for (std::size_t i = 0; i < hosts.size(); ++i)
            tree.AddChild(root, hosts.Label(i), std::make_unique<TNode>(hosts.Lines(i)));
        tree.EndUpdate();
    }));
    std::printf("  tree: clearing them                  %.3f s\n", Seconds([&] {
        tree.BeginUpdate();
        tree.ClearNodes();
        tree.EndUpdate();
    }));
    std::printf("  list: clearing %zu rows         %.3f s\n", rowCount,
                Seconds([&] { Form.CacheListView.ClearItems(); }));
}

// --- Wine's real WinINet ------------------------------------------------------------------------------------------

const char* const RealMarker = "http://listing-bench.example.org/complete";
constexpr std::size_t RealEntries = 5000;

bool WriteFileBytes(const char* Name, const std::string& Bytes)
{
    HANDLE file = CreateFileA(Name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr) &&
                    written == Bytes.size();
    CloseHandle(file);
    return ok;
}

bool Commit(const TBenchEntry& e)
{
    char file[MAX_PATH] = {};
    const bool hasFile = e.Type != URLHISTORY_CACHE_ENTRY;
    if (hasFile) {
        if (!CreateUrlCacheEntryA(e.Url.c_str(), 0, e.Extension.empty() ? nullptr : e.Extension.c_str(), file, 0))
            return false;
        if (!WriteFileBytes(file, std::string(200 + e.Size % 1800, 'x')))
            return false;
    }
    std::string header = e.Header;
    return CommitUrlCacheEntryA(e.Url.c_str(), hasFile ? file : nullptr, e.Expire, e.LastModified, e.Type,
                                header.empty() ? nullptr : reinterpret_cast<LPBYTE>(header.data()),
                                static_cast<DWORD>(header.size()), e.Extension.empty() ? nullptr : e.Extension.c_str(),
                                nullptr) != FALSE;
}

// Fills the prefix's cache with the benchmark's entries once; a marker entry
// committed last tells a later run that they are there.
bool SeedRealCache(const std::vector<TBenchEntry>& Entries)
{
    DWORD size = 0;
    GetUrlCacheEntryInfoA(RealMarker, nullptr, &size);
    if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        std::printf("(the prefix's cache already holds the benchmark's entries)\n");
        return true;
    }
    if (!MayWriteRealCache()) {
        std::printf("   not filled: %s\n", RealCacheOptIn);
        return false;
    }
    std::printf("(committing %zu entries into the prefix's cache ...", Entries.size());
    std::fflush(stdout);
    const double t = Now();
    std::size_t failed = 0;
    for (const TBenchEntry& e : Entries)
        failed += !Commit(e);
    TBenchEntry marker;
    marker.Url = RealMarker;
    marker.Extension = "htm";
    const bool markerOk = Commit(marker);
    std::printf(" %.1f s, %zu failed)\n", Now() - t, failed);
    return failed == 0 && markerOk;
}

// The real cache's entries: the mix of MakeEntries; the cache keeps their
// times as given.
std::vector<TBenchEntry> RealCacheEntries(std::vector<std::string>& BigHostUrls)
{
    std::mt19937 random(20240607u + static_cast<unsigned>(RealEntries));
    std::vector<TBenchEntry> entries;
    MakeEntries(RealEntries, random, BigHostUrls, [&entries](const TBenchEntry& e) { entries.push_back(e); });
    std::shuffle(entries.begin(), entries.end(), random);
    return entries;
}

} // namespace

int main(int argc, char** argv)
{
    const bool profile = argc > 1 && std::strcmp(argv[1], "--profile") == 0;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Application().Initialize();
    Application().SetTitle("Morvane");
    TFormPtr<TfrmMorvane> owner = MakeForm<TfrmMorvane>();
    TfrmMorvane& form = *owner;

    std::printf("Morvane listing benchmark: each figure is the best of %d runs (QueryPerformanceCounter),\n"
                "the window's work beside the cache component's own work for the same entries (the floor).\n"
                "Each timed LoadCache replaces the listing of the run before, as a refresh does.\n\n",
                Runs);

    // A large cached file, while the process is still at rest.
    std::printf("The detail pane (in-memory stand-in):\n");
    MeasureLargePreview(form);

    // The in-memory stand-in.
    std::printf("\nIn-memory WinINet stand-in (documents, cookies and visited-link records; 20%% distinct hosts):\n");
    const std::size_t baseline = WorkingSet();
    TPair small, large;
    std::size_t leanBytes = 0;
    std::size_t peak = 0, shown = 0, switched = 0;
    for (std::size_t count : {std::size_t(10000), std::size_t(100000)}) {
        std::vector<std::string> bigHostUrls;
        // Every host of MakeEntries has entries, and no two are the same host.
        const std::size_t expectedHosts = count / 5;
        std::unique_ptr<TLeanCache> lean = MakeLeanCache(count, bigHostUrls);
        leanBytes = lean->Bytes();
        Lean = lean.get();
        CacheApi::TScopedBinding binding(LeanBinding());
        char title[64];
        std::snprintf(title, sizeof title, "LoadCache %zu entries", count);
        if (count == 10000) {
            small = MeasureLoadCache(form, title, count, expectedHosts, "<= 3",
                                     [](const TPair& t) { return t.Measured <= 3 * t.Floor; });
        } else {
            large = MeasureLoadCache(form, title, count, expectedHosts, "<= 3, < 1 s",
                                     [](const TPair& t) { return t.Measured <= 3 * t.Floor && t.Measured < 1.0; });
            std::snprintf(title, sizeof title, "Select a host of %zu lines (of %zu)", bigHostUrls.size(), count);
            MeasureHostSelection(form, title, bigHostUrls, THostFloor::Component, 1.1);
            MeasureOpenRoot(form, large.Floor, expectedHosts);
            peak = PeakWorkingSet();
            // A small listing after the large one, as a change of the kind shown gives.
            shown = WorkingSet();
            std::vector<std::string> fewUrls;
            const std::unique_ptr<TLeanCache> few = MakeLeanCache(1000, fewUrls);
            Lean = few.get();
            form.LoadCache();
            switched = WorkingSet();
            Lean = lean.get();
            if (profile)
                Profile(form, count);
        }
        form.CacheTreeView.ClearNodes();
        form.CacheListView.ClearItems();
        Lean = nullptr;
    }
    std::printf("Growth from 10,000 to 100,000 entries: %.1f x   (floor %.1f x)   target <= 12 x",
                large.Measured / small.Measured, large.Floor / small.Floor);
    Verdict(large.Measured <= 12 * small.Measured);
    std::printf("Peak working set: %.1f MB   target < 150 MB", peak / MB);
    Verdict(peak > 0 && peak < 150 * MB);
    std::printf("      [the process before the stand-in and the listings %.1f MB; the stand-in's entries add %.1f MB]\n",
                baseline / MB, leanBytes / MB);
    std::printf("      [working set with the 100,000-entry listing shown %.1f MB; after switching from it to a listing"
                " of 1,000 entries %.1f MB]\n",
                shown / MB, switched / MB);

    // Wine's real WinINet in this prefix.
    std::printf("\nWine's WinINet (%zu committed entries in this prefix, one host of %zu):\n", RealEntries,
                BigHostEntries);
    std::vector<std::string> bigHostUrls;
    const std::vector<TBenchEntry> entries = RealCacheEntries(bigHostUrls);
    if (!SeedRealCache(entries)) {
        std::printf("   could not fill the cache\n");
        return 1;
    }
    // The marker entry is one more, under a host of its own.
    MeasureLoadCache(form, "LoadCache 5001 entries", RealEntries + 1, RealEntries / 5 + 1, "<= 1.1",
                     [](const TPair& t) { return t.Measured <= 1.1 * t.Floor; });
    MeasureHostSelection(form, "Select a host of 1000 lines (of 5001)", bigHostUrls, THostFloor::OneLookUp,
                         1.15);

    std::printf("\n%s\n", Missed ? "Some figures miss their targets." : "Every figure meets its target.");
    return Missed ? 1 : 0;
}
