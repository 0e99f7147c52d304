// A form's main menu, built from a description. Entries linked to an action
// take their caption, enabled state and check mark from it as their popup
// drops down, and its hint as they are highlighted. Attached to a form, the
// menu gets the form's menu messages from the form's window procedure: it
// updates the actions of a popup as it drops down, puts the highlighted
// entry's hint into the application's hint, empties that hint when the menu
// closes, and runs the chosen entry.
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

    // With an action, the action's hint.
    const std::string& Hint() const { return FAction ? FAction->Hint() : FHint; }
    // The check mark the entry shows.
    bool Checked() const;
    bool IsLine() const { return !FCommand && !FSubMenu; }
    TAction* Action() const { return FAction; }

    TNotifyEvent OnClick;

    // The WM_COMMAND identifier of a plain entry; 0 for separators and popups.
    UINT Command() const { return FCommand; }
    // The menu the entry stands in.
    HMENU ParentMenu() const;

    // Choosing the entry: with an action, the action's rule (which also sets
    // its check); without one, an auto-check entry toggles its check mark
    // and OnClick runs.
    void Click();
    // Shows the action's caption, enabled state and check mark.
    void ShowAction();

private:
    friend class TMainMenu;
    void Insert(const std::string& Caption);
    void SetState(UINT State);
    // The action's caption as the menu shows it, with the access mark.
    std::string ActionText() const;

    TMainMenu& FMenu;
    TMenuItem* FParent;
    int FIndex;
    TAction* FAction;
    std::string FHint;
    bool FAutoCheck = false;
    char FAccessKey = 0;
    UINT FCommand = 0;
    HMENU FSubMenu = nullptr; // owned by the menu bar once inserted
    std::vector<std::unique_ptr<TMenuItem>> FItems;
};

class TMainMenu : public TComponent {
public:
    TMainMenu(TComponent* Owner, std::string Name);
    ~TMainMenu() override;

    // Replaces every entry with those described; the items are members of the menu's owner.
    void SetItems(const std::vector<TMenuItemDef>& Items);

    // The menu bar; the menu owns it.
    HMENU Handle() const { return FHandle.Get(); }

    // Becomes the form's menu bar; the form hands it its menu messages until
    // either of the two goes.
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
    friend class TForm;
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
    TForm* FForm = nullptr;
};
