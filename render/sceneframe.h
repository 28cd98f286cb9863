#pragma once

#include <QSize>
#include <QString>

// The part of the scene a frame shows, in scene units: the scene point at each edge of the
// viewport. The designed view is (0, width, 0, height) of the window's logical size when the scene
// was built, so the picture stretches with the window.
struct SceneView {
    double left = 0;
    double right = 0;
    double bottom = 0;
    double top = 0;
};

// Starts a frame in the current context: the viewport covers the framebuffer, pixels in size, it
// is cleared to white, and the view is mapped onto it. Does nothing without OpenGL 2.1.
void beginSceneFrame(QSize pixels, const SceneView &view);

// Empty when the current context offers OpenGL 2.1, else one line saying what it offers.
QString missingOpenGl();
