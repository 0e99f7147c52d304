// Drives a window's menu bar the way the system does while the user works it:
// WM_INITMENUPOPUP as a popup drops down, WM_MENUSELECT as an entry is
// highlighted and as the menu closes, WM_EXITMENULOOP, then WM_COMMAND for
// the chosen entry. Entries are found in the native menu by their captions.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

class TMenuDriver {
public:
    struct TEntry {
        HMENU Menu = nullptr; // the menu the entry stands in
        int Position = -1;
        UINT Id = 0;
        HMENU SubMenu = nullptr;
        bool Separator = false;
    };

    explicit TMenuDriver(HWND Window) : FWindow(Window) {}

    HMENU Bar() const { return ::GetMenu(FWindow); }

    // The caption at a position, accelerator marks removed.
    static std::string Text(HMENU Menu, int Position)
    {
        int length = ::GetMenuStringA(Menu, static_cast<UINT>(Position), nullptr, 0, MF_BYPOSITION);
        std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
        length = ::GetMenuStringA(Menu, static_cast<UINT>(Position), text.data(), static_cast<int>(text.size()),
                                  MF_BYPOSITION);
        text.resize(static_cast<size_t>(length > 0 ? length : 0));
        std::string plain;
        for (char c : text)
            if (c != '&')
                plain += c;
        return plain;
    }

    static std::vector<std::string> Captions(HMENU Menu)
    {
        std::vector<std::string> out;
        for (int i = 0; i < ::GetMenuItemCount(Menu); ++i)
            out.push_back(IsSeparator(Menu, i) ? "-" : Text(Menu, i));
        return out;
    }

    static bool IsSeparator(HMENU Menu, int Position)
    {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        ::GetMenuItemInfoA(Menu, static_cast<UINT>(Position), TRUE, &info);
        return (info.fType & MFT_SEPARATOR) != 0;
    }

    // The entry at the end of a path of captions, such as {"View", "Show cookies"}.
    TEntry Find(const std::vector<std::string>& Path) const
    {
        TEntry entry;
        HMENU menu = Bar();
        for (size_t level = 0; level < Path.size(); ++level) {
            if (!menu)
                throw std::runtime_error("no menu under " + Path[level - 1]);
            entry = TEntry{};
            for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
                if (!IsSeparator(menu, i) && Text(menu, i) == Path[level]) {
                    entry = TEntry{menu, i, ::GetMenuItemID(menu, i), ::GetSubMenu(menu, i), false};
                    break;
                }
            }
            if (entry.Position < 0)
                throw std::runtime_error("no menu entry " + Path[level]);
            menu = entry.SubMenu;
        }
        return entry;
    }

    // A separator line by its position in a popup.
    static TEntry At(HMENU Menu, int Position)
    {
        return TEntry{Menu, Position, ::GetMenuItemID(Menu, Position), ::GetSubMenu(Menu, Position),
                      IsSeparator(Menu, Position)};
    }

    // The popup of an entry drops down.
    void Open(const TEntry& Popup) const
    {
        ::SendMessageA(FWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Popup.SubMenu),
                       MAKELPARAM(Popup.Position, FALSE));
    }

    void Highlight(const TEntry& Entry) const
    {
        UINT flags = MF_HILITE;
        if (Entry.SubMenu)
            flags |= MF_POPUP;
        if (Entry.Separator)
            flags |= MF_SEPARATOR;
        const UINT item = Entry.SubMenu || Entry.Separator ? static_cast<UINT>(Entry.Position) : Entry.Id;
        ::SendMessageA(FWindow, WM_MENUSELECT, MAKEWPARAM(item, flags), reinterpret_cast<LPARAM>(Entry.Menu));
    }

    void Close() const
    {
        ::SendMessageA(FWindow, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        ::SendMessageA(FWindow, WM_EXITMENULOOP, FALSE, 0);
    }

    // The whole road of a choice: each popup on the path drops down and is
    // highlighted, the entry is highlighted, the menu closes, the command comes.
    void Choose(const std::vector<std::string>& Path) const
    {
        ::SendMessageA(FWindow, WM_ENTERMENULOOP, FALSE, 0);
        for (size_t level = 1; level < Path.size(); ++level) {
            TEntry popup = Find({Path.begin(), Path.begin() + static_cast<std::ptrdiff_t>(level)});
            Highlight(popup);
            Open(popup);
        }
        TEntry entry = Find(Path);
        Highlight(entry);
        Close();
        ::SendMessageA(FWindow, WM_COMMAND, MAKEWPARAM(entry.Id, 0), 0);
    }

    static UINT State(const TEntry& Entry)
    {
        return ::GetMenuState(Entry.Menu, static_cast<UINT>(Entry.Position), MF_BYPOSITION);
    }
    static bool Enabled(const TEntry& Entry) { return (State(Entry) & (MF_GRAYED | MF_DISABLED)) == 0; }
    static bool Checked(const TEntry& Entry) { return (State(Entry) & MF_CHECKED) != 0; }

private:
    HWND FWindow;
};
