#include "about/AboutBox.h"

#include "base/Product.h"
#include "base/Shell.h"

TAboutBox* AboutBox = nullptr;

namespace {
// The system's colours stand in for these while a high-contrast theme is on.
constexpr COLORREF White = ContrastColor(RGB(255, 255, 255), COLOR_WINDOW);
constexpr COLORREF Navy = ContrastColor(RGB(0, 0, 128), COLOR_WINDOWTEXT);
constexpr COLORREF Red = ContrastColor(RGB(255, 0, 0), COLOR_WINDOWTEXT);
constexpr COLORREF Blue = ContrastColor(RGB(0, 0, 255), COLOR_HOTLIGHT);

TFontSpec Arial(int PixelHeight, bool Bold, COLORREF Color)
{
    TFontSpec font;
    font.Name = "Arial";
    font.Height = -PixelHeight;
    font.Bold = Bold;
    font.Color = Color;
    return font;
}

// A label of fixed size on its parent.
void PlaceLabel(TLabel& label, TControl& parent, int left, int top, int width, int height,
                const std::string& caption)
{
    label.SetParent(&parent);
    label.SetAutoSize(false);
    label.SetBounds(left, top, width, height);
    label.SetCaption(caption);
}
} // namespace

TAboutBox::TAboutBox(const TFormKey& Key, TComponent* Owner) : TForm(Key, Owner, "AboutBox", "TAboutBox")
{
    BuildLayout();
    OnKeyDown = [this](TForm& sender, WORD& key) { FormKeyDown(sender, key); };
    OnClose = [this](TForm& sender, TCloseAction& action) { FormClose(sender, action); };
    HandleNeeded();
    DoCreate();
}

TAboutBox::~TAboutBox()
{
    if (AboutBox == this)
        AboutBox = nullptr;
}

void TAboutBox::BuildLayout()
{
    SetCaption("About");
    SetBorderStyle(bsToolWindow);
    SetPosition(poMainFormCenter);
    SetColor(clBtnFace);
    SetFont(Arial(11, true, clWindowText));
    SetKeyPreview(true);
    SetClientSize(425, 228);

    OKButton.SetParent(this);
    OKButton.SetBounds(336, 200, 75, 25);
    OKButton.SetText("OK");
    OKButton.SetTabOrder(0);
    OKButton.OnClick = [this](TComponent& sender) { OKButtonClick(sender); };
    SetActiveControl(&OKButton);

    Panel1.SetParent(this);
    Panel1.SetBounds(7, 8, 411, 185);
    Panel1.SetColor(White);
    Panel1.SetBevelInner(bvRaised);
    Panel1.SetBevelOuter(bvLowered);
    Panel1.SetTabOrder(1);

    Image1.SetParent(&Panel1);
    Image1.SetBounds(16, 8, 41, 41);
    Image1.SetTransparent(true);
    Image1.LoadFromResourceName(::GetModuleHandleA(nullptr), "ABOUTIMAGE");

    PlaceLabel(sLabelFX1, Panel1, 72, 8, 303, 37, Product::Name);
    sLabelFX1.SetFont(Arial(24, true, clWindowText));

    PlaceLabel(Version, Panel1, 137, 60, 136, 14, Product::VersionText);
    Version.SetAlignment(taCenter);
    Version.SetFont(Arial(11, true, Navy));

    PlaceLabel(Label2, Panel1, 119, 112, 159, 14, Product::Maker);
    Label2.SetFont(Arial(11, true, Navy));

    const std::string mail = std::string(Product::SupportMail).substr(sizeof "mailto:" - 1);
    PlaceLabel(Label1, Panel1, 8, 128, 39, 14, "E-mail :");
    PlaceLabel(CoolLabel1, Panel1, 119, 128, 167, 15, mail);
    CoolLabel1.SetHint(mail + "|Send e-mail to the support team");
    CoolLabel1.OnClick = [this](TComponent& sender) { Label3Click(sender); };

    PlaceLabel(Label3, Panel1, 8, 144, 68, 14, "Home Page :");
    PlaceLabel(CoolLabel2, Panel1, 119, 144, 172, 15, Product::HomePage);
    CoolLabel2.SetHint("Goto home page");
    CoolLabel2.OnClick = [this](TComponent& sender) { Label1Click(sender); };

    TFontSpec linkFont = Arial(12, false, Blue);
    linkFont.Underline = true;
    for (TCoolLabel* link : {&CoolLabel1, &CoolLabel2}) {
        link->SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
        link->SetColor(White);
        link->SetFont(linkFont);
        link->SetMouseDownColor(Red);
        link->SetMouseMoveColor(Blue);
        link->SetURL({});
    }
}

void TAboutBox::OKButtonClick(TComponent&)
{
    Close();
}

void TAboutBox::FormKeyDown(TForm&, WORD& Key)
{
    if (Key == VK_ESCAPE)
        Close();
    if (Key == VK_RETURN)
        Close();
}

void TAboutBox::Label3Click(TComponent&)
{
    // Always the support team's address, whatever the label shows.
    ShellApi::Api().ShellExecuteA(Handle(), "open", Product::SupportMail, nullptr, nullptr, SW_RESTORE);
}

void TAboutBox::Label1Click(TComponent& Sender)
{
    const std::string address = dynamic_cast<TLabel&>(Sender).Caption();
    ShellApi::Api().ShellExecuteA(Handle(), "open", address.c_str(), nullptr, nullptr, SW_RESTORE);
}

void TAboutBox::FormClose(TForm&, TCloseAction& Action)
{
    Action = caFree;
}

LRESULT TAboutBox::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_ACTIVATE:
        // Handled here and not passed on: the focus is the one the window had
        // when it was last active (at first the OK button's).
        if (LOWORD(WParam) == WA_INACTIVE)
            RememberFocus();
        else
            RestoreFocus();
        return 0;
    }
    return TForm::WndProc(Msg, WParam, LParam);
}
