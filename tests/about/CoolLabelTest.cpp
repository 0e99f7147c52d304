// The hyperlink label: colours and underline under the mouse, the colour
// properties' repaint rule, and what a click opens.
#include "AboutFixture.h"

#include "about/CoolLabel.h"

namespace {

// Counts the paints the label really receives.
class TCountingLabel : public TCoolLabel {
public:
    using TCoolLabel::TCoolLabel;
    int Paints = 0;

protected:
    void Paint(HDC DC) override
    {
        ++Paints;
        TCoolLabel::Paint(DC);
    }
};

class CoolLabel : public AboutTestBase {
protected:
    void SetUp() override
    {
        AboutTestBase::SetUp();
        Link = std::make_unique<TCountingLabel>(Host, "Link");
        Link->SetParent(Host);
        Link->SetAutoSize(false);
        Link->SetBounds(20, 20, 200, 20);
        Link->SetCaption("https://example.org/");
        // Keep the real pointer out of the way of the messages the tests send.
        ::SetCursorPos(1000, 740);
        Pump();
    }
    void TearDown() override
    {
        Link.reset();
        AboutTestBase::TearDown();
    }
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = Point(5, 5))
    {
        return ::SendMessageA(Link->Handle(), msg, wParam, lParam);
    }
    bool PendingPaint() const { return ::GetUpdateRect(Link->Handle(), nullptr, FALSE) != FALSE; }

    std::unique_ptr<TCountingLabel> Link;
};

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

} // namespace

TEST_F(CoolLabel, ColourPropertiesRepaintOnlyWhenTheValueChanges)
{
    EXPECT_EQ(Link->MouseDownColor(), Black);
    EXPECT_EQ(Link->MouseMoveColor(), Black);
    EXPECT_EQ(Link->URL(), "");
    ASSERT_TRUE(Link->ParentColor());
    ASSERT_FALSE(PendingPaint());
    const int paints = Link->Paints;

    Link->SetMouseDownColor(Black);
    Link->SetMouseMoveColor(Black);
    EXPECT_TRUE(Link->ParentColor());
    EXPECT_FALSE(PendingPaint());
    Pump();
    EXPECT_EQ(Link->Paints, paints);

    Link->SetMouseMoveColor(Blue);
    EXPECT_EQ(Link->MouseMoveColor(), Blue);
    EXPECT_FALSE(Link->ParentColor());
    EXPECT_TRUE(PendingPaint());
    Pump();
    EXPECT_GT(Link->Paints, paints);

    Link->SetParentColor(true);
    Pump();
    Link->SetMouseDownColor(Red);
    EXPECT_EQ(Link->MouseDownColor(), Red);
    EXPECT_FALSE(Link->ParentColor());
    EXPECT_TRUE(PendingPaint());

    // The address is plain data: assigning it opens nothing.
    Link->SetURL("https://example.org/");
    EXPECT_TRUE(TShellRecorder::Calls().empty());
}

TEST_F(CoolLabel, PressShowsMouseDownColourAndReleaseMouseMoveColourBeforeTheEvents)
{
    Link->SetMouseDownColor(Red);
    Link->SetMouseMoveColor(Blue);
    Pump();
    std::vector<std::pair<std::string, COLORREF>> seen;
    int paintsAtDown = -1;
    const int paints = Link->Paints;
    Link->OnMouseDown = [&](TComponent&, UINT, int, int) {
        seen.emplace_back("down", Link->Font().Color);
        paintsAtDown = Link->Paints;
    };
    Link->OnMouseUp = [&](TComponent&, UINT, int, int) { seen.emplace_back("up", Link->Font().Color); };

    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    EXPECT_EQ(Link->Font().Color, Red);
    Send(WM_LBUTTONUP);
    EXPECT_EQ(Link->Font().Color, Blue);
    // The right button is a press like any other.
    Send(WM_RBUTTONDOWN, MK_RBUTTON);
    EXPECT_EQ(Link->Font().Color, Red);
    Send(WM_RBUTTONUP);

    using Seen = std::vector<std::pair<std::string, COLORREF>>;
    EXPECT_EQ(seen, (Seen{{"down", Red}, {"up", Blue}, {"down", Red}, {"up", Blue}}));
    EXPECT_GT(paintsAtDown, paints); // repainted before OnMouseDown ran

    // The second press of a double-click is a press too, but its release opens nothing again.
    int clicks = 0;
    Link->OnClick = [&](TComponent&) { ++clicks; };
    seen.clear();
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Send(WM_LBUTTONUP);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON);
    EXPECT_EQ(Link->Font().Color, Red);
    Send(WM_LBUTTONUP);
    EXPECT_EQ(seen, (Seen{{"down", Red}, {"up", Blue}, {"down", Red}, {"up", Blue}}));
    EXPECT_EQ(clicks, 1);
}

