// Stand-in for the about window's handler until the about window is merged;
// it is deleted then. Choosing Help > "About ..." does nothing meanwhile.
#include "app/MainForm.h"

void TfrmMorvane::About1Click(TComponent&)
{
}
