#include "render/debuglayers.h"

#include "core/entityarray.h"
#include "physics/circle.h"
#include "physics/contact.h"
#include "physics/finitebodies.h"
#include "physics/rectangle.h"
#include "render/gl21.h"

#include <QOpenGLFunctions_2_1>

namespace {

// Half the width of a contact's cross, in scene units.
constexpr float crossHalf = 4;
// A velocity is drawn as the way it would take the circle in this many steps.
constexpr float velocitySteps = 10;

} // namespace

void DebugLayers::draw(const EntityArray &bodies, const QList<Contact *> &contacts) {
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

// a is a circle in every contact: the point is on its surface along the normal.
void DebugLayers::addContacts(const QList<Contact *> &contacts) {
    for (const Contact *contact : contacts) {
        if (contact->a->type() != BodyType::Circle || !isFiniteBody(*contact->a))
            continue;
        const float radius = static_cast<const Circle *>(contact->a)->radius;
        const Vec2 point = contact->a->position + contact->normal * radius;
        const Vec2 tip = point + contact->normal * radius;
        line(point.x - crossHalf, point.y - crossHalf, point.x + crossHalf, point.y + crossHalf);
        line(point.x - crossHalf, point.y + crossHalf, point.x + crossHalf, point.y - crossHalf);
        line(point.x, point.y, tip.x, tip.y);
    }
}

void DebugLayers::addBounds(const EntityArray &bodies) {
    for (int i = 0; i < bodies.size(); ++i) {
        const BaseEntity *body = bodies[i];
        float left = body->position.x;
        float bottom = body->position.y;
        float right = left;
        float top = bottom;
        if (body->type() == BodyType::Circle) {
            const float radius = static_cast<const Circle *>(body)->radius;
            left -= radius;
            bottom -= radius;
            right += radius;
            top += radius;
        } else if (body->type() == BodyType::RectAngle) {
            const auto *rectangle = static_cast<const RectAngle *>(body);
            right += static_cast<float>(rectangle->width);
            top += static_cast<float>(rectangle->height);
        }
        line(left, bottom, right, bottom);
        line(right, bottom, right, top);
        line(right, top, left, top);
        line(left, top, left, bottom);
    }
}

void DebugLayers::addVelocities(const EntityArray &bodies) {
    for (int i = 0; i < bodies.size(); ++i) {
        const BaseEntity *body = bodies[i];
        if (body->type() != BodyType::Circle || !isFiniteBody(*body))
            continue;
        const Vec2 end = body->position + body->velocity * velocitySteps;
        line(body->position.x, body->position.y, end.x, end.y);
    }
}

void DebugLayers::line(float x1, float y1, float x2, float y2) {
    ends.insert(ends.end(), {x1, y1, x2, y2});
}

void DebugLayers::drawLines(Layer layer) {
    QOpenGLFunctions_2_1 *gl = currentGl21();
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
