#include "physics/sleepingbodies.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/box.h"
#include "physics/circle.h"

#include <algorithm> // std::min, std::max

namespace {

// A body that cannot move but has a velocity, or is pushed every step, never rests.
bool movesOnItsOwn(const BaseEntity &body, Vec2 gravity) {
    const Vec2 change = body.velocityChangePerStep(gravity);
    return body.velocity.x != 0 || body.velocity.y != 0 || body.angularVelocity != 0 ||
           change.x != 0 || change.y != 0;
}

// How far the body's farthest point is from its position, at most: turning at w radians a step
// moves that point by w times this.
float reachFromCentre(const BaseEntity &body) {
    const int kind = body.type();
    if (kind == BodyType::Circle)
        return static_cast<const Circle &>(body).radius;
    if (kind == BodyType::Box) {
        const Vec2 half = static_cast<const Box &>(body).halfExtents;
        return half.x + half.y;
    }
    return 0.0f;
}

bool slow(Vec2 v, float limit) {
    return v.x * v.x + v.y * v.y < limit;
}

} // namespace

void SleepingBodies::ensureSize(std::size_t count) {
    restSteps.resize(count, 0);
    islandOf.resize(count, -1);
    asleep.resize(count, 0);
}

void SleepingBodies::fit(const EntityArray &bodies, Vec2 gravity) {
    if (bodies.size() != knownCount || !listed)
        listBodies(bodies, gravity);
}

void SleepingBodies::listBodies(const EntityArray &bodies, Vec2 gravity) {
    const std::size_t count = static_cast<std::size_t>(bodies.size());
    ensureSize(count);
    awakeFlags.resize(count);
    awake.clear();
    resting.clear();
    anyAsleep = false;
    for (int i = 0; i < bodies.size(); ++i) {
        const BaseEntity &body = *bodies[i];
        const std::size_t k = static_cast<std::size_t>(i);
        const bool moving = body.inverseMass == 0 ? movesOnItsOwn(body, gravity) : islandOf[k] < 0;
        awakeFlags[k] = moving ? 1 : 0;
        (moving ? awake : resting).push_back(i);
        anyAsleep = anyAsleep || asleep[k] != 0;
    }
    knownCount = bodies.size();
    listed = true;
    changed = true;
}

bool SleepingBodies::takeChange() {
    const bool was = changed;
    changed = false;
    return was;
}

// While the bodies listed last are as they are and none of them sleeps (a pile settling), no
// contact need be looked at.
bool SleepingBodies::wakeTouched(const ContactList &contacts) {
    if (listed && !anyAsleep)
        return false;
    bool woke = false;
    for (const Contact *c : contacts) {
        const std::size_t a = static_cast<std::size_t>(c->indexA);
        const std::size_t b = static_cast<std::size_t>(c->indexB);
        if (asleep[a] != 0 && awakeFlags[b] != 0) {
            wakeIsland(islandOf[a]);
            woke = true;
        } else if (asleep[b] != 0 && awakeFlags[a] != 0) {
            wakeIsland(islandOf[b]);
            woke = true;
        }
    }
    return woke;
}

void SleepingBodies::wake(int i) {
    const std::size_t k = static_cast<std::size_t>(i);
    if (k >= restSteps.size())
        return;
    if (islandOf[k] >= 0)
        wakeIsland(islandOf[k]);
    restSteps[k] = 0;
}

void SleepingBodies::wakeAll() {
    std::fill(restSteps.begin(), restSteps.end(), 0);
    std::fill(islandOf.begin(), islandOf.end(), -1);
    std::fill(asleep.begin(), asleep.end(), 0);
    listed = false;
}

// Islands wake seldom: a pass over every body is cheap beside the steps that follow.
void SleepingBodies::wakeIsland(int island) {
    for (std::size_t i = 0; i < islandOf.size(); ++i) {
        if (islandOf[i] == island) {
            islandOf[i] = -1;
            asleep[i] = 0;
            restSteps[i] = 0;
        }
    }
    listed = false;
}

int SleepingBodies::root(int i) {
    std::size_t k = static_cast<std::size_t>(i);
    while (parent[k] != static_cast<int>(k)) {
        const std::size_t up = static_cast<std::size_t>(parent[k]);
        parent[k] = parent[up];
        k = static_cast<std::size_t>(parent[k]);
    }
    return static_cast<int>(k);
}

void SleepingBodies::countRest(const EntityArray &bodies, int i, Vec2 moved, float turned) {
    const BaseEntity &body = *bodies[i];
    if (body.inverseMass == 0)
        return;
    const float limit = sleepSpeed * sleepSpeed;
    const float reach = reachFromCentre(body);
    const bool atRest = slow(body.velocity, limit) && slow(moved, limit) &&
                        slow(Vec2(body.angularVelocity * reach, turned * reach), limit);
    int &steps = restSteps[static_cast<std::size_t>(i)];
    steps = atRest ? std::min(steps + 1, stepsToSleep) : 0;
    anyReady = anyReady || steps == stepsToSleep;
}

// Islands: the awake bodies that can move, joined by their contacts, each named by its lowest
// index.
bool SleepingBodies::fallAsleep(const EntityArray &bodies, const ContactList &contacts) {
    parent.resize(restSteps.size());
    restless.resize(restSteps.size());
    for (const int i : awake) {
        parent[static_cast<std::size_t>(i)] = i;
        restless[static_cast<std::size_t>(i)] = 0;
    }
    for (const Contact *c : contacts) {
        if (c->a->inverseMass == 0 || c->b->inverseMass == 0)
            continue;
        const int ra = root(c->indexA);
        const int rb = root(c->indexB);
        parent[static_cast<std::size_t>(std::max(ra, rb))] = std::min(ra, rb);
    }
    for (const int i : awake) {
        if (bodies[i]->inverseMass != 0 && restSteps[static_cast<std::size_t>(i)] < stepsToSleep)
            restless[static_cast<std::size_t>(root(i))] = 1;
    }
    bool fell = false;
    for (const int i : awake) {
        BaseEntity &body = *bodies[i];
        const int island = root(i);
        if (body.inverseMass == 0 || restless[static_cast<std::size_t>(island)] != 0)
            continue;
        islandOf[static_cast<std::size_t>(i)] = island;
        asleep[static_cast<std::size_t>(i)] = 1;
        body.velocity = Vec2(0, 0);
        body.angularVelocity = 0;
        fell = true;
    }
    if (fell)
        listed = false;
    return fell;
}

void SleepingBodies::records(std::vector<BodySleep> &out) const {
    out.clear();
    for (std::size_t i = 0; i < restSteps.size(); ++i) {
        if (islandOf[i] >= 0 || restSteps[i] != 0)
            out.push_back(BodySleep{static_cast<int>(i), restSteps[i], islandOf[i]});
    }
}

void SleepingBodies::setRecords(const std::vector<BodySleep> &in) {
    restSteps.clear();
    islandOf.clear();
    asleep.clear();
    for (const BodySleep &r : in) {
        ensureSize(static_cast<std::size_t>(r.index) + 1);
        const std::size_t k = static_cast<std::size_t>(r.index);
        restSteps[k] = r.restSteps;
        islandOf[k] = r.island;
        asleep[k] = r.island >= 0 ? 1 : 0;
    }
    listed = false;
}
