// The application's windows: dark grey (64, 64, 64) with white text, their
// frames, labels, check boxes and option buttons too.
#pragma once

#include <windows.h>

constexpr COLORREF DarkBackground = RGB(64, 64, 64);
constexpr COLORREF LightText = RGB(255, 255, 255);

// The answer to a WM_CTLCOLOR* message for a control painted dark: its
// colours set on the device context, the background brush returned.
INT_PTR darkControl(HDC context);
HBRUSH darkBrush();
