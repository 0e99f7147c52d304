// The about window: its layout, its keys, its links and its life cycle.
#include "AboutFixture.h"

#include <algorithm>

#include "about/AboutBox.h"
#include "base/Product.h"
#include "about/Dib.h"

namespace {

class AboutWindow : public AboutTestBase {
protected:
    void TearDown() override
    {
        if (AboutBox)
            AboutBox->Close();
        AboutTestBase::TearDown();
        EXPECT_EQ(AboutBox, nullptr);
    }
    TAboutBox& Open()
    {
        TAboutBox& box = Application().CreateForm<TAboutBox>();
        AboutBox = &box;
        box.Show();
        Pump();
        return box;
    }
    void Click(TControl& control)
    {
        ::SendMessageA(control.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Point(3, 3));
        ::SendMessageA(control.Handle(), WM_LBUTTONUP, 0, Point(3, 3));
    }
    // How many of a control's pixels on the screen have the colour.
    long Count(const TControl& control, COLORREF Color)
    {
        TDib dib(control.Width(), control.Height());
        TMemoryDC memory;
        TSelectObject select(memory.DC(), dib.Bitmap());
        POINT at{0, 0};
        ::ClientToScreen(control.Handle(), &at);
        ::BitBlt(memory.DC(), 0, 0, dib.Width(), dib.Height(), TScreenDC().DC(), at.x, at.y, SRCCOPY);
        ::GdiFlush();
        const uint32_t* bits = dib.Bits();
        return static_cast<long>(std::count(bits, bits + dib.Width() * dib.Height(), TDib::FromColor(Color)));
    }
    // A key pressed while the about window has the focus, through the message loop.
    void PressKey(WORD key)
    {
        HWND focus = ::GetFocus();
        ASSERT_NE(focus, nullptr);
        ::PostMessageA(focus, WM_KEYDOWN, key, 1);
        ::PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
        Pump();
    }
};

struct Bounds {
    int Left, Top, Width, Height;
    bool operator==(const Bounds&) const = default;
};

Bounds BoundsOf(const TControl& c)
{
    return {c.Left(), c.Top(), c.Width(), c.Height()};
}

void PrintTo(const Bounds& b, std::ostream* os)
{
    *os << b.Left << "," << b.Top << "," << b.Width << "," << b.Height;
}

TFontSpec Arial(int height, bool bold, COLORREF color, bool underline = false)
{
    TFontSpec font;
    font.Name = "Arial";
    font.Height = -height;
    font.Bold = bold;
    font.Color = color;
    font.Underline = underline;
    return font;
}

// The layout's colours, which give way to the system's under a high-contrast theme.
constexpr COLORREF White = ContrastColor(RGB(255, 255, 255), COLOR_WINDOW);
constexpr COLORREF Navy = ContrastColor(RGB(0, 0, 128), COLOR_WINDOWTEXT);

} // namespace

