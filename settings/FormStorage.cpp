#include "settings/FormStorage.h"

#include <cstdio>
#include <exception>
#include <optional>

#include "base/ScopeExit.h"
#include "ui/Application.h"
#include "ui/ListView.h"

namespace {

constexpr std::string_view FormVersionKey = "FormVersion";
constexpr std::string_view ShowCmdKey = "ShowCmd";
constexpr std::string_view FlagsKey = "Flags";
constexpr std::string_view PixelsPerInchKey = "PixelsPerInch";
constexpr std::string_view MinMaxPosKey = "MinMaxPos";
constexpr std::string_view NormPosKey = "NormPos";

constexpr std::string_view AlignmentIdentifiers[] = {"taLeftJustify", "taRightJustify", "taCenter"};

std::string FourNumbers(long a, long b, long c, long d)
{
    char text[64];
    std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", a, b, c, d);
    return text;
}

// The words of a position text: runs of characters other than ',' and blank.
std::vector<std::string_view> PositionWords(std::string_view Text)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < Text.size()) {
        while (i < Text.size() && (Text[i] == ',' || Text[i] == ' '))
            ++i;
        std::size_t start = i;
        while (i < Text.size() && Text[i] != ',' && Text[i] != ' ')
            ++i;
        if (i > start)
            words.push_back(Text.substr(start, i - start));
    }
    return words;
}

// Word Number (from 1) as an integer; Default when it is missing or not one.
int WordOr(const std::vector<std::string_view>& Words, std::size_t Number, int Default)
{
    if (Number - 1 < Words.size())
        if (std::optional<int> value = TryStrToInt(Words[Number - 1]))
            return *value;
    return Default;
}

std::string ItemPath(const std::string& Path, int Index)
{
    return JoinStoragePaths({Path, "Item" + std::to_string(Index)});
}

// Reads the eight properties of one column, in the order they are written;
// a missing key leaves the column's value. Throws EConvertError on a value
// that does not convert: the keys read before it stay applied.
void RestoreColumn(TListColumn& Column, TJvAppIniFileStorage& Storage, const std::string& Section)
{
    auto present = [&](std::string_view key, std::string& path) {
        path = JoinStoragePaths({Section, key});
        return Storage.ValueExists(path);
    };
    std::string path;
    if (present("Alignment", path))
        Column.SetAlignment(static_cast<TAlignment>(Storage.ReadEnumeration(path, AlignmentIdentifiers, 0)));
    if (present("AutoSize", path))
        Column.SetAutoSize(Storage.ReadBoolean(path));
    if (present("Caption", path))
        Column.SetCaption(Storage.ReadString(path));
    if (present("ImageIndex", path))
        Column.SetImageIndex(Storage.ReadInteger(path));
    if (present("MaxWidth", path))
        Column.SetMaxWidth(Storage.ReadInteger(path));
    if (present("MinWidth", path))
        Column.SetMinWidth(Storage.ReadInteger(path));
    if (present("Tag", path))
        Column.SetTag(Storage.ReadInteger(path));
    if (present("Width", path))
        Column.SetWidth(Storage.ReadInteger(path));
}

// The pixels per inch of the screens a stored file can come from: half of
// 100% to 500%, the largest scale Windows offers.
constexpr int LeastPixelsPerInch = 48;
constexpr int MostPixelsPerInch = 480;

// The most columns a stored list may hold; a larger "Count" is no stored list.
constexpr int MaxStoredColumns = 1000;

// Saves a list view's columns under Path as a list: "Count", then one section
// "Item<i>" per column with its eight properties. Nothing while read-only.
void SaveListColumns(const TListColumns& Columns, TJvAppIniFileStorage& Storage, const std::string& Path)
{
    if (Storage.ReadOnly())
        return;
    // The list is written anew, at the end of the document.
    Storage.DeleteSubTree(Path);
    Storage.WriteInteger(JoinStoragePaths({Path, "Count"}), Columns.Count());
    for (int i = 0; i < Columns.Count(); ++i) {
        const TListColumn& column = Columns[i];
        const std::string item = ItemPath(Path, i);
        Storage.WriteEnumeration(JoinStoragePaths({item, "Alignment"}), AlignmentIdentifiers, column.Alignment());
        Storage.WriteBoolean(JoinStoragePaths({item, "AutoSize"}), column.AutoSize());
        Storage.WriteString(JoinStoragePaths({item, "Caption"}), column.Caption());
        Storage.WriteInteger(JoinStoragePaths({item, "ImageIndex"}), column.ImageIndex());
        Storage.WriteInteger(JoinStoragePaths({item, "MaxWidth"}), column.MaxWidth());
        Storage.WriteInteger(JoinStoragePaths({item, "MinWidth"}), column.MinWidth());
        Storage.WriteInteger(JoinStoragePaths({item, "Tag"}), column.Tag());
        Storage.WriteInteger(JoinStoragePaths({item, "Width"}), column.Width());
    }
}

