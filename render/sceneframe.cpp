#include "render/sceneframe.h"

#include "render/gl21.h"

void beginSceneFrame(int pixelWidth, int pixelHeight, const SceneView &view) {
    Gl21 *gl = currentGl21();
    if (!gl)
        return;
    gl->glViewport(0, 0, pixelWidth, pixelHeight);
    gl->glClearColor(1, 1, 1, 1);
    gl->glClear(GL_COLOR_BUFFER_BIT);
    // The view on the model-view matrix, the projection left as the identity.
    gl->glMatrixMode(GL_MODELVIEW);
    gl->glLoadIdentity();
    gl->glOrtho(view.left, view.right, view.bottom, view.top, -1, 1);
}
