#include "ui/frontend.h"

#include "core/entityarray.h"
#include "physics/finitebodies.h"
#include "physics/world.h"
#include "render/sceneframe.h"
#include "ui/settingkeys.h"

#include <algorithm> // std::min, std::max
#include <cmath>     // std::pow
#include <utility>   // std::move

namespace {

// Zoom of the + and - keys: four presses double or halve the scale.
const double keyZoom = std::pow(2.0, 0.25);
// Share of the view the arrow keys move it by.
constexpr double keyPan = 0.1;
// Steps of Page Up and Page Down.
constexpr int stepsPerPage = 60;

} // namespace

FrontEnd::FrontEnd(const FrontEndOptions &options, std::function<long long()> now)
    : now(std::move(now)), solverChosen(options.solverChosen), pacer(options.rate),
      pacing(options.rate > 0), overlayOn(options.overlay), isPaused(options.paused) {
    if (options.layers) {
        for (const DebugLayers::Layer layer :
             {DebugLayers::Contacts, DebugLayers::Bounds, DebugLayers::Velocities})
            debugLayers.toggle(layer);
    }
}

Session &FrontEnd::begin(const Scene &scene, WindowSize sceneSize) {
    // Scene units are the window's logical pixels at start-up, origin bottom-left, y upward.
    camera.reset(sceneSize);
    simulation.emplace(scene);
    pointing.emplace(*simulation, camera);
    return *simulation;
}

void FrontEnd::frame(int pixelWidth, int pixelHeight) {
    beginSceneFrame(pixelWidth, pixelHeight, camera.view());
    for (int n = stepsForThisFrame(); n > 0; --n)
        timedStep();
    const Sandbox &sandbox = simulation->sandbox();
    batch.draw(sandbox.bodies(), camera.view());
    const World &physics = sandbox.physics();
    debugLayers.draw(sandbox.bodies(), physics.contacts,
                     [&physics](int i) { return physics.isAsleep(i); });
    frameStatistics.frameShown(now());
}

// One step per frame by design; a fixed rate when asked for; none while paused. The run pauses
// at the step it was asked to stop at, once.
int FrontEnd::stepsForThisFrame() {
    if (isPaused)
        return 0;
    int n = pacing ? pacer.stepsForFrame(now()) : 1;
    // In slow motion the steps due add up to whole steps over several frames.
    const float slowMotion = simulation->sandbox().settings().slowMotion;
    if (slowMotion < 1) {
        slowSteps += static_cast<double>(n) * slowMotion;
        n = static_cast<int>(slowSteps);
        slowSteps -= n;
    }
    const long long step = simulation->sandbox().totalSteps();
    if (stopAtStep > 0 && stopAtStep - step <= n) {
        n = static_cast<int>(stopAtStep - step);
        stopAtStep = 0;
        isPaused = true;
    }
    return n;
}

void FrontEnd::timedStep() {
    const long long start = now();
    simulation->step();
    const long long took = now() - start;
    lastStepNs = took;
    frameStatistics.stepTaken(took);
    if (overlayOn)
        steps.add(simulation->sandbox().totalSteps(), took / 1e3,
                  kineticEnergy(simulation->sandbox().bodies()));
    if (afterStep)
        afterStep();
}

void FrontEnd::setPaused(bool paused) {
    isPaused = paused;
    if (!paused)
        pacer.restart(now());
}

OverlayFigures FrontEnd::figures() const {
    const Sandbox &sandbox = simulation->sandbox();
    OverlayFigures figures;
    figures.scene = sandbox.scene().label();
    figures.solver = solverName(sandbox.scene().solver);
    figures.step = sandbox.sceneStep();
    figures.bodies = sandbox.bodies().size();
    figures.awake =
        sandbox.physics().sleeps() ? sandbox.physics().awakeCount(sandbox.bodies()) : -1;
    figures.full = sandbox.full();
    figures.contacts = static_cast<int>(sandbox.physics().contacts.size());
    figures.meanStepMicroseconds = frameStatistics.meanStepMicroseconds();
    figures.framesPerSecond = frameStatistics.framesPerSecond();
    figures.paused = isPaused;
    figures.nonFinite = countNonFiniteBodies(sandbox.bodies());
    figures.settings = sandbox.settings();
    return figures;
}

KeyCommand FrontEnd::key(int keyCode, bool control) {
    if (!simulation)
        return commandForKey(keyCode, control);
    // A scene whose count is fixed takes its own; the others the count shown now.
    if (const std::optional<SceneKind> kind = sceneForKey(keyCode)) {
        if (!refusedDuringReplay())
            switchScene(*kind, simulation->sandbox().scene().circles);
        return KeyCommand::None;
    }
    const KeyCommand command = commandForKey(keyCode, control);
    run(command);
    return command;
}

bool FrontEnd::refusedDuringReplay() {
    if (!simulation->replaying())
        return false;
    if (onRefused)
        onRefused();
    return true;
}

