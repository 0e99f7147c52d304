#include "app/PendingRows.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

void TPendingRows::Begin(TListRows Old)
{
    FRows = std::move(Old);
    FRows.Clear();
    FKeyTexts.Clear();
    FKeys.clear();
    // A maker checks its locale's keys when it is made, which takes a while:
    // it is made again only when the thread's locale has changed.
    const LCID locale = GetThreadLocale();
    if (!FMaker || FMaker->Locale() != locale)
        FMaker.emplace(locale, RowKeyFlags);
    FTimes.Clear();
}

void TPendingRows::AddKey(std::string_view Caption)
{
    if (!FMaker)
        Begin();
    if (FKeys.size() >= UINT32_MAX)
        throw std::length_error("too many list rows");
    FKeys.push_back(FMaker->Make(Caption, FKeyTexts, FKey));
}

void TPendingRows::Add(const TEntryInfo& Entry)
{
    AddKey(Entry.SourceUrlName);
    char hitRate[10], size[10];
    const char* hitRateEnd = std::to_chars(hitRate, hitRate + sizeof hitRate, Entry.HitRate).ptr;
    const char* sizeEnd = std::to_chars(size, size + sizeof size, Entry.Size).ptr;
    try {
        FRows.Add(Entry.SourceUrlName, {FTimes.Text(Entry.LastAccessTime),
                                        std::string_view(hitRate, static_cast<std::size_t>(hitRateEnd - hitRate)),
                                        std::string_view(size, static_cast<std::size_t>(sizeEnd - size)),
                                        Entry.LocalFileName});
    } catch (...) {
        FKeys.pop_back();
        throw;
    }
}

void TPendingRows::AddUrl(std::string_view Url)
{
    AddKey(Url);
    try {
        FRows.Add(Url, {{}, {}, {}, {}});
    } catch (...) {
        FKeys.pop_back();
        throw;
    }
}

TListRows TPendingRows::TakeSorted()
{
    FRows.Reorder(KeyOrder(FKeys));
    FRows.Trim();
    TListRows rows = std::move(FRows);
    FRows.Clear();
    FKeys.clear();
    FKeyTexts.Trim();
    FKeyTexts.Clear();
    FTimes.Clear();
    return rows;
}
