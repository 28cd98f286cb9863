// libFuzzer target for the physics world. The input bytes describe a scene of circles and
// rectangles and a number of steps; the scene is built twice and stepped once by a World that
// finds its pairs through the broad phase and once by the all-pairs reference.
//
// Every input must run without a crash or undefined behaviour (ASan and UBSan end the run), and
// after every step both worlds must hold the same contacts (same pairs in the same order, same
// normals and penetrations) and the same bodies, bit for bit.
// A "sane" input (the default) has every value finite and bounded: coordinates below 10^6
// (within 524288 of the origin, plus the offsets of bodies placed on or inside earlier ones),
// velocities within 512, gravity scales within 16, forces within 128, radii in [1/8, 8176], sizes
// in [1/2, 8176] (a size below 1 truncates to a rectangle of width or height 0), masses 0 or in
// [1/1024, 64]. Its run also traps unless every position, velocity and contact stays finite. A
// "wild" input takes raw float bits for every value (NaN, infinities, huge, negative; sizes are any
// whole number the constructor can truncate), so finiteness is not asked of it; but a body whose
// position or velocity is not finite when a step begins must take part in none of its contacts.
//
// Input layout (bytes past the end read as zero):
//   steps        1 + byte % 40
//   capacity     byte < 0xC0: room for every body; else byte & 0x3F (so appends can fail)
//   flags        bit 0: wild
//   then one record per body, at most 48, while input remains:
//   kind         bit 0: rectangle (else circle)
//                bit 1: setStatic(true) last
//                bits 2-3: mass: 0 never set, 1 setMass(0), 2 setMass(m),
//                          3 setStatic(true) then setMass(m)
//                bits 4-5: placement: 0 near the origin, 1 on an earlier body's position (plus a
//                          tiny offset, often none), 2 inside an earlier body, 3 anywhere
//                bit 6: gravity scale follows; bit 7: force follows
//   shape        circle: radius; rectangle: width, height
//   placement    0: x, y; 1: body byte, dx, dy; 2: body byte, fx, fy; 3: x, y
//   velocity     x, y
//   [mass] [gravity scale] [force x, y]

#include "core/entityarray.h"
#include "fuzz/fuzzinput.h"
#include "physics/baseentity.h"
#include "physics/circle.h"
#include "physics/contact.h"
#include "physics/rectangle.h"
#include "physics/world.h"

#include <cmath>   // std::isfinite, std::ldexp
#include <cstddef> // std::size_t
#include <cstdint> // std::uint8_t, std::uint32_t
#include <cstring> // std::memcpy
#include <unordered_map>
#include <vector>

namespace {

constexpr int maxBodies = 48;
constexpr int maxSteps = 40;

// Turns bytes into the values of a scene: bounded, exactly representable values for a sane
// input, raw float bits for a wild one.
class ValueReader {
public:
    ValueReader(ByteReader &in, bool wild) : in(in), wild(wild) {}

    float coordinateNearOrigin() { return wild ? raw() : in.s16() / 16.0f; }
    float coordinateAnywhere() { return wild ? raw() : static_cast<float>(in.s24()) / 16.0f; }
    float velocity() { return wild ? raw() : in.s16() / 64.0f; }
    // Radii and sizes are spread evenly on a log scale, so that small bodies among large ones are
    // as likely as bodies of one size: radii from 1/8 to 8176.
    float radius() { return wild ? raw() : logScale(-3, 16); }
    // From 1/2 (a side that truncates to 0) to 8176. A wild size is any whole number within int's
    // range, which the constructor can truncate (halved: a float rounds INT_MAX up to 2^31).
    float size() {
        return wild ? static_cast<float>(static_cast<std::int32_t>(in.u32()) / 2)
                    : logScale(-1, 14);
    }
    float mass() { return wild ? raw() : (in.u16() + 1) / 1024.0f; }
    float gravityScale() { return wild ? raw() : in.s8() / 8.0f; }
    float force() { return wild ? raw() : in.s16() / 256.0f; }
    // Up to half a unit, often exactly 0.
    float tinyOffset() { return wild ? raw() : in.s8() / 256.0f; }
    // A fraction of a rectangle's side in [0, 1], both ends included, so edges are hit.
    float fraction() { return wild ? raw() : in.u8() / 255.0f; }
    // A fraction of a circle's radius in [-1, 1).
    float signedFraction() { return wild ? raw() : in.s8() / 128.0f; }

private:
    ByteReader &in;
    bool wild;

