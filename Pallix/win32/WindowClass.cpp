#include "WindowClass.h"

#include <cwchar>

void registerWindowClass(const wchar_t *name, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &windowClass)) return;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

bool isDialogWindow(HWND window)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return std::wcscmp(name, L"#32770") == 0;
}
