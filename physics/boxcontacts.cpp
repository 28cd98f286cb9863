// The contacts of boxes: with each other, with a wall and with a circle. Two outlines are compared
// by separating axes (the side along which they are the furthest apart, or the least deep), the
// touching side of the other outline is clipped to that side's width, and what is left of it
// gives up to two points. All of it is computed from the first body's centre, so that positions
// far from the origin lose no more precision than the offset between the bodies has.

#include "math/lanes.h"
#include "physics/box.h"
#include "physics/circle.h"
#include "physics/rectangle.h"
#include "physics/shapes.h"

#include <algorithm> // std::max

namespace {

constexpr int corners = 4;

// A box's outline in a frame whose origin is the first body's centre: its corners in
// counter-clockwise order and the outward normal of each side, side i running from corner i to
// corner i + 1, one corner (and side) a lane.
struct Outline {
    LaneVec2 corner;
    LaneVec2 normal;

    Vec2 cornerAt(int k) const { return Vec2(corner.x[k], corner.y[k]); }
    Vec2 normalAt(int k) const { return Vec2(normal.x[k], normal.y[k]); }
};

// Rotation::apply on the four corners at once, each lane rounded as alone.
LaneVec2 turned(Rotation q, LaneVec2 v) {
    const Lanes c = splat(q.c);
    const Lanes s = splat(q.s);
    return LaneVec2{c * v.x - s * v.y, s * v.x + c * v.y};
}

Outline outlineOf(Vec2 centre, Rotation q, Vec2 half) {
    static_assert(laneCount == corners, "one corner a lane");
    const LaneVec2 local{Lanes{-half.x, half.x, half.x, -half.x},
                         Lanes{-half.y, -half.y, half.y, half.y}};
    const LaneVec2 localNormal{Lanes{0, 1, 0, -1}, Lanes{-1, 0, 1, 0}};
    const LaneVec2 offset = turned(q, local);
    return Outline{LaneVec2{splat(centre.x) + offset.x, splat(centre.y) + offset.y},
                   turned(q, localNormal)};
}

// The side of p along which q lies the furthest out (or, overlapping, the least deep), and how far.
struct Separation {
    int side;
    float distance;
};

// The distances of q's corners from p's four sides are computed a corner at a time, the sides in
// lanes, each rounded as alone; the nearest corner of each side is taken in the corners' order,
// then the side furthest out in the sides' order, the first of equals.
Separation greatestSeparation(const Outline &p, const Outline &q) {
    Lanes nearest{};
    for (int k = 0; k < corners; ++k) {
        const LaneVec2 offset{splat(q.corner.x[k]) - p.corner.x, splat(q.corner.y[k]) - p.corner.y};
        const Lanes d = p.normal.dot(offset);
        nearest = k == 0 ? d : smaller(nearest, d);
    }
    Separation best{0, nearest[0]};
    for (int side = 1; side < corners; ++side) {
        if (nearest[side] > best.distance)
            best = Separation{side, nearest[side]};
    }
    return best;
}

// A point of the clipped side, and the corner of the incident outline it came from.
struct ClipPoint {
    Vec2 at;
    int corner;
};

// Keeps the part of the segment from points[0] to points[1] where dot(direction, p) <= limit. A
// point cut off is moved to the limit and keeps its corner, so that a contact keeps its feature
// as the bodies shift a little. False when nothing is left.
bool clip(ClipPoint points[2], Vec2 direction, float limit) {
    const float d0 = direction.dot(points[0].at) - limit;
    const float d1 = direction.dot(points[1].at) - limit;
    if (d0 > 0 && d1 > 0)
        return false;
    if (d0 > 0 || d1 > 0) {
        const float share = d0 / (d0 - d1);
        const Vec2 cut = points[0].at + (points[1].at - points[0].at) * share;
        // Each point by a constant index, so that both can stay in registers.
        if (d0 > 0)
            points[0].at = cut;
        else
            points[1].at = cut;
    }
    return true;
}

// The manifold of outlines a and b (in a frame centred on a's position) when either's sides
// separate them by no more than the speculative distance or the reach, whichever is the larger. The
// side furthest apart gives the reference; b's is preferred only when it is clearly better, so that
// a resting contact does not switch between them from one step to the next.
Manifold outlineContact(const Outline &a, const Outline &b, float reach) {
    // Every path returns m, so that it is built in the caller's manifold rather than copied there.
    Manifold m;
    const float ahead = std::max(speculativeDistance, reach);
    const Separation fromA = greatestSeparation(a, b);
    if (fromA.distance > ahead)
        return m;
    const Separation fromB = greatestSeparation(b, a);
    if (fromB.distance > ahead)
        return m;
    constexpr float preference = 0.005f;
    const bool flipped = fromB.distance > fromA.distance + preference;
    const Outline &reference = flipped ? b : a;
    const Outline &incident = flipped ? a : b;
    const int side = flipped ? fromB.side : fromA.side;
    const Vec2 n = reference.normalAt(side);

    // The incident side: the one facing the reference side the most, the first of equals.
    const Lanes facingness = incident.normal.x * splat(n.x) + incident.normal.y * splat(n.y);
    int facing = 0;
    for (int k = 1; k < corners; ++k) {
        if (facingness[k] < facingness[facing])
            facing = k;
    }
    const int next = (facing + 1) % corners;
    ClipPoint points[2] = {{incident.cornerAt(facing), facing}, {incident.cornerAt(next), next}};

    const Vec2 start = reference.cornerAt(side);
    const Vec2 end = reference.cornerAt((side + 1) % corners);
    const Vec2 along(-n.y, n.x); // from start toward end
    if (!clip(points, along, along.dot(end)) || !clip(points, -along, -along.dot(start)))
        return m;

    m.normal = flipped ? -n : n;
    for (const ClipPoint &p : points) {
        const float separation = n.dot(p.at - start);
        if (separation > ahead)
            continue;
        // On a's surface: the incident point itself when a is the incident outline, else the
        // point's projection onto a's side.
        const Vec2 onA = flipped ? p.at : p.at - n * separation;
        const std::uint32_t feature = (flipped ? 0x100u : 0u) |
                                      static_cast<std::uint32_t>(side) << 4 |
                                      static_cast<std::uint32_t>(p.corner);
        m.points[m.pointCount++] = ManifoldPoint{onA, -separation, feature};
    }
    return m;
}

// A wall's outline, in a frame centred on origin: its centre computed as the circle's contact
// computes it.
Outline wallOutline(const RectAngle &wall, Vec2 origin) {
    const float width = static_cast<float>(wall.width);
    const float height = static_cast<float>(wall.height);
    const Vec2 min = wall.position;
    const Vec2 max(wall.position.x + width, wall.position.y + height);
    const Vec2 centre((min.x + max.x) * 0.5f, (min.y + max.y) * 0.5f);
    return outlineOf(centre - origin, Rotation(), Vec2(width * 0.5f, height * 0.5f));
}

} // namespace