TEST_F(AboutWindow, WindowLayout)
{
    TAboutBox& box = Open();
    EXPECT_EQ(box.Caption(), "About");
    RECT client;
    ::GetClientRect(box.Handle(), &client);
    EXPECT_EQ(client.right, 425);
    EXPECT_EQ(client.bottom, 228);
    EXPECT_EQ(box.BorderStyle(), bsToolWindow);
    LONG style = ::GetWindowLongA(box.Handle(), GWL_STYLE);
    LONG exStyle = ::GetWindowLongA(box.Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_EQ(box.Position(), poMainFormCenter);
    EXPECT_EQ(box.Color(), clBtnFace);
    EXPECT_EQ(box.Font(), Arial(11, true, clWindowText));
    EXPECT_TRUE(box.KeyPreview());

    // Centred over the main window.
    RECT outer, main;
    ::GetWindowRect(box.Handle(), &outer);
    ::GetWindowRect(Host->Handle(), &main);
    EXPECT_LE(std::abs((outer.left + outer.right) - (main.left + main.right)), 1);
    EXPECT_LE(std::abs((outer.top + outer.bottom) - (main.top + main.bottom)), 1);
    EXPECT_EQ(::GetWindow(box.Handle(), GW_OWNER), Host->Handle());
}

TEST_F(AboutWindow, ControlsLayout)
{
    TAboutBox& box = Open();
    EXPECT_EQ(box.OKButton.Parent(), &box);
    EXPECT_EQ(box.Panel1.Parent(), &box);
    EXPECT_EQ(box.OKButton.TabOrder(), 0);
    EXPECT_EQ(box.Panel1.TabOrder(), 1);
    EXPECT_EQ(BoundsOf(box.OKButton), (Bounds{336, 200, 75, 25}));
    EXPECT_EQ(box.OKButton.Text(), "OK");
    EXPECT_EQ(BoundsOf(box.Panel1), (Bounds{7, 8, 411, 185}));
    EXPECT_EQ(box.Panel1.Color(), White);
    EXPECT_FALSE(box.Panel1.ParentColor());
    EXPECT_EQ(box.Panel1.BevelInner(), bvRaised);
    EXPECT_EQ(box.Panel1.BevelOuter(), bvLowered);

    struct Expected {
        TControl& control;
        Bounds bounds;
    };
    for (const Expected& e : {Expected{box.Image1, {16, 8, 41, 41}}, Expected{box.sLabelFX1, {72, 8, 303, 37}},
                              Expected{box.Version, {137, 60, 136, 14}}, Expected{box.Label2, {119, 112, 159, 14}},
                              Expected{box.Label1, {8, 128, 39, 14}}, Expected{box.CoolLabel1, {119, 128, 167, 15}},
                              Expected{box.Label3, {8, 144, 68, 14}}, Expected{box.CoolLabel2, {119, 144, 172, 15}}}) {
        EXPECT_EQ(e.control.Parent(), &box.Panel1) << e.control.Name();
        EXPECT_EQ(BoundsOf(e.control), e.bounds) << e.control.Name();
    }

    EXPECT_FALSE(box.Image1.Empty());
    EXPECT_EQ(box.Image1.PictureWidth(), 32);
    EXPECT_EQ(box.Image1.PictureHeight(), 32);
    EXPECT_TRUE(box.Image1.Transparent());
    EXPECT_EQ(box.Image1.TransparentColor(), RGB(192, 192, 192));

    EXPECT_EQ(box.sLabelFX1.Caption(), "Morvane");
    EXPECT_EQ(box.sLabelFX1.Font(), Arial(24, true, clWindowText));
    EXPECT_EQ(box.sLabelFX1.ShadowColor(), RGB(0, 0, 0));
    EXPECT_EQ(box.sLabelFX1.ShadowDistance(), 1);
    EXPECT_EQ(box.sLabelFX1.ShadowBlur(), 4);

    EXPECT_EQ(box.Version.Caption(), "Version 1.2 (Build 1.2.1.1)");
    EXPECT_EQ(box.Version.Alignment(), taCenter);
    EXPECT_EQ(box.Version.Font(), Arial(11, true, Navy));
    EXPECT_EQ(box.Label2.Caption(), Product::Maker);
    EXPECT_EQ(box.Label2.Font(), Arial(11, true, Navy));
    EXPECT_EQ(box.Label1.Caption(), "E-mail :");
    EXPECT_EQ(box.Label3.Caption(), "Home Page :");
    for (TLabel* label : {&box.Label1, &box.Label3}) {
        EXPECT_TRUE(label->ParentFont());
        EXPECT_EQ(label->Font(), box.Font());
    }

    EXPECT_EQ(box.CoolLabel1.Caption(), "help@morvane.example.org");
    EXPECT_EQ(box.CoolLabel1.Hint(), "help@morvane.example.org|Send e-mail to the support team");
    EXPECT_EQ(box.CoolLabel2.Caption(), Product::HomePage);
    EXPECT_EQ(box.CoolLabel2.Hint(), "Goto home page");
    for (TCoolLabel* link : {&box.CoolLabel1, &box.CoolLabel2}) {
        EXPECT_EQ(link->Font(), Arial(12, false, ContrastColor(RGB(0, 0, 255), COLOR_HOTLIGHT), true)) << link->Name();
        EXPECT_FALSE(link->ParentColor());
        EXPECT_EQ(link->Color(), White);
        EXPECT_EQ(link->MouseDownColor(), ContrastColor(RGB(255, 0, 0), COLOR_WINDOWTEXT));
        EXPECT_EQ(link->MouseMoveColor(), ContrastColor(RGB(0, 0, 255), COLOR_HOTLIGHT));
        EXPECT_EQ(link->URL(), "");
        // The hand-point cursor over the link.
        ::SendMessageA(link->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link->Handle()),
                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND))) << link->Name();
    }
}

TEST_F(AboutWindow, EscapeAndEnterCloseTheWindowOtherKeysDoNot)
{
    TAboutBox& box = Open();
    EXPECT_EQ(::GetFocus(), box.OKButton.Handle());
    HWND wnd = box.Handle();
    const long white = Count(box.CoolLabel1, RGB(255, 255, 255));
    // Tab goes on to the mail link, which shows a focus cue; Space opens it.
    for (WORD key : {WORD('A'), WORD(VK_F1), WORD(VK_DOWN), WORD(VK_TAB), WORD(VK_SPACE)})
        PressKey(key);
    ASSERT_EQ(AboutBox, &box);
    EXPECT_TRUE(::IsWindowVisible(wnd));
    EXPECT_LT(Count(box.CoolLabel1, RGB(255, 255, 255)), white);
    EXPECT_EQ(TShellRecorder::Calls().size(), 1u);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(AboutBox, nullptr);
    EXPECT_FALSE(::IsWindow(wnd));

    // Enter on the home page link opens it too.
    TAboutBox& second = Open();
    wnd = second.Handle();
    PressKey(VK_TAB);
    PressKey(VK_TAB);
    PressKey(VK_RETURN);
    EXPECT_EQ(AboutBox, nullptr);
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_EQ(TShellRecorder::Calls().size(), 2u);

    // The key is left as it was for the focused control.
    TAboutBox& third = Open();
    for (WORD key : {WORD(VK_ESCAPE), WORD(VK_RETURN)}) {
        WORD k = key;
        third.FormKeyDown(third, k);
        EXPECT_EQ(k, key);
    }
}

