// Helpers of the about window's tests: a recording stand-in for the shell, a
// main window stand-in for the about window to centre on, and message pumping.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/Form.h"
#include "base/Shell.h"

// One ShellExecuteA call as the shell would have received it.
struct TShellCall {
    HWND Owner;
    std::string Verb;
    std::string File;
    bool NullParameters;
    bool NullDirectory;
    INT Show;
};

// While one exists, ShellExecuteA calls are recorded instead of opening anything.
class TShellRecorder {
public:
    TShellRecorder() : FBinding(ShellApi::TBinding{&Record}) { Calls().clear(); }
    static std::vector<TShellCall>& Calls()
    {
        static std::vector<TShellCall> calls;
        return calls;
    }

private:
    static HINSTANCE WINAPI Record(HWND Owner, LPCSTR Verb, LPCSTR File, LPCSTR Parameters, LPCSTR Directory,
                                   INT Show)
    {
        Calls().push_back({Owner, Verb ? Verb : "", File ? File : "", Parameters == nullptr, Directory == nullptr,
                           Show});
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
    }
    ShellApi::TScopedBinding FBinding;
};

class THostForm : public TForm {
public:
    explicit THostForm(const TFormKey& Key) : TForm(Key, nullptr, "HostForm", "TMorvaneAboutTestHost")
    {
        SetBounds(150, 100, 600, 450);
        SetColor(::GetSysColor(COLOR_BTNFACE));
    }
};

// Handles every waiting message and lets pending paints happen.
inline void Pump()
{
    for (int i = 0; i < 3; ++i) {
        while (Application().ProcessMessage()) {}
        ::Sleep(1);
    }
}

inline LPARAM Point(int x, int y)
{
    return MAKELPARAM(x, y);
}

// One shown stand-in main window per test suite: taking a shown top-level
// window down costs Wine seconds on a display without a window manager.
class AboutTestBase : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Application().Initialize();
        Host = &Application().CreateForm<THostForm>();
        Host->Show();
        Pump();
    }
    static void TearDownTestSuite()
    {
        Application().DestroyForms();
        Host = nullptr;
    }
    void TearDown() override { Pump(); }

    static inline THostForm* Host = nullptr;
    TShellRecorder Shell;
};
