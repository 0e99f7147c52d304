// How the INI storage turns typed values into text and back.
#pragma once

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/Text.h"

// A text that does not hold the value asked for.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The value encodings of a TJvAppIniFileStorage, as the layout sets them:
// booleans and enumerations written as words (BooleanAsString,
// EnumerationAsString), a missing value read as the caller's default
// (DefaultIfValueNotExists), a text that does not convert an error, strings
// stored unchanged.
struct TJvAppIniStorageOptions {
    // Comma-separated words, blanks around them ignored; the first one is written.
    std::string BooleanStringTrueValues = "TRUE, YES, Y";
    std::string BooleanStringFalseValues = "FALSE, NO, N";
};

// The identifiers of an enumeration type, in ordinal order.
using TEnumIdentifiers = std::span<const std::string_view>;

std::string IntToStr(int Value);
// Decimal with an optional sign, within the range of int; nothing otherwise
// (also on overflow).
std::optional<int> TryStrToInt(std::string_view Text);
// As TryStrToInt; throws EConvertError "'<Text>' is not a valid integer value".
int StrToInt(std::string_view Text);

// The stored integer encoding: an empty text is 0.
int IntegerFromText(std::string_view Text);
std::string BooleanToText(bool Value, const TJvAppIniStorageOptions& Options);
// A true or false word (letter case ignored), else an integer, non-zero being true.
bool BooleanFromText(std::string_view Text, const TJvAppIniStorageOptions& Options);
// The identifier of an ordinal within range, otherwise the ordinal in decimal.
std::string EnumerationToText(int Value, TEnumIdentifiers Identifiers);
// An identifier (letter case ignored), else an integer ordinal. An ordinal
// outside the identifiers' range is a conversion error too.
int EnumerationFromText(std::string_view Text, TEnumIdentifiers Identifiers);
