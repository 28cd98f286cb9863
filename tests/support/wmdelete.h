#pragma once

// The WM_DELETE_WINDOW client message a window manager's close button sends, shared by the
// end-to-end tests and the leak check's closer.

#include <X11/Xlib.h>

inline void sendDeleteRequest(Display *display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
}
