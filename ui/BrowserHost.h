// TBrowserHost: the system's WebBrowser control, in place in a child window of
// our own, for showing cached pages and images.
//
// Cached pages come from arbitrary web sites and open from the local disk, so
// the host keeps them inert: local-machine lockdown is on for the process
// before the first control is made, the site turns off scripts, Java, ActiveX,
// behaviours, client pull and frames (images still load) and refuses those URL
// actions through its security manager, and the control may not go anywhere
// but the address it was last told to navigate to: no links, refreshes, new
// windows or downloads. The control is offline, so a page never fetches
// anything from the network, and it navigates without recording history or
// writing to the cache. A navigation that fails shows an empty page.
//
// While the focus is inside the control, keyboard messages go to it first
// (PreTranslateMessage), so that Tab, the arrows and Ctrl+C work there.
//
// A failure the control reports at once throws ESystemError; when no control
// could be made, the window still exists (blank) and Navigate / SetVisible
// throw the reason.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <exdisp.h>

#include <optional>
#include <string>

#include "base/Handle.h"
#include "base/SystemError.h"
#include "ui/Control.h"

class TBrowserSite;
class TBrowserEvents;

class TBrowserHost : public TControl {
public:
    TBrowserHost(TComponent* Owner, std::string Name);
    // Hosts the control of another class (tests use a missing one).
    TBrowserHost(TComponent* Owner, std::string Name, const CLSID& ControlClass);
    ~TBrowserHost() override;

    // Navigates to Address (a URL or a plain local path) with the Flags
    // navNoHistory | navNoWriteToCache and TargetFrameName, PostData and
    // Headers empty. Creates the window when it does not exist yet. When the
    // control refuses, it shows the empty page and this throws.
    void Navigate(const std::wstring& Address);

    // The control's automation property Visible (dispatch id 402). Not the
    // window's visibility: these hide TControl's Visible / SetVisible.
    bool Visible() const;
    void SetVisible(bool Value);

    // The hosted control; null until the window exists, or when none could be made.
    IWebBrowser2* Browser() const { return FBrowser.Get(); }
    // The DWebBrowserEvents2 sink advised on the control; null when there is no control.
    IDispatch* EventSink() const;

    bool PreTranslateMessage(MSG& Msg) override;

protected:
    void AfterCreateWnd() override;
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

private:
    void CreateBrowser();
    void ReleaseBrowser();
    // Throws the reason why there is no control.
    [[noreturn]] void ThrowNoBrowser() const;

    CLSID FControlClass;
    TComPtr<TBrowserSite> FSite;
    TComPtr<TBrowserEvents> FEvents;
    TComPtr<IOleObject> FObject;
    TComPtr<IOleInPlaceObject> FInPlace;
    TComPtr<IWebBrowser2> FBrowser;
    TComPtr<IConnectionPoint> FConnection;
    DWORD FCookie = 0;
    std::optional<ESystemError> FCreateError;
};
