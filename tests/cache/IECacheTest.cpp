// TIECache against the scripted WinINet: one call into a kept buffer that
// grows when an entry needs more, the codes, the enumeration loop, the filter
// mask and patterns, the entry record and the library check.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ScriptedWinInet.h"
#include "cache/IECache.h"

namespace {

FILETIME FileTimeOf(WORD Year, WORD Month, WORD Day, WORD Hour = 0, WORD Minute = 0, WORD Second = 0, WORD Ms = 0)
{
    SYSTEMTIME st{Year, Month, 0, Day, Hour, Minute, Second, Ms};
    FILETIME ft{};
    EXPECT_TRUE(SystemTimeToFileTime(&st, &ft));
    return ft;
}

const TFilterOptions WindowSet{NORMAL_ENTRY, STICKY_ENTRY, COOKIE_ENTRY, URLHISTORY_ENTRY, TRACK_OFFLINE_ENTRY,
    TRACK_ONLINE_ENTRY};

// Lists what an enumeration delivers, reading EntryInfo inside each OnEntry call.
std::vector<std::string> Listing(TIECache& Cache)
{
    std::vector<std::string> urls;
    Cache.OnEntry = [&](TIECache& Sender, bool&) { urls.push_back(Sender.EntryInfo().SourceUrlName); };
    Cache.RetrieveEntries(0);
    return urls;
}

class IECacheTest : public ::testing::Test {
protected:
    TScriptedWinInet Script;
};

// --- The sizing and its codes ------------------------------------------------------------

TEST_F(IECacheTest, OneCallWhereTheEntryFitsAndTheBufferGrowsToTheSizeAnEntryNeeds)
{
    TScriptEntry small = EntryNamed("http://example.org/small");
    TScriptEntry big = EntryNamed("http://example.org/big");
    big.ExtraBytes = 6001; // an odd size, larger than the first buffer
    Script.Entries = {small, big};
    TIECache cache;
    ASSERT_EQ(cache.GetEntryInfo("http://example.org/small"), 0u);
    ASSERT_EQ(Script.InfoCalls.size(), 1u);
    const DWORD first = Script.InfoCalls[0].SizeIn;
    EXPECT_FALSE(Script.InfoCalls[0].NullBuffer);
    EXPECT_EQ(Script.InfoCalls[0].Allocated, first);

    Script.InfoCalls.clear();
    ASSERT_EQ(cache.GetEntryInfo("http://example.org/big"), 0u);
    EXPECT_EQ(cache.EntryInfo().SourceUrlName, "http://example.org/big");
    const DWORD required = TScriptedWinInet::RequiredSize(big);
    ASSERT_GT(required, first);
    ASSERT_EQ(Script.InfoCalls.size(), 2u);
    EXPECT_EQ(Script.InfoCalls[0].SizeIn, first);
    EXPECT_EQ(Script.InfoCalls[1].SizeIn, required);
    EXPECT_EQ(Script.InfoCalls[1].Allocated, required);

    // The grown buffer is kept: each entry again in one call.
    Script.InfoCalls.clear();
    ASSERT_EQ(cache.GetEntryInfo("http://example.org/small"), 0u);
    EXPECT_EQ(cache.EntryInfo().SourceUrlName, "http://example.org/small");
    ASSERT_EQ(cache.GetEntryInfo("http://example.org/big"), 0u);
    ASSERT_EQ(Script.InfoCalls.size(), 2u);
    EXPECT_EQ(Script.InfoCalls[0].SizeIn, required);
    EXPECT_EQ(Script.InfoCalls[1].SizeIn, required);
}

TEST_F(IECacheTest, AFailedLookUpReturnsTheCodeOfItsOneCallAndKeepsThePreviousEntry)
{
    Script.Entries = {EntryNamed("http://example.org/a")};
    TIECache cache;
    ASSERT_EQ(cache.GetEntryInfo("http://example.org/a"), 0u);
    for (DWORD code : {DWORD(ERROR_FILE_NOT_FOUND), DWORD(ERROR_ACCESS_DENIED), DWORD(ERROR_NO_MORE_ITEMS)}) {
        Script.LookupError = code;
        Script.InfoCalls.clear();
        EXPECT_EQ(cache.GetEntryInfo("http://example.org/missing"), code);
        EXPECT_EQ(cache.EntryInfo().SourceUrlName, "http://example.org/a");
        EXPECT_EQ(Script.InfoCalls.size(), 1u);
    }
}

TEST_F(IECacheTest, ALookUpThatSucceedsReportingNoBytesDeliversNothing)
{
    Script.Entries = {EntryNamed("http://example.org/a")};
    TIECache cache;
    ASSERT_EQ(cache.GetEntryInfo("http://example.org/a"), 0u);
    Script.ZeroSizeSucceeds = true;
    Script.InfoCalls.clear();
    EXPECT_EQ(cache.GetEntryInfo("http://example.org/b"), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(Script.InfoCalls.size(), 2u);
    // The buffer still holds "a", which is not copied again as if it were "b".
    EXPECT_EQ(cache.EntryInfo().SourceUrlName, "http://example.org/a");
}

TEST_F(IECacheTest, AnEntryThatGrowsBetweenTheCallsIsAskedForAgainUpToFourTimes)
{
    // Each larger than the buffer before it: the first call reports the size.
    Script.Entries = {EntryNamed("http://example.org/a"), EntryNamed("http://example.org/b"),
        EntryNamed("http://example.org/c")};
    Script.Entries[0].ExtraBytes = 6000;
    Script.Entries[1].ExtraBytes = 7000;
    TIECache cache;
    // Four growths: the call with the size reported first, and four more, each with the size reported last.
    Script.Growths = 4;
    ASSERT_EQ(cache.GetEntryInfo("http://example.org/a"), 0u);
    ASSERT_EQ(Script.InfoCalls.size(), 6u);
    for (size_t i = 1; i < 6; ++i) {
        EXPECT_EQ(Script.InfoCalls[i].SizeIn, TScriptedWinInet::RequiredSize(Script.Entries[0]) - (5 - i) * 40);
        EXPECT_EQ(Script.InfoCalls[i].Allocated, Script.InfoCalls[i].SizeIn);
    }
    // Five: the look-up gives up with "insufficient buffer" and keeps the entry it held.
    Script.Growths = 5;
    Script.InfoCalls.clear();
    EXPECT_EQ(cache.GetEntryInfo("http://example.org/b"), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(Script.InfoCalls.size(), 6u);
    EXPECT_EQ(cache.EntryInfo().SourceUrlName, "http://example.org/a");

    // A listing whose first and second entries grow still gives every entry,
    // and no enumeration is left open.
    TIECache fresh;
    Script.Growths = 3;
    std::vector<std::string> urls;
    fresh.OnEntry = [&](TIECache& Sender, bool&) {
        urls.push_back(Sender.EntryInfo().SourceUrlName);
        Script.Growths = urls.size() == 1 ? 3 : 0;
    };
    fresh.RetrieveEntries(0);
    EXPECT_EQ(urls, (std::vector<std::string>{"http://example.org/a", "http://example.org/b", "http://example.org/c"}));
    EXPECT_EQ(Script.FirstCalls.size(), 5u);   // the first call, the call with the size it reported, one per growth
    EXPECT_EQ(Script.ClosedHandles, Script.OpenedHandles);
}

TEST_F(IECacheTest, EnumerationMakesOneCallPerEntryThatFitsAndClosesItsHandle)
{
    Script.Entries = {EntryNamed("http://example.org/1"), EntryNamed("http://example.org/22"),
        EntryNamed("http://example.org/333"), EntryNamed("http://example.org/4444")};
    Script.Entries[2].ExtraBytes = 6000;
    TIECache cache;
    EXPECT_EQ(Listing(cache), (std::vector<std::string>{"http://example.org/1", "http://example.org/22",
                                  "http://example.org/333", "http://example.org/4444"}));

    ASSERT_EQ(Script.FirstCalls.size(), 1u);
    EXPECT_FALSE(Script.FirstCalls[0].NullBuffer);
    const DWORD first = Script.FirstCalls[0].SizeIn;
    // One call for "22", two for "333", which needs more, one for "4444" and one that meets the end (259).
    const DWORD grown = TScriptedWinInet::RequiredSize(Script.Entries[2]);
    ASSERT_EQ(Script.NextCalls.size(), 5u);
    const DWORD sizes[] = {first, first, grown, grown, grown};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_FALSE(Script.NextCalls[i].NullBuffer);
        EXPECT_EQ(Script.NextCalls[i].SizeIn, sizes[i]) << i;
    }
    EXPECT_EQ(Script.ClosedHandles, Script.OpenedHandles);
}

TEST_F(IECacheTest, AnyCodeOtherThanZeroEndsTheEnumeration)
{
    Script.Entries = {EntryNamed("http://example.org/1"), EntryNamed("http://example.org/2")};
    for (DWORD code : {DWORD(ERROR_FILE_NOT_FOUND), DWORD(ERROR_ACCESS_DENIED), DWORD(ERROR_INVALID_DATA)}) {
        Script.EndError = code;
        Script.ClosedHandles.clear();
        TIECache cache;
        EXPECT_EQ(Listing(cache).size(), 2u) << code;
        EXPECT_EQ(Script.ClosedHandles.size(), 1u);
    }
}

TEST_F(IECacheTest, FailedFindFirstFiresNothingAndClosesTheNullHandle)
{
    Script.Entries = {EntryNamed("http://example.org/1")};
    for (DWORD code : {DWORD(ERROR_FILE_NOT_FOUND), DWORD(ERROR_ACCESS_DENIED)}) {
        Script.FirstError = code;
        Script.ClosedHandles.clear();
        Script.NextCalls.clear();
        TIECache cache;
        EXPECT_TRUE(Listing(cache).empty());
        EXPECT_TRUE(Script.NextCalls.empty());
        EXPECT_EQ(Script.ClosedHandles, (std::vector<HANDLE>{nullptr}));
    }
}

TEST_F(IECacheTest, EmptyEnumerationFiresNothingAndClosesTheNullHandle)
{
    TIECache cache;
    EXPECT_TRUE(Listing(cache).empty());
    EXPECT_TRUE(Script.NextCalls.empty());
    EXPECT_EQ(Script.ClosedHandles, (std::vector<HANDLE>{nullptr}));

    Script.ClosedHandles.clear();
    cache.DeleteAllEntries();
    EXPECT_TRUE(Script.Deleted.empty());
    EXPECT_EQ(Script.ClosedHandles, (std::vector<HANDLE>{nullptr}));
}

// --- The enumeration loop ---------------------------------------------------------------

TEST_F(IECacheTest, CancelInTheFirstCallGivesOneEntry)
{
    Script.Entries = {EntryNamed("http://example.org/1"), EntryNamed("http://example.org/2")};
    TIECache cache;
    int calls = 0;
    cache.OnEntry = [&](TIECache&, bool& Cancel) {
        ++calls;
        Cancel = true;
    };
    cache.RetrieveEntries(0);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(Script.NextCalls.empty());
    EXPECT_EQ(Script.ClosedHandles, Script.OpenedHandles);
    // The flag starts clear again on the next enumeration.
    cache.OnEntry = [&](TIECache&, bool&) { ++calls; };
    cache.RetrieveEntries(0);
    EXPECT_EQ(calls, 3);
}

TEST_F(IECacheTest, WithoutAHandlerTheEnumerationRunsToTheEnd)
{
    Script.Entries = {EntryNamed("http://example.org/1"), EntryNamed("http://example.org/2")};
    TIECache cache;
    cache.RetrieveEntries(0);
    EXPECT_EQ(cache.EntryInfo().SourceUrlName, "http://example.org/2");
    EXPECT_EQ(Script.ClosedHandles.size(), 1u);
}

TEST_F(IECacheTest, ExceptionFromTheHandlerPassesOnAndTheHandleIsClosed)
{
    Script.Entries = {EntryNamed("http://example.org/1"), EntryNamed("http://example.org/2")};
    TIECache cache;
    cache.OnEntry = [](TIECache&, bool&) { throw std::runtime_error("handler"); };
    EXPECT_THROW(cache.RetrieveEntries(0), std::runtime_error);
    EXPECT_EQ(Script.ClosedHandles, Script.OpenedHandles);
}

TEST_F(IECacheTest, DeleteAllEntriesDeletesExactlyWhatTheEnumerationGives)
{
    Script.Entries = {EntryNamed("Cookie:user@example.org/", COOKIE_CACHE_ENTRY),
        EntryNamed("Cookie:user@example.com/", COOKIE_CACHE_ENTRY)};
    TIECache cache;
    cache.SetSearchPattern(spCookies);
    cache.SetFilterOptions(WindowSet);
    int calls = 0;
    cache.OnEntry = [&](TIECache&, bool&) { ++calls; };
    cache.DeleteAllEntries();
    EXPECT_EQ(Script.Deleted, (std::vector<std::string>{"Cookie:user@example.org/", "Cookie:user@example.com/"}));
    EXPECT_TRUE(Script.Entries.empty());
    EXPECT_EQ(calls, 0);
    ASSERT_FALSE(Script.FirstCalls.empty());
    EXPECT_EQ(Script.FirstCalls.back().Pattern, "Cookie:");
    EXPECT_EQ(Script.FirstCalls.back().Filter, 0x300035u);
    EXPECT_EQ(Script.FirstCalls.back().Group, 0);
    EXPECT_EQ(Script.ClosedHandles, Script.OpenedHandles);
    EXPECT_EQ(cache.EntryInfo(), TEntryInfo{});
}

// --- Filter mask and patterns -----------------------------------------------------------

TEST_F(IECacheTest, FilterMaskIsTheSumOfTheMembersValues)
{
    TIECache cache;
    cache.SetFilterOptions(WindowSet);
    EXPECT_EQ(cache.FilterMask(), 0x300035u);
    cache.SetFilterOptions({NORMAL_ENTRY, STABLE_ENTRY, STICKY_ENTRY, COOKIE_ENTRY, URLHISTORY_ENTRY,
        TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY, SPARSE_ENTRY, OCX_ENTRY});
    EXPECT_EQ(cache.FilterMask(), 0x330037u);
    cache.SetFilterOptions({});
    EXPECT_EQ(cache.FilterMask(), 0u);
    EXPECT_TRUE(cache.FilterOptions().Empty());
}

TEST_F(IECacheTest, NeverAssignedComponentEnumeratesWithMaskZero)
{
    Script.Entries = {EntryNamed("http://example.org/1")};
    TIECache cache;
    EXPECT_EQ(cache.FilterOptions().Bits(), 125);
    EXPECT_EQ(cache.FilterOptions(), WindowSet);
    EXPECT_EQ(cache.SearchPattern(), spAll);
    EXPECT_FALSE(cache.OnEntry);
    cache.RetrieveEntries(0);
    ASSERT_EQ(Script.FirstCalls.size(), 1u);
    EXPECT_EQ(Script.FirstCalls[0].Filter, 0u);
}

TEST_F(IECacheTest, EachSearchPatternPassesItsOwnText)
{
    struct {
        TSearchPattern Pattern;
        bool Null;
        const char* Text;
    } const cases[] = {{spAll, true, ""}, {spCookies, false, "Cookie:"}, {spHistory, false, "Visited:"},
        {spUrl, false, ""}};
    for (const auto& c : cases) {
        Script.FirstCalls.clear();
        TIECache cache;
        cache.SetFilterOptions(WindowSet);
        cache.SetSearchPattern(c.Pattern);
        cache.RetrieveEntries(42);
        ASSERT_EQ(Script.FirstCalls.size(), 1u);
        for (const TFindFirstCall& call : Script.FirstCalls) {
            EXPECT_EQ(call.NullPattern, c.Null) << c.Text;
            EXPECT_EQ(call.Pattern, c.Text);
            EXPECT_EQ(call.Flags, 0u);
            EXPECT_EQ(call.Filter, 0x300035u);
            EXPECT_EQ(call.Group, 42);
        }
    }
}

// --- The entry record -------------------------------------------------------------------

TEST_F(IECacheTest, EveryFieldIsCopied)
{
    TScriptEntry e = EntryNamed("http://example.org/page.htm");
    e.LocalFile = "C:\\cache\\page[1].htm";
    e.UseCount = 3;
    e.HitRate = 7;
    e.SizeLow = 1234;
    e.SizeHigh = 1; // a file of 4 GiB and more: only the low word counts
    e.LastModified = FileTimeOf(2000, 1, 1);
    e.Expire = FileTimeOf(2026, 8, 12, 13, 5, 7);
    e.LastAccess = FileTimeOf(1899, 12, 29, 6);
    e.LastSync = {};
    e.Header = std::string("HTTP/1.1 200 OK\r\n\0hidden", 25);
    e.Extension = "htm";
    e.ExemptDelta = 600;
    e.Type = NORMAL_CACHE_ENTRY | STICKY_CACHE_ENTRY;
    Script.Entries = {e};
    TIECache cache;
    ASSERT_EQ(cache.GetEntryInfo("http://example.org/page.htm"), 0u);
    const TEntryInfo& i = cache.EntryInfo();
    EXPECT_EQ(i.SourceUrlName, "http://example.org/page.htm");
    EXPECT_EQ(i.LocalFileName, "C:\\cache\\page[1].htm");
    EXPECT_EQ(i.CacheEntryType, 5u);
    EXPECT_EQ(i.UseCount, 3u);
    EXPECT_EQ(i.HitRate, 7u);
    EXPECT_EQ(i.Size, 1234u);
    EXPECT_DOUBLE_EQ(i.LastModifiedTime, 36526.0);
    EXPECT_DOUBLE_EQ(i.ExpireTime, 46246.0 + (13 * 3600 + 5 * 60 + 7) / 86400.0);
    EXPECT_DOUBLE_EQ(i.LastAccessTime, -1.25);
    EXPECT_DOUBLE_EQ(i.LastSyncTime, -109205.0); // the zero file time: 1 January 1601
    EXPECT_EQ(i.HeaderInfo, "HTTP/1.1 200 OK\r\n");
    EXPECT_EQ(i.FileExtension, "htm");
    EXPECT_EQ(i.ExemptDelta, 600u);
}

TEST_F(IECacheTest, HeaderWithoutClosingZeroEndsAtItsSize)
{
    TScriptEntry e = EntryNamed("http://example.org/");
    e.Header = "HTTP/1.1 200 OK\r\n\r\n";
    e.HeaderUnterminated = true;
    e.Extension = "htm"; // laid out right after the header
    Script.Entries = {e};
    TIECache cache;
    ASSERT_EQ(cache.GetEntryInfo("http://example.org/"), 0u);
    EXPECT_EQ(cache.EntryInfo().HeaderInfo, "HTTP/1.1 200 OK\r\n\r\n");
    EXPECT_EQ(cache.EntryInfo().FileExtension, "htm");
}

TEST_F(IECacheTest, NullTextsBecomeEmptyStrings)
{
    TScriptEntry e = EntryNamed("Visited: user@http://example.org/", URLHISTORY_CACHE_ENTRY);
    Script.Entries = {e};
    TIECache cache;
    ASSERT_EQ(cache.GetEntryInfo("http://example.org/page.htm"), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(cache.GetEntryInfo("Visited: user@http://example.org/"), 0u);
    EXPECT_EQ(cache.EntryInfo().LocalFileName, "");
    EXPECT_EQ(cache.EntryInfo().HeaderInfo, "");
    EXPECT_EQ(cache.EntryInfo().FileExtension, "");
    Script.Entries[0].Url.reset();
    cache.RetrieveEntries(0);
    EXPECT_EQ(cache.EntryInfo().SourceUrlName, "");
}

TEST_F(IECacheTest, FailedTimeConversionGivesAValueBelowZero)
{
    // West of UTC the zero file time has no local time: taken as UTC, it is still a day in 1601.
    Script.LocalShift = -5LL * 3600 * 10000000;
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(FILETIME{}), -109205.0);
    Script.LocalShift = 0;

    TScriptEntry e = EntryNamed("http://example.org/");
    e.LastAccess = FileTimeOf(2000, 1, 1);
    Script.Entries = {e};
    TIECache cache;
    Script.LocalTimeFails = true;
    ASSERT_EQ(cache.GetEntryInfo("http://example.org/"), 0u);
    EXPECT_LT(cache.EntryInfo().LastAccessTime, 0.0);
    EXPECT_DOUBLE_EQ(cache.EntryInfo().LastSyncTime, -109205.0);   // a zero file time too
    Script.LocalTimeFails = false;
    Script.SystemTimeFails = true;
    EXPECT_LT(FileTimeToDateTime(FILETIME{}), 0.0);
    EXPECT_LT(FileTimeToDateTime(e.LastAccess), 0.0);
}

TEST_F(IECacheTest, DateTimesCountDaysSinceTheEndOf1899)
{
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(FileTimeOf(1899, 12, 30)), 0.0);
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(FileTimeOf(1899, 12, 30, 18)), 0.75);
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(FileTimeOf(1900, 1, 1, 12)), 2.5);
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(FileTimeOf(2000, 1, 1, 0, 0, 0, 500)), 36526.0 + 0.5 / 86400.0);
    // Before 30 December 1899 the time of day takes the value further below zero.
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(FileTimeOf(1899, 12, 29, 6)), -1.25);
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(FileTimeOf(1800, 3, 1, 12)), -36463.5);
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(FILETIME{}), -109205.0);
}

