#pragma once

#include "math/lanes.h"
#include "math/vec2.h"
#include "physics/contactsolver.h"
#include "physics/levelorder.h"

#include <cstddef> // std::size_t
#include <cstdint> // std::uint32_t
#include <vector>

class BaseEntity;

// One contact point's accumulated impulses at the end of a step, which the same point of the same
// pair starts from in the next step.
struct PairImpulse {
    int lower;
    int higher;
    // Along the normal.
    float impulse;
    // Which point of the pair's contact (see ManifoldPoint): 0 for a circle's only point.
    std::uint32_t featureId = 0;
    // Along the tangent, friction's.
    float tangentImpulse = 0;
};

// What one revision of the stable solver sets. A released revision never changes and every one
// stays available, so that steps taken with it can be taken again to their last bit.
struct StableTuning {
    // The fastest a contact pushes overlapping bodies apart, units per step.
    float maxPushOut;
    // How far above critical the contacts' springs are damped.
    float dampingRatio;
    // A body that can move finds contacts this far before it touches, plus the distance its
    // velocity carries it in one step along either axis: the solver then stops it at the surface
    // instead of pushing it out of an overlap. 0 and false: contacts only where shapes touch.
    float lookAhead;
    bool looksAhead;
    // The damping ratio of the contacts that turn their bodies: those with friction, and those
    // that push a box off its centre.
    float turningDampingRatio;
    // Overlap left alone. A contact within it counts as apart: the bodies may close the rest of
    // the gap but are not pushed.
    float slop;
    // Whether bodies at rest fall asleep (see SleepingBodies).
    bool sleeps;
    // How far, in units, a contact without friction that turns its bodies lets its normal impulse
    // act to resist their turning against each other: a contact of width, not a point. A box held
    // by frictionless contacts alone (a box in the groove between two circles) can slide along
    // them and turn at once, a motion nothing else damps; the contacts' directions, found once a
    // step, lag behind it and feed it, so it would rock for ever. 0: such contacts turn freely.
    float rollingResistance = 0;
};

// Resolves a step's contacts so that tall piles hold. The step is cut into sub-steps; in each,
// gravity is added, every contact's impulse is re-applied from where it was left, one pass of
// sequential impulses treats the contacts as stiff, heavily damped springs that push overlapping
// bodies apart no faster than a set speed, the bodies move, and a second pass takes the push-out
// speed back out of the velocities so that it moves the bodies without launching them. Each
// contact's impulse is accumulated and never pulls. Bounces are added at the end, from the
// approach speed at the start of the step, and only above a threshold, so that resting contacts
// stay at rest. Friction clamps each point's tangent impulse by its normal impulse times the
// bodies' friction coefficient (Coulomb's law) and is warm started like the normal impulse; a
// contact turns the bodies it pushes off-centre or rubs; one without friction that does resists
// their turning against each other with its normal impulse times the tuning's rolling
// resistance. A contact with no friction that pushes through both centres (circles, walls) takes
// the linear path alone, so circles without friction never turn. Everything runs in single
// precision in one fixed order.
class StableSolver : public ContactSolver {
public:
    explicit StableSolver(const StableTuning &tuning);

    void step(const EntityArray &bodies, const ContactList &contacts,
              const StepSettings &settings) override;
    // The same, moving only the bodies listed (ascending indices), the others kept as they are;
    // the contacts join them with each other or with bodies that cannot move.
    void stepBodies(const EntityArray &bodies, const ContactList &contacts,
                    const StepSettings &settings, const std::vector<int> &moving);
    // What the last step moved and turned body i by, for a body it moved.
    Vec2 displacement(int i) const { return motions[static_cast<std::size_t>(i)].displacement; }
    float turned(int i) const { return motions[static_cast<std::size_t>(i)].turn; }

    // Switches to another revision's tuning; the impulses kept are left as they are.
    void retune(const StableTuning &tuning);
    // How far beyond touching each body's contacts are to be found this step, by body index
    // (see StableTuning::lookAhead); nullptr when the tuning does not look ahead.
    const std::vector<float> *reaches(const EntityArray &bodies);
    float reachOf(const BaseEntity &body) const;
    // The same for a body whose type() the caller has already asked.
    float reachOf(const BaseEntity &body, int kind) const;

