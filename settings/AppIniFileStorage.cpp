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

// Folder, then a backslash unless it ends in one, then Name; empty when Folder is.
std::wstring InFolder(std::wstring Folder, std::wstring_view Name)
{
    if (Folder.empty())
        return {};
    if (Folder.back() != L'\\')
        Folder.push_back(L'\\');
    return Folder.append(Name);
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
    return InFolder(ExtractFilePath(FFileSystem->ModuleFileName()), FileName);
}

std::wstring TJvAppIniFileStorage::PerUserFileName() const
{
    const std::wstring folder = FFileSystem->LocalAppDataFolder();
    return folder.empty() ? std::wstring() : InFolder(InFolder(folder, L"Morvane"), FileName);
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
    if (!attributes.Exists || attributes.Folder) {
        // None beside the executable: the current user's own, when there is one.
        name = PerUserFileName();
        attributes = name.empty() ? TSettingsFileSystem::TAttributes{} : FFileSystem->Attributes(name);
        if (!attributes.Exists || attributes.Folder)
            return;
    }
    FFileReadOnly = attributes.ReadOnly;
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
    const std::string bytes = FDocument.Save();
    // The file read at start lost its folder meanwhile: the folder is made again.
    if (FReadFrom == name)
        ForceFolders(*FFileSystem, ExtractFileDir(name));
    TPlaceResult result = WriteFileAt(name, bytes);
    if (result == TPlaceResult::NotCreated) {
        // Nothing can be made beside the executable, and no file is there:
        // the current user's own file, in a folder made when first needed.
        const std::wstring perUser = PerUserFileName();
        if (!perUser.empty()) {
            ForceFolders(*FFileSystem, ExtractFileDir(perUser));
            result = WriteFileAt(perUser, bytes);
        }
    }
    return result == TPlaceResult::Written;
}

TJvAppIniFileStorage::TPlaceResult TJvAppIniFileStorage::WriteFileAt(const std::wstring& Name,
                                                                     const std::string& Bytes)
{
    const std::wstring temporary = Name + L"." + std::to_wstring(FFileSystem->ProcessId()) + L".tmp";
    switch (FFileSystem->WriteNewFile(temporary, Bytes)) {
    case TSettingsFileSystem::TWriteResult::Written:
        if (FFileSystem->MoveReplacing(temporary, Name))
            return TPlaceResult::Written;
        break;
    case TSettingsFileSystem::TWriteResult::NotCreated:
        // No file can be made beside it (a folder the user may write only this
        // file in): the file itself is written in place rather than not at all.
        if (!FFileSystem->Attributes(Name).Exists)
            return TPlaceResult::NotCreated;
        return FFileSystem->OverwriteFile(Name, Bytes) ? TPlaceResult::Written : TPlaceResult::Failed;
    case TSettingsFileSystem::TWriteResult::Incomplete:
        break;   // a full disk would cut the file itself short as well
    }
    FFileSystem->RemoveFile(temporary);
    return TPlaceResult::Failed;
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
