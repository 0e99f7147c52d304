// The order of a listing's rows: that of lstrcmpA on the captions, in the
// thread's locale, rows of equal captions in their order of arrival.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "TrickyTexts.h"
#include "app/PendingRows.h"

namespace {

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

// Lists Captions in their order, each row's hit rate its place of arrival,
// and expects every row before every later one by lstrcmpA, rows of equal
// captions in their order of arrival. Old: the rows a list let go of.
TListRows ExpectListedInLstrcmpOrder(TPendingRows& Pending, const std::vector<std::string>& Captions,
                                     TListRows Old = {})
{
    Pending.Begin(std::move(Old));
    for (std::size_t i = 0; i < Captions.size(); ++i) {
        TEntryInfo entry;
        entry.SourceUrlName = Captions[i];
        entry.HitRate = static_cast<uint32_t>(i);
        Pending.Add(entry);
    }
    TListRows rows = Pending.TakeSorted();
    EXPECT_EQ(rows.Count(), Captions.size());
    int wrong = 0;
    for (std::size_t i = 0; i < rows.Count(); ++i) {
        const std::string a(rows.Caption(i));
        for (std::size_t j = i + 1; j < rows.Count(); ++j) {
            const std::string b(rows.Caption(j));
            const int order = lstrcmpA(a.c_str(), b.c_str());
            if ((order > 0 || (order == 0 && std::stoul(std::string(rows.Text(i, 2))) >
                                                  std::stoul(std::string(rows.Text(j, 2))))) &&
                ++wrong <= 10)
                ADD_FAILURE() << "[" << a << "] before [" << b << "] in locale " << std::hex << GetThreadLocale();
        }
    }
    EXPECT_EQ(wrong, 0);
    return rows;
}

TEST(PendingRows, StandInLstrcmpOrderWhateverTheOrderOfArrival)
{
    std::vector<std::string> captions = TrickyCaptions();
    // Equal to lstrcmpA: "ss" and "\xdf", "a" and "a" with a soft hyphen, and a caption twice.
    for (const char* caption : {"ss", "\xdf", "a", "a\xad", "http://host/a", "ss"})
        captions.push_back(caption);
    std::shuffle(captions.begin(), captions.end(), std::mt19937(42));
    TPendingRows pending;
    TListRows rows = ExpectListedInLstrcmpOrder(pending, captions);
    // The next listings take the memory of the rows before: a shorter one, and a longer one again.
    std::vector<std::string> fewer(captions.rbegin(), captions.rbegin() + 20);
    rows = ExpectListedInLstrcmpOrder(pending, fewer, std::move(rows));
    ExpectListedInLstrcmpOrder(pending, captions, std::move(rows));
}

TEST(PendingRows, FollowTheThreadLocaleAndAnsiCodePageAsLstrcmpDoes)
{
    // Swedish puts "\xe4" after "z"; Russian would read "\xe0" as a Cyrillic
    // letter, but lstrcmpA converts through the ANSI code page. Czech "ch",
    // Hungarian "cs" and "dzs", traditional Spanish "ll" and Danish "aa" are
    // one letter each, with a place of its own.
    const std::vector<std::string> texts = {"\xe4", "z", "\xe0", "b", "co-op", "coop", "ch", "cha", "hch", "ci",
                                            "Ch", "CH", "cs", "dzs", "dz", "ccs", "ny", "ll", "lla", "l", "aa",
                                            "Aa", "a", "h", "d"};
    TThreadLocaleGuard guard;
    TPendingRows pending;
    for (LCID locale : {LCID(0x41d), LCID(0x419), LCID(0x405), LCID(0x40e), LCID(0x40a), LCID(0x406), LCID(0x409)}) {
        ASSERT_TRUE(SetThreadLocale(locale));
        ExpectListedInLstrcmpOrder(pending, texts);
    }
}

} // namespace
