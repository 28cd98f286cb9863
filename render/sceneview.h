#pragma once

// The part of the scene a frame shows, in scene units: the scene point at each edge of the
// viewport. The designed view is (0, width, 0, height) of the window's logical size when the scene
// was built, so the picture stretches with the window.
struct SceneView {
    double left = 0;
    double right = 0;
    double bottom = 0;
    double top = 0;
};
