#include "render/circlevertices.h"

#include <cmath> // std::sin, std::cos, M_PI

namespace {

// cos and sin are taken in double precision of the single-precision angle, then rounded.
float cosOf(float angle) {
    return static_cast<float>(std::cos(static_cast<double>(angle)));
}
float sinOf(float angle) {
    return static_cast<float>(std::sin(static_cast<double>(angle)));
}

float ramp(float angle) {
    return 0.5f + 0.5f * cosOf(angle);
}

} // namespace

CircleFanPoint circleFanPoint(int i) {
    float t = static_cast<float>(i) / 15;
    t = t + t;
    const float theta = static_cast<float>(t * M_PI);
    return CircleFanPoint{sinOf(theta), cosOf(theta), ramp(theta), ramp(theta + 2),
                          ramp(theta + 4)};
}

void circleVertices(Vec2 centre, float radius, CircleVertex (&out)[circleVertexCount],
                    Rotation rotation) {
    for (int i = 0; i < circleVertexCount; ++i) {
        const CircleFanPoint p = circleFanPoint(i);
        const Vec2 unit = turnedFanPoint(p, rotation);
        out[i] = CircleVertex{onCircle(centre.x, radius, unit.x),
                              onCircle(centre.y, radius, unit.y),
                              p.red,
                              p.green,
                              p.blue,
                              1};
    }
}
