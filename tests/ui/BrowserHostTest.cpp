// TBrowserHost with the system's WebBrowser control in a real top-level window.
// Under Wine without Gecko pages do not render; the control is still made,
// navigates and reports through its site and sink as on Windows.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdispid.h>
#include <mshtmdid.h>
#include <mshtmhst.h>
#include <olectl.h>
#include <shlwapi.h>
#include <urlmon.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "ui/Application.h"
#include "ui/BrowserHost.h"
#include "ui/BrowserHostSite.h"
#include "ui/Form.h"

namespace {
bool FailAllocations = false; // while set, every allocation of the test program fails
} // namespace

void* operator new(std::size_t Size)
{
    void* block = FailAllocations ? nullptr : std::malloc(Size ? Size : 1);
    return block ? block : throw std::bad_alloc();
}
#if defined(__GNUC__) && !defined(__clang__)
// GCC takes the blocks of this operator new for those of the standard one.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* Block) noexcept { std::free(Block); }
void operator delete(void* Block, std::size_t) noexcept { std::free(Block); }

namespace {

// Handles messages for the given time.
void PumpMessages(DWORD Milliseconds)
{
    DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < Milliseconds) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// Whether a reported address (a path, or a file: URL) names Path.
bool SameFile(const std::wstring& Path, const std::wstring& Reported)
{
    wchar_t buffer[2 * MAX_PATH];
    DWORD length = ARRAYSIZE(buffer);
    if (::UrlIsFileUrlW(Reported.c_str()))
        return SUCCEEDED(::PathCreateFromUrlW(Reported.c_str(), buffer, &length, 0)) &&
               ::lstrcmpiW(Path.c_str(), buffer) == 0;
    return ::lstrcmpiW(Path.c_str(), Reported.c_str()) == 0;
}

// A fresh folder under the temporary folder, removed with its files.
struct TTempFolder {
    std::filesystem::path Path = std::filesystem::temp_directory_path() /
                                 ("MorvaneBrowser" + std::to_string(::GetCurrentProcessId()) + "_" +
                                  std::to_string(::GetTickCount()));
    TTempFolder() { std::filesystem::create_directories(Path); }
    ~TTempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    std::wstring File(const std::string& Name) const { return (Path / Name).wstring(); }
    std::wstring Write(const std::string& Name, const std::string& Content) const
    {
        std::ofstream(Path / Name, std::ios::binary) << Content;
        return File(Name);
    }
};

class BrowserHostTest : public ::testing::Test {
protected:
    // One window for the suite: under Wine without a window manager, every
    // top-level window that goes away costs two seconds.
    static void SetUpTestSuite()
    {
        Application().Initialize();
        Form = MakeForm<TForm>(nullptr, "BrowserTestForm", "TBrowserTestForm");
        Form->Show();
    }
    static void TearDownTestSuite()
    {
        Form.reset();
    }

    void SetUp() override
    {
        Form->SetBounds(10, 10, 400, 300);
        Host = std::make_unique<TBrowserHost>(Form.get(), "WebBrowser1");
        Host->SetAlign(alClient);
        Host->SetParent(Form.get());
    }

    void TearDown() override { Host.reset(); }

    // The client site the control was given, as the interface asked for.
    template <typename I>
    TComPtr<I> SiteAs(REFIID Iid)
    {
        TComPtr<IOleObject> object;
        EXPECT_TRUE(SUCCEEDED(Host->Browser()->QueryInterface(IID_IOleObject,
                                                              reinterpret_cast<void**>(object.Put()))));
        TComPtr<IOleClientSite> site;
        if (object) {
            EXPECT_EQ(S_OK, object->GetClientSite(site.Put()));
        }
        return site.template As<I>(Iid);
    }

