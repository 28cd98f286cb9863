#pragma once

#include "math/vec2.h"
#include "physics/contact.h"

#include <vector>

class EntityArray;

// A body's sleep as snapshots and saved states keep it. Bodies with no record are awake and were
// not at rest in the last step.
struct BodySleep {
    int index;
    // Steps in a row the body has been at rest, up to SleepingBodies::stepsToSleep.
    int restSteps;
    // Asleep: the lowest index of the island it fell asleep with; awake: -1.
    int island;
};

// Which bodies of a world sleep. A body that can move is at rest in a step when its speed, the
// speed of its farthest point from turning, and the distance and turn the step moved it by all
// stay below sleepSpeed; bodies joined by contacts make an island, and an island falls asleep
// when every body in it has been at rest for stepsToSleep steps in a row, its velocities set to 0.
// A sleeping body is neither moved nor solved until something awake touches its island, which then
// wakes as a whole. A body that cannot move sleeps as long as nothing moves it (it rests): one
// given a velocity or a force is awake.
class SleepingBodies {
public:
    // Half a second at 60 steps a second.
    static constexpr int stepsToSleep = 30;
    // Units per step: 5 units a second, so slow that a pile of it does not visibly move.
    static constexpr float sleepSpeed = 0.0833f;

    // Takes in bodies appended since the last step (awake) and forgets those dropped; after any
    // change lists the bodies anew. gravity: the step's (see StepSettings).
    void fit(const EntityArray &bodies, Vec2 gravity);
    // The bodies the step moves, ascending: those that can move and are awake, and those that
    // cannot move but do.
    const std::vector<int> &awakeBodies() const { return awake; }
    // The others, ascending.
    const std::vector<int> &restingBodies() const { return resting; }
    bool isAwake(int i) const { return awakeFlags[static_cast<std::size_t>(i)] != 0; }
    bool isAsleep(int i) const {
        return static_cast<std::size_t>(i) < islandOf.size() &&
               islandOf[static_cast<std::size_t>(i)] >= 0;
    }
    // By body index, 1 for a body asleep; as long as the body count the records were set for.
    const std::vector<unsigned char> &asleepFlags() const { return asleep; }
    // Whether the lists changed since the last call.
    bool takeChange();

    // Wakes the island of every sleeping body a contact joins with an awake one. Returns whether
    // it woke any.
    bool wakeTouched(const ContactList &contacts);
    // Wakes the island of body i, if it sleeps, and starts its rest over.
    void wake(int i);
    // Wakes every body.
    void wakeAll();
    // After a step that moved each awake body i by displacement(i) and turned it by turn(i):
    // counts their steps at rest and puts to sleep the islands at rest long enough, their
    // velocities and spins set to 0. Returns whether any fell asleep.
    template <typename Displacement, typename Turn>
    bool update(const EntityArray &bodies, const ContactList &contacts, Displacement displacement,
                Turn turn);

    // The records of the bodies that are asleep or at rest, ascending.
    void records(std::vector<BodySleep> &out) const;
    // Puts them back; bodies without one are awake.
    void setRecords(const std::vector<BodySleep> &in);

private:
    void countRest(const EntityArray &bodies, int i, Vec2 moved, float turned);
    bool fallAsleep(const EntityArray &bodies, const ContactList &contacts);
    void wakeIsland(int island);
    void listBodies(const EntityArray &bodies, Vec2 gravity);
    void ensureSize(std::size_t count);
    int root(int i);

    std::vector<int> restSteps;
    std::vector<int> islandOf;
    std::vector<unsigned char> asleep;
    std::vector<unsigned char> awakeFlags;
    std::vector<int> awake;
    std::vector<int> resting;
    std::vector<int> parent;
    std::vector<unsigned char> restless;
    int knownCount = -1;
    bool listed = false;
    bool changed = true;
    // Whether any body was asleep when the bodies were last listed.
    bool anyAsleep = false;
    bool anyReady = false;
};

template <typename Displacement, typename Turn>
bool SleepingBodies::update(const EntityArray &bodies, const ContactList &contacts,
                            Displacement displacement, Turn turn) {
    anyReady = false;
    for (const int i : awake)
        countRest(bodies, i, displacement(i), turn(i));
    return anyReady && fallAsleep(bodies, contacts);
}
