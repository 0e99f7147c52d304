// The plain controls: panel, group box, label, memo, push button, status bar.
#pragma once

#include "ui/Control.h"

enum TBevelCut { bvNone, bvLowered, bvRaised };

class TPanel : public TControl {
public:
    using TControl::TControl;
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value) { FBevelOuter = Value; Invalidate(); }
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value) { FBevelInner = Value; Invalidate(); }
    RECT ClientRect() const override;

protected:
    DWORD ExStyle() const override { return WS_EX_CONTROLPARENT; }
    void Paint(HDC DC) override;

private:
    int BevelWidth() const { return (FBevelOuter != bvNone) + (FBevelInner != bvNone); }
    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
};

// Screen readers take it for a grouping named by its caption.
class TGroupBox : public TControl {
public:
    using TControl::TControl;

protected:
    DWORD ExStyle() const override { return WS_EX_CONTROLPARENT; }
    void AfterCreateWnd() override;
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
    void Paint(HDC DC) override;
};

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A label of our own drawing: sized to its text unless AutoSize is off. Its
// window is a standard static control holding the caption, which screen
// readers read; the painting and the mouse handling are the label's.
class TLabel : public TControl {
public:
    TLabel(TComponent* Owner, std::string Name);
    void SetCaption(const std::string& Value);
    std::string Caption() const { return Text(); }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; Invalidate(); }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; Invalidate(); }
    void SetCursor(HCURSOR Value) { FCursor = Value; }
    // The size the caption needs in the label's font.
    SIZE TextExtent() const;

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

protected:
    void CreateWnd(HWND ParentWnd) override;
    void Paint(HDC DC) override;
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
    void FontChanged() override;
    // Sized to the caption, which the label holds or is about to hold.
    void AdjustSize(const std::string& Caption);
    SIZE ExtentOf(const std::string& Caption) const;
    // Reactions a descendant may replace; the base fires the events.
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void MouseDown(UINT Button, int X, int Y);
    virtual void MouseUp(UINT Button, int X, int Y);
    virtual void Click();

private:
    bool FAutoSize = true;
    TAlignment FAlignment = taLeftJustify;
    bool FTransparent = false;
    HCURSOR FCursor = nullptr;
    bool FMouseInside = false;
    bool FPressed = false;
};

// Multi-line text, read-only, white (the system's window colour under high
// contrast), both scroll bars.
class TMemo : public TControl {
public:
    TMemo(TComponent* Owner, std::string Name);
    void Clear() { SetText({}); }

protected:
    void CreateWnd(HWND ParentWnd) override;
    HBRUSH CtlColor(HDC DC) override;
};

class TButton : public TControl {
public:
    using TControl::TControl;
    TNotifyEvent OnClick;

protected:
    void CreateWnd(HWND ParentWnd) override;
    bool Command(WORD Code, LRESULT& Result) override;
};

// One simple panel with a size grip; with AutoHint it shows the
// application's current hint whenever that changes.
class TStatusBar : public TControl {
public:
    TStatusBar(TComponent* Owner, std::string Name);
    ~TStatusBar() override;
    // Kept beside the window too: a status bar in simple mode does not give
    // its text back everywhere (Wine's answers SB_GETTEXT with nothing).
    std::string SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& Value);
    void SetAutoHint(bool Value);

protected:
    void CreateWnd(HWND ParentWnd) override;
    bool UsesFont() const override { return false; }

private:
    std::string FSimpleText;
    bool FAutoHint = false;
};
