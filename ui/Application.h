// TApplication: the process's one application object. Initialises OLE and the
// common controls, owns the forms, runs the message loop, keeps the current
// hint, and reports an exception that escapes an event handler in a box.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/Form.h"

// The text of the exception box: a full stop is appended when the text is not
// empty and its last character sorts after the full stop.
std::string ExceptionBoxText(const std::string& Message);

// "Short|Long": the part after the bar, or the whole when there is none.
std::string GetLongHint(const std::string& Hint);

class TApplication {
public:
    TApplication() = default;
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // OLE (COM in a single-threaded apartment) and the common controls, before any window.
    void Initialize();

    const std::string& Title() const { return FTitle; }
    void SetTitle(std::string Value) { FTitle = std::move(Value); }

    // Creates a form owned by the application; the first one made is the main form.
    template <typename F, typename... Args>
    F& CreateForm(Args&&... args)
    {
        TFormPtr<F> form = MakeForm<F>(std::forward<Args>(args)...);
        F& ref = *form;
        if (!FMainForm)
            FMainForm = &ref;
        FForms.push_back(std::move(form));
        return ref;
    }
    // Frees a form once the current message has been handled.
    void ReleaseForm(TForm* Form);
    // Destroys every form, the main form last. That ends the run: the
    // application is no longer terminated and can run a new main form.
    void DestroyForms();

    TForm* MainForm() const { return FMainForm; }
    // The application's own window: the main form's.
    HWND Handle() const;

    // Shows the main form and handles messages until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles one waiting message (idle processing when there is none); false when none was waiting.
    bool ProcessMessage();
    void HandleMessage();

    void HandleException(const std::exception& E);
    // The same for the exception being handled (call it in a catch block); one
    // that is not a std::exception is reported with a fixed text.
    void HandleCurrentException();
    // The message box call, replaceable for tests.
    std::function<int(HWND Owner, const std::string& Text, const std::string& Caption, UINT Type)> MessageBox;

    // The current hint; a change (and only a change) fires OnHint.
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    std::function<void()> OnHint;
    // Idle processing: the hint of the control under the pointer.
    void Idle();

private:
    bool PreTranslate(MSG& Msg);
    void FreeReleased();

    bool FComInitialized = false;
    bool FTerminated = false;
    std::string FTitle;
    std::string FHint;
    TForm* FMainForm = nullptr;
    std::vector<TFormPtr<TForm>> FForms;
    std::vector<TForm*> FReleased;
};

TApplication& Application();
