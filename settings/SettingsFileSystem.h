// The file-system calls of the settings storage, behind one narrow seam so
// that tests can make any of them fail and the storage logic can run on a
// machine without Windows. Names are wide strings, as the system's wide
// functions take them, so that a folder named in any script can be found and
// opened; the files' bytes are the INI text as it is. Every call reports
// failure by its result and throws nothing of its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

class TSettingsFileSystem {
public:
    struct TAttributes {
        bool Exists = false;     // a file or a folder of that name exists
        bool Folder = false;
        bool ReadOnly = false;   // the read-only attribute is set
    };

    virtual ~TSettingsFileSystem() = default;

    // The full name of the running executable; empty when it cannot be had.
    virtual std::wstring ModuleFileName() = 0;
    // The current user's own folder for the data of programs on this
    // machine (%LOCALAPPDATA%); empty when it cannot be had.
    virtual std::wstring LocalAppDataFolder() = 0;
    virtual TAttributes Attributes(const std::wstring& Name) = 0;
    // The whole content of a file; nothing when it cannot be read.
    virtual std::optional<std::string> ReadWholeFile(const std::wstring& Name) = 0;
    enum class TWriteResult {
        Written,      // every byte is in the file, flushed to the disk
        NotCreated,   // the file could not be made: nothing was written
        Incomplete,   // the file was made but not written whole (a full disk); part of it may remain
    };
    // Creates the file (replacing one of that name), writes every byte and
    // flushes it to the disk.
    virtual TWriteResult WriteNewFile(const std::wstring& Name, std::string_view Bytes) = 0;
    // Opens an existing file for writing, truncates it, writes every byte and
    // flushes it to the disk. False for a read-only file and on any failure;
    // the file may then be cut short.
    virtual bool OverwriteFile(const std::wstring& Name, std::string_view Bytes) = 0;
    // Creates one folder whose parent exists; true also when it exists already.
    virtual bool CreateFolder(const std::wstring& Name) = 0;
    // Puts Source in the place of Target in one step, replacing Target.
    virtual bool MoveReplacing(const std::wstring& Source, const std::wstring& Target) = 0;
    virtual bool RemoveFile(const std::wstring& Name) = 0;
    // A number that no other running process has, to name temporary files.
    virtual unsigned long ProcessId() = 0;
};

// The platform's file system (Win32 on Windows; on other systems, used only
// for fuzzing, one without files: no executable name, nothing to read or write).
TSettingsFileSystem& DefaultSettingsFileSystem();
