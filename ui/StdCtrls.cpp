#include "ui/StdCtrls.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

#include "ui/Accessible.h"
#include "ui/Application.h"
#include "base/Handle.h"

// --- TPanel ---------------------------------------------------------------

RECT TPanel::ClientRect() const
{
    RECT r = TControl::ClientRect();
    int b = BevelWidth();
    ::InflateRect(&r, -b, -b);
    return r;
}

void TPanel::Paint(HDC DC)
{
    RECT r;
    ::GetClientRect(FHandle, &r);
    auto edge = [&](TBevelCut cut) {
        if (cut == bvNone)
            return;
        ::DrawEdge(DC, &r, cut == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
        ::InflateRect(&r, -1, -1);
    };
    edge(FBevelOuter);
    edge(FBevelInner);
}

// --- TGroupBox ------------------------------------------------------------

namespace {
struct ThemeTraits {
    static HTHEME Invalid() { return nullptr; }
    static void Close(HTHEME h) { ::CloseThemeData(h); }
};
using TThemeHandle = TUniqueHandle<ThemeTraits>;
} // namespace

void TGroupBox::AfterCreateWnd()
{
    SetAccessibleRole(FHandle, ROLE_SYSTEM_GROUPING);
}

LRESULT TGroupBox::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_DESTROY)
        ClearAccessibleRole(FHandle);
    return TControl::WndProc(Msg, WParam, LParam);
}

void TGroupBox::Paint(HDC DC)
{
    RECT r;
    ::GetClientRect(FHandle, &r);
    TSelectObject font(DC, FontHandle());
    TEXTMETRICA tm{};
    ::GetTextMetricsA(DC, &tm);
    RECT frame = r;
    frame.top += tm.tmHeight / 2;
    // Under visual styles the frame is the theme's, as on the system's own
    // group boxes; without them the classic etched edge.
    const TThemeHandle theme(::IsAppThemed() ? ::OpenThemeData(FHandle, L"BUTTON") : nullptr);
    if (!theme || FAILED(::DrawThemeBackground(theme.Get(), DC, BP_GROUPBOX, GBS_NORMAL, &frame, nullptr)))
        ::DrawEdge(DC, &frame, EDGE_ETCHED, BF_RECT);
    std::string caption = Text();
    if (!caption.empty()) {
        SIZE extent{};
        ::GetTextExtentPoint32A(DC, caption.c_str(), static_cast<int>(caption.size()), &extent);
        RECT text{8, 0, 8 + extent.cx + 4, tm.tmHeight};
        ::SetBkColor(DC, ColorToRGB(EffectiveColor()));
        ::SetTextColor(DC, ColorToRGB(Font().Color));
        ::ExtTextOutA(DC, 10, 0, ETO_OPAQUE, &text, caption.c_str(), static_cast<UINT>(caption.size()), nullptr);
    }
}

// --- TLabel ---------------------------------------------------------------

TLabel::TLabel(TComponent* Owner, std::string Name) : TControl(Owner, std::move(Name)) {}

void TLabel::SetCaption(const std::string& Value)
{
    SetText(Value);
    AdjustSize(Value);
    Invalidate();
}

void TLabel::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    AdjustSize(Text());
}

SIZE TLabel::TextExtent() const
{
    return ExtentOf(Text());
}

