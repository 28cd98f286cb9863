#include "physics/stablesolver.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/bodypair.h"
#include "physics/box.h"

#include <algorithm> // std::max, std::min, std::merge, std::find_if
#include <cmath>     // std::isfinite, std::sqrt, std::fabs
#include <utility>   // std::swap

namespace {

// Approach speeds (units per step) below this do not bounce: a resting circle gains 0.02 per
// step from gravity, a settling one a few times that.
constexpr float restitutionThreshold = 0.5f;

bool pairBefore(const PairImpulse &p, BodyPair pair) {
    return p.lower < pair.lower || (p.lower == pair.lower && p.higher < pair.higher);
}

bool samePair(const PairImpulse &p, BodyPair pair) {
    return p.lower == pair.lower && p.higher == pair.higher;
}

} // namespace

Vec2 StableSolver::pointVelocity(const Velocity &v, Vec2 anchor) {
    return v.linear + cross(v.angular, anchor);
}

template <bool turns>
Vec2 StableSolver::relativeVelocity(const RowDetail &d, const Velocity &a, const Velocity &b) {
    if (!turns)
        return b.linear - a.linear;
    return pointVelocity(b, d.anchorB) - pointVelocity(a, d.anchorA);
}

Vec2 StableSolver::relativeVelocity(const Row &r, const RowDetail &d, const Velocity &a,
                                    const Velocity &b) {
    return r.turning ? relativeVelocity<true>(d, a, b) : relativeVelocity<false>(d, a, b);
}

void StableSolver::push(const Row &r, Vec2 p, Velocity &a, Velocity &b) {
    a.linear -= p * r.inverseMassA;
    b.linear += p * r.inverseMassB;
}

void StableSolver::turn(const RowDetail &d, float turnA, float turnB, Velocity &a, Velocity &b) {
    a.angular -= d.inverseInertiaA * turnA;
    b.angular += d.inverseInertiaB * turnB;
}

template <bool turns>
void StableSolver::applyNormalImpulse(const Row &r, const RowDetail &d, float change, Velocity &a,
                                      Velocity &b) {
    push(r, r.normal * change, a, b);
    if (turns)
        turn(d, d.normalLeverA * change, d.normalLeverB * change, a, b);
}

void StableSolver::applyNormalImpulse(const Row &r, const RowDetail &d, float change, Velocity &a,
                                      Velocity &b) {
    if (r.turning)
        applyNormalImpulse<true>(r, d, change, a, b);
    else
        applyNormalImpulse<false>(r, d, change, a, b);
}

StableSolver::StableSolver(const StableTuning &tuning) {
    retune(tuning);
}

void StableSolver::retune(const StableTuning &chosen) {
    tuning = chosen;
    softness = softnessOf(tuning.dampingRatio);
    turningSoftness = softnessOf(tuning.turningDampingRatio);
}

// A spring of one cycle per step, evaluated in single precision in this order.
StableSolver::Softness StableSolver::softnessOf(float dampingRatio) {
    const float omega = 6.2831855f; // 2 pi, one cycle per step
    const float a1 = 2.0f * dampingRatio + substep * omega;
    const float a2 = substep * omega * a1;
    const float a3 = 1.0f / (1.0f + a2);
    return Softness{omega / a1, a2 * a3, a3};
}

// A body that cannot move closes no gap of its own: its reach is 0, and its partner's covers the
// pair. A box's corners, half a width and half a height from its centre at most, move by its spin
// times that distance besides.
const std::vector<float> *StableSolver::reaches(const EntityArray &bodies) {
    if (!tuning.looksAhead)
        return nullptr;
    bodyReaches.resize(static_cast<std::size_t>(bodies.size()));
    for (int i = 0; i < bodies.size(); ++i)
        bodyReaches[static_cast<std::size_t>(i)] = reachOf(*bodies[i]);
    return &bodyReaches;
}

float StableSolver::reachOf(const BaseEntity &body) const {
    return reachOf(body, body.type());
}

float StableSolver::reachOf(const BaseEntity &body, int kind) const {
    if (!tuning.looksAhead || body.inverseMass == 0)
        return 0.0f;
    const Vec2 v = body.velocity;
    float reach = tuning.lookAhead + (std::fabs(v.x) + std::fabs(v.y));
    if (kind == BodyType::Box) {
        const Vec2 half = static_cast<const Box &>(body).halfExtents;
        reach += std::fabs(body.angularVelocity) * (half.x + half.y);
    }
    return reach;
}

