// The main window's commands, worked through its real menu bar over a
// scripted cache.
#include "MainFormFixture.h"
#include "MenuDriver.h"
#include "app/Addresses.h"
#include "base/Product.h"
#include "base/Shell.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>

namespace {

using Strings = std::vector<std::string>;

class CommandsTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        Application().SetHint("");
        Cache.MatchPattern = true;
    }

    // The window as the program opens it, with its menu driver.
    TfrmMorvane& Start()
    {
        TfrmMorvane& form = Create();
        form.LoadCache();
        Menu = std::make_unique<TMenuDriver>(form.Handle());
        return form;
    }

    // Two sites, each with a document and a cookie; one history record.
    void ScriptTwoSites()
    {
        Cache.Entries = {Entry("http://a.example.org/x.htm"), Entry("Cookie:user@a.example.org/", COOKIE_CACHE_ENTRY),
                         Entry("Visited: user@http://b.example.org/", URLHISTORY_CACHE_ENTRY),
                         Entry("http://b.example.org/y.gif"), Entry("Cookie:user@b.example.org/", COOKIE_CACHE_ENTRY)};
    }

    // The status bar's text as the control holds it (in simple mode, part 0).
    std::string StatusText() const
    {
        HWND bar = Form->sStatusBar1.Handle();
        EXPECT_TRUE(::SendMessageA(bar, SB_ISSIMPLE, 0, 0));
        LRESULT length = ::SendMessageA(bar, SB_GETTEXTLENGTHA, 0, 0);
        std::string text(static_cast<size_t>(LOWORD(length)) + 1, '\0');
        ::SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(LOWORD(length)));
        return text;
    }

    HTREEITEM HostNode(const std::string& label) const
    {
        TTreeView& tree = Form->CacheTreeView;
        for (HTREEITEM n = tree.FirstChild(tree.FirstNode()); n; n = tree.NextSibling(n))
            if (tree.NodeText(n) == label)
                return n;
        return nullptr;
    }

    Strings ShowChecks() const
    {
        Strings checked;
        Menu->Open(Menu->Find({"View"})); // as the user sees them
        for (const char* caption : {"Show all entries", "Show cookies", "Show history", "Show URLs"})
            if (TMenuDriver::Checked(Menu->Find({"View", caption})))
                checked.push_back(caption);
        return checked;
    }

    std::unique_ptr<TMenuDriver> Menu;
};

} // namespace