    // The impulses the next step starts from, by pair in ascending order of (lower, higher), the
    // points of one pair in the order of its contact, each feature once; those of sleeping bodies
    // included.
    // Bodies appended to the array leave it valid: the indices of the others do not change.
    const std::vector<PairImpulse> &warmStart() const;
    // Replaces them with impulses as warmStart() gave them, putting aside those of the bodies
    // asleep (by index, asleep[i] != 0); the capacity already held is reused.
    void setWarmStart(const std::vector<PairImpulse> &kept,
                      const std::vector<unsigned char> &asleep = {});
    // The impulses of the pairs with a body asleep are put aside, and given back once both bodies
    // are awake again, so that a pile woken goes on carrying its weight as it did.
    void putToSleep(const std::vector<unsigned char> &asleep);
    void wakeUp(const std::vector<unsigned char> &asleep);

private:
    // Chosen by measurement on the grid scenes of 1000 to 10000 circles. Fewer sub-steps let the
    // bottom of a column of hundreds of circles sink; more cost time and gain nothing.
    static constexpr int substeps = 4;
    static constexpr float substep = 0.25f;       // 1 / substeps, exact
    static constexpr float inverseSubstep = 4.0f; // substeps

    // What every pass reads and writes of a contact point. Kept small: the points of a pile that
    // neither turn nor rub its bodies are most of a step's work, and stream through the cache.
    struct Row {
        int a;
        int b;
        Vec2 normal;
        // At detection, before anything of this step moved.
        float penetration;
        float inverseMassA;
        float inverseMassB;
        // 1 / (the effective inverse mass along the normal).
        float normalMass;
        float impulse;
        // The largest accumulated impulse of the step: a contact that never pushed does not
        // bounce.
        float maxImpulse;
        // Whether the point turns its bodies: it has friction, or pushes off a centre. Else the
        // angular fields of its RowDetail are unused.
        bool turning;
    };

    // The rest of a point, at the same place in details as its row in rows: what the start and
    // end of the step need, and the levers and friction of a point that turns its bodies.
    struct RowDetail {
        // The normal speed at the start of the step, negative when approaching.
        float approach;
        std::uint32_t featureId;
        // From each body's position to the point.
        Vec2 anchorA;
        Vec2 anchorB;
        // cross(anchor, normal): how much the normal impulse turns each body (0 for a circle).
        float normalLeverA;
        float normalLeverB;
        // cross(anchor, tangent), the tangent being the normal turned a quarter clockwise.
        float tangentLeverA;
        float tangentLeverB;
        float inverseInertiaA;
        float inverseInertiaB;
        // The geometric mean of the bodies' coefficients.
        float friction;
        float tangentMass;
        float tangentImpulse;
        // 1 / (inverseInertiaA + inverseInertiaB) for a point without friction that turns its
        // bodies, when the tuning resists their turning (see StableTuning::rollingResistance);
        // else 0.
        float rollingMass;
        // The accumulated moment that resists the turning, within rollingResistance times the
        // normal impulse either way. Kept within the step only.
        float rollingImpulse;
    };

    // The contacts as springs: the soft constraint's push-out rate per unit of overlap, the share
    // of a full impulse each pass applies, and the share of the accumulated impulse each pass
    // lets go. Fixed by the tuning.
    struct Softness {
        float biasRate;
        float massScale;
        float impulseScale;
    };

    // A body's motion within the step, all of it in one place: a row reads and writes both its
    // bodies' at once. Velocity, spin and turn come first: a group of rows loads them in one go
    // (see gather).
    struct Motion {
        Vec2 velocity;
        float spin;
        // The angle the body has turned by in the step so far.
        float turn;
        Vec2 displacement;
    };

    // A group's lanes: eight, taken four at a time, or at once where the processor has AVX.
    static constexpr int groupLanes = 2 * laneCount;

    // What the rows of eight pairs of bodies that turn them share, one pair a lane: the pair's
    // bodies, normal, masses and friction. Lanes sharing a body the rows do not change read it
    // from its motion and write the spare one, so that they never write it at all.
    struct PairLanes {
        LaneVec2Halves normal;
        LaneHalves inverseMassA;
        LaneHalves inverseMassB;
        LaneHalves inverseInertiaA;
        LaneHalves inverseInertiaB;
        LaneHalves friction;
        int readA[groupLanes];
        int readB[groupLanes];
        int writeA[groupLanes];
        int writeB[groupLanes];
    };

    // One contact point of each of those pairs: lane i is row rowOf[i], or a spare lane (rowOf
    // -1, every field 0, its pair's too) reading and writing the spare motion. The lanes are
    // filled from the first, so a half whose first lane is spare is spare throughout.
    struct PointLanes {
        LaneHalves penetration;
        LaneHalves normalMass;
        LaneHalves impulse;
        LaneHalves maxImpulse;
        LaneVec2Halves anchorA;
        LaneVec2Halves anchorB;
        LaneHalves normalLeverA;
        LaneHalves normalLeverB;
        LaneHalves tangentLeverA;
        LaneHalves tangentLeverB;
        LaneHalves tangentMass;
        LaneHalves tangentImpulse;
        int rowOf[groupLanes];
    };

