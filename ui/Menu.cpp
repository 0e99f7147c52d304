#include "ui/Menu.h"

#include <cctype>

#include "base/SystemError.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace {
constexpr UINT MenuClosedFlags = 0xFFFF;

// The caption with an access mark before the letter; unchanged without a letter or when it does not occur.
std::string MarkAccessKey(const std::string& Caption, char Key)
{
    auto same = [Key](char c) {
        return Key && std::toupper(static_cast<unsigned char>(c)) == std::toupper(static_cast<unsigned char>(Key));
    };
    size_t at = std::string::npos;
    for (size_t i = 0; i < Caption.size() && at == std::string::npos; ++i)
        if (same(Caption[i]) && (i == 0 || Caption[i - 1] == ' '))
            at = i;
    for (size_t i = 0; i < Caption.size() && at == std::string::npos; ++i)
        if (same(Caption[i]))
            at = i;
    return at == std::string::npos ? Caption : Caption.substr(0, at) + '&' + Caption.substr(at);
}
} // namespace

// --- TMenuItem --------------------------------------------------------------

TMenuItem::TMenuItem(TMainMenu& Menu, TMenuItem* Parent, int Index, const TMenuItemDef& Def)
    : TComponent(Menu.Owner() ? Menu.Owner() : &Menu, Def.Name), FMenu(Menu), FParent(Parent), FIndex(Index),
      FAction(Def.Action), FHint(Def.Hint), FAutoCheck(Def.AutoCheck), FAccessKey(Def.AccessKey)
{
    OnClick = Def.OnClick;
    if (!Def.Items.empty()) {
        FSubMenu = ::CreatePopupMenu();
        if (!FSubMenu)
            ThrowLastError("Cannot make the menu " + Def.Name, "CreatePopupMenu");
    } else if (Def.Caption != "-" || FAction) {
        FCommand = Menu.NextCommand();
    }
    Insert(FAction ? ActionText() : Def.Caption);
    for (size_t i = 0; i < Def.Items.size(); ++i)
        FItems.push_back(std::make_unique<TMenuItem>(Menu, this, static_cast<int>(i), Def.Items[i]));
}

TMenuItem::~TMenuItem() = default;

HMENU TMenuItem::ParentMenu() const
{
    return FParent ? FParent->FSubMenu : FMenu.Handle();
}

void TMenuItem::Insert(const std::string& Caption)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    info.fType = IsLine() ? MFT_SEPARATOR : MFT_STRING;
    if (FAction)
        info.fState = (FAction->Enabled() ? MFS_ENABLED : MFS_GRAYED) | (FAction->Checked() ? MFS_CHECKED : 0);
    info.wID = FCommand;
    info.hSubMenu = FSubMenu;
    std::string text = Caption;
    if (!IsLine()) {
        info.fMask |= MIIM_STRING;
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
    }
    if (!::InsertMenuItemA(ParentMenu(), static_cast<UINT>(FIndex), TRUE, &info)) {
        const auto error = ESystemError::FromLastError("Cannot add the menu entry " + Name(), "InsertMenuItemA");
        if (FSubMenu)
            ::DestroyMenu(FSubMenu);
        FSubMenu = nullptr;
        throw error;
    }
}

bool TMenuItem::Checked() const
{
    return (::GetMenuState(ParentMenu(), static_cast<UINT>(FIndex), MF_BYPOSITION) & MF_CHECKED) != 0;
}

void TMenuItem::SetState(UINT State)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    info.fState = State;
    ::SetMenuItemInfoA(ParentMenu(), static_cast<UINT>(FIndex), TRUE, &info);
}

std::string TMenuItem::ActionText() const
{
    return MarkAccessKey(FAction->Caption(), FAccessKey);
}

void TMenuItem::ShowAction()
{
    if (!FAction)
        return;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_STRING;
    info.fState = (FAction->Enabled() ? MFS_ENABLED : MFS_GRAYED) | (FAction->Checked() ? MFS_CHECKED : 0);
    std::string text = ActionText();
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    ::SetMenuItemInfoA(ParentMenu(), static_cast<UINT>(FIndex), TRUE, &info);
    if (!FParent)
        FMenu.MenuBarChanged();
}