TEST_F(IECacheTest, DateTimesAreInLocalTime)
{
    // Local time an hour and a half ahead of UTC: 12:00 UTC is 13:30.
    Script.LocalShift = 90LL * 60 * 10000000;
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(FileTimeOf(2000, 1, 15, 12)), 36526.0 + 14 + 13.5 / 24);
    Script.LocalShift = -90LL * 60 * 10000000;
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(FileTimeOf(2000, 1, 15, 1)), 36526.0 + 13 + 23.5 / 24);

    // The kernel's own conversion, whatever the zone of the machine.
    Script.TimeIsLocal = false;
    const FILETIME utc = FileTimeOf(2000, 1, 15, 12); // local time stays in January 2000 anywhere
    FILETIME local{};
    SYSTEMTIME st{};
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    ASSERT_TRUE(FileTimeToSystemTime(&local, &st));
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(utc), 36526.0 + (st.wDay - 1) + (st.wHour * 60 + st.wMinute) / 1440.0);
}

TEST_F(IECacheTest, EntryInfoAfterDeletes)
{
    Script.Entries = {EntryNamed("http://example.org/a"), EntryNamed("http://example.org/b")};
    TIECache cache;
    EXPECT_EQ(cache.EntryInfo(), TEntryInfo{});
    ASSERT_EQ(cache.GetEntryInfo("http://example.org/a"), 0u);
    const TEntryInfo held = cache.EntryInfo();
    Script.LookupError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(cache.DeleteEntry("http://example.org/missing"), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(cache.EntryInfo(), held);
    EXPECT_EQ(cache.DeleteEntry("http://example.org/b"), 0u);
    EXPECT_EQ(cache.EntryInfo(), TEntryInfo{});
    EXPECT_EQ(Script.Deleted, (std::vector<std::string>{"http://example.org/b"}));
}

// --- The library check ------------------------------------------------------------------

TEST_F(IECacheTest, LibraryCheckLooksUpTheFiveNamesInOrder)
{
    EXPECT_TRUE(CheckLibrary());
    EXPECT_EQ(Script.LookedUp, (std::vector<std::string>{"wininet.dll", "FindFirstUrlCacheGroup",
                                   "FindNextUrlCacheGroup", "GetUrlCacheGroupAttributeA",
                                   "SetUrlCacheGroupAttributeA", "FindFirstUrlCacheEntryExA"}));
    // A true answer is kept: nothing is loaded again, whatever the component does.
    TIECache cache;
    cache.GetEntryInfo("http://example.org/");
    cache.RetrieveEntries(0);
    cache.DeleteEntry("http://example.org/");
    cache.DeleteAllEntries();
    EXPECT_TRUE(cache.LibraryFound());
    EXPECT_EQ(Script.LoadLibraryCalls, 1);
}

TEST_F(IECacheTest, LibraryCheckStopsAtTheFirstMissingName)
{
    Script.MissingFunction = "GetUrlCacheGroupAttributeA";
    EXPECT_FALSE(CheckLibrary());
    EXPECT_EQ(Script.LookedUp.back(), "GetUrlCacheGroupAttributeA");
    EXPECT_EQ(Script.LookedUp.size(), 4u);
    Script.MissingFunction.clear();
    Script.LoadThrows = true;
    EXPECT_FALSE(CheckLibrary());
    Script.LoadThrows = false;
    Script.LibraryLoads = false;
    EXPECT_FALSE(CheckLibrary());
    EXPECT_EQ(Script.LookedUp.back(), "wininet.dll");
}

TEST_F(IECacheTest, FailedLibraryCheckIsRepeatedAndEveryOperationGivesUp)
{
    Script.Entries = {EntryNamed("http://example.org/a")};
    Script.LibraryLoads = false;
    TIECache cache;
    int calls = Script.LoadLibraryCalls;
    auto asked = [&] {
        const int now = Script.LoadLibraryCalls;
        const bool again = now > calls;
        calls = now;
        return again;
    };
    EXPECT_EQ(cache.GetEntryInfo("http://example.org/a"), 2u);
    EXPECT_TRUE(asked());
    EXPECT_EQ(cache.DeleteEntry("http://example.org/a"), 2u); // nothing deleted: a failure, not 0
    EXPECT_TRUE(asked());
    cache.RetrieveEntries(0);
    EXPECT_TRUE(asked());
    cache.DeleteAllEntries();
    EXPECT_TRUE(asked());
    EXPECT_FALSE(cache.LibraryFound());
    EXPECT_TRUE(asked());
    EXPECT_TRUE(Script.FirstCalls.empty());
    EXPECT_TRUE(Script.InfoCalls.empty());
    EXPECT_TRUE(Script.ClosedHandles.empty());
    EXPECT_TRUE(Script.Deleted.empty());
    EXPECT_EQ(cache.EntryInfo(), TEntryInfo{});
    // Once the library is there, the answer is kept.
    Script.LibraryLoads = true;
    EXPECT_EQ(cache.GetEntryInfo("http://example.org/a"), 0u);
    EXPECT_TRUE(asked());
    EXPECT_EQ(cache.GetEntryInfo("http://example.org/a"), 0u);
    EXPECT_FALSE(asked());
}

} // namespace