namespace {

// The bodies first to end - 1, for advance(): a plain loop over a range costs less than one
// through a list, and the compiler can vectorise what it does to each body.
struct BodyRange {
    std::size_t first;
    std::size_t end;

    template <typename Act> void operator()(Act &&act) const {
        for (std::size_t i = first; i < end; ++i)
            act(i);
    }
};

} // namespace

void StableSolver::step(const EntityArray &bodies, const ContactList &contacts,
                        const StepSettings &settings) {
    advance(bodies, contacts, settings, BodyRange{0, static_cast<std::size_t>(bodies.size())});
}

void StableSolver::stepBodies(const EntityArray &bodies, const ContactList &contacts,
                              const StepSettings &settings, const std::vector<int> &moving) {
    resizeFor(static_cast<std::size_t>(bodies.size()));
    // Ascending and distinct, the bodies are a range when the first and the last are as far apart
    // as their number: when every body that can move is awake, the walls first or last.
    const std::size_t first = moving.empty() ? 0 : static_cast<std::size_t>(moving.front());
    const std::size_t count = moving.size();
    const bool isRange =
        moving.empty() || static_cast<std::size_t>(moving.back()) - first + 1 == count;
    // A contact's other body may be one at rest that cannot move (a wall): its row reads it, but
    // the step does not move it. Each is prepared once; the bodies the step moves are prepared
    // with the step. Those of a range are told by their index alone.
    if (!isRange) {
        for (const int i : moving)
            prepared[static_cast<std::size_t>(i)] = 1;
    }
    readOnly.clear();
    const auto prepareOnce = [&](int index) {
        const std::size_t i = static_cast<std::size_t>(index);
        if ((isRange && i - first < count) || prepared[i])
            return;
        prepared[i] = 1;
        readOnly.push_back(index);
        prepare(*bodies[index], i, settings);
    };
    for (const Contact *c : contacts) {
        prepareOnce(c->indexA);
        prepareOnce(c->indexB);
    }
    for (const int i : readOnly)
        prepared[static_cast<std::size_t>(i)] = 0;
    if (isRange) {
        advance(bodies, contacts, settings, BodyRange{first, first + count});
        return;
    }
    for (const int i : moving)
        prepared[static_cast<std::size_t>(i)] = 0;
    advance(bodies, contacts, settings, [&moving](auto &&act) {
        for (const int i : moving)
            act(static_cast<std::size_t>(i));
    });
}

void StableSolver::resizeFor(std::size_t count) {
    motions.resize(count + 1); // the last one spare, for the lanes of TurningLanes

    kicks.resize(count);
    inverseMasses.resize(count);
    inverseInertias.resize(count);
    frictions.resize(count);
    turnTraits.resize(count);
    changeable.resize(count);
    prepared.resize(count);
}

void StableSolver::prepare(const BaseEntity &body, std::size_t i, const StepSettings &settings) {
    motions[i] = Motion{body.velocity, body.angularVelocity, 0.0f, Vec2(0, 0)};
    kicks[i] = body.velocityChangePerStep(settings.gravity) * substep;
    inverseMasses[i] = body.inverseMass;
    inverseInertias[i] = body.inverseInertia;
    frictions[i] = body.friction;
    const bool lever = body.type() != BodyType::Circle && body.inverseInertia != 0;
    turnTraits[i] = static_cast<unsigned char>((lever ? hasLever : noTurnTrait) |
                                               (body.friction > 0 ? rubs : noTurnTrait));
    changeable[i] = changedByRows(i);
}

// eachBody(act) calls act(i) for every body the step moves, in ascending order.
template <typename EachBody>
void StableSolver::advance(const EntityArray &bodies, const ContactList &contacts,
                           const StepSettings &settings, EachBody eachBody) {
    resizeFor(static_cast<std::size_t>(bodies.size()));
    eachBody([&](std::size_t i) { prepare(*bodies[static_cast<int>(i)], i, settings); });
    buildRows(contacts);
    grouped = groupTurningRows(bodies.size());
    for (int s = 0; s < substeps; ++s) {
        eachBody([&](std::size_t i) { motions[i].velocity += kicks[i]; });
        applyWarmStart();
        solve<true>();
        eachBody([&](std::size_t i) {
            Motion &m = motions[i];
            m.displacement += m.velocity * substep;
            m.turn += m.spin * substep;
        });
        solve<false>();
    }
    if (grouped)
        ungroup();
    bounceAndKeepImpulses(settings.restitution);
    eachBody([&](std::size_t i) {
        BaseEntity *body = bodies[static_cast<int>(i)];
        const Motion &m = motions[i];
        body->position += m.displacement;
        body->velocity = m.velocity;
        body->angularVelocity = m.spin;
        // A body that did not turn keeps its rotation to the bit.
        if (m.turn != 0)
            body->rotation = body->rotation.turned(m.turn);
    });
}

