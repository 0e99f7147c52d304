// The ui layer's own logic: alignment, splitters, column width rules, the
// exception box text, hints.
#include <gtest/gtest.h>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/ListView.h"
#include "ui/Splitter.h"
#include "ui/StdCtrls.h"

namespace {

class TestForm : public TForm {
public:
    explicit TestForm(const TFormKey& Key) : TForm(Key, nullptr, "TestForm", "TMorvaneTestForm")
    {
        SetBounds(0, 0, 600, 400);
    }
};

// Nothing but MakeForm can make a key, so every form comes from MakeForm, and
// its deleter destroys the window while the form's members are all there.
static_assert(!std::is_default_constructible_v<TFormKey> && !std::is_copy_constructible_v<TFormKey>);

class Ui : public ::testing::Test {
protected:
    void SetUp() override { Application().Initialize(); }

    TFormPtr<TestForm> Owner = MakeForm<TestForm>();
    TestForm& form = *Owner;
};

RECT BoundsOf(const TControl& c)
{
    return RECT{c.Left(), c.Top(), c.Left() + c.Width(), c.Top() + c.Height()};
}

} // namespace

TEST(ExceptionBox, FullStopOnlyAfterCharactersThatSortAfterIt)
{
    EXPECT_EQ(ExceptionBoxText(""), "");
    EXPECT_EQ(ExceptionBoxText("Done."), "Done.");
    EXPECT_EQ(ExceptionBoxText("Stop!"), "Stop!");
    EXPECT_EQ(ExceptionBoxText("a"), "a.");
    EXPECT_EQ(ExceptionBoxText("(x)"), "(x)");
    EXPECT_EQ(ExceptionBoxText("1"), "1.");
    EXPECT_EQ(ExceptionBoxText("caf\xE9"), "caf\xE9."); // a letter of code page 1252
}

TEST(Hints, LongAndShortPartsAroundTheBar)
{
    EXPECT_EQ(GetLongHint("Refresh the cache"), "Refresh the cache");
    EXPECT_EQ(GetLongHint("a@b|Send mail"), "Send mail");
    EXPECT_EQ(GetLongHint(""), "");
}

TEST_F(Ui, ApplicationHintFiresOnlyOnAChange)
{
    int fired = 0;
    Application().SetHint("");
    Application().OnHint = [&] { ++fired; };
    Application().SetHint("x");
    Application().SetHint("x");
    Application().SetHint("");
    Application().SetHint("");
    EXPECT_EQ(fired, 2);
    Application().OnHint = nullptr;
}

TEST_F(Ui, ExceptionFromAHandlerIsReportedInABoxAndTheLoopGoesOn)
{
    std::vector<std::string> boxes;
    UINT type = 0;
    std::string caption;
    auto saved = Application().MessageBox;
    Application().MessageBox = [&](HWND, const std::string& text, const std::string& cap, UINT t) {
        boxes.push_back(text);
        caption = cap;
        type = t;
        return IDOK;
    };
    Application().SetTitle("Morvane");
    TButton button(&form, "Button1");
    button.SetParent(&form);
    button.SetBounds(10, 10, 75, 25);
    button.OnClick = [](TComponent&) { throw std::runtime_error("Cannot open the page"); };
    form.HandleNeeded();
    ::SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button.Handle()));
    ::SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button.Handle()));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "Cannot open the page.");
    EXPECT_EQ(caption, "Morvane");
    EXPECT_EQ(type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    // An exception that is not a std::exception has a fixed text.
    button.OnClick = [](TComponent&) { throw 3; };
    ::SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button.Handle()));
    EXPECT_EQ(boxes.back(), "Unknown error.");
    Application().MessageBox = saved;
}

TEST_F(Ui, AStandardControlLetsGoOfAWindowThatDiedWithItsParent)
{
    TButton button(&form, "Button1");
    button.SetParent(&form);
    form.HandleNeeded();
    ASSERT_EQ(TControl::FromHandle(button.Handle()), &button);
    ::DestroyWindow(form.Handle());
    EXPECT_FALSE(button.HandleAllocated());
}

