// A form's main menu, built from a description. Entries linked to an action
// take their caption, hint, enabled state and check mark from it. Attached to
// a form, the menu updates the actions of a popup as it drops down, puts the
// highlighted entry's hint into the application's hint, empties that hint
// when the menu closes, and runs the chosen entry.
//
// Classes in this file: TMenuItemDef, TMenuItem, TMainMenu.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Actions.h"
#include "base/Handle.h"

class TForm;
class TMainMenu;

// One entry as the menu is built from it. A caption of "-" makes a separator
// line; sub-items make a popup. A caption marks its access letter with '&';
// an entry that shows its action's caption names the letter as AccessKey, and
// the menu marks it (either case) at the first word that begins with it, else
// at its first place.
struct TMenuItemDef {
    std::string Name;
    std::string Caption;
    std::string Hint;
    TAction* Action = nullptr;
    char AccessKey = 0;
    TNotifyEvent OnClick;
    bool AutoCheck = false;
    std::vector<TMenuItemDef> Items;
};

class TMenuItem : public TComponent {
public:
    TMenuItem(TMainMenu& Menu, TMenuItem* Parent, int Index, const TMenuItemDef& Def);
    ~TMenuItem() override;

    TMenuItem* Parent() const { return FParent; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem& Items(int Index) const { return *FItems.at(static_cast<size_t>(Index)); }

    // With an action these follow the action; setting them then lasts until its next change.
    const std::string& Caption() const { return FCaption; }
    void SetCaption(std::string Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(std::string Value) { FHint = std::move(Value); }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool AutoCheck() const { return FAutoCheck; }
    bool IsLine() const { return FCaption == "-"; }
    TAction* Action() const { return FLink ? FLink->Action() : nullptr; }

    TNotifyEvent OnClick;

    // The WM_COMMAND identifier of a plain entry; 0 for separators and popups.
    UINT Command() const { return FCommand; }
    // The drop-down of an entry with sub-items; null otherwise.
    HMENU SubMenu() const { return FSubMenu; }
    // The menu the entry stands in.
    HMENU ParentMenu() const;

    // Choosing the entry: with an action, the action's rule (which also sets
    // the check mark); without one, an auto-check entry toggles its check
    // and OnClick runs.
    void Click();
    // Takes caption, hint, enabled state and check mark from the action.
    void ActionChanged();

private:
    friend class TMainMenu;
    void Insert();
    void UpdateNative();
    // The caption as the menu shows it, with the access mark.
    std::string MenuText() const;

    TMainMenu& FMenu;
    TMenuItem* FParent;
    int FIndex;
    std::string FCaption;
    std::string FHint;
    bool FEnabled = true;
    bool FChecked = false;
    bool FAutoCheck = false;
    char FAccessKey = 0;
    UINT FCommand = 0;
    HMENU FSubMenu = nullptr; // owned by the menu bar once inserted
    std::unique_ptr<TActionLink> FLink;
    std::vector<std::unique_ptr<TMenuItem>> FItems;
};

class TMainMenu : public TComponent {
public:
    TMainMenu(TComponent* Owner, std::string Name);
    ~TMainMenu() override;

    // Replaces every entry with those described; the items are members of the menu's owner.
    void SetItems(const std::vector<TMenuItemDef>& Items);
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem& Items(int Index) const { return *FItems.at(static_cast<size_t>(Index)); }

    // The menu bar; the menu owns it.
    HMENU Handle() const { return FHandle.Get(); }

    // Becomes the form's menu bar and starts watching the form's messages.
    // The menu must outlive the form's window, or leave it first.
    void AttachTo(TForm& Form);

    TMenuItem* FindCommand(UINT Command) const;
    TMenuItem* FindPopup(HMENU SubMenu) const;
    // An entry by name, at any depth; letter case ignored.
    TMenuItem* FindItem(std::string_view Name) const;

    // The messages a form hands over: WM_INITMENUPOPUP, WM_MENUSELECT,
    // WM_EXITMENULOOP and WM_COMMAND from the menu. True when handled.
    bool HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result);

private:
    friend class TMenuItem;
    UINT NextCommand() { return FNextCommand++; }
    void MenuBarChanged() const;
    template <typename Pred>
    TMenuItem* Search(const Pred& Match) const;

    TMenuHandle FHandle;
    std::vector<std::unique_ptr<TMenuItem>> FItems;
    // Command identifiers start clear of those the system gives its own
    // commands (IDOK, IDCANCEL and the other dialog results).
    static constexpr UINT FirstCommand = 100;
    UINT FNextCommand = FirstCommand;
    HWND FWindow = nullptr;
    // Shared with the form's message hook, which goes quiet when the menu goes.
    std::shared_ptr<TMainMenu*> FSelf;
};
