// The file-system calls of the settings storage, behind one narrow seam so
// that tests can make any of them fail and the storage logic can run on a
// machine without Windows. Every call reports failure by its result and
// throws nothing of its own.
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
    virtual std::string ModuleFileName() = 0;
    virtual TAttributes Attributes(const std::string& Name) = 0;
    // The whole content of a file; nothing when it cannot be read.
    virtual std::optional<std::string> ReadWholeFile(const std::string& Name) = 0;
    // Creates the file (replacing one of that name), writes every byte and
    // flushes it to the disk. False on any failure; a partial file may remain.
    virtual bool WriteNewFile(const std::string& Name, std::string_view Bytes) = 0;
    // Creates one folder whose parent exists; true also when it exists already.
    virtual bool CreateFolder(const std::string& Name) = 0;
    // Puts Source in the place of Target in one step, replacing Target.
    virtual bool MoveReplacing(const std::string& Source, const std::string& Target) = 0;
    virtual bool RemoveFile(const std::string& Name) = 0;
    // A number that no other running process has, to name temporary files.
    virtual unsigned long ProcessId() = 0;
};

// The platform's file system (Win32 on Windows; on other systems, used only
// for fuzzing, one without files: no executable name, nothing to read or write).
TSettingsFileSystem& DefaultSettingsFileSystem();