TEST_F(Ui, AlignmentPlacesTopBottomLeftThenClient)
{
    TPanel top(&form, "top"), bottom(&form, "bottom"), left(&form, "left"), client(&form, "client");
    for (TPanel* p : {&client, &left, &bottom, &top}) // declaration order must not matter
        p->SetParent(&form);
    top.SetBounds(0, 0, 10, 30);
    top.SetAlign(alTop);
    bottom.SetBounds(0, 0, 10, 20);
    bottom.SetAlign(alBottom);
    left.SetBounds(0, 0, 100, 10);
    left.SetAlign(alLeft);
    client.SetAlign(alClient);
    form.HandleNeeded();
    RECT area = form.ClientRect();
    int w = area.right, h = area.bottom;
    EXPECT_EQ(BoundsOf(top).bottom, 30);
    EXPECT_EQ(BoundsOf(top).right, w);
    EXPECT_EQ(BoundsOf(bottom).top, h - 20);
    EXPECT_EQ(BoundsOf(left).top, 30);
    EXPECT_EQ(BoundsOf(left).bottom, h - 20);
    EXPECT_EQ(BoundsOf(client).left, 100);
    EXPECT_EQ(BoundsOf(client).right, w);
    EXPECT_EQ(BoundsOf(client).top, 30);
    // A hidden aligned control gives its room to the others.
    left.SetVisible(false);
    EXPECT_EQ(BoundsOf(client).left, 0);
}

TEST_F(Ui, ALayoutMadeAt96TakesTheScreensScaleWithTheTrueTypeFaceOfItsBitmapFont)
{
    TListView list(&form, "list");
    TLabel label(&form, "label");
    list.SetParent(&form);
    list.Columns().Add().SetMinWidth(100);
    list.Columns()[0].SetWidth(300);
    label.SetParent(&form);
    label.SetBounds(6, 54, 0, 0);
    label.SetCaption("Last accessed:");
    form.SetClientSize(400, 300);
    form.SetFont(TFontSpec{});   // MS Sans Serif, 11 pixels
    form.ChangeScale(144, 96);
    form.HandleNeeded();
    // Client area, column width and minimum, label place, font height.
    EXPECT_EQ((std::vector<long>{form.ClientRect().right, form.ClientRect().bottom, list.Columns()[0].Width(),
                                 list.Columns()[0].MinWidth(), label.Left(), label.Top(), form.Font().Height}),
              (std::vector<long>{600, 450, 450, 150, 9, 81, -17}));
    EXPECT_EQ(label.Width(), label.TextExtent().cx);   // sized to the scaled font, once
    EXPECT_EQ(form.Font().Name, "Microsoft Sans Serif");
    EXPECT_EQ(TFontSpec{}.Scaled(96, 96).Name, "MS Sans Serif");
}

TEST(MonitorCentring, OnThePrimaryMonitorsBoundsThenInsideItsWorkArea)
{
    const RECT screen{0, 0, 1024, 768}, aboveTaskbar{0, 0, 1024, 728};
    const POINT design = CentreOnMonitor({644, 472}, screen, aboveTaskbar);   // as without a taskbar
    const POINT scaled = CentreOnMonitor({966, 708}, screen, aboveTaskbar);   // moved up off the taskbar
    EXPECT_EQ((std::vector<long>{design.x, design.y, scaled.x, scaled.y}), (std::vector<long>{190, 148, 29, 20}));
}

TEST(SplitterClampRule, BothPanesKeepTheMinimum)
{
    EXPECT_EQ(SplitterClamp(50, 185, 447, 100), 100);
    EXPECT_EQ(SplitterClamp(600, 185, 447, 100), 532);
    EXPECT_EQ(SplitterClamp(300, 185, 447, 100), 300);
    EXPECT_EQ(SplitterClamp(150, 120, 60, 100), 120); // no room for both: unchanged
}

TEST_F(Ui, SplittersResizeTheirOwnSideAndNeverShrinkAPaneBelowTheMinimum)
{
    TPanel left(&form, "left"), right(&form, "right");
    TSplitter bar(&form, "bar");
    left.SetParent(&form);
    left.SetBounds(0, 0, 185, 10);
    left.SetAlign(alLeft);
    bar.SetParent(&form);
    bar.SetBounds(185, 0, 4, 10);
    bar.SetAlign(alLeft);
    bar.SetMinSize(100);
    right.SetParent(&form);
    right.SetAlign(alClient);
    form.HandleNeeded();
    ASSERT_EQ(bar.Neighbour(), &left);
    ASSERT_EQ(bar.OtherPane(), &right);
    bar.MoveBy(-1000);
    EXPECT_EQ(left.Width(), 100);
    bar.MoveBy(+5000);
    EXPECT_EQ(right.Width(), 100);
    EXPECT_EQ(bar.Left(), left.Width());
    bar.MoveBy(-50);
    EXPECT_GT(right.Width(), 100);

    TPanel top(&right, "top"), below(&right, "below");
    TSplitter hbar(&right, "hbar");
    top.SetParent(&right);
    top.SetBounds(0, 0, 10, 184);
    top.SetAlign(alTop);
    hbar.SetParent(&right);
    hbar.SetBounds(0, 184, 10, 4);
    hbar.SetAlign(alTop);
    hbar.SetMinSize(100);
    below.SetParent(&right);
    below.SetAlign(alClient);
    hbar.MoveBy(-500);
    EXPECT_EQ(top.Height(), 100);
    hbar.MoveBy(+5000);
    EXPECT_EQ(below.Height(), 100);
}

