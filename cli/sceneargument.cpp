#include "cli/sceneargument.h"

#include "text/scenetext.h"
#include "text/wholenumber.h"

std::optional<Scene> sceneFromArguments(const SceneArguments &arguments, std::string &error) {
    Scene scene;
    if (arguments.scene) {
        const SceneKindInfo *kind = sceneKindNamed(*arguments.scene);
        if (!kind) {
            error = "--scene: expects " + sceneNamesInProse() + ", not \"" + *arguments.scene + '"';
            return std::nullopt;
        }
        scene = Scene{kind->kind, kind->defaultCircles};
    }
    if (arguments.bodies) {
        const std::optional<long long> count = wholeNumber(*arguments.bodies, 0, maxSceneCircles);
        if (!count) {
            error = "--bodies: expects a whole number from 0 to " +
                    std::to_string(maxSceneCircles) + ", not \"" + *arguments.bodies + '"';
            return std::nullopt;
        }
        const SceneKindInfo &kind = sceneKindInfo(scene.kind);
        if (!kind.takesCount && *count != kind.defaultCircles) {
            if (arguments.scene) {
                error = std::string("--bodies: the ") + kind.name + " scene has exactly " +
                        std::to_string(kind.defaultCircles) +
                        " circles; use --scene column or grid for " + std::to_string(*count);
                return std::nullopt;
            }
            // --bodies alone: the demo's layout, which the column continues.
            scene.kind = SceneKind::Column;
        }
        scene.circles = static_cast<int>(*count);
    }
    scene.solver = sceneKindInfo(scene.kind).defaultSolver;
    if (arguments.solver) {
        const std::optional<World::Solver> solver = solverNamed(*arguments.solver);
        if (!solver) {
            error =
                "--solver: expects " + solverNamesInProse() + ", not \"" + *arguments.solver + '"';
            return std::nullopt;
        }
        scene.solver = *solver;
    }
    return scene;
}
