#pragma once

#include "math/vec2.h"
#include "render/sceneview.h"
#include "ui/windowgeometry.h"

class EntityArray;

// What part of the scene the window shows. The designed view is the scene units of the window's
// logical size when the scene was built, stretched over the window whatever its size since; the
// camera zooms and pans from there, between 1/1024 and 64 times the designed scale (a pile of
// 100 000 circles, 350 000 units tall, fits in the window at 1/1024). It changes
// nothing in the simulation and is not recorded.
class Camera {
public:
    static constexpr double minScale = 1.0 / 1024;
    static constexpr double maxScale = 64;

    // Back to the designed view of a scene built in a window of sceneSize.
    void reset(WindowSize sceneSize);
    void reset() { reset(designed); }
    const SceneView &view() const { return current; }
    // The designed scale over the current one's: 2 when zoomed in twice.
    double scale() const;

    // The scene point under a position in the window (logical pixels, origin top-left, y down).
    Vec2 scenePoint(WindowPoint position, WindowSize windowSize) const;
    // Zooms by factor (above 1: closer) keeping the scene point under position where it is.
    void zoomAbout(WindowPoint position, WindowSize windowSize, double factor);
    void zoomAboutCentre(double factor);
    // Moves the view by a share of its width and height (right and up are positive).
    void pan(double widthShare, double heightShare);
    // Moves the view so the scene follows the pointer from one position to another.
    void drag(WindowPoint from, WindowPoint to, WindowSize windowSize);
    // Shows the box (the bodies that never move) and every body in it, above it, or beside or
    // below it within the box's own size, in the designed view's proportions: circles that
    // spilled over the walls and fell far are left out. Without walls, every body whose
    // position is finite.
    void frame(const EntityArray &bodies);

private:
    // scenePoint() before it is rounded to float.
    struct ScenePoint {
        double x;
        double y;
    };
    ScenePoint sceneAt(WindowPoint position, WindowSize windowSize) const;
    void zoomAboutPoint(double x, double y, double factor);

    WindowSize designed;
    SceneView current;
};
