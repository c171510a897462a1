#include "ConsoleOutput.h"

#include <cstdio>

#include <windows.h>

void attachParentConsole()
{
    // Output that already goes somewhere (a pipe, a file, Wine's terminal) stays there.
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output && output != INVALID_HANDLE_VALUE) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::FILE *ignored = nullptr;
    freopen_s(&ignored, "CONOUT$", "w", stdout);
    freopen_s(&ignored, "CONOUT$", "w", stderr);
}