    static inline TFormPtr<TForm> Form;
    std::unique_ptr<TBrowserHost> Host;
};

// Builds the argument list of an event (given first to last) and invokes the sink.
class TEventCall {
public:
    explicit TEventCall(std::vector<VARIANT> Arguments) : FArgs(Arguments.rbegin(), Arguments.rend()) {}
    void Invoke(IDispatch* Sink, DISPID Event)
    {
        DISPPARAMS params{FArgs.data(), nullptr, static_cast<UINT>(FArgs.size()), 0};
        ASSERT_EQ(S_OK, Sink->Invoke(Event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                     nullptr, nullptr, nullptr));
    }

private:
    std::vector<VARIANT> FArgs;
};

// An event argument passed by reference (VT_BYREF | Type).
VARIANT Ref(VARTYPE Type, void* Target)
{
    VARIANT v{};
    V_VT(&v) = static_cast<VARTYPE>(VT_BYREF | Type);
    V_BYREF(&v) = Target;
    return v;
}

VARIANT Bool(bool Value)
{
    VARIANT v{};
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = Value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

// Whether the sink cancels BeforeNavigate2 to Url.
bool BeforeNavigateCancelled(IDispatch* Sink, const std::wstring& Url)
{
    VARIANT url{}, empty{};
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = ::SysAllocString(Url.c_str());
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT* e = &empty;
    TEventCall({VARIANT{}, Ref(VT_VARIANT, &url), Ref(VT_VARIANT, e), Ref(VT_VARIANT, e), Ref(VT_VARIANT, e),
                Ref(VT_VARIANT, e), Ref(VT_BOOL, &cancel)})
        .Invoke(Sink, DISPID_BEFORENAVIGATE2);
    ::VariantClear(&url);
    return cancel != VARIANT_FALSE;
}


// Listens to the control's events after the host's own sink, and records
// each BeforeNavigate2 with the Cancel flag as the host's sink left it.
class TNavigationRecorder final : public IDispatch {
public:
    struct TNavigation {
        std::wstring Url;
        bool Cancelled;
    };
    std::vector<TNavigation> Navigations;

    explicit TNavigationRecorder(IWebBrowser2* Browser)
    {
        TComPtr<IConnectionPointContainer> container;
        Browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Put()));
        if (container && SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, FPoint.Put())))
            FPoint->Advise(this, &FCookie);
    }
    ~TNavigationRecorder()
    {
        if (FCookie)
            FPoint->Unadvise(FCookie);
    }
    bool Advised() const { return FCookie != 0; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override
    {
        bool known = Iid == IID_IUnknown || Iid == IID_IDispatch || Iid == DIID_DWebBrowserEvents2;
        *Object = known ? this : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    // Lives on the stack; the connection ends before it does.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID Member, REFIID, LCID, WORD, DISPPARAMS* Params, VARIANT*,
                                     EXCEPINFO*, UINT*) override
    {
        if (Member != DISPID_BEFORENAVIGATE2 || !Params || Params->cArgs != 7)
            return S_OK;
        const VARIANT& url = Params->rgvarg[5];   // a VARIANT by reference holding a BSTR
        const VARIANT& cancel = Params->rgvarg[0]; // a VARIANT_BOOL by reference
        bool isText = V_VT(&url) == (VT_BYREF | VT_VARIANT) && V_VT(V_VARIANTREF(&url)) == VT_BSTR;
        Navigations.push_back({isText ? V_BSTR(V_VARIANTREF(&url)) : L"",
                               V_VT(&cancel) == (VT_BYREF | VT_BOOL) && *V_BOOLREF(&cancel) != VARIANT_FALSE});
        return S_OK;
    }

private:
    TComPtr<IConnectionPoint> FPoint;
    DWORD FCookie = 0;
};

// Stands in for the control's in-place active object: counts its references,
// records the keys it is offered and handles Tab.
class TActiveObject final : public IOleInPlaceActiveObject {
public:
    LONG Refs = 1;
    std::vector<WPARAM> Keys;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++Refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --Refs; }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG Msg) override
    {
        Keys.push_back(Msg->wParam);
        return Msg->wParam == VK_TAB ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
};

