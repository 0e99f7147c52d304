#include "settings/ValueEncoding.h"

#include <charconv>
#include <climits>


namespace {

// Whether Text is one of the comma-separated words of List (letter case ignored).
bool IsListedWord(std::string_view Text, std::string_view List)
{
    std::size_t pos = 0;
    while (pos <= List.size()) {
        std::size_t end = List.find(',', pos);
        if (end == std::string_view::npos)
            end = List.size();
        std::string_view word = TrimBlanks(List.substr(pos, end - pos));
        if (!word.empty() && SameText(word, Text))
            return true;
        pos = end + 1;
    }
    return false;
}

std::string FirstWord(std::string_view List)
{
    return std::string(TrimBlanks(List.substr(0, List.find(','))));
}

} // namespace

std::string IntToStr(int Value)
{
    return std::to_string(Value);
}

std::optional<int> TryStrToInt(std::string_view Text)
{
    bool negative = false;
    if (!Text.empty() && (Text.front() == '-' || Text.front() == '+')) {
        negative = Text.front() == '-';
        Text.remove_prefix(1);
    }
    if (Text.empty() || Text.front() < '0' || Text.front() > '9')
        return std::nullopt;
    // Magnitude up to 2^31 so that INT_MIN converts too.
    unsigned long long magnitude = 0;
    auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), magnitude);
    if (error != std::errc() || end != Text.data() + Text.size())
        return std::nullopt;
    const unsigned long long limit = negative ? 1ull + INT_MAX : static_cast<unsigned long long>(INT_MAX);
    if (magnitude > limit)
        return std::nullopt;
    if (negative)
        return magnitude == 1ull + INT_MAX ? INT_MIN : -static_cast<int>(magnitude);
    return static_cast<int>(magnitude);
}

int StrToInt(std::string_view Text)
{
    if (auto value = TryStrToInt(Text))
        return *value;
    std::string message;
    message.reserve(Text.size() + 30);
    message.append("'").append(Text).append("' is not a valid integer value");
    throw EConvertError(message);
}

int IntegerFromText(std::string_view Text)
{
    return Text.empty() ? 0 : StrToInt(Text);
}

std::string BooleanToText(bool Value, const TJvAppIniStorageOptions& Options)
{
    return FirstWord(Value ? Options.BooleanStringTrueValues : Options.BooleanStringFalseValues);
}

bool BooleanFromText(std::string_view Text, const TJvAppIniStorageOptions& Options)
{
    std::string_view word = TrimBlanks(Text);
    if (!word.empty()) {
        if (IsListedWord(word, Options.BooleanStringTrueValues))
            return true;
        if (IsListedWord(word, Options.BooleanStringFalseValues))
            return false;
    }
    return IntegerFromText(Text) != 0;
}

std::string EnumerationToText(int Value, TEnumIdentifiers Identifiers)
{
    if (Value >= 0 && static_cast<std::size_t>(Value) < Identifiers.size())
        return std::string(Identifiers[static_cast<std::size_t>(Value)]);
    return IntToStr(Value);
}

int EnumerationFromText(std::string_view Text, TEnumIdentifiers Identifiers)
{
    for (std::size_t i = 0; i < Identifiers.size(); ++i)
        if (SameText(Text, Identifiers[i]))
            return static_cast<int>(i);
    int ordinal = IntegerFromText(Text);
    if (ordinal < 0 || static_cast<std::size_t>(ordinal) >= Identifiers.size()) {
        std::string message;
        message.reserve(Text.size() + 35);
        message.append("'").append(Text).append("' is not a valid enumeration value");
        throw EConvertError(message);
    }
    return ordinal;
}
