// The real program under Wine: it starts, shows its main window and ends
// cleanly when the window is closed.
#include <gtest/gtest.h>

#include "Process.h"

TEST(Startup, MainWindowAppearsAndACloseRequestEndsTheProcessWithCodeZero)
{
    TMorvaneProcess morvane;
    ASSERT_TRUE(morvane.Started()) << MorvaneExePath();
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
