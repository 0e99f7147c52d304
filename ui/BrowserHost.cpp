#include "ui/BrowserHost.h"

#include <urlmon.h>

#include "ui/BrowserHostSite.h"

namespace {

// Pages opened from the local disk run in the local machine zone; with the
// lockdown on, that zone is as strict as the Internet zone. It must be on
// before the process makes its first browser object.
void LockDownLocalMachineZone()
{
    static const HRESULT result =
        ::CoInternetSetFeatureEnabled(FEATURE_LOCALMACHINE_LOCKDOWN, SET_FEATURE_ON_PROCESS, TRUE);
    ThrowIfFailed(result, "Cannot lock down the local machine zone", "CoInternetSetFeatureEnabled");
}

} // namespace

TBrowserHost::TBrowserHost(TComponent* Owner, std::string Name)
    : TBrowserHost(Owner, std::move(Name), CLSID_WebBrowser)
{
}

TBrowserHost::TBrowserHost(TComponent* Owner, std::string Name, const CLSID& ControlClass)
    : TControl(Owner, std::move(Name)), FControlClass(ControlClass)
{
}

TBrowserHost::~TBrowserHost()
{
    ReleaseBrowser();
}

IDispatch* TBrowserHost::EventSink() const
{
    return FBrowser ? static_cast<IDispatch*>(FEvents.Get()) : nullptr;
}

void TBrowserHost::AfterCreateWnd()
{
    TControl::AfterCreateWnd();
    CreateBrowser();
}

void TBrowserHost::CreateBrowser()
{
    FCreateError.reset();
    try {
        LockDownLocalMachineZone();
        ThrowIfFailed(::CoCreateInstance(FControlClass, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                         reinterpret_cast<void**>(FObject.Put())),
                      "Cannot create the web browser control", "CoCreateInstance");
        FSite = TBrowserSite::Create(FHandle);
        FEvents = TBrowserEvents::Create();
        IOleClientSite* site = FSite.Get();
        // The site first: the control reads the ambient properties from it.
        ThrowIfFailed(FObject->SetClientSite(site), "Cannot place the web browser control",
                      "IOleObject::SetClientSite");
        if (auto persist = FObject.As<IPersistStreamInit>(IID_IPersistStreamInit))
            ThrowIfFailed(persist->InitNew(), "Cannot initialise the web browser control",
                          "IPersistStreamInit::InitNew");

        auto container = FObject.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
        ThrowIfFailed(container ? container->FindConnectionPoint(DIID_DWebBrowserEvents2, FConnection.Put())
                                : E_NOINTERFACE,
                      "The web browser control reports no events", "IConnectionPointContainer::FindConnectionPoint");
        ThrowIfFailed(FConnection->Advise(static_cast<IDispatch*>(FEvents.Get()), &FCookie),
                      "Cannot watch the web browser control's events", "IConnectionPoint::Advise");

        RECT bounds;
        ::GetClientRect(FHandle, &bounds);
        ThrowIfFailed(FObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, FHandle, &bounds),
                      "Cannot activate the web browser control", "IOleObject::DoVerb");
        FInPlace = FObject.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
        FBrowser = FObject.As<IWebBrowser2>(IID_IWebBrowser2);
        if (!FBrowser)
            throw ESystemError("The control is no web browser", "IUnknown::QueryInterface", E_NOINTERFACE);
        ThrowIfFailed(FBrowser->put_Offline(VARIANT_TRUE), "Cannot take the web browser control offline",
                      "IWebBrowser2::put_Offline");
    } catch (const ESystemError& e) {
        ReleaseBrowser();
        FCreateError = e;
    }
}

void TBrowserHost::ReleaseBrowser()
{
    if (FConnection && FCookie)
        FConnection->Unadvise(FCookie);
    FCookie = 0;
    FConnection.Reset();
    if (FInPlace)
        FInPlace->InPlaceDeactivate();
    FInPlace.Reset();
    FBrowser.Reset();
    if (FObject) {
        FObject->Close(OLECLOSE_NOSAVE);
        FObject->SetClientSite(nullptr);
    }
    FObject.Reset();
    if (FSite)
        FSite->Detach();
    FSite.Reset();
    FEvents.Reset();
}

void TBrowserHost::ThrowNoBrowser() const
{
    if (FCreateError)
        throw *FCreateError;
    throw ESystemError("The web browser control has not been created", "CoCreateInstance", E_UNEXPECTED);
}

void TBrowserHost::Navigate(const std::wstring& Address)
{
    HandleNeeded();
    if (!FBrowser)
        ThrowNoBrowser();
    // Allowed before the call: the control asks the sink while Navigate runs.
    FEvents->SetAllowedAddress(Address);
    HRESULT result = NavigateBrowser(*FBrowser.Get(), Address);
    if (FAILED(result)) {
        // Not the page of the entry shown before.
        FEvents->SetAllowedAddress(BrowserBlankPage);
        NavigateBrowser(*FBrowser.Get(), BrowserBlankPage);
        ThrowIfFailed(result, "Cannot navigate", "IWebBrowser2::Navigate");
    }
}

bool TBrowserHost::Visible() const
{
    VARIANT_BOOL visible = VARIANT_FALSE;
    if (FBrowser && FAILED(FBrowser->get_Visible(&visible)))
        return false;
    return visible != VARIANT_FALSE;
}

void TBrowserHost::SetVisible(bool Value)
{
    if (!FBrowser)
        ThrowNoBrowser();
    ThrowIfFailed(FBrowser->put_Visible(Value ? VARIANT_TRUE : VARIANT_FALSE),
                  "Cannot show or hide the web browser control", "IWebBrowser2::put_Visible");
}

bool TBrowserHost::PreTranslateMessage(MSG& Msg)
{
    return FSite && Msg.message >= WM_KEYFIRST && Msg.message <= WM_KEYLAST && FSite->TranslateKey(Msg);
}

LRESULT TBrowserHost::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_SIZE:
        if (FInPlace) {
            RECT bounds{0, 0, LOWORD(LParam), HIWORD(LParam)};
            FInPlace->SetObjectRects(&bounds, &bounds);
        }
        break;
    case WM_DESTROY:
        ReleaseBrowser();
        break;
    case WM_ERASEBKGND:
        if (FBrowser) // the control paints all of it
            return 1;
        break;
    }
    return TControl::WndProc(Msg, WParam, LParam);
}
