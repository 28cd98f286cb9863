#include "text/scenetext.h"

#include "text/statetext.h"
#include "text/wholenumber.h"

#include <cstdio>   // std::snprintf
#include <optional> // std::optional

namespace {

template <typename Row> std::vector<std::string> namesOf(const std::vector<Row> &table) {
    std::vector<std::string> names;
    for (const Row &row : table)
        names.push_back(row.name);
    return names;
}

} // namespace

std::string inProse(const std::vector<std::string> &words, const char *conjunction) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            text += i + 1 == words.size() ? std::string(" ") + conjunction + " " : ", ";
        text += words[i];
    }
    return text;
}

std::string asChoice(const std::vector<std::string> &words) {
    std::string text;
    for (const std::string &word : words)
        text += (text.empty() ? "" : "|") + word;
    return text;
}

std::string sceneNamesInProse() {
    return inProse(namesOf(sceneTable()), "or");
}

std::string sceneNamesAsChoice() {
    return asChoice(namesOf(sceneTable()));
}

std::string solverNamesInProse() {
    return inProse(namesOf(solverTable()), "or");
}

std::string solverNamesAsChoice() {
    return asChoice(namesOf(solverTable()));
}

std::string solverFields(World::Solver solver) {
    const int revision = stableRevision(solver);
    return std::string(solverName(solver)) + (revision > 1 ? " " + std::to_string(revision) : "");
}

std::string sceneFields(const Scene &scene) {
    return std::string(sceneKindInfo(scene.kind).name) + " " + std::to_string(scene.circles) + " " +
           solverFields(scene.solver);
}

bool SceneLineParser::readSceneFields(const Fields &fields, std::size_t first, bool solverAllowed,
                                      Scene &scene) {
    if (fields.size() < first + 2)
        return fail("expected the scene's NAME and COUNT");
    const SceneKindInfo *kind = sceneKindNamed(fields[first]);
    if (!kind)
        return fail("unknown scene " + quoted(fields[first]) + ": expected " + sceneNamesInProse());
    const std::optional<long long> circles = wholeNumber(fields[first + 1], 0, maxSceneCircles);
    if (!circles)
        return fail("expected a number of circles from 0 to " + std::to_string(maxSceneCircles) +
                    ", not " + quoted(fields[first + 1]));
    if (!kind->takesCount && *circles != kind->defaultCircles)
        return fail("the " + std::string(kind->name) + " scene has " +
                    std::to_string(kind->defaultCircles) + " circles, not " +
                    std::to_string(*circles));
    scene = Scene{kind->kind, static_cast<int>(*circles), World::Solver::Designed};
    if (!solverAllowed || fields.size() == first + 2)
        return expectFields(fields, first + 2, "");
    return readSolverFields(fields, first + 2, scene.solver);
}

std::string settingsFields(const SandboxSettings &settings) {
    std::string text;
    for (const float value : settingValues(settings))
        text += (text.empty() ? "" : " ") + toHexFloat(value);
    return text;
}

bool SceneLineParser::readSettingsFields(const Fields &fields, std::size_t first,
                                         SandboxSettings &settings) {
    if (!expectFields(fields, first + settingCount,
                      "expected the settings: GX GY RESTITUTION DROP_RADIUS DROP_MASS SLOW_MOTION"))
        return false;
    SettingValues values{};
    for (std::size_t k = 0; k < values.size(); ++k) {
        const std::string_view text = fields[first + k];
        const SettingRange &range = settingRanges[k];
        if (!readNumber(text, values[k]))
            return false;
        if (!(values[k] >= range.min && values[k] <= range.max)) {
            char limits[64];
            std::snprintf(limits, sizeof limits, "%g to %g", static_cast<double>(range.min),
                          static_cast<double>(range.max));
            return fail(std::string(range.name) + " " + quoted(text) + " is outside " + limits);
        }
    }
    settings = settingsFrom(values);
    return true;
}

bool SceneLineParser::readSolverFields(const Fields &fields, std::size_t first,
                                       World::Solver &solver) {
    const std::optional<World::Solver> named = solverNamed(fields[first]);
    if (!named)
        return fail("unknown solver " + quoted(fields[first]) + ": expected " +
                    solverNamesInProse());
    solver = *named == World::Solver::Stable ? World::Solver::StableRevision1 : *named;
    if (fields.size() == first + 1 || !revisionsAllowed || solver == World::Solver::Designed)
        return expectFields(fields, first + 1, "");
    const std::optional<long long> revision =
        wholeNumber(fields[first + 1], 1, newestStableRevision);
    if (!revision)
        return fail("expected a revision of the stable solver from 1 to " +
                    std::to_string(newestStableRevision) + ", not " + quoted(fields[first + 1]));
    solver = *stableSolverOfRevision(*revision);
    return expectFields(fields, first + 2, "");
}
