#pragma once

#include "math/vec2.h"
#include "scenes/sandboxstate.h"

#include <cstddef> // std::size_t
#include <memory>  // std::unique_ptr
#include <vector>  // std::vector

// The circle or box a person holds with the mouse, and where it is pulled to.
struct HeldCircle {
    // -1: none.
    int index = -1;
    Vec2 target;
    // A box is held by the point it was taken at, in its own frame; a circle by its centre.
    Vec2 anchor;
};

// Everything a session's next step depends on: the sandbox's state, the circle held and, while a
// replay plays, how far it has been handed out.
struct SessionSnapshot {
    SandboxState sandbox;
    HeldCircle hold;
    // The replay's inputs handed out so far; 0 without a replay.
    std::size_t replayCursor = 0;
};

// Keyframes of a session, taken right after every keyframeInterval-th step (before the inputs
// given at that step), from which any step since the oldest can be reached again by stepping.
// The newest half are kept as taken; older ones are thinned, the one whose neglect leaves the
// smallest gap going first, so the past is never forgotten, only reached more slowly. Memory
// stays within the budget; the keyframe at the start of the history is never dropped.
class SessionHistory {
public:
    static constexpr long long keyframeInterval = 30;
    static constexpr std::size_t maxKeyframes = 1024;
    static constexpr std::size_t byteBudget = std::size_t{192} << 20;

    // Whether a keyframe is due right after step.
    bool due(long long step) const;
    // A snapshot to fill in for a keyframe at step (after every one kept), reusing the memory of a
    // dropped one where it can; keep() then makes room for it.
    SessionSnapshot &add();
    void keep();

    // The newest keyframe at or before step, or null.
    const SessionSnapshot *atOrBefore(long long step) const;
    // Drops the keyframes after step: that history has been undone.
    void forgetAfter(long long step);
    void clear();

    bool empty() const { return keyframes.empty(); }
    long long oldestStep() const;
    std::size_t size() const { return keyframes.size(); }
    std::size_t bytes() const { return heldBytes; }

private:
    static long long stepOf(const std::unique_ptr<SessionSnapshot> &keyframe) {
        return keyframe->sandbox.totalSteps;
    }
    void drop(std::size_t index);

    std::vector<std::unique_ptr<SessionSnapshot>> keyframes; // by step, ascending
    // One dropped keyframe, kept for its memory.
    std::unique_ptr<SessionSnapshot> spare;
    std::size_t heldBytes = 0;
};
