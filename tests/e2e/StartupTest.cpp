// The real program under Wine: it starts, shows its main window and ends
// cleanly when the window is closed (also by the keyboard alone).
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <regex>

#include "Process.h"
#include "RealCacheWrites.h"
#include "ui/Control.h"

namespace {

// Adds the text of a static control (WM_GETTEXT, as screen readers read it) and a '|'.
BOOL CALLBACK AddStaticText(HWND Wnd, LPARAM Texts)
{
    char name[8] = {}, text[256] = {};
    if (::GetClassNameA(Wnd, name, sizeof name) && lstrcmpiA(name, "Static") == 0) {
        ::SendMessageA(Wnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        *reinterpret_cast<std::string*>(Texts) += text + std::string("|");
    }
    return TRUE;
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
    ASSERT_NE(wnd, nullptr);
    // The focus is in the list: Down selects a row, which fills the five lines.
    GUITHREADINFO gui{sizeof gui};
    for (DWORD start = ::GetTickCount(); !gui.hwndFocus; ::Sleep(50)) {
        ASSERT_LT(::GetTickCount() - start, 10000u) << "no focus";
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(wnd, nullptr), &gui);
    }
    char name[32] = {};
    ::GetClassNameA(gui.hwndFocus, name, sizeof name);
    ASSERT_STREQ(name, "SysListView32");
    ::PostMessageA(gui.hwndFocus, WM_KEYDOWN, VK_DOWN, 1);
    const std::regex lines("Hitrate: \\d+\\|FileSize: \\d+\\|Last access: [^|]*\\|Last modified: [^|]*\\|"
                           "Expire: [^|]*\\|");
    std::string texts;
    for (DWORD start = ::GetTickCount(); !std::regex_match(texts, lines); ::Sleep(50)) {
        ASSERT_LT(::GetTickCount() - start, 10000u) << texts;
        texts.clear();
        ::EnumChildWindows(wnd, AddStaticText, reinterpret_cast<LPARAM>(&texts));
    }

    // Alt+F drops the File menu down; then X chooses Exit.
    ::PostMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, 'f');
    for (DWORD start = ::GetTickCount(); !::IsWindowVisible(::FindWindowA("#32768", nullptr)); ::Sleep(50))
        ASSERT_LT(::GetTickCount() - start, 5000u) << "no menu";
    ::PostMessageA(wnd, WM_CHAR, 'x', 0);
    for (DWORD start = ::GetTickCount(); ::IsWindow(wnd); ::Sleep(50))
        ASSERT_LT(::GetTickCount() - start, 30000u) << "still open";
    EXPECT_TRUE(morvane.Close() && morvane.ExitCode() == 0); // the process ended with code 0
    ::DeleteUrlCacheEntryA(record);
}
