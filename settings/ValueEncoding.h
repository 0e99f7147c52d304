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

// The value encodings of a TJvAppIniFileStorage.
class TJvAppIniStorageOptions {
public:
    // Comma-separated words, blanks around them ignored; the first one is written.
    const std::string& BooleanStringTrueValues() const { return FBooleanStringTrueValues; }
    void SetBooleanStringTrueValues(std::string Value) { FBooleanStringTrueValues = std::move(Value); }
    const std::string& BooleanStringFalseValues() const { return FBooleanStringFalseValues; }
    void SetBooleanStringFalseValues(std::string Value) { FBooleanStringFalseValues = std::move(Value); }
    // Booleans written as words (else as 1 / 0).
    bool BooleanAsString() const { return FBooleanAsString; }
    void SetBooleanAsString(bool Value) { FBooleanAsString = Value; }
    // Enumerations written as identifiers (else as ordinals).
    bool EnumerationAsString() const { return FEnumerationAsString; }
    void SetEnumerationAsString(bool Value) { FEnumerationAsString = Value; }
    // Kept for the layout; every integer here is written in decimal either way.
    bool TypedIntegerAsString() const { return FTypedIntegerAsString; }
    void SetTypedIntegerAsString(bool Value) { FTypedIntegerAsString = Value; }
    // A missing value reads as the caller's default (else as an empty text would).
    bool DefaultIfValueNotExists() const { return FDefaultIfValueNotExists; }
    void SetDefaultIfValueNotExists(bool Value) { FDefaultIfValueNotExists = Value; }
    // A text that does not convert reads as the caller's default (else EConvertError).
    bool DefaultIfReadConvertError() const { return FDefaultIfReadConvertError; }
    void SetDefaultIfReadConvertError(bool Value) { FDefaultIfReadConvertError = Value; }
    // Kept for the layout; strings are stored unchanged (these two are false).
    bool ReplaceCRLF() const { return FReplaceCRLF; }
    void SetReplaceCRLF(bool Value) { FReplaceCRLF = Value; }
    bool PreserveLeadingTrailingBlanks() const { return FPreserveLeadingTrailingBlanks; }
    void SetPreserveLeadingTrailingBlanks(bool Value) { FPreserveLeadingTrailingBlanks = Value; }

private:
    std::string FBooleanStringTrueValues = "TRUE, YES, Y";
    std::string FBooleanStringFalseValues = "FALSE, NO, N";
    bool FBooleanAsString = true;
    bool FEnumerationAsString = true;
    bool FTypedIntegerAsString = true;
    bool FDefaultIfValueNotExists = true;
    bool FDefaultIfReadConvertError = false;
    bool FReplaceCRLF = false;
    bool FPreserveLeadingTrailingBlanks = false;
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
// The identifier of an ordinal within range, otherwise (and without
// EnumerationAsString) the ordinal in decimal.
std::string EnumerationToText(int Value, TEnumIdentifiers Identifiers, const TJvAppIniStorageOptions& Options);
// An identifier (letter case ignored), else an integer ordinal. An ordinal
// outside the identifiers' range is a conversion error too.
int EnumerationFromText(std::string_view Text, TEnumIdentifiers Identifiers);