void TMenuItem::Click()
{
    if (FAction) {
        FAction->Execute();
        return;
    }
    if (FAutoCheck)
        SetState(Checked() ? MFS_UNCHECKED : MFS_CHECKED);
    if (OnClick)
        OnClick(*this);
}

// --- TMainMenu --------------------------------------------------------------

TMainMenu::TMainMenu(TComponent* Owner, std::string Name) : TComponent(Owner, std::move(Name)) {}

TMainMenu::~TMainMenu()
{
    // The form lets go of the bar before the bar is destroyed.
    if (FForm)
        FForm->SetMainMenu(nullptr);
    FItems.clear();
}

void TMainMenu::SetItems(const std::vector<TMenuItemDef>& Items)
{
    TMenuHandle bar(::CreateMenu());
    if (!bar)
        ThrowLastError("Cannot make the menu bar " + Name(), "CreateMenu");
    FItems.clear();
    FNextCommand = FirstCommand;
    std::swap(FHandle, bar);
    for (size_t i = 0; i < Items.size(); ++i)
        FItems.push_back(std::make_unique<TMenuItem>(*this, nullptr, static_cast<int>(i), Items[i]));
    if (FForm)
        FForm->SetMainMenu(this);
}

void TMainMenu::AttachTo(TForm& Form)
{
    Form.SetMainMenu(this);
}

void TMainMenu::MenuBarChanged() const
{
    if (FForm && FForm->Handle())
        ::DrawMenuBar(FForm->Handle());
}

template <typename Pred>
TMenuItem* TMainMenu::Search(const Pred& Match) const
{
    std::vector<TMenuItem*> pending;
    for (const auto& item : FItems)
        pending.push_back(item.get());
    while (!pending.empty()) {
        TMenuItem* item = pending.back();
        pending.pop_back();
        if (Match(*item))
            return item;
        for (const auto& sub : item->FItems)
            pending.push_back(sub.get());
    }
    return nullptr;
}

TMenuItem* TMainMenu::FindCommand(UINT Command) const
{
    if (Command == 0)
        return nullptr;
    return Search([&](const TMenuItem& item) { return item.FCommand == Command; });
}

TMenuItem* TMainMenu::FindPopup(HMENU SubMenu) const
{
    if (!SubMenu)
        return nullptr;
    return Search([&](const TMenuItem& item) { return item.FSubMenu == SubMenu; });
}

TMenuItem* TMainMenu::FindItem(std::string_view Name) const
{
    return Search([&](const TMenuItem& item) { return SameText(item.Name(), Name); });
}

bool TMainMenu::HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result)
{
    switch (Msg) {
    case WM_INITMENUPOPUP: {
        if (HIWORD(LParam)) // the window menu
            return false;
        TMenuItem* popup = FindPopup(reinterpret_cast<HMENU>(WParam));
        if (!popup)
            return false;
        for (const auto& item : popup->FItems) {
            if (item->FAction) {
                item->FAction->Update();
                item->ShowAction();
            }
        }
        return false;
    }
    case WM_MENUSELECT: {
        const UINT flags = HIWORD(WParam);
        const HMENU menu = reinterpret_cast<HMENU>(LParam);
        if (flags == MenuClosedFlags && !menu) {
            Application().SetHint("");
            return false;
        }
        const TMenuItem* item = nullptr;
        if (flags & MF_POPUP)
            item = FindPopup(::GetSubMenu(menu, LOWORD(WParam)));
        else if (!(flags & MF_SEPARATOR))
            item = FindCommand(LOWORD(WParam));
        Application().SetHint(item ? GetLongHint(item->Hint()) : std::string());
        return false;
    }
    case WM_EXITMENULOOP:
        Application().SetHint("");
        return false;
    case WM_COMMAND:
        // From a menu: notification code 0 and no control window.
        if (LParam == 0 && HIWORD(WParam) == 0) {
            if (TMenuItem* item = FindCommand(LOWORD(WParam))) {
                item->Click();
                Result = 0;
                return true;
            }
        }
        return false;
    }
    return false;
}
