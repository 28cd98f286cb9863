#include "render/debuglayers.h"

#include "core/entityarray.h"
#include "physics/box.h"
#include "physics/circle.h"
#include "physics/finitebodies.h"
#include "physics/shapes.h"
#include "render/circlevertices.h"
#include "render/gl21.h"

namespace {

// Half the width of a contact's cross, in scene units.
constexpr float crossHalf = 4;
// How long a contact's normal is drawn when a is not a circle: a small box's size.
constexpr float boxNormalLength = 10;
// A velocity is drawn as the way it would take the circle in this many steps.
constexpr float velocitySteps = 10;
} // namespace

void DebugLayers::draw(const EntityArray &bodies, const ContactList &contacts,
                       const std::function<bool(int)> &asleep) {
    if (isShown[Sleeping]) {
        addSleeping(bodies, asleep);
        drawTriangles();
    }
    if (isShown[Contacts]) {
        addContacts(contacts);
        drawLines(Contacts);
    }
    if (isShown[Bounds]) {
        addBounds(bodies);
        drawLines(Bounds);
    }
    if (isShown[Velocities]) {
        addVelocities(bodies);
        drawLines(Velocities);
    }
}

// Where a is now, after the step that found the contact: every point of every contact. A
// circle's normal is drawn one radius long (its anchor reaches along the normal), any other's
// boxNormalLength.
void DebugLayers::addContacts(const ContactList &contacts) {
    for (const Contact *contact : contacts) {
        if (!isFiniteBody(*contact->a))
            continue;
        const Vec2 point = contact->a->position + contact->anchorA;
        const Vec2 tip = contact->a->type() == BodyType::Circle
                             ? point + contact->anchorA
                             : point + contact->normal * boxNormalLength;
        line(point.x - crossHalf, point.y - crossHalf, point.x + crossHalf, point.y + crossHalf);
        line(point.x - crossHalf, point.y + crossHalf, point.x + crossHalf, point.y - crossHalf);
        line(point.x, point.y, tip.x, tip.y);
    }
}

// Each bound rounded to float is the float sum or difference of the position and the size.
void DebugLayers::addBounds(const EntityArray &bodies) {
    for (int i = 0; i < bodies.size(); ++i) {
        const BoundingBox box = boundingBox(*bodies[i]);
        const float left = static_cast<float>(box.lo[0]);
        const float bottom = static_cast<float>(box.lo[1]);
        const float right = static_cast<float>(box.hi[0]);
        const float top = static_cast<float>(box.hi[1]);
        line(left, bottom, right, bottom);
        line(right, bottom, right, top);
        line(right, top, left, top);
        line(left, top, left, bottom);
    }
}

void DebugLayers::addVelocities(const EntityArray &bodies) {
    for (int i = 0; i < bodies.size(); ++i) {
        const BaseEntity *body = bodies[i];
        const int type = body->type();
        if ((type != BodyType::Circle && type != BodyType::Box) || !isFiniteBody(*body))
            continue;
        const Vec2 end = body->position + body->velocity * velocitySteps;
        line(body->position.x, body->position.y, end.x, end.y);
    }
}

// Triangles over each sleeping body's outline, on the vertices it is drawn with, so that the cover
// takes exactly the body's pixels.
void DebugLayers::addSleeping(const EntityArray &bodies, const std::function<bool(int)> &asleep) {
    for (int i = 0; i < bodies.size(); ++i) {
        const BaseEntity *body = bodies[i];
        if (!isFiniteBody(*body) || !asleep(i))
            continue;
        const Vec2 c = body->position;
        if (body->type() == BodyType::Circle) {
            const float radius = static_cast<const Circle *>(body)->radius;
            Vec2 rim[circleVertexCount];
            for (int k = 0; k < circleVertexCount; ++k) {
                const Vec2 unit = turnedFanPoint(circleFanPoint(k), body->rotation);
                rim[k] = Vec2(onCircle(c.x, radius, unit.x), onCircle(c.y, radius, unit.y));
            }
            for (int k = 1; k + 1 < circleVertexCount; ++k)
                triangle(rim[0], rim[k], rim[k + 1]);
        } else if (body->type() == BodyType::Box) {
            const Vec2 half = static_cast<const Box *>(body)->halfExtents;
            const Vec2 corners[4] = {
                c + body->rotation.apply(Vec2(-half.x, -half.y)),
                c + body->rotation.apply(Vec2(half.x, -half.y)),
                c + body->rotation.apply(Vec2(half.x, half.y)),
                c + body->rotation.apply(Vec2(-half.x, half.y)),
            };
            triangle(corners[0], corners[1], corners[2]);
            triangle(corners[0], corners[2], corners[3]);
        }
    }
}

void DebugLayers::triangle(Vec2 a, Vec2 b, Vec2 c) {
    ends.insert(ends.end(), {a.x, a.y, b.x, b.y, c.x, c.y});
}

void DebugLayers::drawTriangles() {
    Gl21 *gl = currentGl21();
    if (gl && !ends.empty()) {
        const LayerColour colour = layerColours[Sleeping];
        gl->glEnable(GL_BLEND);
        gl->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        gl->glColor4ub(colour.red, colour.green, colour.blue, coverAlpha);
        gl->glEnableClientState(GL_VERTEX_ARRAY);
        gl->glVertexPointer(2, GL_FLOAT, 0, ends.data());
        gl->glDrawArrays(GL_TRIANGLES, 0, static_cast<int>(ends.size() / 2));
        gl->glDisableClientState(GL_VERTEX_ARRAY);
        gl->glDisable(GL_BLEND);
    }
    ends.clear();
}

void DebugLayers::line(float x1, float y1, float x2, float y2) {
    ends.insert(ends.end(), {x1, y1, x2, y2});
}

void DebugLayers::drawLines(Layer layer) {
    Gl21 *gl = currentGl21();
    if (gl && !ends.empty()) {
        const LayerColour colour = layerColours[layer];
        gl->glColor4ub(colour.red, colour.green, colour.blue, 255);
        gl->glEnableClientState(GL_VERTEX_ARRAY);
        gl->glVertexPointer(2, GL_FLOAT, 0, ends.data());
        gl->glDrawArrays(GL_LINES, 0, static_cast<int>(ends.size() / 2));
        gl->glDisableClientState(GL_VERTEX_ARRAY);
    }
    // clear() keeps the capacity: the steady state allocates nothing.
    ends.clear();
}