TEST_F(CommandsTest, TheMenuBarHoldsTheCommandsInOrderWithoutShortcuts)
{
    TfrmMorvane& form = Start();
    HMENU bar = Menu->Bar();
    ASSERT_EQ(bar, form.MainMenu1.Handle());
    EXPECT_EQ(TMenuDriver::Captions(bar), (Strings{"File", "Edit", "View", "Help"}));
    EXPECT_EQ(TMenuDriver::Captions(Menu->Find({"File"}).SubMenu), (Strings{"Exit"}));
    EXPECT_EQ(TMenuDriver::Captions(Menu->Find({"Edit"}).SubMenu), (Strings{"Delete", "Delete All"}));
    EXPECT_EQ(TMenuDriver::Captions(Menu->Find({"View"}).SubMenu),
              (Strings{"Refresh", "Show the content", "-", "Show all entries", "Show cookies", "Show history",
                       "Show URLs"}));
    EXPECT_EQ(TMenuDriver::Captions(Menu->Find({"Help"}).SubMenu),
              (Strings{"Home page", "Support team", "Security links", "About ..."}));
    HMENU links = Menu->Find({"Help", "Security links"}).SubMenu;
    ASSERT_NE(links, nullptr);
    Strings linkCaptions;
    for (const Addresses::TSecurityLink& link : Addresses::SecurityLinks)
        linkCaptions.push_back(link.Caption);
    EXPECT_EQ(TMenuDriver::Captions(links), linkCaptions);
    EXPECT_EQ(linkCaptions.size(), 4u);

    // No entry carries a shortcut text; each has an access letter, unique in its menu.
    for (HMENU menu : {bar, Menu->Find({"File"}).SubMenu, Menu->Find({"Edit"}).SubMenu, Menu->Find({"View"}).SubMenu,
                       Menu->Find({"Help"}).SubMenu, links}) {
        std::set<int> letters;
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            char text[80] = {};
            ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            const char* mark = std::strchr(text, '&');
            EXPECT_TRUE(!std::strchr(text, '\t') && (TMenuDriver::IsSeparator(menu, i) ||
                                                    (mark && letters.insert(std::toupper(mark[1] & 0xFF)).second)))
                << text;
        }
    }

    // At start the check marks name "Show all entries" and "Show the content".
    EXPECT_EQ(ShowChecks(), Strings{"Show all entries"});
    EXPECT_TRUE(TMenuDriver::Checked(Menu->Find({"View", "Show the content"})));
    EXPECT_TRUE(form.PreviewOn());

    // The entries by name, with their actions.
    auto* item = dynamic_cast<TMenuItem*>(form.FindComponent("Showthecontentofthecache1"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Action(), &form.cmdShowContent);
    for (const char* name : {"File1", "Exit1", "Edit1", "Delete1", "Deleteall1", "View1", "Refresh1", "N2",
                             "Showallentries1", "Showcookies1", "Showhistory1", "ShowURLs1", "Help1", "Homepage1",
                             "Supportteam1", "Securitylinks1", "About1"})
        EXPECT_NE(dynamic_cast<TMenuItem*>(form.FindComponent(name)), nullptr) << name;
    ASSERT_EQ(form.ActionList1.ActionCount(), 8);
    EXPECT_EQ(&form.ActionList1.Actions(0), &form.cmdShowAll);
    EXPECT_EQ(&form.ActionList1.Actions(7), &form.cmdDeleteAll);
    EXPECT_EQ(form.LinksActionList.ActionCount(), 4);
}

TEST_F(CommandsTest, ChoosingTheCheckedShowCommandRebuildsWithTheSamePattern)
{
    ScriptTwoSites();
    TfrmMorvane& form = Start();
    Cache.Entries.push_back(Entry("http://c.example.org/"));
    Cache.FirstCalls.clear();
    form.HeaderMemo.SetText("left over");

    Menu->Choose({"View", "Show all entries"});

    EXPECT_EQ(form.IECache1.SearchPattern(), spAll);
    ASSERT_FALSE(Cache.FirstCalls.empty());
    EXPECT_TRUE(Cache.FirstCalls.front().NullPattern);
    EXPECT_EQ(form.CacheListView.ItemCount(), 6u);
    EXPECT_EQ(form.CacheListView.SelectedIndex(), 0);
    EXPECT_EQ(form.HeaderMemo.Text(), "");
    EXPECT_TRUE(form.cmdShowAll.Checked());
    EXPECT_EQ(ShowChecks(), Strings{"Show all entries"});
}