// Rebuilds the columns from what SaveListColumns wrote; with no "Count", or a
// negative one or one above MaxStoredColumns, they stay as they are. A column
// whose keys cannot be read keeps what was read of it; a "Count" that cannot
// be read leaves no column. Widths and their limits saved at another scale
// are then scaled as the design columns are.
void RestoreListColumns(TListColumns& Columns, TJvAppIniFileStorage& Storage, const std::string& Path,
                        TPixelScale Scale)
{
    const std::string countPath = JoinStoragePaths({Path, "Count"});
    if (!Storage.ValueExists(countPath))
        return;
    // One rebuild of the header for every change below.
    Columns.BeginUpdate();
    const auto endUpdate = ScopeExit([&Columns] { Columns.EndUpdate(); });
    int count = 0;
    try {
        count = Storage.ReadInteger(countPath, 0);
    } catch (const EConvertError&) {
        Columns.Clear();
        return;
    }
    // A count no list can have is no stored list: the columns stay as they are.
    if (count < 0 || count > MaxStoredColumns)
        return;
    Columns.Clear();
    for (int i = 0; i < count; ++i) {
        TListColumn& column = Columns.Add();
        try {
            RestoreColumn(column, Storage, ItemPath(Path, i));
        } catch (const EConvertError&) {
            // This column keeps what was read of it.
        }
    }
    if (Scale.Screen != Scale.Stored)
        Columns.ChangeScale(Scale.Screen, Scale.Stored);
}

// The published property of that name (letter case ignored) of a component;
// nothing when the component does not publish it. Known: a list view's Columns.
std::optional<TPublishedProperty> FindPublishedProperty(TComponent& Component, std::string_view Name)
{
    if (auto* listView = dynamic_cast<TListView*>(&Component)) {
        if (SameText(Name, "Columns")) {
            TListColumns& columns = listView->Columns();
            return TPublishedProperty{
                "Columns",
                [&columns](TJvAppIniFileStorage& storage, const std::string& path) {
                    SaveListColumns(columns, storage, path);
                },
                [&columns](TJvAppIniFileStorage& storage, const std::string& path, TPixelScale scale) {
                    RestoreListColumns(columns, storage, path, scale);
                }};
        }
    }
    return std::nullopt;
}

} // namespace