// Records the control's IWebBrowser2::Navigate calls while it lives (slot 11
// of the interface's table: IUnknown's 3, IDispatch's 4, GoBack, GoForward,
// GoHome, GoSearch), and refuses one on request.
class TNavigateSpy {
public:
    static inline std::vector<std::pair<std::wstring, VARIANT>> Calls; // address, Flags
    static inline bool RefuseNext = false;
    explicit TNavigateSpy(IWebBrowser2* Browser) : FSlot(*reinterpret_cast<void***>(Browser) + 11)
    {
        DWORD old;
        ::VirtualProtect(FSlot, sizeof *FSlot, PAGE_READWRITE, &old);
        Real = reinterpret_cast<decltype(Real)>(std::exchange(*FSlot, reinterpret_cast<void*>(&Navigate)));
    }
    ~TNavigateSpy() { *FSlot = reinterpret_cast<void*>(Real); }

private:
    static HRESULT STDMETHODCALLTYPE Navigate(IWebBrowser2* This, BSTR Url, VARIANT* Flags, VARIANT* Frame,
                                              VARIANT* PostData, VARIANT* Headers)
    {
        Calls.emplace_back(Url, *Flags);
        return std::exchange(RefuseNext, false) ? E_ACCESSDENIED : Real(This, Url, Flags, Frame, PostData, Headers);
    }
    static inline HRESULT(STDMETHODCALLTYPE* Real)(IWebBrowser2*, BSTR, VARIANT*, VARIANT*, VARIANT*, VARIANT*);
    void** FSlot;
};

} // namespace

TEST_F(BrowserHostTest, PlacesTheControlInPlaceFillingTheWindow)
{
    ASSERT_NE(nullptr, Host->Browser());
    TComPtr<IOleInPlaceObject> window;
    ASSERT_EQ(S_OK, Host->Browser()->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(window.Put())));
    HWND browserWnd = nullptr;
    ASSERT_EQ(S_OK, window->GetWindow(&browserWnd));
    EXPECT_EQ(Host->Handle(), ::GetParent(browserWnd));

    auto expectFills = [&] {
        RECT host, browser;
        ::GetClientRect(Host->Handle(), &host);
        ::GetWindowRect(browserWnd, &browser);
        EXPECT_EQ(host.right, browser.right - browser.left);
        EXPECT_EQ(host.bottom, browser.bottom - browser.top);
    };
    expectFills();
    Form->SetBounds(10, 10, 520, 380); // the host is client-aligned: it grows with the window
    PumpMessages(50);
    RECT host;
    ::GetClientRect(Host->Handle(), &host);
    EXPECT_GT(host.right, 400);
    expectFills();
}

TEST_F(BrowserHostTest, SiteReportsTheDownloadControlFlagsAsAmbientPropertyAndTheHostsFlags)
{
    ASSERT_NE(nullptr, Host->Browser());
    TComPtr<IDispatch> ambient = SiteAs<IDispatch>(IID_IDispatch);
    ASSERT_TRUE(ambient);

    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    ::VariantInit(&result);
    ASSERT_EQ(S_OK, ambient->Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, LOCALE_USER_DEFAULT,
                                    DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));
    ASSERT_EQ(VT_I4, V_VT(&result));
    const DWORD expected = DLCTL_DLIMAGES | DLCTL_NO_SCRIPTS | DLCTL_NO_JAVA | DLCTL_NO_RUNACTIVEXCTLS |
                           DLCTL_NO_DLACTIVEXCTLS | DLCTL_NO_BEHAVIORS | DLCTL_NO_CLIENTPULL |
                           DLCTL_NO_FRAMEDOWNLOAD | DLCTL_SILENT | DLCTL_FORCEOFFLINE;
    EXPECT_EQ(expected, static_cast<DWORD>(V_I4(&result)));

    // Other ambient properties are left to the control's defaults.
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT,
                                                     DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));

    // No 3-D border, and pages at the screen's scale.
    TComPtr<IDocHostUIHandler> ui = SiteAs<IDocHostUIHandler>(IID_IDocHostUIHandler);
    ASSERT_TRUE(ui);
    DOCHOSTUIINFO info{sizeof(DOCHOSTUIINFO), ~0u, ~0u, nullptr, nullptr};
    ASSERT_EQ(S_OK, ui->GetHostInfo(&info));
    EXPECT_EQ(static_cast<DWORD>(DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DPI_AWARE), info.dwFlags);
}

