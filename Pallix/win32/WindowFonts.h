// The titles' bold fonts, made from the dialog's own font.
#pragma once

#include <windows.h>

// The dialog's font in bold at pointSize; kept for the life of the program.
HFONT boldFont(HWND dialog, int pointSize, const wchar_t *face = nullptr);
