#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "TrickyTexts.h"
#include "app/SortKeys.h"

namespace {

int Sign(int Value) { return (Value > 0) - (Value < 0); }

struct TRow {
    std::string Caption;
    TSortKey Key;
    int Seq;
};

std::vector<TRow> MakeRows(const std::vector<std::string>& Captions)
{
    std::vector<TRow> rows;
    for (const std::string& caption : Captions)
        rows.push_back({caption, RowKey(caption), static_cast<int>(rows.size())});
    return rows;
}

std::vector<int> Seqs(const std::vector<TRow>& Rows)
{
    std::vector<int> seqs;
    for (const TRow& row : Rows)
        seqs.push_back(row.Seq);
    return seqs;
}

// Restores the thread's locale when a test has changed it.
class TThreadLocaleGuard {
public:
    TThreadLocaleGuard() : FSaved(GetThreadLocale()) {}
    ~TThreadLocaleGuard() { SetThreadLocale(FSaved); }
    TThreadLocaleGuard(const TThreadLocaleGuard&) = delete;
    TThreadLocaleGuard& operator=(const TThreadLocaleGuard&) = delete;

private:
    LCID FSaved;
};

TEST(RowKey, OrdersAsLstrcmp)
{
    const std::vector<std::string> captions = TrickyCaptions();
    const std::vector<TRow> rows = MakeRows(captions);
    int mismatches = 0;
    for (const TRow& a : rows)
        for (const TRow& b : rows)
            if (Sign(a.Key.compare(b.Key)) != Sign(lstrcmpA(a.Caption.c_str(), b.Caption.c_str())) && ++mismatches <= 10)
                ADD_FAILURE() << "[" << a.Caption << "] vs [" << b.Caption << "]";
    EXPECT_EQ(mismatches, 0);
}

TEST(RowKey, FollowsTheThreadLocaleAndAnsiCodePageAsLstrcmpDoes)
{
    TThreadLocaleGuard guard;
    // Swedish puts "\xe4" after "z"; Russian would read "\xe0" as a Cyrillic
    // letter, but lstrcmpA converts through the ANSI code page.
    for (LCID locale : {LCID(0x41d), LCID(0x419), LCID(0x409)}) {
        ASSERT_TRUE(SetThreadLocale(locale));
        for (const auto& [a, b] : {std::pair{"\xe4", "z"}, std::pair{"\xe0", "b"}, std::pair{"co-op", "coop"}})
            EXPECT_EQ(Sign(RowKey(a).compare(RowKey(b))), Sign(lstrcmpA(a, b))) << std::hex << locale << " " << a;
    }
}

TEST(RowOrder, SortKeepsEqualKeysInTheirOrder)
{
    // "ss" and "\xdf", "a" and "a" with a soft hyphen are equal to lstrcmpA.
    ASSERT_EQ(lstrcmpA("ss", "\xdf"), 0);
    ASSERT_EQ(lstrcmpA("a", "a\xad"), 0);
    std::vector<TRow> rows = MakeRows({"ss", "a", "\xdf", "B", "a\xad", "b", "\xdf"});
    SortRowsByKey(rows, &TRow::Key);
    EXPECT_EQ(Seqs(rows), (std::vector<int>{1, 4, 5, 3, 0, 2, 6}));
}

TEST(RowOrder, RowsInsertedOneAtATimeStandAsSorted)
{
    std::vector<std::string> captions = TrickyCaptions();
    std::shuffle(captions.begin(), captions.end(), std::mt19937(42));
    const std::vector<TRow> enumerated = MakeRows(captions);

    std::vector<TRow> inserted;
    for (const TRow& row : enumerated)
        inserted.insert(inserted.begin() + static_cast<std::ptrdiff_t>(RowInsertPosition(inserted, row.Key, &TRow::Key)), row);

    std::vector<TRow> sorted = enumerated;
    SortRowsByKey(sorted, &TRow::Key);
    EXPECT_EQ(Seqs(inserted), Seqs(sorted));
    for (std::size_t i = 1; i < sorted.size(); ++i)
        EXPECT_LE(lstrcmpA(sorted[i - 1].Caption.c_str(), sorted[i].Caption.c_str()), 0)
            << "[" << sorted[i - 1].Caption << "] before [" << sorted[i].Caption << "]";
}

TEST(RowOrder, InsertPositionAtTheEnds)
{
    std::vector<TRow> rows = MakeRows({"http://b/", "http://c/"});
    EXPECT_EQ(RowInsertPosition(rows, RowKey("http://a/"), &TRow::Key), 0u);
    EXPECT_EQ(RowInsertPosition(rows, RowKey("http://b/"), &TRow::Key), 1u);
    EXPECT_EQ(RowInsertPosition(rows, RowKey("http://d/"), &TRow::Key), 2u);
    EXPECT_EQ(RowInsertPosition(std::vector<TRow>{}, RowKey(""), &TRow::Key), 0u);
}

} // namespace
