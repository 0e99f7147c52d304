// Colours as controls keep them: a plain RGB value; one of the system's
// colours (clBtnFace ...), looked up whenever it is painted, so that it
// follows the system; or a fixed colour that gives way to one of the system's
// colours while a high-contrast theme is on. The system's colours and its
// high-contrast flag come through one seam, which tests replace for a scope.
#pragma once

#include <windows.h>

#include "base/Seam.h"

constexpr COLORREF SystemColor(int Index)
{
    return 0x80000000u | static_cast<COLORREF>(Index);
}
constexpr COLORREF ContrastColor(COLORREF Fixed, int Index)
{
    return 0x40000000u | (static_cast<COLORREF>(Index) << 24) | (Fixed & 0xFFFFFFu);
}
inline constexpr COLORREF clBtnFace = SystemColor(COLOR_BTNFACE);
inline constexpr COLORREF clWindow = SystemColor(COLOR_WINDOW);
inline constexpr COLORREF clWindowText = SystemColor(COLOR_WINDOWTEXT);

namespace SystemColors {

struct TBinding {
    decltype(&::GetSysColor) GetSysColor;
    decltype(&::SystemParametersInfoA) SystemParametersInfoA;
};

inline TBinding DefaultBinding() { return TBinding{&::GetSysColor, &::SystemParametersInfoA}; }

using TSeamType = TSeam<TBinding, DefaultBinding>;
inline const TBinding& Api() { return TSeamType::Api(); }
using TScopedBinding = TSeamType::TScoped;

} // namespace SystemColors

inline bool HighContrast()
{
    HIGHCONTRASTA hc{sizeof hc, 0, nullptr};
    return SystemColors::Api().SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON);
}

// The RGB value that a colour stands for now.
inline COLORREF ColorToRGB(COLORREF Color)
{
    if ((Color & 0xFF000000u) == 0x80000000u)
        return SystemColors::Api().GetSysColor(static_cast<int>(Color & 0xFFu));
    if ((Color & 0xE0000000u) == 0x40000000u)
        return HighContrast() ? SystemColors::Api().GetSysColor(static_cast<int>((Color >> 24) & 0x1Fu))
                              : Color & 0xFFFFFFu;
    return Color;
}
