// TfrmMorvane: the main window. A tree of hosts on the left with the "File
// information" box under it, the entry list at the top right and the preview
// area under the list. The form is split by concern: layout and life cycle
// here (MainForm.cpp), the listing (Listing.cpp), the detail pane
// (DetailPane.cpp) and the commands (Commands.cpp).
#pragma once

#include <memory>
#include <string_view>

#include "app/HostLabels.h"
#include "app/PendingRows.h"
#include "cache/IECache.h"
#include "settings/FormStorage.h"
#include "ui/Actions.h"
#include "ui/BrowserHost.h"
#include "ui/Form.h"
#include "ui/ListView.h"
#include "ui/Menu.h"
#include "ui/Splitter.h"
#include "ui/StdCtrls.h"
#include "ui/TreeView.h"

class TfrmMorvane : public TForm {
public:
    explicit TfrmMorvane(const TFormKey& Key);
    ~TfrmMorvane() override;

    // Lists the whole cache (pattern spAll) and builds the host tree.
    void LoadCache();

    // Handlers wired by the layout.
    void FormCreate(TForm& Sender);
    void FormClose(TForm& Sender, TCloseAction& Action);
    void IECache1Entry(TIECache& Sender, bool& Cancel);
    void CacheTreeViewChange(TTreeView& Sender, HTREEITEM Node);
    void CacheListViewChange(TListView& Sender, int Item, UINT Change);

    // Commands (Commands.cpp).
    void ChangeSearchPattern(TSearchPattern Pattern);
    void cmdRefreshExecute(TComponent& Sender);
    void cmdShowAllExecute(TComponent& Sender);
    void cmdShowCookiesExecute(TComponent& Sender);
    void cmdShowHistoryExecute(TComponent& Sender);
    void cmdShowURLsExecute(TComponent& Sender);
    void cmdShowContentExecute(TComponent& Sender);
    void cmdDeleteExecute(TComponent& Sender);
    void cmdDeleteAllExecute(TComponent& Sender);
    void Exit1Click(TComponent& Sender);
    void Homepage1Click(TComponent& Sender);
    void Supportteam1Click(TComponent& Sender);
    // The about window (defined with it).
    void About1Click(TComponent& Sender);

    // Members, as the layout names them.
    TIECache IECache1{this};
    // Marks that the executable carries the visual-styles manifest (Morvane.rc
    // links Morvane.manifest, which asks for the common controls of version 6).
    TComponent XPManifest1{this, "XPManifest1"};
    TPanel sPanel3{this, "sPanel3"};
    TTreeView CacheTreeView{this, "CacheTreeView"};
    TPanel FileInfoPanel{this, "FileInfoPanel"};
    TGroupBox GroupBox1{this, "GroupBox1"};
    TLabel Label1{this, "Label1"};
    TLabel Label2{this, "Label2"};
    TLabel Label3{this, "Label3"};
    TLabel Label4{this, "Label4"};
    TLabel Label5{this, "Label5"};
    TSplitter sSplitter1{this, "sSplitter1"};
    TPanel sPanel1{this, "sPanel1"};
    TPanel sPanel2{this, "sPanel2"};
    TListView CacheListView{this, "CacheListView"};
    TSplitter sSplitter2{this, "sSplitter2"};
    TPanel sPanel4{this, "sPanel4"};
    TBrowserHost WebBrowser1{this, "WebBrowser1"};
    TMemo HeaderMemo{this, "HeaderMemo"};
    TStatusBar sStatusBar1{this, "sStatusBar1"};

    // ---- Commands (Commands.cpp): the actions and the menu bar that shows them ----
    TActionList ActionList1{this, "ActionList1"};
    TAction cmdShowAll{this, "cmdShowAll"};
    TAction cmdShowCookies{this, "cmdShowCookies"};
    TAction cmdShowHistory{this, "cmdShowHistory"};
    TAction cmdShowURLs{this, "cmdShowURLs"};
    TAction cmdShowContent{this, "cmdShowContent"};
    TAction cmdRefresh{this, "cmdRefresh"};
    TAction cmdDelete{this, "cmdDelete"};
    TAction cmdDeleteAll{this, "cmdDeleteAll"};
    // The Help menu's "Security links", in the order of Addresses::SecurityLinks.
    TActionList LinksActionList{this, "LinksActionList"};
    TAction cmdCookiesLink{this, "cmdCookiesLink"};
    TAction cmdHistoryLink{this, "cmdHistoryLink"};
    TAction cmdCacheLink{this, "cmdCacheLink"};
    TAction cmdCookieStoreLink{this, "cmdCookieStoreLink"};
    TMainMenu MainMenu1{this, "MainMenu1"};
    void ActionList1Update(TAction& Action, bool& Handled);
    // Sets the actions up and builds the menu bar; the constructor calls it before the window exists.
    void BuildCommands();
    // ---- end of the commands ----
    // --- Settings pair: the window's placement and list columns in morvane.ini ---
    // Their order does not matter: the destroy notification saves while every
    // member exists (the form's deleter runs it before the destructor), and the
    // INI storage writes the file when it is destroyed, after that save.
    TJvAppIniFileStorage JvAppIniFileStorage1{this, "JvAppIniFileStorage1"};
    TJvFormStorage JvFormStorage1{*this, "JvFormStorage1", JvAppIniFileStorage1, "%FORM_NAME%\\",
                                  {"CacheListView.Columns"}};
    // --- end of the settings pair ---

    bool BuildingTree() const { return FBuildingTree; }
    bool HostMapExists() const { return FHostMap != nullptr; }
    // Whether selecting a row previews its file ("Show the content").
    bool PreviewOn() const;

private:
    void BuildLayout();
    void RebuildListing();
    void BeginHostTree();
    void FillEntryList();
    void EndHostTree();
    void FileUnderHost(const TEntryInfo& Entry);
    void AddToHostMap(std::string_view Host, const TEntryInfo& Entry);
    void AddEntryRow(const TEntryInfo& Entry);
    void AddGoneRow(std::string_view Url);
    void BeginRows();
    void EndRows();
    void UpdatePreview(const TEntryInfo& Entry);
    // The five lines of the selected entry; null: the texts without values.
    void SetFileInformation(const TEntryInfo* Entry);

    std::unique_ptr<THostMap> FHostMap;
    bool FBuildingTree = false;
    TPendingRows FPendingRows;
};

// The application's one main window.
extern TfrmMorvane* frmMorvane;

// The program from start-up to shut-down; the process's exit code. What goes
// wrong is shown in the application's error box: a failing start-up listing,
// after which the window opens all the same, or a failure in making the
// window or in the message loop, which ends the program with code 1.
int RunMorvane();
