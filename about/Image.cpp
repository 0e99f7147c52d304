#include "about/Image.h"

#include <cstdint>
#include <vector>

#include "about/Dib.h"

bool TImage::LoadFromResourceName(HINSTANCE Instance, const char* ResourceName)
{
    TBitmapHandle source(static_cast<HBITMAP>(
        ::LoadImageA(Instance, ResourceName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!source)
        return false;
    BITMAP info{};
    ::GetObjectA(source.Get(), sizeof info, &info);
    const int width = info.bmWidth;
    const int height = info.bmHeight;
    if (width <= 0 || height <= 0)
        return false;

    // Whatever the resource's colour depth, work on 32-bit pixels.
    TDib picture(width, height);
    TDib ink(width, height);
    if (!picture || !ink)
        return false;
    {
        TMemoryDC from, to;
        TSelectObject a(from.DC(), source.Get());
        TSelectObject b(to.DC(), picture.Bitmap());
        ::BitBlt(to.DC(), 0, 0, width, height, from.DC(), 0, 0, SRCCOPY);
    }
    ::GdiFlush();

    const uint32_t key = picture.At(0, height - 1) & 0xFFFFFF;
    // Mask rows are padded to 16 bits; the leftmost pixel is the highest bit.
    const int stride = ((width + 15) / 16) * 2;
    std::vector<uint8_t> mask(static_cast<size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool keyed = (picture.At(x, y) & 0xFFFFFF) == key;
            ink.At(x, y) = keyed ? 0 : picture.At(x, y);
            if (keyed)
                mask[static_cast<size_t>(y) * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
    }
    TBitmapHandle maskBitmap(::CreateBitmap(width, height, 1, 1, mask.data()));
    if (!maskBitmap)
        return false;

    FPicture = picture.Release();
    FInk = ink.Release();
    FMask = std::move(maskBitmap);
    FPictureWidth = width;
    FPictureHeight = height;
    FTransparentColor = TDib::ToColor(key);
    Invalidate();
    return true;
}

void TImage::Draw(HDC DC, int X, int Y) const
{
    if (!FPicture)
        return;
    TMemoryDC memory;
    if (!FTransparent) {
        TSelectObject picture(memory.DC(), FPicture.Get());
        ::BitBlt(DC, X, Y, FPictureWidth, FPictureHeight, memory.DC(), 0, 0, SRCCOPY);
        return;
    }
    // Black where the picture shows, the background kept where it is keyed
    // out; then the picture's own pixels laid into the black.
    {
        TSelectObject mask(memory.DC(), FMask.Get());
        COLORREF text = ::SetTextColor(DC, RGB(0, 0, 0));
        COLORREF back = ::SetBkColor(DC, RGB(255, 255, 255));
        ::BitBlt(DC, X, Y, FPictureWidth, FPictureHeight, memory.DC(), 0, 0, SRCAND);
        ::SetTextColor(DC, text);
        ::SetBkColor(DC, back);
    }
    TSelectObject ink(memory.DC(), FInk.Get());
    ::BitBlt(DC, X, Y, FPictureWidth, FPictureHeight, memory.DC(), 0, 0, SRCPAINT);
}

void TImage::Paint(HDC DC)
{
    Draw(DC, 0, 0);
}
