#include "app/SortKeys.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace {

[[noreturn]] void ThrowMapFailure(DWORD Error)
{
    throw std::runtime_error("LCMapStringA failed to make a sort key (error " + std::to_string(Error) + ")");
}

// Fills Key with the sort key of Text, without the key's closing 0 byte.
void MakeSortKey(LCID Locale, DWORD Flags, std::string_view Text, TSortKey& Key)
{
    if (Text.size() > static_cast<std::size_t>(INT_MAX))
        throw std::length_error("text too long for a sort key");
    // LCMapStringA refuses a source of length 0, but takes an empty C string.
    const char* source = Text.empty() ? "" : Text.data();
    const int sourceLength = Text.empty() ? -1 : static_cast<int>(Text.size());

    // Keys run to about two or three bytes a character: one call is the rule,
    // a second one only when the guess was short.
    std::size_t guess = Text.size() * 3 + 16;
    if (guess < Key.capacity())
        guess = Key.capacity();
    if (guess > static_cast<std::size_t>(INT_MAX))
        guess = INT_MAX;
    Key.resize(guess);
    int length = LCMapStringA(Locale, Flags, source, sourceLength, Key.data(), static_cast<int>(guess));
    if (length == 0) {
        const DWORD error = GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER)
            ThrowMapFailure(error);
        length = LCMapStringA(Locale, Flags, source, sourceLength, nullptr, 0);
        if (length == 0)
            ThrowMapFailure(GetLastError());
        Key.resize(static_cast<std::size_t>(length));
        length = LCMapStringA(Locale, Flags, source, sourceLength, Key.data(), length);
        if (length == 0)
            ThrowMapFailure(GetLastError());
    }
    Key.resize(static_cast<std::size_t>(length));
    if (!Key.empty() && Key.back() == '\0')
        Key.pop_back();
}

// The key in a buffer of its own size, made through a scratch buffer so that
// a key kept for long holds no spare room.
TSortKey MakeSortKey(LCID Locale, DWORD Flags, std::string_view Text)
{
    thread_local TSortKey scratch;
    MakeSortKey(Locale, Flags, Text, scratch);
    return scratch;
}

constexpr DWORD HostLabelFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
// lstrcmpA compares in the thread's locale but converts through the ANSI code page.
constexpr DWORD RowFlags = LCMAP_SORTKEY | LOCALE_USE_CP_ACP;

} // namespace

TSortKey HostLabelKey(std::string_view Label)
{
    return MakeSortKey(LOCALE_USER_DEFAULT, HostLabelFlags, Label);
}

void HostLabelKey(std::string_view Label, TSortKey& Key)
{
    MakeSortKey(LOCALE_USER_DEFAULT, HostLabelFlags, Label, Key);
}

TSortKey RowKey(std::string_view Caption)
{
    return MakeSortKey(GetThreadLocale(), RowFlags, Caption);
}

void RowKey(std::string_view Caption, TSortKey& Key)
{
    MakeSortKey(GetThreadLocale(), RowFlags, Caption, Key);
}
