#include "ui/Control.h"

#include <commctrl.h>

#include <algorithm>

#include "base/SystemError.h"
#include "ui/Application.h"

namespace {
constexpr char OwnClassName[] = "MorvaneControl";
constexpr char ControlPropName[] = "Morvane.Control";

// The window property that holds a window's control: an atom added once, so
// that setting and removing the property never touches the system's atom
// table again (without the atom, the name, for which SetPropA adds one).
LPCSTR ControlProp()
{
    static const ATOM atom = ::GlobalAddAtomA(ControlPropName);
    return atom ? MAKEINTATOM(atom) : ControlPropName;
}
} // namespace

TFontSpec TFontSpec::Scaled(int M, int D) const
{
    TFontSpec font = *this;
    font.Height = ::MulDiv(Height, M, D);
    if (M > D && ::lstrcmpiA(Name.c_str(), "MS Sans Serif") == 0)
        font.Name = "Microsoft Sans Serif";
    return font;
}

TControl::TControl(TComponent* Owner, std::string Name) : TComponent(Owner, std::move(Name)) {}

TControl::~TControl()
{
    DestroyHandle();
    for (TControl* child : FControls)
        child->FParent = nullptr;
    if (FParent)
        FParent->RemoveChild(this);
}

TControl* TControl::FromHandle(HWND Wnd)
{
    // Another process's window (another running Morvane) may carry the same
    // property, holding a pointer of that process.
    DWORD process = 0;
    if (!Wnd || !::GetWindowThreadProcessId(Wnd, &process) || process != ::GetCurrentProcessId())
        return nullptr;
    return static_cast<TControl*>(::GetPropA(Wnd, ControlProp()));
}

void TControl::DestroyHandle()
{
    if (FHandle) {
        ::DestroyWindow(FHandle);
        ForgetWindows();
    }
}

// This control's window has died, and with it the windows of every control
// below it. A window of our own class lets go of its control at WM_NCDESTROY;
// a standard control is not subclassed to see its own (under Wine each of its
// messages would then cost two round trips to the window server), so it is
// told here, by the window it died with.
void TControl::ForgetWindows()
{
    FHandle = nullptr;
    for (TControl* child : FControls)
        child->ForgetWindows();
}

void TControl::SetParent(TControl* Value)
{
    if (Value == FParent)
        return;
    if (FParent)
        FParent->RemoveChild(this);
    FParent = Value;
    if (FParent) {
        FParent->InsertChild(this);
        if (FParent->HandleAllocated())
            HandleNeeded();
    }
}

void TControl::InsertChild(TControl* Child)
{
    FControls.push_back(Child);
    if (Child->FAlign != alNone)
        Realign();
}

void TControl::RemoveChild(TControl* Child)
{
    FControls.erase(std::remove(FControls.begin(), FControls.end(), Child), FControls.end());
    if (Child->FAlign != alNone)
        Realign();
}

void TControl::SetAlign(TAlign Value)
{
    FAlign = Value;
    if (FParent)
        FParent->Realign();
}

