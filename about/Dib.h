// 32-bit top-down DIB sections, for controls that compose their picture in
// memory (in a TMemoryDC) before putting it on the screen.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/Handle.h"

// A 32-bit DIB section whose first row is the top one; pixels are 0x00RRGGBB.
class TDib {
public:
    TDib(int Width, int Height) : FWidth(Width), FHeight(Height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = Width;
        info.bmiHeader.biHeight = -Height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        FBitmap.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        FBits = FBitmap ? static_cast<uint32_t*>(bits) : nullptr;
    }
    explicit operator bool() const { return FBits != nullptr; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    HBITMAP Bitmap() const { return FBitmap.Get(); }
    // Hands the bitmap over; the pixels stay reachable while its new owner keeps it.
    TBitmapHandle Release() { return TBitmapHandle(FBitmap.Release()); }
    // GDI's drawing must be flushed (GdiFlush) before the pixels are read.
    uint32_t* Bits() const { return FBits; }
    uint32_t& At(int X, int Y) const { return FBits[static_cast<size_t>(Y) * FWidth + X]; }

    static COLORREF ToColor(uint32_t Pixel)
    {
        return RGB((Pixel >> 16) & 0xFF, (Pixel >> 8) & 0xFF, Pixel & 0xFF);
    }
    static uint32_t FromColor(COLORREF Color)
    {
        return (static_cast<uint32_t>(GetRValue(Color)) << 16) | (static_cast<uint32_t>(GetGValue(Color)) << 8) |
               GetBValue(Color);
    }

private:
    int FWidth, FHeight;
    TBitmapHandle FBitmap;
    uint32_t* FBits = nullptr;
};
