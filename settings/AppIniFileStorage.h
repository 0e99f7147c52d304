// TJvAppIniFileStorage: typed values at storage paths, held in an in-memory
// INI document that is read from the settings file "morvane.ini" once and
// written back when the storage is destroyed.
//
// The file lies in the running executable's folder (flExeFile), where a
// program carried on a stick or unpacked into a folder of the user's own
// keeps it. Where no file is there and none can be made (C:\Program Files for
// a standard user, a read-only share), the file is the current user's own,
// %LOCALAPPDATA%\Morvane\morvane.ini: read at start when there is none
// beside the executable, written when none can be written there.
//
// A path "A\B\Key" is key "Key" of section "A\B" (see StoragePath.h). Every
// write is skipped while the storage is read-only: ReadOnly set, or the file
// carried the read-only attribute when ReadSettingsFile ran.
#pragma once

#include <string>
#include <string_view>

#include "settings/IniDocument.h"
#include "settings/SettingsFileSystem.h"
#include "settings/StoragePath.h"
#include "settings/ValueEncoding.h"
#include "base/Component.h"

class TJvAppIniFileStorage : public TComponent {
public:
    // FileSystem: the seam for every file call; null means the platform's own.
    // It must outlive the storage.
    explicit TJvAppIniFileStorage(TComponent* Owner = nullptr, std::string Name = {},
                                  TSettingsFileSystem* FileSystem = nullptr);
    // The file system of storages made without one from now on; null puts
    // the platform's back. Lets tests run a window that holds a storage.
    static void SetDefaultFileSystem(TSettingsFileSystem* FileSystem);
    // Writes the settings file (WriteSettingsFile); failures are silent.
    ~TJvAppIniFileStorage() override;

    static constexpr std::wstring_view FileName = L"morvane.ini";
    // True when set, or when the file was read-only at ReadSettingsFile.
    bool ReadOnly() const { return FReadOnly || FFileReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }

    TIniDocument& Document() { return FDocument; }
    const TIniDocument& Document() const { return FDocument; }

    // The executable's folder and FileName; empty when the executable's name cannot be had.
    std::wstring FullFileName() const;
    // The current user's own file: "Morvane\" and FileName in the local
    // application data folder; empty when that folder cannot be had.
    std::wstring PerUserFileName() const;

    // Once: takes the file beside the executable, or when there is none
    // there the current user's own, notes whether it is read-only, and loads
    // it into the document. Later calls do nothing.
    void ReadSettingsFile();
    // Writes the document, unless the executable's name cannot be had or the
    // storage is read-only or the file could not be read at start. It goes
    // beside the executable; only when no file can be made there and none
    // is there, into the current user's own file, whose folder is made when
    // missing. A file is replaced in one step by a flushed temporary file
    // written beside it, so it is never left half-written; when that fails the
    // old file stays as it was and the temporary file is removed. Where no
    // temporary file can be made at all, an existing file is written in place.
    // True when a file was written.
    bool WriteSettingsFile();

    // Typed values at a path. A missing value reads as Default; a text that
    // does not convert throws EConvertError.
    int ReadInteger(std::string_view Path, int Default = 0);
    void WriteInteger(std::string_view Path, int Value);
    bool ReadBoolean(std::string_view Path, bool Default = false);
    void WriteBoolean(std::string_view Path, bool Value);
    // Identifiers: the enumeration's identifiers in ordinal order.
    int ReadEnumeration(std::string_view Path, TEnumIdentifiers Identifiers, int Default);
    void WriteEnumeration(std::string_view Path, TEnumIdentifiers Identifiers, int Value);
    std::string ReadString(std::string_view Path, std::string_view Default = {});
    void WriteString(std::string_view Path, std::string_view Value);

    // The path's section holds a line with the path's key.
    bool ValueExists(std::string_view Path);
    // The whole path names a section that holds at least one line.
    bool SectionExists(std::string_view Path);
    // Erases every section whose name begins with the normalized path,
    // compared with letter case. A write: skipped while read-only.
    void DeleteSubTree(std::string_view Path);

private:
    // The raw text at a path; nothing when the value is missing.
    std::optional<std::string> ReadRaw(std::string_view Path);
    void WriteRaw(std::string_view Path, std::string_view Value);
    template <class T, class Decode>
    T ReadValue(std::string_view Path, T Default, Decode decode);
    enum class TPlaceResult { Written, NotCreated, Failed };
    // Writes Bytes as the file Name; NotCreated when nothing can be made
    // there and no such file exists, which leaves everything as it was.
    TPlaceResult WriteFileAt(const std::wstring& Name, const std::string& Bytes);

    TSettingsFileSystem* FFileSystem;
    TIniDocument FDocument;
    bool FReadOnly = false;
    TJvAppIniStorageOptions FStorageOptions;

    bool FSettingsRead = false;
    std::wstring FReadFrom;         // the file loaded at ReadSettingsFile; empty when none was
    bool FFileReadOnly = false;     // the file's read-only attribute at ReadSettingsFile
    bool FFileUnreadable = false;   // the file existed but could not be read: never overwrite it
};