Manifold boxVsBox(const BaseEntity &a, const BaseEntity &b, float reach) {
    const Box &boxA = static_cast<const Box &>(a);
    const Box &boxB = static_cast<const Box &>(b);
    return outlineContact(outlineOf(Vec2(0, 0), a.rotation, boxA.halfExtents),
                          outlineOf(b.position - a.position, b.rotation, boxB.halfExtents), reach);
}

Manifold boxVsRect(const BaseEntity &box, const BaseEntity &rect, float reach) {
    return outlineContact(
        outlineOf(Vec2(0, 0), box.rotation, static_cast<const Box &>(box).halfExtents),
        wallOutline(static_cast<const RectAngle &>(rect), box.position), reach);
}

Manifold circleVsBox(const BaseEntity &c, const BaseEntity &box, float reach) {
    const float radius = static_cast<const Circle &>(c).radius;
    const Vec2 half = static_cast<const Box &>(box).halfExtents;
    const Rotation q = box.rotation;
    // The circle's centre in the box's own frame, where the box is axis-aligned.
    const Vec2 d = q.applyInverse(c.position - box.position);
    Manifold m = circleVsAlignedBox(radius, d, half, reach);
    if (m.pointCount > 0) {
        m.normal = q.apply(m.normal);
        m.points[0].anchorA = m.normal * radius;
    }
    return m;
}
