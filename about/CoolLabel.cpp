#include "about/CoolLabel.h"

#include "ui/Accessible.h"
#include "base/Shell.h"

TCoolLabel::TCoolLabel(TComponent* Owner, std::string Name) : TLabel(Owner, std::move(Name)) {}

void TCoolLabel::AfterCreateWnd()
{
    SetAccessibleRole(FHandle, ROLE_SYSTEM_LINK);
}

LRESULT TCoolLabel::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_KEYDOWN:
        if (WParam == VK_RETURN || WParam == VK_SPACE) {
            Click();
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
        Invalidate();
        break;
    case WM_DESTROY:
        ClearAccessibleRole(FHandle);
        break;
    }
    return TLabel::WndProc(Msg, WParam, LParam);
}

void TCoolLabel::Paint(HDC DC)
{
    TLabel::Paint(DC);
    if (::GetFocus() == FHandle && !(::SendMessageA(FHandle, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        RECT r;
        ::GetClientRect(FHandle, &r);
        ::DrawFocusRect(DC, &r);
    }
}

void TCoolLabel::SetMouseDownColor(COLORREF Value)
{
    if (Value == FMouseDownColor)
        return;
    FMouseDownColor = Value;
    ColorPropertyChanged();
}

void TCoolLabel::SetMouseMoveColor(COLORREF Value)
{
    if (Value == FMouseMoveColor)
        return;
    FMouseMoveColor = Value;
    ColorPropertyChanged();
}

void TCoolLabel::ColorPropertyChanged()
{
    SetParentColor(false);
    Invalidate();
}

void TCoolLabel::SetFontColor(COLORREF Value)
{
    TFontSpec font = Font();
    font.Color = Value;
    SetFont(font);
}

void TCoolLabel::MouseEnter()
{
    TFontSpec font = Font();
    if (font.Color != FMouseMoveColor || !FRestingColor)
        FRestingColor = font.Color;
    font.Underline = true;
    font.StrikeOut = false;
    font.Color = FMouseMoveColor;
    SetFont(font);
    Repaint();
}

void TCoolLabel::MouseLeave()
{
    TFontSpec font = Font();
    font.Underline = false;
    font.StrikeOut = false;
    font.Color = FRestingColor.value_or(FMouseMoveColor);
    SetFont(font);
    Repaint();
}

void TCoolLabel::MouseDown(UINT Button, int X, int Y)
{
    SetFontColor(FMouseDownColor);
    Repaint();
    TLabel::MouseDown(Button, X, Y);
}

void TCoolLabel::MouseUp(UINT Button, int X, int Y)
{
    SetFontColor(FMouseMoveColor);
    Repaint();
    TLabel::MouseUp(Button, X, Y);
}

void TCoolLabel::Click()
{
    TLabel::Click();
    if (!FURL.empty())
        ShellApi::Api().ShellExecuteA(nullptr, "open", FURL.c_str(), nullptr, nullptr, SW_RESTORE);
}
