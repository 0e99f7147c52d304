// Actions and the main menu, apart from any window of the program: check
// groups, lifetimes, and a menu bar that shows its actions as it drops down.
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
    explicit MenuTestForm(const TFormKey& Key) : TForm(Key, nullptr, "MenuTestForm", "TMorvaneMenuTestForm")
    {
        SetBounds(0, 0, 400, 300);
    }
};

void Prepare(TAction& Action, TActionList& List, int Group, bool AutoCheck, bool Checked)
{
    Action.SetActionList(&List);
    Action.SetGroupIndex(Group);
    Action.SetAutoCheck(AutoCheck);
    Action.SetChecked(Checked);
}

UINT NativeState(HMENU Menu, UINT Position)
{
    return ::GetMenuState(Menu, Position, MF_BYPOSITION);
}

} // namespace

TEST(Actions, ACheckUnchecksOnlyTheSameGroupOfTheSameList)
{
    TActionList list(nullptr, "List"), other(nullptr, "Other");
    TAction a(nullptr, "a"), b(nullptr, "b"), loose(nullptr, "loose"), elsewhere(nullptr, "elsewhere"),
        group2(nullptr, "group2");
    Prepare(a, list, 1, true, true);
    Prepare(b, list, 1, true, false);
    Prepare(loose, list, 0, true, true);
    Prepare(elsewhere, other, 1, true, true);
    Prepare(group2, list, 2, true, true);

    b.SetChecked(true);
    EXPECT_FALSE(a.Checked());
    EXPECT_TRUE(loose.Checked());
    EXPECT_TRUE(elsewhere.Checked());
    EXPECT_TRUE(group2.Checked());

    // An auto-check action without a group toggles.
    int runs = 0;
    loose.OnExecute = [&](TComponent&) { ++runs; };
    loose.Execute();
    EXPECT_FALSE(loose.Checked());
    loose.Execute();
    EXPECT_TRUE(loose.Checked());
    EXPECT_EQ(runs, 2);
}

TEST(Actions, ListsForgetWhatGoesAway)
{
    auto list = std::make_unique<TActionList>(nullptr, "List");
    auto first = std::make_unique<TAction>(nullptr, "first");
    TAction second(nullptr, "second");
    first->SetActionList(list.get());
    second.SetActionList(list.get());

    first.reset();
    ASSERT_EQ(list->ActionCount(), 1);
    EXPECT_EQ(&list->Actions(0), &second);
    list.reset();
    EXPECT_EQ(second.ActionList(), nullptr);
    EXPECT_TRUE(second.Execute());
}

class MenuOnForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application().Initialize();
        Application().SetHint("");
        Linked.SetCaption("Linked");
        Linked.OnExecute = [this](TComponent& sender) { Ran.push_back(sender.Name()); };
        Menu = std::make_unique<TMainMenu>(&Form, "Menu");
        Menu->SetItems({
            {.Name = "Top1", .Caption = "&Top",
             .Items = {{.Name = "Linked1", .Action = &Linked},
                       {.Name = "Plain1", .Caption = "Plain", .Hint = "Plain short|Plain long",
                        .OnClick = [this](TComponent& sender) { Ran.push_back(sender.Name()); }, .AutoCheck = true},
                       {.Name = "Sub1", .Caption = "Sub", .Hint = "Sub hint",
                        .Items = {{.Name = "Inner1", .Caption = "Inner"}}}}},
        });
        Menu->AttachTo(Form);
        Form.HandleNeeded();
        Top = ::GetSubMenu(::GetMenu(Form.Handle()), 0);
    }
    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) { return ::SendMessageA(Form.Handle(), msg, wParam, lParam); }
    UINT Id(const char* name) { return Menu->FindItem(name)->Command(); }

    TFormPtr<MenuTestForm> Owner = MakeForm<MenuTestForm>();
    MenuTestForm& Form = *Owner;
    TAction Linked{nullptr, "Linked"};
    std::unique_ptr<TMainMenu> Menu;
    HMENU Top = nullptr;
    std::vector<std::string> Ran;
};

TEST_F(MenuOnForm, EntriesShowTheirActionsAsTheirPopupDrops)
{
    char text[64] = {};
    ::GetMenuStringA(Top, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Linked");
    Linked.SetCaption("Renamed");
    Linked.SetEnabled(false);
    Linked.SetChecked(true);
    Linked.SetHint("Now with a hint");
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Top), MAKELPARAM(0, FALSE));
    ::GetMenuStringA(Top, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Renamed");
    EXPECT_NE(NativeState(Top, 0) & MF_GRAYED, 0u);
    EXPECT_NE(NativeState(Top, 0) & MF_CHECKED, 0u);
    EXPECT_EQ(Menu->FindItem("linked1")->Hint(), "Now with a hint");
    EXPECT_EQ(Form.FindComponent("Inner1"), Menu->FindItem("Inner1"));
}

TEST_F(MenuOnForm, PlainEntriesRunTheirClickAndPopupsShowTheirHint)
{
    Send(WM_COMMAND, MAKEWPARAM(Id("Plain1"), 0), 0);
    EXPECT_NE(NativeState(Top, 1) & MF_CHECKED, 0u);
    Send(WM_COMMAND, MAKEWPARAM(Id("Plain1"), 0), 0);
    EXPECT_EQ(NativeState(Top, 1) & MF_CHECKED, 0u);
    Send(WM_COMMAND, MAKEWPARAM(Id("Linked1"), 0), 0);
    Send(WM_COMMAND, MAKEWPARAM(999, 0), 0); // not the menu's
    EXPECT_EQ(Ran, (std::vector<std::string>{"Plain1", "Plain1", "Linked"}));

    Send(WM_MENUSELECT, MAKEWPARAM(Id("Plain1"), MF_HILITE), reinterpret_cast<LPARAM>(Top));
    EXPECT_EQ(Application().Hint(), "Plain long");
    Send(WM_MENUSELECT, MAKEWPARAM(2, MF_HILITE | MF_POPUP), reinterpret_cast<LPARAM>(Top));
    EXPECT_EQ(Application().Hint(), "Sub hint");
    Send(WM_MENUSELECT, MAKEWPARAM(0, MF_HILITE | MF_POPUP), reinterpret_cast<LPARAM>(::GetMenu(Form.Handle())));
    EXPECT_EQ(Application().Hint(), "");
}

TEST_F(MenuOnForm, TheMenuOwnsItsBarWhicheverGoesFirst)
{
    HMENU bar = Menu->Handle();
    Owner.reset();
    EXPECT_TRUE(::IsMenu(bar)); // the form let go of the bar without destroying it
    Menu.reset();
    EXPECT_FALSE(::IsMenu(bar));

    TFormPtr<MenuTestForm> second = MakeForm<MenuTestForm>();
    auto menu = std::make_unique<TMainMenu>(second.get(), "Menu");
    menu->SetItems({{.Name = "A1", .Caption = "A", .Items = {{.Name = "B1", .Caption = "B", .Hint = "b"}}}});
    menu->AttachTo(*second);
    second->HandleNeeded();
    bar = menu->Handle();
    UINT id = menu->FindItem("B1")->Command();
    menu.reset();
    EXPECT_EQ(::GetMenu(second->Handle()), nullptr);
    EXPECT_FALSE(::IsMenu(bar));
    // The form hands nothing to the menu that has gone.
    ::SendMessageA(second->Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    ::SendMessageA(second->Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
}
