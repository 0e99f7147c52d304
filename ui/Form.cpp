#include "ui/Form.h"

#include "ui/Application.h"
#include "ui/Menu.h"

#include <algorithm>

#include "base/Handle.h"
#include "base/SystemError.h"

int ScreenPixelsPerInch()
{
    TScreenDC dc;
    return dc.DC() ? ::GetDeviceCaps(dc.DC(), LOGPIXELSY) : 0;
}

POINT CentreOnMonitor(SIZE Window, const RECT& Monitor, const RECT& Work)
{
    POINT at{Monitor.left + ((Monitor.right - Monitor.left) - Window.cx) / 2,
             Monitor.top + ((Monitor.bottom - Monitor.top) - Window.cy) / 2};
    at.x = std::max(std::min(at.x, Work.right - Window.cx), Work.left);
    at.y = std::max(std::min(at.y, Work.bottom - Window.cy), Work.top);
    return at;
}

void TFormDeleter::operator()(TForm* Form) const
{
    Form->Destroy();
    delete Form;
}

TForm::TForm(const TFormKey&, TComponent* Owner, std::string Name, std::string ClassName)
    : TControl(Owner, std::move(Name)), FClassName(std::move(ClassName))
{
    SetParentColor(false);
    FVisible = false;
}

TForm::~TForm()
{
    if (FMainMenu)
        FMainMenu->FForm = nullptr;
}

void TForm::Destroy()
{
    if (FWatcher)
        FWatcher->FormDestroy(*this);
    if (OnDestroy)
        OnDestroy(*this);
    // The menu belongs to whoever made it: the window lets go of it first,
    // so that destroying the window leaves it alone.
    if (FMainMenu && FHandle)
        ::SetMenu(FHandle, nullptr);
    DestroyHandle();
}

void TForm::DoCreate()
{
    if (OnCreate)
        OnCreate(*this);
}

void TForm::DoShow()
{
    if (FWatcher)
        FWatcher->FormShow(*this);
    if (OnShow)
        OnShow(*this);
}

bool TForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(*this, canClose);
    if (FWatcher)
        FWatcher->FormCloseQuery(*this, canClose);
    return canClose;
}

DWORD TForm::Style() const
{
    if (FBorderStyle == bsToolWindow)
        return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
}

DWORD TForm::ExStyle() const
{
    DWORD ex = WS_EX_CONTROLPARENT;
    if (FBorderStyle == bsToolWindow)
        ex |= WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME;
    return ex;
}

void TForm::ChangeScale(int M, int D)
{
    TControl::ChangeScale(M, D);
    FMinWidth = ::MulDiv(FMinWidth, M, D);
    FMinHeight = ::MulDiv(FMinHeight, M, D);
    // A form sized by its client area keeps that area at scale inside the system's frame.
    if (FClientWidth > 0 || FClientHeight > 0)
        SetClientSize(::MulDiv(FClientWidth, M, D), ::MulDiv(FClientHeight, M, D));
}

void TForm::CreateWnd(HWND)
{
    const int pixelsPerInch = ScreenPixelsPerInch();
    if (pixelsPerInch > 0 && pixelsPerInch != DesignPixelsPerInch)
        ChangeScale(pixelsPerInch, DesignPixelsPerInch);
    RegisterOwnClass(FClassName.c_str(), FIcon, FSmallIcon);
    FOwnClass = true;
    HWND owner = nullptr;
    if (Application().MainForm() && Application().MainForm() != this)
        owner = Application().MainForm()->Handle();
    // Created hidden: Show makes it visible.
    ::CreateWindowExA(ExStyle(), FClassName.c_str(), Text().c_str(), Style(), Left(), Top(),
                      Width(), Height(), owner, FMainMenu ? FMainMenu->Handle() : nullptr,
                      ::GetModuleHandleA(nullptr), this);
    if (!FHandle)
        ThrowLastError("Cannot create window " + Name(), "CreateWindowExA");
    if (FIcon)
        ::SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon));
    if (FSmallIcon)
        ::SendMessageA(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FSmallIcon));
}

void TForm::SetMainMenu(TMainMenu* Value)
{
    if (FMainMenu && FMainMenu != Value)
        FMainMenu->FForm = nullptr;
    FMainMenu = Value;
    if (Value)
        Value->FForm = this;
    if (FHandle)
        ::SetMenu(FHandle, Value ? Value->Handle() : nullptr);
}

