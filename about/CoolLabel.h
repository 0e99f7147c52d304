// TCoolLabel: a label that behaves like a link. Its font colour and underline
// follow the mouse as it passes over and presses the label, and a click may
// open an address with the shell's "open" verb. Like a link it is a tab stop
// with a focus cue, Enter or Space clicks it, and screen readers take it for
// a link named by its caption.
#pragma once

#include <optional>
#include <string>

#include "ui/StdCtrls.h"

class TCoolLabel : public TLabel {
public:
    TCoolLabel(TComponent* Owner, std::string Name);

    // Font colour while a mouse button is held down on the label.
    COLORREF MouseDownColor() const { return FMouseDownColor; }
    void SetMouseDownColor(COLORREF Value);
    // Font colour while the mouse is over the label.
    COLORREF MouseMoveColor() const { return FMouseMoveColor; }
    void SetMouseMoveColor(COLORREF Value);
    // Opened after OnClick on every click; nothing is opened while it is empty.
    const std::string& URL() const { return FURL; }
    void SetURL(std::string Value) { FURL = std::move(Value); }

protected:
    DWORD Style() const override { return TLabel::Style() | WS_TABSTOP; }
    void AfterCreateWnd() override;
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
    void Paint(HDC DC) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(UINT Button, int X, int Y) override;
    void MouseUp(UINT Button, int X, int Y) override;
    void Click() override;

private:
    // A colour property changed: the label keeps its own background and repaints.
    void ColorPropertyChanged();
    void SetFontColor(COLORREF Value);

    // The font colour to put back when the mouse leaves. Until one has been
    // stored it is the colour the label showed when the mouse first entered.
    std::optional<COLORREF> FRestingColor;
    COLORREF FMouseDownColor = 0;
    COLORREF FMouseMoveColor = 0;
    std::string FURL;
};