TEST_F(BrowserHostTest, SecurityManagerRefusesScriptActiveXJavaAndDownloads)
{
    ASSERT_NE(nullptr, Host->Browser());
    TComPtr<IServiceProvider> services = SiteAs<IServiceProvider>(IID_IServiceProvider);
    ASSERT_TRUE(services);
    TComPtr<IInternetSecurityManager> manager;
    ASSERT_EQ(S_OK, services->QueryService(IID_IInternetSecurityManager, IID_IInternetSecurityManager,
                                           reinterpret_cast<void**>(manager.Put())));
    for (DWORD action : {DWORD(URLACTION_SCRIPT_RUN), DWORD(URLACTION_ACTIVEX_RUN), DWORD(URLACTION_JAVA_PERMISSIONS),
                         DWORD(URLACTION_DOWNLOAD_UNSIGNED_ACTIVEX), DWORD(URLACTION_SHELL_FILE_DOWNLOAD)}) {
        DWORD policy = URLPOLICY_ALLOW;
        EXPECT_EQ(S_FALSE, manager->ProcessUrlAction(L"file:///C:/page.htm", action, reinterpret_cast<BYTE*>(&policy),
                                                     sizeof policy, nullptr, 0, PUAF_DEFAULT, 0))
            << std::hex << action;
        EXPECT_EQ(DWORD(URLPOLICY_DISALLOW), policy) << std::hex << action;
    }
    DWORD policy = URLPOLICY_ALLOW;
    EXPECT_EQ(INET_E_DEFAULT_ACTION,
              manager->ProcessUrlAction(L"file:///C:/page.htm", URLACTION_HTML_FONT_DOWNLOAD,
                                        reinterpret_cast<BYTE*>(&policy), sizeof policy, nullptr, 0, PUAF_DEFAULT, 0));
    DWORD zone = 0;
    EXPECT_EQ(INET_E_DEFAULT_ACTION, manager->MapUrlToZone(L"file:///C:/page.htm", &zone, 0));
}

TEST_F(BrowserHostTest, NavigatesToALocalPageAndSetsTheVisibleProperty)
{
    TTempFolder folder;
    std::wstring page = folder.Write("page.htm", "<html><body><p>cached page</p><img src=\"a.gif\"></body></html>");
    EXPECT_NO_THROW(Host->Navigate(page));
    EXPECT_NO_THROW(Host->SetVisible(true));
    EXPECT_TRUE(Host->Visible());
    EXPECT_NO_THROW(Host->SetVisible(false));
    EXPECT_FALSE(Host->Visible());
    EXPECT_TRUE(Host->TControl::Visible()); // the window itself stays shown
    PumpMessages(300);
    EXPECT_NO_THROW(Host->Navigate(page));
}

TEST_F(BrowserHostTest, SinkCancelsEveryNavigationButTheRequestedOne)
{
    IDispatch* sink = Host->EventSink();
    ASSERT_NE(nullptr, sink);
    TTempFolder folder;
    std::wstring page = folder.Write("page[1].htm", "<html><body>page</body></html>");

    // Before any Navigate nothing may load.
    EXPECT_TRUE(BeforeNavigateCancelled(sink, page));

    // As Navigate does (under Wine the page itself fails at once, and the empty page follows it).
    static_cast<TBrowserEvents*>(sink)->SetAllowedAddress(page);
    EXPECT_FALSE(BeforeNavigateCancelled(sink, page));
    // The control may report the path as a file: URL, escaped, in another case.
    wchar_t url[2 * MAX_PATH];
    DWORD length = ARRAYSIZE(url);
    ASSERT_EQ(S_OK, ::UrlCreateFromPathW(page.c_str(), url, &length, 0));
    EXPECT_FALSE(BeforeNavigateCancelled(sink, url)) << url;
    std::wstring upper = page;
    ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    EXPECT_FALSE(BeforeNavigateCancelled(sink, upper));

    // Links, refreshes and scripts go nowhere else.
    EXPECT_TRUE(BeforeNavigateCancelled(sink, folder.File("run.bat")));
    EXPECT_TRUE(BeforeNavigateCancelled(sink, L"file:///C:/windows/system32/cmd.exe"));
    EXPECT_TRUE(BeforeNavigateCancelled(sink, L"http://example.com/"));
    EXPECT_TRUE(BeforeNavigateCancelled(sink, L"javascript:alert(1)"));
    EXPECT_TRUE(BeforeNavigateCancelled(sink, L""));

    // New windows and downloads of files are refused; the document itself loads.
    VARIANT_BOOL cancel[4] = {};
    VARIANT window{};
    TEventCall({Ref(VT_VARIANT, &window), Ref(VT_BOOL, &cancel[0])}).Invoke(sink, DISPID_NEWWINDOW2);
    TEventCall({Ref(VT_VARIANT, &window), Ref(VT_BOOL, &cancel[1]), VARIANT{}, VARIANT{}, VARIANT{}})
        .Invoke(sink, DISPID_NEWWINDOW3);
    TEventCall({Bool(false), Ref(VT_BOOL, &cancel[2])}).Invoke(sink, DISPID_FILEDOWNLOAD);
    TEventCall({Bool(true), Ref(VT_BOOL, &cancel[3])}).Invoke(sink, DISPID_FILEDOWNLOAD);
    EXPECT_EQ(VARIANT_TRUE, cancel[0]) << "NewWindow2";
    EXPECT_EQ(VARIANT_TRUE, cancel[1]) << "NewWindow3";
    EXPECT_EQ(VARIANT_TRUE, cancel[2]) << "FileDownload of a file";
    EXPECT_EQ(VARIANT_FALSE, cancel[3]) << "FileDownload of the document itself";
}