TEST_F(CommandsTest, ChoosingAnotherShowCommandMovesTheCheckAndListsThatKind)
{
    ScriptTwoSites();
    TfrmMorvane& form = Start();
    // The check is moved before the listing runs.
    std::vector<bool> checkedWhileListing;
    auto listing = form.IECache1.OnEntry;
    form.IECache1.OnEntry = [&](TIECache& sender, bool& cancel) {
        checkedWhileListing.push_back(form.cmdShowCookies.Checked());
        listing(sender, cancel);
    };
    form.HeaderMemo.SetText("left over");

    Menu->Choose({"View", "Show cookies"});

    EXPECT_EQ(form.IECache1.SearchPattern(), spCookies);
    EXPECT_EQ(Captions(), (Strings{"Cookie:user@a.example.org/", "Cookie:user@b.example.org/"}));
    EXPECT_EQ(form.CacheListView.SelectedIndex(), 0);
    EXPECT_EQ(form.HeaderMemo.Text(), "");
    EXPECT_EQ(checkedWhileListing, (std::vector<bool>{true, true}));
    EXPECT_FALSE(form.cmdShowAll.Checked());
    EXPECT_EQ(ShowChecks(), Strings{"Show cookies"});
    EXPECT_TRUE(form.cmdShowContent.Checked()); // another group

    // A host was picked: the rebuild takes its count away and writes none.
    form.CacheTreeView.Select(HostNode("b.example.org"));
    ASSERT_EQ(StatusText(), "Entries:  1");
    Menu->Choose({"View", "Show URLs"});
    EXPECT_EQ(form.IECache1.SearchPattern(), spUrl);
    EXPECT_EQ(Captions(), (Strings{"http://a.example.org/x.htm", "http://b.example.org/y.gif"}));
    EXPECT_EQ(ShowChecks(), Strings{"Show URLs"});
    EXPECT_EQ(StatusText(), "");

    Menu->Choose({"View", "Show history"});
    EXPECT_EQ(form.IECache1.SearchPattern(), spHistory);
    EXPECT_EQ(Captions(), Strings{"Visited: user@http://b.example.org/"});
    EXPECT_EQ(form.CacheListView.SelectedIndex(), 0);
    EXPECT_EQ(ShowChecks(), Strings{"Show history"});
}

TEST_F(CommandsTest, AShowCommandThatFindsNothingLeavesTheListEmptyAndUnselected)
{
    Cache.Entries = {Entry("http://a.example.org/x.htm")};
    TfrmMorvane& form = Start();
    form.CacheListView.SetSelectedIndex(0);

    Menu->Choose({"View", "Show history"});

    EXPECT_EQ(form.CacheListView.ItemCount(), 0u);
    EXPECT_EQ(form.CacheListView.SelectedIndex(), -1);
    EXPECT_EQ(form.IECache1.SearchPattern(), spHistory);
    EXPECT_EQ(ShowChecks(), Strings{"Show history"});
}

TEST_F(CommandsTest, RefreshListsTheCurrentKindAgainAndSelectsTheFirstRow)
{
    ScriptTwoSites();
    TfrmMorvane& form = Start();
    Menu->Choose({"View", "Show cookies"});
    Cache.Entries.push_back(Entry("Cookie:user@0.example.org/", COOKIE_CACHE_ENTRY));
    Cache.FirstCalls.clear();
    form.CacheListView.SetSelectedIndex(1);
    form.HeaderMemo.SetText("left over");

    Menu->Choose({"View", "Refresh"});

    EXPECT_EQ(form.IECache1.SearchPattern(), spCookies);
    ASSERT_FALSE(Cache.FirstCalls.empty());
    EXPECT_EQ(Cache.FirstCalls.front().Pattern, "Cookie:");
    EXPECT_EQ(Captions(), (Strings{"Cookie:user@0.example.org/", "Cookie:user@a.example.org/",
                                   "Cookie:user@b.example.org/"}));
    EXPECT_EQ(form.CacheListView.SelectedIndex(), 0);
    EXPECT_EQ(form.HeaderMemo.Text(), "");
    EXPECT_EQ(ShowChecks(), Strings{"Show cookies"});
    EXPECT_FALSE(TMenuDriver::Checked(Menu->Find({"View", "Refresh"})));
}

