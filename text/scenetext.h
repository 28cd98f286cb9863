#pragma once

#include "physics/world.h"
#include "scenes/sandboxsettings.h"
#include "scenes/scene.h"
#include "text/linetext.h"

#include <cstddef>     // std::size_t
#include <string>      // std::string
#include <string_view> // std::string_view
#include <vector>      // std::vector

// The scene and solver tables as the command lines, the files and their messages spell them.

// The words joined for a sentence, with conjunction "or" or "and" ("a", "a or b", "a, b or c"),
// or for a synopsis ("a|b|c").
std::string inProse(const std::vector<std::string> &words, const char *conjunction);
std::string asChoice(const std::vector<std::string> &words);
// The names in table order: "demo, column or grid", "demo|column|grid".
std::string sceneNamesInProse();
std::string sceneNamesAsChoice();
// "designed or stable", "designed|stable".
std::string solverNamesInProse();
std::string solverNamesAsChoice();

// A solver as the files write it: "designed", "stable" for the stable solver's first revision and
// "stable REVISION" for the later ones ("stable 2").
std::string solverFields(World::Solver solver);
// A scene as the files write it, "NAME COUNT SOLVER [REVISION]": "grid 1000 stable 2".
std::string sceneFields(const Scene &scene);

// The settings as the files write them, "GX GY RESTITUTION DROP_RADIUS DROP_MASS SLOW_MOTION",
// each a hex float.
std::string settingsFields(const SandboxSettings &settings);

// What the readers of the files that name a scene share.
class SceneLineParser : public LineParser {
protected:
    // NAME COUNT [SOLVER [REVISION]] from fields[first] to the end of the line. Without
    // solverAllowed, or without the field, the solver is the designed one.
    bool readSceneFields(const Fields &fields, std::size_t first, bool solverAllowed, Scene &scene);
    // SOLVER [REVISION] from fields[first] to the end of the line. "stable" alone is the stable
    // solver's first revision, which every file made before there were others means.
    bool readSolverFields(const Fields &fields, std::size_t first, World::Solver &solver);

    // Whether the file's version may name a revision of the stable solver.
    bool revisionsAllowed = false;
    // The settings as settingsFields() writes them, from fields[first] to the end of the line,
    // each within its range.
    bool readSettingsFields(const Fields &fields, std::size_t first, SandboxSettings &settings);
};
