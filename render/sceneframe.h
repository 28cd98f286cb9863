#pragma once

#include "render/sceneview.h"

// Starts a frame in the current context: the viewport covers the framebuffer, pixelWidth by
// pixelHeight, it is cleared to white, and the view is mapped onto it. Does nothing without
// OpenGL 2.1.
void beginSceneFrame(int pixelWidth, int pixelHeight, const SceneView &view);
