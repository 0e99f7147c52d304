#include "about/LabelFX.h"

#include "about/Dib.h"

void BoxBlur3x3(std::vector<uint8_t>& Coverage, int Width, int Height)
{
    if (Width <= 0 || Height <= 0)
        return;
    // Rows first, then columns: the sum of the 3 x 3 neighbourhood.
    std::vector<int> rows(Coverage.size(), 0);
    for (int y = 0; y < Height; ++y) {
        const uint8_t* in = &Coverage[static_cast<size_t>(y) * Width];
        int* out = &rows[static_cast<size_t>(y) * Width];
        for (int x = 0; x < Width; ++x)
            out[x] = in[x] + (x > 0 ? in[x - 1] : 0) + (x + 1 < Width ? in[x + 1] : 0);
    }
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const size_t i = static_cast<size_t>(y) * Width + x;
            int sum = rows[i] + (y > 0 ? rows[i - Width] : 0) + (y + 1 < Height ? rows[i + Width] : 0);
            Coverage[i] = static_cast<uint8_t>((sum + 4) / 9);
        }
    }
}

void TLabelFX::Draw(HDC DC, const RECT& Bounds) const
{
    const int width = Bounds.right - Bounds.left;
    const int height = Bounds.bottom - Bounds.top;
    if (width <= 0 || height <= 0)
        return;
    const std::string& caption = Caption();
    UINT format = DT_NOPREFIX | DT_SINGLELINE;
    if (Alignment() == taCenter)
        format |= DT_CENTER;
    else if (Alignment() == taRightJustify)
        format |= DT_RIGHT;

    TDib shape(width, height);
    TDib picture(width, height);
    if (!shape || !picture)
        return;
    TMemoryDC shapeDC, pictureDC;
    TSelectObject shapeBitmap(shapeDC.DC(), shape.Bitmap());
    TSelectObject shapeFont(shapeDC.DC(), FontHandle());
    TSelectObject pictureBitmap(pictureDC.DC(), picture.Bitmap());
    TSelectObject pictureFont(pictureDC.DC(), FontHandle());

    // The caption's shape, white on black, where the shadow falls.
    RECT shadowRect{FShadowDistance, FShadowDistance, width + FShadowDistance, height + FShadowDistance};
    ::PatBlt(shapeDC.DC(), 0, 0, width, height, BLACKNESS);
    ::SetBkMode(shapeDC.DC(), TRANSPARENT);
    ::SetTextColor(shapeDC.DC(), RGB(255, 255, 255));
    ::DrawTextA(shapeDC.DC(), caption.c_str(), static_cast<int>(caption.size()), &shadowRect, format);
    ::GdiFlush();

    std::vector<uint8_t> coverage(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < coverage.size(); ++i) {
        uint32_t p = shape.Bits()[i];
        // Sub-pixel smoothing colours the edges: the mean of the channels.
        coverage[i] = static_cast<uint8_t>((((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3);
    }
    for (int pass = 0; pass < FShadowBlur; ++pass)
        BoxBlur3x3(coverage, width, height);

    // Background with the shadow laid over it by its coverage.
    const COLORREF back = ColorToRGB(EffectiveColor());
    const COLORREF shadow = ColorToRGB(FShadowColor);
    for (size_t i = 0; i < coverage.size(); ++i) {
        const int a = coverage[i];
        auto mix = [a](int from, int to) { return (from * (255 - a) + to * a + 127) / 255; };
        picture.Bits()[i] = TDib::FromColor(RGB(mix(GetRValue(back), GetRValue(shadow)),
                                                mix(GetGValue(back), GetGValue(shadow)),
                                                mix(GetBValue(back), GetBValue(shadow))));
    }

    // The caption itself on top.
    RECT textRect{0, 0, width, height};
    ::SetBkMode(pictureDC.DC(), TRANSPARENT);
    ::SetTextColor(pictureDC.DC(), ColorToRGB(Font().Color));
    ::DrawTextA(pictureDC.DC(), caption.c_str(), static_cast<int>(caption.size()), &textRect, format);
    ::GdiFlush();
    ::BitBlt(DC, Bounds.left, Bounds.top, width, height, pictureDC.DC(), 0, 0, SRCCOPY);
}

void TLabelFX::Paint(HDC DC)
{
    RECT r;
    ::GetClientRect(FHandle, &r);
    Draw(DC, r);
}