std::string ScreenSizeSuffix()
{
    char text[32];
    std::snprintf(text, sizeof text, "(%dx%d)", ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    return text;
}

// --- TJvFormPlacement -----------------------------------------------------

TJvFormPlacement::TJvFormPlacement(TForm& Owner, std::string Name, TJvAppIniFileStorage& AppStorage,
                                   std::string_view AppStoragePath)
    : TComponent(&Owner, std::move(Name)), FForm(Owner), FAppStorage(AppStorage),
      FAppStoragePath(ExpandFormNamePath(AppStoragePath, Owner.Name()))
{
}

TJvFormPlacement::~TJvFormPlacement()
{
    if (FForm.Watcher() == this)
        FForm.SetWatcher(nullptr);
}

std::string TJvFormPlacement::PathOf(std::string_view Key) const
{
    return JoinStoragePaths({FAppStoragePath, Key});
}

void TJvFormPlacement::Loaded()
{
    FForm.SetWatcher(this);
    BindProperties();
    FAppStorage.ReadSettingsFile();
}

void TJvFormPlacement::FormShow(TForm&)
{
    // The form is shown from the message loop's start, outside any window
    // procedure: report here as the application reports a handler's error.
    try {
        RestoreWindowSettings();
    } catch (const std::exception& e) {
        Application().HandleException(e);
    }
}

void TJvFormPlacement::FormCloseQuery(TForm&, bool& CanClose)
{
    if (CanClose)
        SaveWindowSettings();
}

void TJvFormPlacement::FormDestroy(TForm&)
{
    if (FSaved)
        return;
    // Runs as the form is deleted: nothing may escape.
    try {
        SaveWindowSettings();
    } catch (const std::exception& e) {
        Application().HandleException(e);
    }
}

void TJvFormPlacement::FormEndSession(TForm&)
{
    // The process may not live to close the form: save as its close query
    // would, write the file now, and from then on write nothing more, neither
    // into the document nor to the disk.
    if (!FSaved)
        SaveWindowSettings();
    FAppStorage.WriteSettingsFile();
    FAppStorage.SetReadOnly(true);
}

void TJvFormPlacement::SaveWindowSettings()
{
    FAppStorage.WriteInteger(PathOf(FormVersionKey), Version);
    SavePlacement();
    SaveProperties();
    FSaved = true;
}

void TJvFormPlacement::SavePlacement()
{
    HWND wnd = FForm.Handle();
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!wnd || !::GetWindowPlacement(wnd, &placement))
        return;
    // The application minimized from its taskbar button: the main form's
    // own placement may not say so.
    HWND application = Application().Handle();
    if (application && ::IsIconic(application))
        placement.showCmd = SW_SHOWMINIMIZED;

    TJvAppIniFileStorage& storage = FAppStorage;
    const std::string suffix = ScreenSizeSuffix();
    storage.WriteInteger(PathOf(ShowCmdKey), static_cast<int>(placement.showCmd));
    storage.WriteInteger(PathOf(FlagsKey), static_cast<int>(placement.flags));
    storage.WriteInteger(PathOf(PixelsPerInchKey), ScreenPixelsPerInch());
    const std::string minMax = FourNumbers(placement.ptMinPosition.x, placement.ptMinPosition.y,
                                           placement.ptMaxPosition.x, placement.ptMaxPosition.y);
    storage.WriteString(PathOf(std::string(MinMaxPosKey) + suffix), minMax);
    storage.WriteString(PathOf(MinMaxPosKey), minMax);
    const RECT& normal = placement.rcNormalPosition;
    const std::string norm = FourNumbers(normal.left, normal.top, normal.right, normal.bottom);
    storage.WriteString(PathOf(std::string(NormPosKey) + suffix), norm);
    storage.WriteString(PathOf(NormPosKey), norm);
}

void TJvFormPlacement::RestoreWindowSettings()
{
    FSaved = false;
    if (FAppStorage.ReadInteger(PathOf(FormVersionKey), 0) >= Version) {
        RestorePlacement();
        RestoreProperties();
    }
    SetMaximizedPosition();
}

