#pragma once

#include "math/vec2.h"
#include "physics/baseentity.h"
#include "physics/box.h"
#include "physics/circle.h"
#include "physics/rectangle.h"

#include <array>   // std::array
#include <cmath>   // std::fabs
#include <cstdint> // std::uint32_t

// Everything that depends on the shape of a body, in one place: which kinds of body may collide,
// the contact of two bodies, a body's bounding box, and the numbers that size a shape. A kind is
// the body's type() code; adding a kind of body is adding it here (and its class, and its drawing
// in the front end). Only makeBody() allocates.

constexpr int shapeKindCount = 3;

constexpr bool isShapeKind(int kind) {
    return kind >= 0 && kind < shapeKindCount;
}

// The most points one contact of two shapes has.
constexpr int maxManifoldPoints = 2;

// One point where two bodies touch.
struct ManifoldPoint {
    // Where the point is, from body a's position: on a's surface along the normal.
    Vec2 anchorA;
    // How deep the bodies overlap along the normal; negative for a contact found within reach
    // before the shapes touch, by the gap between them.
    float penetration;
    // Which features of the two shapes touch there, so that a point can be matched with the same
    // point of the step before. A circle has one feature: every point of a circle's contact is 0.
    std::uint32_t featureId;
};

// How far apart two box outlines may still be and make a contact: the solver then lets them close
// the gap within the step and no further, so a box settling onto another meets it without a
// bounce, and a resting contact does not come and go with every step's rounding.
constexpr float speculativeDistance = 0.25f;

// Where two bodies a and b touch: a unit normal pointing from a toward b, the same for every
// point, and up to maxManifoldPoints points. No points: they do not touch.
struct Manifold {
    Vec2 normal;
    int pointCount = 0;
    ManifoldPoint points[maxManifoldPoints];
};

// A collision routine: the contact of a and b, whose kinds are those of its entry in the table.
// Shapes up to reach apart (0 or more) make a contact too, with the gap as negative penetration:
// a solver that looks ahead stops bodies closing a gap before they overlap.
using CollisionRoutine = Manifold (*)(const BaseEntity &a, const BaseEntity &b, float reach);

namespace manifolds {

// n.normalized(), length being n.length(), kept a unit vector when n is so short that its squared
// length is subnormal and length() has lost precision: scaling by a power of two first is exact.
// Otherwise n is divided by the length given, which is the one normalized() would compute again.
inline Vec2 direction(Vec2 n, float length) {
    constexpr float tiny = 0x1p-60f;
    return length < tiny ? (n * 0x1p64f).normalized() : Vec2(n.x / length, n.y / length);
}

// One point on a's surface, where a's radius reaches along the normal.
inline Manifold onePoint(Vec2 normal, float radiusA, float penetration) {
    Manifold m;
    m.normal = normal;
    m.pointCount = 1;
    m.points[0] = ManifoldPoint{normal * radiusA, penetration, 0};
    return m;
}

} // namespace manifolds

// Touching circles (centres exactly the sum of the radii and the reach apart) do make a contact,
// with penetration -reach; coincident centres push b straight up (normal (0, 1)). Inline: most
// pairs of a pile are circles (see collideKinds).
inline Manifold circleVsCircle(const BaseEntity &a, const BaseEntity &b, float reach) {
    const Vec2 d = b.position - a.position;
    const float radiusA = static_cast<const Circle &>(a).radius;
    const float r = radiusA + static_cast<const Circle &>(b).radius;
    const float length = d.length();
    if (!(length <= r + reach))
        return Manifold(); // touching circles (length == r + reach) do make a contact
    // Coincident centres (or a separation whose length rounds to 0) have no direction of their
    // own: push b straight up and a straight down.
    const Vec2 normal = length == 0 ? Vec2(0, 1) : manifolds::direction(d, length);
    return manifolds::onePoint(normal, radiusA, r - length);
}

// The circle is a, the normal points from it toward the rectangle. Exactly touching (at the
// reach) is no contact. A centre inside the rectangle or on its boundary leaves through the
// nearest face (ties in the order left, right, bottom, top), with the radius plus the centre's
// depth as penetration.
Manifold circleVsRect(const BaseEntity &circle, const BaseEntity &rect, float reach);
// The circle is a. The same rules as circleVsRect, in the box's own frame.
Manifold circleVsBox(const BaseEntity &circle, const BaseEntity &box, float reach);
// The circle's contact with an axis-aligned box centred on the origin, reaching half either side,
// the circle's centre being at d.
Manifold circleVsAlignedBox(float radius, Vec2 d, Vec2 half, float reach);
// Up to two points, each with its own depth (negative: apart by less than the speculative
// distance or the reach, whichever is the larger), on a's surface. The normal is that of the side
// the bodies are the furthest apart along (or the least deep). A point's feature names that side,
// which body it belongs to and the corner of the other body the point comes from, so that it
// keeps its feature while the boxes rest on each other.
Manifold boxVsBox(const BaseEntity &a, const BaseEntity &b, float reach);
// The box is a; the wall, as a box that never turns, is b.
Manifold boxVsRect(const BaseEntity &box, const BaseEntity &rect, float reach);