namespace {

bool pairLess(const PairImpulse &x, const PairImpulse &y) {
    return x.lower < y.lower || (x.lower == y.lower && x.higher < y.higher);
}

// Moves the entries of from for which leaves(entry) holds into into, both kept in pair order.
template <typename Leaves>
void moveImpulses(std::vector<PairImpulse> &from, std::vector<PairImpulse> &into, Leaves leaves,
                  std::vector<PairImpulse> &spare) {
    if (std::find_if(from.begin(), from.end(), leaves) == from.end())
        return;
    std::vector<PairImpulse> leaving;
    std::size_t kept = 0;
    for (const PairImpulse &p : from) {
        if (leaves(p))
            leaving.push_back(p);
        else
            from[kept++] = p;
    }
    from.resize(kept);
    spare.resize(into.size() + leaving.size());
    std::merge(into.begin(), into.end(), leaving.begin(), leaving.end(), spare.begin(), pairLess);
    into.swap(spare);
}

bool touches(const std::vector<unsigned char> &asleep, int i) {
    return static_cast<std::size_t>(i) < asleep.size() && asleep[static_cast<std::size_t>(i)] != 0;
}

} // namespace

const std::vector<PairImpulse> &StableSolver::warmStart() const {
    if (restingImpulses.empty())
        return impulses;
    allImpulses.resize(impulses.size() + restingImpulses.size());
    std::merge(impulses.begin(), impulses.end(), restingImpulses.begin(), restingImpulses.end(),
               allImpulses.begin(), pairLess);
    return allImpulses;
}

void StableSolver::setWarmStart(const std::vector<PairImpulse> &kept,
                                const std::vector<unsigned char> &asleep) {
    impulses.assign(kept.begin(), kept.end());
    restingImpulses.clear();
    putToSleep(asleep);
}

void StableSolver::putToSleep(const std::vector<unsigned char> &asleep) {
    moveImpulses(
        impulses, restingImpulses,
        [&asleep](const PairImpulse &p) {
            return touches(asleep, p.lower) || touches(asleep, p.higher);
        },
        spareImpulses);
}

void StableSolver::wakeUp(const std::vector<unsigned char> &asleep) {
    moveImpulses(
        restingImpulses, impulses,
        [&asleep](const PairImpulse &p) {
            return !touches(asleep, p.lower) && !touches(asleep, p.higher);
        },
        spareImpulses);
}

// Rows in the contacts' order, each starting from its pair's impulse of the previous step: both
// lists are sorted by pair, so one merge finds them.
void StableSolver::buildRows(const ContactList &contacts) {
    rows.resize(contacts.size());
    details.resize(contacts.size());
    std::size_t built = 0;
    const PairImpulse *cached = impulses.data();
    const PairImpulse *const end = cached + impulses.size();
    for (const Contact *c : contacts) {
        const std::size_t a = static_cast<std::size_t>(c->indexA);
        const std::size_t b = static_cast<std::size_t>(c->indexB);
        const float inverseMassSum = inverseMasses[a] + inverseMasses[b];
        if (inverseMassSum == 0)
            continue; // neither body can move
        const BodyPair pair = bodyPair(c->indexA, c->indexB);
        while (cached != end && pairBefore(*cached, pair))
            ++cached;
        // The same point of the pair: one of its (at most two) points of the step before.
        const PairImpulse *kept = cached;
        while (kept != end && samePair(*kept, pair) && kept->featureId != c->featureId)
            ++kept;
        const bool found = kept != end && samePair(*kept, pair);
        Row &r = rows[built];
        RowDetail &d = details[built];
        ++built;
        // Field by field: a whole Row assigned at once goes through a copy on the stack, whose
        // overlapping loads wait for the stores before them.
        r.a = c->indexA;
        r.b = c->indexB;
        r.normal = c->normal;
        r.penetration = c->penetration;
        r.inverseMassA = inverseMasses[a];
        r.inverseMassB = inverseMasses[b];
        r.impulse = found ? kept->impulse : 0.0f;
        r.maxImpulse = 0;
        r.turning = false;
        d.featureId = c->featureId;
        // Most rows (circles without friction, circles on walls) cannot turn their bodies.
        const unsigned traitsA = turnTraits[a];
        const unsigned traitsB = turnTraits[b];
        if (((traitsA | traitsB) & hasLever) != 0 || (traitsA & traitsB & rubs) != 0) {
            d.tangentImpulse = found ? kept->tangentImpulse : 0.0f;
            turningRow(r, d, *c);
        } else {
            d.tangentImpulse = 0;
        }
        // A row that turns its bodies has its mass from turningRow, counting its levers.
        if (!r.turning)
            r.normalMass = 1.0f / inverseMassSum;
        d.approach =
            r.normal.dot(relativeVelocity(r, d, velocityOf(motions[a]), velocityOf(motions[b])));
    }
    rows.resize(built);
    details.resize(built);
}

