// Helpers shared by the settings tests.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "settings/SettingsFileSystem.h"

// The example settings file of a first run on a 1024 x 768 screen.
inline std::string ExampleSettingsFile()
{
    std::string text =
        "[frmMorvane]\r\nFormVersion=0\r\nShowCmd=1\r\nFlags=0\r\nPixelsPerInch=96\r\n"
        "MinMaxPos(1024x768)=-1,-1,-4,-4\r\nMinMaxPos=-1,-1,-4,-4\r\n"
        "NormPos(1024x768)=190,148,834,620\r\nNormPos=190,148,834,620\r\n\r\n"
        "[frmMorvane\\CacheListView_Columns]\r\nCount=5\r\n\r\n";
    const struct { const char* Caption; int MinWidth, Width; } columns[] = {
        {"Name", 100, 300}, {"Last Access", 50, 100}, {"Hit rate", 50, 50}, {"Size", 50, 50}, {"File Name", 100, 200}};
    int i = 0;
    for (const auto& c : columns) {
        text += "[frmMorvane\\CacheListView_Columns\\Item" + std::to_string(i++) + "]\r\n";
        text += "Alignment=taLeftJustify\r\nAutoSize=FALSE\r\nCaption=" + std::string(c.Caption) +
                "\r\nImageIndex=-1\r\nMaxWidth=0\r\nMinWidth=" + std::to_string(c.MinWidth) +
                "\r\nTag=0\r\nWidth=" + std::to_string(c.Width) + "\r\n\r\n";
    }
    return text;
}

// Files held in memory; the executable is ModuleName.
class TMemoryFileSystem : public TSettingsFileSystem {
public:
    std::wstring ModuleName = L"C:\\app\\Morvane.exe";
    std::wstring LocalAppData = L"C:\\Users\\me\\AppData\\Local";
    std::map<std::wstring, std::string> Files;
    std::map<std::wstring, bool> ReadOnlyFiles;

    std::wstring ModuleFileName() override { return ModuleName; }
    std::wstring LocalAppDataFolder() override { return LocalAppData; }
    TAttributes Attributes(const std::wstring& Name) override
    {
        if (Files.count(Name))
            return {true, false, ReadOnlyFiles[Name]};
        return {Name == L"C:\\app", Name == L"C:\\app", false};
    }
    std::optional<std::string> ReadWholeFile(const std::wstring& Name) override
    {
        auto it = Files.find(Name);
        return it == Files.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    TWriteResult WriteNewFile(const std::wstring& Name, std::string_view Bytes) override
    {
        Files[Name] = std::string(Bytes);
        return TWriteResult::Written;
    }
    bool OverwriteFile(const std::wstring& Name, std::string_view Bytes) override
    {
        if (!Files.count(Name) || ReadOnlyFiles[Name])
            return false;
        Files[Name] = std::string(Bytes);
        return true;
    }
    bool CreateFolder(const std::wstring&) override { return true; }
    bool MoveReplacing(const std::wstring& Source, const std::wstring& Target) override
    {
        auto node = Files.extract(Source);
        if (node.empty())
            return false;
        Files[Target] = std::move(node.mapped());
        return true;
    }
    bool RemoveFile(const std::wstring& Name) override { return Files.erase(Name) != 0; }
    unsigned long ProcessId() override { return 42; }
};
