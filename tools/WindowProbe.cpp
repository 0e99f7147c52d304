// WindowProbe: waits for a top-level window by caption, or closes it the way
// the user's close box would. Used by the run script.
//   WindowProbe wait  <caption> <milliseconds>   exit 0 once it is visible
//   WindowProbe close <caption> <milliseconds>   exit 0 once it has gone
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
HWND FindVisible(const char* caption)
{
    HWND wnd = ::FindWindowA(nullptr, caption);
    return (wnd && ::IsWindowVisible(wnd)) ? wnd : nullptr;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: WindowProbe wait|close <caption> <milliseconds>\n");
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