    // Eight rows that turn their bodies, of one level (see LevelOrder), solved at once, each
    // lane rounded exactly as its row alone.
    struct TurningLanes : PairLanes, PointLanes {
        static constexpr int pointCount = 1;
        PointLanes &pointAt(int) { return *this; }
    };

    // Eight pairs of bodies, each with two rows that turn them (a box resting on a box): a pair's
    // points are solved in their rows' order between one read of the bodies and one write.
    struct TwoPointLanes : PairLanes {
        static constexpr int pointCount = 2;
        PointLanes point[pointCount];
        PointLanes &pointAt(int n) { return point[n]; }
    };

    // A body's motion in lanes: four (Lanes), or eight (WideLanes).
    template <typename L> struct BasicLaneMotion {
        BasicLaneVec2<L> velocity;
        L spin;
        L turn;
        BasicLaneVec2<L> displacement;
    };
    using LaneMotion = BasicLaneMotion<Lanes>;

    // Where a level's work ends in groups, pairGroups and linearRows.
    struct LevelWork {
        std::size_t groupEnd;
        std::size_t pairGroupEnd;
        std::size_t linearEnd;
    };

    // A body's velocity and spin as a row works on them: read once, changed, written back once.
    struct Velocity {
        Vec2 linear;
        float angular;
    };

    static Velocity velocityOf(const Motion &m) { return Velocity{m.velocity, m.spin}; }
    static void store(Motion &m, const Velocity &v) {
        m.velocity = v.linear;
        m.spin = v.angular;
    }
    // The velocity of the point at anchor on a body moving so.
    static Vec2 pointVelocity(const Velocity &v, Vec2 anchor);
    // The relative velocity of b's point to a's.
    static Vec2 relativeVelocity(const Row &r, const RowDetail &d, const Velocity &a,
                                 const Velocity &b);
    // The same for a row known to turn its bodies or not.
    template <bool turns>
    static Vec2 relativeVelocity(const RowDetail &d, const Velocity &a, const Velocity &b);
    // The impulse p on both bodies' velocities, a pushed back and b forward.
    static void push(const Row &r, Vec2 p, Velocity &a, Velocity &b);
    // The moments turnA and turnB of an impulse about each body's position on their spins, each
    // times the body's inverse inertia.
    static void turn(const RowDetail &d, float turnA, float turnB, Velocity &a, Velocity &b);
    // A change of the normal impulse on both bodies.
    static void applyNormalImpulse(const Row &r, const RowDetail &d, float change, Velocity &a,
                                   Velocity &b);
    template <bool turns>
    static void applyNormalImpulse(const Row &r, const RowDetail &d, float change, Velocity &a,
                                   Velocity &b);

