// Stands in for the firmware updater in the scenarios: writes the command
// line it was started with, as UTF-8, to command-line.txt beside itself.
#include <cstdio>
#include <string>

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring record(self);
    record = record.substr(0, record.find_last_of(L'\\') + 1) + L"command-line.txt";

    const wchar_t *line = GetCommandLineW();
    const int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string text(size_t(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line, -1, text.data(), size, nullptr, nullptr);

    std::FILE *file = _wfopen(record.c_str(), L"wb");
    if (!file) return 1;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return 0;
}
