#include "ui/BrowserHost.h"

#include <urlmon.h>

#include <cstdio>

#include "ui/BrowserHostSite.h"

namespace {

std::string SystemMessage(HRESULT Result)
{
    // Codes made from a Windows error find their text under that error.
    DWORD id = HRESULT_FACILITY(Result) == FACILITY_WIN32 ? HRESULT_CODE(Result) : static_cast<DWORD>(Result);
    char* buffer = nullptr;
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                        FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, id, 0,
                                    reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text(buffer ? buffer : "", length);
    if (buffer)
        ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                             text.back() == '.'))
        text.pop_back();
    return text;
}

std::string OleErrorText(const std::string& What, HRESULT Result)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(Result));
    std::string message = SystemMessage(Result);
    return What + (message.empty() ? std::string() : ": " + message) + " (" + code + ")";
}

void Check(HRESULT Result, const char* What)
{
    if (FAILED(Result))
        throw EOleError(What, Result);
}

// Pages opened from the local disk run in the local machine zone; with the
// lockdown on, that zone is as strict as the Internet zone. It must be on
// before the process makes its first browser object.
void LockDownLocalMachineZone()
{
    static const HRESULT result =
        ::CoInternetSetFeatureEnabled(FEATURE_LOCALMACHINE_LOCKDOWN, SET_FEATURE_ON_PROCESS, TRUE);
    Check(result, "Cannot lock down the local machine zone");
}

} // namespace

EOleError::EOleError(const std::string& What, HRESULT Result)
    : std::runtime_error(OleErrorText(What, Result)), FResult(Result)
{
}

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
        Check(::CoCreateInstance(FControlClass, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                 reinterpret_cast<void**>(FObject.Put())),
              "Cannot create the web browser control");
        FSite = TBrowserSite::Create(FHandle);
        FEvents = TBrowserEvents::Create();
        IOleClientSite* site = FSite.Get();
        // The site first: the control reads the ambient properties from it.
        Check(FObject->SetClientSite(site), "Cannot place the web browser control");
        if (auto persist = FObject.As<IPersistStreamInit>(IID_IPersistStreamInit))
            Check(persist->InitNew(), "Cannot initialise the web browser control");

        auto container = FObject.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
        if (!container)
            Check(E_NOINTERFACE, "The web browser control reports no events");
        Check(container->FindConnectionPoint(DIID_DWebBrowserEvents2, FConnection.Put()),
              "The web browser control reports no events");
        Check(FConnection->Advise(static_cast<IDispatch*>(FEvents.Get()), &FCookie),
              "Cannot watch the web browser control's events");

        RECT bounds;
        ::GetClientRect(FHandle, &bounds);
        Check(FObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, FHandle, &bounds),
              "Cannot activate the web browser control");
        FInPlace = FObject.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
        FBrowser = FObject.As<IWebBrowser2>(IID_IWebBrowser2);
        if (!FBrowser)
            Check(E_NOINTERFACE, "The control is no web browser");
        Check(FBrowser->put_Offline(VARIANT_TRUE), "Cannot take the web browser control offline");
    } catch (const EOleError& e) {
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
    throw EOleError("The web browser control has not been created", E_UNEXPECTED);
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
        Check(result, "Cannot navigate");
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
    Check(FBrowser->put_Visible(Value ? VARIANT_TRUE : VARIANT_FALSE),
          "Cannot show or hide the web browser control");
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
