#include "session/session.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/finitebodies.h"
#include "session/sessionrecorder.h"

#include <utility> // std::move

namespace {

// The held circle's velocity before each step: a quarter of the way to the target.
constexpr float pullShare = 0.25f;

} // namespace

Session::Session(const Scene &scene, World::PairSearch search) : simulation(scene, search) {}

void Session::play(Replay replay) {
    player.emplace(std::move(replay));
    giveDueInputs();
}

bool Session::replaying() const {
    return player && !player->finished(simulation.totalSteps());
}

void Session::recordTo(SessionRecorder *sessionRecorder) {
    recorder = sessionRecorder;
}

bool Session::spawn(Vec2 position) {
    return !replaying() &&
           apply(ReplayInput{simulation.totalSteps(), ReplayInput::Kind::Spawn, position});
}

bool Session::restart() {
    return !replaying() && apply(ReplayInput{simulation.totalSteps(), ReplayInput::Kind::Restart});
}

bool Session::switchSolver(World::Solver solver) {
    ReplayInput input{simulation.totalSteps(), ReplayInput::Kind::Solver};
    input.solver = solver;
    return !replaying() && apply(input);
}

bool Session::switchScene(const Scene &scene) {
    ReplayInput input{simulation.totalSteps(), ReplayInput::Kind::Scene};
    input.scene = scene;
    return !replaying() && apply(input);
}

bool Session::grab(int index, Vec2 target) {
    ReplayInput input{simulation.totalSteps(), ReplayInput::Kind::Grab, target};
    input.index = index;
    return !replaying() && apply(input);
}

bool Session::drag(Vec2 target) {
    return !replaying() &&
           apply(ReplayInput{simulation.totalSteps(), ReplayInput::Kind::Drag, target});
}

bool Session::release() {
    return !replaying() && apply(ReplayInput{simulation.totalSteps(), ReplayInput::Kind::Release});
}

void Session::step() {
    pullHeldCircle();
    simulation.step();
    giveDueInputs();
}

void Session::playTo(long long step) {
    while (simulation.totalSteps() < step && !fault)
        this->step();
}

bool Session::apply(const ReplayInput &input) {
    switch (input.kind) {
    case ReplayInput::Kind::Spawn:
        if (!simulation.spawn(input.position))
            return false;
        break;
    case ReplayInput::Kind::Restart:
        simulation.restart();
        held.reset();
        break;
    case ReplayInput::Kind::Solver: {
        Scene scene = simulation.scene();
        scene.solver = input.solver;
        simulation.rebuild(scene);
        held.reset();
        break;
    }
    case ReplayInput::Kind::Scene:
        simulation.rebuild(input.scene);
        held.reset();
        break;
    case ReplayInput::Kind::Grab:
    case ReplayInput::Kind::Drag:
    case ReplayInput::Kind::Release:
        // A drag is recorded before the step that uses it, with the last target given.
        return applyHold(input);
    }
    record(input);
    return true;
}

bool Session::applyHold(const ReplayInput &input) {
    const EntityArray &bodies = simulation.bodies();
    switch (input.kind) {
    case ReplayInput::Kind::Grab:
        if (input.index < 0 || input.index >= bodies.size() ||
            bodies[input.index]->type() != BodyType::Circle)
            return false;
        held = Hold{input.index, input.position, true};
        record(input);
        return true;
    case ReplayInput::Kind::Drag:
        if (!held)
            return false;
        held->targetRecorded = held->targetRecorded && held->target.x == input.position.x &&
                               held->target.y == input.position.y;
        held->target = input.position;
        return true;
    default:
        if (!held)
            return false;
        held.reset();
        record(input);
        return true;
    }
}

void Session::record(const ReplayInput &input) {
    if (recorder)
        recorder->record(input);
}

void Session::pullHeldCircle() {
    if (!held)
        return;
    BaseEntity *circle = simulation.body(held->index);
    if (!isFiniteBody(*circle)) {
        held.reset();
        return;
    }
    if (!held->targetRecorded) {
        record(ReplayInput{simulation.totalSteps(), ReplayInput::Kind::Drag, held->target});
        held->targetRecorded = true;
    }
    circle->velocity = (held->target - circle->position) * pullShare;
}

void Session::giveDueInputs() {
    if (!player)
        return;
    while (const ReplayInput *input = player->nextDue(simulation.totalSteps())) {
        if (apply(*input))
            continue;
        if (input->kind == ReplayInput::Kind::Spawn) {
            ++refused;
            continue;
        }
        const std::string what = input->kind == ReplayInput::Kind::Grab
                                     ? "grab of body " + std::to_string(input->index) +
                                           ", which is not a circle at step " +
                                           std::to_string(input->step)
                                     : "nothing is held at step " + std::to_string(input->step);
        fault = std::to_string(input->line) + ": " + what;
        player.reset();
        return;
    }
}
