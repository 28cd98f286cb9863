#pragma once

#include <QOpenGLFunctions>
#include <QWindow>

class QOpenGLContext;

// A window that owns an OpenGL context and renders continuously. The first frame that finds the
// window exposed creates the context and runs initialize() once; every frame then runs render(),
// swaps and asks Qt for the next update, so frames follow buffer swaps with no timer of their
// own. A frame that finds the window unexposed ends the chain; the next expose restarts it.
class OpenGLWindow : public QWindow, protected QOpenGLFunctions {
    Q_OBJECT

public:
    explicit OpenGLWindow(QWindow *parent = nullptr);

public slots:
    // Renders one frame now if the window is exposed.
    void renderNow();

protected:
    // Called every frame with the context current.
    virtual void render() {}
    // Called once, right after the context is created and made current.
    virtual void initialize() {}

    bool event(QEvent *e) override;
    void exposeEvent(QExposeEvent *e) override;

private:
    // Created by the first exposed frame; a Qt child of the window.
    QOpenGLContext *context = nullptr;
};
