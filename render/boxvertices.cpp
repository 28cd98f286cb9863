#include "render/boxvertices.h"

#include "physics/box.h"

void boxVertices(const Box &box, float (&out)[2 * boxVertexCount]) {
    const Vec2 h = box.halfExtents;
    const Vec2 local[boxVertexCount] = {Vec2(-h.x, -h.y), Vec2(-h.x, h.y), Vec2(h.x, h.y),
                                        Vec2(h.x, -h.y)};
    for (int k = 0; k < boxVertexCount; ++k) {
        const Vec2 corner = box.position + box.rotation.apply(local[k]);
        out[2 * k] = corner.x;
        out[2 * k + 1] = corner.y;
    }
}
