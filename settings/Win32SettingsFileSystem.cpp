#include "settings/Win32SettingsFileSystem.h"

#include <windows.h>
#include <objbase.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>

#include "base/Handle.h"

namespace {

// Writes every byte to an open file, flushes it and closes it.
bool WriteWhole(TFileHandle& File, std::string_view Bytes)
{
    while (!Bytes.empty()) {
        DWORD part = static_cast<DWORD>(std::min<std::size_t>(Bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(File.Get(), Bytes.data(), part, &written, nullptr) || written == 0)
            return false;
        Bytes.remove_prefix(written);
    }
    if (!FlushFileBuffers(File.Get()))
        return false;
    // Closed here, so that a failure to close counts.
    return ::CloseHandle(File.Release()) != FALSE;
}

} // namespace

std::wstring TWin32SettingsFileSystem::ModuleFileName()
{
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return {};
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

std::wstring TWin32SettingsFileSystem::LocalAppDataFolder()
{
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path);
    // The text is the caller's to free, also when the call fails.
    std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owned(path, &CoTaskMemFree);
    return SUCCEEDED(result) && path ? std::wstring(path) : std::wstring();
}

TSettingsFileSystem::TAttributes TWin32SettingsFileSystem::Attributes(const std::wstring& Name)
{
    DWORD attributes = GetFileAttributesW(Name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {};
    return {true, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, (attributes & FILE_ATTRIBUTE_READONLY) != 0};
}

std::optional<std::string> TWin32SettingsFileSystem::ReadWholeFile(const std::wstring& Name)
{
    TFileHandle file(CreateFileW(Name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string content;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0 &&
        static_cast<unsigned long long>(size.QuadPart) < content.max_size())
        content.reserve(static_cast<std::size_t>(size.QuadPart));
    // Read to the end rather than trust the size: the file may change meanwhile.
    constexpr DWORD chunk = 1 << 16;
    for (;;) {
        std::size_t used = content.size();
        content.resize(used + chunk);
        DWORD read = 0;
        if (!::ReadFile(file.Get(), content.data() + used, chunk, &read, nullptr))
            return std::nullopt;
        content.resize(used + read);
        if (read == 0)
            return content;
    }
}

TSettingsFileSystem::TWriteResult TWin32SettingsFileSystem::WriteNewFile(const std::wstring& Name,
                                                                          std::string_view Bytes)
{
    TFileHandle file(CreateFileW(Name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return TWriteResult::NotCreated;
    return WriteWhole(file, Bytes) ? TWriteResult::Written : TWriteResult::Incomplete;
}

bool TWin32SettingsFileSystem::OverwriteFile(const std::wstring& Name, std::string_view Bytes)
{
    // A file with the read-only attribute keeps its bytes, whatever rights the process has.
    const DWORD attributes = GetFileAttributesW(Name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    TFileHandle file(CreateFileW(Name.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    return file && WriteWhole(file, Bytes);
}

bool TWin32SettingsFileSystem::CreateFolder(const std::wstring& Name)
{
    return CreateDirectoryW(Name.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool TWin32SettingsFileSystem::MoveReplacing(const std::wstring& Source, const std::wstring& Target)
{
    return MoveFileExW(Source.c_str(), Target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool TWin32SettingsFileSystem::RemoveFile(const std::wstring& Name)
{
    return DeleteFileW(Name.c_str()) != FALSE;
}

unsigned long TWin32SettingsFileSystem::ProcessId()
{
    return GetCurrentProcessId();
}

TSettingsFileSystem& DefaultSettingsFileSystem()
{
    static TWin32SettingsFileSystem fileSystem;
    return fileSystem;
}
