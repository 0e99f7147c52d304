// The COM objects behind TBrowserHost: the OLE site that embeds the WebBrowser
// control in our window, and the sink of its DWebBrowserEvents2.
//
// Both are heap objects that free themselves on their last Release, as COM
// objects do (TComObject): the control may keep a reference after we let it
// go. Neither points back at the TBrowserHost; the site knows only the
// window, and the host detaches it when the window goes.
//
// The site keeps untrusted pages inert and the view offline: it reports
// download-control flags that turn off scripts, Java, ActiveX, behaviours,
// client pull and frames (images stay on, from the cache only), it serves a
// security manager that refuses the script, ActiveX, Java and download
// actions, and as the document's UI handler it shows no context menu and
// swallows the print, save, open and new-window keys. The sink refuses every
// navigation but the one the host asked for, new windows and file downloads,
// and shows an empty page when a navigation fails.
//
// No method lets an exception out: the sink's Invoke, the one that allocates,
// turns a failure into E_OUTOFMEMORY or E_FAIL; the others call only the
// system's C and COM functions.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <exdisp.h>
#include <mshtmdid.h>
#include <mshtmhst.h>
#include <servprov.h>
#include <urlmon.h>

#include <string>

#include "base/ComObject.h"
#include "base/Handle.h"

// The download-control flags the site reports as DISPID_AMBIENT_DLCONTROL.
constexpr DWORD BrowserDownloadControl =
    DLCTL_DLIMAGES | DLCTL_NO_SCRIPTS | DLCTL_NO_JAVA | DLCTL_NO_RUNACTIVEXCTLS |
    DLCTL_NO_DLACTIVEXCTLS | DLCTL_NO_BEHAVIORS | DLCTL_NO_CLIENTPULL | DLCTL_NO_FRAMEDOWNLOAD |
    DLCTL_SILENT | DLCTL_FORCEOFFLINE;

// The host's flags the site reports from GetHostInfo: the view draws no 3-D
// border of its own, and scales pages to the screen's pixels per inch (the
// program declares itself DPI-aware, so the system stretches nothing for it).
constexpr DWORD BrowserHostFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DPI_AWARE;

// The empty page the view shows when a navigation fails.
constexpr wchar_t BrowserBlankPage[] = L"about:blank";

// Tells the control to go to Address without a history record and without
// writing to the cache (Flags navNoHistory | navNoWriteToCache; no target
// frame, post data or headers). The control's own result.
HRESULT NavigateBrowser(IWebBrowser2& Browser, const std::wstring& Address);

// True for the URL actions the site's security manager refuses: running
// script, ActiveX controls and Java, and downloading code or files.
bool IsRefusedUrlAction(DWORD Action);

// Whether an address the control reports (often a file: URL) names the same
// document as the address it was asked to navigate to (often a plain path).
// Letter case is ignored.
bool SameBrowserAddress(const std::wstring& Requested, const std::wstring& Reported);