void TJvFormPlacement::RestorePlacement()
{
    HWND wnd = FForm.Handle();
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!wnd || !::GetWindowPlacement(wnd, &placement))
        return;
    if (!::IsWindowVisible(wnd))
        placement.showCmd = SW_HIDE;   // applying the placement must not show the window

    TJvAppIniFileStorage& storage = FAppStorage;
    const std::string suffix = ScreenSizeSuffix();
    auto readPosition = [&](std::string_view key) {
        std::string sized = PathOf(std::string(key) + suffix);
        return storage.ReadString(storage.ValueExists(sized) ? sized : PathOf(key), "");
    };

    const std::string minMax = readPosition(MinMaxPosKey);
    if (!minMax.empty()) {
        std::vector<std::string_view> words = PositionWords(minMax);
        placement.ptMinPosition.x = WordOr(words, 1, 0);
        placement.ptMinPosition.y = WordOr(words, 2, 0);
        placement.ptMaxPosition.x = WordOr(words, 3, 0);
        placement.ptMaxPosition.y = WordOr(words, 4, 0);
    }
    const std::string norm = readPosition(NormPosKey);
    if (!norm.empty()) {
        std::vector<std::string_view> words = PositionWords(norm);
        // right = left + word 3 - word 1 keeps the stored width. As left is
        // word 1 (or Left where word 1 is missing, and then word 1 counts as
        // Left too), that is word 3 itself, or Width where word 3 is missing;
        // so for bottom.
        placement.rcNormalPosition.left = WordOr(words, 1, FForm.Left());
        placement.rcNormalPosition.top = WordOr(words, 2, FForm.Top());
        placement.rcNormalPosition.right = WordOr(words, 3, FForm.Width());
        placement.rcNormalPosition.bottom = WordOr(words, 4, FForm.Height());
    }

    const int pixelsPerInch = ScreenPixelsPerInch();
    const bool dataFound = (!minMax.empty() || !norm.empty()) &&
                           storage.ReadInteger(PathOf(PixelsPerInchKey), pixelsPerInch) == pixelsPerInch;
    if (dataFound && placement.rcNormalPosition.right > placement.rcNormalPosition.left) {
        FForm.SetPosition(poDesigned);   // no centring after the show notification
        ::SetWindowPlacement(wnd, &placement);
    }

    TWindowState state;
    switch (storage.ReadInteger(PathOf(ShowCmdKey), 0)) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        state = wsMinimized;
        break;
    case SW_SHOWMAXIMIZED:
        state = wsMaximized;
        break;
    default:   // SW_SHOWNORMAL, SW_SHOW, SW_RESTORE and anything unknown
        state = wsNormal;
        break;
    }
    if (state == wsMinimized) {
        // The application minimizes as soon as its message loop runs.
        FForm.SetWindowState(wsNormal);
        if (HWND application = Application().Handle())
            ::PostMessageA(application, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return;
    }
    FForm.SetWindowState(state);
    FForm.Repaint();
}

TPixelScale TJvFormPlacement::StoredScale()
{
    const int screen = ScreenPixelsPerInch();
    int stored = screen;
    try {
        stored = FAppStorage.ReadInteger(PathOf(PixelsPerInchKey), screen);
    } catch (const EConvertError&) {
        return {screen, screen};
    }
    if (screen <= 0 || stored < LeastPixelsPerInch || stored > MostPixelsPerInch)
        return {screen, screen};
    return {screen, stored};
}

void TJvFormPlacement::SetMaximizedPosition()
{
    HWND wnd = FForm.Handle();
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!wnd || !::GetWindowPlacement(wnd, &placement))
        return;
    if (!::IsWindowVisible(wnd))
        placement.showCmd = SW_HIDE;
    // The form has a sizeable border.
    placement.ptMaxPosition.x = -::GetSystemMetrics(SM_CXFRAME);
    placement.ptMaxPosition.y = -::GetSystemMetrics(SM_CYFRAME);
    ::SetWindowPlacement(wnd, &placement);
}

// --- TJvFormStorage -------------------------------------------------------

TJvFormStorage::TJvFormStorage(TForm& Owner, std::string Name, TJvAppIniFileStorage& AppStorage,
                               std::string_view AppStoragePath, std::vector<std::string> StoredProps)
    : TJvFormPlacement(Owner, std::move(Name), AppStorage, AppStoragePath), FStoredProps(std::move(StoredProps))
{
}

void TJvFormStorage::BindProperties()
{
    FBound.clear();
    for (const std::string& text : FStoredProps) {
        std::size_t dot = text.find('.');
        if (dot == std::string::npos)
            continue;
        std::string_view component = TrimBlanks(std::string_view(text).substr(0, dot));
        std::string_view property = TrimBlanks(std::string_view(text).substr(dot + 1));
        if (component.empty() || property.empty())
            continue;
        TComponent* member = Form().FindComponent(component);
        if (!member)
            continue;
        if (std::optional<TPublishedProperty> published = FindPublishedProperty(*member, property))
            FBound.push_back({JoinStoragePaths({AppStoragePath(), member->Name() + "_" + published->Name}),
                              std::move(*published)});
    }
}

void TJvFormStorage::SaveProperties()
{
    for (const TBoundProperty& bound : FBound)
        bound.Property.Save(AppStorage(), bound.Path);
}

void TJvFormStorage::RestoreProperties()
{
    TJvAppIniFileStorage& storage = AppStorage();
    const TPixelScale scale = StoredScale();
    for (const TBoundProperty& bound : FBound)
        if (storage.ValueExists(bound.Path) || storage.SectionExists(bound.Path))
            bound.Property.Restore(storage, bound.Path, scale);
}
