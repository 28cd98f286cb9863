#pragma once

#include "math/vec2.h"
#include "render/sceneview.h"

#include <optional> // std::optional

// The part of the scene the current transform can show: a rectangle in scene units, widened so
// that a body it misses cannot reach a single pixel, whatever the rounding on either side.
struct ViewBounds {
    double left;
    double right;
    double bottom;
    double top;

    // True only when the circle is certainly outside; never for a non-finite centre or radius.
    bool misses(Vec2 centre, float radius) const;
};

// The bounds for OpenGL's column-major projection and model-view matrices, for bodies in the
// plane z = 0. Nothing when the transform is more than a scale and a translation on each axis
// (a rotation, a perspective): then nothing is known to be outside.
std::optional<ViewBounds> viewBounds(const double (&projection)[16], const double (&modelView)[16]);

// The bounds of what beginSceneFrame shows of the view.
std::optional<ViewBounds> viewBounds(const SceneView &view);
