#include "tests/e2e/x11user.h"

#include "tests/support/wmdelete.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

// A window can vanish between listing and asking about it; Xlib's default handler would end
// the test process for that. The failed request simply leaves its result zeroed instead.
int ignoreError(Display *, XErrorEvent *) {
    return 0;
}

} // namespace

X11User::X11User() : display(XOpenDisplay(nullptr)) {
    XSetErrorHandler(ignoreError);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    hasXTest = display && XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);
}

X11User::~X11User() {
    if (display)
        XCloseDisplay(display);
}

bool X11User::ready() const {
    return hasXTest;
}

std::vector<X11User::Window> X11User::viewableWindowsOf(long long pid) const {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    ::Window root = 0, parent = 0;
    ::Window *children = nullptr;
    unsigned count = 0;
    std::vector<Window> found;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return found;
    for (unsigned i = 0; i < count; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, remaining = 0;
        unsigned char *data = nullptr;
        const bool read =
            XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type,
                               &format, &items, &remaining, &data) == Success;
        // Format-32 properties arrive as longs.
        if (read && data && format == 32 && items == 1 && *reinterpret_cast<long *>(data) == pid &&
            isViewable(children[i]))
            found.push_back(children[i]);
        if (data)
            XFree(data);
    }
    if (children)
        XFree(children);
    return found;
}

bool X11User::exists(Window window) const {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) != 0;
}

bool X11User::isViewable(Window window) const {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

QSize X11User::size(Window window) const {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes))
        return QSize();
    return QSize(attributes.width, attributes.height);
}

bool X11User::acceptsDeleteRequests(Window window) const {
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom *protocols = nullptr;
    int count = 0;
    bool accepts = false;
    if (XGetWMProtocols(display, window, &protocols, &count)) {
        for (int i = 0; i < count; ++i)
            accepts = accepts || protocols[i] == deleteWindow;
        XFree(protocols);
    }
    return accepts;
}

void X11User::click(Window window, int button, QPoint point) {
    movePointer(window, point);
    XTestFakeButtonEvent(display, static_cast<unsigned>(button), True, CurrentTime);
    XTestFakeButtonEvent(display, static_cast<unsigned>(button), False, CurrentTime);
    XSync(display, False);
}

void X11User::drag(Window window, int button, QPoint from, QPoint to) {
    movePointer(window, from);
    XTestFakeButtonEvent(display, static_cast<unsigned>(button), True, CurrentTime);
    constexpr int steps = 8;
    for (int s = 1; s <= steps; ++s)
        movePointer(window, from + (to - from) * s / steps);
    XTestFakeButtonEvent(display, static_cast<unsigned>(button), False, CurrentTime);
    XSync(display, False);
}

void X11User::requestClose(Window window) {
    sendDeleteRequest(display, window);
    XSync(display, False);
}

void X11User::pressKey(Window window, unsigned long keysym) {
    movePointer(window, QPoint(1, 1));
    const KeyCode code = XKeysymToKeycode(display, keysym);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
}

void X11User::resize(Window window, QSize size) {
    XResizeWindow(display, window, static_cast<unsigned>(size.width()),
                  static_cast<unsigned>(size.height()));
    XSync(display, False);
}

void X11User::unmap(Window window) {
    XUnmapWindow(display, window);
    XSync(display, False);
}

void X11User::map(Window window) {
    XMapWindow(display, window);
    XSync(display, False);
}

void X11User::movePointer(Window window, QPoint point) {
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), point.x(), point.y(), &x, &y,
                          &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XSync(display, False);
}
