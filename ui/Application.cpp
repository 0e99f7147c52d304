#include "ui/Application.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <stdexcept>

std::string ExceptionBoxText(const std::string& Message)
{
    std::string text = Message;
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

std::string GetLongHint(const std::string& Hint)
{
    size_t bar = Hint.find('|');
    return bar == std::string::npos ? Hint : Hint.substr(bar + 1);
}

TApplication& Application()
{
    static TApplication app;
    return app;
}

TApplication::~TApplication()
{
    DestroyForms();
    if (FComInitialized)
        ::OleUninitialize();
}

void TApplication::Initialize()
{
    if (!FComInitialized) {
        // OLE, not COM alone: the browser control in place needs its
        // clipboard and drag and drop.
        HRESULT hr = ::OleInitialize(nullptr);
        FComInitialized = SUCCEEDED(hr);
    }
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    if (!MessageBox) {
        MessageBox = [](HWND owner, const std::string& text, const std::string& caption, UINT type) {
            return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
        };
    }
}

void TApplication::ReleaseForm(TForm* Form)
{
    if (std::find(FReleased.begin(), FReleased.end(), Form) == FReleased.end())
        FReleased.push_back(Form);
}

void TApplication::FreeReleased()
{
    std::vector<TForm*> pending = std::move(FReleased);
    FReleased.clear();
    for (TForm* form : pending) {
        auto it = std::find_if(FForms.begin(), FForms.end(), [&](const auto& f) { return f.get() == form; });
        if (it == FForms.end())
            continue;
        // A form closed inside its own modal loop is freed once that loop has ended.
        if (form->Modal()) {
            FReleased.push_back(form);
            continue;
        }
        TFormPtr<TForm> doomed = std::move(*it);
        FForms.erase(it);
        if (FMainForm == form)
            FMainForm = nullptr;
    }
}

void TApplication::DestroyForms()
{
    FReleased.clear();
    // The main form goes last, so that the others can still reach it.
    while (!FForms.empty()) {
        auto it = FForms.end() - 1;
        if (it->get() == FMainForm && FForms.size() > 1)
            it = FForms.end() - 2;
        TFormPtr<TForm> doomed = std::move(*it);
        FForms.erase(it);
        if (doomed.get() == FMainForm)
            FMainForm = nullptr;
        doomed.reset();
    }
    FTerminated = false;
}

HWND TApplication::Handle() const
{
    return FMainForm ? FMainForm->Handle() : nullptr;
}

void TApplication::Run()
{
    if (FMainForm)
        FMainForm->Show();
    while (!FTerminated)
        HandleMessage();
}

void TApplication::Terminate()
{
    FTerminated = true;
    ::PostQuitMessage(0);
}

namespace {

// Tab and Shift+Tab move the focus to the next or the previous control of
// the window that takes the focus by Tab. That is all a form does with keys
// before its controls: Enter, Escape and the rest reach the focused control
// (the system's dialog-key handling is not used: it turns Enter and Escape
// into commands of the window, and puts edit controls into a dialog mode
// where Escape closes their parent).
bool TabToNextControl(HWND Root, const MSG& Msg)
{
    if (Msg.message != WM_KEYDOWN || Msg.wParam != VK_TAB)
        return false;
    if (::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0)
        return false;
    HWND focus = ::GetFocus();
    if (!focus || (focus != Root && !::IsChild(Root, focus)))
        return false;
    const bool back = ::GetKeyState(VK_SHIFT) < 0;
    HWND next = ::GetNextDlgTabItem(Root, focus == Root ? nullptr : focus, back);
    // The keyboard is in use: focus cues show from now on, as in dialogs.
    ::SendMessageA(Root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    if (next && next != focus)
        ::SetFocus(next);
    return true;
}

// Offers a keyboard message to the nearest control at or above the focused
// window (the browser control's own windows have none of their own).
bool FocusedControlTakes(MSG& Msg)
{
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST)
        return false;
    for (HWND wnd = ::GetFocus(); wnd; wnd = ::GetParent(wnd))
        if (TControl* control = TControl::FromHandle(wnd))
            return control->PreTranslateMessage(Msg);
    return false;
}

} // namespace

bool TApplication::PreTranslate(MSG& Msg)
{
    if (FocusedControlTakes(Msg))
        return true;
    HWND root = Msg.hwnd ? ::GetAncestor(Msg.hwnd, GA_ROOT) : nullptr;
    auto* form = dynamic_cast<TForm*>(TControl::FromHandle(root));
    if (!form)
        return false;
    if (Msg.message == WM_KEYDOWN && form->KeyPreview() && form->OnKeyDown) {
        WORD key = static_cast<WORD>(Msg.wParam);
        form->OnKeyDown(*form, key);
        if (key == 0)
            return true;
        Msg.wParam = key;
    }
    return TabToNextControl(root, Msg);
}

bool TApplication::ProcessMessage()
{
    FreeReleased();
    MSG msg;
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    if (!PreTranslate(msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    FreeReleased();
    return true;
}

void TApplication::HandleMessage()
{
    if (!ProcessMessage()) {
        Idle();
        if (!FTerminated)
            ::WaitMessage();
    }
}

void TApplication::HandleException(const std::exception& E)
{
    std::string text = ExceptionBoxText(E.what());
    if (MessageBox)
        MessageBox(::GetActiveWindow(), text, FTitle, MB_OK | MB_ICONERROR);
}

void TApplication::HandleCurrentException()
{
    try {
        throw;
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleException(std::runtime_error("Unknown error"));
    }
}

void TApplication::SetHint(const std::string& Value)
{
    if (Value == FHint)
        return;
    FHint = Value;
    if (OnHint)
        OnHint();
}

void TApplication::Idle()
{
    POINT pt;
    std::string hint;
    if (::GetCursorPos(&pt)) {
        for (TControl* c = TControl::FromHandle(::WindowFromPoint(pt)); c; c = c->Parent()) {
            if (!c->Hint().empty()) {
                hint = c->Hint();
                break;
            }
        }
    }
    SetHint(hint);
}