// A circle's every contact pushes along a line through its centre; its lever is 0 exactly rather
// than the rounding noise of cross(anchor, normal), so a circle without friction never turns. A
// body that cannot turn (a wall) has no lever either: a point with neither friction nor a lever
// takes the linear path alone, to the bit as it did before bodies could turn. Rows whose bodies
// have neither (see TurnTrait) do not come here.
[[gnu::always_inline]] inline void StableSolver::turningRow(Row &r, RowDetail &d,
                                                            const Contact &c) const {
    const std::size_t a = static_cast<std::size_t>(r.a);
    const std::size_t b = static_cast<std::size_t>(r.b);
    const bool leverA = (turnTraits[a] & hasLever) != 0;
    const bool leverB = (turnTraits[b] & hasLever) != 0;
    const bool rubbing = (turnTraits[a] & turnTraits[b] & rubs) != 0;
    d.friction = rubbing ? std::sqrt(frictions[a] * frictions[b]) : 0.0f;
    d.anchorA = c.anchorA;
    d.anchorB = c.anchorA + (c.a->position - c.b->position);
    d.normalLeverA = leverA ? cross(d.anchorA, r.normal) : 0.0f;
    d.normalLeverB = leverB ? cross(d.anchorB, r.normal) : 0.0f;
    r.turning = d.friction > 0 || d.normalLeverA != 0 || d.normalLeverB != 0;
    if (!r.turning) {
        d.tangentImpulse = 0;
        return;
    }
    d.inverseInertiaA = inverseInertias[a];
    d.inverseInertiaB = inverseInertias[b];
    const float angularMass = d.inverseInertiaA * d.normalLeverA * d.normalLeverA +
                              d.inverseInertiaB * d.normalLeverB * d.normalLeverB;
    r.normalMass = 1.0f / (r.inverseMassA + r.inverseMassB + angularMass);
    const Vec2 tangent(r.normal.y, -r.normal.x);
    d.tangentLeverA = cross(d.anchorA, tangent);
    d.tangentLeverB = cross(d.anchorB, tangent);
    const float tangentAngularMass = d.inverseInertiaA * d.tangentLeverA * d.tangentLeverA +
                                     d.inverseInertiaB * d.tangentLeverB * d.tangentLeverB;
    d.tangentMass = 1.0f / (r.inverseMassA + r.inverseMassB + tangentAngularMass);
    d.rollingMass = 0;
    d.rollingImpulse = 0;
    if (d.friction != 0)
        return;
    d.tangentImpulse = 0;
    if (tuning.rollingResistance > 0) {
        // Without friction only a lever turns a body: a circle's spin is its own, and the
        // resistance to turning neither reads nor changes it. A lever makes the row turn, so one
        // body keeps its inverse inertia.
        if (!leverA)
            d.inverseInertiaA = 0;
        if (!leverB)
            d.inverseInertiaB = 0;
        d.rollingMass = 1.0f / (d.inverseInertiaA + d.inverseInertiaB);
    }
}

// lanes(group) for each group of either kind and linear(row, detail) for each listed row, level
// by level: a level's rows share no body that they change, so within it the order does not
// matter.
template <typename LaneWork, typename Linear>
void StableSolver::eachLevel(LaneWork lanes, Linear linear) {
    std::size_t g = 0;
    std::size_t p = 0;
    std::size_t l = 0;
    for (const LevelWork &level : levelWork) {
        for (; g < level.groupEnd; ++g)
            lanes(groups[g]);
        for (; p < level.pairGroupEnd; ++p)
            lanes(pairGroups[p]);
        for (; l < level.linearEnd; ++l) {
            const std::size_t k = static_cast<std::size_t>(linearRows[l]);
            linear(rows[k], details[k]);
        }
    }
}

