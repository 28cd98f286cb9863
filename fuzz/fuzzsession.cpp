// libFuzzer target for the inputs a session gives a scene between steps: circles and boxes dropped
// anywhere, restarts and steps in any order, through the Session every program drives its
// simulation with. The session runs twice, once finding pairs through the broad phase and once
// through all pairs.
//
// Every input must run without a crash or undefined behaviour (ASan and UBSan end the run), and
// after every operation both runs must hold the same bodies (orientation and spin included) and
// contacts, bit for bit; the array
// never holds more than its capacity, a spawn is refused exactly when the array is full, and a
// restart brings back the scene's own bodies at step 0. With sane coordinates (|x|, |y| below
// 2^20) every value stays finite; wild ones are raw float bits (NaN, infinities, huge).
//
// Input layout (bytes past the end read as zero):
//   scene        byte % 6: demo, column, grid, pyramid, stack, mix
//   circles      byte % 64 (every scene but the demo, which has its 100)
//   flags        bit 0: wild coordinates, bit 1: the stable solver (else the designed one)
//   then operations while input remains, at most 64, and at most 16 steps in all (fewer when the
//   array holds so many bodies that the all-pairs run would take most of the time):
//   operation    bits 0-1: 0 steps (1 + bits 2-3), 1 spawn at x, y (bit 2: a box), 2 restart,
//                3 a burst of 32 * (bits 2-7) spawns from x, y, 61 apart along x
//   x, y         sane: 24-bit signed sixteenths; wild: 32-bit float bits

#include "core/entityarray.h"
#include "fuzz/fuzzinput.h"
#include "physics/baseentity.h"
#include "physics/contact.h"
#include "physics/finitebodies.h"
#include "physics/world.h"
#include "session/session.h"

#include <cstddef> // std::size_t
#include <cstdint> // std::uint8_t, std::uint32_t, std::int32_t
#include <cstring> // std::memcpy, std::memcmp

namespace {

constexpr int maxOperations = 64;
constexpr int maxSteps = 16;
// The all-pairs run tests n (n - 1) / 2 pairs a step; beyond this many in one input, a full array
// would keep the fuzzer at a few inputs a second.
constexpr double maxPairTests = 1e6;

float coordinate(ByteReader &in, bool wild) {
    const std::uint32_t bits = in.u32();
    if (wild) {
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    const std::int32_t sixteenths = static_cast<std::int32_t>(bits << 8) >> 8;
    return static_cast<float>(sixteenths) / 16;
}

bool sameBits(Vec2 a, Vec2 b) {
    return std::memcmp(&a.x, &b.x, sizeof a.x) == 0 && std::memcmp(&a.y, &b.y, sizeof a.y) == 0;
}

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void checkSame(const Sandbox &broad, const Sandbox &reference) {
    const EntityArray &found = broad.bodies();
    const EntityArray &expected = reference.bodies();
    require(found.size() == expected.size());
    require(found.size() <= broad.scene().capacity());
    for (int i = 0; i < found.size(); ++i) {
        require(sameBits(found[i]->position, expected[i]->position));
        require(sameBits(found[i]->velocity, expected[i]->velocity));
        require(sameBits(found[i]->rotation.c, expected[i]->rotation.c));
        require(sameBits(found[i]->rotation.s, expected[i]->rotation.s));
        require(sameBits(found[i]->angularVelocity, expected[i]->angularVelocity));
    }
    const ContactList &a = broad.physics().contacts;
    const ContactList &b = reference.physics().contacts;
    require(a.size() == b.size());
    for (std::size_t k = 0; k < a.size(); ++k) {
        require(sameBits(a[k]->normal, b[k]->normal));
        require(sameBits(a[k]->penetration, b[k]->penetration));
        require(sameBits(a[k]->anchorA, b[k]->anchorA));
        require(a[k]->featureId == b[k]->featureId);
    }
}

void checkFinite(const Sandbox &sandbox) {
    const EntityArray &bodies = sandbox.bodies();
    for (int i = 0; i < bodies.size(); ++i)
        require(isFiniteBody(*bodies[i]));
}

// Both runs take the spawn (a circle, or a box), or both refuse it because the array is full.
void spawn(Session &broad, Session &reference, Vec2 at, bool box = false) {
    const bool wasFull = broad.sandbox().full();
    require((box ? broad.dropBox(at) : broad.spawn(at)) == !wasFull);
    require((box ? reference.dropBox(at) : reference.spawn(at)) == !wasFull);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    ByteReader in(data, size);
    Scene scene;
    scene.kind = static_cast<SceneKind>(in.u8() % 6);
    const int circles = in.u8() % 64;
    if (scene.kind != SceneKind::Demo)
        scene.circles = circles;
    const std::uint8_t flags = in.u8();
    const bool wild = flags & 1;
    if (flags & 2)
        scene.solver = World::Solver::Stable;

    Session broad(scene, World::PairSearch::BroadPhase);
    Session reference(scene, World::PairSearch::AllPairs);
    int steps = 0;
    double pairTests = 0;
    for (int op = 0; op < maxOperations && !in.empty(); ++op) {
        const std::uint8_t code = in.u8();
        switch (code & 3) {
        case 0:
            for (int s = (code >> 2 & 3) + 1; s > 0 && steps < maxSteps; --s, ++steps) {
                const double n = reference.sandbox().bodies().size();
                pairTests += n * (n - 1) / 2;
                if (pairTests > maxPairTests)
                    break;
                broad.step();
                reference.step();
                if (!wild)
                    checkFinite(reference.sandbox());
                checkSame(broad.sandbox(), reference.sandbox());
            }
            break;
        case 1: {
            const float x = coordinate(in, wild);
            spawn(broad, reference, Vec2(x, coordinate(in, wild)), code & 4);
            break;
        }
        case 2:
            require(broad.restart() && reference.restart());
            require(broad.sandbox().sceneStep() == 0 &&
                    broad.sandbox().bodies().size() == scene.bodyCount());
            break;
        default: {
            const float x = coordinate(in, wild);
            const float y = coordinate(in, wild);
            for (int k = 0; k < 32 * (code >> 2); ++k)
                spawn(broad, reference, Vec2(x + 61.0f * static_cast<float>(k % 64), y));
            break;
        }
        }
        checkSame(broad.sandbox(), reference.sandbox());
    }
    return 0;
}