void FrontEnd::run(KeyCommand command) {
    switch (command) {
    case KeyCommand::TogglePause:
        setPaused(!isPaused);
        break;
    case KeyCommand::StepOnce:
        if (isPaused)
            timedStep();
        break;
    case KeyCommand::StepBack:
    case KeyCommand::BackSixty:
        // Going back is exact: the state at that step, as it was first reached.
        if (isPaused)
            simulation->stepBack(command == KeyCommand::StepBack ? 1 : stepsPerPage);
        break;
    case KeyCommand::ForwardSixty:
        for (int s = 0; isPaused && s < stepsPerPage; ++s)
            timedStep();
        break;
    case KeyCommand::Restart:
    case KeyCommand::SwitchSolver:
    case KeyCommand::RemoveCircle:
    case KeyCommand::ClearDropped:
    case KeyCommand::HalveCircles:
    case KeyCommand::DoubleCircles:
        if (!refusedDuringReplay())
            changeSession(command);
        break;
    case KeyCommand::TurnGravity:
    case KeyCommand::WeakerGravity:
    case KeyCommand::StrongerGravity:
    case KeyCommand::NextRestitution:
    case KeyCommand::NextDropSize:
    case KeyCommand::SlowerMotion:
        if (!refusedDuringReplay()) {
            if (const std::optional<SandboxSettings> changed =
                    settingsForKey(command, simulation->sandbox().settings()))
                simulation->changeSettings(*changed);
        }
        break;
    default:
        changeView(command);
        break;
    }
}

void FrontEnd::changeSession(KeyCommand command) {
    const Scene &scene = simulation->sandbox().scene();
    switch (command) {
    case KeyCommand::Restart:
        if (restartState)
            restore(*restartState);
        else
            simulation->restart();
        break;
    case KeyCommand::SwitchSolver:
        // The bodies stay: both solvers can be compared on the same pile.
        if (simulation->switchSolverInPlace(scene.solver == World::Solver::Designed
                                                ? World::Solver::Stable
                                                : World::Solver::Designed))
            solverChosen = true;
        break;
    case KeyCommand::RemoveCircle: {
        const int held = simulation->heldCircle();
        simulation->remove(held >= 0 ? held : pointing->circlePointedAt());
        break;
    }
    case KeyCommand::ClearDropped:
        simulation->clearDropped();
        break;
    case KeyCommand::HalveCircles:
    case KeyCommand::DoubleCircles:
        switchCircles(std::max(command == KeyCommand::DoubleCircles
                                   ? std::min(scene.circles * 2, maxSceneCircles)
                                   : scene.circles / 2,
                               1));
        break;
    default:
        break;
    }
}

void FrontEnd::changeView(KeyCommand command) {
    switch (command) {
    case KeyCommand::ToggleOverlay:
        overlayOn = !overlayOn;
        break;
    case KeyCommand::ToggleHelp:
        helpOn = !helpOn;
        break;
    case KeyCommand::ToggleContacts:
        debugLayers.toggle(DebugLayers::Contacts);
        break;
    case KeyCommand::ToggleBounds:
        debugLayers.toggle(DebugLayers::Bounds);
        break;
    case KeyCommand::ToggleVelocities:
        debugLayers.toggle(DebugLayers::Velocities);
        break;
    case KeyCommand::ToggleSleeping:
        debugLayers.toggle(DebugLayers::Sleeping);
        break;
    case KeyCommand::PanLeft:
    case KeyCommand::PanRight:
        camera.pan(command == KeyCommand::PanLeft ? -keyPan : keyPan, 0);
        break;
    case KeyCommand::PanUp:
    case KeyCommand::PanDown:
        camera.pan(0, command == KeyCommand::PanDown ? -keyPan : keyPan);
        break;
    case KeyCommand::ZoomIn:
    case KeyCommand::ZoomOut:
        camera.zoomAboutCentre(command == KeyCommand::ZoomIn ? keyZoom : 1 / keyZoom);
        break;
    case KeyCommand::ResetView:
        camera.reset();
        break;
    case KeyCommand::FrameAll:
        camera.frame(simulation->sandbox().bodies());
        break;
    default:
        break;
    }
}

bool FrontEnd::choose(const Scene &scene, bool chosen) {
    if (!simulation->switchScene(scene))
        return false;
    restartState.reset();
    solverChosen = solverChosen || chosen;
    return true;
}

void FrontEnd::switchScene(SceneKind kind, int circles) {
    const SceneKindInfo &info = sceneKindInfo(kind);
    Scene scene{kind, info.takesCount ? circles : info.defaultCircles, info.defaultSolver};
    if (solverChosen)
        scene.solver = simulation->sandbox().scene().solver;
    if (simulation->switchScene(scene))
        restartState.reset();
}

void FrontEnd::switchCircles(int circles) {
    const SceneKind kind = simulation->sandbox().scene().kind;
    const SceneKindInfo &info = sceneKindInfo(kind);
    switchScene(info.takesCount || circles == info.defaultCircles ? kind : SceneKind::Column,
                circles);
}

void FrontEnd::restore(const SessionSnapshot &state) {
    simulation->restore(state);
    restartState = state;
    steps.clear();
}
