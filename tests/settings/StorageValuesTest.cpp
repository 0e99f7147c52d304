#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "settings/AppIniFileStorage.h"
#include "SettingsTestSupport.h"

namespace {

constexpr std::string_view AlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};

// A storage over an in-memory file whose text is given.
struct TStorageOn {
    TMemoryFileSystem FileSystem;
    TJvAppIniFileStorage Storage;
    explicit TStorageOn(std::string_view Text) : Storage(nullptr, "JvAppIniFileStorage1", &FileSystem)
    {
        FileSystem.Files[L"C:\\app\\morvane.ini"] = std::string(Text);
        Storage.ReadSettingsFile();
    }
};

std::string ConversionMessage(const std::function<void()>& Read)
{
    try {
        Read();
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "<no error>";
}

} // namespace

TEST(StoragePaths, NormalizeJoinSplitExpand)
{
    EXPECT_EQ(NormalizeStoragePath("\\\\frmMorvane\\\\\\ShowCmd\\"), "frmMorvane\\ShowCmd");
    EXPECT_EQ(NormalizeStoragePath("\\\\"), "");
    EXPECT_EQ(JoinStoragePaths({"frmMorvane\\", "", "CacheListView_Columns", "Item0\\Width"}),
              "frmMorvane\\CacheListView_Columns\\Item0\\Width");
    std::string section, key;
    SplitStoragePath("frmMorvane\\CacheListView_Columns\\Item0\\Width", section, key);
    EXPECT_EQ(section, "frmMorvane\\CacheListView_Columns\\Item0");
    EXPECT_EQ(key, "Width");
    SplitStoragePath("Lonely", section, key);
    EXPECT_EQ(section, "");
    EXPECT_EQ(key, "Lonely");

    EXPECT_EQ(ExpandFormNamePath("%FORM_NAME%\\", "frmMorvane"), "frmMorvane\\");
    EXPECT_EQ(ExpandFormNamePath("Root\\%form_Name%", "frmMorvane"), "Root\\frmMorvane\\");
    EXPECT_EQ(ExpandFormNamePath("%FORM_NAME%%FORM_NAME%", "F"), "F%FORM_NAME%\\");
    EXPECT_EQ(ExpandFormNamePath("", "F"), "");
    EXPECT_EQ(ExpandFormNamePath("%FORM_NAM", "F"), "%FORM_NAM\\");
}

TEST(StorageValues, IntegersAreDecimalAndStrict)
{
    TStorageOn s("[frmMorvane]\nEmpty=\nWord=abc\nBig=2147483648\nSmall=-2147483649\nMin=-2147483648\n"
                 "Plus=+7\nHex=0x10\nDigits=00000000000000000000000012\nHuge=" + std::string(100000, '9') + "\n");
    s.Storage.WriteInteger("frmMorvane\\Negative", -5);
    EXPECT_EQ(s.Storage.ReadString("frmMorvane\\Negative"), "-5");
    EXPECT_EQ(s.Storage.ReadInteger("frmMorvane\\Negative", 0), -5);
    EXPECT_EQ(s.Storage.ReadInteger("frmMorvane\\Empty", 77), 0);
    EXPECT_EQ(s.Storage.ReadInteger("frmMorvane\\Missing", 77), 77);
    EXPECT_EQ(s.Storage.ReadInteger("frmMorvane\\Min", 0), INT_MIN);
    EXPECT_EQ(s.Storage.ReadInteger("frmMorvane\\Plus", 0), 7);
    EXPECT_EQ(s.Storage.ReadInteger("frmMorvane\\Digits", 0), 12);
    EXPECT_EQ(ConversionMessage([&] { s.Storage.ReadInteger("frmMorvane\\Word", 0); }),
              "'abc' is not a valid integer value");
    EXPECT_EQ(ConversionMessage([&] { s.Storage.ReadInteger("frmMorvane\\Big", 0); }),
              "'2147483648' is not a valid integer value");
    for (const char* path : {"frmMorvane\\Small", "frmMorvane\\Hex", "frmMorvane\\Huge"})
        EXPECT_THROW(s.Storage.ReadInteger(path, 0), EConvertError) << path;
}

