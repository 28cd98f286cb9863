// Closes a program's window the way a window manager's close button does, so that the program
// leaves through its event loop and runs its destructors: waits until a viewable top-level window
// of the given WM_CLASS has drawn its first frame, lets it run for a while, then sends it
// WM_DELETE_WINDOW. The X server need not run a window manager.
// Usage: wm-delete-window CLASS WAIT_SECONDS RUN_SECONDS
// Exits 0 once the message is sent, 1 if no such window drew a frame within WAIT_SECONDS.

#include "tests/support/wmdelete.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>  // std::chrono
#include <cstdio>  // std::fprintf
#include <cstdlib> // std::atoi
#include <cstring> // std::strcmp
#include <thread>  // std::this_thread::sleep_for

namespace {

bool hasClass(Display *display, Window window, const char *name) {
    XClassHint hint{};
    if (!XGetClassHint(display, window, &hint))
        return false;
    const bool match = (hint.res_name && std::strcmp(hint.res_name, name) == 0) ||
                       (hint.res_class && std::strcmp(hint.res_class, name) == 0);
    XFree(hint.res_name);
    XFree(hint.res_class);
    return match;
}

// A viewable top-level window of that class, or None. Without a window manager top-level windows
// are the root's children.
Window findWindow(Display *display, const char *name) {
    Window root = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return None;
    Window found = None;
    for (unsigned i = 0; i < count && found == None; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable && hasClass(display, children[i], name))
            found = children[i];
    }
    XFree(children);
    return found;
}

// Before its first frame a window shows nothing (black on Xvfb); every frame starts by clearing
// to white, and the top middle of the demo's scene stays background.
bool hasDrawnFrame(Display *display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return false;
    XImage *image = XGetImage(display, window, attributes.width / 2, 2, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return false;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return (pixel & 0xffffff) == 0xffffff;
}

int ignoreXError(Display *, XErrorEvent *) {
    return 0; // the window may vanish between two requests
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: wm-delete-window CLASS WAIT_SECONDS RUN_SECONDS\n");
        return 2;
    }
    const char *name = argv[1];
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[2]));
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "wm-delete-window: cannot open the X display\n");
        return 1;
    }
    XSetErrorHandler(ignoreXError);

    Window window = None;
    while (window == None || !hasDrawnFrame(display, window)) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "wm-delete-window: no window of class %s drew a frame\n", name);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        window = findWindow(display, name);
    }
    std::this_thread::sleep_for(std::chrono::seconds(std::atoi(argv[3])));

    sendDeleteRequest(display, window);
    XCloseDisplay(display); // flushes the message
    return 0;
}
