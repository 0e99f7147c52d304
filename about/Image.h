// TImage: a picture from a BITMAP resource, drawn at the control's top-left
// corner. A transparent picture keys out the colour of its bottom-left pixel
// and leaves whatever lies under those pixels as it is.
#pragma once

#include "ui/Control.h"

class TImage : public TControl {
public:
    using TControl::TControl;

    // Loads the named BITMAP resource of the module; false when there is none.
    bool LoadFromResourceName(HINSTANCE Instance, const char* ResourceName);
    bool Empty() const { return !FPicture; }
    int PictureWidth() const { return FPictureWidth; }
    int PictureHeight() const { return FPictureHeight; }

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; Invalidate(); }
    // The keyed-out colour: the picture's bottom-left pixel.
    COLORREF TransparentColor() const { return FTransparentColor; }

    // Draws the picture with its top-left corner at X, Y of the device context.
    void Draw(HDC DC, int X, int Y) const;

protected:
    void Paint(HDC DC) override;

private:
    TBitmapHandle FPicture; // 32 bits per pixel
    TBitmapHandle FInk;     // the picture with its keyed-out pixels black
    TBitmapHandle FMask;    // one bit per pixel: 1 where the picture is keyed out
    int FPictureWidth = 0;
    int FPictureHeight = 0;
    COLORREF FTransparentColor = CLR_INVALID;
    bool FTransparent = false;
};
