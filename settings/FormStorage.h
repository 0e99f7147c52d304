// The form storage: keeps a form's placement (TJvFormPlacement) and chosen
// published properties of its members (TJvFormStorage) in a
// TJvAppIniFileStorage from one run to the next.
//
// Once the form's layout has been loaded (Loaded), the component takes over
// the form's show, close-query, destroy and end-of-session notifications:
// showing restores the stored settings, a close that goes ahead saves them
// into the storage's document, and destruction saves them when no save has
// been done since the last restore. The end of the session saves as a close
// does and writes the settings file at once, for the last time in the run. The remembered handlers of the form run as before and are put
// back when the component is destroyed.
//
// Classes in this file: TPlacementOptions, TJvFormPlacement, TJvFormStorage,
// TPublishedProperty.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/AppIniFileStorage.h"
#include "ui/Form.h"
#include "ui/ListView.h"

enum TPlacementOption { fpState, fpSize, fpLocation, fpActiveControl };

class TPlacementOptions {
public:
    TPlacementOptions() = default;
    TPlacementOptions(std::initializer_list<TPlacementOption> Options)
    {
        for (TPlacementOption option : Options)
            FBits |= 1u << option;
    }
    bool Contains(TPlacementOption Option) const { return (FBits & (1u << Option)) != 0; }
    bool operator==(const TPlacementOptions&) const = default;

private:
    unsigned FBits = 0;
};

// When a stored "FormVersion" allows a restore.
enum TJvFormPlacementVersionCheck {
    fpvcNocheck,             // always
    fpvcCheckGreaterEqual,   // stored version >= Version
    fpvcCheckEqual,          // stored version == Version
};

// The screen-size suffix of the placement keys: "(<width>x<height>)" of the primary screen.
std::string ScreenSizeSuffix();

class TJvFormPlacement : public TComponent {
public:
    TJvFormPlacement(TForm& Owner, std::string Name);
    // Puts the form's remembered handlers back.
    ~TJvFormPlacement() override;

    TJvAppIniFileStorage* AppStorage() const { return FAppStorage; }
    void SetAppStorage(TJvAppIniFileStorage* Value) { FAppStorage = Value; }
    // The root of every path used; "%FORM_NAME%" (first occurrence, letter case
    // ignored) becomes the form's Name and a missing final '\' is added.
    const std::string& AppStoragePath() const { return FAppStoragePath; }
    void SetAppStoragePath(std::string_view Value);
    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    TPlacementOptions Options() const { return FOptions; }
    void SetOptions(TPlacementOptions Value) { FOptions = Value; }
    // The layout version, written as "FormVersion".
    int Version() const { return FVersion; }
    void SetVersion(int Value) { FVersion = Value; }
    TJvFormPlacementVersionCheck VersionCheck() const { return FVersionCheck; }
    void SetVersionCheck(TJvFormPlacementVersionCheck Value) { FVersionCheck = Value; }

    // Whether a save has been done since the last restore.
    bool Saved() const { return FSaved; }

    // The layout has been loaded: takes over the notifications, binds what
    // the component stores, and lets the storage read its file.
    void Loaded();

    // Writes "FormVersion", the placement and the stored properties into the
    // storage's document, and marks the save as done.
    void SaveWindowSettings();
    // Applies what the storage holds. A conversion error in "FormVersion",
    // "PixelsPerInch" or "ShowCmd" ends the restore there and is thrown
    // (EConvertError) for the caller to report.
    void RestoreWindowSettings();

protected:
    TForm& Form() const { return FForm; }
    std::string PathOf(std::string_view Key) const;

    // What a derived storage keeps besides the placement.
    virtual void BindProperties() {}
    virtual void SaveProperties() {}
    virtual void RestoreProperties() {}

private:
    bool Enabled() const { return FActive && FAppStorage; }
    bool StoresPlacement() const;
    void TakeOverNotifications();
    void PutBackNotifications();
    void FormShow(TForm& Sender);
    void FormCloseQuery(TForm& Sender, bool& CanClose);
    void FormDestroy(TForm& Sender);
    void FormEndSession(TForm& Sender);

    void SavePlacement();
    void RestorePlacement();
    void SetMaximizedPosition();
    bool VersionAccepted(int StoredVersion) const;

    TForm& FForm;
    TJvAppIniFileStorage* FAppStorage = nullptr;
    std::string FAppStoragePath;
    bool FActive = true;
    TPlacementOptions FOptions{fpState, fpSize, fpLocation};
    int FVersion = 0;
    TJvFormPlacementVersionCheck FVersionCheck = fpvcCheckGreaterEqual;
    bool FSaved = false;

    bool FTookOver = false;
    std::function<void(TForm&)> FSavedOnShow;
    std::function<void(TForm&, bool&)> FSavedOnCloseQuery;
    std::function<void(TForm&)> FSavedOnDestroy;
    std::function<void(TForm&)> FSavedOnEndSession;
};

// A published property as the form storage sees it: its declared name, and
// how it is written at and read from a storage path.
struct TPublishedProperty {
    std::string Name;
    std::function<void(TJvAppIniFileStorage& Storage, const std::string& Path)> Save;
    std::function<void(TJvAppIniFileStorage& Storage, const std::string& Path)> Restore;
};

// The published property of that name (letter case ignored) of a component;
// nothing when the component does not publish it. Known: a list view's Columns.
std::optional<TPublishedProperty> FindPublishedProperty(TComponent& Component, std::string_view Name);

// The most columns a stored list may hold; a larger "Count" is no stored list.
constexpr int MaxStoredColumns = 1000;

// Saves a list view's columns under Path as a list: "Count", then one section
// "Item<i>" per column with its eight properties. Nothing while read-only.
void SaveListColumns(const TListColumns& Columns, TJvAppIniFileStorage& Storage, const std::string& Path);
// Rebuilds the columns from what SaveListColumns wrote; with no "Count", or a
// negative one or one above MaxStoredColumns, they stay as they are. A column
// whose keys cannot be read keeps what was read of it; a "Count" that cannot
// be read leaves no column.
void RestoreListColumns(TListColumns& Columns, TJvAppIniFileStorage& Storage, const std::string& Path);

class TJvFormStorage : public TJvFormPlacement {
public:
    TJvFormStorage(TForm& Owner, std::string Name);
    // With the layout's values: the storage, the root path (expanded) and the entries.
    TJvFormStorage(TForm& Owner, std::string Name, TJvAppIniFileStorage* AppStorage, std::string_view AppStoragePath,
                   std::vector<std::string> StoredProps);

    // "<component>.<property>" entries; after Loaded only those that name a
    // member of the form remain.
    std::vector<std::string> StoredProps() const;
    void SetStoredProps(std::vector<std::string> Value);
    // Sub-path of the stored properties below AppStoragePath.
    const std::string& StoredPropsPath() const { return FStoredPropsPath; }
    void SetStoredPropsPath(std::string Value) { FStoredPropsPath = std::move(Value); }

protected:
    void BindProperties() override;
    void SaveProperties() override;
    void RestoreProperties() override;

private:
    struct TStoredProp {
        std::string Text;
        TComponent* Component = nullptr;
        std::string Property;
    };
    // The path of a bound entry and its property; nothing when not published.
    std::optional<TPublishedProperty> Resolve(const TStoredProp& Prop, std::string& Path) const;

    std::vector<TStoredProp> FStoredProps;
    std::string FStoredPropsPath;
};
