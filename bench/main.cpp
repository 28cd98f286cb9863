// rigid2d-bench: the cost of one world step on named scenes, for rigid2d with either solver and
// with and without its broad phase, and for Box2D and Chipmunk on the same scenes where they are
// installed; for rigid2d also how well the pile holds at the end of each window. Beside the step,
// what a session's snapshot costs to take and to put back, and going back through its history.

#include "bench/benchscenes.h"
#include "bench/rigid2dsimulation.h"
#include "bench/runcontext.h"
#include "bench/steppedsimulation.h"
#include "bench/timedwindow.h"
#include "session/session.h"

#ifdef RIGID2D_BENCH_HAVE_BOX2D
#include "bench/box2dsimulation.h"
#endif
#ifdef RIGID2D_BENCH_HAVE_CHIPMUNK
#include "bench/chipmunksimulation.h"
#endif

#include <benchmark/benchmark.h>

#include <algorithm>  // std::min_element, std::min
#include <chrono>     // std::chrono::steady_clock
#include <cstdio>     // std::snprintf
#include <functional> // std::function
#include <memory>     // std::unique_ptr, std::make_shared
#include <string>     // std::string, std::to_string
#include <utility>    // std::pair
#include <vector>     // std::vector

namespace {

using SimulationFactory = std::function<std::unique_ptr<SteppedSimulation>(const BenchScene &)>;

// Testing every pair costs n (n - 1) / 2 table calls per step; past this many over a whole
// window, one run would take minutes.
constexpr double allPairsBudget = 10e9;
// The peers take milliseconds per step at 10 000 circles already: at 100 000 one window would
// take many minutes.
constexpr int maxPeerCircles = 10000;
// rigid2d's own windows take a second at most: three runs of every scene.
constexpr int rigid2dRepetitions = 3;

double minimum(const std::vector<double> &values) {
    return *std::min_element(values.begin(), values.end());
}

void registerRun(const BenchScene &scene, const std::string &engine, SimulationFactory make,
                 int repetitions) {
    const std::string name = scene.name() + "/" + engine;
    // Shared by the repetitions of this benchmark.
    auto fastestSteps = std::make_shared<StepTimes>();
    benchmark::RegisterBenchmark(
        name.c_str(),
        [scene, make, fastestSteps](benchmark::State &state) {
            // Built before the timing starts.
            const std::unique_ptr<SteppedSimulation> simulation = make(scene);
            timeSteps(state, *simulation, scene.timedSteps, scene.bodyCount(), *fastestSteps);
        })
        ->Iterations(1)
        ->Repetitions(repetitions)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics("min", minimum)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

void registerSkipped(const std::string &name, const std::string &reason) {
    benchmark::RegisterBenchmark(name.c_str(), [reason](benchmark::State &state) {
        state.SkipWithError(reason.c_str());
    })->Iterations(1);
}

void registerRigid2d(const BenchScene &scene) {
    for (const World::Solver solver : {World::Solver::Designed, World::Solver::Stable}) {
        registerRun(
            scene, solver == World::Solver::Designed ? "rigid2d" : "rigid2d-stable",
            [solver](const BenchScene &s) {
                return makeRigid2dSimulation(s, World::PairSearch::BroadPhase, solver);
            },
            rigid2dRepetitions);
    }

    const double n = scene.bodyCount();
    const double pairTests = n * (n - 1) / 2;
    if (pairTests * scene.timedSteps > allPairsBudget) {
        char reason[128];
        std::snprintf(reason, sizeof reason,
                      "all-pairs at %d bodies: ~%.0f M pair tests per step, skipped",
                      scene.bodyCount(), pairTests / 1e6);
        registerSkipped(scene.name() + "/rigid2d-allpairs", reason);
        return;
    }
    registerRun(
        scene, "rigid2d-allpairs",
        [](const BenchScene &s) {
            return makeRigid2dSimulation(s, World::PairSearch::AllPairs, World::Solver::Designed);
        },
        scene.repetitions);
}

// A settling pile under the stable solver alone, the solver its scene has.
void registerSettling(const BenchScene &scene) {
    registerRun(
        scene, "rigid2d-stable",
        [](const BenchScene &s) {
            return makeRigid2dSimulation(s, World::PairSearch::BroadPhase, s.scene.solver);
        },
        scene.repetitions);
}

#if defined(RIGID2D_BENCH_HAVE_BOX2D) || defined(RIGID2D_BENCH_HAVE_CHIPMUNK)
// A peer builds its scene from rigid2d's bodies, which are freed once it has copied them.
SimulationFactory peerFactory(std::unique_ptr<SteppedSimulation> (*make)(const EntityArray &)) {
    return [make](const BenchScene &scene) {
        SceneBodies layout(scene);
        return make(layout.entities());
    };
}
#endif

// Box2D and Chipmunk on the scene, where they are installed and the scene is small enough.
void registerPeers(const BenchScene &scene) {
    std::vector<std::pair<std::string, SimulationFactory>> peers;
#ifdef RIGID2D_BENCH_HAVE_BOX2D
    peers.emplace_back("box2d", peerFactory(makeBox2dSimulation));
#endif
#ifdef RIGID2D_BENCH_HAVE_CHIPMUNK
    peers.emplace_back("chipmunk", peerFactory(makeChipmunkSimulation));
#endif
    const bool boxes = scene.scene.kind == SceneKind::Pyramid ||
                       scene.scene.kind == SceneKind::Stack || scene.scene.kind == SceneKind::Mix;
    for (const auto &[engine, make] : peers) {
        if (boxes)
            registerSkipped(scene.name() + "/" + engine,
                            "peers here take circles and walls only: the scenes with boxes run "
                            "beside Box2D 3.1 outside the repository");
        else if (scene.scene.circles > maxPeerCircles)
            registerSkipped(scene.name() + "/" + engine,
                            "peers beyond " + std::to_string(maxPeerCircles) +
                                " circles: minutes per window, skipped");
        else
            registerRun(scene, engine, make, scene.repetitions);
    }
}

using Clock = std::chrono::steady_clock;

double microsecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// The least time of timed over a few runs, each after an untimed prepare, in µs.
template <typename Prepare, typename Timed>
double leastMicroseconds(int runs, Prepare prepare, Timed timed) {
    double least = 0;
    for (int run = 0; run < runs; ++run) {
        prepare();
        const Clock::time_point start = Clock::now();
        timed();
        const double time = microsecondsSince(start);
        least = run == 0 ? time : std::min(least, time);
    }
    return least;
}

// A stable grid of circles after 400 steps, its pile settling and its warm start full: the least
// time of a step, of taking a snapshot and of restoring one, and the snapshot's bytes per body.
void registerSnapshot(int circles) {
    const Scene scene{SceneKind::Grid, circles, World::Solver::Stable};
    benchmark::RegisterBenchmark(
        ("snapshot/" + scene.label()).c_str(),
        [scene](benchmark::State &state) {
            Session session(scene);
            session.keepHistory(false);
            session.playTo(400);
            SessionSnapshot snapshot;
            session.take(snapshot);
            for (auto _ : state) {
                const int runs = 20;
                const auto restore = [&] { session.restore(snapshot); };
                const auto nothing = [] {};
                state.counters["us_step"] =
                    leastMicroseconds(runs, restore, [&] { session.step(); });
                state.counters["us_take"] =
                    leastMicroseconds(runs, nothing, [&] { session.take(snapshot); });
                // After a step, so each restore has a state to undo.
                state.counters["us_restore"] = leastMicroseconds(
                    runs, [&] { session.step(); }, restore);
                state.counters["bytes_per_body"] = static_cast<double>(snapshot.sandbox.bytes()) /
                                                   session.sandbox().bodies().size();
                state.counters["warm_pairs"] =
                    static_cast<double>(snapshot.sandbox.warmStart.size());
            }
        })
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
}

// Going back 1 and 60 steps after `steps` steps of a stable grid, the session keeping its history
// as the window does; and what the history holds then.
void registerStepBack(int circles, long long steps) {
    const Scene scene{SceneKind::Grid, circles, World::Solver::Stable};
    benchmark::RegisterBenchmark(
        ("step-back/" + scene.label() + "/after " + std::to_string(steps)).c_str(),
        [scene, steps](benchmark::State &state) {
            Session session(scene);
            session.playTo(steps);
            for (auto _ : state) {
                for (const long long back : {1, 60}) {
                    state.counters["us_back" + std::to_string(back)] = leastMicroseconds(
                        3, [&] { session.playTo(steps); }, [&] { session.stepBack(back); });
                }
                state.counters["keyframes"] = static_cast<double>(session.history().size());
                state.counters["history_MB"] = session.history().bytes() / 1048576.0;
                state.counters["earliest_step"] = static_cast<double>(session.earliestStep());
            }
        })
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    addRunContext();
    for (const BenchScene &scene : benchScenes()) {
        registerRigid2d(scene);
        registerPeers(scene);
    }
    for (const BenchScene &scene : settlingScenes()) {
        registerSettling(scene);
        registerPeers(scene);
    }
    for (const int circles : {100, 10000, 100000})
        registerSnapshot(circles);
    registerStepBack(10000, 10000);
    registerStepBack(100000, 10000);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