template <typename Group> void StableSolver::warmStartGroup(Group &g) {
#if defined(RIGID2D_WIDE_LANES)
    if (wideLanes)
        return warmStartWide(g);
#endif
    warmStartLanes(g);
}

template <bool useBias, typename Group> void StableSolver::solveGroup(Group &g) {
#if defined(RIGID2D_WIDE_LANES)
    if (wideLanes)
        return solveWide<useBias>(g);
#endif
    solveLanes<useBias>(g);
}

// A row that does not turn its bodies pushes them along the normal alone and leaves their spins
// as they are.
void StableSolver::warmStartRow(const Row &r) {
    Motion &ma = motions[static_cast<std::size_t>(r.a)];
    Motion &mb = motions[static_cast<std::size_t>(r.b)];
    Velocity va = velocityOf(ma);
    Velocity vb = velocityOf(mb);
    push(r, r.normal * r.impulse, va, vb);
    ma.velocity = va.linear;
    mb.velocity = vb.linear;
}

// A row that turns its bodies pushes them along the normal and the tangent, and turns them.
void StableSolver::warmStartTurningRow(const Row &r, const RowDetail &d) {
    Motion &ma = motions[static_cast<std::size_t>(r.a)];
    Motion &mb = motions[static_cast<std::size_t>(r.b)];
    Velocity va = velocityOf(ma);
    Velocity vb = velocityOf(mb);
    const Vec2 tangent(r.normal.y, -r.normal.x);
    push(r, r.normal * r.impulse + tangent * d.tangentImpulse, va, vb);
    turn(d, d.normalLeverA * r.impulse + d.tangentLeverA * d.tangentImpulse,
         d.normalLeverB * r.impulse + d.tangentLeverB * d.tangentImpulse, va, vb);
    if (d.rollingMass != 0)
        turn(d, d.rollingImpulse, d.rollingImpulse, va, vb);
    store(ma, va);
    store(mb, vb);
}

[[gnu::always_inline]] inline void StableSolver::warmStartOne(const Row &r, const RowDetail &d) {
    if (r.turning)
        warmStartTurningRow(r, d);
    else
        warmStartRow(r);
}

void StableSolver::applyWarmStart() {
    if (grouped) {
        eachLevel([this](auto &g) { this->warmStartGroup(g); },
                  [this](Row &r, RowDetail &d) { warmStartOne(r, d); });
        return;
    }
    const RowDetail *d = details.data();
    for (const Row &r : rows)
        warmStartOne(r, *d++);
}

// Each row reads its bodies' velocities (and spins) once, applies friction (the tangent impulse
// that stops the point sliding, kept within the friction cone of the normal impulse accumulated
// so far) or, at a point without friction that turns its bodies, the moment that resists their
// turning against each other (kept within the rolling resistance times that normal impulse), then
// the normal impulse, and writes them back once. A contact whose bodies have
// left the finite numbers (an impulse overflowed into one of them) gives a non-finite impulse,
// and is passed over so that the overflow goes no further. The rows that turn their bodies are
// solved four at a time (see solveLanes), or eight where the processor has AVX, the others one by
// one.
template <bool useBias> void StableSolver::solve() {
    if (grouped) {
        eachLevel([this](auto &g) { this->template solveGroup<useBias>(g); },
                  [this](Row &r, RowDetail &d) { solveOne<useBias>(r, d); });
        return;
    }
    RowDetail *d = details.data();
    for (Row &r : rows)
        solveOne<useBias>(r, *d++);
}

template <bool useBias>
[[gnu::always_inline]] inline void StableSolver::solveOne(Row &r, RowDetail &d) {
    if (r.turning)
        solveRow<useBias, true>(r, d);
    else
        solveRow<useBias, false>(r, d);
}