    float raw() {
        const std::uint32_t bits = in.u32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

    // (1 + m / 256) 2^e, m from one byte, e from the next: one of count exponents from lowest up.
    float logScale(int lowest, int count) {
        const int mantissa = in.u8();
        const int exponent = lowest + in.u8() % count;
        return std::ldexp(1 + mantissa / 256.0f, exponent);
    }
};

enum class MassSetting { Unset, Zero, Mass, StaticThenMass };

struct BodyRecipe {
    bool isRect = false;
    float radius = 0;
    float width = 0;
    float height = 0;
    Vec2 position;
    Vec2 velocity;
    MassSetting massSetting = MassSetting::Unset;
    float mass = 0;
    bool staticLast = false;
    bool hasGravityScale = false;
    float gravityScale = 0;
    bool hasForce = false;
    Vec2 force;
};

struct SceneSpec {
    int steps = 0;
    int capacity = 0;
    bool wild = false;
    std::vector<BodyRecipe> bodies;
};

// A point on or inside an earlier body: a rectangle spans its truncated sizes from its corner.
Vec2 pointInside(const BodyRecipe &anchor, ValueReader &values) {
    if (anchor.isRect) {
        const float w = static_cast<float>(static_cast<int>(anchor.width));
        const float h = static_cast<float>(static_cast<int>(anchor.height));
        const float fx = values.fraction();
        const float fy = values.fraction();
        return anchor.position + Vec2(fx * w, fy * h);
    }
    const float fx = values.signedFraction();
    const float fy = values.signedFraction();
    return anchor.position + Vec2(fx * anchor.radius, fy * anchor.radius);
}

Vec2 placeBody(int placement, ByteReader &in, ValueReader &values,
               const std::vector<BodyRecipe> &earlier) {
    if (placement == 1 || placement == 2) {
        if (!earlier.empty()) {
            const BodyRecipe &anchor = earlier[in.u8() % earlier.size()];
            if (placement == 2)
                return pointInside(anchor, values);
            const float dx = values.tinyOffset();
            const float dy = values.tinyOffset();
            return anchor.position + Vec2(dx, dy);
        }
        placement = 0;
    }
    if (placement == 0) {
        const float x = values.coordinateNearOrigin();
        return Vec2(x, values.coordinateNearOrigin());
    }
    const float x = values.coordinateAnywhere();
    return Vec2(x, values.coordinateAnywhere());
}

BodyRecipe readBody(ByteReader &in, ValueReader &values, const std::vector<BodyRecipe> &earlier) {
    const std::uint8_t kind = in.u8();
    BodyRecipe body;
    body.isRect = kind & 1;
    body.staticLast = kind & 2;
    body.massSetting = static_cast<MassSetting>((kind >> 2) & 3);
    body.hasGravityScale = kind & 0x40;
    body.hasForce = kind & 0x80;
    if (body.isRect) {
        body.width = values.size();
        body.height = values.size();
    } else {
        body.radius = values.radius();
    }
    body.position = placeBody((kind >> 4) & 3, in, values, earlier);
    const float vx = values.velocity();
    body.velocity = Vec2(vx, values.velocity());
    if (body.massSetting == MassSetting::Mass || body.massSetting == MassSetting::StaticThenMass)
        body.mass = values.mass();
    if (body.hasGravityScale)
        body.gravityScale = values.gravityScale();
    if (body.hasForce) {
        const float fx = values.force();
        body.force = Vec2(fx, values.force());
    }
    return body;
}

SceneSpec readScene(const std::uint8_t *data, std::size_t size) {
    ByteReader in(data, size);
    SceneSpec scene;
    scene.steps = 1 + in.u8() % maxSteps;
    const std::uint8_t capacity = in.u8();
    scene.capacity = capacity < 0xC0 ? maxBodies : capacity & 0x3F;
    scene.wild = in.u8() & 1;
    ValueReader values(in, scene.wild);
    while (!in.empty() && scene.bodies.size() < maxBodies)
        scene.bodies.push_back(readBody(in, values, scene.bodies));
    return scene;
}

BaseEntity *makeBody(const BodyRecipe &recipe) {
    BaseEntity *body = recipe.isRect
                           ? static_cast<BaseEntity *>(new RectAngle(recipe.width, recipe.height))
                           : new Circle(recipe.radius);
    body->setPosition(recipe.position);
    body->setVelocity(recipe.velocity);
    switch (recipe.massSetting) {
    case MassSetting::Unset:
        break;
    case MassSetting::Zero:
        body->setMass(0);
        break;
    case MassSetting::Mass:
        body->setMass(recipe.mass);
        break;
    case MassSetting::StaticThenMass:
        body->setStatic(true);
        body->setMass(recipe.mass);
        break;
    }
    if (recipe.hasGravityScale)
        body->setGravityScale(recipe.gravityScale);
    if (recipe.hasForce)
        body->force = recipe.force;
    if (recipe.staticLast)
        body->setStatic(true);
    return body;
}

// One copy of the scene with its world. Bodies that do not fit in the array are deleted at once,
// as the demo does.
class Simulation {
public:
    Simulation(const SceneSpec &scene, World::PairSearch search)
        : entities(scene.capacity), world(search) {
        for (const BodyRecipe &recipe : scene.bodies) {
            BaseEntity *body = makeBody(recipe);
            if (entities.append(body))
                indexOf[body] = entities.size() - 1;
            else
                delete body;
        }
    }
    ~Simulation() {
        for (int i = 0; i < entities.size(); ++i)
            delete entities[i];
    }
    Simulation(const Simulation &) = delete;
    Simulation &operator=(const Simulation &) = delete;