SIZE TLabel::ExtentOf(const std::string& Caption) const
{
    SIZE extent{0, 0};
    const TScreenDC dc;
    TSelectObject font(dc.DC(), FontHandle());
    RECT r{0, 0, 0, 0};
    const std::string& caption = Caption;
    const std::string text = caption.empty() ? std::string(" ") : caption;
    ::DrawTextA(dc.DC(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    extent.cx = caption.empty() ? 0 : r.right - r.left;
    extent.cy = r.bottom - r.top;
    return extent;
}

void TLabel::AdjustSize(const std::string& Caption)
{
    if (!FAutoSize)
        return;
    const SIZE extent = ExtentOf(Caption);
    const RECT r = BoundsRect();
    SetBounds(r.left, r.top, extent.cx, extent.cy);
}

void TLabel::FontChanged()
{
    TControl::FontChanged();
    AdjustSize(Text());
}

void TLabel::CreateWnd(HWND ParentWnd)
{
    CreateStdClass(ParentWnd, "STATIC", Style() | SS_NOPREFIX, ExStyle(), true);
}

void TLabel::Paint(HDC DC)
{
    RECT r;
    ::GetClientRect(FHandle, &r);
    TSelectObject font(DC, FontHandle());
    ::SetBkMode(DC, TRANSPARENT);
    ::SetTextColor(DC, ColorToRGB(Font().Color));
    UINT format = DT_NOPREFIX | DT_SINGLELINE;
    if (FAlignment == taCenter)
        format |= DT_CENTER;
    else if (FAlignment == taRightJustify)
        format |= DT_RIGHT;
    const std::string caption = Text();
    ::DrawTextA(DC, caption.c_str(), static_cast<int>(caption.size()), &r, format);
}

LRESULT TLabel::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    int x = static_cast<short>(LOWORD(LParam));
    int y = static_cast<short>(HIWORD(LParam));
    switch (Msg) {
    case WM_ERASEBKGND:
        if (FTransparent)
            return 1;
        break;
    case WM_SETCURSOR:
        if (FCursor && LOWORD(LParam) == HTCLIENT) {
            ::SetCursor(FCursor);
            return TRUE;
        }
        break;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_MOUSEMOVE:
        if (!FMouseInside) {
            FMouseInside = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
            ::TrackMouseEvent(&track);
            MouseEnter();
        }
        return 0;
    case WM_MOUSELEAVE:
        FMouseInside = false;
        MouseLeave();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
        // The second press of a double-click is a press like the first, but
        // its release is no click of its own.
        const UINT down = Msg == WM_LBUTTONDBLCLK   ? WM_LBUTTONDOWN
                          : Msg == WM_RBUTTONDBLCLK ? WM_RBUTTONDOWN
                          : Msg == WM_MBUTTONDBLCLK ? WM_MBUTTONDOWN
                                                    : Msg;
        FPressed = Msg == WM_LBUTTONDOWN;
        ::SetCapture(FHandle);
        MouseDown(down, x, y);
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        bool click = FPressed && Msg == WM_LBUTTONUP;
        FPressed = false;
        if (::GetCapture() == FHandle)
            ::ReleaseCapture();
        MouseUp(Msg, x, y);
        RECT r;
        ::GetClientRect(FHandle, &r);
        POINT pt{x, y};
        if (click && ::PtInRect(&r, pt))
            Click();
        return 0;
    }
    }
    return TControl::WndProc(Msg, WParam, LParam);
}

void TLabel::MouseDown(UINT Button, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(*this, Button, X, Y);
}

void TLabel::MouseUp(UINT Button, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(*this, Button, X, Y);
}

void TLabel::Click()
{
    if (OnClick)
        OnClick(*this);
}

// --- TMemo ----------------------------------------------------------------

TMemo::TMemo(TComponent* Owner, std::string Name) : TControl(Owner, std::move(Name))
{
    SetColor(ContrastColor(RGB(255, 255, 255), COLOR_WINDOW));
}

void TMemo::CreateWnd(HWND ParentWnd)
{
    DWORD style = WS_CHILD | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
                  ES_AUTOVSCROLL | ES_NOHIDESEL | ES_READONLY;
    CreateStdClass(ParentWnd, "EDIT", style, WS_EX_CLIENTEDGE);
    // No limit of the control's own on how much text it takes.
    ::SendMessageA(FHandle, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
}

HBRUSH TMemo::CtlColor(HDC DC)
{
    ::SetBkColor(DC, ColorToRGB(EffectiveColor()));
    ::SetTextColor(DC, ColorToRGB(Font().Color));
    return BackgroundBrush();
}

// --- TButton --------------------------------------------------------------

void TButton::CreateWnd(HWND ParentWnd)
{
    CreateStdClass(ParentWnd, "BUTTON", WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0);
}

bool TButton::Command(WORD Code, LRESULT& Result)
{
    if (Code != BN_CLICKED)
        return false;
    if (OnClick)
        OnClick(*this);
    Result = 0;
    return true;
}

// --- TStatusBar -----------------------------------------------------------

TStatusBar::TStatusBar(TComponent* Owner, std::string Name) : TControl(Owner, std::move(Name)) {}

TStatusBar::~TStatusBar()
{
    if (FAutoHint)
        Application().OnHint = nullptr;
}

void TStatusBar::CreateWnd(HWND ParentWnd)
{
    CreateStdClass(ParentWnd, STATUSCLASSNAMEA, WS_CHILD | SBARS_SIZEGRIP | CCS_NOPARENTALIGN | CCS_NORESIZE, 0);
    ::SendMessageA(FHandle, SB_SIMPLE, TRUE, 0);
    ::SendMessageA(FHandle, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
}

void TStatusBar::SetSimpleText(const std::string& Value)
{
    FSimpleText = Value;
    if (FHandle)
        ::SendMessageA(FHandle, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
}

void TStatusBar::SetAutoHint(bool Value)
{
    FAutoHint = Value;
    if (Value)
        Application().OnHint = [this] { SetSimpleText(GetLongHint(Application().Hint())); };
    else
        Application().OnHint = nullptr;
}