// What solveLanes does for one row. A row that does not turn its bodies has no friction (see
// turningRow()) and leaves their spins as they are.
template <bool useBias, bool turns>
[[gnu::always_inline]] inline void StableSolver::solveRow(Row &r, RowDetail &d) {
    Motion &ma = motions[static_cast<std::size_t>(r.a)];
    Motion &mb = motions[static_cast<std::size_t>(r.b)];
    Velocity va = velocityOf(ma);
    Velocity vb = velocityOf(mb);
    if (turns && d.friction > 0) {
        const Vec2 tangent(r.normal.y, -r.normal.x);
        const float vt = tangent.dot(relativeVelocity<turns>(d, va, vb));
        const float limit = d.friction * r.impulse;
        const float unclamped = d.tangentImpulse - d.tangentMass * vt;
        if (std::isfinite(unclamped)) {
            const float accumulated = std::max(-limit, std::min(unclamped, limit));
            const float change = accumulated - d.tangentImpulse;
            d.tangentImpulse = accumulated;
            push(r, tangent * change, va, vb);
            turn(d, d.tangentLeverA * change, d.tangentLeverB * change, va, vb);
        }
    } else if (turns && d.rollingMass != 0) {
        const float limit = tuning.rollingResistance * r.impulse;
        const float spinA = d.inverseInertiaA != 0 ? va.angular : 0.0f;
        const float spinB = d.inverseInertiaB != 0 ? vb.angular : 0.0f;
        const float unclamped = d.rollingImpulse - d.rollingMass * (spinB - spinA);
        if (std::isfinite(unclamped)) {
            const float accumulated = std::max(-limit, std::min(unclamped, limit));
            const float change = accumulated - d.rollingImpulse;
            d.rollingImpulse = accumulated;
            turn(d, change, change, va, vb);
        }
    }
    // Negative while the bodies overlap by more than the slop; as the bodies move (and turn)
    // during the step it follows them along the normal found at detection.
    const Vec2 moved = turns ? (mb.displacement + cross(mb.turn, d.anchorB)) -
                                   (ma.displacement + cross(ma.turn, d.anchorA))
                             : mb.displacement - ma.displacement;
    const float separation = r.normal.dot(moved) - r.penetration + tuning.slop;
    float bias = 0;
    float massScale = 1;
    float impulseScale = 0;
    if (separation > 0) {
        // Apart: let them close the gap within this sub-step, no more.
        bias = separation * inverseSubstep;
    } else if (useBias) {
        const Softness &spring = turns ? turningSoftness : softness;
        bias = std::max(spring.biasRate * separation, -tuning.maxPushOut);
        massScale = spring.massScale;
        impulseScale = spring.impulseScale;
    }
    const float vn = r.normal.dot(relativeVelocity<turns>(d, va, vb));
    const float unclamped =
        r.impulse - r.normalMass * massScale * (vn + bias) - impulseScale * r.impulse;
    if (std::isfinite(unclamped)) {
        const float accumulated = std::max(unclamped, 0.0f);
        const float change = accumulated - r.impulse;
        r.impulse = accumulated;
        r.maxImpulse = std::max(r.maxImpulse, accumulated);
        applyNormalImpulse<turns>(r, d, change, va, vb);
    }
    if (turns) {
        store(ma, va);
        store(mb, vb);
    } else {
        ma.velocity = va.linear;
        mb.velocity = vb.linear;
    }
}

// One pass over the rows, in their order: a row that approached fast enough and pushed bounces
// (see restitutionThreshold), then its impulses are kept for the next step. A row's bounce
// changes no row before it, so each is kept as the bounces leave it.
void StableSolver::bounceAndKeepImpulses(float restitution) {
    spareImpulses.resize(rows.size());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        Row &r = rows[k];
        const RowDetail &d = details[k];
        if (d.approach < -restitutionThreshold && r.maxImpulse != 0)
            bounce(r, d, restitution);
        const BodyPair pair = bodyPair(r.a, r.b);
        spareImpulses[k] =
            PairImpulse{pair.lower, pair.higher, r.impulse, d.featureId, d.tangentImpulse};
    }
    std::swap(impulses, spareImpulses);
}

void StableSolver::bounce(Row &r, const RowDetail &d, float restitution) {
    Motion &ma = motions[static_cast<std::size_t>(r.a)];
    Motion &mb = motions[static_cast<std::size_t>(r.b)];
    Velocity va = velocityOf(ma);
    Velocity vb = velocityOf(mb);
    const float vn = r.normal.dot(relativeVelocity(r, d, va, vb));
    const float unclamped = r.impulse - r.normalMass * (vn + restitution * d.approach);
    if (!std::isfinite(unclamped))
        return;
    const float accumulated = std::max(unclamped, 0.0f);
    const float change = accumulated - r.impulse;
    r.impulse = accumulated;
    applyNormalImpulse(r, d, change, va, vb);
    store(ma, va);
    store(mb, vb);
}