    void step() { world.step(entities); }

    EntityArray entities;
    World world;
    std::unordered_map<const BaseEntity *, int> indexOf;
};

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameBits(Vec2 a, Vec2 b) {
    return sameBits(a.x, b.x) && sameBits(a.y, b.y);
}

bool isFinite(Vec2 v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

void checkFinite(const Simulation &sim) {
    for (int i = 0; i < sim.entities.size(); ++i) {
        require(isFinite(sim.entities[i]->position));
        require(isFinite(sim.entities[i]->velocity));
    }
    for (const Contact *c : sim.world.contacts)
        require(isFinite(c->normal) && std::isfinite(c->penetration));
}

// By index: whether the body's position and velocity are finite.
std::vector<bool> finiteBodies(const Simulation &sim) {
    std::vector<bool> finite;
    for (int i = 0; i < sim.entities.size(); ++i)
        finite.push_back(isFinite(sim.entities[i]->position) &&
                         isFinite(sim.entities[i]->velocity));
    return finite;
}

void checkContactsAmong(const Simulation &sim, const std::vector<bool> &finiteBefore) {
    for (const Contact *c : sim.world.contacts)
        require(finiteBefore[sim.indexOf.at(c->a)] && finiteBefore[sim.indexOf.at(c->b)]);
}

void checkSame(const Simulation &broad, const Simulation &reference) {
    require(broad.entities.size() == reference.entities.size());
    for (int i = 0; i < broad.entities.size(); ++i) {
        require(sameBits(broad.entities[i]->position, reference.entities[i]->position));
        require(sameBits(broad.entities[i]->velocity, reference.entities[i]->velocity));
    }
    const ContactList &found = broad.world.contacts;
    const ContactList &expected = reference.world.contacts;
    require(found.size() == expected.size());
    for (std::size_t k = 0; k < found.size(); ++k) {
        require(broad.indexOf.at(found[k]->a) == reference.indexOf.at(expected[k]->a));
        require(broad.indexOf.at(found[k]->b) == reference.indexOf.at(expected[k]->b));
        require(sameBits(found[k]->normal, expected[k]->normal));
        require(sameBits(found[k]->penetration, expected[k]->penetration));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const SceneSpec scene = readScene(data, size);
    Simulation broad(scene, World::PairSearch::BroadPhase);
    Simulation reference(scene, World::PairSearch::AllPairs);
    for (int s = 0; s < scene.steps; ++s) {
        const std::vector<bool> finiteBefore = finiteBodies(reference);
        broad.step();
        reference.step();
        if (!scene.wild)
            checkFinite(reference);
        checkContactsAmong(reference, finiteBefore);
        checkSame(broad, reference);
    }
    return 0;
}
