// TForm: a top-level window with the framework's life cycle. Creation, show,
// close query, close, destroy and the end of the session are published as
// notifications that another component may take over and chain (the settings
// storage does).
#pragma once

#include "ui/Control.h"

enum TPosition { poDesigned, poDesktopCenter, poMainFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TBorderStyle { bsSizeable, bsToolWindow };

class TForm : public TControl {
public:
    // ClassName: the window class, by convention the form's class name.
    TForm(TComponent* Owner, std::string Name, std::string ClassName);
    ~TForm() override;

    // Fires OnDestroy (once) and destroys the window. A derived form calls it
    // first thing in its destructor, while its members still exist.
    void Destroy();

    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& Value) { SetText(Value); }

    TPosition Position() const { return FPosition; }
    // Changing the mode never moves the window.
    void SetPosition(TPosition Value) { FPosition = Value; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value) { FBorderStyle = Value; }
    void SetMinSize(int Width, int Height) { FMinWidth = Width; FMinHeight = Height; }
    int MinWidth() const { return FMinWidth; }
    int MinHeight() const { return FMinHeight; }
    // Sets the outer size so that the client area gets this size.
    void SetClientSize(int Width, int Height);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    // The menu bar; the form shows it but does not own it.
    HMENU Menu() const { return FMenu; }
    void SetMenu(HMENU Value);
    void SetIcons(HICON Big, HICON Small) { FIcon = Big; FSmallIcon = Small; }

    void Show();
    void Close();
    int ShowModal();
    bool Modal() const { return FModal; }
    bool Showing() const { return FHandle && ::IsWindowVisible(FHandle); }

    std::function<void(TForm& Sender)> OnCreate;
    std::function<void(TForm& Sender)> OnShow;
    std::function<void(TForm& Sender, bool& CanClose)> OnCloseQuery;
    std::function<void(TForm& Sender, TCloseAction& Action)> OnClose;
    std::function<void(TForm& Sender)> OnDestroy;
    // The Windows session is ending (WM_ENDSESSION): the process may be ended
    // as soon as this returns, without any close or destruction.
    std::function<void(TForm& Sender)> OnEndSession;
    std::function<void(TForm& Sender, WORD& Key)> OnKeyDown;

    // Sees every message of the form before the form does; returns true when it handled it.
    using TMessageHook = std::function<bool(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result)>;
    void AddMessageHook(TMessageHook Hook) { FHooks.push_back(std::move(Hook)); }

    // Runs OnCreate; a form's constructor calls it once its layout is built.
    void DoCreate();

protected:
    void CreateWnd(HWND ParentWnd) override;
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
    DWORD Style() const override;
    DWORD ExStyle() const override;
    void ApplyPosition();

private:
    std::string FClassName;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    TBorderStyle FBorderStyle = bsSizeable;
    int FMinWidth = 0, FMinHeight = 0;
    bool FKeyPreview = false;
    HMENU FMenu = nullptr;
    HICON FIcon = nullptr, FSmallIcon = nullptr;
    bool FShown = false;
    bool FModal = false;
    bool FModalDone = false;
    bool FDestroyed = false;
    std::vector<TMessageHook> FHooks;
};
