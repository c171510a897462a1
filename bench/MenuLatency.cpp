// How long after a right click on the tray icon its menu is on screen: the
// click goes in through XTest, and the time runs until the X server maps a
// new window (the menu). Escape closes the menu again.
//
//   menu-latency <x> <y> [timeout ms]     prints the milliseconds; exit status 1 on timeout
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

// A window the size of a menu: tooltips and the icon's own are smaller.
bool menuSized(Display *display, Window window)
{
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.width >= 80
           && attributes.height >= 80;
}

// Waits for an event of the given type about a menu-sized window under the
// root window (any event for type -1).
bool waitFor(Display *display, int type, Clock::time_point deadline)
{
    while (Clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (type == MapNotify && event.type == MapNotify
                && menuSized(display, event.xmap.window))
                return true;
            if (type == UnmapNotify && event.type == UnmapNotify) return true;
        }
        const int fd = ConnectionNumber(display);
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval wait{0, 2000};
        select(fd + 1, &readable, nullptr, nullptr, &wait);
    }
    return false;
}

// Escape once the menu has the keyboard; a click beside it where that is
// not enough, so the next click opens a menu rather than closing one.
void closeMenu(Display *display)
{
    const auto settle = std::chrono::milliseconds(150);
    const auto start = Clock::now();
    while (Clock::now() < start + settle)
        waitFor(display, -1, Clock::now() + settle);
    const KeyCode escape = XKeysymToKeycode(display, XK_Escape);
    XTestFakeKeyEvent(display, escape, True, CurrentTime);
    XTestFakeKeyEvent(display, escape, False, CurrentTime);
    XFlush(display);
    if (waitFor(display, UnmapNotify, Clock::now() + std::chrono::seconds(2))) return;
    XTestFakeMotionEvent(display, -1, 1, 700, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
    waitFor(display, UnmapNotify, Clock::now() + std::chrono::seconds(2));
}

}   // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <x> <y> [timeout ms]\n", argv[0]);
        return 2;
    }
    const int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
    const auto timeout = std::chrono::milliseconds(argc > 3 ? std::atoi(argv[3]) : 10000);
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("no display\n", stderr);
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XSync(display, True);

    const auto clicked = Clock::now();
    XTestFakeButtonEvent(display, 3, True, CurrentTime);
    XTestFakeButtonEvent(display, 3, False, CurrentTime);
    XFlush(display);
    const bool shown = waitFor(display, MapNotify, clicked + timeout);
    const auto elapsed = std::chrono::duration<double, std::milli>(Clock::now() - clicked);
    if (shown) {
        std::printf("%.1f\n", elapsed.count());
        closeMenu(display);
    }
    // Away from the icon, so no tooltip comes up before the next click.
    XTestFakeMotionEvent(display, -1, 1, 700, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
    return shown ? 0 : 1;
}
