// What screen readers are told of a window beyond what its class tells them:
// the role of its client object, given by the system's dynamic annotation.
#pragma once

#include <windows.h>
#include <oleacc.h>

// Sets the role (ROLE_SYSTEM_LINK ...) that the system's accessibility layer
// reports for the window. Where the system keeps no annotations nothing
// changes, and nothing is reported.
void SetAccessibleRole(HWND Wnd, LONG Role);
// Takes the role away again; the window calls it as it is destroyed, so that
// a later window with the same handle does not inherit it.
void ClearAccessibleRole(HWND Wnd);
