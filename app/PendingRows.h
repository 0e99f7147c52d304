// TPendingRows: the rows of one listing, gathered while the list's repainting
// is suspended and put in caption order once, before the list shows them: the
// order of lstrcmpA on the captions, rows of equal captions in their order of
// arrival, whatever the order in which the entries came.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "app/DisplayText.h"
#include "app/SortKeys.h"
#include "cache/EntryTypes.h"
#include "ui/ListView.h"
#include "base/TextBlocks.h"

class TPendingRows {
public:
    // Starts a listing with no rows, in the memory of Old (the rows the list
    // let go of): keys in the calling thread's present locale, times in the
    // user's present formats.
    void Begin(TListRows Old = {});
    // The row of an entry: its URL, last access time, hit rate, size and file name.
    void Add(const TEntryInfo& Entry);
    // A row of a URL alone, its other cells empty.
    void AddUrl(std::string_view Url);

    std::size_t Count() const { return FRows.Count(); }

    // The rows in caption order; none are left. What this listing did not
    // need of the memory kept from the one before is freed.
    TListRows TakeSorted();

private:
    void AddKey(std::string_view Caption);

    TListRows FRows;
    TTextBlocks FKeyTexts;
    std::vector<std::string_view> FKeys; // of the rows, in their order of arrival
    std::optional<TSortKeyMaker> FMaker; // for the thread's locale at Begin
    TSortKey FKey;
    TDateTimeTexts FTimes;
};