TEST_F(Ui, ColumnWidthRules)
{
    EXPECT_EQ(TListColumn::ClampWidth(20, 100, 0), 100);
    EXPECT_EQ(TListColumn::ClampWidth(-1, 100, 0), -1); // fit-to-content stays as asked
    EXPECT_EQ(TListColumn::ClampWidth(500, 50, 200), 200);
    EXPECT_EQ(TListColumn::ClampWidth(120, 100, 0), 120);

    TListView list(&form, "list");
    list.SetParent(&form);
    list.SetBounds(0, 0, 400, 200);
    TListColumn& first = list.Columns().Add();
    first.SetMinWidth(100);
    first.SetWidth(300);
    TListColumn& second = list.Columns().Add();
    EXPECT_EQ(second.Width(), 50); // a new column
    EXPECT_EQ(second.ImageIndex(), -1);
    EXPECT_EQ(second.Alignment(), taLeftJustify);
    second.SetAlignment(taCenter);
    first.SetAlignment(taCenter);
    EXPECT_EQ(first.Alignment(), taLeftJustify);
    EXPECT_EQ(second.Alignment(), taCenter);
    first.SetWidth(30);
    EXPECT_EQ(first.Width(), 100);
    form.HandleNeeded();
    EXPECT_EQ(first.Width(), 100);
}

TEST_F(Ui, AColumnDraggedBelowItsMinimumTakesTheMinimumWhenTheDragEnds)
{
    TListView list(&form, "list");
    list.SetParent(&form);
    list.SetBounds(0, 0, 400, 200);
    TListColumn& column = list.Columns().Add();
    column.SetMinWidth(100);
    column.SetWidth(300);
    form.HandleNeeded();
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list.Handle(), LVM_GETHEADER, 0, 0));
    ASSERT_NE(header, nullptr);

    HDITEMA item{};
    item.mask = HDI_WIDTH;
    item.cxy = 20;
    NMHEADERA nm{};
    nm.hdr.hwndFrom = header;
    nm.hdr.code = HDN_ENDTRACKA;
    nm.iItem = 0;
    nm.pitem = &item;
    ::SendMessageA(list.Handle(), LVM_SETCOLUMNWIDTH, 0, 20); // where the divider was let go
    ::SendMessageA(form.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
    while (Application().ProcessMessage()) {}
    EXPECT_EQ(::SendMessageA(list.Handle(), LVM_GETCOLUMNWIDTH, 0, 0), 100);
    EXPECT_EQ(column.Width(), 100);

    item.cxy = 140; // above the minimum: kept
    ::SendMessageA(list.Handle(), LVM_SETCOLUMNWIDTH, 0, 140);
    ::SendMessageA(form.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
    while (Application().ProcessMessage()) {}
    EXPECT_EQ(column.Width(), 140);
}

TEST_F(Ui, FormsKeepTheirMinimumOuterSize)
{
    form.SetMinSize(500, 400);
    form.HandleNeeded();
    MINMAXINFO info{};
    ::SendMessageA(form.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 500);
    EXPECT_EQ(info.ptMinTrackSize.y, 400);
}

TEST_F(Ui, ListRowsComeFromTheVectorAndTheSelectionIsReported)
{
    TListView list(&form, "list");
    list.SetParent(&form);
    list.SetBounds(0, 0, 400, 200);
    list.Columns().Add().SetCaption("Name");
    list.Columns().Add().SetCaption("Size");
    form.HandleNeeded();
    int changes = 0;
    list.OnChange = [&](TListView&, int, UINT) { ++changes; };
    TListRows rows;
    rows.Add("a", {"1"});
    rows.Add("b", {"2"});
    rows.Add("c", {"3"});
    list.SetRows(std::move(rows));
    EXPECT_EQ(::SendMessageA(list.Handle(), LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(list.SelectedIndex(), -1);
    list.SetSelectedIndex(1);
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_GT(changes, 0);
    char text[16] = {};
    LVITEMA item{};
    item.iSubItem = 1;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(list.Handle(), LVM_GETITEMTEXTA, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "3");
    list.DeleteItem(1);
    EXPECT_EQ(list.ItemCount(), 2u);
    EXPECT_EQ(list.Caption(1), "c");
    EXPECT_EQ(::SendMessageA(list.Handle(), LVM_GETITEMCOUNT, 0, 0), 2);
}
