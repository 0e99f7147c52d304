#include "app/MainForm.h"

#include "ui/Application.h"

TfrmMorvane* frmMorvane = nullptr;

namespace {
// The outer size of the window the layout was made for.
constexpr int DesignOuterWidth = 644;
constexpr int DesignOuterHeight = 472;

TFontSpec FormFont()
{
    TFontSpec font;
    font.Name = "MS Sans Serif";
    font.Height = -11; // 8 point at 96 dots per inch
    font.Color = clWindowText;
    return font;
}

void Place(TControl& control, TControl& parent, TAlign align, int width, int height, int tabOrder = 0)
{
    control.SetParent(&parent);
    control.SetBounds(0, 0, width, height);
    control.SetAlign(align);
    control.SetTabOrder(tabOrder);
}
} // namespace

TfrmMorvane::TfrmMorvane(const TFormKey& Key) : TForm(Key, nullptr, "frmMorvane", "TfrmMorvane")
{
    frmMorvane = this;
    BuildLayout();
    OnCreate = [this](TForm& sender) { FormCreate(sender); };
    OnClose = [this](TForm& sender, TCloseAction& action) { FormClose(sender, action); };
    BuildCommands();
    HandleNeeded();
    // The text view lies over the browser view.
    ::SetWindowPos(HeaderMemo.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    JvFormStorage1.Loaded();   // settings: watches show, close query and destroy; reads the file
    DoCreate();
}

TfrmMorvane::~TfrmMorvane()
{
    if (frmMorvane == this)
        frmMorvane = nullptr;
}

void TfrmMorvane::BuildLayout()
{
    SetCaption("Morvane ");
    SetBounds(0, 0, DesignOuterWidth, DesignOuterHeight);
    SetMinSize(500, 400);
    SetPosition(poDesktopCenter);
    SetColor(clBtnFace);
    SetFont(FormFont());
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    SetIcons(static_cast<HICON>(::LoadImageA(instance, "MAINICON", IMAGE_ICON, 32, 32, LR_SHARED)),
             static_cast<HICON>(::LoadImageA(instance, "MAINICON", IMAGE_ICON, 16, 16, LR_SHARED)));

    IECache1.SetName("IECache1");
    IECache1.SetFilterOptions({NORMAL_ENTRY, STICKY_ENTRY, COOKIE_ENTRY, URLHISTORY_ENTRY,
                               TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY});
    IECache1.SetSearchPattern(spAll);
    IECache1.OnEntry = [this](TIECache& sender, bool& cancel) { IECache1Entry(sender, cancel); };

    // Left-hand side: the host tree over the file information box.
    Place(sPanel3, *this, alLeft, 185, 399, 2);
    sPanel3.SetBevelOuter(bvNone);
    Place(CacheTreeView, sPanel3, alClient, 185, 282, 0);
    CacheTreeView.SetIndent(19);
    CacheTreeView.OnChange = [this](TTreeView& sender, HTREEITEM node) { CacheTreeViewChange(sender, node); };
    Place(FileInfoPanel, sPanel3, alBottom, 185, 117, 1);
    FileInfoPanel.SetBevelOuter(bvRaised);
    Place(GroupBox1, FileInfoPanel, alClient, 183, 115);
    GroupBox1.SetText("File information");
    auto fileLine = [this](TLabel& Label, int Left, int Top, const char* Caption) {
        Label.SetParent(&GroupBox1);
        Label.SetBounds(Left, Top, 0, 0);   // sized to its caption
        Label.SetCaption(Caption);
    };
    fileLine(Label1, 5, 17, "HitRate:");
    fileLine(Label2, 5, 36, "FileSize:");
    fileLine(Label3, 6, 54, "Last accessed:");
    fileLine(Label4, 6, 73, "Last modified:");
    fileLine(Label5, 6, 91, "Expire:");

    Place(sSplitter1, *this, alLeft, 4, 399);
    sSplitter1.SetBounds(185, 0, 4, 399);
    sSplitter1.SetBeveled(true);
    sSplitter1.SetMinSize(100);

    // Right-hand side: the entry list over the preview area.
    Place(sPanel1, *this, alClient, 447, 399, 1);
    sPanel1.SetBevelOuter(bvNone);
    Place(sPanel2, sPanel1, alClient, 447, 399, 0);
    sPanel2.SetBevelOuter(bvNone);
    Place(CacheListView, sPanel2, alTop, 447, 184, 0);
    CacheListView.SetGridLines(true);
    SetActiveControl(&CacheListView);
    CacheListView.OnChange = [this](TListView& sender, int item, UINT change) { CacheListViewChange(sender, item, change); };
    auto column = [this](const char* Caption, int Width, int MinWidth) {
        TListColumn& c = CacheListView.Columns().Add();
        c.SetCaption(Caption);
        c.SetMinWidth(MinWidth);
        c.SetWidth(Width);
    };
    column("Name", 300, 100);        // caption, width, minimum width
    column("Last Access", 100, 50);
    column("Hit rate", 50, 50);
    column("Size", 50, 50);
    column("File Name", 200, 100);
    Place(sSplitter2, sPanel2, alTop, 447, 4);
    sSplitter2.SetBounds(0, 184, 447, 4);
    sSplitter2.SetBeveled(true);
    sSplitter2.SetMinSize(100);
    Place(sPanel4, sPanel2, alClient, 447, 211, 1);
    sPanel4.SetBevelOuter(bvNone);
    Place(WebBrowser1, sPanel4, alClient, 447, 211, 0);
    Place(HeaderMemo, sPanel4, alClient, 447, 211, 1);

    Place(sStatusBar1, *this, alBottom, 636, 19);
    sStatusBar1.SetAutoHint(true);
}

void TfrmMorvane::FormCreate(TForm&)
{
    FHostMap = std::make_unique<THostMap>();
}

void TfrmMorvane::FormClose(TForm&, TCloseAction&)
{
    FHostMap.reset();
}

void TfrmMorvane::LoadCache()
{
    IECache1.SetSearchPattern(spAll);
    RebuildListing();
}

bool TfrmMorvane::PreviewOn() const
{
    return cmdShowContent.Checked();
}

int RunMorvane()
{
    // The modules' start-up code (the cache library check among it) has run.
    int exitCode = 0;
    try {
        Application().Initialize();
        Application().SetTitle("Morvane");
        TfrmMorvane& form = Application().CreateForm<TfrmMorvane>();
        try {
            form.LoadCache();
        } catch (...) {
            Application().HandleCurrentException();
        }
        Application().Run();
    } catch (...) {
        Application().HandleCurrentException();
        exitCode = 1;
    }
    // Destroying the forms saves and writes the settings where that can still be done.
    Application().DestroyForms();
    return exitCode;
}
