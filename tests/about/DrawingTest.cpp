// The about window's drawn parts: the keyed-out picture and the shadowed label.
#include <gtest/gtest.h>

#include <algorithm>

#include "ui/Application.h"
#include "about/Dib.h"
#include "about/Image.h"
#include "about/LabelFX.h"

namespace {

constexpr uint32_t Green = 0x00FF00;
constexpr uint32_t WhitePixel = 0xFFFFFF;

void Fill(TDib& dib, uint32_t pixel)
{
    std::fill(dib.Bits(), dib.Bits() + static_cast<size_t>(dib.Width()) * dib.Height(), pixel);
}

int Darkness(uint32_t pixel)
{
    return 255 - static_cast<int>(pixel & 0xFF);
}

} // namespace

TEST(Image, KeyedOutPixelsLeaveTheBackgroundTheRestShowsThePicture)
{
    TImage image(nullptr, "Image");
    EXPECT_FALSE(image.LoadFromResourceName(::GetModuleHandleA(nullptr), "NOSUCHPICTURE"));
    EXPECT_TRUE(image.Empty());
    ASSERT_TRUE(image.LoadFromResourceName(::GetModuleHandleA(nullptr), "ABOUTIMAGE"));
    ASSERT_EQ(image.PictureWidth(), 32);

    TDib plain(40, 40), keyed(40, 40);
    TMemoryDC dc;
    Fill(plain, Green);
    Fill(keyed, Green);
    {
        TSelectObject select(dc.DC(), plain.Bitmap());
        image.Draw(dc.DC(), 4, 4);
    }
    image.SetTransparent(true);
    {
        TSelectObject select(dc.DC(), keyed.Bitmap());
        image.Draw(dc.DC(), 4, 4);
    }
    ::GdiFlush();

    const uint32_t key = TDib::FromColor(image.TransparentColor());
    EXPECT_EQ(plain.At(4, 35) & 0xFFFFFF, key); // the bottom-left pixel
    int shown = 0, keyedOut = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 4 && x < 36 && y >= 4 && y < 36;
            const uint32_t original = plain.At(x, y) & 0xFFFFFF;
            const uint32_t drawn = keyed.At(x, y) & 0xFFFFFF;
            if (!inside || original == key) {
                EXPECT_EQ(drawn, Green) << x << "," << y;
                keyedOut += inside;
            } else {
                EXPECT_EQ(drawn, original) << x << "," << y;
                ++shown;
            }
        }
    }
    EXPECT_GT(shown, 300);
    EXPECT_GT(keyedOut, 100);
}

TEST(LabelFX, SoftShadowOffsetBelowTheTextWhichStaysOnTop)
{
    Application().Initialize();
    TLabelFX label(nullptr, "sLabelFX1");
    label.SetAutoSize(false);
    label.SetBounds(0, 0, 303, 37);
    TFontSpec font;
    font.Name = "Arial";
    font.Height = -24;
    font.Bold = true;
    font.Color = RGB(0, 0, 0);
    label.SetFont(font);
    label.SetColor(RGB(255, 255, 255));
    label.SetCaption("Morvane");
    const RECT r{0, 0, 303, 37};

    TDib textOnly(303, 37), shadowed(303, 37);
    TMemoryDC dc;
    label.SetShadowColor(RGB(255, 255, 255)); // a shadow that cannot be seen
    {
        TSelectObject select(dc.DC(), textOnly.Bitmap());
        label.Draw(dc.DC(), r);
    }
    label.SetShadowColor(RGB(0, 0, 0));
    {
        TSelectObject select(dc.DC(), shadowed.Bitmap());
        label.Draw(dc.DC(), r);
    }
    ::GdiFlush();

    // The text's ink.
    int left = 303, right = -1, top = 37, bottom = -1;
    for (int y = 0; y < 37; ++y)
        for (int x = 0; x < 303; ++x)
            if ((textOnly.At(x, y) & 0xFFFFFF) != WhitePixel) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, left);
    ASSERT_GE(top, 2);
    ASSERT_LT(bottom + 6, 37) << "the text leaves room for its shadow";
    ASSERT_LT(right + 8, 303);

    int soft = 0;
    for (int y = 0; y < 37; ++y) {
        for (int x = 0; x < 303; ++x) {
            const uint32_t text = textOnly.At(x, y) & 0xFFFFFF;
            const uint32_t drawn = shadowed.At(x, y) & 0xFFFFFF;
            if (text == 0) {
                EXPECT_EQ(drawn, 0u) << "the text lies on top at " << x << "," << y;
            }
            const int d = Darkness(drawn);
            if (text == WhitePixel && d > 8 && d < 247)
                ++soft;
            // A shadow only darkens.
            EXPECT_GE(Darkness(drawn), Darkness(text)) << x << "," << y;
        }
    }
    EXPECT_GT(soft, 100);

    // Blurred beyond the ink, but not far: 1 pixel of offset and 4 of blur.
    auto columnDarkness = [&](int x) {
        int sum = 0;
        for (int y = 0; y < 37; ++y)
            sum += Darkness(shadowed.At(x, y));
        return sum;
    };
    auto rowDarkness = [&](int y) {
        int sum = 0;
        for (int x = 0; x < 303; ++x)
            sum += Darkness(shadowed.At(x, y));
        return sum;
    };
    EXPECT_GT(columnDarkness(right + 2), 0);
    EXPECT_EQ(columnDarkness(right + 7), 0);
    EXPECT_EQ(rowDarkness(bottom + 7), 0);
    // Offset down and to the right: darker below the text than above it.
    EXPECT_GT(rowDarkness(bottom + 2), rowDarkness(top - 2));
}