    static Softness softnessOf(float dampingRatio);
    void resizeFor(std::size_t count);
    void prepare(const BaseEntity &body, std::size_t i, const StepSettings &settings);
    template <typename EachBody>
    void advance(const EntityArray &bodies, const ContactList &contacts,
                 const StepSettings &settings, EachBody eachBody);
    void buildRows(const ContactList &contacts);
    void turningRow(Row &r, RowDetail &d, const Contact &c) const;
    void applyWarmStart();
    // When some rows turn their bodies: those of each level in groups of eight (by pairs of two
    // points, when most come so), the others (and those that resist turning) listed.
    bool groupTurningRows(int bodyCount);
    // Whether row k goes into the lanes, whether the row after joins the same bodies (the rows
    // of a pair are next to each other), and whether both are the two points of a pair that go
    // into the lanes.
    bool inLanes(std::size_t k) const;
    bool sameBodiesAsNext(std::size_t k) const;
    bool startsTwoPoints(std::size_t k) const;
    // Deals the rows, level by level, into groups, pairGroups and linearRows: with twoPoints, as
    // pairRows takes them together; else each row alone.
    template <bool twoPoints> void fillLevels();
    template <typename Group> Group blankGroup() const;
    bool changedByRows(std::size_t i) const;
    template <typename Group> void putInLane(Group &g, int lane, int firstRow);
    void putPairInLane(PairLanes &g, int lane, int k) const;
    void putPointInLane(PointLanes &p, int lane, int k) const;
    // The groups' impulses back into their rows.
    void ungroup();
    // The motions of four bodies in lanes, and back.
    LaneMotion gather(const int *bodies) const;
    void scatter(const int *bodies, const LaneMotion &m);
    // Each level's groups (see groupTurningRows) to lanes, then its rows alone to linear.
    template <typename LaneWork, typename Linear> void eachLevel(LaneWork lanes, Linear linear);
    // A group, in eight lanes where the processor has AVX (wideLanes), else four at a time.
    template <typename Group> void warmStartGroup(Group &g);
    template <bool useBias, typename Group> void solveGroup(Group &g);
    // The lane arithmetic (stablesolverlanemath.h), for motions LM of four lanes or eight.
    template <typename Point, typename LM>
    static auto relativeVelocity(const Point &p, const LM &a, const LM &b);
    // The impulse p, and the moments turnA and turnB, on the lanes where applies (on every lane
    // when every), with the masses of the pair's bodies.
    template <typename Pair, typename LM, typename Mask>
    static void push(const Pair &pair, const decltype(LM::velocity) &p, const Mask &applies,
                     bool every, LM &a, LM &b);
    template <typename Pair, typename LM, typename Mask>
    static void turn(const Pair &pair, const decltype(LM::spin) &turnA,
                     const decltype(LM::spin) &turnB, const Mask &applies, bool every, LM &a,
                     LM &b);
    // A group four lanes at a time, each half that holds a row in turn.
    template <typename Group> void warmStartLanes(Group &g);
    template <bool useBias, typename Group> void solveLanes(Group &g);
#if defined(RIGID2D_WIDE_LANES)
    // A group's eight lanes at once (stablesolverwide.cpp).
    template <typename Group> void warmStartWide(Group &g);
    template <bool useBias, typename Group> void solveWide(Group &g);
    static bool processorHasAvx();
#endif
    // One point of a group: what its pair shares from pair, its own fields from point (the same
    // group for TurningLanes).
    template <typename Pair, typename Point, typename LM>
    static void warmStartPoint(const Pair &pair, const Point &point, LM &a, LM &b);
    template <bool useBias, typename Pair, typename Point, typename LM>
    void solvePoint(const Pair &pair, Point &point, LM &a, LM &b);
    // One pass over the contacts: with useBias, overlap is pushed out softly; without, the
    // contacts only stop approach, and the push-out speed of the pass before is taken back.
    template <bool useBias> void solve();
    template <bool useBias, bool turns> void solveRow(Row &r, RowDetail &d);
    void warmStartRow(const Row &r);
    // A row alone, down the path of its kind (turning or not).
    void warmStartOne(const Row &r, const RowDetail &d);
    template <bool useBias> void solveOne(Row &r, RowDetail &d);
    void warmStartTurningRow(const Row &r, const RowDetail &d);
    void bounceAndKeepImpulses(float restitution);
    void bounce(Row &r, const RowDetail &d, float restitution);

    StableTuning tuning;
    Softness softness;
    Softness turningSoftness;
    std::vector<Row> rows;
    std::vector<RowDetail> details;
    // When some rows turn their bodies (grouped), the passes take the rows level by level.
    bool grouped = false;
#if defined(RIGID2D_WIDE_LANES)
    // Whether the processor has AVX: a group's eight lanes are then solved at once.
    bool wideLanes = processorHasAvx();
#endif
    LevelOrder levels;
    std::vector<TurningLanes> groups;
    std::vector<TwoPointLanes> pairGroups;
    std::vector<int> linearRows;
    // Where each pair of rows taken together begins in rows, then the end of the rows.
    std::vector<int> pairRows;
    std::vector<LevelWork> levelWork;
    std::vector<PairImpulse> impulses;
    // Those of the pairs with a body asleep, by pair.
    std::vector<PairImpulse> restingImpulses;
    // Both merged, for warmStart().
    mutable std::vector<PairImpulse> allImpulses;
    std::vector<PairImpulse> spareImpulses;
    // By body index, for the step being solved.
    std::vector<Motion> motions;
    std::vector<Vec2> kicks;
    std::vector<float> inverseMasses;
    std::vector<float> inverseInertias;
    std::vector<float> frictions;
    // What of a body can make its rows turn it (see turningRow): a lever (it can turn and is no
    // circle, whose every contact pushes through its centre), friction, both or neither.
    enum TurnTrait : unsigned char { noTurnTrait = 0, hasLever = 1, rubs = 2 };
    std::vector<unsigned char> turnTraits;
    // Whether the rows can change the body (see changedByRows).
    std::vector<char> changeable;
    // stepBodies(): the bodies prepared for the step so far (those it moves only when they are no
    // range), and those of them the step does not move; all 0 outside it.
    std::vector<char> prepared;
    std::vector<int> readOnly;
    std::vector<float> bodyReaches;
};
