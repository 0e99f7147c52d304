// Actions and the main menu: the rule by which an action runs, check groups,
// and a menu bar on a form that follows its actions and answers the menu
// messages.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/Actions.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Menu.h"

namespace {

class MenuTestForm : public TForm {
public:
    MenuTestForm() : TForm(nullptr, "MenuTestForm", "TMorvaneMenuTestForm") { SetBounds(0, 0, 400, 300); }
    ~MenuTestForm() override { Destroy(); }
};

TAction& Prepare(TAction& Action, TActionList& List, int Group, bool AutoCheck, bool Checked, int& Runs)
{
    Action.SetActionList(&List);
    Action.SetGroupIndex(Group);
    Action.SetAutoCheck(AutoCheck);
    Action.SetChecked(Checked);
    Action.OnExecute = [&Runs](TComponent&) { ++Runs; };
    return Action;
}

std::string NativeText(HMENU Menu, UINT Position)
{
    char text[256] = {};
    ::GetMenuStringA(Menu, Position, text, sizeof text, MF_BYPOSITION);
    return text;
}

UINT NativeState(HMENU Menu, UINT Position)
{
    return ::GetMenuState(Menu, Position, MF_BYPOSITION);
}

} // namespace

TEST(Actions, AnActionIsUpdatedFirstAndDoesNothingWhenThatDisablesIt)
{
    TActionList list(nullptr, "List");
    TAction a(nullptr, "a");
    int runs = 0, updates = 0;
    Prepare(a, list, 1, true, false, runs);
    bool allow = false;
    list.OnUpdate = [&](TAction& action, bool&) {
        ++updates;
        EXPECT_EQ(&action, &a);
        action.SetEnabled(allow);
    };
    EXPECT_TRUE(a.Enabled());
    EXPECT_FALSE(a.Execute());
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(a.Checked());

    allow = true;
    EXPECT_TRUE(a.Execute());
    EXPECT_EQ(updates, 2);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(a.Checked());
}

TEST(Actions, CheckingMovesWithinTheGroupOfTheSameListOnly)
{
    TActionList list(nullptr, "List"), other(nullptr, "Other");
    TAction a(nullptr, "a"), b(nullptr, "b"), c(nullptr, "c"), d(nullptr, "d"), e(nullptr, "e");
    int runsA = 0, runsB = 0, runsC = 0, runsD = 0, runsE = 0;
    Prepare(a, list, 1, true, true, runsA);
    Prepare(b, list, 1, true, false, runsB);
    Prepare(c, list, 0, false, true, runsC);
    Prepare(d, other, 1, true, true, runsD);
    Prepare(e, list, 2, true, true, runsE);

    b.Execute();
    EXPECT_TRUE(b.Checked());
    EXPECT_FALSE(a.Checked());
    EXPECT_TRUE(c.Checked());
    EXPECT_TRUE(d.Checked());
    EXPECT_TRUE(e.Checked());
    EXPECT_EQ(runsB, 1);

    // The checked one of a group stays checked, and its handler runs all the same.
    b.Execute();
    EXPECT_TRUE(b.Checked());
    EXPECT_FALSE(a.Checked());
    EXPECT_EQ(runsB, 2);

    // Without auto-check the check is the handler's affair.
    c.Execute();
    EXPECT_TRUE(c.Checked());
    EXPECT_EQ(runsC, 1);

    // Checking in code keeps the group too.
    a.SetChecked(true);
    EXPECT_FALSE(b.Checked());
    EXPECT_EQ(runsA, 0);
}

TEST(Actions, AnAutoCheckActionWithoutAGroupToggles)
{
    TActionList list(nullptr, "List");
    TAction a(nullptr, "a");
    int runs = 0;
    Prepare(a, list, 0, true, false, runs);
    a.Execute();
    EXPECT_TRUE(a.Checked());
    a.Execute();
    EXPECT_FALSE(a.Checked());
    EXPECT_EQ(runs, 2);
}

TEST(Actions, ListsAndLinksForgetWhatGoesAway)
{
    auto list = std::make_unique<TActionList>(nullptr, "List");
    auto first = std::make_unique<TAction>(nullptr, "first");
    TAction second(nullptr, "second");
    first->SetActionList(list.get());
    second.SetActionList(list.get());
    ASSERT_EQ(list->ActionCount(), 2);
    EXPECT_EQ(&list->Actions(1), &second);

    int changes = 0;
    TActionLink link(*first, [&] { ++changes; });
    first->SetCaption("Caption");
    first->SetCaption("Caption");
    first->SetEnabled(false);
    EXPECT_EQ(changes, 2);

    first.reset();
    EXPECT_EQ(link.Action(), nullptr);
    ASSERT_EQ(list->ActionCount(), 1);
    EXPECT_EQ(&list->Actions(0), &second);
    list.reset();
    EXPECT_EQ(second.ActionList(), nullptr);
    EXPECT_FALSE(second.Update());
    EXPECT_TRUE(second.Execute());
}

class MenuOnForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application().Initialize();
        Application().SetHint("");
        for (TAction* a : {&Show, &Grouped, &Linked}) {
            a->SetActionList(a == &Linked ? &Others : &List);
            a->OnExecute = [this, a](TComponent& sender) {
                EXPECT_EQ(&sender, a);
                Ran.push_back(a->Name());
            };
        }
        Show.SetCaption("Show");
        Show.SetHint("Show it");
        Grouped.SetCaption("Grouped");
        Grouped.SetGroupIndex(1);
        Grouped.SetAutoCheck(true);
        Linked.SetCaption("Linked");
        Linked.SetHint("Short|Linked long");
        List.OnUpdate = [this](TAction& action, bool&) {
            Updated.push_back(action.Name());
            Show.SetEnabled(Allow);
        };
        Menu = std::make_unique<TMainMenu>(&Form, "Menu");
        Menu->SetItems({
            {"Top1", "&Top", {}, nullptr, {}, false,
             {{"Show1", {}, {}, &Show, {}, false, {}},
              {"Line1", "-", {}, nullptr, {}, false, {}},
              {"Plain1", "Plain", "Plain short|Plain long", nullptr,
               [this](TComponent& sender) { Ran.push_back(sender.Name()); }, true, {}},
              {"Grouped1", {}, {}, &Grouped, {}, true, {}},
              {"Sub1", "Sub", "Sub hint", nullptr, {}, false, {{"Linked1", {}, {}, &Linked, {}, false, {}}}}}},
            {"Other1", "Other", {}, nullptr, {}, false, {{"Nothing1", "Nothing", {}, nullptr, {}, false, {}}}},
        });
        Menu->AttachTo(Form);
        Form.HandleNeeded();
        Top = ::GetSubMenu(::GetMenu(Form.Handle()), 0);
        Sub = ::GetSubMenu(Top, 4);
    }

    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) { return ::SendMessageA(Form.Handle(), msg, wParam, lParam); }
    void Highlight(HMENU menu, UINT item, UINT flags)
    {
        Send(WM_MENUSELECT, MAKEWPARAM(item, flags | MF_HILITE), reinterpret_cast<LPARAM>(menu));
    }
    UINT Id(const char* name) { return Menu->FindItem(name)->Command(); }

    MenuTestForm Form;
    TActionList List{nullptr, "List"}, Others{nullptr, "Others"};
    TAction Show{nullptr, "Show"}, Grouped{nullptr, "Grouped"}, Linked{nullptr, "Linked"};
    std::unique_ptr<TMainMenu> Menu;
    HMENU Top = nullptr, Sub = nullptr;
    bool Allow = true;
    std::vector<std::string> Ran, Updated;
};

TEST_F(MenuOnForm, EntriesFollowTheirActionsAtOnce)
{
    ASSERT_EQ(::GetMenu(Form.Handle()), Menu->Handle());
    EXPECT_EQ(NativeText(::GetMenu(Form.Handle()), 0), "&Top");
    EXPECT_EQ(NativeText(Top, 0), "Show");
    EXPECT_EQ(Menu->FindItem("Show1")->Hint(), "Show it");
    EXPECT_EQ(NativeState(Top, 1) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(Menu->FindItem("Line1")->Command(), 0u);
    EXPECT_EQ(Menu->FindItem("Sub1")->SubMenu(), Sub);
    EXPECT_EQ(NativeText(Sub, 0), "Linked");
    EXPECT_EQ(Form.FindComponent("Linked1"), Menu->FindItem("linked1"));

    Show.SetCaption("Shown");
    Show.SetEnabled(false);
    Show.SetChecked(true);
    EXPECT_EQ(NativeText(Top, 0), "Shown");
    EXPECT_NE(NativeState(Top, 0) & MF_GRAYED, 0u);
    EXPECT_NE(NativeState(Top, 0) & MF_CHECKED, 0u);
    Show.SetHint("Changed");
    EXPECT_EQ(Menu->FindItem("Show1")->Hint(), "Changed");
}

TEST_F(MenuOnForm, APopupUpdatesTheActionsOfItsOwnEntriesOnly)
{
    Allow = false;
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Top), MAKELPARAM(0, FALSE));
    EXPECT_EQ(Updated, (std::vector<std::string>{"Show", "Grouped"}));
    EXPECT_NE(NativeState(Top, 0) & MF_GRAYED, 0u);
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Sub), MAKELPARAM(4, FALSE));
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(::GetSubMenu(Menu->Handle(), 1)), MAKELPARAM(1, FALSE));
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Top), MAKELPARAM(0, TRUE)); // as the window menu: not ours
    EXPECT_EQ(Updated.size(), 2u);

    // A disabled entry chosen all the same does nothing.
    Send(WM_COMMAND, MAKEWPARAM(Id("Show1"), 0), 0);
    EXPECT_TRUE(Ran.empty());
    Allow = true;
    Send(WM_COMMAND, MAKEWPARAM(Id("Show1"), 0), 0);
    EXPECT_EQ(Ran, std::vector<std::string>{"Show"});
}

