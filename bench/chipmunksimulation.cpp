#include "bench/chipmunksimulation.h"

#include "bench/steppedsimulation.h"
#include "core/entityarray.h"
#include "physics/circle.h"
#include "physics/rectangle.h"

#include <chipmunk/chipmunk.h>

#include <cmath>      // std::sqrt
#include <functional> // std::less
#include <vector>     // std::vector

namespace {

constexpr cpFloat stepSeconds = 1.0 / 60;
// rigid2d's 0.02 px per step squared, at 60 steps per second.
constexpr cpFloat gravity = 0.02 * 60 * 60;
// Chipmunk multiplies the elasticities of two shapes: this one on every shape gives every pair,
// circle-circle and circle-wall alike, a restitution of 0.8.
const cpFloat elasticity = std::sqrt(0.8);

class ChipmunkSimulation : public SteppedSimulation {
public:
    explicit ChipmunkSimulation(const EntityArray &layout) : space(cpSpaceNew()) {
        cpSpaceSetGravity(space, cpv(0, -gravity));
        for (int i = 0; i < layout.size(); ++i) {
            if (layout[i]->type() == BodyType::Circle)
                addCircle(*static_cast<const Circle *>(layout[i]));
            else
                addWall(*static_cast<const RectAngle *>(layout[i]));
        }
    }

    ~ChipmunkSimulation() override {
        // The space still reaches its bodies while it is freed; it frees none of them.
        cpSpaceFree(space);
        for (cpShape *shape : shapes)
            cpShapeFree(shape);
        for (cpBody *body : circles)
            cpBodyFree(body);
    }

    ChipmunkSimulation(const ChipmunkSimulation &) = delete;
    ChipmunkSimulation &operator=(const ChipmunkSimulation &) = delete;

    void step() override { cpSpaceStep(space, stepSeconds); }

    // Each circle lists its arbiters; a pair of circles is counted from the lower address only.
    int touchingContacts() override {
        int touching = 0;
        for (cpBody *body : circles)
            cpBodyEachArbiter(body, countTouching, &touching);
        return touching;
    }

private:
    cpSpace *space;
    std::vector<cpShape *> shapes;
    std::vector<cpBody *> circles;

    static void countTouching(cpBody *body, cpArbiter *arbiter, void *touching) {
        cpBody *a = nullptr;
        cpBody *b = nullptr;
        cpArbiterGetBodies(arbiter, &a, &b);
        cpBody *other = a == body ? b : a;
        const bool countedHere =
            cpBodyGetType(other) != CP_BODY_TYPE_DYNAMIC || std::less<cpBody *>()(body, other);
        if (countedHere && cpArbiterGetCount(arbiter) > 0)
            ++*static_cast<int *>(touching);
    }

    void addShape(cpShape *shape) {
        cpShapeSetElasticity(shape, elasticity);
        cpShapeSetFriction(shape, 0);
        shapes.push_back(cpSpaceAddShape(space, shape));
    }

    void addWall(const RectAngle &wall) {
        const cpFloat left = wall.position.x;
        const cpFloat bottom = wall.position.y;
        const cpBB box = cpBBNew(left, bottom, left + wall.width, bottom + wall.height);
        addShape(cpBoxShapeNew2(cpSpaceGetStaticBody(space), box, 0));
    }

    void addCircle(const Circle &circle) {
        const cpFloat moment = cpMomentForCircle(circle.mass, 0, circle.radius, cpvzero);
        cpBody *body = cpSpaceAddBody(space, cpBodyNew(circle.mass, moment));
        cpBodySetPosition(body, cpv(circle.position.x, circle.position.y));
        circles.push_back(body);
        addShape(cpCircleShapeNew(body, circle.radius, cpvzero));
    }
};

} // namespace

std::unique_ptr<SteppedSimulation> makeChipmunkSimulation(const EntityArray &layout) {
    return std::make_unique<ChipmunkSimulation>(layout);
}