TEST_F(CommandsTest, TheEditMenuOpensWithTheStateOfTheList)
{
    ScriptTwoSites();
    TfrmMorvane& form = Start();
    int updates = 0;
    auto update = form.ActionList1.OnUpdate;
    form.ActionList1.OnUpdate = [&](TAction& action, bool& handled) {
        ++updates;
        update(action, handled);
        EXPECT_FALSE(handled);
    };
    TMenuDriver::TEntry edit = Menu->Find({"Edit"});
    TMenuDriver::TEntry del = Menu->Find({"Edit", "Delete"});
    TMenuDriver::TEntry delAll = Menu->Find({"Edit", "Delete All"});

    // Every action starts enabled; Delete chosen without a selection is updated first and does nothing.
    EXPECT_TRUE(form.cmdDelete.Enabled());
    ::SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(del.Id, 0), 0);
    EXPECT_EQ(updates, 1);
    EXPECT_FALSE(form.cmdDelete.Enabled());
    EXPECT_TRUE(Cache.Deleted.empty());
    EXPECT_EQ(form.CacheListView.ItemCount(), 5u);

    // Once per entry that has an action, and only for the popup that drops down.
    updates = 0;
    Menu->Open(edit);
    EXPECT_EQ(updates, 2);
    EXPECT_FALSE(TMenuDriver::Enabled(del));
    EXPECT_TRUE(TMenuDriver::Enabled(delAll));
    Menu->Open(Menu->Find({"View"}));
    EXPECT_EQ(updates, 8);
    Menu->Open(Menu->Find({"File"}));
    Menu->Open(Menu->Find({"Help"}));
    Menu->Open(Menu->Find({"Help", "Security links"}));
    EXPECT_EQ(updates, 8);

    form.CacheListView.SetSelectedIndex(2);
    Menu->Open(edit);
    EXPECT_TRUE(TMenuDriver::Enabled(del));
    EXPECT_TRUE(TMenuDriver::Enabled(delAll));

    Menu->Choose({"Edit", "Delete All"});
    Menu->Open(edit);
    EXPECT_FALSE(TMenuDriver::Enabled(del));
    EXPECT_FALSE(TMenuDriver::Enabled(delAll));
    EXPECT_FALSE(form.cmdDelete.Enabled());
    EXPECT_FALSE(form.cmdDeleteAll.Enabled());

    // Delete All on an empty list is disabled too, and choosing it does nothing.
    size_t deleted = Cache.Deleted.size();
    Cache.Entries = {Entry("http://late.example.org/")};
    ::SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(delAll.Id, 0), 0);
    EXPECT_EQ(Cache.Deleted.size(), deleted);

    // A rebuild enables them again as the menu next drops down.
    Menu->Choose({"View", "Refresh"});
    Menu->Open(edit);
    EXPECT_TRUE(TMenuDriver::Enabled(del)); // the first row is selected
    EXPECT_TRUE(TMenuDriver::Enabled(delAll));
}

TEST_F(CommandsTest, DeleteAllWhileAHostIsPickedDeletesEveryEntryOfTheKind)
{
    ScriptTwoSites();
    TfrmMorvane& form = Start();
    Menu->Choose({"View", "Show cookies"});
    HTREEITEM host = HostNode("a.example.org");
    ASSERT_NE(host, nullptr) << "the host tree files the cookies under their hosts";
    form.CacheTreeView.Select(host);
    EXPECT_EQ(Captions(), Strings{"Cookie:user@a.example.org/"});
    form.HeaderMemo.SetText("left over");
    const std::string label1 = form.Label1.Caption();

    Menu->Choose({"Edit", "Delete All"});

    EXPECT_EQ(Cache.Deleted, (Strings{"Cookie:user@a.example.org/", "Cookie:user@b.example.org/"}));
    ASSERT_EQ(Cache.Entries.size(), 3u); // the documents and the history record stay
    EXPECT_EQ(form.CacheListView.ItemCount(), 0u);
    EXPECT_EQ(form.CacheTreeView.Count(), 0u);
    EXPECT_TRUE(TreeTexts().empty());
    EXPECT_EQ(form.HeaderMemo.Text(), "");
    EXPECT_EQ(form.Label1.Caption(), label1);
    EXPECT_EQ(form.IECache1.SearchPattern(), spCookies);
    EXPECT_EQ(ShowChecks(), Strings{"Show cookies"});
    // The picked host went away with the tree: the tree reports an empty selection.
    EXPECT_EQ(StatusText(), "Entries:  0");

    // The tree stays empty until the next rebuild.
    Menu->Choose({"View", "Show all entries"});
    EXPECT_EQ(form.CacheListView.ItemCount(), 3u);
    ASSERT_FALSE(TreeTexts().empty());
    EXPECT_EQ(TreeTexts().front(), "All entries");
}

