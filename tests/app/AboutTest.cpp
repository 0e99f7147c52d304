// Help > "About ..." from the main window: a new modal window each time,
// freed once its modal loop has ended; and the links' hints in the main
// window's status bar.
#include "MainFormFixture.h"

#include "about/AboutBox.h"

namespace {

class AboutFromMainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application().Initialize();
        Main = &Application().CreateForm<TfrmMorvane>();
        Main->LoadCache();
        Main->Show();
        while (Application().ProcessMessage()) {}
    }
    void TearDown() override
    {
        while (Application().ProcessMessage()) {}
        Application().DestroyForms();
    }
    TScriptedWinInet Cache;
    TfrmMorvane* Main = nullptr;
};

// What the test saw while an about window was up.
struct TShown {
    TAboutBox* Box;
    HWND Wnd;
    bool Modal;
    bool MainEnabled;
    bool Focused;
    POINT Centre;
    int DestroyedBefore;
};
std::vector<TShown> Shown;
int Destroyed = 0;
bool DestroyedInsideItsModalLoop = false;

// Runs inside the modal loop: notes the window's state and presses Escape.
void CALLBACK PressEscape(HWND, UINT, UINT_PTR Id, DWORD)
{
    ::KillTimer(nullptr, Id);
    if (!AboutBox)
        return;
    RECT r;
    ::GetWindowRect(AboutBox->Handle(), &r);
    HWND focus = ::GetFocus();
    Shown.push_back({AboutBox, AboutBox->Handle(), AboutBox->Modal(),
                     ::IsWindowEnabled(frmMorvane->Handle()) != FALSE, focus == AboutBox->OKButton.Handle(),
                     POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, Destroyed});
    AboutBox->OnDestroy = [](TForm& sender) {
        ++Destroyed;
        DestroyedInsideItsModalLoop |= sender.Modal();
    };
    ::PostMessageA(focus ? focus : AboutBox->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
}

POINT CentreOf(HWND wnd)
{
    RECT r;
    ::GetWindowRect(wnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

} // namespace

TEST_F(AboutFromMainWindow, EachAboutBuildsANewModalWindowFreedWhenClosed)
{
    Shown.clear();
    Destroyed = 0;
    DestroyedInsideItsModalLoop = false;
    ::SetFocus(Main->CacheTreeView.Handle());
    for (int i = 0; i < 2; ++i) {
        ::SetTimer(nullptr, 0, 50, PressEscape);
        Main->About1Click(*Main);
    }
    while (Application().ProcessMessage()) {}

    ASSERT_EQ(Shown.size(), 2u);
    EXPECT_NE(Shown[0].Wnd, Shown[1].Wnd);
    POINT mainCentre = CentreOf(Main->Handle());
    for (const TShown& s : Shown) {
        EXPECT_TRUE(s.Modal);
        EXPECT_FALSE(s.MainEnabled);
        EXPECT_TRUE(s.Focused);
        EXPECT_LE(std::abs(s.Centre.x - mainCentre.x), 1);
        EXPECT_LE(std::abs(s.Centre.y - mainCentre.y), 1);
        EXPECT_FALSE(::IsWindow(s.Wnd));
    }
    // The first window was gone before the second was shown.
    EXPECT_EQ(Shown[1].DestroyedBefore, 1);
    EXPECT_EQ(Destroyed, 2);
    EXPECT_FALSE(DestroyedInsideItsModalLoop);
    EXPECT_EQ(AboutBox, nullptr);
    EXPECT_EQ(Application().MainForm(), Main);
    EXPECT_TRUE(::IsWindowEnabled(Main->Handle()));
    EXPECT_EQ(::GetFocus(), Main->CacheTreeView.Handle()) << "the focus is back where it was";
}

TEST_F(AboutFromMainWindow, ALinksHintShowsInTheMainWindowsStatusBar)
{
    TAboutBox& box = Application().CreateForm<TAboutBox>();
    AboutBox = &box;
    box.Show();
    while (Application().ProcessMessage()) {}

    auto restOn = [](HWND wnd, int dx = 0) {
        POINT p = CentreOf(wnd);
        ::SetCursorPos(p.x + dx, p.y);
        Application().Idle();
        return frmMorvane->sStatusBar1.SimpleText();
    };
    EXPECT_EQ(restOn(box.CoolLabel1.Handle()), "Send e-mail to the support team");
    EXPECT_EQ(restOn(box.Panel1.Handle()), "");
    EXPECT_EQ(restOn(box.CoolLabel2.Handle()), "Goto home page");
    EXPECT_EQ(restOn(box.Label3.Handle()), "");
    EXPECT_EQ(restOn(box.CoolLabel1.Handle(), 40), "Send e-mail to the support team");
    EXPECT_EQ(restOn(Main->CacheListView.Handle()), "");
    box.Close();
    while (Application().ProcessMessage()) {}
    EXPECT_EQ(AboutBox, nullptr);
}