class TBrowserSite final : public TDispatchObject<IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame, IDispatch,
                                                  IServiceProvider, IInternetSecurityManager, IDocHostUIHandler> {
public:
    // Window: where the control is placed, our host's window.
    static TComPtr<TBrowserSite> Create(HWND Window);
    // The window is going: the site answers no more window requests and lets
    // the control's active object go.
    void Detach();
    // Offers a keyboard message to the control's active object first; true
    // when the control has handled it.
    bool TranslateKey(MSG& Msg);

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** Out) override { return NoObject(Out, E_NOTIMPL); }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** Out) override { return NoObject(Out, E_NOINTERFACE); }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the in-place site and the frame)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* Window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return FWindow ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** Frame, IOleInPlaceUIWindow** Doc,
                                               LPRECT PosRect, LPRECT ClipRect,
                                               LPOLEINPLACEFRAMEINFO FrameInfo) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow, IOleInPlaceFrame: a frame without tools or menus.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS Widths) override
    {
        return Widths ? INPLACE_E_NOTOOLSPACE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* Object, LPCOLESTR) override;
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    // (IDocHostUIHandler's EnableModeless too.)
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch: the ambient properties.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID Member, REFIID, LCID, WORD Flags, DISPPARAMS*,
                                     VARIANT* Result, EXCEPINFO*, UINT*) override;

    // IServiceProvider: hands out the security manager.
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID Service, REFIID Iid, void** Object) override;

    // IInternetSecurityManager: refuses the actions of IsRefusedUrlAction,
    // leaves everything else to the system's own manager.
    HRESULT STDMETHODCALLTYPE SetSecuritySite(IInternetSecurityMgrSite*) override { return INET_E_DEFAULT_ACTION; }
    HRESULT STDMETHODCALLTYPE GetSecuritySite(IInternetSecurityMgrSite** Out) override
    {
        return NoObject(Out, INET_E_DEFAULT_ACTION);
    }
    HRESULT STDMETHODCALLTYPE MapUrlToZone(LPCWSTR, DWORD*, DWORD) override { return INET_E_DEFAULT_ACTION; }
    HRESULT STDMETHODCALLTYPE GetSecurityId(LPCWSTR, BYTE*, DWORD*, DWORD_PTR) override
    {
        return INET_E_DEFAULT_ACTION;
    }
    HRESULT STDMETHODCALLTYPE ProcessUrlAction(LPCWSTR, DWORD Action, BYTE* Policy, DWORD PolicySize,
                                               BYTE*, DWORD, DWORD, DWORD) override;
    HRESULT STDMETHODCALLTYPE QueryCustomPolicy(LPCWSTR, REFGUID, BYTE**, DWORD*, BYTE*, DWORD,
                                                DWORD) override { return INET_E_DEFAULT_ACTION; }
    HRESULT STDMETHODCALLTYPE SetZoneMapping(DWORD, LPCWSTR, DWORD) override { return INET_E_DEFAULT_ACTION; }
    HRESULT STDMETHODCALLTYPE GetZoneMappings(DWORD, IEnumString**, DWORD) override { return INET_E_DEFAULT_ACTION; }

    // IDocHostUIHandler: the host's flags BrowserHostFlags, no context menu,
    // no print, save, open or new-window keys; everything else as the control
    // does it by default.
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* Info) override;
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                     IOleInPlaceUIWindow*) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG Msg, const GUID*, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* Key, DWORD) override { return NoObject(Key, E_NOTIMPL); }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** Out) override
    {
        return NoObject(Out, E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** External) override { return NoObject(External, E_NOTIMPL); }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* Url) override { return NoObject(Url, S_FALSE); }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** Out) override
    {
        return NoObject(Out, S_FALSE);
    }

private:
    explicit TBrowserSite(HWND Window) : FWindow(Window) {}
    void* Find(REFIID Iid) override;

    HWND FWindow;
    // What the control last handed to SetActiveObject.
    TComPtr<IOleInPlaceActiveObject> FActiveObject;
};

// The DWebBrowserEvents2 sink: cancels every navigation but the one to the
// allowed address, every new window and every download of a file that is not
// the document itself. A navigation that fails shows the empty page instead
// of the control's error page (and instead of the page shown before).
class TBrowserEvents final : public TDispatchObject<IDispatch> {
public:
    static TComPtr<TBrowserEvents> Create();
    // The address Navigate is about to go to; empty allows nothing.
    void SetAllowedAddress(std::wstring Address) { FAllowed = std::move(Address); }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID Member, REFIID, LCID, WORD, DISPPARAMS* Params,
                                     VARIANT*, EXCEPINFO*, UINT*) override;

private:
    TBrowserEvents() = default;
    void* Find(REFIID Iid) override;
    void HandleEvent(DISPID Member, DISPPARAMS& Params);
    void ShowBlankPage(const VARIANT& Browser);

    std::wstring FAllowed;
};
