// Texts of the entry list's cells and of the detail pane: date-times in the
// user's regional formats and unsigned numbers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "cache/EntryTypes.h"

// Value as a calendar date and time of day, rounded to the nearest
// millisecond. False for a value below zero, not a number, or past the
// last day a SYSTEMTIME holds (31 December 30827).
bool DecodeDateTime(TDateTime Value, SYSTEMTIME& Time);

// Empty below zero (and where DecodeDateTime fails); otherwise the date in
// the user's short date format and, unless hours, minutes and seconds are all
// zero, a blank and the time in the user's long time format.
std::string DateTimeText(TDateTime Value);

// Value in decimal, 0 to 4294967295.
std::string UnsignedText(uint32_t Value);
