#include "state/statefile.h"

#include "physics/shapes.h"
#include "text/linetext.h"
#include "text/scenetext.h"
#include "text/statetext.h"
#include "text/wholefile.h"
#include "text/wholenumber.h"

#include <algorithm>    // std::max
#include <cctype>       // std::toupper
#include <cmath>        // std::isfinite
#include <fstream>      // std::ifstream
#include <istream>      // std::istream
#include <limits>       // std::numeric_limits
#include <memory>       // std::unique_ptr
#include <system_error> // std::errc
#include <utility>      // std::move

const char stateHeaderLine[] = "rigid2d-state 1";

namespace {

const char headerWord[] = "rigid2d-state";
constexpr long long maxWholeSize = std::numeric_limits<int>::max();
const std::string settingsLayout = "settings GX GY RESTITUTION DROP_RADIUS DROP_MASS SLOW_MOTION";

// What each version of the file holds beyond the one before. Version 1: circles and rectangles
// that never turn, one warm start impulse per pair. Version 2: the settings line. Version 3: every
// kind of body, with friction, orientation and spin on each body line and a feature and a tangent
// impulse on each warm start line. Version 4: the revision of the stable solver after its name.
// Version 5: the bodies' sleep, after the warm start. A state that an older version holds whole is
// written as that version, so the files of the scenes that have neither boxes, friction nor turning
// bodies keep their bytes, and so do those of the stable solver's first revisions.
struct StateVersion {
    int number;
    // The kinds 0 to kinds - 1 may appear.
    int kinds;
    bool turning;
    // The scene line may name a revision of the stable solver.
    bool revisions;
    // The sleep lines follow the warm start.
    bool sleep;
};

constexpr StateVersion stateVersions[] = {{1, 2, false, false, false},
                                          {2, 2, false, false, false},
                                          {3, shapeKindCount, true, false, false},
                                          {4, shapeKindCount, true, true, false},
                                          {5, shapeKindCount, true, true, true}};
static_assert(sizeof stateVersions / sizeof stateVersions[0] == stateVersion);

bool fitsWithoutTurning(const SandboxState &state) {
    for (const TraitsRun &run : state.runs) {
        if (run.traits.shape.kind >= stateVersions[0].kinds || run.traits.friction != 0)
            return false;
    }
    for (const BodyMotion &motion : state.motions) {
        if (hasTurned(motion.rotation, motion.angularVelocity))
            return false;
    }
    for (const PairImpulse &pair : state.warmStart) {
        if (pair.featureId != 0 || pair.tangentImpulse != 0)
            return false;
    }
    return true;
}

// An orientation as every step keeps it: cosine and sine of an angle, their squares adding up to 1
// within the rounding of the steps.
bool isOrientation(Rotation q) {
    const float squared = q.c * q.c + q.s * q.s;
    return squared > 0.999f && squared < 1.001f;
}

// Whether the body's orientation and spin are what a file may hold: finite, and an orientation.
// A body given a non-finite spin, or whose spin overflowed, has left the simulation; its state
// cannot be written in a form the reader would take back.
bool mayBeSaved(const BodyMotion &motion) {
    return std::isfinite(motion.rotation.c) && std::isfinite(motion.rotation.s) &&
           std::isfinite(motion.angularVelocity) && isOrientation(motion.rotation);
}

// The oldest version that holds the state whole.
const StateVersion &oldestHolding(const SandboxState &state) {
    if (World::sleepsWith(state.scene.solver))
        return stateVersions[4];
    if (stableRevision(state.scene.solver) > 1)
        return stateVersions[3];
    if (!fitsWithoutTurning(state))
        return stateVersions[2];
    return sameSettings(state.settings, SandboxSettings()) ? stateVersions[0] : stateVersions[1];
}

// The rotational inertia a body of this shape and mass gets (see BaseEntity::setMass), and its
// inverse, 0 for a body that cannot move.
void deriveInertia(BodyTraits &traits) {
    const std::unique_ptr<BaseEntity> body(makeBody(traits.shape));
    traits.inertia = body ? body->inertiaOfMass(traits.mass) : 0.0f;
    traits.inverseInertia =
        traits.inverseMass == 0 || traits.inertia == 0 ? 0.0f : 1 / traits.inertia;
}

void appendBodyLine(std::string &text, int index, const BodyTraits &traits,
                    const BodyMotion &motion, const StateVersion &version) {
    text += std::to_string(index);
    text += ' ';
    text += std::to_string(traits.shape.kind);
    for (const float value :
         {motion.position.x, motion.position.y, motion.velocity.x, motion.velocity.y,
          traits.force.x, traits.force.y, traits.mass, traits.inverseMass, traits.gravityScale}) {
        text += ' ';
        text += toHexFloat(value);
    }
    text += traits.isStatic ? " 1" : " 0";
    if (version.turning) {
        for (const float value :
             {traits.friction, motion.rotation.c, motion.rotation.s, motion.angularVelocity}) {
            text += ' ';
            text += toHexFloat(value);
        }
    }
    const int kind = traits.shape.kind;
    for (int k = 0; isShapeKind(kind) && k < shapeKinds[kind].dimensionCount; ++k) {
        const double value = traits.shape.dimensions[k];
        text += ' ';
        text += shapeKinds[kind].dimensions[k].whole ? std::to_string(static_cast<int>(value))
                                                     : toHexFloat(static_cast<float>(value));
    }
    text += '\n';
}

// The kind a body line's second field names, or -1.
int kindCoded(std::string_view field, const StateVersion &version) {
    for (int kind = 0; kind < version.kinds; ++kind) {
        if (field == std::to_string(kind))
            return kind;
    }
    return -1;
}

// "0 (circle) or 1 (rectangle)".
std::string kindsInProse(const StateVersion &version) {
    std::string text;
    for (int kind = 0; kind < version.kinds; ++kind) {
        if (kind > 0)
            text += kind + 1 == version.kinds ? " or " : ", ";
        text += std::to_string(kind) + " (" + shapeKinds[kind].name + ")";
    }
    return text;
}

// A body line of that kind as the messages show it, the dimensions in capitals.
std::string bodyLayout(int kind, const StateVersion &version) {
    std::string text = "\"INDEX " + std::to_string(kind) +
                       " PX PY VX VY FX FY MASS INVERSE_MASS GRAVITY_SCALE STATIC";
    if (version.turning)
        text += " FRICTION COS SIN SPIN";
    for (int k = 0; k < shapeKinds[kind].dimensionCount; ++k) {
        text += ' ';
        for (const char *c = shapeKinds[kind].dimensions[k].name; *c; ++c)
            text += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    }
    return text + '"';
}

// Takes a state one line at a time, each part in its turn, and stops at the first fault.
class StateParser : public SceneLineParser {
public:
    bool take(std::string_view line);
    bool finish();