struct CollisionEntry {
    // nullptr: bodies of these kinds never collide.
    CollisionRoutine routine;
    // The routine takes the pair the other way round: the second body given becomes a.
    bool reversed;
};

// Row: the kind of the first body given, column: the second's.
inline constexpr CollisionEntry collisionTable[shapeKindCount][shapeKindCount] = {
    {{circleVsCircle, false}, {circleVsRect, false}, {circleVsBox, false}},
    // Rectangles are the scenes' walls, which never move and never overlap: they never collide
    // with each other.
    {{circleVsRect, true}, {nullptr, false}, {boxVsRect, true}},
    {{circleVsBox, true}, {boxVsRect, false}, {boxVsBox, false}},
};

// Whether bodies of these kinds can make a contact at all; false for an unknown kind. The same in
// either order.
inline bool mayCollide(int firstKind, int secondKind) {
    return isShapeKind(firstKind) && isShapeKind(secondKind) &&
           collisionTable[firstKind][secondKind].routine != nullptr;
}

// By kind, the kinds a body of that kind may collide with, bit k standing for kind k:
// mayCollide(a, b) is (collisionMasks[a] >> b) & 1, for a caller that tests many pairs.
inline const std::array<unsigned, shapeKindCount> collisionMasks = [] {
    std::array<unsigned, shapeKindCount> masks{};
    for (int kind = 0; kind < shapeKindCount; ++kind) {
        for (int other = 0; other < shapeKindCount; ++other) {
            if (mayCollide(kind, other))
                masks[kind] |= 1u << other;
        }
    }
    return masks;
}();

// The contact of two bodies given in either order.
struct Collision {
    // Whether a of the manifold is the second body given.
    bool reversed = false;
    Manifold manifold;
};

// The contact of first and second through the table, within reach (see CollisionRoutine). A body
// whose position or velocity is not finite makes none (see isFiniteBody), and neither does a body
// of an unknown kind.
Collision collide(const BaseEntity &first, const BaseEntity &second, float reach = 0);

// The kind the collision table takes the body as: its type(), or noContactKind for a body that
// makes no contact (not finite, or of an unknown kind).
constexpr int noContactKind = -1;
int contactKind(const BaseEntity &body);
// The same, for a caller that has already asked the body's type().
int contactKind(const BaseEntity &body, int kind);
// collide() for a caller that detects many pairs and has asked each body's contactKind() once: it
// spares every pair two virtual calls and the finiteness tests. Inline, and the manifold returned
// as the routine returns it, so that it is built where the caller keeps it: put into a Collision
// first, it would be copied through stores of other sizes, which the processor cannot forward.
inline Manifold collideKinds(const BaseEntity &first, int firstKind, const BaseEntity &second,
                             int secondKind, float reach, bool &reversed) {
    reversed = false;
    if (!mayCollide(firstKind, secondKind))
        return Manifold();
    // Two circles, most pairs of a pile, without the call through the table.
    static_assert(collisionTable[BodyType::Circle][BodyType::Circle].routine == circleVsCircle &&
                      !collisionTable[BodyType::Circle][BodyType::Circle].reversed,
                  "the table's entry for two circles");
    if (firstKind == BodyType::Circle && secondKind == BodyType::Circle)
        return circleVsCircle(first, second, reach);
    const CollisionEntry &entry = collisionTable[firstKind][secondKind];
    reversed = entry.reversed;
    return entry.reversed ? entry.routine(second, first, reach)
                          : entry.routine(first, second, reach);
}

// A body's bounding box on x (index 0) and y (1), in double precision.
struct BoundingBox {
    // The shape's extent, exact wherever the engine can bound it: rounded to float, each bound is
    // the float sum or difference of the position and the size.
    double lo[2];
    double hi[2];
    // How far beyond the extent the collision routines' float rounding can still find a contact:
    // two bodies whose extents, each widened by its own margin, do not overlap never touch.
    double margin[2];
    // False when no box can be trusted: an unknown kind, or a coordinate or size so large, or not
    // finite, that the routines' arithmetic may overflow. lo and hi are computed all the same.
    bool bounded;
};

BoundingBox boundingBox(const BaseEntity &body);
// The same, for a caller that has already asked the body's type().
inline BoundingBox boundingBox(const BaseEntity &body, int kind);

// Whether point lies on or inside the body's shape (a circle's disc, a box turned with its
// rotation). A wall, a kind the layer does not know, or a shape whose numbers are not finite,
// contains nothing.
bool containsPoint(const BaseEntity &body, Vec2 point);

// A number that sizes a shape, as the files keep it.
struct ShapeDimension {
    // Lower case, as in messages ("width"); the files' layouts write it in capitals.
    const char *name;
    // A whole number (a rectangle's sides), else a float.
    bool whole;
};

constexpr int maxShapeDimensions = 2;

struct ShapeKind {
    // What the files call it ("circle").
    const char *name;
    int dimensionCount;
    ShapeDimension dimensions[maxShapeDimensions];
};