TEST_F(MenuOnForm, ChoosingRunsTheActionOrTheClickHandler)
{
    Send(WM_COMMAND, MAKEWPARAM(Id("Grouped1"), 0), 0);
    EXPECT_TRUE(Grouped.Checked());
    EXPECT_NE(NativeState(Top, 3) & MF_CHECKED, 0u);
    Send(WM_COMMAND, MAKEWPARAM(Id("Grouped1"), 0), 0);
    EXPECT_TRUE(Grouped.Checked()); // the entry leaves the checking to its action

    Send(WM_COMMAND, MAKEWPARAM(Id("Plain1"), 0), 0);
    EXPECT_NE(NativeState(Top, 2) & MF_CHECKED, 0u);
    Send(WM_COMMAND, MAKEWPARAM(Id("Plain1"), 0), 0);
    EXPECT_EQ(NativeState(Top, 2) & MF_CHECKED, 0u);

    Send(WM_COMMAND, MAKEWPARAM(Id("Linked1"), 0), 0);
    // A command that is not the menu's, and a control's notification, pass by.
    Send(WM_COMMAND, MAKEWPARAM(999, 0), 0);
    EXPECT_EQ(Ran, (std::vector<std::string>{"Grouped", "Grouped", "Plain1", "Plain1", "Linked"}));
}

TEST_F(MenuOnForm, TheHighlightedEntrysHintBecomesTheApplicationsHint)
{
    Highlight(Top, Id("Plain1"), 0);
    EXPECT_EQ(Application().Hint(), "Plain long");
    Highlight(Top, 1, MF_SEPARATOR);
    EXPECT_EQ(Application().Hint(), "");
    Highlight(Top, 4, MF_POPUP);
    EXPECT_EQ(Application().Hint(), "Sub hint");
    Highlight(Sub, Id("Linked1"), 0);
    EXPECT_EQ(Application().Hint(), "Linked long");
    Highlight(Menu->Handle(), 0, MF_POPUP);
    EXPECT_EQ(Application().Hint(), "");
    Highlight(Top, Id("Show1"), 0);
    EXPECT_EQ(Application().Hint(), "Show it");
    Send(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(Application().Hint(), "");
    Highlight(Top, Id("Show1"), 0);
    Send(WM_EXITMENULOOP, FALSE, 0);
    EXPECT_EQ(Application().Hint(), "");
}

TEST_F(MenuOnForm, TheMenuOwnsItsBarAndMayGoBeforeTheForm)
{
    HMENU bar = Menu->Handle();
    Form.Destroy();
    EXPECT_TRUE(::IsMenu(bar)); // the form let go of the bar without destroying it
    Menu.reset();
    EXPECT_FALSE(::IsMenu(bar));

    MenuTestForm second;
    auto menu = std::make_unique<TMainMenu>(&second, "Menu");
    menu->SetItems({{"A1", "A", {}, nullptr, {}, false, {{"B1", "B", "b", nullptr, {}, false, {}}}}});
    menu->AttachTo(second);
    second.HandleNeeded();
    bar = menu->Handle();
    UINT id = menu->FindItem("B1")->Command();
    menu.reset();
    EXPECT_EQ(::GetMenu(second.Handle()), nullptr);
    EXPECT_FALSE(::IsMenu(bar));
    ::SendMessageA(second.Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    ::SendMessageA(second.Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
}
