// The real program under Wine: it starts, shows its main window and ends
// cleanly when the window is closed (also by the keyboard alone).
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include "Process.h"
#include "RealCacheWrites.h"
#include "ui/Control.h"

namespace {

// The window's descendants of a class, in the order that EnumChildWindows gives.
struct TChildSearch {
    const char* Class;
    std::vector<HWND> Found;
};
BOOL CALLBACK CollectChild(HWND Wnd, LPARAM Search)
{
    auto* search = reinterpret_cast<TChildSearch*>(Search);
    char name[32] = {};
    ::GetClassNameA(Wnd, name, sizeof name);
    if (lstrcmpiA(name, search->Class) == 0)
        search->Found.push_back(Wnd);
    return TRUE;
}
std::vector<HWND> Children(HWND Wnd, const char* Class)
{
    TChildSearch search{Class, {}};
    ::EnumChildWindows(Wnd, CollectChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// The texts of the window's static controls (the five lines of the "File
// information" box), as an accessibility client reads them (WM_GETTEXT).
std::vector<std::string> StaticTexts(HWND Wnd)
{
    std::vector<std::string> texts;
    for (HWND child : Children(Wnd, "Static")) {
        char text[256] = {};
        ::SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

} // namespace

TEST(Startup, MainWindowAppearsAndACloseRequestEndsTheProcessWithCodeZero)
{
    TScratchCopy copy;   // its settings file stays out of the build folder
    ASSERT_TRUE(copy.Copied()) << MorvaneExePath();
    TMorvaneProcess morvane(copy.Exe());
    ASSERT_TRUE(morvane.Started()) << copy.Exe();
    HWND wnd = morvane.WaitForMainWindow();
    ASSERT_NE(wnd, nullptr) << "no visible TfrmMorvane window";

    char caption[64] = {};
    ::GetWindowTextA(wnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "Morvane ");
    // Its window carries a pointer of its own process, which this one never takes.
    EXPECT_NE(::GetPropA(wnd, "Morvane.Control"), nullptr);
    EXPECT_EQ(TControl::FromHandle(wnd), nullptr);

    RECT r{};
    ::GetWindowRect(wnd, &r);
    EXPECT_EQ(r.right - r.left, 644);
    EXPECT_EQ(r.bottom - r.top, 472);

    ASSERT_TRUE(morvane.Close());
    EXPECT_EQ(morvane.ExitCode(), 0u);
}

TEST(Startup, AnotherProcessReadsTheFileLinesOfASelectedRowAndAltFThenXEndsTheProgram)
{
    if (!MayWriteRealCache())
        GTEST_SKIP() << RealCacheOptIn;
    // One history record, so that the list has a row to select.
    const char record[] = "Visited: e2e@http://morvane-access.example/";
    ASSERT_TRUE(::CommitUrlCacheEntryA(record, nullptr, FILETIME{}, FILETIME{}, URLHISTORY_CACHE_ENTRY, nullptr, 0,
                                       nullptr, nullptr));
    TScratchCopy copy;
    TMorvaneProcess morvane(copy.Exe());
    HWND wnd = morvane.WaitForMainWindow();
    ::DeleteUrlCacheEntryA(record);
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(StaticTexts(wnd),
              (std::vector<std::string>{"HitRate:", "FileSize:", "Last accessed:", "Last modified:", "Expire:"}));
    const std::vector<HWND> list = Children(wnd, "SysListView32");
    ASSERT_EQ(list.size(), 1u);
    ::PostMessageA(list[0], WM_KEYDOWN, VK_DOWN, 1);
    std::vector<std::string> lines;
    for (DWORD start = ::GetTickCount(); lines.empty() || lines[0].rfind("Hitrate: ", 0) != 0; ::Sleep(50)) {
        ASSERT_LT(::GetTickCount() - start, 10000u) << (lines.empty() ? "" : lines[0]);
        lines = StaticTexts(wnd);
    }
    ASSERT_EQ(lines.size(), 5u);
    const char* starts[] = {"Hitrate: ", "FileSize: ", "Last access: ", "Last modified: ", "Expire: "};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(lines[i].rfind(starts[i], 0), 0u) << lines[i];

    // Alt+F drops the File menu down; then X chooses Exit.
    ::PostMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, 'f');
    for (DWORD start = ::GetTickCount(); !::IsWindowVisible(::FindWindowA("#32768", nullptr)); ::Sleep(50))
        ASSERT_LT(::GetTickCount() - start, 5000u) << "no menu";
    ::PostMessageA(wnd, WM_CHAR, 'x', 0);
    for (DWORD start = ::GetTickCount(); ::IsWindow(wnd); ::Sleep(50))
        ASSERT_LT(::GetTickCount() - start, 30000u) << "still open";
    EXPECT_TRUE(morvane.Close() && morvane.ExitCode() == 0); // the process ended with code 0
}