TEST_F(CommandsTest, DeleteRemovesTheSelectedRowAndLeavesPaneTreeAndCountAlone)
{
    ScriptTwoSites();
    TfrmMorvane& form = Start();
    form.CacheTreeView.Select(form.CacheTreeView.FirstNode());
    EXPECT_EQ(StatusText(), "Entries:  5");
    form.CacheListView.SetSelectedIndex(1);
    const std::string url(form.CacheListView.Caption(1));
    const Strings labels{form.Label1.Caption(), form.Label2.Caption(), form.Label3.Caption(),
                         form.Label4.Caption(), form.Label5.Caption()};
    EXPECT_EQ(labels[0].rfind("Hitrate: ", 0), 0u) << "the pane shows the selected entry";
    const Strings tree = TreeTexts();
    Strings rest = Captions();
    rest.erase(rest.begin() + 1);

    // The command alone: working the menu would put its hints into the status bar.
    ::SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(Menu->Find({"Edit", "Delete"}).Id, 0), 0);

    EXPECT_EQ(Cache.Deleted, Strings{url});
    EXPECT_EQ(Captions(), rest);
    EXPECT_EQ(form.CacheListView.SelectedIndex(), -1);
    EXPECT_EQ((Strings{form.Label1.Caption(), form.Label2.Caption(), form.Label3.Caption(), form.Label4.Caption(),
                       form.Label5.Caption()}),
              labels);
    EXPECT_EQ(StatusText(), "Entries:  5");
    EXPECT_EQ(TreeTexts(), tree);
}

