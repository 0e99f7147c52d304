// Starts the real Morvane.exe of this build and finds its main window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/Handle.h"

// The folder of the running test program, with a trailing backslash.
std::string ModuleFolder();
// The path of the built program, beside this test program's folder.
std::string MorvaneExePath();

// A private folder under the temporary folder holding a copy of the built
// program, so that its settings file never lands in the build folder.
// Removed with everything in it.
class TScratchCopy {
public:
    TScratchCopy();
    ~TScratchCopy();
    TScratchCopy(const TScratchCopy&) = delete;
    TScratchCopy& operator=(const TScratchCopy&) = delete;

    bool Copied() const { return FCopied; }
    // With a trailing backslash.
    const std::string& Folder() const { return FFolder; }
    std::string Exe() const { return FFolder + "Morvane.exe"; }
    std::string Ini() const { return FFolder + "morvane.ini"; }
    // The names in the folder, sorted.
    std::vector<std::string> Files() const;

private:
    std::string FFolder;
    bool FCopied = false;
};

// Whole-file bytes; nothing read gives an empty text.
std::string ReadFileBytes(const std::string& Name);
bool WriteFileBytes(const std::string& Name, const std::string& Bytes);
bool FileExists(const std::string& Name);

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
    // The same, answering OK to every message box titled "Morvane" that the
    // process shows meanwhile; their texts are added to Boxes.
    HWND WaitForMainWindow(std::vector<std::string>& Boxes, DWORD Milliseconds = 30000);
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
