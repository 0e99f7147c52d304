// TSettingsFileSystem over the Win32 file functions (wide names).
#pragma once

#include "settings/SettingsFileSystem.h"

class TWin32SettingsFileSystem : public TSettingsFileSystem {
public:
    std::wstring ModuleFileName() override;
    std::wstring LocalAppDataFolder() override;
    TAttributes Attributes(const std::wstring& Name) override;
    std::optional<std::string> ReadWholeFile(const std::wstring& Name) override;
    TWriteResult WriteNewFile(const std::wstring& Name, std::string_view Bytes) override;
    bool OverwriteFile(const std::wstring& Name, std::string_view Bytes) override;
    bool CreateFolder(const std::wstring& Name) override;
    bool MoveReplacing(const std::wstring& Source, const std::wstring& Target) override;
    bool RemoveFile(const std::wstring& Name) override;
    unsigned long ProcessId() override;
};