void TForm::SetClientSize(int Width, int Height)
{
    FClientWidth = Width;
    FClientHeight = Height;
    RECT r{0, 0, Width, Height};
    ::AdjustWindowRectEx(&r, Style(), FMainMenu != nullptr, ExStyle());
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

TWindowState TForm::WindowState() const
{
    if (FHandle && ::IsWindowVisible(FHandle)) {
        if (::IsIconic(FHandle))
            return wsMinimized;
        if (::IsZoomed(FHandle))
            return wsMaximized;
        return wsNormal;
    }
    return FWindowState;
}

void TForm::SetWindowState(TWindowState Value)
{
    FWindowState = Value;
    if (FHandle && ::IsWindowVisible(FHandle)) {
        static const int commands[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
        ::ShowWindow(FHandle, commands[Value]);
    }
}

void TForm::ApplyPosition()
{
    POINT at;
    if (FPosition == poDesktopCenter) {
        // On the primary monitor: the middle of several may be the seam between two.
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (!::GetMonitorInfoA(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor))
            monitor.rcMonitor = monitor.rcWork =
                RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        at = CentreOnMonitor(SIZE{Width(), Height()}, monitor.rcMonitor, monitor.rcWork);
    } else if (FPosition == poMainFormCenter) {
        TForm* main = Application().MainForm();
        if (!main || main == this || !main->Handle())
            return;
        RECT area;
        ::GetWindowRect(main->Handle(), &area);
        at.x = area.left + ((area.right - area.left) - Width()) / 2;
        at.y = area.top + ((area.bottom - area.top) - Height()) / 2;
    } else {
        return;
    }
    SetBounds(at.x, at.y, Width(), Height());
}

void TForm::Show()
{
    HandleNeeded();
    if (!FShown) {
        FShown = true;
        DoShow();
        if (!FHandle)
            return;
        ApplyPosition();
    }
    static const int commands[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
    TControl::SetVisible(true);
    ::ShowWindow(FHandle, commands[FWindowState]);
    ::UpdateWindow(FHandle);
}

void TForm::Close()
{
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    if (OnClose)
        OnClose(*this, action);
    if (FModal) {
        FModalDone = true;
        if (action == caFree)
            Application().ReleaseForm(this);
        return;
    }
    if (Application().MainForm() == this) {
        Application().Terminate();
        return;
    }
    if (action == caFree)
        Application().ReleaseForm(this);
    else
        Hide();
}

void TForm::ShowModal()
{
    TForm* main = Application().MainForm();
    HWND disabled = (main && main != this && main->Handle()) ? main->Handle() : nullptr;
    if (disabled) {
        main->RememberFocus(); // disabling may take the focus away first
        ::EnableWindow(disabled, FALSE);
    }
    FModal = true;
    FModalDone = false;
    Show();
    while (!FModalDone && !Application().Terminated())
        Application().HandleMessage();
    if (disabled) {
        ::EnableWindow(disabled, TRUE);
        ::SetActiveWindow(disabled);
    }
    if (FHandle)
        Hide();
    FModal = false;
}

void TForm::RememberFocus()
{
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(FHandle, focus))
        FFocus = focus;
}

bool TForm::RestoreFocus()
{
    auto takes = [this](HWND Wnd) {
        return Wnd && ::IsChild(FHandle, Wnd) && ::IsWindowVisible(Wnd) && ::IsWindowEnabled(Wnd);
    };
    HWND target = FFocus;
    if (!takes(target))
        target = FActiveControl ? FActiveControl->Handle() : nullptr;
    if (!takes(target))
        return false;
    ::SetFocus(target);
    return true;
}

namespace {
// The common controls learn of new system colours and settings only from their parent.
void PassToControls(const TControl& Parent, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    for (const TControl* child : Parent.Controls()) {
        if (child->Handle())
            ::SendMessageA(child->Handle(), Msg, WParam, LParam);
        PassToControls(*child, Msg, WParam, LParam);
    }
}
} // namespace

LRESULT TForm::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (FMainMenu) {
        LRESULT result = 0;
        if (FMainMenu->HandleMessage(Msg, WParam, LParam, result))
            return result;
    }
    switch (Msg) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(WParam) == WA_INACTIVE)
            RememberFocus();
        break; // the system's handling focuses the form, which hands the focus on
    case WM_SETFOCUS:
        if (RestoreFocus())
            return 0;
        break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // Colours are looked up as they are painted: repainting shows the new ones.
        PassToControls(*this, Msg, WParam, LParam);
        ::RedrawWindow(FHandle, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
        break;
    case WM_QUERYENDSESSION:
        return TRUE;   // the session may end
    case WM_ENDSESSION:
        if (WParam && OnEndSession)
            OnEndSession(*this);
        if (WParam && FWatcher)
            FWatcher->FormEndSession(*this);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(LParam);
        if (FMinWidth > 0)
            info->ptMinTrackSize.x = FMinWidth;
        if (FMinHeight > 0)
            info->ptMinTrackSize.y = FMinHeight;
        return 0;
    }
    }
    return TControl::WndProc(Msg, WParam, LParam);
}