TEST_F(AboutWindow, OkAndTheCloseBoxFreeTheWindow)
{
    TAboutBox& box = Open();
    HWND wnd = box.Handle();
    ::SendMessageA(box.OKButton.Handle(), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(AboutBox, nullptr);
    EXPECT_FALSE(::IsWindow(wnd));

    TAboutBox& second = Open();
    wnd = second.Handle();
    ::PostMessageA(wnd, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(AboutBox, nullptr);
    EXPECT_FALSE(::IsWindow(wnd));
}

TEST_F(AboutWindow, MailLinkOpensTheFixedAddressWhateverItShows)
{
    TAboutBox& box = Open();
    box.CoolLabel1.SetCaption("someone@elsewhere.example.net");
    Click(box.CoolLabel1);
    ASSERT_EQ(TShellRecorder::Calls().size(), 1u);
    const TShellCall& call = TShellRecorder::Calls()[0];
    EXPECT_EQ(call.Owner, box.Handle());
    EXPECT_EQ(call.Verb, "open");
    EXPECT_EQ(call.File, "mailto:help@morvane.example.org");
    EXPECT_TRUE(call.NullParameters && call.NullDirectory);
    EXPECT_EQ(call.Show, SW_RESTORE);
    // The window stays open.
    Pump();
    EXPECT_EQ(AboutBox, &box);
    EXPECT_TRUE(::IsWindowVisible(box.Handle()));
}

TEST_F(AboutWindow, HomePageLinkOpensExactlyWhatItShows)
{
    TAboutBox& box = Open();
    Click(box.CoolLabel2);
    box.CoolLabel2.SetCaption("https://mirror.example.net/morvane?x=1&y=2");
    Click(box.CoolLabel2);
    ASSERT_EQ(TShellRecorder::Calls().size(), 2u);
    EXPECT_EQ(TShellRecorder::Calls()[0].File, "https://morvane.example.org/");
    const TShellCall& call = TShellRecorder::Calls()[1];
    EXPECT_EQ(call.Owner, box.Handle());
    EXPECT_EQ(call.Verb, "open");
    EXPECT_EQ(call.File, "https://mirror.example.net/morvane?x=1&y=2");
    EXPECT_TRUE(call.NullParameters && call.NullDirectory);
    EXPECT_EQ(call.Show, SW_RESTORE);
    // The handler takes its sender as a label.
    EXPECT_THROW(box.Label1Click(box.OKButton), std::bad_cast);
    EXPECT_EQ(TShellRecorder::Calls().size(), 2u);
}

TEST_F(AboutWindow, ActivationGivesTheFocusBackWhereItWas)
{
    TAboutBox& box = Open();
    ASSERT_EQ(::GetFocus(), box.OKButton.Handle());
    // The system's own handling would give the focus to the window itself.
    EXPECT_EQ(::SendMessageA(box.Handle(), WM_ACTIVATE, WA_ACTIVE, 0), 0);
    EXPECT_EQ(::GetFocus(), box.OKButton.Handle());

    // Another window is made active, then the about window again.
    PressKey(VK_TAB);
    ASSERT_EQ(::GetFocus(), box.CoolLabel1.Handle());
    HWND other = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                   nullptr);
    ::SetActiveWindow(other);
    ::SetActiveWindow(box.Handle());
    EXPECT_EQ(::GetFocus(), box.CoolLabel1.Handle());
    ::DestroyWindow(other);
}

// A high-contrast theme: white on black, links in yellow.
static DWORD WINAPI ThemeColor(int Index)
{
    return Index == COLOR_WINDOWTEXT ? RGB(255, 255, 255) : Index == COLOR_HOTLIGHT ? RGB(255, 255, 0) : 0;
}
static BOOL WINAPI ThemeOn(UINT, UINT, PVOID Data, UINT)
{
    static_cast<HIGHCONTRASTA*>(Data)->dwFlags = HCF_HIGHCONTRASTON;
    return TRUE;
}

TEST_F(AboutWindow, AHighContrastThemeTurnedOnGivesTheSystemsColoursInsteadOfWhiteNavyAndBlue)
{
    TAboutBox& box = Open();
    SystemColors::TScopedBinding theme({&ThemeColor, &ThemeOn});
    ::SendMessageA(box.Handle(), WM_SYSCOLORCHANGE, 0, 0);
    Pump();
    EXPECT_GT(Count(box.Panel1, RGB(0, 0, 0)), 60000);
    EXPECT_GT(Count(box.Version, RGB(255, 255, 255)), 20);
    EXPECT_GT(Count(box.CoolLabel1, RGB(255, 255, 0)), 20);
}
