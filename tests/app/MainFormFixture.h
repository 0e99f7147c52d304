// A main window built over a scripted URL cache, for tests of the window.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/MainForm.h"
#include "cache/ScriptedWinInet.h"
#include "settings/SettingsTestSupport.h"
#include "ui/Application.h"

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application().Initialize();
        Application().SetTitle("Morvane");
        // The window's settings file lives in memory, never beside the test program.
        TJvAppIniFileStorage::SetDefaultFileSystem(&Files);
        FSavedBox = Application().MessageBox;
        Application().MessageBox = [this](HWND, const std::string& text, const std::string&, UINT) {
            Boxes.push_back(text);
            return IDOK;
        };
    }
    void TearDown() override
    {
        Form.reset();
        TJvAppIniFileStorage::SetDefaultFileSystem(nullptr);
        Application().MessageBox = FSavedBox;
    }
    TfrmMorvane& Create()
    {
        Form = MakeForm<TfrmMorvane>();
        return *Form;
    }
    TScriptEntry Entry(const std::string& url, DWORD type = NORMAL_CACHE_ENTRY) { return EntryNamed(url, type); }
    std::vector<std::string> Captions() const
    {
        std::vector<std::string> out;
        for (size_t i = 0; i < Form->CacheListView.ItemCount(); ++i)
            out.emplace_back(Form->CacheListView.Caption(i));
        return out;
    }
    // The four sub-items of a row, as the list control shows them.
    std::vector<std::string> SubItems(size_t Row) const
    {
        std::vector<std::string> out;
        for (int column = 1; column <= 4; ++column) {
            char text[MAX_PATH + 1] = {};
            LVITEMA item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            ::SendMessageA(Form->CacheListView.Handle(), LVM_GETITEMTEXTA, Row, reinterpret_cast<LPARAM>(&item));
            out.push_back(text);
        }
        return out;
    }
    std::vector<std::string> TreeTexts() const
    {
        std::vector<std::string> out;
        TTreeView& tree = Form->CacheTreeView;
        for (HTREEITEM n = tree.FirstNode(); n; n = tree.NextSibling(n)) {
            out.push_back(tree.NodeText(n));
            for (HTREEITEM c = tree.FirstChild(n); c; c = tree.NextSibling(c))
                out.push_back("  " + tree.NodeText(c));
        }
        return out;
    }

    TScriptedWinInet Cache;
    TMemoryFileSystem Files;   // the settings file: Files.Files["C:\\app\\morvane.ini"]
    TFormPtr<TfrmMorvane> Form;
    std::vector<std::string> Boxes;

private:
    decltype(TApplication::MessageBox) FSavedBox;
};
