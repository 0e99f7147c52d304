// The real program under Wine: it starts, shows its main window and ends
// cleanly when the window is closed.
#include <gtest/gtest.h>

#include "Process.h"
#include "ui/Control.h"

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
