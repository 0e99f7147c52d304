// Help > "About ...": the about window, modal over the main window.
#include "about/AboutBox.h"
#include "app/MainForm.h"
#include "ui/Application.h"

void TfrmMorvane::About1Click(TComponent&)
{
    // A new window each time; it frees itself when closed.
    AboutBox = &Application().CreateForm<TAboutBox>();
    AboutBox->ShowModal();
}