    SessionSnapshot snapshot;

private:
    enum class Part {
        Header,
        Scene,
        Steps,
        Settings,
        Bodies,
        Body,
        WarmStart,
        Impulse,
        Sleep,
        Rest,
        Hash,
        Done
    };

    bool readHeader(const Fields &fields);
    bool readScene(const Fields &fields);
    bool readSteps(const Fields &fields);
    bool readSettings(const Fields &fields);
    bool readCount(const Fields &fields, const char *word, long long max, long long &count);
    bool readBody(const Fields &fields);
    bool readTurning(const Fields &fields, BodyTraits &traits, BodyMotion &motion);
    bool readImpulse(const Fields &fields);
    bool readRest(const Fields &fields);
    // After the warm start: the sleep lines or the hash.
    Part afterWarmStart() const { return layout->sleep ? Part::Sleep : Part::Hash; }
    bool readHash(const Fields &fields);
    bool readWhole(std::string_view text, long long max, const char *what, long long &value);
    // What the part expected next is, for the message of a file that ends there.
    std::string expected() const;

    Part part = Part::Header;
    int version = 1;
    // What the version's lines hold.
    const StateVersion *layout = &stateVersions[0];
    long long bodies = 0;
    long long impulses = 0;
    long long rests = 0;
};

bool StateParser::take(std::string_view line) {
    const std::optional<Fields> read = nextFields(line);
    if (!read)
        return false;
    const Fields &fields = *read;
    switch (part) {
    case Part::Header:
        return readHeader(fields);
    case Part::Scene:
        return readScene(fields);
    case Part::Steps:
        return readSteps(fields);
    case Part::Settings:
        return readSettings(fields);
    case Part::Bodies:
        return readCount(fields, "bodies", snapshot.sandbox.scene.capacity(), bodies) &&
               (part = bodies > 0 ? Part::Body : Part::WarmStart, true);
    case Part::Body:
        return readBody(fields);
    case Part::WarmStart:
        // Every point of every pair of bodies once at most.
        return readCount(fields, "warmstart",
                         bodies * (bodies - 1) / 2 * (layout->turning ? maxManifoldPoints : 1),
                         impulses) &&
               (part = impulses > 0 ? Part::Impulse : afterWarmStart(), true);
    case Part::Impulse:
        return readImpulse(fields);
    case Part::Sleep:
        return readCount(fields, "sleep", bodies, rests) &&
               (part = rests > 0 ? Part::Rest : Part::Hash, true);
    case Part::Rest:
        return readRest(fields);
    case Part::Hash:
        return readHash(fields);
    case Part::Done:
        break;
    }
    return fail("nothing may follow the hash line");
}

std::string StateParser::expected() const {
    switch (part) {
    case Part::Header:
        return std::string("empty file: expected \"") + stateHeaderLine + "\"";
    case Part::Scene:
        return "the file ends before its scene line \"scene NAME COUNT SOLVER\"";
    case Part::Steps:
        return "the file ends before its steps line \"steps SCENE_STEP TOTAL_STEPS\"";
    case Part::Settings:
        return "the file ends before its settings line \"" + settingsLayout + "\"";
    case Part::Bodies:
        return "the file ends before its bodies line \"bodies N\"";
    case Part::Body:
        return "the file ends after " + std::to_string(snapshot.sandbox.motions.size()) + " of " +
               std::to_string(bodies) + " bodies";
    case Part::WarmStart:
        return "the file ends before its warm start line \"warmstart K\"";
    case Part::Impulse:
        return "the file ends after " + std::to_string(snapshot.sandbox.warmStart.size()) + " of " +
               std::to_string(impulses) + " warm start impulses";
    case Part::Sleep:
        return "the file ends before its sleep line \"sleep K\"";
    case Part::Rest:
        return "the file ends after " + std::to_string(snapshot.sandbox.sleep.size()) + " of " +
               std::to_string(rests) + " sleep records";
    case Part::Hash:
        return "the file ends before its hash line \"hash HASH\"";
    case Part::Done:
        break;
    }
    return std::string();
}

// A file does not say which circles were dropped: those beyond the scene's own count are.
bool StateParser::finish() {
    if (part != Part::Done)
        return fail(expected(), lineNumber + 1);
    SandboxState &state = snapshot.sandbox;
    state.droppedCircles =
        std::max(0, static_cast<int>(state.motions.size()) - state.scene.bodyCount());
    return true;
}

bool StateParser::readHeader(const Fields &fields) {
    if (fields[0] != headerWord)
        return fail(std::string("not a rigid2d state: the first line must be \"") +
                    stateHeaderLine + "\"");
    if (fields.size() >= 2 && !readVersion(fields[1], stateVersion, version))
        return false;
    layout = &stateVersions[version - 1];
    revisionsAllowed = layout->revisions;
    part = Part::Scene;
    return expectFields(fields, 2,
                        std::string("expected the format version: \"") + stateHeaderLine + "\"");
}

bool StateParser::readScene(const Fields &fields) {
    if (fields[0] != "scene" || fields.size() < 4)
        return fail("expected the scene: \"scene NAME COUNT SOLVER\"");
    part = Part::Steps;
    return readSceneFields(fields, 1, true, snapshot.sandbox.scene);
}

bool StateParser::readSteps(const Fields &fields) {
    if (fields[0] != "steps")
        return fail("expected the steps: \"steps SCENE_STEP TOTAL_STEPS\"");
    if (!expectFields(fields, 3, "expected the steps: \"steps SCENE_STEP TOTAL_STEPS\""))
        return false;
    SandboxState &state = snapshot.sandbox;
    const long long most = std::numeric_limits<long long>::max();
    if (!readWhole(fields[2], most, "total steps", state.totalSteps) ||
        !readWhole(fields[1], state.totalSteps, "steps in the scene", state.sceneStep))
        return false;
    part = version >= 2 ? Part::Settings : Part::Bodies;
    return true;
}

bool StateParser::readSettings(const Fields &fields) {
    if (fields[0] != "settings")
        return fail("expected the settings: \"" + settingsLayout + "\"");
    part = Part::Bodies;
    return readSettingsFields(fields, 1, snapshot.sandbox.settings);
}

bool StateParser::readCount(const Fields &fields, const char *word, long long max,
                            long long &count) {
    const std::string form = std::string("\"") + word + " COUNT\"";
    if (fields[0] != word)
        return fail("expected " + form);
    return expectFields(fields, 2, "expected " + form) && readWhole(fields[1], max, word, count);
}

bool StateParser::readBody(const Fields &fields) {
    SandboxState &state = snapshot.sandbox;
    const std::size_t index = state.motions.size();
    long long read = 0;
    if (!readWhole(fields[0], maxWholeSize, "body index", read))
        return false;
    if (read != static_cast<long long>(index))
        return fail("expected body " + std::to_string(index) + ", not " + quoted(fields[0]));
    const int kind = fields.size() < 2 ? -1 : kindCoded(fields[1], *layout);
    if (kind < 0)
        return fail("expected the body's type, " + kindsInProse(*layout));
    const ShapeKind &shape = shapeKinds[kind];
    const std::size_t turning = layout->turning ? 4 : 0;
    if (!expectFields(fields, 12 + turning + shape.dimensionCount,
                      "expected " + bodyLayout(kind, *layout)))
        return false;
    BodyTraits traits;
    traits.shape.kind = kind;
    BodyMotion motion;
    float *const floats[] = {&motion.position.x, &motion.position.y,  &motion.velocity.x,
                             &motion.velocity.y, &traits.force.x,     &traits.force.y,
                             &traits.mass,       &traits.inverseMass, &traits.gravityScale};
    std::size_t field = 2;
    for (float *value : floats) {
        if (!readNumber(fields[field++], *value))
            return false;
    }
    if (fields[11] != "0" && fields[11] != "1")
        return fail("expected STATIC, 0 or 1, not " + quoted(fields[11]));
    traits.isStatic = fields[11] == "1";
    if (turning && !readTurning(fields, traits, motion))
        return false;
    for (int k = 0; k < shape.dimensionCount; ++k) {
        const std::string_view text = fields[12 + turning + static_cast<std::size_t>(k)];
        const ShapeDimension &dimension = shape.dimensions[k];
        long long whole = 0;
        float number = 0;
        if (dimension.whole ? !readWhole(text, maxWholeSize, dimension.name, whole)
                            : !readNumber(text, number))
            return false;
        if (!dimension.whole && !(number > 0 && std::isfinite(number)))
            return fail(std::string("expected the ") + dimension.name +
                        ", a finite number above 0, not " + quoted(text));
        traits.shape.dimensions[k] = dimension.whole ? static_cast<double>(whole) : number;
    }
    deriveInertia(traits);
    state.motions.push_back(motion);
    appendTraits(state.runs, traits);
    if (static_cast<long long>(state.motions.size()) == bodies)
        part = Part::WarmStart;
    return true;
}

// FRICTION COS SIN SPIN, after STATIC. The orientation must be a unit vector, as every step keeps
// it; a NaN or an infinity anywhere is refused.
bool StateParser::readTurning(const Fields &fields, BodyTraits &traits, BodyMotion &motion) {
    float *const floats[] = {&traits.friction, &motion.rotation.c, &motion.rotation.s,
                             &motion.angularVelocity};
    std::size_t field = 12;
    for (float *value : floats) {
        if (!readNumber(fields[field], *value))
            return false;
        if (!std::isfinite(*value))
            return fail("expected a finite number, not " + quoted(fields[field]));
        ++field;
    }
    if (!(traits.friction >= 0))
        return fail("expected FRICTION, 0 or more, not " + quoted(fields[12]));
    if (!isOrientation(motion.rotation))
        return fail("expected COS and SIN of an angle: their squares must add up to 1");
    return true;
}

bool StateParser::readImpulse(const Fields &fields) {
    const bool turning = layout->turning;
    const char *layout = turning ? "expected \"LOWER HIGHER FEATURE IMPULSE TANGENT_IMPULSE\""
                                 : "expected \"LOWER HIGHER IMPULSE\"";
    if (!expectFields(fields, turning ? 5 : 3, layout))
        return false;
    PairImpulse pair{};
    long long lower = 0;
    long long higher = 0;
    long long feature = 0;
    if (!readWhole(fields[0], bodies - 1, "body index", lower) ||
        !readWhole(fields[1], bodies - 1, "body index", higher))
        return false;
    if (turning) {
        if (!readWhole(fields[2], std::numeric_limits<std::uint32_t>::max(), "feature", feature) ||
            !readNumber(fields[3], pair.impulse) || !readNumber(fields[4], pair.tangentImpulse))
            return false;
    } else if (!readNumber(fields[2], pair.impulse)) {
        return false;
    }
    if (lower >= higher)
        return fail("the pair's lower index must be below its higher one");
    pair.lower = static_cast<int>(lower);
    pair.higher = static_cast<int>(higher);
    pair.featureId = static_cast<std::uint32_t>(feature);
    std::vector<PairImpulse> &warmStart = snapshot.sandbox.warmStart;
    // The points of one pair follow each other, each feature once.
    const bool samePair = !warmStart.empty() && warmStart.back().lower == pair.lower &&
                          warmStart.back().higher == pair.higher;
    bool inOrder = warmStart.empty() || warmStart.back().lower < pair.lower ||
                   (warmStart.back().lower == pair.lower && warmStart.back().higher < pair.higher);
    if (turning && samePair) {
        inOrder = true;
        for (auto k = warmStart.rbegin();
             k != warmStart.rend() && k->lower == pair.lower && k->higher == pair.higher; ++k)
            inOrder = inOrder && k->featureId != pair.featureId;
    }
    if (!inOrder)
        return fail(turning ? "the pairs must come in ascending order, each feature of a pair once"
                            : "the pairs must come in ascending order, each once");
    warmStart.push_back(pair);
    if (static_cast<long long>(warmStart.size()) == impulses)
        part = afterWarmStart();
    return true;
}

// "INDEX REST_STEPS ISLAND", ISLAND "-" for a body awake.
bool StateParser::readRest(const Fields &fields) {
    if (!expectFields(fields, 3, "expected \"INDEX REST_STEPS ISLAND\""))
        return false;
    long long index = 0;
    long long steps = 0;
    long long island = -1;
    if (!readWhole(fields[0], bodies - 1, "body index", index) ||
        !readWhole(fields[1], SleepingBodies::stepsToSleep, "steps at rest", steps) ||
        (fields[2] != "-" && !readWhole(fields[2], bodies - 1, "island", island)))
        return false;
    std::vector<BodySleep> &sleep = snapshot.sandbox.sleep;
    if (!sleep.empty() && sleep.back().index >= index)
        return fail("the sleep records must come in ascending order of their bodies, each once");
    sleep.push_back(
        BodySleep{static_cast<int>(index), static_cast<int>(steps), static_cast<int>(island)});
    if (static_cast<long long>(sleep.size()) == rests)
        part = Part::Hash;
    return true;
}

bool StateParser::readHash(const Fields &fields) {
    if (fields[0] != "hash")
        return fail("expected \"hash HASH\"");
    if (!expectFields(fields, 2, "expected \"hash HASH\""))
        return false;
    const std::optional<std::uint64_t> hash = hashNumber(fields[1]);
    if (!hash)
        return fail("expected the hash as 16 lower-case hex digits, not " + quoted(fields[1]));
    const std::string got = hashDigits(stateHash(snapshot.sandbox));
    if (got != fields[1])
        return fail("the bodies do not match the hash: the file has " + std::string(fields[1]) +
                    ", its bodies hash to " + got);
    part = Part::Done;
    return true;
}

bool StateParser::readWhole(std::string_view text, long long max, const char *what,
                            long long &value) {
    const std::optional<long long> number = wholeNumber(text, 0, max);
    if (!number)
        return fail(std::string("expected the ") + what + ", a whole number from 0 to " +
                    std::to_string(max) + ", not " + quoted(text));
    value = *number;
    return true;
}

} // namespace

