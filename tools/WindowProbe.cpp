// WindowProbe: waits for a top-level window by caption, or closes it the way
// the user's close box would. Used by the run script.
//   WindowProbe wait  <caption> <milliseconds>   exit 0 once it is visible
//   WindowProbe close <caption> <milliseconds>   exit 0 once it has gone
//   WindowProbe type  <caption> <class> <text>   types text into the window's first child of that class
//                                                ("-": into the window itself); "\d" is the down arrow,
//                                                "\u" the up arrow, "\r" Enter, "\m" and a letter opens
//                                                the menu of that letter as Alt and the letter does
//   WindowProbe open  <caption>                  opens the first node of the window's tree view
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
HWND FindVisible(const char* caption)
{
    HWND wnd = ::FindWindowA(nullptr, caption);
    return (wnd && ::IsWindowVisible(wnd)) ? wnd : nullptr;
}
struct ChildSearch {
    const char* cls;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND wnd, LPARAM param)
{
    auto* search = reinterpret_cast<ChildSearch*>(param);
    char cls[64] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpiA(cls, search->cls) == 0) {
        search->found = wnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindChild(HWND parent, const char* cls)
{
    ChildSearch search{cls, nullptr};
    ::EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "type") == 0) {
        HWND wnd = FindVisible(argv[2]);
        HWND child = !wnd ? nullptr : std::strcmp(argv[3], "-") == 0 ? wnd : FindChild(wnd, argv[3]);
        if (!child)
            return 1;
        ::SetForegroundWindow(wnd);
        if (child != wnd)
            ::PostMessageA(child, WM_SETFOCUS, 0, 0);
        auto key = [child](WPARAM Key) {
            ::PostMessageA(child, WM_KEYDOWN, Key, 1);
            ::PostMessageA(child, WM_KEYUP, Key, 0xC0000001);
        };
        for (const char* c = argv[4]; *c; ++c) {
            if (*c == '\\' && c[1] != '\0') {
                ++c;
                if (*c == 'd')
                    key(VK_DOWN);
                else if (*c == 'u')
                    key(VK_UP);
                else if (*c == 'r')
                    key(VK_RETURN);
                else if (*c == 'm' && c[1] != '\0')
                    ::PostMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, static_cast<unsigned char>(*++c));
                continue;
            }
            ::PostMessageA(child, WM_CHAR, static_cast<unsigned char>(*c), 0);
        }
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "open") == 0) {
        HWND wnd = FindVisible(argv[2]);
        HWND tree = wnd ? FindChild(wnd, WC_TREEVIEWA) : nullptr;
        if (!tree)
            return 1;
        // Handles of tree nodes are plain values: they travel between processes as they are.
        const LRESULT root = ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        return root && ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, root) ? 0 : 1;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: WindowProbe wait|close <caption> <milliseconds>\n"
                             "       WindowProbe type <caption> <class> <text>\n"
                             "       WindowProbe open <caption>\n");
        return 2;
    }
    const char* caption = argv[2];
    DWORD limit = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
    DWORD start = ::GetTickCount();
    auto timedOut = [&] { return ::GetTickCount() - start > limit; };
    if (std::strcmp(argv[1], "wait") == 0) {
        while (!FindVisible(caption)) {
            if (timedOut())
                return 1;
            ::Sleep(100);
        }
        return 0;
    }
    if (std::strcmp(argv[1], "close") == 0) {
        HWND wnd = ::FindWindowA(nullptr, caption);
        if (!wnd)
            return 0;
        ::PostMessageA(wnd, WM_CLOSE, 0, 0);
        while (::IsWindow(wnd)) {
            if (timedOut())
                return 1;
            ::Sleep(100);
        }
        return 0;
    }
    return 2;
}
