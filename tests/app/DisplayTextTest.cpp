#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "app/DisplayText.h"

namespace {

constexpr double SecondsPerDay = 86400.0;
constexpr int64_t TicksPerDay = 864000000000;  // FILETIME ticks of 100 ns

struct TTextCase {
    double Value;
    const char* Text;
};

class DateTimeTextEnUs : public testing::TestWithParam<TTextCase> {
protected:
    void SetUp() override
    {
        if (GetUserDefaultLCID() != 0x409)
            GTEST_SKIP() << "the expected texts are those of en-US";
    }
};

TEST_P(DateTimeTextEnUs, ShowsShortDateAndLongTime)
{
    EXPECT_EQ(DateTimeText(GetParam().Value), GetParam().Text) << std::hexfloat << GetParam().Value;
}

INSTANTIATE_TEST_SUITE_P(Values, DateTimeTextEnUs, testing::Values(
    TTextCase{-1.0, ""},
    TTextCase{-1e-9, ""},
    TTextCase{-0.0, "12/30/1899"},
    TTextCase{0.0, "12/30/1899"},
    TTextCase{0.5, "12/30/1899 12:00:00 PM"},
    TTextCase{1.75, "12/31/1899 6:00:00 PM"},
    TTextCase{60.0, "2/28/1900"},
    TTextCase{61.0, "3/1/1900"},
    TTextCase{36526.0, "1/1/2000"},
    TTextCase{36585.0 + (13 * 3600 + 5 * 60 + 7) / SecondsPerDay, "2/29/2000 1:05:07 PM"},
    TTextCase{45000.999999, "3/15/2023 11:59:59 PM"},
    TTextCase{45000.0 + 86399.9994 / SecondsPerDay, "3/15/2023 11:59:59 PM"},
    TTextCase{45000.0 + 86399.9996 / SecondsPerDay, "3/16/2023"},
    TTextCase{45000.0 + 0.0004 / SecondsPerDay, "3/15/2023"},
    TTextCase{45000.0 + 0.9 / SecondsPerDay, "3/15/2023"},     // milliseconds only: no time
    TTextCase{45000.0 + 1.0 / SecondsPerDay, "3/15/2023 12:00:01 AM"},
    TTextCase{2958465.0, "12/31/9999"},
    TTextCase{10565736.5, "12/31/30827 12:00:00 PM"},       // the last day a SYSTEMTIME holds
    TTextCase{10565737.0, ""},
    TTextCase{1e300, ""},
    TTextCase{std::numeric_limits<double>::infinity(), ""},
    TTextCase{std::numeric_limits<double>::quiet_NaN(), ""}));

// Whole seconds come out exact on every second of a day, for small and large day numbers.
TEST(DecodeDateTime, EverySecondOfADayIsExact)
{
    for (double day : {0.0, 45000.0, 2958465.0, 10565736.0}) {
        SYSTEMTIME dayStart;
        ASSERT_TRUE(DecodeDateTime(day, dayStart));
        int wrong = 0;
        for (int second = 0; second < 86400; ++second) {
            SYSTEMTIME time;
            ASSERT_TRUE(DecodeDateTime(day + second / SecondsPerDay, time));
            const bool exact = time.wYear == dayStart.wYear && time.wMonth == dayStart.wMonth &&
                               time.wDay == dayStart.wDay && time.wHour == second / 3600 &&
                               time.wMinute == second / 60 % 60 && time.wSecond == second % 60 && time.wMilliseconds == 0;
            if (!exact && ++wrong <= 5)
                ADD_FAILURE() << "day " << day << " second " << second << ": " << time.wHour << ":" << time.wMinute
                              << ":" << time.wSecond << "." << time.wMilliseconds;
        }
        EXPECT_EQ(wrong, 0) << "day " << day;
    }
}

// The calendar agrees with the kernel's own, through file times, over the whole range.
TEST(DecodeDateTime, CalendarAgreesWithFileTimes)
{
    const int64_t epochDays = -109205;  // 1 January 1601, where file times start

    for (int64_t day = 0; day < 10565737; day += 997) {
        const int64_t ticks = (day - epochDays) * TicksPerDay + 3723 * 10000000LL;  // at 1:02:03
        const FILETIME fileTime{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        SYSTEMTIME expected, actual;
        ASSERT_TRUE(FileTimeToSystemTime(&fileTime, &expected)) << day;
        ASSERT_TRUE(DecodeDateTime(static_cast<double>(day) + 3723 / SecondsPerDay, actual)) << day;
        ASSERT_EQ(actual.wYear, expected.wYear) << day;
        ASSERT_EQ(actual.wMonth, expected.wMonth) << day;
        ASSERT_EQ(actual.wDay, expected.wDay) << day;
        ASSERT_EQ(actual.wDayOfWeek, expected.wDayOfWeek) << day;
        ASSERT_EQ(actual.wHour * 3600 + actual.wMinute * 60 + actual.wSecond, 3723) << day;
    }
}

TEST(DateTimeText, UsesTheUsersFormats)
{
    SYSTEMTIME time{2024, 7, 0, 9, 21, 4, 5, 0};
    char date[100], clock[100];
    ASSERT_GT(GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date), 0);
    ASSERT_GT(GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock, sizeof clock), 0);
    EXPECT_EQ(DateTimeText(45482.0 + (21 * 3600 + 4 * 60 + 5) / SecondsPerDay), std::string(date) + " " + clock);
}