TEST_F(CoolLabel, LeavingRemovesTheUnderlineAndEnteringPutsItBack)
{
    TFontSpec font;
    font.Name = "Arial";
    font.Height = -12;
    font.Underline = true;
    font.StrikeOut = true;
    font.Bold = true;
    font.Italic = true;
    font.Color = Black;
    Link->SetFont(font);
    Link->SetMouseMoveColor(Blue);
    int paints = Link->Paints;

    Send(WM_MOUSEMOVE);
    EXPECT_TRUE(Link->Font().Underline);
    EXPECT_FALSE(Link->Font().StrikeOut);
    EXPECT_EQ(Link->Font().Color, Blue);
    EXPECT_GT(Link->Paints, paints);

    paints = Link->Paints;
    Send(WM_MOUSELEAVE);
    EXPECT_FALSE(Link->Font().Underline);
    EXPECT_FALSE(Link->Font().StrikeOut);
    EXPECT_EQ(Link->Font().Color, Black);
    EXPECT_GT(Link->Paints, paints);

    Send(WM_MOUSEMOVE);
    EXPECT_TRUE(Link->Font().Underline);
    EXPECT_EQ(Link->Font().Color, Blue);
    // Bold and italic are never touched.
    EXPECT_TRUE(Link->Font().Bold);
    EXPECT_TRUE(Link->Font().Italic);
    Send(WM_MOUSELEAVE);
    EXPECT_TRUE(Link->Font().Bold);
    EXPECT_TRUE(Link->Font().Italic);
}

TEST_F(CoolLabel, LeavingPutsBackTheColourTheLabelHadBeforeTheMouseEntered)
{
    TFontSpec font;
    font.Color = RGB(0, 128, 0);
    Link->SetFont(font);
    Link->SetMouseDownColor(Red);
    Link->SetMouseMoveColor(Blue);

    Send(WM_MOUSEMOVE);
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Send(WM_LBUTTONUP);
    Send(WM_MOUSELEAVE);
    EXPECT_EQ(Link->Font().Color, RGB(0, 128, 0));

    // Entering while the label already shows the hover colour keeps the
    // stored resting colour.
    font = Link->Font();
    font.Color = Blue;
    Link->SetFont(font);
    Send(WM_MOUSEMOVE);
    Send(WM_MOUSELEAVE);
    EXPECT_EQ(Link->Font().Color, RGB(0, 128, 0));
}

TEST_F(CoolLabel, ALinkWhoseColourIsTheHoverColourStaysThatColour)
{
    TFontSpec font;
    font.Color = Blue;
    Link->SetFont(font);
    Link->SetMouseMoveColor(Blue);
    Send(WM_MOUSEMOVE);
    Send(WM_MOUSELEAVE);
    EXPECT_EQ(Link->Font().Color, Blue);
}

TEST_F(CoolLabel, AClickFiresOnClickThenOpensTheAddressIfThereIsOne)
{
    std::vector<size_t> callsAtClick;
    Link->OnClick = [&](TComponent& sender) {
        EXPECT_EQ(&sender, Link.get());
        callsAtClick.push_back(TShellRecorder::Calls().size());
    };
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Send(WM_LBUTTONUP);
    EXPECT_EQ(callsAtClick, std::vector<size_t>{0});
    EXPECT_TRUE(TShellRecorder::Calls().empty());

    Link->SetURL("https://example.org/page");
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Send(WM_LBUTTONUP);
    EXPECT_EQ(callsAtClick, (std::vector<size_t>{0, 0}));
    ASSERT_EQ(TShellRecorder::Calls().size(), 1u);
    const TShellCall& call = TShellRecorder::Calls()[0];
    EXPECT_EQ(call.Owner, nullptr);
    EXPECT_EQ(call.Verb, "open");
    EXPECT_EQ(call.File, "https://example.org/page");
    EXPECT_TRUE(call.NullParameters && call.NullDirectory);
    EXPECT_EQ(call.Show, SW_RESTORE);

    // A release outside the label is no click.
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Send(WM_LBUTTONUP, 0, Point(500, 5));
    EXPECT_EQ(TShellRecorder::Calls().size(), 1u);
}