TEST_F(CommandsTest, AFailedDeleteRemovesTheRowAllTheSame)
{
    ScriptTwoSites();
    TfrmMorvane& form = Start();
    form.CacheListView.SetSelectedIndex(0);
    const std::string url(form.CacheListView.Caption(0));
    // Another program deleted the entry meanwhile.
    std::erase_if(Cache.Entries, [&](const TScriptEntry& e) { return e.Url == url; });

    Menu->Choose({"Edit", "Delete"});

    EXPECT_TRUE(Cache.Deleted.empty());
    EXPECT_EQ(form.CacheListView.ItemCount(), 4u);
    const Strings rows = Captions();
    EXPECT_EQ(std::count(rows.begin(), rows.end(), url), 0);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(CommandsTest, SwitchingThePreviewOffKeepsTheBrowserPageButEmptiesTheTextView)
{
    TfrmMorvane& form = Start();
    TMenuDriver::TEntry showContent = Menu->Find({"View", "Show the content"});

    // The text view in front, holding a file's text.
    form.HeaderMemo.SetText("Set-Cookie: a=1");
    Menu->Choose({"View", "Show the content"});
    EXPECT_FALSE(form.PreviewOn());
    Menu->Open(Menu->Find({"View"})); // the entry shows the action's check as the menu drops
    EXPECT_FALSE(TMenuDriver::Checked(showContent));
    EXPECT_EQ(form.HeaderMemo.Text(), "");
    EXPECT_TRUE(form.HeaderMemo.Visible());

    Menu->Choose({"View", "Show the content"});
    EXPECT_TRUE(form.PreviewOn());
    Menu->Open(Menu->Find({"View"}));
    EXPECT_TRUE(TMenuDriver::Checked(showContent));

    // The browser view in front: the text view stays hidden, so its page stays in view.
    form.HeaderMemo.Hide();
    Menu->Choose({"View", "Show the content"});
    EXPECT_FALSE(form.PreviewOn());
    EXPECT_FALSE(form.HeaderMemo.Visible());
    EXPECT_FALSE(::IsWindowVisible(form.HeaderMemo.Handle()));
    EXPECT_TRUE(form.WebBrowser1.Visible());
    EXPECT_EQ(ShowChecks(), Strings{"Show all entries"});
}

TEST_F(CommandsTest, TheStatusBarShowsTheHighlightedEntrysHint)
{
    TfrmMorvane& form = Start();
    form.sStatusBar1.SetSimpleText("Entries:  2"); // as the tree writes it

    // An entry without a hint, and the menus themselves, leave the text alone.
    TMenuDriver::TEntry file = Menu->Find({"File"});
    Menu->Highlight(file);
    Menu->Open(file);
    Menu->Highlight(Menu->Find({"File", "Exit"}));
    EXPECT_EQ(StatusText(), "Entries:  2");
    Menu->Close();
    EXPECT_EQ(StatusText(), "Entries:  2");

    TMenuDriver::TEntry view = Menu->Find({"View"});
    Menu->Highlight(view);
    Menu->Open(view);
    Menu->Highlight(Menu->Find({"View", "Refresh"}));
    EXPECT_EQ(StatusText(), "Refresh the cache");
    EXPECT_EQ(Application().Hint(), "Refresh the cache");
    // Only a change of the hint rewrites the text.
    form.sStatusBar1.SetSimpleText("Entries:  2");
    Menu->Highlight(Menu->Find({"View", "Refresh"}));
    EXPECT_EQ(StatusText(), "Entries:  2");
    Menu->Highlight(Menu->Find({"View", "Show URLs"}));
    EXPECT_EQ(StatusText(), "Show another documents only");
    Menu->Highlight(TMenuDriver::At(view.SubMenu, 2)); // the separator line
    EXPECT_EQ(StatusText(), "");
    Menu->Highlight(Menu->Find({"View", "Show the content"}));
    EXPECT_EQ(StatusText(), "Show the content of the cache");
    Menu->Close();
    EXPECT_EQ(StatusText(), "");
    EXPECT_EQ(Application().Hint(), "");

    TMenuDriver::TEntry help = Menu->Find({"Help"});
    Menu->Open(help);
    Menu->Highlight(Menu->Find({"Help", "Support team"}));
    EXPECT_EQ(StatusText(), "Contact to the support team");
    Menu->Highlight(Menu->Find({"Help", "Security links"}));
    EXPECT_EQ(StatusText(), "");
    Menu->Open(Menu->Find({"Help", "Security links"}));
    Menu->Highlight(Menu->Find({"Help", "Security links", Addresses::SecurityLinks[0].Caption}));
    EXPECT_EQ(StatusText(), Addresses::SecurityLinks[0].Hint);
    Menu->Highlight(Menu->Find({"Help", "Home page"}));
    EXPECT_EQ(StatusText(), "Get the latest version");
    // A menu loop that ends without the closing selection empties the hint as well.
    ::SendMessageA(form.Handle(), WM_EXITMENULOOP, FALSE, 0);
    EXPECT_EQ(StatusText(), "");
}

namespace {
struct TShellCall {
    HWND Owner;
    std::string Verb, File, Parameters;
    bool NullFolder;
    INT Show;
};
std::vector<TShellCall> ShellCalls;
HINSTANCE ShellResult = reinterpret_cast<HINSTANCE>(42);

HINSTANCE WINAPI RecordShellExecute(HWND Owner, LPCSTR Verb, LPCSTR File, LPCSTR Parameters, LPCSTR Folder, INT Show)
{
    ShellCalls.push_back({Owner, Verb ? Verb : "(null)", File ? File : "(null)", Parameters ? Parameters : "(null)",
                          Folder == nullptr, Show});
    return ShellResult;
}
} // namespace

TEST_F(CommandsTest, TheHelpEntriesHandTheirAddressesToTheShell)
{
    ShellApi::TScopedBinding shell({&RecordShellExecute});
    ShellCalls.clear();
    Start();
    Strings expected{Product::HomePage, Product::SupportMail};

    Menu->Choose({"Help", "Home page"});
    Menu->Choose({"Help", "Support team"});
    for (const Addresses::TSecurityLink& link : Addresses::SecurityLinks) {
        Menu->Choose({"Help", "Security links", link.Caption});
        expected.push_back(link.Address);
    }
    // A shell that finds no program for the address is not reported.
    ShellResult = reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
    Menu->Choose({"Help", "Home page"});
    ShellResult = reinterpret_cast<HINSTANCE>(42);
    expected.push_back(Product::HomePage);

    Strings files;
    for (const TShellCall& call : ShellCalls) {
        files.push_back(call.File);
        EXPECT_EQ(call.Owner, nullptr);
        EXPECT_EQ(call.Verb, "open");
        EXPECT_EQ(call.Parameters, "");
        EXPECT_TRUE(call.NullFolder);
        EXPECT_EQ(call.Show, SW_SHOWNORMAL);
    }
    EXPECT_EQ(files, expected);
    EXPECT_EQ(std::string(Product::SupportMail).rfind("mailto:", 0), 0u);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(CommandsTest, ExitClosesTheWindow)
{
    TfrmMorvane& form = Start();
    form.Show();
    bool closed = false;
    auto close = form.OnClose;
    form.OnClose = [&](TForm& sender, TCloseAction& action) {
        closed = true;
        close(sender, action);
    };
    Menu->Choose({"File", "Exit"});
    EXPECT_TRUE(closed);
    EXPECT_FALSE(::IsWindowVisible(form.Handle()));
}

TEST_F(CommandsTest, EnterAndEscapeGoToTheFocusedControlAndRunNoCommand)
{
    ScriptTwoSites();
    TfrmMorvane& form = Start();
    form.Show();
    while (Application().ProcessMessage()) {}
    EXPECT_EQ(::GetFocus(), form.CacheListView.Handle()) << "the focus starts in the list";
    bool closed = false;
    auto close = form.OnClose;
    form.OnClose = [&](TForm& sender, TCloseAction& action) {
        closed = true;
        close(sender, action);
    };
    auto press = [](HWND Wnd, WORD Key) {
        ::SetFocus(Wnd);
        ::PostMessageA(Wnd, WM_KEYDOWN, Key, 1);
        ::PostMessageA(Wnd, WM_KEYUP, Key, 0xC0000001);
        while (Application().ProcessMessage()) {}
    };
    form.CacheListView.SetSelectedIndex(0);
    const std::size_t rows = form.CacheListView.ItemCount();
    for (HWND wnd : {form.CacheListView.Handle(), form.CacheTreeView.Handle(), form.HeaderMemo.Handle()})
        for (WORD key : {WORD(VK_ESCAPE), WORD(VK_RETURN)})
            press(wnd, key);

    // Nothing deleted, the window open, the text view and its panel still there.
    EXPECT_TRUE(Cache.Deleted.empty());
    EXPECT_EQ(form.CacheListView.ItemCount(), rows);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(::IsWindowVisible(form.Handle()));
    EXPECT_TRUE(::IsWindow(form.HeaderMemo.Handle()));
    EXPECT_TRUE(::IsWindow(form.sPanel4.Handle()));
    EXPECT_TRUE(Boxes.empty());

    // Tab goes on to another control of the window.
    press(form.CacheTreeView.Handle(), VK_TAB);
    EXPECT_NE(::GetFocus(), form.CacheTreeView.Handle());
    EXPECT_TRUE(::IsChild(form.Handle(), ::GetFocus()));

    // After another window has been active, the focus is back where it was.
    ::SetFocus(form.CacheTreeView.Handle());
    HWND other = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                   nullptr);
    ::SetActiveWindow(other);
    ::SetActiveWindow(form.Handle());
    EXPECT_EQ(::GetFocus(), form.CacheTreeView.Handle());
    ::DestroyWindow(other);
}
