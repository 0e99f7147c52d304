#include "Process.h"

#include <algorithm>
#include <fstream>
#include <sstream>

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

namespace {

std::vector<std::string> FolderNames(const std::string& Folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((Folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TScratchCopy::TScratchCopy()
{
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(sizeof temp, temp);
    static int counter = 0;
    FFolder = std::string(temp) + "morvane-e2e-" + std::to_string(::GetCurrentProcessId()) + "-" +
              std::to_string(++counter) + "\\";
    FCopied = ::CreateDirectoryA(FFolder.c_str(), nullptr) &&
              ::CopyFileA(MorvaneExePath().c_str(), Exe().c_str(), TRUE);
}

TScratchCopy::~TScratchCopy()
{
    for (const std::string& name : FolderNames(FFolder)) {
        std::string path = FFolder + name;
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(path.c_str());
    }
    ::RemoveDirectoryA(FFolder.c_str());
}

std::vector<std::string> TScratchCopy::Files() const
{
    return FolderNames(FFolder);
}

std::string ReadFileBytes(const std::string& Name)
{
    std::ifstream in(Name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool WriteFileBytes(const std::string& Name, const std::string& Bytes)
{
    std::ofstream out(Name, std::ios::binary | std::ios::trunc);
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    return static_cast<bool>(out);
}

bool FileExists(const std::string& Name)
{
    return ::GetFileAttributesA(Name.c_str()) != INVALID_FILE_ATTRIBUTES;
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

namespace {
struct FindBoxState {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindBox(HWND wnd, LPARAM param)
{
    auto* state = reinterpret_cast<FindBoxState*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    char cls[64] = {};
    char caption[64] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    ::GetWindowTextA(wnd, caption, sizeof caption);
    if (pid == state->pid && ::IsWindowVisible(wnd) && lstrcmpA(cls, "#32770") == 0 &&
        lstrcmpA(caption, "Morvane") == 0) {
        state->found = wnd;
        return FALSE;
    }
    return TRUE;
}

std::string WindowText(HWND wnd)
{
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(wnd)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(wnd, text.data(), static_cast<int>(text.size()))));
    return text;
}
} // namespace

HWND TMorvaneProcess::WaitForMainWindow(std::vector<std::string>& Boxes, DWORD Milliseconds)
{
    DWORD start = ::GetTickCount();
    while (FProcess && ::GetTickCount() - start < Milliseconds) {
        FindBoxState box{FId, nullptr};
        ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
        if (box.found) {
            // The message box's text is its static control 0xFFFF.
            HWND text = ::GetDlgItem(box.found, 0xFFFF);
            Boxes.push_back(text ? WindowText(text) : std::string());
            ::PostMessageA(box.found, WM_COMMAND, IDOK, 0);
            while (::IsWindow(box.found) && ::GetTickCount() - start < Milliseconds)
                ::Sleep(50);
            continue;
        }
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
