// The addresses and the maker's name that the about window shows.
#pragma once

namespace AboutTexts {
inline constexpr char HomePage[] = "https://morvane.example.org/";
inline constexpr char SupportMail[] = "mailto:support@morvane.example.org";
inline constexpr char Maker[] = "Morvane developers";
} // namespace AboutTexts
