#include "session/session.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/finitebodies.h"
#include "session/sessionrecorder.h"
#include "text/statetext.h"

#include <algorithm> // std::max, std::lower_bound
#include <utility>   // std::move

namespace {

// The held circle's velocity before each step: a quarter of the way to the target.
constexpr float pullShare = 0.25f;

bool holdable(const BaseEntity &body) {
    return body.type() == BodyType::Circle || body.type() == BodyType::Box;
}

// Where a box is taken, in its own frame; a circle is held by its centre.
Vec2 anchorOf(const BaseEntity &body, Vec2 point) {
    if (body.type() != BodyType::Box)
        return Vec2();
    return body.rotation.applyInverse(point - body.position);
}

// One impulse at the body's point anchor (in its own frame) that gives the point the velocity
// (target - point) * pullShare: the 2 x 2 system of the point's response to an impulse there,
// solved by Cramer's rule. A body that cannot move is left as it is.
void pullAtPoint(BaseEntity &body, Vec2 anchor, Vec2 target) {
    const Vec2 r = body.rotation.apply(anchor);
    const Vec2 wanted = (target - (body.position + r)) * pullShare;
    const Vec2 change = wanted - (body.velocity + cross(body.angularVelocity, r));
    const float m = body.inverseMass;
    const float i = body.inverseInertia;
    const float k11 = m + i * r.y * r.y;
    const float k12 = -i * r.x * r.y;
    const float k22 = m + i * r.x * r.x;
    const float determinant = k11 * k22 - k12 * k12;
    if (!(determinant > 0))
        return;
    const Vec2 impulse((k22 * change.x - k12 * change.y) / determinant,
                       (k11 * change.y - k12 * change.x) / determinant);
    body.velocity += impulse * m;
    body.angularVelocity += i * cross(r, impulse);
}

bool before(const SessionInput &input, long long step) {
    return input.step < step;
}

} // namespace

Session::Session(const Scene &scene, World::PairSearch search)
    : simulation(scene, search), startScene(scene) {
    keepKeyframe();
}

void Session::play(Recording recording) {
    player.emplace(std::move(recording));
    giveDueInputs();
}

bool Session::replaying() const {
    return player && !player->finished(simulation.totalSteps());
}

void Session::recordTo(SessionRecorder *sessionRecorder) {
    recorder = sessionRecorder;
}

bool Session::spawn(Vec2 position) {
    return fromPerson(stampedNow(SessionInput::Kind::Spawn, position));
}

bool Session::dropBox(Vec2 position) {
    return fromPerson(stampedNow(SessionInput::Kind::DropBox, position));
}

bool Session::restart() {
    return fromPerson(stampedNow(SessionInput::Kind::Restart));
}

bool Session::switchSolver(World::Solver solver) {
    SessionInput input = stampedNow(SessionInput::Kind::Solver);
    input.solver = solver;
    return fromPerson(input);
}

bool Session::switchSolverInPlace(World::Solver solver) {
    SessionInput input = stampedNow(SessionInput::Kind::SolverInPlace);
    input.solver = solver;
    return fromPerson(input);
}

bool Session::changeSettings(const SandboxSettings &settings) {
    SessionInput input = stampedNow(SessionInput::Kind::Settings);
    input.settings = settings;
    return fromPerson(input);
}

bool Session::remove(int index) {
    SessionInput input = stampedNow(SessionInput::Kind::Remove);
    input.index = index;
    return fromPerson(input);
}

bool Session::clearDropped() {
    return fromPerson(stampedNow(SessionInput::Kind::Clear));
}

bool Session::switchScene(const Scene &scene) {
    SessionInput input = stampedNow(SessionInput::Kind::Scene);
    input.scene = scene;
    return fromPerson(input);
}

bool Session::grab(int index, Vec2 target) {
    SessionInput input = stampedNow(SessionInput::Kind::Grab, target);
    input.index = index;
    return fromPerson(input);
}

bool Session::drag(Vec2 target) {
    return fromPerson(stampedNow(SessionInput::Kind::Drag, target));
}

