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

void circleVertices(Vec2 centre, float radius, CircleVertex (&out)[circleVertexCount]) {
    for (int i = 0; i < circleVertexCount; ++i) {
        float t = static_cast<float>(i) / 15;
        t = t + t;
        const float theta = static_cast<float>(t * M_PI);
        CircleVertex &v = out[i];
        v.x = centre.x + radius * sinOf(theta);
        v.y = centre.y + radius * cosOf(theta);
        v.red = ramp(theta);
        v.green = ramp(theta + 2);
        v.blue = ramp(theta + 4);
        v.alpha = 1;
    }
}
