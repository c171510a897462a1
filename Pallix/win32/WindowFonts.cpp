#include "WindowFonts.h"

#include <cwchar>

HFONT boldFont(HWND dialog, int pointSize, const wchar_t *face)
{
    LOGFONTW font{};
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    GetObjectW(dialogFont ? static_cast<HGDIOBJ>(dialogFont) : GetStockObject(DEFAULT_GUI_FONT),
               sizeof font, &font);
    const HDC screen = GetDC(nullptr);
    font.lfHeight = -MulDiv(pointSize, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    font.lfWeight = FW_BOLD;
    if (face) std::wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}
