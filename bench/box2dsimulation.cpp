#include "bench/box2dsimulation.h"

#include "bench/steppedsimulation.h"
#include "core/entityarray.h"
#include "physics/circle.h"
#include "physics/rectangle.h"

#include <box2d/box2d.h>

namespace {

// Box2D moves no body more than 2 m per step and tunes its tolerances for bodies of about 1 m.
constexpr float pixelsPerMetre = 30;
constexpr float stepSeconds = 1.0f / 60;
// rigid2d's 0.02 px per step squared, at 60 steps per second.
constexpr float gravity = 0.02f * 60 * 60 / pixelsPerMetre;
constexpr float restitution = 0.8f;
// The iterations Box2D recommends.
constexpr int velocityIterations = 8;
constexpr int positionIterations = 3;

b2Vec2 toMetres(float x, float y) {
    return b2Vec2(x / pixelsPerMetre, y / pixelsPerMetre);
}

class Box2dSimulation : public SteppedSimulation {
public:
    explicit Box2dSimulation(const EntityArray &layout) : world(b2Vec2(0, -gravity)) {
        for (int i = 0; i < layout.size(); ++i) {
            if (layout[i]->type() == BodyType::Circle)
                addCircle(*static_cast<const Circle *>(layout[i]));
            else
                addWall(*static_cast<const RectAngle *>(layout[i]));
        }
    }

    void step() override { world.Step(stepSeconds, velocityIterations, positionIterations); }

    int touchingContacts() override {
        int touching = 0;
        for (const b2Contact *c = world.GetContactList(); c != nullptr; c = c->GetNext()) {
            if (c->IsTouching())
                ++touching;
        }
        return touching;
    }

private:
    b2World world;

    void addWall(const RectAngle &wall) {
        const float width = static_cast<float>(wall.width);
        const float height = static_cast<float>(wall.height);
        b2BodyDef bodyDef;
        bodyDef.position = toMetres(wall.position.x + width / 2, wall.position.y + height / 2);
        b2PolygonShape box;
        box.SetAsBox(width / 2 / pixelsPerMetre, height / 2 / pixelsPerMetre);
        addFixture(world.CreateBody(&bodyDef), box, 0);
    }

    void addCircle(const Circle &circle) {
        b2BodyDef bodyDef;
        bodyDef.type = b2_dynamicBody;
        bodyDef.position = toMetres(circle.position.x, circle.position.y);
        b2CircleShape shape;
        shape.m_radius = circle.radius / pixelsPerMetre;
        const float area = b2_pi * shape.m_radius * shape.m_radius;
        addFixture(world.CreateBody(&bodyDef), shape, circle.mass / area);
    }

    // Box2D combines two restitutions by their maximum, so walls and circles both take 0.8.
    static void addFixture(b2Body *body, const b2Shape &shape, float density) {
        b2FixtureDef fixtureDef;
        fixtureDef.shape = &shape;
        fixtureDef.density = density;
        fixtureDef.friction = 0;
        fixtureDef.restitution = restitution;
        body->CreateFixture(&fixtureDef);
    }
};

} // namespace

std::unique_ptr<SteppedSimulation> makeBox2dSimulation(const EntityArray &layout) {
    return std::make_unique<Box2dSimulation>(layout);
}
