// TLabelFX: a label drawn with a soft drop shadow. The caption's shape is
// offset, blurred by repeated 3 x 3 box averages and laid under the text in
// the shadow colour.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/StdCtrls.h"

class TLabelFX : public TLabel {
public:
    using TLabel::TLabel;

    COLORREF ShadowColor() const { return FShadowColor; }
    void SetShadowColor(COLORREF Value) { FShadowColor = Value; Invalidate(); }
    int ShadowDistance() const { return FShadowDistance; }
    int ShadowBlur() const { return FShadowBlur; }

    // Draws background, shadow and caption into the rectangle of the device context.
    void Draw(HDC DC, const RECT& Bounds) const;

protected:
    void Paint(HDC DC) override;

private:
    COLORREF FShadowColor = RGB(0, 0, 0);
    int FShadowDistance = 1;
    int FShadowBlur = 4;
};

// One pass of a 3 x 3 box average over an 8-bit coverage map of Width x Height;
// outside the map counts as 0.
void BoxBlur3x3(std::vector<uint8_t>& Coverage, int Width, int Height);