TEST_F(BrowserHostTest, ControlMayGoOnlyWhereNavigateSentIt)
{
    ASSERT_NE(nullptr, Host->Browser());
    TNavigationRecorder recorder(Host->Browser());
    ASSERT_TRUE(recorder.Advised());
    TTempFolder folder;
    std::wstring page = folder.Write("page.htm", "<html><body>page</body></html>");
    std::wstring other = folder.Write("other.htm", "<html><body>other</body></html>");

    Host->Navigate(page);
    // What a link or a script of the page would do: the control told directly.
    BSTR address = ::SysAllocString(other.c_str());
    VARIANT empty{};
    Host->Browser()->Navigate(address, &empty, &empty, &empty, &empty);
    ::SysFreeString(address);
    PumpMessages(200);

    // Under Wine, which renders nothing, the page fails and the empty page follows it.
    std::erase_if(recorder.Navigations, [](const auto& n) { return n.Url == BrowserBlankPage; });
    ASSERT_EQ(2u, recorder.Navigations.size());
    EXPECT_FALSE(recorder.Navigations[0].Cancelled) << recorder.Navigations[0].Url;
    EXPECT_TRUE(SameFile(page, recorder.Navigations[0].Url)) << recorder.Navigations[0].Url;
    EXPECT_TRUE(recorder.Navigations[1].Cancelled) << recorder.Navigations[1].Url;
    EXPECT_TRUE(SameFile(other, recorder.Navigations[1].Url)) << recorder.Navigations[1].Url;
}

TEST_F(BrowserHostTest, SinkAnswersAFailureWithAnErrorAndRefusesTheNavigation)
{
    VARIANT url{}, none{};
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = ::SysAllocString(L"http://example.com/an/address/too/long/for/a/short/string");
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[7] = {Ref(VT_BOOL, &cancel), none, none, none, none, Ref(VT_VARIANT, &url), none};
    DISPPARAMS params{args, nullptr, 7, 0};
    FailAllocations = true; // the address cannot be copied
    HRESULT result = E_UNEXPECTED;
    try {
        result = Host->EventSink()->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                                           nullptr, nullptr);
    } catch (...) {
    }
    FailAllocations = false;
    ::VariantClear(&url);
    EXPECT_EQ(E_OUTOFMEMORY, result);
    EXPECT_EQ(VARIANT_TRUE, cancel);
}