bool Session::release() {
    return fromPerson(stampedNow(SessionInput::Kind::Release));
}

SessionInput Session::stampedNow(SessionInput::Kind kind, Vec2 position) const {
    return SessionInput{simulation.totalSteps(), kind, position};
}

bool Session::fromPerson(const SessionInput &input) {
    return !replaying() && apply(input);
}

void Session::step() {
    advance(true);
    checkpoint();
    keepKeyframe();
    giveDueInputs();
}

void Session::advance(bool noteTarget) {
    pullHeldCircle(noteTarget);
    simulation.step();
}

void Session::playTo(long long step) {
    while (simulation.totalSteps() < step && !fault)
        this->step();
}

void Session::take(SessionSnapshot &snapshot) const {
    simulation.save(snapshot.sandbox);
    snapshot.hold = hold;
    snapshot.replayCursor = player ? player->cursor() : 0;
}

void Session::restore(const SessionSnapshot &snapshot) {
    simulation.restore(snapshot.sandbox);
    hold = snapshot.hold;
    targetNoted = true;
    if (player)
        player->seek(snapshot.replayCursor);
    keyframes.clear();
    taken.clear();
    startScene.reset();
    keepKeyframe();
}

bool Session::goBackTo(long long step) {
    const long long now = simulation.totalSteps();
    const SessionSnapshot *keyframe = keyframes.atOrBefore(std::max(step, earliestStep()));
    if (!keyframe || step >= now)
        return false;
    const long long target = std::max(step, keyframe->sandbox.totalSteps);
    simulation.restore(keyframe->sandbox);
    hold = keyframe->hold;
    targetNoted = true;
    keyframes.forgetAfter(target);
    auto next = std::lower_bound(taken.cbegin(), taken.cend(), simulation.totalSteps(), before);
    next = giveAgain(next);
    while (simulation.totalSteps() < target) {
        advance(false);
        next = giveAgain(next);
    }
    taken.erase(next, taken.cend());
    // The targets given again were noted when first given.
    targetNoted = true;
    if (player)
        player->rewindTo(target);
    if (recorder)
        recorder->recordBack(GoingBack{now, target});
    return true;
}

bool Session::stepBack(long long steps) {
    return goBackTo(std::max(simulation.totalSteps() - steps, earliestStep()));
}

long long Session::earliestStep() const {
    return keyframes.empty() ? simulation.totalSteps() : keyframes.oldestStep();
}

void Session::keepHistory(bool keep) {
    historyKept = keep;
    if (keep)
        return;
    keyframes.clear();
    taken.clear();
    startScene.reset();
}

std::optional<Recording> Session::fromStart() const {
    if (!startScene)
        return std::nullopt;
    return Recording{*startScene, taken, {}, simulation.totalSteps()};
}

// A drag is noted only before the step that uses it, with the last target given.
bool Session::apply(const SessionInput &input) {
    const bool took = give(input);
    if (took && input.kind != SessionInput::Kind::Drag)
        note(input);
    return took;
}

void Session::note(const SessionInput &input) {
    if (historyKept)
        taken.push_back(input);
    if (recorder)
        recorder->record(input);
}

bool Session::give(const SessionInput &input) {
    switch (input.kind) {
    case SessionInput::Kind::Spawn:
        return simulation.spawn(input.position);
    case SessionInput::Kind::DropBox:
        return simulation.dropBox(input.position);
    case SessionInput::Kind::Restart:
        simulation.restart();
        break;
    case SessionInput::Kind::Solver: {
        Scene scene = simulation.scene();
        scene.solver = input.solver;
        simulation.rebuild(scene);
        break;
    }
    case SessionInput::Kind::Scene:
        simulation.rebuild(input.scene);
        break;
    case SessionInput::Kind::Grab:
    case SessionInput::Kind::Drag:
    case SessionInput::Kind::Release:
        return giveHold(input);
    // The bodies stay, and so does the circle held.
    case SessionInput::Kind::SolverInPlace:
        simulation.switchSolver(input.solver);
        return true;
    case SessionInput::Kind::Settings:
        simulation.changeSettings(input.settings);
        return true;
    case SessionInput::Kind::Remove:
    case SessionInput::Kind::Clear:
        return giveRemoval(input);
    }
    hold = HeldCircle();
    return true;
}

