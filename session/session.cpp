#include "session/session.h"

#include "scenes/statetext.h"
#include "session/sessionrecorder.h"

#include <algorithm> // std::max, std::lower_bound, std::upper_bound
#include <utility>   // std::move

namespace {

bool before(const ReplayInput &input, long long step) {
    return input.step < step;
}

} // namespace

Session::Session(const Scene &scene, World::PairSearch search) : simulation(scene, search) {
    keepKeyframe();
}

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
    checkpoint();
    keepKeyframe();
    giveDueInputs();
}

void Session::playTo(long long step) {
    while (simulation.totalSteps() < step)
        this->step();
}

void Session::take(SessionSnapshot &snapshot) const {
    simulation.save(snapshot.sandbox);
    snapshot.replayCursor = player ? player->cursor() : 0;
}

void Session::restore(const SessionSnapshot &snapshot) {
    simulation.restore(snapshot.sandbox);
    if (player)
        player->seek(snapshot.replayCursor);
    keyframes.clear();
    taken.clear();
    keepKeyframe();
}

bool Session::goBackTo(long long step) {
    const long long now = simulation.totalSteps();
    const SessionSnapshot *keyframe = keyframes.atOrBefore(std::max(step, earliestStep()));
    if (!keyframe || step >= now)
        return false;
    const long long target = std::max(step, keyframe->sandbox.totalSteps);
    simulation.restore(keyframe->sandbox);
    keyframes.forgetAfter(target);
    auto next = std::lower_bound(taken.cbegin(), taken.cend(), simulation.totalSteps(), before);
    next = giveAgain(next);
    while (simulation.totalSteps() < target) {
        simulation.step();
        next = giveAgain(next);
    }
    taken.erase(next, taken.cend());
    if (player)
        player->rewindTo(target);
    if (recorder)
        recorder->recordBack(ReplayBack{now, target});
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
}

bool Session::apply(const ReplayInput &input) {
    const bool took = give(input);
    if (took && historyKept)
        taken.push_back(input);
    if (took && recorder)
        recorder->record(input);
    return took;
}

bool Session::give(const ReplayInput &input) {
    switch (input.kind) {
    case ReplayInput::Kind::Restart:
        simulation.restart();
        return true;
    case ReplayInput::Kind::Solver: {
        Scene scene = simulation.scene();
        scene.solver = input.solver;
        simulation.rebuild(scene);
        return true;
    }
    case ReplayInput::Kind::Spawn:
        break;
    }
    return simulation.spawn(input.position);
}

std::vector<ReplayInput>::const_iterator
Session::giveAgain(std::vector<ReplayInput>::const_iterator from) {
    for (; from != taken.cend() && from->step == simulation.totalSteps(); ++from)
        give(*from);
    return from;
}

void Session::giveDueInputs() {
    if (!player)
        return;
    while (const ReplayInput *input = player->nextDue(simulation.totalSteps())) {
        if (!apply(*input))
            ++refused;
    }
}

void Session::checkpoint() {
    const long long step = simulation.totalSteps();
    const bool recording = recorder && step % checkpointInterval == 0;
    const ReplayCheckpoint *expected = player ? player->checkpointAt(step) : nullptr;
    if (!recording && !expected)
        return;
    const std::uint64_t hash = fnv1a(stateText(simulation.bodies()));
    if (recording)
        recorder->recordCheckpoint(ReplayCheckpoint{step, hash});
    if (expected && expected->hash != hash && !firstDivergence)
        firstDivergence = Divergence{step, expected->hash, hash};
}

void Session::keepKeyframe() {
    if (!historyKept || !(keyframes.empty() || keyframes.due(simulation.totalSteps())))
        return;
    take(keyframes.add());
    keyframes.keep();
}
