#include "ui/Menu.h"

#include <cctype>
#include <stdexcept>

#include "ui/Application.h"
#include "ui/Form.h"

namespace {
constexpr UINT MenuClosedFlags = 0xFFFF;

[[noreturn]] void MenuFailure(const char* What)
{
    throw std::runtime_error(std::string(What) + " failed (error " + std::to_string(::GetLastError()) + ")");
}

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
      FCaption(Def.Caption), FHint(Def.Hint), FAutoCheck(Def.AutoCheck), FAccessKey(Def.AccessKey)
{
    OnClick = Def.OnClick;
    if (Def.Action) {
        FLink = std::make_unique<TActionLink>(*Def.Action, [this] { ActionChanged(); });
        FCaption = Def.Action->Caption();
        FHint = Def.Action->Hint();
        FEnabled = Def.Action->Enabled();
        FChecked = Def.Action->Checked();
    }
    if (!Def.Items.empty()) {
        FSubMenu = ::CreatePopupMenu();
        if (!FSubMenu)
            MenuFailure("CreatePopupMenu");
    } else if (!IsLine()) {
        FCommand = Menu.NextCommand();
    }
    Insert();
    for (size_t i = 0; i < Def.Items.size(); ++i)
        FItems.push_back(std::make_unique<TMenuItem>(Menu, this, static_cast<int>(i), Def.Items[i]));
}

TMenuItem::~TMenuItem() = default;

HMENU TMenuItem::ParentMenu() const
{
    return FParent ? FParent->FSubMenu : FMenu.Handle();
}

void TMenuItem::Insert()
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    info.fType = IsLine() ? MFT_SEPARATOR : MFT_STRING;
    info.fState = (FEnabled ? MFS_ENABLED : MFS_GRAYED) | (FChecked ? MFS_CHECKED : MFS_UNCHECKED);
    info.wID = FCommand;
    info.hSubMenu = FSubMenu;
    std::string text = MenuText();
    if (!IsLine()) {
        info.fMask |= MIIM_STRING;
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
    }
    if (!::InsertMenuItemA(ParentMenu(), static_cast<UINT>(FIndex), TRUE, &info)) {
        if (FSubMenu)
            ::DestroyMenu(FSubMenu);
        FSubMenu = nullptr;
        MenuFailure("InsertMenuItemA");
    }
}

void TMenuItem::UpdateNative()
{
    if (IsLine())
        return;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_STRING;
    info.fState = (FEnabled ? MFS_ENABLED : MFS_GRAYED) | (FChecked ? MFS_CHECKED : MFS_UNCHECKED);
    std::string text = MenuText();
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    ::SetMenuItemInfoA(ParentMenu(), static_cast<UINT>(FIndex), TRUE, &info);
    if (!FParent)
        FMenu.MenuBarChanged();
}

std::string TMenuItem::MenuText() const
{
    return MarkAccessKey(FCaption, FAccessKey);
}

void TMenuItem::SetCaption(std::string Value)
{
    FCaption = std::move(Value);
    UpdateNative();
}

void TMenuItem::SetEnabled(bool Value)
{
    FEnabled = Value;
    UpdateNative();
}

void TMenuItem::SetChecked(bool Value)
{
    FChecked = Value;
    UpdateNative();
}

void TMenuItem::ActionChanged()
{
    TAction* action = Action();
    if (!action)
        return;
    FCaption = action->Caption();
    FHint = action->Hint();
    FEnabled = action->Enabled();
    FChecked = action->Checked();
    UpdateNative();
}

void TMenuItem::Click()
{
    if (TAction* action = Action()) {
        action->Execute();
        return;
    }
    if (FAutoCheck)
        SetChecked(!FChecked);
    if (OnClick)
        OnClick(*this);
}

// --- TMainMenu --------------------------------------------------------------

TMainMenu::TMainMenu(TComponent* Owner, std::string Name)
    : TComponent(Owner, std::move(Name)), FSelf(std::make_shared<TMainMenu*>(this))
{
}

TMainMenu::~TMainMenu()
{
    *FSelf = nullptr;
    // A window still showing the bar lets go of it before the bar is destroyed.
    if (FWindow && ::IsWindow(FWindow) && ::GetMenu(FWindow) == FHandle.Get())
        ::SetMenu(FWindow, nullptr);
    FItems.clear();
}

void TMainMenu::SetItems(const std::vector<TMenuItemDef>& Items)
{
    TMenuHandle bar(::CreateMenu());
    if (!bar)
        MenuFailure("CreateMenu");
    FItems.clear();
    FNextCommand = FirstCommand;
    std::swap(FHandle, bar);
    for (size_t i = 0; i < Items.size(); ++i)
        FItems.push_back(std::make_unique<TMenuItem>(*this, nullptr, static_cast<int>(i), Items[i]));
    if (FWindow && ::IsWindow(FWindow) && ::GetMenu(FWindow) == bar.Get())
        ::SetMenu(FWindow, FHandle.Get());
}

void TMainMenu::AttachTo(TForm& Form)
{
    Form.SetMenu(FHandle.Get());
    FWindow = Form.Handle();
    std::shared_ptr<TMainMenu*> self = FSelf;
    TForm* form = &Form;
    // The hook runs only while the form's window exists, so the form is there.
    Form.AddMessageHook([self, form](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        TMainMenu* menu = *self;
        if (!menu)
            return false;
        menu->FWindow = form->Handle();
        return menu->HandleMessage(msg, wParam, lParam, result);
    });
}

void TMainMenu::MenuBarChanged() const
{
    if (FWindow && ::IsWindow(FWindow) && ::GetMenu(FWindow) == FHandle.Get())
        ::DrawMenuBar(FWindow);
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
            if (TAction* action = item->Action()) {
                action->Update();
                item->ActionChanged();
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