TEST_F(BrowserHostTest, KeysGoFirstToTheActiveObjectWhileTheFocusIsInTheView)
{
    // OLE, not COM alone, for the clipboard and drag and drop (on a thread of
    // its own: the control itself may have started OLE on this one).
    HRESULT again = S_OK;
    std::thread([&] {
        TApplication app;
        app.Initialize();
        again = ::OleInitialize(nullptr); // S_FALSE: running on this thread already
        ::OleUninitialize();
    }).join();
    EXPECT_EQ(S_FALSE, again);
    TComPtr<IOleInPlaceFrame> frame = SiteAs<IOleInPlaceFrame>(IID_IOleInPlaceFrame);
    TActiveObject active; // kept, and let go when replaced by null
    frame->SetActiveObject(&active, nullptr);
    EXPECT_EQ(2, active.Refs);
    frame->SetActiveObject(nullptr, nullptr);
    EXPECT_EQ(1, active.Refs);
    frame->SetActiveObject(&active, nullptr);

    HWND view = ::GetWindow(Host->Handle(), GW_CHILD); // the control's own window
    auto press = [](HWND Focus, WPARAM Key) {
        ::SetFocus(Focus);
        ::PostMessageA(Focus, WM_KEYDOWN, Key, 0);
        while (Application().ProcessMessage()) {}
        return ::GetFocus();
    };
    EXPECT_EQ(view, press(view, VK_TAB)); // taken by the control: the focus stays
    press(view, VK_DOWN);
    press(Form->Handle(), VK_TAB); // outside the view: not offered
    EXPECT_EQ((std::vector<WPARAM>{VK_TAB, VK_DOWN}), active.Keys);
    Host.reset(); // the site lets the object go with the window
    EXPECT_EQ(1, active.Refs);
}

TEST_F(BrowserHostTest, ViewStaysOfflineLeavesNoTraceAndShowsTheEmptyPageAfterAFailure)
{
    VARIANT_BOOL offline = VARIANT_FALSE;
    ASSERT_EQ(S_OK, Host->Browser()->get_Offline(&offline));
    EXPECT_NE(VARIANT_FALSE, offline);
    TNavigateSpy spy(Host->Browser());
    Host->Navigate(L"C:\\cache\\page.htm");
    ASSERT_FALSE(spy.Calls.empty());
    EXPECT_EQ(VT_I4, V_VT(&spy.Calls[0].second));
    EXPECT_EQ(navNoHistory | navNoWriteToCache, V_I4(&spy.Calls[0].second));

    // A refused call and a failed load end on the empty page, which the sink lets load.
    IDispatch* sink = Host->EventSink();
    TNavigateSpy::RefuseNext = true;
    EXPECT_THROW(Host->Navigate(L"C:\\cache\\other.htm"), ESystemError);
    EXPECT_EQ(BrowserBlankPage, spy.Calls.back().first);
    EXPECT_FALSE(BeforeNavigateCancelled(sink, BrowserBlankPage));
    static_cast<TBrowserEvents*>(sink)->SetAllowedAddress(L"C:\\cache\\page.htm");
    TNavigateSpy::Calls.clear();
    VARIANT browser{}, none{};
    V_VT(&browser) = VT_DISPATCH;
    V_DISPATCH(&browser) = Host->Browser();
    VARIANT_BOOL cancel = VARIANT_FALSE;
    TEventCall({browser, Ref(VT_VARIANT, &none), Ref(VT_VARIANT, &none), Ref(VT_VARIANT, &none), Ref(VT_BOOL, &cancel)})
        .Invoke(sink, DISPID_NAVIGATEERROR);
    EXPECT_EQ(VARIANT_TRUE, cancel); // no error page of the control's own
    ASSERT_EQ(1u, spy.Calls.size());
    EXPECT_EQ(BrowserBlankPage, spy.Calls[0].first);

    // No context menu; the print, save, open and new-window keys go nowhere, copy works.
    TComPtr<IDocHostUIHandler> ui = SiteAs<IDocHostUIHandler>(IID_IDocHostUIHandler);
    ASSERT_TRUE(ui);
    EXPECT_EQ(S_OK, ui->ShowContextMenu(CONTEXT_MENU_DEFAULT, nullptr, nullptr, nullptr));
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    for (WPARAM key : {'P', 'S', 'O', 'N', 'C'}) {
        MSG msg{nullptr, WM_KEYDOWN, key, 0, 0, {}};
        EXPECT_EQ(key == 'C' ? S_FALSE : S_OK, ui->TranslateAccelerator(&msg, nullptr, 0)) << char(key);
    }
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
}

