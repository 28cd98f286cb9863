#include "session/session.h"

#include "session/sessionrecorder.h"

#include <utility> // std::move

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
    return !replaying() &&
           apply(ReplayInput{simulation.totalSteps(), ReplayInput::Kind::Restart, Vec2()});
}

bool Session::switchSolver(World::Solver solver) {
    return !replaying() &&
           apply(ReplayInput{simulation.totalSteps(), ReplayInput::Kind::Solver, Vec2(), solver});
}

void Session::step() {
    simulation.step();
    giveDueInputs();
}

void Session::playTo(long long step) {
    while (simulation.totalSteps() < step)
        this->step();
}

bool Session::apply(const ReplayInput &input) {
    bool took = true;
    switch (input.kind) {
    case ReplayInput::Kind::Restart:
        simulation.restart();
        break;
    case ReplayInput::Kind::Solver: {
        Scene scene = simulation.scene();
        scene.solver = input.solver;
        simulation.rebuild(scene);
        break;
    }
    case ReplayInput::Kind::Spawn:
        took = simulation.spawn(input.position);
        break;
    }
    if (took && recorder)
        recorder->record(input);
    return took;
}

void Session::giveDueInputs() {
    if (!player)
        return;
    while (const ReplayInput *input = player->nextDue(simulation.totalSteps())) {
        if (!apply(*input))
            ++refused;
    }
}
