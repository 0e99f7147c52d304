// Starts the real Morvane.exe of this build and finds its main window.
#pragma once

#include <windows.h>

#include <string>

#include "ui/Handle.h"

// The folder of the running test program, with a trailing backslash.
std::string ModuleFolder();
// The path of the built program, beside this test program's folder.
std::string MorvaneExePath();

class TMorvaneProcess {
public:
    // Starts the program in Folder (its own folder when empty).
    explicit TMorvaneProcess(const std::string& Exe = MorvaneExePath());
    ~TMorvaneProcess();
    TMorvaneProcess(const TMorvaneProcess&) = delete;
    TMorvaneProcess& operator=(const TMorvaneProcess&) = delete;

    bool Started() const { return static_cast<bool>(FProcess); }
    // The visible main window, waited for up to Milliseconds; null when none came.
    HWND WaitForMainWindow(DWORD Milliseconds = 30000);
    // Asks the window to close as its close box would; true once the process ended.
    bool Close(DWORD Milliseconds = 30000);
    // The exit code, once the process has ended.
    DWORD ExitCode() const;
    DWORD Id() const { return FId; }

private:
    TKernelHandle FProcess;
    DWORD FId = 0;
    HWND FWindow = nullptr;
};
