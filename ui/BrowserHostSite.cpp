#include "ui/BrowserHostSite.h"

#include <exdispid.h>
#include <shlwapi.h>

#include <new>
#include <vector>

bool IsRefusedUrlAction(DWORD Action)
{
    return (Action >= URLACTION_DOWNLOAD_MIN && Action <= URLACTION_DOWNLOAD_MAX) ||
           (Action >= URLACTION_ACTIVEX_MIN && Action <= URLACTION_ACTIVEX_MAX) ||
           (Action >= URLACTION_SCRIPT_MIN && Action <= URLACTION_SCRIPT_MAX) ||
           (Action >= URLACTION_JAVA_MIN && Action <= URLACTION_JAVA_MAX) ||
           Action == URLACTION_SHELL_FILE_DOWNLOAD;
}

namespace {

// A file: URL as the local path it names; any other address as it is.
std::wstring LocalAddress(const std::wstring& Address)
{
    if (Address.size() < 5 || ::CompareStringOrdinal(Address.c_str(), 5, L"file:", 5, TRUE) != CSTR_EQUAL)
        return Address;
    std::vector<wchar_t> path(Address.size() + MAX_PATH);
    DWORD length = static_cast<DWORD>(path.size());
    if (FAILED(::PathCreateFromUrlW(Address.c_str(), path.data(), &length, 0)))
        return Address;
    return std::wstring(path.data());
}

bool SameText(const std::wstring& A, const std::wstring& B)
{
    return ::CompareStringOrdinal(A.c_str(), static_cast<int>(A.size()), B.c_str(),
                                  static_cast<int>(B.size()), TRUE) == CSTR_EQUAL;
}

// The BSTR an event argument carries, by value or by reference.
std::wstring ArgumentText(const VARIANT& Argument)
{
    const VARIANT* v = &Argument;
    if (V_VT(v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(v))
        v = V_VARIANTREF(v);
    BSTR text = nullptr;
    if (V_VT(v) == VT_BSTR)
        text = V_BSTR(v);
    else if (V_VT(v) == (VT_BYREF | VT_BSTR) && V_BSTRREF(v))
        text = *V_BSTRREF(v);
    return text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
}

bool ArgumentBool(const VARIANT& Argument)
{
    if (V_VT(&Argument) == VT_BOOL)
        return V_BOOL(&Argument) != VARIANT_FALSE;
    if (V_VT(&Argument) == (VT_BYREF | VT_BOOL) && V_BOOLREF(&Argument))
        return *V_BOOLREF(&Argument) != VARIANT_FALSE;
    return false;
}

// Sets an event's Cancel argument (a VARIANT_BOOL by reference).
void CancelEvent(VARIANT& Cancel)
{
    if (V_VT(&Cancel) == (VT_BYREF | VT_BOOL) && V_BOOLREF(&Cancel))
        *V_BOOLREF(&Cancel) = VARIANT_TRUE;
}

// The result a COM method returns for the exception being handled.
HRESULT CurrentExceptionResult() noexcept
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

} // namespace

HRESULT NavigateBrowser(IWebBrowser2& Browser, const std::wstring& Address)
{
    BSTR address = ::SysAllocStringLen(Address.data(), static_cast<UINT>(Address.size()));
    if (!address)
        return E_OUTOFMEMORY;
    VARIANT flags, target, postData, headers;
    ::VariantInit(&flags);
    ::VariantInit(&target);
    ::VariantInit(&postData);
    ::VariantInit(&headers);
    V_VT(&flags) = VT_I4;
    V_I4(&flags) = navNoHistory | navNoWriteToCache;
    HRESULT result = Browser.Navigate(address, &flags, &target, &postData, &headers);
    ::SysFreeString(address);
    return result;
}

bool SameBrowserAddress(const std::wstring& Requested, const std::wstring& Reported)
{
    if (Requested.empty() || Reported.empty())
        return false;
    return SameText(Requested, Reported) || SameText(LocalAddress(Requested), LocalAddress(Reported));
}

// ---- TBrowserSite ---------------------------------------------------------

TComPtr<TBrowserSite> TBrowserSite::Create(HWND Window)
{
    TComPtr<TBrowserSite> site;
    *site.Put() = new TBrowserSite(Window); // born with one reference, which `site` holds
    return site;
}

void* TBrowserSite::Find(REFIID Iid)
{
    if (Iid == IID_IUnknown || Iid == IID_IOleClientSite)
        return static_cast<IOleClientSite*>(this);
    if (Iid == IID_IOleWindow || Iid == IID_IOleInPlaceSite)
        return static_cast<IOleInPlaceSite*>(this);
    if (Iid == IID_IOleInPlaceUIWindow || Iid == IID_IOleInPlaceFrame)
        return static_cast<IOleInPlaceFrame*>(this);
    if (Iid == IID_IDispatch)
        return static_cast<IDispatch*>(this);
    if (Iid == IID_IServiceProvider)
        return static_cast<IServiceProvider*>(this);
    if (Iid == IID_IInternetSecurityManager)
        return static_cast<IInternetSecurityManager*>(this);
    if (Iid == IID_IDocHostUIHandler)
        return static_cast<IDocHostUIHandler*>(this);
    return nullptr;
}

void TBrowserSite::Detach()
{
    FWindow = nullptr;
    FActiveObject.Reset();
}

bool TBrowserSite::TranslateKey(MSG& Msg)
{
    return FActiveObject && FActiveObject->TranslateAccelerator(&Msg) == S_OK;
}

HRESULT STDMETHODCALLTYPE TBrowserSite::GetWindow(HWND* Window)
{
    if (!Window)
        return E_POINTER;
    *Window = FWindow;
    return FWindow ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE TBrowserSite::GetWindowContext(IOleInPlaceFrame** Frame,
                                                         IOleInPlaceUIWindow** Doc, LPRECT PosRect,
                                                         LPRECT ClipRect,
                                                         LPOLEINPLACEFRAMEINFO FrameInfo)
{
    if (!Frame || !Doc || !PosRect || !ClipRect || !FrameInfo)
        return E_POINTER;
    *Frame = nullptr;
    *Doc = nullptr;
    if (!FWindow)
        return E_FAIL;
    *Frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    ::GetClientRect(FWindow, PosRect);
    *ClipRect = *PosRect;
    FrameInfo->fMDIApp = FALSE;
    FrameInfo->hwndFrame = ::GetAncestor(FWindow, GA_ROOT);
    FrameInfo->haccel = nullptr;
    FrameInfo->cAccelEntries = 0;
    return S_OK;
}

// The control always fills our window; the host sizes it on WM_SIZE.

HRESULT STDMETHODCALLTYPE TBrowserSite::SetActiveObject(IOleInPlaceActiveObject* Object, LPCOLESTR)
{
    FActiveObject.Reset();
    if (Object && FWindow) {
        Object->AddRef();
        *FActiveObject.Put() = Object;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBrowserSite::Invoke(DISPID Member, REFIID, LCID, WORD Flags, DISPPARAMS*,
                                               VARIANT* Result, EXCEPINFO*, UINT*)
{
    if (Member != DISPID_AMBIENT_DLCONTROL)
        return DISP_E_MEMBERNOTFOUND;
    if (!(Flags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    if (!Result)
        return E_POINTER;
    ::VariantInit(Result);
    V_VT(Result) = VT_I4;
    V_I4(Result) = static_cast<LONG>(BrowserDownloadControl);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TBrowserSite::QueryService(REFGUID Service, REFIID Iid, void** Object)
{
    if (!Object)
        return E_POINTER;
    *Object = nullptr;
    // SID_SInternetSecurityManager is the interface's own id.
    if (Service == IID_IInternetSecurityManager)
        return QueryInterface(Iid, Object);
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE TBrowserSite::ProcessUrlAction(LPCWSTR, DWORD Action, BYTE* Policy,
                                                         DWORD PolicySize, BYTE*, DWORD, DWORD, DWORD)
{
    if (!IsRefusedUrlAction(Action))
        return INET_E_DEFAULT_ACTION;
    if (Policy && PolicySize >= sizeof(DWORD)) {
        DWORD disallow = URLPOLICY_DISALLOW;
        ::CopyMemory(Policy, &disallow, sizeof disallow);
    }
    // As the system's own manager answers a disallowed action.
    return S_FALSE;
}

// No context menu at all: what it offers (open, save, print, view source,
// properties) would reach beyond the preview.
HRESULT STDMETHODCALLTYPE TBrowserSite::GetHostInfo(DOCHOSTUIINFO* Info)
{
    if (!Info)
        return E_POINTER;
    // The caller has set the size; no style sheet or namespace of the host's.
    Info->dwFlags = BrowserHostFlags;
    Info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    Info->pchHostCss = nullptr;
    Info->pchHostNS = nullptr;
    return S_OK;
}

// S_OK swallows the key; S_FALSE lets the control handle it (copy, select
// all, Tab, the arrows and the rest).
HRESULT STDMETHODCALLTYPE TBrowserSite::TranslateAccelerator(LPMSG Msg, const GUID*, DWORD)
{
    if (!Msg || (Msg->message != WM_KEYDOWN && Msg->message != WM_SYSKEYDOWN))
        return S_FALSE;
    if (::GetKeyState(VK_CONTROL) >= 0)
        return S_FALSE;
    switch (Msg->wParam) {
    case 'P': // print
    case 'S': // save as
    case 'O': // open
    case 'L': // open
    case 'N': // new window
        return S_OK;
    }
    return S_FALSE;
}

// ---- TBrowserEvents -------------------------------------------------------

TComPtr<TBrowserEvents> TBrowserEvents::Create()
{
    TComPtr<TBrowserEvents> events;
    *events.Put() = new TBrowserEvents; // born with one reference, which `events` holds
    return events;
}

void* TBrowserEvents::Find(REFIID Iid)
{
    if (Iid == IID_IUnknown || Iid == IID_IDispatch || Iid == DIID_DWebBrowserEvents2)
        return static_cast<IDispatch*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE TBrowserEvents::Invoke(DISPID Member, REFIID, LCID, WORD, DISPPARAMS* Params,
                                                 VARIANT*, EXCEPINFO*, UINT*)
{
    if (!Params || !Params->rgvarg)
        return S_OK;
    try {
        HandleEvent(Member, *Params);
        return S_OK;
    } catch (...) {
        // A navigation that could not be checked does not go ahead.
        if (Member == DISPID_BEFORENAVIGATE2 && Params->cArgs == 7)
            CancelEvent(Params->rgvarg[0]);
        return CurrentExceptionResult();
    }
}

// The arguments arrive last first: rgvarg[0] is the event's last parameter.
void TBrowserEvents::HandleEvent(DISPID Member, DISPPARAMS& Params)
{
    VARIANT* args = Params.rgvarg;
    switch (Member) {
    case DISPID_BEFORENAVIGATE2: // pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel
        if (Params.cArgs == 7 && !SameBrowserAddress(FAllowed, ArgumentText(args[5])))
            CancelEvent(args[0]);
        break;
    case DISPID_NAVIGATEERROR: // pDisp, URL, Frame, StatusCode, Cancel
        if (Params.cArgs == 5) {
            CancelEvent(args[0]); // no error page of the control's own
            ShowBlankPage(args[4]);
        }
        break;
    case DISPID_NEWWINDOW2: // ppDisp, Cancel
        if (Params.cArgs == 2)
            CancelEvent(args[0]);
        break;
    case DISPID_NEWWINDOW3: // ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl
        if (Params.cArgs == 5)
            CancelEvent(args[3]);
        break;
    case DISPID_FILEDOWNLOAD: // [ActiveDocument,] Cancel
        // Newer controls announce the document itself too (ActiveDocument
        // true); that one must load.
        if (Params.cArgs == 1 || (Params.cArgs == 2 && !ArgumentBool(args[1])))
            CancelEvent(args[0]);
        break;
    }
}

// Browser: the event's pDisp, the control (or frame) whose navigation failed.
void TBrowserEvents::ShowBlankPage(const VARIANT& Browser)
{
    if (FAllowed == BrowserBlankPage) // the empty page itself failed: nothing more to try
        return;
    IDispatch* dispatch = V_VT(&Browser) == VT_DISPATCH ? V_DISPATCH(&Browser) : nullptr;
    TComPtr<IWebBrowser2> browser;
    if (dispatch)
        dispatch->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(browser.Put()));
    FAllowed = BrowserBlankPage;
    if (browser)
        NavigateBrowser(*browser.Get(), FAllowed);
}
