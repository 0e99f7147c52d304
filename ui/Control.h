// TControl: a child window of a form, with the framework's alignment layout.
//
// Controls of our own window class (panels, splitters, forms) receive
// their messages in WndProc; standard controls (list view, tree view, edit,
// button, status bar) get the WM_NOTIFY / WM_COMMAND / WM_CTLCOLOR* messages
// that their parent receives handed back to them (Notify, Command, CtlColor).
// `this` is stored as a window property, so a window's wrapper is found from
// its handle without any global map. When a window dies, the wrappers of it
// and of every window below it hold no handle. A standard control made routed
// (a label) is subclassed and receives its messages in WndProc like a control
// of our own class.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Handle.h"
#include "ui/Colors.h"

enum TAlign { alNone, alTop, alBottom, alLeft, alClient };

// Font description; the handle is made on demand and shared by every control
// that takes the font from its parent.
struct TFontSpec {
    std::string Name = "MS Sans Serif";
    int Height = -11; // pixels; negative: character height
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    COLORREF Color = clWindowText;

    bool operator==(const TFontSpec&) const = default;
    // The same font at M / D of its size. Made larger, a bitmap face that
    // has a TrueType counterpart of the same metrics takes that one: the
    // bitmap face has no glyphs at the new size.
    TFontSpec Scaled(int M, int D) const;
};

using TNotifyEvent = std::function<void(TComponent& Sender)>;
using TMouseEvent = std::function<void(TComponent& Sender, UINT Button, int X, int Y)>;

class TControl : public TComponent {
public:
    TControl(TComponent* Owner, std::string Name);
    ~TControl() override;

    HWND Handle() const { return FHandle; }
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Creates the window (and those of the children) when it does not exist yet.
    void HandleNeeded();
    // The control of a window of this process; null for any other window.
    static TControl* FromHandle(HWND Wnd);

    TControl* Parent() const { return FParent; }
    void SetParent(TControl* Value);
    const std::vector<TControl*>& Controls() const { return FControls; }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    // Where the control stands in its parent's client area (a form: on the
    // screen); once the window exists, where the window is.
    RECT BoundsRect() const;
    int Left() const { return BoundsRect().left; }
    int Top() const { return BoundsRect().top; }
    int Width() const { const RECT r = BoundsRect(); return r.right - r.left; }
    int Height() const { const RECT r = BoundsRect(); return r.bottom - r.top; }
    void SetBounds(int Left, int Top, int Width, int Height);
    void SetWidth(int Value) { const RECT r = BoundsRect(); SetBounds(r.left, r.top, Value, r.bottom - r.top); }
    void SetHeight(int Value) { const RECT r = BoundsRect(); SetBounds(r.left, r.top, r.right - r.left, Value); }

    // Once the window exists, whether it has the visible style.
    bool Visible() const;
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    const std::string& Hint() const { return FHint; }
    void SetHint(std::string Value) { FHint = std::move(Value); }
    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int Value) { FTabOrder = Value; }

    // Caption or text of the control: held by the window once it exists.
    std::string Text() const;
    void SetText(const std::string& Value);

    COLORREF Color() const { return FColor; }
    void SetColor(COLORREF Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    // The colour the control paints with: its own, or its parent's.
    COLORREF EffectiveColor() const;

    const TFontSpec& Font() const;
    void SetFont(const TFontSpec& Value);
    bool ParentFont() const { return FParentFont; }
    HFONT FontHandle() const;

    // Scales what the control holds by M / D: its bounds, its own font and
    // its children; a control with design sizes of its own scales those too.
    virtual void ChangeScale(int M, int D);

    void Invalidate();
    void Repaint();
    void Realign();
    virtual RECT ClientRect() const;

    // Hands WM_NOTIFY / WM_COMMAND / WM_CTLCOLOR* back to the child that sent them.
    virtual bool Notify(NMHDR& Header, LRESULT& Result);
    virtual bool Command(WORD Code, LRESULT& Result);
    virtual HBRUSH CtlColor(HDC DC);
    // A keyboard message for the focused window, offered to the nearest
    // control at or above it before the application handles it; true when
    // the control has handled it.
    virtual bool PreTranslateMessage(MSG&) { return false; }

    // Repainting suspended and resumed around bulk changes.
    void BeginUpdate();
    void EndUpdate();
    // Whether repainting is suspended (BeginUpdate without its EndUpdate yet).
    bool Updating() const { return FUpdateCount > 0; }

protected:
    // Makes the window; the default makes one of our own class.
    virtual void CreateWnd(HWND ParentWnd);
    virtual void AfterCreateWnd() {}
    virtual LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam);
    virtual void Paint(HDC DC);
    virtual DWORD Style() const { return WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN; }
    virtual DWORD ExStyle() const { return 0; }
    // False for controls that keep the system's own font.
    virtual bool UsesFont() const { return true; }
    virtual void FontChanged();
    virtual void BoundsChanged() {}
    void CreateOwnClass(HWND ParentWnd, const char* ClassName, DWORD Style, DWORD ExStyle);
    // Routed: every message of the window comes to WndProc, whose DefaultProc
    // is then the class's own handling.
    void CreateStdClass(HWND ParentWnd, const char* ClassName, DWORD Style, DWORD ExStyle, bool Routed = false);
    void Attach(HWND Wnd);
    LRESULT DefaultProc(UINT Msg, WPARAM WParam, LPARAM LParam);
    HBRUSH BackgroundBrush() const;
    void CreateChildren();
    // Lets the parent route notifications of windows it owns.
    LRESULT ReflectToChild(UINT Msg, WPARAM WParam, LPARAM LParam, bool& Handled);

    static LRESULT CALLBACK StaticWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    static LRESULT CALLBACK RoutedProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR Id,
                                       DWORD_PTR Data);
    static void RegisterOwnClass(const char* ClassName, HICON Icon = nullptr, HICON SmallIcon = nullptr);

    HWND FHandle = nullptr;
    bool FOwnClass = false;

private:
    friend class TForm;
    void DestroyHandle();
    void ForgetWindows();
    void InsertChild(TControl* Child);
    void RemoveChild(TControl* Child);

    TControl* FParent = nullptr;
    std::vector<TControl*> FControls;
    TAlign FAlign = alNone;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;   // until the window exists
    bool FVisible = true;   // until the window exists
    std::string FHint;
    std::string FText;
    int FTabOrder = 0;
    COLORREF FColor = clBtnFace;
    bool FParentColor = true;
    bool FParentFont = true;
    TFontSpec FFont;
    mutable TFontHandle FFontHandle;
    mutable TBrushHandle FBrush;
    mutable COLORREF FBrushColor = CLR_INVALID;
    int FUpdateCount = 0;
    bool FAligning = false;
    bool FRouted = false;
};