TEST(StorageValues, BooleansAsWordsOrIntegers)
{
    TStorageOn s("[b]\nT1=TRUE\nT2=yes\nT3=Y\nT4=2\nT5=-1\nF1=false\nF2=no\nF3=n\nF4=0\nF5=\nBad=maybe\n");
    for (const char* key : {"T1", "T2", "T3", "T4", "T5"})
        EXPECT_TRUE(s.Storage.ReadBoolean(std::string("b\\") + key, false)) << key;
    for (const char* key : {"F1", "F2", "F3", "F4", "F5"})
        EXPECT_FALSE(s.Storage.ReadBoolean(std::string("b\\") + key, true)) << key;
    EXPECT_TRUE(s.Storage.ReadBoolean("b\\Missing", true));
    EXPECT_EQ(ConversionMessage([&] { s.Storage.ReadBoolean("b\\Bad", false); }),
              "'maybe' is not a valid integer value");
    s.Storage.WriteBoolean("b\\W1", true);
    s.Storage.WriteBoolean("b\\W2", false);
    EXPECT_EQ(s.Storage.ReadString("b\\W1"), "TRUE");
    EXPECT_EQ(s.Storage.ReadString("b\\W2"), "FALSE");
}

TEST(StorageValues, EnumerationsByIdentifierOrOrdinal)
{
    TStorageOn s("[e]\nA=taCenter\nB=TARIGHTJUSTIFY\nC=1\nD=3\nE=-1\nF=taSideways\n");
    EXPECT_EQ(s.Storage.ReadEnumeration("e\\A", AlignmentNames, 0), 2);
    EXPECT_EQ(s.Storage.ReadEnumeration("e\\B", AlignmentNames, 0), 1);
    EXPECT_EQ(s.Storage.ReadEnumeration("e\\C", AlignmentNames, 0), 1);
    EXPECT_EQ(s.Storage.ReadEnumeration("e\\Missing", AlignmentNames, 2), 2);
    EXPECT_EQ(ConversionMessage([&] { s.Storage.ReadEnumeration("e\\F", AlignmentNames, 0); }),
              "'taSideways' is not a valid integer value");
    EXPECT_THROW(s.Storage.ReadEnumeration("e\\D", AlignmentNames, 0), EConvertError);   // outside the type
    EXPECT_THROW(s.Storage.ReadEnumeration("e\\E", AlignmentNames, 0), EConvertError);
    s.Storage.WriteEnumeration("e\\W", AlignmentNames, 0);
    EXPECT_EQ(s.Storage.ReadString("e\\W"), "taLeftJustify");
}

TEST(StorageValues, StringsAndMissingValues)
{
    TStorageOn s("[s]\nCaption=Last Access\n");
    EXPECT_EQ(s.Storage.ReadString("\\s\\\\Caption\\", "d"), "Last Access");
    EXPECT_EQ(s.Storage.ReadString("s\\Missing", "d"), "d");
}

TEST(StorageValues, ExistenceAndSubTreeErase)
{
    TStorageOn s("[frmMorvane\\CacheListView_Columns]\nCount=1\n[frmMorvane\\CacheListView_Columns\\Item0]\n"
                 "Width=5\n[FRMMORVANE\\CacheListView_Columns\\Item1]\nWidth=6\n[frmMorvane\\Empty]\n");
    EXPECT_TRUE(s.Storage.SectionExists("frmMorvane\\CacheListView_Columns\\"));
    EXPECT_FALSE(s.Storage.SectionExists("frmMorvane\\Empty"));
    EXPECT_TRUE(s.Storage.ValueExists("frmMorvane\\\\CacheListView_Columns\\count"));
    EXPECT_FALSE(s.Storage.ValueExists("frmMorvane\\CacheListView_Columns\\Width"));
    s.Storage.DeleteSubTree("\\frmMorvane\\CacheListView_Columns\\");
    EXPECT_EQ(s.Storage.Document().SectionNames(),
              (std::vector<std::string>{"FRMMORVANE\\CacheListView_Columns\\Item1", "frmMorvane\\Empty"}));
}

