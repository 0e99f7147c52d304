// Program entry: the start-up and shut-down sequence.
#include <windows.h>

#include "app/MainForm.h"
#include "ui/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // The modules' start-up code (the cache library check among it) has run.
    Application().Initialize();
    Application().SetTitle("Morvane");
    TfrmMorvane& form = Application().CreateForm<TfrmMorvane>();
    form.LoadCache();
    Application().Run();
    Application().DestroyForms();
    return 0;
}
