#include "physics/shapes.h"

#include "physics/finitebodies.h"

#include <cmath>   // std::fabs
#include <cstring> // std::memcpy

using manifolds::direction;
using manifolds::onePoint;

namespace {

const Circle &asCircle(const BaseEntity &body) {
    return static_cast<const Circle &>(body);
}

const RectAngle &asRectangle(const BaseEntity &body) {
    return static_cast<const RectAngle &>(body);
}

float clampToHalf(float d, float half) {
    if (d > half)
        return half;
    if (-half > d)
        return -half;
    return d;
}

// The contact of a circle whose centre lies inside a rectangle (or on its boundary), d being the
// centre's offset from the rectangle's centre: the circle leaves through the nearest face. The
// penetration is the radius plus the centre's depth behind that face.
Manifold faceContact(float radius, Vec2 d, Vec2 half) {
    const float depths[] = {half.x + d.x, half.x - d.x, half.y + d.y, half.y - d.y};
    const Vec2 normals[] = {Vec2(1, 0), Vec2(-1, 0), Vec2(0, 1), Vec2(0, -1)};
    int nearest = 0;
    for (int face = 1; face < 4; ++face) {
        if (depths[face] < depths[nearest])
            nearest = face;
    }
    return onePoint(normals[nearest], radius, radius + depths[nearest]);
}

void circleSize(const BaseEntity &body, ShapeSize &size) {
    size.dimensions[0] = asCircle(body).radius;
}

void resizeCircle(BaseEntity &body, const ShapeSize &size) {
    static_cast<Circle &>(body).radius = static_cast<float>(size.dimensions[0]);
}

BaseEntity *newCircle() {
    return new Circle(0);
}

// Measured in double, where the squares of any float distance are exact enough to compare.
bool circleContains(const BaseEntity &body, Vec2 point) {
    const double dx = static_cast<double>(point.x) - body.position.x;
    const double dy = static_cast<double>(point.y) - body.position.y;
    const double radius = asCircle(body).radius;
    return dx * dx + dy * dy <= radius * radius;
}

void rectangleSize(const BaseEntity &body, ShapeSize &size) {
    size.dimensions[0] = asRectangle(body).width;
    size.dimensions[1] = asRectangle(body).height;
}

void resizeRectangle(BaseEntity &body, const ShapeSize &size) {
    auto &rect = static_cast<RectAngle &>(body);
    rect.width = static_cast<int>(size.dimensions[0]);
    rect.height = static_cast<int>(size.dimensions[1]);
}

BaseEntity *newRectangle() {
    return new RectAngle(0, 0);
}

// The position is the lower-left corner.
bool rectangleContains(const BaseEntity &body, Vec2 point) {
    const double x = static_cast<double>(point.x) - body.position.x;
    const double y = static_cast<double>(point.y) - body.position.y;
    return x >= 0 && y >= 0 && x <= asRectangle(body).width && y <= asRectangle(body).height;
}

void boxSize(const BaseEntity &body, ShapeSize &size) {
    size.dimensions[0] = static_cast<const Box &>(body).halfExtents.x;
    size.dimensions[1] = static_cast<const Box &>(body).halfExtents.y;
}

void resizeBox(BaseEntity &body, const ShapeSize &size) {
    static_cast<Box &>(body).halfExtents =
        Vec2(static_cast<float>(size.dimensions[0]), static_cast<float>(size.dimensions[1]));
}

BaseEntity *newBox() {
    return new Box(0, 0);
}

// The point in the box's own frame, where the box is axis-aligned.
bool boxContains(const BaseEntity &body, Vec2 point) {
    const Vec2 local = body.rotation.applyInverse(point - body.position);
    const Vec2 half = static_cast<const Box &>(body).halfExtents;
    return std::fabs(local.x) <= half.x && std::fabs(local.y) <= half.y;
}

struct KindRoutines {
    void (*size)(const BaseEntity &body, ShapeSize &size);
    void (*resize)(BaseEntity &body, const ShapeSize &size);
    BaseEntity *(*make)();
    bool (*contains)(const BaseEntity &body, Vec2 point);
};

// By kind, as shapeKinds.
const KindRoutines kindRoutines[shapeKindCount] = {
    {circleSize, resizeCircle, newCircle, circleContains},
    {rectangleSize, resizeRectangle, newRectangle, rectangleContains},
    {boxSize, resizeBox, newBox, boxContains},
};

std::uint64_t bitsOf(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

const ShapeKind shapeKinds[shapeKindCount] = {
    {"circle", 1, {{"radius", false}}},
    {"rectangle", 2, {{"width", true}, {"height", true}}},
    {"box", 2, {{"half_width", false}, {"half_height", false}}},
};

Manifold circleVsRect(const BaseEntity &c, const BaseEntity &r, float reach) {
    const float radius = asCircle(c).radius;
    const RectAngle &rect = asRectangle(r);
    const float width = static_cast<float>(rect.width);
    const float height = static_cast<float>(rect.height);
    const Vec2 min = r.position;
    const Vec2 max(r.position.x + width, r.position.y + height);
    const Vec2 half(width * 0.5f, height * 0.5f);
    const Vec2 centre((min.x + max.x) * 0.5f, (min.y + max.y) * 0.5f);
    const Vec2 d = c.position - centre;
    const Vec2 clamped(clampToHalf(d.x, half.x), clampToHalf(d.y, half.y));
    const Vec2 closest = centre + clamped;
    const Vec2 n = closest - c.position;
    // With the centre inside the rectangle or on its boundary, n is nothing but rounding noise
    // (often exactly zero) and has no usable direction.
    const bool insideOrOnEdge = (clamped.x == d.x || n.x == 0) && (clamped.y == d.y || n.y == 0);
    const float dist = n.length();
    if (insideOrOnEdge || dist == 0)
        return faceContact(radius, d, half);
    if (!(radius + reach > dist))
        return Manifold(); // touching is not a contact here
    return onePoint(direction(n, dist), radius, radius - dist);
}

Manifold circleVsAlignedBox(float radius, Vec2 d, Vec2 half, float reach) {
    const Vec2 clamped(clampToHalf(d.x, half.x), clampToHalf(d.y, half.y));
    const Vec2 n = clamped - d;
    const float dist = n.length();
    // A centre inside the box (or on its boundary) clamps to itself.
    if (dist == 0)
        return faceContact(radius, d, half);
    if (!(radius + reach > dist))
        return Manifold(); // touching is not a contact here
    return onePoint(direction(n, dist), radius, radius - dist);
}

Collision collide(const BaseEntity &first, const BaseEntity &second, float reach) {
    Collision found;
    found.manifold =
        collideKinds(first, contactKind(first), second, contactKind(second), reach, found.reversed);
    return found;
}

int contactKind(const BaseEntity &body) {
    return contactKind(body, body.type());
}

int contactKind(const BaseEntity &body, int kind) {
    return isShapeKind(kind) && isFiniteBody(body) ? kind : noContactKind;
}

BoundingBox boundingBox(const BaseEntity &body) {
    return boundingBox(body, body.type());
}

bool containsPoint(const BaseEntity &body, Vec2 point) {
    const int kind = body.type();
    return isShapeKind(kind) && kindRoutines[kind].contains(body, point);
}

ShapeSize shapeSize(const BaseEntity &body) {
    ShapeSize size;
    size.kind = body.type();
    if (isShapeKind(size.kind))
        kindRoutines[size.kind].size(body, size);
    return size;
}

bool sameShapeSize(const ShapeSize &a, const ShapeSize &b) {
    for (int k = 0; k < maxShapeDimensions; ++k) {
        if (bitsOf(a.dimensions[k]) != bitsOf(b.dimensions[k]))
            return false;
    }
    return a.kind == b.kind;
}

BaseEntity *makeBody(const ShapeSize &size) {
    if (!isShapeKind(size.kind))
        return nullptr;
    BaseEntity *body = kindRoutines[size.kind].make();
    setShapeSize(*body, size);
    return body;
}

void setShapeSize(BaseEntity &body, const ShapeSize &size) {
    if (isShapeKind(size.kind))
        kindRoutines[size.kind].resize(body, size);
}