bool Session::giveHold(const SessionInput &input) {
    const EntityArray &bodies = simulation.bodies();
    switch (input.kind) {
    case SessionInput::Kind::Grab:
        if (input.index < 0 || input.index >= bodies.size() || !holdable(*bodies[input.index]))
            return false;
        hold =
            HeldCircle{input.index, input.position, anchorOf(*bodies[input.index], input.position)};
        targetNoted = true;
        return true;
    case SessionInput::Kind::Drag:
        if (hold.index < 0)
            return false;
        targetNoted =
            targetNoted && hold.target.x == input.position.x && hold.target.y == input.position.y;
        hold.target = input.position;
        return true;
    default:
        if (hold.index < 0)
            return false;
        hold = HeldCircle();
        return true;
    }
}

// The circle held goes with its body, or follows it down the array.
bool Session::giveRemoval(const SessionInput &input) {
    if (input.kind == SessionInput::Kind::Clear) {
        simulation.clearDropped();
        if (hold.index >= simulation.bodies().size())
            hold = HeldCircle();
        return true;
    }
    if (!simulation.remove(input.index))
        return false;
    if (hold.index == input.index)
        hold = HeldCircle();
    else if (hold.index > input.index)
        --hold.index;
    return true;
}

void Session::pullHeldCircle(bool noteTarget) {
    if (hold.index < 0)
        return;
    BaseEntity *circle = simulation.body(hold.index);
    if (!isFiniteBody(*circle)) {
        hold = HeldCircle();
        return;
    }
    if (noteTarget && !targetNoted)
        note(stampedNow(SessionInput::Kind::Drag, hold.target));
    targetNoted = true;
    // A body held never sleeps, nor does what it touches.
    simulation.wake(hold.index);
    if (circle->type() == BodyType::Box)
        pullAtPoint(*circle, hold.anchor, hold.target);
    else
        circle->velocity = (hold.target - circle->position) * pullShare;
}

std::vector<SessionInput>::const_iterator
Session::giveAgain(std::vector<SessionInput>::const_iterator from) {
    for (; from != taken.cend() && from->step == simulation.totalSteps(); ++from)
        give(*from);
    return from;
}

void Session::giveDueInputs() {
    if (!player)
        return;
    while (const SessionInput *input = player->nextDue(simulation.totalSteps())) {
        if (apply(*input))
            continue;
        if (input->kind == SessionInput::Kind::Spawn ||
            input->kind == SessionInput::Kind::DropBox) {
            ++refused;
            continue;
        }
        const std::string what =
            input->kind == SessionInput::Kind::Grab
                ? "grab of body " + std::to_string(input->index) +
                      ", which is neither a circle nor a box at step " + std::to_string(input->step)
            : input->kind == SessionInput::Kind::Remove
                ? "removal of body " + std::to_string(input->index) +
                      ", which is not a circle at step " + std::to_string(input->step)
                : "nothing is held at step " + std::to_string(input->step);
        fault = ReplayFault{*input, what};
        player.reset();
        return;
    }
}

void Session::checkpoint() {
    const long long step = simulation.totalSteps();
    const bool recording = recorder && step % checkpointInterval == 0;
    const Checkpoint *expected = player ? player->checkpointAt(step) : nullptr;
    if (!recording && !expected)
        return;
    const std::uint64_t hash = stateHash(simulation.bodies());
    if (recording)
        recorder->recordCheckpoint(Checkpoint{step, hash});
    if (expected && expected->hash != hash && !firstDivergence)
        firstDivergence = Divergence{step, expected->hash, hash};
}

void Session::keepKeyframe() {
    if (!historyKept || !(keyframes.empty() || keyframes.due(simulation.totalSteps())))
        return;
    take(keyframes.add());
    keyframes.keep();
}
