#include "Process.h"

std::string ModuleFolder()
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of("\\/") + 1);
}

std::string MorvaneExePath()
{
    return ModuleFolder() + "..\\app\\Morvane.exe";
}

TMorvaneProcess::TMorvaneProcess(const std::string& Exe)
{
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string command = "\"" + Exe + "\"";
    std::string folder = Exe.substr(0, Exe.find_last_of("\\/") + 1);
    if (::CreateProcessA(Exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         folder.c_str(), &si, &pi)) {
        FProcess.Reset(pi.hProcess);
        ::CloseHandle(pi.hThread);
        FId = pi.dwProcessId;
    }
}

TMorvaneProcess::~TMorvaneProcess()
{
    if (FProcess && ::WaitForSingleObject(FProcess.Get(), 0) == WAIT_TIMEOUT) {
        if (!Close(10000))
            ::TerminateProcess(FProcess.Get(), 99);
    }
}

namespace {
struct FindState {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMain(HWND wnd, LPARAM param)
{
    auto* state = reinterpret_cast<FindState*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    char cls[64] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    if (pid == state->pid && ::IsWindowVisible(wnd) && lstrcmpA(cls, "TfrmMorvane") == 0) {
        state->found = wnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND TMorvaneProcess::WaitForMainWindow(DWORD Milliseconds)
{
    DWORD start = ::GetTickCount();
    while (FProcess && ::GetTickCount() - start < Milliseconds) {
        FindState state{FId, nullptr};
        ::EnumWindows(FindMain, reinterpret_cast<LPARAM>(&state));
        if (state.found)
            return FWindow = state.found;
        if (::WaitForSingleObject(FProcess.Get(), 100) != WAIT_TIMEOUT)
            return nullptr;
    }
    return nullptr;
}

bool TMorvaneProcess::Close(DWORD Milliseconds)
{
    if (!FProcess)
        return false;
    if (!FWindow)
        WaitForMainWindow(Milliseconds);
    if (FWindow)
        ::PostMessageA(FWindow, WM_CLOSE, 0, 0);
    return ::WaitForSingleObject(FProcess.Get(), Milliseconds) == WAIT_OBJECT_0;
}

DWORD TMorvaneProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (FProcess)
        ::GetExitCodeProcess(FProcess.Get(), &code);
    return code;
}