std::string stateFileText(const SandboxState &state) {
    const StateVersion &layout = oldestHolding(state);
    std::string text = std::string(headerWord) + " " + std::to_string(layout.number) + "\nscene " +
                       sceneFields(state.scene) + "\nsteps " + std::to_string(state.sceneStep) +
                       " " + std::to_string(state.totalSteps) + "\n";
    if (layout.number >= 2)
        text += "settings " + settingsFields(state.settings) + "\n";
    text += "bodies " + std::to_string(state.motions.size()) + "\n";
    int index = 0;
    for (const TraitsRun &run : state.runs) {
        for (int k = 0; k < run.count; ++k, ++index)
            appendBodyLine(text, index, run.traits, state.motions[static_cast<std::size_t>(index)],
                           layout);
    }
    text += "warmstart " + std::to_string(state.warmStart.size()) + "\n";
    for (const PairImpulse &pair : state.warmStart) {
        text += std::to_string(pair.lower) + " " + std::to_string(pair.higher) + " ";
        if (layout.turning)
            text += std::to_string(pair.featureId) + " " + toHexFloat(pair.impulse) + " " +
                    toHexFloat(pair.tangentImpulse) + "\n";
        else
            text += toHexFloat(pair.impulse) + "\n";
    }
    if (layout.sleep) {
        text += "sleep " + std::to_string(state.sleep.size()) + "\n";
        for (const BodySleep &record : state.sleep)
            text += std::to_string(record.index) + " " + std::to_string(record.restSteps) + " " +
                    (record.island < 0 ? std::string("-") : std::to_string(record.island)) + "\n";
    }
    return text + "hash " + hashDigits(stateHash(state)) + "\n";
}

bool writeStateFile(const std::string &path, const SandboxState &state, FileFault &fault) {
    for (std::size_t i = 0; i < state.motions.size(); ++i) {
        if (!mayBeSaved(state.motions[i])) {
            fault = FileFault{path, 0,
                              "not saved: the orientation or spin of body " + std::to_string(i) +
                                  " is not finite, which a state file cannot hold"};
            return false;
        }
    }
    return writeWholeFile(path, stateFileText(state), fault);
}

std::optional<SessionSnapshot> readState(std::istream &input, const std::string &name,
                                         FileFault &fault) {
    StateParser parser;
    if (!parseLines(input, maxStateLineBytes, parser, name, fault))
        return std::nullopt;
    return std::move(parser.snapshot);
}

std::optional<SessionSnapshot> readStateFile(const std::string &path, FileFault &fault) {
    std::ifstream file;
    if (!openForReading(path, file, fault))
        return std::nullopt;
    return readState(file, path, fault);
}