TEST(DateTimeTexts, GiveTheTextsOfDateTimeText)
{
    // The same days and seconds again with other milliseconds, midnights,
    // values that round into the next second or day, values with no text.
    std::vector<double> values = {-1.0, -1e-9, 0.0, -0.0, 1.0, 45482.0, 45482.5, 2958465.999999, 2958466.0,
                                  std::numeric_limits<double>::quiet_NaN(), 45482.0 + 0.9999999 / SecondsPerDay,
                                  45482.0 - 0.0004 / SecondsPerDay, 45482.0 + 86399.9996 / SecondsPerDay};
    std::mt19937 random(11);
    for (int i = 0; i < 3000; ++i) {
        const double day = 45400 + random() % 90;
        const double second = static_cast<double>(random() % 600) * 97 + (random() % 1000) / 1000.0;
        values.push_back(day + second / SecondsPerDay);
    }
    TDateTimeTexts texts;
    for (int round = 0; round < 2; ++round) {
        for (double value : values)
            ASSERT_EQ(texts.Text(value), DateTimeText(value)) << std::hexfloat << value << " round " << round;
        texts.Clear();
    }
}

// Puts a time format in force for the user and restores the one before.
class TTimeFormatGuard {
public:
    TTimeFormatGuard()
    {
        char format[100] = {};
        FHad = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format, sizeof format) > 0;
        FSaved = format;
    }
    ~TTimeFormatGuard()
    {
        if (FHad)
            SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, FSaved.c_str());
    }
    TTimeFormatGuard(const TTimeFormatGuard&) = delete;
    TTimeFormatGuard& operator=(const TTimeFormatGuard&) = delete;
    bool Set(const char* Format) { return SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, Format) != FALSE; }

private:
    bool FHad = false;
    std::string FSaved;
};

TEST(DateTimeTexts, WriteTheSecondsOfAMinuteAsTheFormatWould)
{
    // Every second of some minutes, in a jumbled order, under formats with
    // seconds with and without a leading zero, seconds twice, and no seconds.
    std::vector<double> values;
    for (int minute : {0, 1, 59, 61, 719, 720, 1439})
        for (int second = 0; second < 60; ++second)
            values.push_back(45482.0 + ((minute * 60 + (second * 37) % 60) + 0.25) / SecondsPerDay);
    TTimeFormatGuard guard;
    for (const char* format : {"h:mm:ss tt", "H:m:s", "HH 'h' mm 'min' ss 's'", "ss:ss", "tt hh:mm", "s"}) {
        ASSERT_TRUE(guard.Set(format)) << format;
        TDateTimeTexts texts;
        for (double value : values)
            ASSERT_EQ(texts.Text(value), DateTimeText(value)) << format << " " << std::hexfloat << value;
    }
}

TEST(UnsignedText, PrintsTheFullUnsignedRange)
{
    EXPECT_EQ(UnsignedText(0), "0");
    EXPECT_EQ(UnsignedText(2147483647u), "2147483647");
    EXPECT_EQ(UnsignedText(2147483648u), "2147483648");
    EXPECT_EQ(UnsignedText(4294967295u), "4294967295");
}

} // namespace
