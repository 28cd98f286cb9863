#include "render/rectanglevertices.h"

void rectangleVertices(Vec2 position, int width, int height,
                       float (&out)[2 * rectangleVertexCount]) {
    const float x = position.x;
    const float y = position.y;
    const float x2 = x + static_cast<float>(width);
    const float y2 = y + static_cast<float>(height);
    const float corners[] = {x, y, x, y2, x2, y2, x2, y};
    for (int i = 0; i < 2 * rectangleVertexCount; ++i)
        out[i] = corners[i];
}
