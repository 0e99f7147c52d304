// The storage against real files (Wine's file system), in a private temporary folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "settings/AppIniFileStorage.h"
#include "settings/Win32SettingsFileSystem.h"
#include "SettingsTestSupport.h"

namespace {

constexpr std::string_view AlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};

std::string ModuleFolder()
{
    char name[4096] = {};
    DWORD n = GetModuleFileNameA(nullptr, name, sizeof name);
    std::string path(name, n);
    return path.substr(0, path.find_last_of('\\'));
}

// The test's own folders have plain ASCII names.
std::wstring Wide(const std::string& Ascii) { return std::wstring(Ascii.begin(), Ascii.end()); }

bool Exists(const std::string& Name)
{
    return GetFileAttributesA(Name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadBytes(const std::filesystem::path& Name)
{
    std::ifstream in(Name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteBytes(const std::string& Name, std::string_view Bytes)
{
    std::ofstream out(Name, std::ios::binary | std::ios::trunc);
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

std::vector<std::string> FolderContent(const std::string& Folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((Folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string& Folder)
{
    for (const std::string& name : FolderContent(Folder)) {
        std::string path = Folder + "\\" + name;
        DWORD attributes = GetFileAttributesA(path.c_str());
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(path);
        else
            DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(Folder.c_str());
}

// The Win32 file system with the executable placed in a folder of the test,
// the user's local application data in another, and failures to order: no
// file can be made in Unwritable, as for a standard user in C:\Program Files.
class TTestFileSystem : public TWin32SettingsFileSystem {
public:
    std::wstring Module, LocalAppData, Unwritable;
    bool FailWriteHalfway = false;
    bool FailReplace = false;

    std::wstring ModuleFileName() override { return Module; }
    std::wstring LocalAppDataFolder() override { return LocalAppData; }
    TWriteResult WriteNewFile(const std::wstring& Name, std::string_view Bytes) override
    {
        if (!Unwritable.empty() && Name.rfind(Unwritable + L"\\", 0) == 0)
            return TWriteResult::NotCreated;
        if (FailWriteHalfway) {   // a full disk: part of the file is there, then the write fails
            TWin32SettingsFileSystem::WriteNewFile(Name, Bytes.substr(0, Bytes.size() / 2));
            return TWriteResult::Incomplete;
        }
        return TWin32SettingsFileSystem::WriteNewFile(Name, Bytes);
    }
    bool MoveReplacing(const std::wstring& Source, const std::wstring& Target) override
    {
        return !FailReplace && TWin32SettingsFileSystem::MoveReplacing(Source, Target);
    }
};

class StorageOnDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(sizeof temp, temp);
        static int counter = 0;
        Root = std::string(temp) + "morvane-settings-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++counter);
        RemoveTree(Root);
        ASSERT_TRUE(CreateDirectoryA(Root.c_str(), nullptr));
        UseExecutableFolder(Root);
    }
    void TearDown() override { RemoveTree(Root); }

    // A run of the program that reads the file and adds "<Key>=1" to section "s".
    void Run(const std::string& Key)
    {
        TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1", &Fs);
        storage.ReadSettingsFile();
        storage.WriteInteger("s\\" + Key, 1);
    }
    void UseExecutableFolder(const std::string& Folder)
    {
        Fs.Module = Wide(Folder + "\\Morvane.exe");
        Ini = Folder + "\\morvane.ini";
    }

    std::string Root, Ini;
    TTestFileSystem Fs;
};

} // namespace

TEST_F(StorageOnDisk, FirstRunWritesTheFileAndNothingElse)
{
    {
        TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1", &Fs);
        storage.ReadSettingsFile();
        EXPECT_FALSE(storage.ReadOnly());
        storage.WriteInteger("frmMorvane\\FormVersion", 0);
        storage.WriteEnumeration("frmMorvane\\CacheListView_Columns\\Item0\\Alignment", AlignmentNames, 0);
        EXPECT_FALSE(Exists(Ini));   // only at destruction
    }
    EXPECT_EQ(ReadBytes(Ini), "[frmMorvane]\r\nFormVersion=0\r\n\r\n"
                             "[frmMorvane\\CacheListView_Columns\\Item0]\r\nAlignment=taLeftJustify\r\n\r\n");
    EXPECT_EQ(FolderContent(Root), std::vector<std::string>{"morvane.ini"});
}

TEST_F(StorageOnDisk, ExistingFileIsNormalizedAndUpdatedInPlace)
{
    WriteBytes(Ini, "; my notes\r\n[frmMorvane]\r\n ShowCmd = 3 \r\n\r\n[Other]\r\nKept=yes\r\n");
    {
        TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1", &Fs);
        storage.ReadSettingsFile();
        EXPECT_EQ(storage.ReadInteger("frmMorvane\\ShowCmd", 0), 3);
        storage.WriteInteger("frmMorvane\\ShowCmd", 1);
    }
    EXPECT_EQ(ReadBytes(Ini), "[frmMorvane]\r\nShowCmd=1\r\n\r\n[Other]\r\nKept=yes\r\n\r\n");
    EXPECT_EQ(FolderContent(Root), std::vector<std::string>{"morvane.ini"});
}

TEST_F(StorageOnDisk, ReadOnlyFileKeepsItsBytes)
{
    const std::string original = "[frmMorvane]\nShowCmd=3\n; note\n";
    WriteBytes(Ini, original);
    ASSERT_TRUE(SetFileAttributesA(Ini.c_str(), FILE_ATTRIBUTE_READONLY));
    {
        TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1", &Fs);
        storage.ReadSettingsFile();
        EXPECT_TRUE(storage.ReadOnly());
        storage.WriteInteger("frmMorvane\\ShowCmd", 1);
        EXPECT_EQ(storage.ReadInteger("frmMorvane\\ShowCmd", 0), 3);
    }
    EXPECT_EQ(ReadBytes(Ini), original);
    EXPECT_EQ(FolderContent(Root), std::vector<std::string>{"morvane.ini"});
}

TEST_F(StorageOnDisk, FileDeletedDuringTheRunIsWrittenAnewWithItsFolders)
{
    const std::string folder = Root + "\\a\\b";
    ASSERT_TRUE(CreateDirectoryA((Root + "\\a").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    UseExecutableFolder(folder);
    WriteBytes(Ini, "[Other]\nKept=1\n[frmMorvane]\nShowCmd=3\n");
    {
        TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1", &Fs);
        storage.ReadSettingsFile();
        RemoveTree(Root + "\\a");
        ASSERT_FALSE(Exists(folder));
        storage.WriteInteger("frmMorvane\\ShowCmd", 2);
    }
    EXPECT_EQ(ReadBytes(Ini), "[Other]\r\nKept=1\r\n\r\n[frmMorvane]\r\nShowCmd=2\r\n\r\n");
    EXPECT_EQ(FolderContent(folder), std::vector<std::string>{"morvane.ini"});
}

TEST_F(StorageOnDisk, FailedWriteLeavesTheOldFileAndNoTemporaryFile)
{
    const std::string original = "[frmMorvane]\r\nShowCmd=3\r\n\r\n";
    WriteBytes(Ini, original);
    for (int failure = 0; failure < 2; ++failure) {
        Fs.FailWriteHalfway = failure == 0;
        Fs.FailReplace = failure == 1;
        TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1", &Fs);
        storage.ReadSettingsFile();
        storage.WriteString("frmMorvane\\Caption", std::string(100000, 'x'));
        EXPECT_FALSE(storage.WriteSettingsFile());
        EXPECT_EQ(ReadBytes(Ini), original) << failure;
        EXPECT_EQ(FolderContent(Root), std::vector<std::string>{"morvane.ini"}) << failure;
        storage.SetReadOnly(true);
    }
}

TEST_F(StorageOnDisk, WithNoRoomForATemporaryFileTheFileIsWrittenInPlace)
{
    // A folder squats on the temporary file's name, so that file cannot be made.
    const std::string temporary = Ini + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
    ASSERT_TRUE(CreateDirectoryA(temporary.c_str(), nullptr));
    WriteBytes(Ini, "[frmMorvane]\r\nShowCmd=3\r\nNormPos=" + std::string(100, '1') + "\r\n");
    const std::string written = "[frmMorvane]\r\nShowCmd=1\r\nNormPos=1,2,3,4\r\n\r\n";
    {
        TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1", &Fs);
        storage.ReadSettingsFile();
        storage.WriteInteger("frmMorvane\\ShowCmd", 1);
        storage.WriteString("frmMorvane\\NormPos", "1,2,3,4");
        EXPECT_TRUE(storage.WriteSettingsFile());
        EXPECT_EQ(ReadBytes(Ini), written);   // the longer old content is cut off

        // Made read-only meanwhile, the file keeps its bytes.
        ASSERT_TRUE(SetFileAttributesA(Ini.c_str(), FILE_ATTRIBUTE_READONLY));
        storage.WriteInteger("frmMorvane\\ShowCmd", 2);
        EXPECT_FALSE(storage.WriteSettingsFile());
    }
    EXPECT_EQ(ReadBytes(Ini), written);
    EXPECT_EQ(FolderContent(Root), (std::vector<std::string>{"morvane.ini", temporary.substr(Root.size() + 1)}));
}

TEST_F(StorageOnDisk, UnwritablePlaceWritesNothing)
{
    ASSERT_TRUE(CreateDirectoryA(Ini.c_str(), nullptr));   // a folder where the file belongs
    {
        TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1", &Fs);
        storage.ReadSettingsFile();
        storage.WriteInteger("frmMorvane\\ShowCmd", 1);
        EXPECT_FALSE(storage.WriteSettingsFile());
    }
    EXPECT_EQ(FolderContent(Root), std::vector<std::string>{"morvane.ini"});
    EXPECT_TRUE(GetFileAttributesA(Ini.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(StorageOnDisk, AFolderThatCannotBeWrittenLeavesTheFileInTheUsersOwnFolder)
{
    ASSERT_TRUE(CreateDirectoryA((Root + "\\Program").c_str(), nullptr));
    UseExecutableFolder(Root + "\\Program");
    Fs.Unwritable = Wide(Root + "\\Program");
    Fs.LocalAppData = Wide(Root);
    // The user's own file is made with its folder, and read at the next start.
    Run("A");
    Run("B");
    EXPECT_EQ(ReadBytes(Root + "\\Morvane\\morvane.ini"), "[s]\r\nA=1\r\nB=1\r\n\r\n");
    EXPECT_TRUE(FolderContent(Root + "\\Program").empty());
    // A file beside the executable is the one read and written (in place).
    WriteBytes(Ini, "[s]\r\nC=1\r\n");
    Run("D");
    EXPECT_EQ(ReadBytes(Ini), "[s]\r\nC=1\r\nD=1\r\n\r\n");
    EXPECT_EQ(ReadBytes(Root + "\\Morvane\\morvane.ini"), "[s]\r\nA=1\r\nB=1\r\n\r\n");
}

TEST_F(StorageOnDisk, AFolderNamedInAnotherScriptKeepsTheFileThere)
{
    // "Morvane" in Cyrillic letters, none of which a Western ANSI code page has.
    const std::wstring folder = Wide(Root) + L"\\\u041C\u043E\u0440\u0432\u0430\u043D\u0435";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    Fs.Module = folder + L"\\Morvane.exe";
    Run("A");
    Run("B");
    EXPECT_EQ(ReadBytes(folder + L"\\morvane.ini"), "[s]\r\nA=1\r\nB=1\r\n\r\n");
    EXPECT_TRUE(DeleteFileW((folder + L"\\morvane.ini").c_str()) && RemoveDirectoryW(folder.c_str()));
}

TEST(StorageFileName, DefaultIsBesideTheRunningExecutable)
{
    TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1");
    EXPECT_EQ(storage.FullFileName(), Wide(ModuleFolder() + "\\morvane.ini"));
    storage.SetReadOnly(true);   // leave the build folder alone
}

// Every hostile file of tests/data/hostile-ini, and two made here (a line of a
// megabyte, 10,000 sections), read at the form storage's paths and written back.
TEST_F(StorageOnDisk, HostileFilesLoadReadAndWriteBack)
{
    std::string data;
    for (std::string folder = ModuleFolder(); !folder.empty(); folder = folder.substr(0, folder.find_last_of('\\'))) {
        if (Exists(folder + "\\tests\\data\\hostile-ini")) {
            data = folder + "\\tests\\data\\hostile-ini";
            break;
        }
        if (folder.find('\\') == std::string::npos)
            break;
    }
    ASSERT_FALSE(data.empty()) << "tests\\data\\hostile-ini not found above " << ModuleFolder();
    std::vector<std::pair<std::string, std::string>> files;
    for (const std::string& name : FolderContent(data))
        files.emplace_back(name, ReadBytes(data + "\\" + name));
    ASSERT_GE(files.size(), 8u);
    std::string sections;
    for (int i = 0; i < 10000; ++i)
        sections += "[frmMorvane\\CacheListView_Columns\\Item" + std::to_string(i) + "]\nWidth=" + std::to_string(i) + "\n";
    files.emplace_back("10000-sections (made here)", sections + "[frmMorvane\\CacheListView_Columns]\nCount=10000\n");
    files.emplace_back("megabyte line (made here)", "[frmMorvane]\nNormPos=" + std::string(1 << 20, '7') +
                                                        "\n" + std::string(1 << 20, '[') + "\nShowCmd=1");

    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        WriteBytes(Ini, bytes);
        TIniDocument expected;
        expected.Load(bytes);
        auto start = std::chrono::steady_clock::now();
        {
            TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1", &Fs);
            storage.ReadSettingsFile();
            int count = 0;
            auto absorb = [&](auto read) {
                try {
                    read();
                } catch (const EConvertError&) {
                }
            };
            absorb([&] { storage.ReadInteger("frmMorvane\\FormVersion", 0); });
            absorb([&] { storage.ReadInteger("frmMorvane\\ShowCmd", 0); });
            absorb([&] { storage.ReadInteger("frmMorvane\\PixelsPerInch", 96); });
            storage.ReadString("frmMorvane\\NormPos(1024x768)", "");
            storage.ReadString("frmMorvane\\NormPos", "");
            absorb([&] { count = storage.ReadInteger("frmMorvane\\CacheListView_Columns\\Count", 0); });
            for (int i = 0; i < count && i < 10000; ++i) {
                std::string item = "frmMorvane\\CacheListView_Columns\\Item" + std::to_string(i);
                absorb([&] {
                    storage.ReadEnumeration(item + "\\Alignment", AlignmentNames, 0);
                    storage.ReadBoolean(item + "\\AutoSize", false);
                    storage.ReadInteger(item + "\\MinWidth", 0);
                    storage.ReadInteger(item + "\\Width", 50);
                });
            }
        }
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 5.0);
        EXPECT_EQ(ReadBytes(Ini), expected.Save());
        EXPECT_EQ(FolderContent(Root), std::vector<std::string>{"morvane.ini"});
    }
}