// By kind: a circle is sized by its radius, a rectangle by its width and height, a box by half its
// width and half its height.
extern const ShapeKind shapeKinds[shapeKindCount];

// A body's shape, apart from where it is: its kind and its dimensions in its kind's order. Each
// dimension holds its float or whole number exactly.
struct ShapeSize {
    int kind = BodyType::Circle;
    double dimensions[maxShapeDimensions] = {};
};

ShapeSize shapeSize(const BaseEntity &body);
// Bit for bit: -0 differs from 0, and a NaN equals the same NaN.
bool sameShapeSize(const ShapeSize &a, const ShapeSize &b);
// A new body of that shape, every other field at its default; nullptr for an unknown kind.
BaseEntity *makeBody(const ShapeSize &size);
// Gives the body that size; it must be of the size's kind.
void setShapeSize(BaseEntity &body, const ShapeSize &size);

// The boxes are computed inline: the broad phase asks for every body's box every step.

namespace bounds {

// Beyond these magnitudes the routines' float arithmetic may overflow, so no box can be trusted.
// NaN fails the test too.
constexpr double maxCoordinate = 0x1p60;
constexpr int maxRectangleSize = 1 << 24; // integer sizes up to here convert to float exactly

// Widening every bound by these shares of the magnitudes involved covers all the rounding of the
// routines (each float operation errs by at most 2^-24 of its result) and of the boxes
// themselves (computed in double), so a pair is only left out when no rounding could bring it
// into contact: a float difference of two centres beyond r (1 + 2^-22) gives a length beyond r.
constexpr double sizeMargin = 0x1p-20;
constexpr double positionMargin = 0x1p-40;
constexpr double rectangleMargin = 0x1p-20;
constexpr double tinyMargin = 0x1p-60;

inline bool sane(float v) {
    return std::fabs(v) < maxCoordinate;
}

inline BoundingBox circleBox(const Circle &circle) {
    BoundingBox box;
    const float centre[2] = {circle.position.x, circle.position.y};
    const double r = std::fabs(static_cast<double>(circle.radius));
    const double sizeReach = r * sizeMargin + tinyMargin;
    box.bounded = sane(centre[0]) && sane(centre[1]) && sane(circle.radius);
    for (int axis = 0; axis < 2; ++axis) {
        const double c = centre[axis];
        box.lo[axis] = c - r;
        box.hi[axis] = c + r;
        box.margin[axis] = sizeReach + std::fabs(c) * positionMargin;
    }
    return box;
}

inline BoundingBox rectangleBox(const RectAngle &rect) {
    BoundingBox box;
    const float corner[2] = {rect.position.x, rect.position.y};
    const int size[2] = {rect.width, rect.height};
    box.bounded = true;
    for (int axis = 0; axis < 2; ++axis) {
        if (!sane(corner[axis]) || size[axis] < 0 || size[axis] > maxRectangleSize)
            box.bounded = false;
        const double low = corner[axis];
        const double high = low + size[axis];
        box.lo[axis] = low;
        box.hi[axis] = high;
        box.margin[axis] = (std::fabs(low) + std::fabs(high)) * rectangleMargin + tinyMargin;
    }
    return box;
}

// A body of no known shape: its position alone, which nothing can trust.
inline BoundingBox pointBox(const BaseEntity &body) {
    return BoundingBox{
        {body.position.x, body.position.y}, {body.position.x, body.position.y}, {0, 0}, false};
}

// The box turned: its reach along each axis from the centre, widened by the speculative distance,
// as the broad phase must find two boxes that far apart.
inline BoundingBox boxBox(const Box &box) {
    BoundingBox bounds;
    const float centre[2] = {box.position.x, box.position.y};
    const double c = std::fabs(static_cast<double>(box.rotation.c));
    const double s = std::fabs(static_cast<double>(box.rotation.s));
    const double hx = std::fabs(static_cast<double>(box.halfExtents.x));
    const double hy = std::fabs(static_cast<double>(box.halfExtents.y));
    const double reach[2] = {c * hx + s * hy, s * hx + c * hy};
    bounds.bounded = sane(centre[0]) && sane(centre[1]) && sane(box.halfExtents.x) &&
                     sane(box.halfExtents.y) && c <= 2 && s <= 2;
    for (int axis = 0; axis < 2; ++axis) {
        const double p = centre[axis];
        bounds.lo[axis] = p - reach[axis];
        bounds.hi[axis] = p + reach[axis];
        bounds.margin[axis] = speculativeDistance + (hx + hy) * sizeMargin +
                              std::fabs(p) * positionMargin + tinyMargin;
    }
    return bounds;
}

} // namespace bounds

inline BoundingBox boundingBox(const BaseEntity &body, int kind) {
    switch (kind) {
    case BodyType::Circle:
        return bounds::circleBox(static_cast<const Circle &>(body));
    case BodyType::RectAngle:
        return bounds::rectangleBox(static_cast<const RectAngle &>(body));
    case BodyType::Box:
        return bounds::boxBox(static_cast<const Box &>(body));
    default:
        return bounds::pointBox(body);
    }
}
