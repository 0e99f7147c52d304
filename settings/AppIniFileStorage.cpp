#include "settings/AppIniFileStorage.h"

#include <new>
#include <vector>

namespace {

// The folder part of a file name, ending in its delimiter ("C:\dir\"); empty when none.
std::wstring ExtractFilePath(std::wstring_view Name)
{
    const std::size_t last = Name.find_last_of(L"\\/:");
    return std::wstring(Name.substr(0, last == std::wstring_view::npos ? 0 : last + 1));
}

// The folder of a file name without a trailing separator, except for a root ("C:\").
std::wstring ExtractFileDir(std::wstring_view Name)
{
    std::wstring path = ExtractFilePath(Name);
    auto delimiter = [](wchar_t c) { return c == L'\\' || c == L'/' || c == L':'; };
    if (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/') && !delimiter(path[path.size() - 2]))
        path.pop_back();
    return path;
}

// Creates Folder with every missing parent.
void ForceFolders(TSettingsFileSystem& FileSystem, const std::wstring& Folder)
{
    std::vector<std::wstring> missing;
    std::wstring current = Folder;
    while (!current.empty() && !FileSystem.Attributes(current).Exists) {
        missing.push_back(current);
        std::wstring parent = ExtractFileDir(current);
        if (parent == current)
            break;
        current = std::move(parent);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        if (!FileSystem.CreateFolder(*it))
            return;
}

TSettingsFileSystem* ReplacedDefaultFileSystem = nullptr;

} // namespace

void TJvAppIniFileStorage::SetDefaultFileSystem(TSettingsFileSystem* FileSystem)
{
    ReplacedDefaultFileSystem = FileSystem;
}

TJvAppIniFileStorage::TJvAppIniFileStorage(TComponent* Owner, std::string Name, TSettingsFileSystem* FileSystem)
    : TComponent(Owner, std::move(Name)),
      FFileSystem(FileSystem                  ? FileSystem
                  : ReplacedDefaultFileSystem ? ReplacedDefaultFileSystem
                                              : &DefaultSettingsFileSystem())
{
}

TJvAppIniFileStorage::~TJvAppIniFileStorage()
{
    try {
        WriteSettingsFile();
    } catch (...) {
        // Shutting down: the settings of this run are lost, nothing else is affected.
    }
}

std::wstring TJvAppIniFileStorage::FullFileName() const
{
    std::wstring folder = ExtractFilePath(FFileSystem->ModuleFileName());
    if (folder.empty())
        return {};
    if (folder.back() != L'\\')
        folder.push_back(L'\\');
    return folder.append(FileName);
}

void TJvAppIniFileStorage::ReadSettingsFile()
{
    if (FSettingsRead)
        return;
    FSettingsRead = true;
    std::wstring name = FullFileName();
    if (name.empty())
        return;
    TSettingsFileSystem::TAttributes attributes = FFileSystem->Attributes(name);
    FFileReadOnly = attributes.Exists && !attributes.Folder && attributes.ReadOnly;
    if (!attributes.Exists || attributes.Folder)
        return;
    try {
        std::optional<std::string> bytes = FFileSystem->ReadWholeFile(name);
        if (!bytes) {
            FFileUnreadable = true;
            return;
        }
        FDocument.Load(*bytes);
        FReadFrom = std::move(name);
    } catch (const std::bad_alloc&) {
        FDocument.Clear();
        FFileUnreadable = true;
    }
}

bool TJvAppIniFileStorage::WriteSettingsFile()
{
    const std::wstring name = FullFileName();
    if (name.empty() || ReadOnly() || FFileUnreadable)
        return false;
    // The file read at start lost its folder meanwhile: the folder is made again.
    if (!FReadFrom.empty())
        ForceFolders(*FFileSystem, ExtractFileDir(FReadFrom));
    const std::string bytes = FDocument.Save();
    const std::wstring temporary = name + L"." + std::to_wstring(FFileSystem->ProcessId()) + L".tmp";
    switch (FFileSystem->WriteNewFile(temporary, bytes)) {
    case TSettingsFileSystem::TWriteResult::Written:
        if (FFileSystem->MoveReplacing(temporary, name))
            return true;
        break;
    case TSettingsFileSystem::TWriteResult::NotCreated:
        // No file can be made beside it (a folder the user may write only this
        // file in): the file itself is written in place rather than not at all.
        return FFileSystem->OverwriteFile(name, bytes);
    case TSettingsFileSystem::TWriteResult::Incomplete:
        break;   // a full disk would cut the file itself short as well
    }
    FFileSystem->RemoveFile(temporary);
    return false;
}

std::optional<std::string> TJvAppIniFileStorage::ReadRaw(std::string_view Path)
{
    std::string section, key;
    SplitStoragePath(NormalizeStoragePath(Path), section, key);
    std::optional<std::string_view> value = FDocument.FindValue(section, key);
    if (!value)
        return std::nullopt;
    return std::string(*value);
}

void TJvAppIniFileStorage::WriteRaw(std::string_view Path, std::string_view Value)
{
    if (ReadOnly())
        return;
    std::string section, key;
    SplitStoragePath(NormalizeStoragePath(Path), section, key);
    FDocument.WriteString(section, key, Value);
}

template <class T, class Decode>
T TJvAppIniFileStorage::ReadValue(std::string_view Path, T Default, Decode decode)
{
    std::optional<std::string> text = ReadRaw(Path);
    return text ? decode(std::string_view(*text)) : Default;
}

int TJvAppIniFileStorage::ReadInteger(std::string_view Path, int Default)
{
    return ReadValue(Path, Default, [](std::string_view text) { return IntegerFromText(text); });
}

void TJvAppIniFileStorage::WriteInteger(std::string_view Path, int Value)
{
    WriteRaw(Path, IntToStr(Value));
}

bool TJvAppIniFileStorage::ReadBoolean(std::string_view Path, bool Default)
{
    return ReadValue(Path, Default, [this](std::string_view text) { return BooleanFromText(text, FStorageOptions); });
}

void TJvAppIniFileStorage::WriteBoolean(std::string_view Path, bool Value)
{
    WriteRaw(Path, BooleanToText(Value, FStorageOptions));
}

int TJvAppIniFileStorage::ReadEnumeration(std::string_view Path, TEnumIdentifiers Identifiers, int Default)
{
    return ReadValue(Path, Default, [&](std::string_view text) { return EnumerationFromText(text, Identifiers); });
}

void TJvAppIniFileStorage::WriteEnumeration(std::string_view Path, TEnumIdentifiers Identifiers, int Value)
{
    WriteRaw(Path, EnumerationToText(Value, Identifiers));
}

std::string TJvAppIniFileStorage::ReadString(std::string_view Path, std::string_view Default)
{
    std::optional<std::string> text = ReadRaw(Path);
    return text ? std::move(*text) : std::string(Default);
}

void TJvAppIniFileStorage::WriteString(std::string_view Path, std::string_view Value)
{
    WriteRaw(Path, Value);
}

bool TJvAppIniFileStorage::ValueExists(std::string_view Path)
{
    std::string section, key;
    SplitStoragePath(NormalizeStoragePath(Path), section, key);
    return FDocument.ValueExists(section, key);
}

bool TJvAppIniFileStorage::SectionExists(std::string_view Path)
{
    return FDocument.SectionExists(NormalizeStoragePath(Path));
}

void TJvAppIniFileStorage::DeleteSubTree(std::string_view Path)
{
    if (ReadOnly())
        return;
    FDocument.EraseSectionsWithPrefix(NormalizeStoragePath(Path));
}
