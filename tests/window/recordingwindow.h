#pragma once

#include "window/openglwindow.h"

#include <QEvent>
#include <vector>

class QOpenGLContext;
class QSurface;

// An OpenGLWindow that records every hook call with what it found current at that moment, and
// every event that reached one of QWindow's own handlers. It has no timer: any frame it sees
// came from the window's own render loop or from the test.
class RecordingWindow : public OpenGLWindow {
public:
    enum class Hook { Initialize, Render };

    struct HookCall {
        Hook hook;
        QOpenGLContext *context;
        QSurface *surface;
        // The first OpenGL error seen in the call, or GL_NO_ERROR.
        GLenum error;
    };

    const std::vector<HookCall> &calls() const { return hookCalls; }
    int count(Hook hook) const;
    int initializeCount() const { return count(Hook::Initialize); }
    int renderCount() const { return count(Hook::Render); }

    // Types of the events that reached mousePressEvent, keyPressEvent and resizeEvent.
    const std::vector<QEvent::Type> &handledEvents() const { return handled; }

    // The QOpenGLFunctions base, which is not public.
    QOpenGLFunctions *functionsBase() { return this; }

protected:
    void initialize() override;
    void render() override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void record(Hook hook, GLenum error);

    std::vector<HookCall> hookCalls;
    std::vector<QEvent::Type> handled;
};