RECT TControl::BoundsRect() const
{
    RECT r{FLeft, FTop, FLeft + FWidth, FTop + FHeight};
    if (FHandle) {
        ::GetWindowRect(FHandle, &r);
        if (::GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_CHILD)
            ::MapWindowPoints(nullptr, ::GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

void TControl::SetBounds(int Left, int Top, int Width, int Height)
{
    const RECT r = BoundsRect();
    if (Left == r.left && Top == r.top && Width == r.right - r.left && Height == r.bottom - r.top)
        return;
    if (FHandle) {
        ::SetWindowPos(FHandle, nullptr, Left, Top, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        FLeft = Left;
        FTop = Top;
        FWidth = Width;
        FHeight = Height;
    }
    BoundsChanged();
    if (FParent && FAlign != alNone && !FParent->FAligning)
        FParent->Realign();
    Realign();
}

bool TControl::Visible() const
{
    return FHandle ? (::GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_VISIBLE) != 0 : FVisible;
}

void TControl::SetVisible(bool Value)
{
    if (Visible() == Value)
        return;
    if (FHandle)
        ::ShowWindow(FHandle, Value ? SW_SHOW : SW_HIDE);
    else
        FVisible = Value;
    if (FParent && FAlign != alNone)
        FParent->Realign();
}

std::string TControl::Text() const
{
    if (!FHandle)
        return FText;
    std::string text;
    int length = ::GetWindowTextLengthA(FHandle);
    while (length >= 0) {
        text.resize(static_cast<size_t>(length) + 1);
        int got = ::GetWindowTextA(FHandle, text.data(), length + 1);
        if (got < length || ::GetWindowTextLengthA(FHandle) <= length) {
            text.resize(static_cast<size_t>(got));
            return text;
        }
        length = ::GetWindowTextLengthA(FHandle);
    }
    return {};
}

void TControl::SetText(const std::string& Value)
{
    // Once the window exists it holds the text, and nothing else keeps a copy
    // (a text view may hold a large text).
    if (FHandle) {
        std::string().swap(FText);
        ::SetWindowTextA(FHandle, Value.c_str());
    } else {
        FText = Value;
    }
}

void TControl::SetColor(COLORREF Value)
{
    FColor = Value;
    FParentColor = false;
    Invalidate();
}

void TControl::SetParentColor(bool Value)
{
    FParentColor = Value;
    Invalidate();
}

COLORREF TControl::EffectiveColor() const
{
    return (FParentColor && FParent) ? FParent->EffectiveColor() : FColor;
}

HBRUSH TControl::BackgroundBrush() const
{
    COLORREF color = ColorToRGB(EffectiveColor());
    if (!FBrush || FBrushColor != color) {
        FBrush.Reset(::CreateSolidBrush(color));
        FBrushColor = color;
    }
    return FBrush.Get();
}

const TFontSpec& TControl::Font() const
{
    return (FParentFont && FParent) ? FParent->Font() : FFont;
}

void TControl::SetFont(const TFontSpec& Value)
{
    FParentFont = false;
    FFont = Value;
    FFontHandle.Reset();
    FontChanged();
}

HFONT TControl::FontHandle() const
{
    if (FParentFont && FParent)
        return FParent->FontHandle();
    if (!FFontHandle) {
        FFontHandle.Reset(::CreateFontA(FFont.Height, 0, 0, 0, FFont.Bold ? FW_BOLD : FW_NORMAL,
                                        FFont.Italic, FFont.Underline, FFont.StrikeOut,
                                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                        DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                        FFont.Name.c_str()));
    }
    return FFontHandle.Get();
}

void TControl::FontChanged()
{
    if (FHandle && UsesFont())
        ::SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
    for (TControl* child : FControls)
        if (child->FParentFont)
            child->FontChanged();
    Invalidate();
}

void TControl::ChangeScale(int M, int D)
{
    const RECT r = BoundsRect();
    SetBounds(::MulDiv(r.left, M, D), ::MulDiv(r.top, M, D), ::MulDiv(r.right - r.left, M, D),
              ::MulDiv(r.bottom - r.top, M, D));
    for (TControl* child : FControls)
        child->ChangeScale(M, D);
    // The font last: the children that take it are sized to it in their scaled places.
    if (!FParentFont || !FParent)
        SetFont(FFont.Scaled(M, D));
}

void TControl::Invalidate()
{
    if (FHandle)
        ::InvalidateRect(FHandle, nullptr, TRUE);
}

void TControl::Repaint()
{
    if (FHandle) {
        ::InvalidateRect(FHandle, nullptr, TRUE);
        ::UpdateWindow(FHandle);
    }
}

RECT TControl::ClientRect() const
{
    RECT r{0, 0, FWidth, FHeight};
    if (FHandle)
        ::GetClientRect(FHandle, &r);
    return r;
}

void TControl::Realign()
{
    if (FAligning)
        return;
    FAligning = true;
    RECT r = ClientRect();
    for (TAlign pass : {alTop, alBottom, alLeft, alClient}) {
        for (TControl* c : FControls) {
            if (c->FAlign != pass || !c->Visible())
                continue;
            const RECT bounds = c->BoundsRect();
            int l = bounds.left, t = bounds.top, w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
            switch (pass) {
            case alTop:
                l = r.left; t = r.top; w = r.right - r.left;
                r.top += h;
                break;
            case alBottom:
                l = r.left; t = r.bottom - h; w = r.right - r.left;
                r.bottom -= h;
                break;
            case alLeft:
                l = r.left; t = r.top; h = r.bottom - r.top;
                r.left += w;
                break;
            default:
                l = r.left; t = r.top; w = r.right - r.left; h = r.bottom - r.top;
                break;
            }
            c->SetBounds(l, t, std::max(w, 0), std::max(h, 0));
        }
    }
    FAligning = false;
}

void TControl::BeginUpdate()
{
    if (FUpdateCount++ == 0 && FHandle)
        ::SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
}

void TControl::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FHandle) {
        ::SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(FHandle, nullptr, nullptr,
                       RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
}

void TControl::HandleNeeded()
{
    if (FHandle)
        return;
    if (FParent)
        FParent->HandleNeeded();
    if (FHandle) // the parent's creation made this one too
        return;
    CreateWnd(FParent ? FParent->FHandle : nullptr);
    if (UsesFont())
        ::SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
    AfterCreateWnd();
    CreateChildren();
    Realign();
}

void TControl::CreateChildren()
{
    std::vector<TControl*> order(FControls);
    std::stable_sort(order.begin(), order.end(),
                     [](const TControl* a, const TControl* b) { return a->FTabOrder < b->FTabOrder; });
    for (TControl* child : order)
        child->HandleNeeded();
}

void TControl::RegisterOwnClass(const char* ClassName, HICON Icon, HICON SmallIcon)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    if (::GetClassInfoExA(instance, ClassName, &wc))
        return;
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = StaticWndProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hIcon = Icon;
    wc.hIconSm = SmallIcon;
    wc.lpszClassName = ClassName;
    ::RegisterClassExA(&wc);
}

void TControl::CreateOwnClass(HWND ParentWnd, const char* ClassName, DWORD Style, DWORD ExStyle)
{
    RegisterOwnClass(ClassName);
    FOwnClass = true;
    ::CreateWindowExA(ExStyle, ClassName, FText.c_str(), Style | (FVisible ? WS_VISIBLE : 0),
                      FLeft, FTop, FWidth, FHeight, ParentWnd, nullptr,
                      ::GetModuleHandleA(nullptr), this);
    if (!FHandle)
        ThrowLastError("Cannot create window " + Name(), "CreateWindowExA");
}

void TControl::CreateStdClass(HWND ParentWnd, const char* ClassName, DWORD Style, DWORD ExStyle, bool Routed)
{
    HWND wnd = ::CreateWindowExA(ExStyle, ClassName, FText.c_str(), Style | (FVisible ? WS_VISIBLE : 0),
                                 FLeft, FTop, FWidth, FHeight, ParentWnd, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
    if (!wnd)
        ThrowLastError("Cannot create window " + Name(), "CreateWindowExA");
    if (Routed && !::SetWindowSubclass(wnd, RoutedProc, 0, reinterpret_cast<DWORD_PTR>(this))) {
        const ESystemError error = ESystemError::FromLastError("Cannot create window " + Name(), "SetWindowSubclass");
        ::DestroyWindow(wnd);
        throw error;
    }
    FRouted = Routed;
    Attach(wnd);
}

void TControl::Attach(HWND Wnd)
{
    FHandle = Wnd;
    ::SetPropA(Wnd, ControlProp(), this);
}

LRESULT CALLBACK TControl::RoutedProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR Id,
                                      DWORD_PTR Data)
{
    if (Msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(Wnd, RoutedProc, Id);
        return ::DefSubclassProc(Wnd, Msg, WParam, LParam);
    }
    try {
        return reinterpret_cast<TControl*>(Data)->WndProc(Msg, WParam, LParam);
    } catch (...) {
        Application().HandleCurrentException();
        return 0;
    }
}

void TControl::CreateWnd(HWND ParentWnd)
{
    CreateOwnClass(ParentWnd, OwnClassName, Style(), ExStyle());
}

LRESULT CALLBACK TControl::StaticWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    // A window of our own class keeps its control in its user data as well:
    // every message reads it, and a property look-up is a round trip to the
    // window server under Wine.
    TControl* self;
    if (Msg == WM_NCCREATE) {
        self = static_cast<TControl*>(reinterpret_cast<CREATESTRUCTA*>(LParam)->lpCreateParams);
        if (self) {
            self->Attach(Wnd);
            ::SetWindowLongPtrA(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<TControl*>(::GetWindowLongPtrA(Wnd, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcA(Wnd, Msg, WParam, LParam);
    if (Msg == WM_NCDESTROY) {
        LRESULT r = ::DefWindowProcA(Wnd, Msg, WParam, LParam);
        ::SetWindowLongPtrA(Wnd, GWLP_USERDATA, 0);
        ::RemovePropA(Wnd, ControlProp());
        // The windows of the controls below died before this one.
        self->ForgetWindows();
        return r;
    }
    try {
        return self->WndProc(Msg, WParam, LParam);
    } catch (...) {
        Application().HandleCurrentException();
        return 0;
    }
}

LRESULT TControl::DefaultProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (FRouted)
        return ::DefSubclassProc(FHandle, Msg, WParam, LParam);
    return ::DefWindowProcA(FHandle, Msg, WParam, LParam);
}

LRESULT TControl::ReflectToChild(UINT Msg, WPARAM WParam, LPARAM LParam, bool& Handled)
{
    LRESULT result = 0;
    Handled = false;
    // Most messages come from a child's window: found among the children
    // without a property look-up (a window server round trip under Wine).
    auto controlOf = [this](HWND Wnd) -> TControl* {
        for (TControl* child : FControls)
            if (Wnd && child->FHandle == Wnd)
                return child;
        return FromHandle(Wnd);
    };
    switch (Msg) {
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(LParam);
        TControl* child = controlOf(header->hwndFrom);
        if (!child) // a list view's header reports through the list view
            child = controlOf(::GetParent(header->hwndFrom));
        if (child && child != this)
            Handled = child->Notify(*header, result);
        break;
    }
    case WM_COMMAND:
        if (LParam) {
            TControl* child = controlOf(reinterpret_cast<HWND>(LParam));
            if (child && child != this)
                Handled = child->Command(HIWORD(WParam), result);
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        if (TControl* child = controlOf(reinterpret_cast<HWND>(LParam))) {
            if (HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(WParam))) {
                Handled = true;
                result = reinterpret_cast<LRESULT>(brush);
            }
        }
        break;
    }
    return result;
}

LRESULT TControl::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_ERASEBKGND: {
        RECT r;
        ::GetClientRect(FHandle, &r);
        ::FillRect(reinterpret_cast<HDC>(WParam), &r, BackgroundBrush());
        return 1;
    }
    case WM_PAINT: {
        TPaintDC dc(FHandle);
        Paint(dc.DC());
        return 0;
    }
    case WM_SIZE:
        Realign();
        break;
    case WM_CLOSE:
        // A child window lives as long as its control; a close request from
        // one of its own children does not destroy it.
        if (::GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_CHILD)
            return 0;
        break;
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
        bool handled;
        LRESULT r = ReflectToChild(Msg, WParam, LParam, handled);
        if (handled)
            return r;
        break;
    }
    }
    return DefaultProc(Msg, WParam, LParam);
}

void TControl::Paint(HDC) {}

bool TControl::Notify(NMHDR&, LRESULT&) { return false; }
bool TControl::Command(WORD, LRESULT&) { return false; }
HBRUSH TControl::CtlColor(HDC) { return nullptr; }
