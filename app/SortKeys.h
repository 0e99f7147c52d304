// Sort keys: byte strings from the locale services (LCMapStringA with
// LCMAP_SORTKEY) that order and match texts exactly as the locale's string
// comparison does, so a list can be sorted or searched with plain byte
// comparisons instead of one locale call per comparison.
//
// Two keys compare with the ordinary std::string operators (unsigned bytes,
// a shorter key that is a prefix of a longer one first).
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

using TSortKey = std::string;

// The key under which host labels are matched and ordered: equal keys exactly
// when CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, ...) finds the texts
// equal, and key order is its order.
TSortKey HostLabelKey(std::string_view Label);
// The same into a buffer that the caller keeps, so repeated calls need no new memory.
void HostLabelKey(std::string_view Label, TSortKey& Key);

// The key of a list row's caption: key order is the order of lstrcmpA (the
// calling thread's locale, the ANSI code page, letter case significant).
TSortKey RowKey(std::string_view Caption);
void RowKey(std::string_view Caption, TSortKey& Key);

// Sorts Rows into key order; rows with equal keys keep their present order.
// KeyOf is anything std::invoke can apply to a row to read its key by
// reference, such as a pointer to a TSortKey data member.
template <class TRow, class TKeyOf>
void SortRowsByKey(std::vector<TRow>& Rows, TKeyOf KeyOf)
{
    std::stable_sort(Rows.begin(), Rows.end(), [&KeyOf](const TRow& A, const TRow& B) {
        return std::invoke(KeyOf, A) < std::invoke(KeyOf, B);
    });
}

// Where a row with the key Key joins Rows, which are in key order: after
// every row whose key is not greater, so rows inserted one at a time stand
// as SortRowsByKey would have put them.
template <class TRow, class TKeyOf>
std::size_t RowInsertPosition(const std::vector<TRow>& Rows, const TSortKey& Key, TKeyOf KeyOf)
{
    auto at = std::upper_bound(Rows.begin(), Rows.end(), Key, [&KeyOf](const TSortKey& K, const TRow& Row) {
        return K < std::invoke(KeyOf, Row);
    });
    return static_cast<std::size_t>(at - Rows.begin());
}
