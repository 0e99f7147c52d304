// Fuzzes the settings file: arbitrary bytes as "morvane.ini" are loaded,
// saved and reloaded, read at the paths the form storage reads, written as a
// save writes them, and written to a file again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "settings/AppIniFileStorage.h"

namespace {

void Require(bool Condition, const char* What)
{
    if (!Condition) {
        std::fprintf(stderr, "invariant broken: %s\n", What);
        std::abort();
    }
}

// Files held in memory; the executable lives in C:\app.
class TMemoryFileSystem : public TSettingsFileSystem {
public:
    std::map<std::wstring, std::string> Files;

    std::wstring ModuleFileName() override { return L"C:\\app\\Morvane.exe"; }
    std::wstring LocalAppDataFolder() override { return L"C:\\Users\\me\\AppData\\Local"; }
    TAttributes Attributes(const std::wstring& Name) override
    {
        if (Files.count(Name))
            return {true, false, false};
        if (Name == L"C:\\app" || Name == L"C:\\")
            return {true, true, false};
        return {};
    }
    std::optional<std::string> ReadWholeFile(const std::wstring& Name) override
    {
        auto it = Files.find(Name);
        if (it == Files.end())
            return std::nullopt;
        return it->second;
    }
    TWriteResult WriteNewFile(const std::wstring& Name, std::string_view Bytes) override
    {
        Files[Name] = std::string(Bytes);
        return TWriteResult::Written;
    }
    bool OverwriteFile(const std::wstring& Name, std::string_view Bytes) override
    {
        if (!Files.count(Name))
            return false;
        Files[Name] = std::string(Bytes);
        return true;
    }
    bool CreateFolder(const std::wstring&) override { return true; }
    bool MoveReplacing(const std::wstring& Source, const std::wstring& Target) override
    {
        auto it = Files.find(Source);
        if (it == Files.end())
            return false;
        Files[Target] = std::move(it->second);
        Files.erase(it);
        return true;
    }
    bool RemoveFile(const std::wstring& Name) override { return Files.erase(Name) != 0; }
    unsigned long ProcessId() override { return 7; }
};

constexpr std::string_view AlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
const std::wstring IniName = L"C:\\app\\morvane.ini";

template <class F>
void Absorb(F f)
{
    try {
        f();
    } catch (const EConvertError&) {
    }
}

// The reads of a restore: the form's section, then the columns.
void ReadAsFormStorage(TJvAppIniFileStorage& Storage)
{
    Absorb([&] { Storage.ReadInteger("frmMorvane\\FormVersion", 0); });
    Absorb([&] { Storage.ReadInteger("frmMorvane\\\\ShowCmd", 0); });
    Absorb([&] { Storage.ReadInteger("frmMorvane\\PixelsPerInch", 96); });
    for (std::string_view key : {"MinMaxPos(1024x768)", "MinMaxPos", "NormPos(1024x768)", "NormPos"}) {
        std::string path = JoinStoragePaths({"frmMorvane\\", key});
        if (Storage.ValueExists(path))
            Storage.ReadString(path, "");
    }
    const std::string columns = "frmMorvane\\CacheListView_Columns";
    if (!Storage.SectionExists(columns) || !Storage.ValueExists(columns + "\\Count"))
        return;
    int count = 0;
    Absorb([&] { count = Storage.ReadInteger(columns + "\\Count", 0); });
    // The form storage bounds the count; the items past it are read the same way.
    for (int i = 0; i < count && i < 64; ++i) {
        std::string item = JoinStoragePaths({columns, "Item" + std::to_string(i)});
        Absorb([&] {
            Storage.ReadEnumeration(item + "\\Alignment", AlignmentNames, 0);
            Storage.ReadBoolean(item + "\\AutoSize", false);
            Storage.ReadString(item + "\\Caption", "");
            Storage.ReadInteger(item + "\\ImageIndex", -1);
            Storage.ReadInteger(item + "\\MaxWidth", 0);
            Storage.ReadInteger(item + "\\MinWidth", 0);
            Storage.ReadInteger(item + "\\Tag", 0);
            Storage.ReadInteger(item + "\\Width", 50);
        });
    }
}

// The writes of a save, with values taken from the input so that they vary.
void WriteAsFormStorage(TJvAppIniFileStorage& Storage, int Seed)
{
    Storage.WriteInteger("frmMorvane\\FormVersion", 0);
    Storage.WriteInteger("frmMorvane\\ShowCmd", Seed);
    Storage.WriteString("frmMorvane\\NormPos(1024x768)", "190,148,834,620");
    const std::string columns = "frmMorvane\\CacheListView_Columns";
    Storage.DeleteSubTree(columns);
    Storage.WriteInteger(columns + "\\Count", 2);
    for (int i = 0; i < 2; ++i) {
        std::string item = columns + "\\Item" + std::to_string(i);
        Storage.WriteEnumeration(item + "\\Alignment", AlignmentNames, (Seed + i) & 3);
        Storage.WriteBoolean(item + "\\AutoSize", (Seed >> i) & 1);
        Storage.WriteString(item + "\\Caption", "Name");
        Storage.WriteInteger(item + "\\Width", Seed - i);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);

    // Saving is stable after one load: load(save(load(x))) saves the same bytes.
    TIniDocument first;
    first.Load(bytes);
    const std::string saved = first.Save();
    TIniDocument second;
    second.Load(saved);
    Require(second.Save() == saved, "save of the reloaded document differs");
    Require(second.SectionCount() == first.SectionCount(), "section count changed by a reload");

    int seed = Size ? static_cast<int>(static_cast<std::int8_t>(Data[0])) : 0;
    TMemoryFileSystem fileSystem;
    fileSystem.Files[IniName] = std::string(bytes);
    {
        TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1", &fileSystem);
        storage.ReadSettingsFile();
        Require(storage.Document().Save() == saved, "storage loaded other content");
        ReadAsFormStorage(storage);
        WriteAsFormStorage(storage, seed);
        // What was written reads back as written.
        Require(storage.ReadInteger("frmMorvane\\ShowCmd", -9) == seed, "integer not read back");
        Require(storage.ReadInteger("frmMorvane\\CacheListView_Columns\\Count", -9) == 2, "count not read back");
        // Ordinal 3 is outside the identifiers: written as "3", it does not read back.
        const int alignment = (seed + 1) & 3;
        bool refused = false;
        int read = -9;
        try {
            read = storage.ReadEnumeration("frmMorvane\\CacheListView_Columns\\Item1\\Alignment", AlignmentNames, -9);
        } catch (const EConvertError&) {
            refused = true;
        }
        Require(alignment == 3 ? refused : read == alignment, "enumeration not read back");
        Require(storage.ReadBoolean("frmMorvane\\CacheListView_Columns\\Item0\\AutoSize", false) == (seed & 1),
                "boolean not read back");
    }
    // The destructor wrote the file, whole, and nothing else is left behind.
    Require(fileSystem.Files.size() == 1, "temporary file left behind");
    auto it = fileSystem.Files.find(IniName);
    Require(it != fileSystem.Files.end(), "settings file not written");
    TIniDocument written;
    written.Load(it->second);
    Require(written.Save() == it->second, "written file is not stable");
    Require(written.ReadString("frmMorvane\\CacheListView_Columns\\Item0", "Caption", "") == "Name",
            "written file lost a value");
    return 0;
}
