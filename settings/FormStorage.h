// The form storage: keeps a form's placement (TJvFormPlacement) and chosen
// published properties of its members (TJvFormStorage) in a
// TJvAppIniFileStorage from one run to the next.
//
// Once the form's layout has been loaded (Loaded), the component watches the
// form (TFormWatcher): showing restores the stored settings before the form's
// OnShow, a close that the form's OnCloseQuery allows saves them into the
// storage's document, and destruction saves them before the form's OnDestroy
// when no save has been done since the last restore. The end of the session
// saves as a close does and writes the settings file at once, for the last
// time in the run.
//
// What the layout sets is fixed here: the show state, size and location are
// kept (fpState, fpSize, fpLocation), and a restore needs a stored
// "FormVersion" of at least Version (fpvcCheckGreaterEqual).
//
// Classes in this file: TJvFormPlacement, TPublishedProperty, TJvFormStorage.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/AppIniFileStorage.h"
#include "ui/Form.h"

// The screen-size suffix of the placement keys: "(<width>x<height>)" of the primary screen.
std::string ScreenSizeSuffix();

// Pixel values read from the storage were saved at Stored pixels per inch and
// are shown at Screen; the two are equal when nothing is to be scaled.
struct TPixelScale {
    int Screen = 96;
    int Stored = 96;
};

class TJvFormPlacement : public TComponent, public TFormWatcher {
public:
    // AppStoragePath: the root of every path used; "%FORM_NAME%" (first
    // occurrence, letter case ignored) becomes the form's Name and a missing
    // final '\' is added.
    TJvFormPlacement(TForm& Owner, std::string Name, TJvAppIniFileStorage& AppStorage,
                     std::string_view AppStoragePath);
    // Stops watching the form.
    ~TJvFormPlacement() override;

    TJvAppIniFileStorage& AppStorage() const { return FAppStorage; }
    const std::string& AppStoragePath() const { return FAppStoragePath; }
    // The layout version, written as "FormVersion".
    static constexpr int Version = 0;

    // The layout has been loaded: watches the form, binds what the component
    // stores, and lets the storage read its file.
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

    // The screen's pixels per inch over the stored "PixelsPerInch" when that
    // differs and is a value a screen can have; otherwise no scale. A value
    // that is not an integer scales nothing.
    TPixelScale StoredScale();

    // What a derived storage keeps besides the placement.
    virtual void BindProperties() {}
    virtual void SaveProperties() {}
    virtual void RestoreProperties() {}

private:
    void FormShow(TForm& Sender) override;
    void FormCloseQuery(TForm& Sender, bool& CanClose) override;
    void FormDestroy(TForm& Sender) override;
    void FormEndSession(TForm& Sender) override;

    std::string PathOf(std::string_view Key) const;
    void SavePlacement();
    void RestorePlacement();
    void SetMaximizedPosition();

    TForm& FForm;
    TJvAppIniFileStorage& FAppStorage;
    std::string FAppStoragePath;
    bool FSaved = false;   // a save has been done since the last restore
};

// A published property as the form storage sees it: its declared name, and
// how it is written at and read from a storage path (its pixel values scaled
// to the screen).
struct TPublishedProperty {
    std::string Name;
    std::function<void(TJvAppIniFileStorage& Storage, const std::string& Path)> Save;
    std::function<void(TJvAppIniFileStorage& Storage, const std::string& Path, TPixelScale Scale)> Restore;
};

class TJvFormStorage : public TJvFormPlacement {
public:
    // StoredProps: "<component>.<property>" entries; Loaded binds those that
    // name a member of the form and a property it publishes.
    TJvFormStorage(TForm& Owner, std::string Name, TJvAppIniFileStorage& AppStorage, std::string_view AppStoragePath,
                   std::vector<std::string> StoredProps);

protected:
    void BindProperties() override;
    void SaveProperties() override;
    void RestoreProperties() override;

private:
    struct TBoundProperty {
        std::string Path;   // AppStoragePath, then "<component name>_<property name>"
        TPublishedProperty Property;
    };

    std::vector<std::string> FStoredProps;
    std::vector<TBoundProperty> FBound;
};
