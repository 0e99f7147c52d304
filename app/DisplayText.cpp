#include "app/DisplayText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr double MSecsPerDay = 86400000.0;
constexpr int64_t MSecsPerDayInt = 86400000;

// Days from 30 December 1899 to the given date of the proleptic Gregorian calendar.
constexpr int64_t DaysFromCivil(int64_t Year, unsigned Month, unsigned Day)
{
    Year -= Month <= 2;
    const int64_t era = (Year >= 0 ? Year : Year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(Year - era * 400);
    const unsigned dayOfYear = (153 * (Month > 2 ? Month - 3 : Month + 9) + 2) / 5 + Day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 693899;  // days from 1 March 0000 to 30 December 1899
}
static_assert(DaysFromCivil(1899, 12, 30) == 0);
static_assert(DaysFromCivil(2000, 1, 1) == 36526);

// One past the last day that a SYSTEMTIME holds.
constexpr int64_t DayLimit = DaysFromCivil(30828, 1, 1);

// The inverse of DaysFromCivil, for days >= 0.
void CivilFromDays(int64_t Days, SYSTEMTIME& Time)
{
    const int64_t z = Days + 693899;
    const int64_t era = z / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(z - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const unsigned month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const int64_t year = static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2);
    Time.wYear = static_cast<WORD>(year);
    Time.wMonth = static_cast<WORD>(month);
    Time.wDay = static_cast<WORD>(day);
    Time.wDayOfWeek = static_cast<WORD>((Days + 6) % 7);  // day 0 was a Saturday
}

// The user's short date and long time of Time, written in the ANSI code page
// (the program's texts are in it, whatever the code page of the user's
// locale); the result is that of GetDateFormatA and GetTimeFormatA.
int ShortDate(const SYSTEMTIME& Time, char* Buffer, int Size)
{
    return GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE | LOCALE_USE_CP_ACP, &Time, nullptr, Buffer, Size);
}

int LongTime(const SYSTEMTIME& Time, char* Buffer, int Size)
{
    return GetTimeFormatA(LOCALE_USER_DEFAULT, LOCALE_USE_CP_ACP, &Time, nullptr, Buffer, Size);
}

// Appends what Format writes (ShortDate or LongTime), through a
// buffer on the stack, or one of the needed size when that is short.
template <class TFormat>
bool AppendFormatted(std::string& Text, TFormat Format)
{
    char buffer[128];
    int length = Format(buffer, static_cast<int>(sizeof buffer));
    if (length > 0) {
        Text.append(buffer, static_cast<std::size_t>(length - 1));
        return true;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    length = Format(nullptr, 0);
    if (length <= 0)
        return false;
    const std::size_t at = Text.size();
    Text.resize(at + static_cast<std::size_t>(length));
    length = Format(Text.data() + at, length);
    if (length <= 0) {
        Text.resize(at);
        return false;
    }
    Text.resize(at + static_cast<std::size_t>(length - 1));
    return true;
}

} // namespace

bool DecodeDateTime(TDateTime Value, SYSTEMTIME& Time)
{
    if (!(Value >= 0) || !(Value < static_cast<double>(DayLimit)))
        return false;
    const int64_t msecs = std::llround(Value * MSecsPerDay);
    const int64_t days = msecs / MSecsPerDayInt;
    if (days >= DayLimit)  // rounded up into the day after the last
        return false;
    int64_t rest = msecs % MSecsPerDayInt;
    CivilFromDays(days, Time);
    Time.wHour = static_cast<WORD>(rest / 3600000);
    rest %= 3600000;
    Time.wMinute = static_cast<WORD>(rest / 60000);
    rest %= 60000;
    Time.wSecond = static_cast<WORD>(rest / 1000);
    Time.wMilliseconds = static_cast<WORD>(rest % 1000);
    return true;
}

std::string DateTimeText(TDateTime Value)
{
    SYSTEMTIME time;
    if (!DecodeDateTime(Value, time))
        return {};
    std::string text;
    text.reserve(40);
    if (!AppendFormatted(text, [&time](char* Buffer, int Size) {
            return ShortDate(time, Buffer, Size);
        }))
        return {};
    if (time.wHour != 0 || time.wMinute != 0 || time.wSecond != 0) {
        text += ' ';
        if (!AppendFormatted(text, [&time](char* Buffer, int Size) {
                return LongTime(time, Buffer, Size);
            }))
            return {};
    }
    return text;
}

template <class TFormat>
const TDateTimeTexts::TPart& TDateTimeTexts::Part(uint32_t& Slot, TFormat Format)
{
    if (Slot == 0) {
        TPart part{std::string(), false};
        part.Made = AppendFormatted(part.Text, Format);
        FParts.push_back(std::move(part));
        Slot = static_cast<uint32_t>(FParts.size());
    }
    return FParts[Slot - 1];
}

