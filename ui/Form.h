// TForm: a top-level window with the framework's life cycle. Creation, show,
// close query, close, destroy and the end of the session are published as the
// form's own handlers; one watcher (the settings storage) is called around them.
//
// Forms are made by MakeForm only, and deleted by its pointer's deleter, which
// destroys the window (OnDestroy first) while every member of the form exists.
#pragma once

#include <memory>

#include "ui/Control.h"

class TForm;
class TMainMenu;

struct TFormDeleter {
    void operator()(TForm* Form) const;
};
template <class F>
using TFormPtr = std::unique_ptr<F, TFormDeleter>;
template <class F, class... Args>
TFormPtr<F> MakeForm(Args&&... args);

// The pass that every form's constructor takes and that only MakeForm can
// issue: a form can be made neither on the stack nor with new or make_unique.
class TFormKey {
public:
    TFormKey(const TFormKey&) = delete;
    TFormKey& operator=(const TFormKey&) = delete;

private:
    TFormKey() = default;
    template <class F, class... Args>
    friend TFormPtr<F> MakeForm(Args&&... args);
};

template <class F, class... Args>
TFormPtr<F> MakeForm(Args&&... args)
{
    return TFormPtr<F>(new F(TFormKey(), std::forward<Args>(args)...));
}

// Called by the form around its own handlers, which stay the form's.
class TFormWatcher {
public:
    // Before OnShow.
    virtual void FormShow(TForm& Sender) = 0;
    // After OnCloseQuery, with what it left in CanClose.
    virtual void FormCloseQuery(TForm& Sender, bool& CanClose) = 0;
    // Before OnDestroy.
    virtual void FormDestroy(TForm& Sender) = 0;
    // After OnEndSession.
    virtual void FormEndSession(TForm& Sender) = 0;

protected:
    ~TFormWatcher() = default;
};

// The screen's logical pixels per inch: 96 at 100%, 144 at 150%.
int ScreenPixelsPerInch();
// Where a window of this size is placed centred on a monitor: on its bounds,
// then moved inside its work area where it would reach past it.
POINT CentreOnMonitor(SIZE Window, const RECT& Monitor, const RECT& Work);

enum TPosition { poDesigned, poDesktopCenter, poMainFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caHide, caFree };
enum TBorderStyle { bsSizeable, bsToolWindow };

class TForm : public TControl {
public:
    // ClassName: the window class, by convention the form's class name.
    TForm(const TFormKey& Key, TComponent* Owner, std::string Name, std::string ClassName);
    ~TForm() override;

    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& Value) { SetText(Value); }

    // The layout is made at this many pixels per inch; the form scales it to
    // the screen's as its window is made.
    static constexpr int DesignPixelsPerInch = 96;
    void ChangeScale(int M, int D) override;

    TPosition Position() const { return FPosition; }
    // Changing the mode never moves the window.
    void SetPosition(TPosition Value) { FPosition = Value; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value) { FBorderStyle = Value; }
    void SetMinSize(int Width, int Height) { FMinWidth = Width; FMinHeight = Height; }
    // Sets the outer size so that the client area gets this size.
    void SetClientSize(int Width, int Height);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    // The menu bar: the form shows it and hands it its menu messages, but
    // does not own it (TMainMenu::AttachTo).
    void SetMainMenu(TMainMenu* Value);
    // The control that takes the focus when the form is first active, and when
    // the control that had it cannot have it back; null: the form itself.
    void SetActiveControl(TControl* Value) { FActiveControl = Value; }
    void SetIcons(HICON Big, HICON Small) { FIcon = Big; FSmallIcon = Small; }

    void Show();
    void Close();
    void ShowModal();
    bool Modal() const { return FModal; }

    std::function<void(TForm& Sender)> OnCreate;
    std::function<void(TForm& Sender)> OnShow;
    std::function<void(TForm& Sender, bool& CanClose)> OnCloseQuery;
    std::function<void(TForm& Sender, TCloseAction& Action)> OnClose;
    std::function<void(TForm& Sender)> OnDestroy;
    // The Windows session is ending (WM_ENDSESSION): the process may be ended
    // as soon as this returns, without any close or destruction.
    std::function<void(TForm& Sender)> OnEndSession;
    std::function<void(TForm& Sender, WORD& Key)> OnKeyDown;

    // Runs OnCreate; a form's constructor calls it once its layout is built.
    void DoCreate();
    // The show notification: the watcher's, then OnShow. Show runs it the first time.
    void DoShow();
    // The close query: OnCloseQuery, then the watcher's; whether the form may close.
    bool CloseQuery();

    // The one watcher; null for none. Whoever sets it takes it away before it goes.
    TFormWatcher* Watcher() const { return FWatcher; }
    void SetWatcher(TFormWatcher* Value) { FWatcher = Value; }

protected:
    void CreateWnd(HWND ParentWnd) override;
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
    DWORD Style() const override;
    DWORD ExStyle() const override;
    void ApplyPosition();
    // The focused control is kept while the form is inactive (RememberFocus)
    // and gets the focus back when the form is active again (RestoreFocus,
    // false when no control of the form could take it).
    void RememberFocus();
    bool RestoreFocus();

private:
    friend struct TFormDeleter;
    // Fires OnDestroy and destroys the window; the deleter's first step.
    void Destroy();

    std::string FClassName;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    TBorderStyle FBorderStyle = bsSizeable;
    int FMinWidth = 0, FMinHeight = 0;
    int FClientWidth = 0, FClientHeight = 0;   // the client size asked for, if any
    bool FKeyPreview = false;
    TMainMenu* FMainMenu = nullptr;
    HICON FIcon = nullptr, FSmallIcon = nullptr;
    bool FShown = false;
    bool FModal = false;
    bool FModalDone = false;
    TFormWatcher* FWatcher = nullptr;
    TControl* FActiveControl = nullptr;
    HWND FFocus = nullptr;
};
