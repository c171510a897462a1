// The Pallix Control Center for Windows: a notification-area program
// watching a Pallix on the local network.
#include "ConsoleOutput.h"
#include "ControlCenterCommandLine.h"
#include "PlatformWindows.h"
#include "WideText.h"
#include "Win32Desktop.h"
#include "Win32EventLoop.h"
#include "app/AppPaths.h"
#include "app/AppState.h"
#include "config/SavedConfigs.h"
#include "device/DeviceThread.h"
#include "frmPallixSysTray.h"

#include <filesystem>
#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

namespace {

std::vector<std::string> commandLineArguments()
{
    int count = 0;
    wchar_t **words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(utf8Text(words[i]));
    LocalFree(words);
    return arguments;
}

std::string programFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return appFolder(utf8Text(std::filesystem::path(path).parent_path().wstring()));
}

}   // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    AppState &state = appState();
    state.appPath = programFolder();
    attachParentConsole();
    if (const auto ended = applyCommandLine(commandLineArguments())) return *ended;
    savedConfigs().setFolder(stateFolder());

    Win32EventLoop loop;
    loop::EventLoop::install(&loop);
    DeviceThread device(loop);
    DeviceThread::install(&device);
    WindowsPlatform platform;
    Platform::install(&platform);
    Win32Desktop desktop;
    Desktop::install(&desktop);
    frmPallixSysTray tray;
    // Ending during start-up (the firmware updater took over) is not a failure.
    if (!tray.start()) return state.ending ? 0 : 1;
    return loop.run();
}
