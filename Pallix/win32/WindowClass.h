// Window classes of the program's own hidden windows, and telling dialogs apart.
#pragma once

#include <windows.h>

// Registers the class once per process; later calls do nothing.
void registerWindowClass(const wchar_t *name, WNDPROC procedure);
// Whether the window is a dialog (the system's dialog class).
bool isDialogWindow(HWND window);
