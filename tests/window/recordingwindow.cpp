#include "tests/window/recordingwindow.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QResizeEvent>
#include <algorithm>

int RecordingWindow::count(Hook hook) const {
    return static_cast<int>(std::count_if(hookCalls.begin(), hookCalls.end(),
                                          [hook](const HookCall &c) { return c.hook == hook; }));
}

void RecordingWindow::initialize() {
    record(Hook::Initialize, glGetError());
}

void RecordingWindow::render() {
    // Errors left over from the previous frame or from the window itself show up first; then
    // the frame does the little a real one does, so its own calls are checked too.
    GLenum error = glGetError();
    const qreal ratio = devicePixelRatio();
    glViewport(0, 0, static_cast<int>(width() * ratio), static_cast<int>(height() * ratio));
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (error == GL_NO_ERROR)
        error = glGetError();
    record(Hook::Render, error);
}

void RecordingWindow::mousePressEvent(QMouseEvent *event) {
    handled.push_back(event->type());
}

void RecordingWindow::keyPressEvent(QKeyEvent *event) {
    handled.push_back(event->type());
}

void RecordingWindow::resizeEvent(QResizeEvent *event) {
    handled.push_back(event->type());
}

void RecordingWindow::record(Hook hook, GLenum error) {
    QOpenGLContext *current = QOpenGLContext::currentContext();
    hookCalls.push_back({hook, current, current ? current->surface() : nullptr, error});
}