std::string_view TDateTimeTexts::Text(TDateTime Value)
{
    SYSTEMTIME time;
    if (!DecodeDateTime(Value, time))
        return {};
    const TPart& date = Part(FDates[static_cast<uint32_t>(time.wYear) * 10000u + time.wMonth * 100u + time.wDay],
                             [&time](char* Buffer, int Size) { return ShortDate(time, Buffer, Size); });
    if (!date.Made)
        return {};
    if (time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0)
        return date.Text;
    FText.assign(date.Text);
    FText += ' ';
    if (!TimeOfDay(time))
        return {};
    return FText;
}

namespace {

bool FormatTime(const SYSTEMTIME& Time, std::string& Text)
{
    Text.clear();
    return AppendFormatted(Text, [&Time](char* Buffer, int Size) { return LongTime(Time, Buffer, Size); });
}

} // namespace

// A minute's texts differ only where its seconds stand: the format renders
// hours, minutes, the day-half marker and its literal parts the same for every
// second of the minute, and the seconds only through its seconds elements
// ("s", "ss"). When the texts of 10 and of 47 seconds are the same but for
// "10" and "47" in one place, the format has one seconds element, and the
// text of any second is the same text with that second in that place: two
// digits from 10 on, and below 10 one digit or a leading zero and one, as the
// text of 5 seconds shows. A format where that does not hold is asked about
// every second. The seconds so found stand between whole characters in every
// ANSI code page: no code page of two bytes a character has a digit as the
// second byte of one.
void TDateTimeTexts::Learn(TMinute& Minute, const SYSTEMTIME& Time)
{
    Minute.State = TMinute::Unlearnable;
    SYSTEMTIME probe = Time;
    std::string ten, fortySeven, five;
    probe.wSecond = 10;
    if (!FormatTime(probe, ten))
        return;
    probe.wSecond = 47;
    if (!FormatTime(probe, fortySeven) || ten.size() != fortySeven.size())
        return;
    const std::size_t at = static_cast<std::size_t>(
        std::mismatch(ten.begin(), ten.end(), fortySeven.begin()).first - ten.begin());
    if (at + 2 > ten.size() || ten.compare(at, 2, "10") != 0 || fortySeven.compare(at, 2, "47") != 0 ||
        ten.compare(at + 2, std::string::npos, fortySeven, at + 2, std::string::npos) != 0)
        return;
    Minute.Before = ten.substr(0, at);
    Minute.After = ten.substr(at + 2);
    probe.wSecond = 5;
    if (!FormatTime(probe, five))
        return;
    if (five == Minute.Before + "05" + Minute.After)
        Minute.TwoDigits = true;
    else if (five == Minute.Before + "5" + Minute.After)
        Minute.TwoDigits = false;
    else
        return;
    Minute.State = TMinute::Learnt;
}

bool TDateTimeTexts::TimeOfDay(const SYSTEMTIME& Time)
{
    if (FTimes.empty()) {
        FTimes.assign(24 * 60 * 60, 0);
        FMinutes.resize(24 * 60);
    }
    const unsigned minuteOfDay = Time.wHour * 60u + Time.wMinute;
    uint32_t& slot = FTimes[minuteOfDay * 60u + Time.wSecond];
    TMinute& minute = FMinutes[minuteOfDay];
    if (slot == 0 && minute.State == TMinute::Seen && FLearnMinutes)
        Learn(minute, Time);
    if (slot == 0 && minute.State == TMinute::Learnt) {
        FText += minute.Before;
        if (Time.wSecond >= 10 || minute.TwoDigits)
            FText += static_cast<char>('0' + Time.wSecond / 10);
        FText += static_cast<char>('0' + Time.wSecond % 10);
        FText += minute.After;
        return true;
    }
    if (minute.State == TMinute::Unseen)
        minute.State = TMinute::Seen;
    const TPart& clock = Part(slot, [&Time](char* Buffer, int Size) {
        return LongTime(Time, Buffer, Size);
    });
    if (!clock.Made)
        return false;
    FText += clock.Text;
    return true;
}

void TDateTimeTexts::Clear()
{
    FDates.clear();
    std::fill(FTimes.begin(), FTimes.end(), 0u);
    std::fill(FMinutes.begin(), FMinutes.end(), TMinute());
    FParts.clear();
}

std::string UnsignedText(uint32_t Value)
{
    char digits[10];
    const auto result = std::to_chars(digits, digits + sizeof digits, Value);
    return std::string(digits, result.ptr);
}