TEST_F(BrowserHostTest, HostilePageCreatesNothing)
{
    // Wine as packaged here has no HTML engine: no page runs its scripts or
    // follows its refresh there, hardened or not, so this can fail only on Windows.
    if (::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "no HTML engine under Wine";
    TTempFolder folder;
    auto scriptMarker = folder.Path / "script-ran.txt";
    auto batchMarker = folder.Path / "batch-ran.txt";
    folder.Write("run.bat", "echo ran > \"" + batchMarker.string() + "\"\r\n");
    std::string js;
    for (char c : scriptMarker.string())
        js += c == '\\' ? std::string("\\\\") : std::string(1, c);
    std::wstring page = folder.Write(
        "hostile.htm",
        "<html><head><meta http-equiv=\"refresh\" content=\"0;url=run.bat\"></head><body>\n"
        "<script>var fso = new ActiveXObject(\"Scripting.FileSystemObject\");\n"
        "var f = fso.CreateTextFile(\"" + js + "\", true); f.WriteLine(\"ran\"); f.Close();\n"
        "window.location = \"run.bat\";</script></body></html>");
    ASSERT_TRUE(std::filesystem::exists(folder.Path / "run.bat"));

    Host->Navigate(page);
    Host->SetVisible(true);
    PumpMessages(2000);
    EXPECT_FALSE(std::filesystem::exists(scriptMarker));
    EXPECT_FALSE(std::filesystem::exists(batchMarker));
}

TEST_F(BrowserHostTest, LocalMachineLockdownIsOnOnceAHostExists)
{
    ASSERT_NE(nullptr, Host->Browser());
    EXPECT_EQ(S_OK, ::CoInternetIsFeatureEnabled(FEATURE_LOCALMACHINE_LOCKDOWN, GET_FEATURE_FROM_PROCESS));
}

TEST_F(BrowserHostTest, MissingControlClassLeavesABlankWindowAndNavigateThrows)
{
    // A class id that no one registers.
    const CLSID missing = {0x6d6f7276, 0x616e, 0x6500, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};
    TBrowserHost orphan(Form.get(), "Orphan", missing);
    orphan.SetBounds(0, 0, 50, 50);
    ASSERT_NO_THROW(orphan.SetParent(Form.get()));
    EXPECT_TRUE(orphan.HandleAllocated());
    EXPECT_EQ(nullptr, orphan.Browser());
    EXPECT_EQ(nullptr, orphan.EventSink());
    EXPECT_FALSE(orphan.Visible());
    try {
        orphan.Navigate(L"C:\\page.htm");
        FAIL() << "Navigate did not throw";
    } catch (const ESystemError& e) {
        EXPECT_EQ(REGDB_E_CLASSNOTREG, e.Result());
        EXPECT_NE(std::string::npos, std::string(e.what()).find("0x80040154")) << e.what();
        EXPECT_NE(std::string::npos, std::string(e.what()).find("web browser")) << e.what();
    }
    EXPECT_THROW(orphan.SetVisible(true), ESystemError);
}

TEST(SystemErrorTest, TextNamesTheFailureTheSystemTextTheCallAndTheCode)
{
    ESystemError denied("Cannot navigate", "IWebBrowser2::Navigate", E_ACCESSDENIED);
    EXPECT_EQ(E_ACCESSDENIED, denied.Result());
    std::string text = denied.what();
    EXPECT_EQ(0u, text.find("Cannot navigate: ")) << text;
    EXPECT_NE(std::string::npos, text.find("denied")) << text;
    EXPECT_EQ(text.size() - 37, text.find(" (IWebBrowser2::Navigate, 0x80070005)")) << text;

    // A Windows error as the system numbers it, and the call that left it.
    ::SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    const std::string lost = ESystemError::FromLastError("Cannot create window X", "CreateWindowExA").what();
    EXPECT_EQ(0u, lost.find("Cannot create window X: ")) << lost;
    EXPECT_EQ(lost.size() - 30, lost.find(" (CreateWindowExA, error 1400)")) << lost;
}
