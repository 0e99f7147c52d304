// The real program under Wine: it starts, shows its main window and ends
// cleanly when the window is closed.
#include <gtest/gtest.h>

#include "Process.h"

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

    RECT r{};
    ::GetWindowRect(wnd, &r);
    EXPECT_EQ(r.right - r.left, 644);
    EXPECT_EQ(r.bottom - r.top, 472);

    ASSERT_TRUE(morvane.Close());
    EXPECT_EQ(morvane.ExitCode(), 0u);
}
