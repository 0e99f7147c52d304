// TSettingsFileSystem over the Win32 file functions (ANSI names).
#pragma once

#include "settings/SettingsFileSystem.h"

class TWin32SettingsFileSystem : public TSettingsFileSystem {
public:
    std::string ModuleFileName() override;
    // The lead bytes of the ANSI code page, in which the names are written.
    bool IsLeadByte(unsigned char Byte) override;
    TAttributes Attributes(const std::string& Name) override;
    std::optional<std::string> ReadWholeFile(const std::string& Name) override;
    TWriteResult WriteNewFile(const std::string& Name, std::string_view Bytes) override;
    bool OverwriteFile(const std::string& Name, std::string_view Bytes) override;
    bool CreateFolder(const std::string& Name) override;
    bool MoveReplacing(const std::string& Source, const std::string& Target) override;
    bool RemoveFile(const std::string& Name) override;
    unsigned long ProcessId() override;
};
