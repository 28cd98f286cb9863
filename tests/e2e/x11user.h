#pragma once

#include <QPoint>
#include <QSize>
#include <vector>

struct _XDisplay;

// Acts on the X display of $DISPLAY as a person at the keyboard would: finds a program's
// windows, moves and clicks the real pointer (XTest) and asks a window to close the way a window
// manager's close button does. Assumes no window manager, as under xvfb-run, so a program's
// top-level windows are children of the root window. Every call returns once the X server has
// processed it.
class X11User {
public:
    using Window = unsigned long;
    static constexpr int leftButton = 1;
    static constexpr int rightButton = 3;
    // A wheel's turn is a click of these.
    static constexpr int wheelUp = 4;
    static constexpr int wheelDown = 5;

    X11User();
    ~X11User();
    X11User(const X11User &) = delete;
    X11User &operator=(const X11User &) = delete;

    // Whether the display could be opened and offers XTest.
    bool ready() const;

    // The viewable top-level windows whose _NET_WM_PID is pid.
    std::vector<Window> viewableWindowsOf(long long pid) const;
    bool exists(Window window) const;
    bool isViewable(Window window) const;
    QSize size(Window window) const;
    // Whether the window asks to be sent WM_DELETE_WINDOW instead of being killed.
    bool acceptsDeleteRequests(Window window) const;

    // Presses and releases button at point, in the window's coordinates.
    void click(Window window, int button, QPoint point);
    // Presses button at from, moves through a few points to to, and releases it there.
    void drag(Window window, int button, QPoint from, QPoint to);
    // Sends the WM_DELETE_WINDOW client message a close button sends.
    void requestClose(Window window);

    // Presses and releases the key of an X keysym (XK_space, XK_n, ...) with the pointer over the
    // window, which then has the keyboard with no window manager.
    void pressKey(Window window, unsigned long keysym);
    // What a window manager does when the window is resized, minimised and restored.
    void resize(Window window, QSize size);
    void unmap(Window window);
    void map(Window window);

private:
    void movePointer(Window window, QPoint point);

    _XDisplay *display = nullptr;
    bool hasXTest = false;
};
