// xmaximize WINDOW on|off: asks the window manager to maximise a top-level window or to restore it, as
// its maximise button does, by the _NET_WM_STATE request of the desktop's window manager protocol.
// Exits 1 when the display cannot be reached or the request cannot be sent.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[2], "on") != 0 && std::strcmp(argv[2], "off") != 0)) {
        std::fprintf(stderr, "usage: xmaximize WINDOW on|off\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    Window window = std::strtoul(argv[1], nullptr, 0);
    constexpr long kRemove = 0, kAdd = 1, kSourceApplication = 1;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = std::strcmp(argv[2], "on") == 0 ? kAdd : kRemove;
    event.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False));
    event.xclient.data.l[2] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
    event.xclient.data.l[3] = kSourceApplication;
    Status ok = XSendEvent(display, DefaultRootWindow(display), False,
                           SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return ok ? 0 : 1;
}