TEST(StorageValues, ReadOnlyStorageSkipsEveryWrite)
{
    TStorageOn s("[a]\nk=1\n[b\\c]\nk=2\n");
    s.Storage.SetReadOnly(true);
    s.Storage.WriteInteger("a\\k", 5);
    s.Storage.WriteString("a\\new", "x");
    s.Storage.DeleteSubTree("b");
    EXPECT_EQ(s.Storage.Document().Save(), "[a]\r\nk=1\r\n\r\n[b\\c]\r\nk=2\r\n\r\n");
}

TEST(StorageFileName, TheExecutablesFolder)
{
    TMemoryFileSystem fs;
    TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1", &fs);
    EXPECT_EQ(storage.FullFileName(), L"C:\\app\\morvane.ini");
    EXPECT_EQ(storage.PerUserFileName(), L"C:\\Users\\me\\AppData\\Local\\Morvane\\morvane.ini");
    fs.ModuleName = L"C:\\Morvane.exe";
    EXPECT_EQ(storage.FullFileName(), L"C:\\morvane.ini");
    fs.ModuleName = L"";
    EXPECT_EQ(storage.FullFileName(), L"");
    EXPECT_FALSE(storage.WriteSettingsFile());
}

TEST(StorageFile, ReadOnceWriteAtDestructionReplacingTheFile)
{
    TMemoryFileSystem fs;
    fs.Files[L"C:\\app\\morvane.ini"] = "; old\n[frmMorvane]\nShowCmd=3\n";
    {
        TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1", &fs);
        storage.ReadSettingsFile();
        fs.Files[L"C:\\app\\morvane.ini"] = "[changed]\nk=v\n";
        storage.ReadSettingsFile();   // once only
        EXPECT_EQ(storage.ReadInteger("frmMorvane\\ShowCmd", 0), 3);
        storage.WriteInteger("frmMorvane\\FormVersion", 0);
    }
    EXPECT_EQ(fs.Files, (std::map<std::wstring, std::string>{
                            {L"C:\\app\\morvane.ini", "[frmMorvane]\r\nShowCmd=3\r\nFormVersion=0\r\n\r\n"}}));
}

TEST(StorageFile, ReadOnlyAttributeOrUnreadableFileIsNeverWritten)
{
    TMemoryFileSystem fs;
    fs.Files[L"C:\\app\\morvane.ini"] = "[a]\nk=1\n";
    fs.ReadOnlyFiles[L"C:\\app\\morvane.ini"] = true;
    {
        TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1", &fs);
        storage.ReadSettingsFile();
        fs.ReadOnlyFiles[L"C:\\app\\morvane.ini"] = false;   // the mark is taken once
        EXPECT_TRUE(storage.ReadOnly());
        storage.WriteInteger("a\\k", 2);
        EXPECT_EQ(storage.ReadInteger("a\\k", 0), 1);
    }
    EXPECT_EQ(fs.Files[L"C:\\app\\morvane.ini"], "[a]\nk=1\n");

    struct TUnreadable : TMemoryFileSystem {
        std::optional<std::string> ReadWholeFile(const std::wstring&) override { return std::nullopt; }
    } locked;
    locked.Files[L"C:\\app\\morvane.ini"] = "[a]\nk=1\n";
    {
        TJvAppIniFileStorage storage(nullptr, "JvAppIniFileStorage1", &locked);
        storage.ReadSettingsFile();
        storage.WriteInteger("a\\k", 2);
        EXPECT_FALSE(storage.WriteSettingsFile());
    }
    EXPECT_EQ(locked.Files[L"C:\\app\\morvane.ini"], "[a]\nk=1\n");
}
