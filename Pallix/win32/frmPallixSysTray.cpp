#include "frmPallixSysTray.h"

#include "Dialog.h"
#include "NotificationSetting.h"
#include "WideText.h"
#include "WindowClass.h"
#include "app/AppState.h"
#include "app/NrErrors.h"
#include "app/ShellExecute.h"
#include "app/StartUp.h"
#include "frmAbout.h"
#include "frmPallix.h"
#include "frmSelftTest.h"
#include "resource.h"
#include "selftest/SelfTest.h"
#include "watch/ConfigView.h"

#include <cstdio>

namespace {

constexpr wchar_t TrayClass[] = L"PallixTray";
constexpr int SmallIcon = 16;

enum MenuItem {
    mnuConfigure = 1,
    mnuDiscoverDevices,
    mnuSelfTest,
    mnuUpdateApp,
    mnuUpdateFirmware,
    mnuHelp,
    mnuAbout,
    mnuNotifications,
    mnuExit,
};

void addItem(HMENU menu, int id, const char *caption, UINT flags = MF_STRING)
{
    AppendMenuW(menu, flags, UINT_PTR(id), wideText(caption).c_str());
}

}   // namespace

HWND frmPallixSysTray::createWindow()
{
    registerWindowClass(TrayClass, &frmPallixSysTray::windowProc);
    return CreateWindowExW(0, TrayClass, wideText("Nerrin Pallix™").c_str(), WS_OVERLAPPEDWINDOW, 0,
                           0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

frmPallixSysTray::frmPallixSysTray()
{
    // Messages reach this object once it is complete; those of the
    // window's creation go to the defaults.
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    icons_[0] = loadIconFile(true, SmallIcon);
    icons_[1] = loadIconFile(false, SmallIcon);
    buildMenu();
    watch_.addObserver(this);
    setConfigView(&configWindowView());
}

frmPallixSysTray::~frmPallixSysTray()
{
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    setConfigView(nullptr);
    watch_.removeObserver(this);
    trayIcon_.remove();
    DestroyMenu(menu_);
    DestroyWindow(window_);
}

void frmPallixSysTray::buildMenu()
{
    menu_ = CreatePopupMenu();
    addItem(menu_, mnuConfigure, "&Configure Pallix™");
    addItem(menu_, mnuDiscoverDevices, "&Discovery Process");
    addItem(menu_, mnuSelfTest, "Self Test");
    AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr);
    // Offered where the build names the maker's support page.
    if (!supportPageUrl().empty()) addItem(menu_, mnuUpdateApp, "Update &App");
    // Firmware updates are offered by the firmware check after discovery.
    addItem(menu_, mnuUpdateFirmware, "Update &Firmware", MF_STRING | MF_GRAYED);
    AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr);
    addItem(menu_, mnuHelp, "Pallix™ &User Guide");
    addItem(menu_, mnuAbout, "A&bout Nerrin Pallix™");
    addItem(menu_, mnuNotifications, "Desktop &Notifications",
            MF_STRING | (notificationsWanted() ? MF_CHECKED : MF_UNCHECKED));
    AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr);
    addItem(menu_, mnuExit, "E&xit");
}

bool frmPallixSysTray::start()
{
    StartDecision decision = mayStart([] { return true; });
    if (!decision.goesOn()) return false;
    if (!decision.standingBy.empty()) {
        sayWhyNotWatching(decision.standingBy);
        return true;
    }
    monitorLock_ = std::move(decision.monitorLock);
    // Until the first change the icon is the program's own.
    trayIcon_.setIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PALLIX)));
    trayIcon_.add();
    trayIcon_.setToolTip(summary_.toolTip());
    watch_.start();
    return !appState().ending;
}

LRESULT CALLBACK frmPallixSysTray::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = reinterpret_cast<frmPallixSysTray *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT frmPallixSysTray::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TrayIcon::CallbackMessage) {
        clicks_.message(int(LOWORD(lParam)));
        return 0;
    }
    if (message == taskbarCreated_ && trayIcon_.added()) {
        trayIcon_.add();
        return 0;
    }
    switch (message) {
    case WM_COMMAND: menuCommand(LOWORD(wParam)); return 0;
    case WM_SIZE:
        // Minimized, the window hides.
        if (wParam == SIZE_MINIMIZED) ShowWindow(window_, SW_HIDE);
        return 0;
    case WM_CLOSE:
        trayIcon_.remove();
        tasks_.spawn(endAfterSelfTests());
        return 0;
    default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

// The window stays out of sight; it is brought forward so that the menu
// closes when the user clicks elsewhere.
void frmPallixSysTray::act(int mouseMessage)
{
    switch (decodeTrayMessage(mouseMessage)) {
    case TrayMouseAction::RestoreAndMenu:
    case TrayMouseAction::Menu:
        SetForegroundWindow(window_);
        showMenu();
        break;
    case TrayMouseAction::Restore: SetForegroundWindow(window_); break;
    case TrayMouseAction::Nothing: break;
    }
}

void frmPallixSysTray::showMenu()
{
    POINT at{};
    GetCursorPos(&at);
    TrackPopupMenu(menu_, TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
    PostMessageW(window_, WM_NULL, 0, 0);
}

void frmPallixSysTray::menuCommand(int id)
{
    switch (id) {
    case mnuConfigure: reportingErrors(showConfig); break;
    case mnuDiscoverDevices: watch_.rediscover(); break;
    case mnuSelfTest:
        reportingErrors([this] {
            showSelfTest([this](int status) { watch_.monitor.handlePolledStatus(status); });
        });
        break;
    case mnuUpdateApp: reportingErrors(openSupportPage); break;
    case mnuHelp: reportingErrors(openUserGuide); break;
    case mnuAbout: reportingErrors(showAbout); break;
    case mnuNotifications: {
        const bool wanted = !notificationsWanted();
        rememberNotificationsWanted(wanted);
        CheckMenuItem(menu_, mnuNotifications, MF_BYCOMMAND | (wanted ? MF_CHECKED : MF_UNCHECKED));
        break;
    }
    case mnuExit:
        // The icon goes at once; a running write test writes the settings back first.
        trayIcon_.remove();
        tasks_.spawn(endAfterSelfTests());
        break;
    default: break;
    }
}

void frmPallixSysTray::changeIcon(int iconIndex)
{
    const HICON icon = icons_[iconIndex == 0 ? 0 : 1];
    if (!icon) {
        // The state must still show: the program's own icon stands in.
        const std::string missing = iconIndex == 0 ? "NerrinRed.ico" : "NerrinGray.ico";
        std::fprintf(stderr, "Pallix: icon %s missing, using the built-in one\n", missing.c_str());
    }
    trayIcon_.setIcon(icon ? icon : LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PALLIX)));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void frmPallixSysTray::showToolTip(const std::string &toolTip) { trayIcon_.setToolTip(toolTip); }

// The gray icon, its tooltip and one notification say it; then it ends.
void frmPallixSysTray::sayWhyNotWatching(const std::string &why)
{
    changeIcon(1);
    trayIcon_.setToolTip(why);
    trayIcon_.add();
    notify(appTitle(), why);
    standBy_.setSingleShot(true);
    standBy_.onTimeout = [this] {
        trayIcon_.remove();
        loop::EventLoop::current().quit(0);
    };
    standBy_.start(std::chrono::milliseconds(StandByMs));
}

void frmPallixSysTray::notify(const std::string &title, const std::string &text)
{
    if (!notificationsWanted() || !trayIcon_.added()) return;
    trayIcon_.notify(title, text);
}
