#include "replay/replayfile.h"

#include "text/linetext.h"
#include "text/scenetext.h"
#include "text/statetext.h"
#include "text/wholenumber.h"

#include <algorithm>    // std::remove_if
#include <cmath>        // std::isfinite, std::fabs
#include <cstdio>       // std::snprintf
#include <fstream>      // std::ifstream
#include <istream>      // std::istream
#include <limits>       // std::numeric_limits
#include <string_view>  // std::string_view
#include <system_error> // std::errc
#include <utility>      // std::move

const char replayHeaderLine[] = "rigid2d-replay 5";

namespace {

const char headerWord[] = "rigid2d-replay";
// "-1e9 to 1e9", as maxSpawnCoordinate is written.
const std::string spawnCoordinateRange = [] {
    char text[32];
    std::snprintf(text, sizeof text, "-%g to %g", static_cast<double>(maxSpawnCoordinate),
                  static_cast<double>(maxSpawnCoordinate));
    return std::string(text);
}();
const std::string quotedHeader = std::string("\"") + replayHeaderLine + "\"";

// Takes a replay one line at a time and stops at the first fault.
class ReplayParser : public SceneLineParser {
public:
    explicit ReplayParser(EndRecord endRecord) : endRecord(endRecord) {}

    // The next line, without its line feed. False once a fault has been found.
    bool take(std::string_view line);
    // What must hold once the input has ended.
    bool finish();
    Replay replay;

private:
    bool readHeader(const Fields &fields);
    bool readScene(const Fields &fields);
    bool readRecord(const Fields &fields);
    // One for each kind of record, given the line's fields and its step.
    bool readSpawn(const Fields &fields, long long step);
    bool readBox(const Fields &fields, long long step);
    // A body dropped at X Y: a spawn's circle or a box.
    bool readDrop(const Fields &fields, long long step, SessionInput::Kind kind,
                  const char *missing);
    bool readRestart(const Fields &fields, long long step);
    bool readEnd(const Fields &fields, long long step);
    bool readSolverSwitch(const Fields &fields, long long step);
    bool readSceneSwitch(const Fields &fields, long long step);
    bool readGrab(const Fields &fields, long long step);
    bool readDrag(const Fields &fields, long long step);
    bool readRelease(const Fields &fields, long long step);
    bool readSolverInPlace(const Fields &fields, long long step);
    bool readSettings(const Fields &fields, long long step);
    bool readRemove(const Fields &fields, long long step);
    bool readClear(const Fields &fields, long long step);
    // Keeps an input, noting the line it came from.
    void push(SessionInput input);
    bool readCheckpoint(const Fields &fields, long long step);
    bool readBack(const Fields &fields, long long step);

    struct RecordReader {
        const char *name;
        int version;
        bool (ReplayParser::*read)(const Fields &fields, long long step);
    };
    static const RecordReader recordReaders[];
    bool readCoordinate(std::string_view text, float &value);
    bool readIndex(std::string_view text, SessionInput &input);
    bool readHash(std::string_view text, std::uint64_t &hash);

    EndRecord endRecord;
    long long previousStep = 0;
    long long endLine = 0;
    int version = replayVersion;
};

bool ReplayParser::take(std::string_view line) {
    const std::optional<Fields> read = nextFields(line);
    if (!read)
        return false;
    const Fields &fields = *read;
    if (lineNumber == 1)
        return readHeader(fields);
    if (lineNumber == 2)
        return readScene(fields);
    return readRecord(fields);
}

bool ReplayParser::finish() {
    if (lineNumber == 0)
        return fail("empty file: expected " + quotedHeader, 1);
    if (lineNumber == 1)
        return fail("the file ends before its scene line \"scene NAME COUNT\"", 2);
    if (endRecord == EndRecord::Required && endLine == 0)
        return fail("the file ends without its end record \"STEP end HASH\"", lineNumber + 1);
    return true;
}

bool ReplayParser::readHeader(const Fields &fields) {
    if (fields[0] != headerWord)
        return fail("not a rigid2d replay: the first line must be " + quotedHeader);
    if (fields.size() >= 2 && !readVersion(fields[1], replayVersion, version))
        return false;
    revisionsAllowed = version >= 5;
    return expectFields(fields, 2, "expected the format version: " + quotedHeader);
}

bool ReplayParser::readScene(const Fields &fields) {
    if (fields[0] != "scene" || fields.size() < 3)
        return fail(version == 1 ? "expected the scene: \"scene NAME COUNT\""
                                 : "expected the scene: \"scene NAME COUNT [SOLVER]\"");
    return readSceneFields(fields, 1, version > 1, replay.recording.scene);
}

// The records a line can hold after its step, and the first version that has each.
const ReplayParser::RecordReader ReplayParser::recordReaders[] = {
    {"spawn", 1, &ReplayParser::readSpawn},
    {"restart", 1, &ReplayParser::readRestart},
    {"end", 1, &ReplayParser::readEnd},
    {"solver", 2, &ReplayParser::readSolverSwitch},
    {"scene", 2, &ReplayParser::readSceneSwitch},
    {"grab", 2, &ReplayParser::readGrab},
    {"drag", 2, &ReplayParser::readDrag},
    {"release", 2, &ReplayParser::readRelease},
    {"hash", 2, &ReplayParser::readCheckpoint},
    {"back", 2, &ReplayParser::readBack},
    {"solver-in-place", 3, &ReplayParser::readSolverInPlace},
    {"settings", 3, &ReplayParser::readSettings},
    {"remove", 3, &ReplayParser::readRemove},
    {"clear", 3, &ReplayParser::readClear},
    {"box", 4, &ReplayParser::readBox},
};

bool ReplayParser::readRecord(const Fields &fields) {
    if (endLine != 0)
        return fail("nothing may follow the end record of line " + std::to_string(endLine));
    const std::optional<long long> step =
        wholeNumber(fields[0], 0, std::numeric_limits<long long>::max());
    if (!step)
        return fail("expected a step number, not " + quoted(fields[0]));
    if (*step < previousStep)
        return fail("step " + std::to_string(*step) +
                    " goes backwards: the record before is at step " +
                    std::to_string(previousStep));
    previousStep = *step;
    replay.recording.lastStep = *step;
    // "spawn, restart or end", as many as this version has.
    std::vector<std::string> names;
    for (const RecordReader &reader : recordReaders) {
        if (reader.version <= version)
            names.push_back(reader.name);
    }
    const std::string kinds = inProse(names, "or");
    if (fields.size() < 2)
        return fail("expected " + kinds + " after the step");
    for (const RecordReader &reader : recordReaders) {
        if (reader.version <= version && fields[1] == reader.name)
            return (this->*reader.read)(fields, *step);
    }
    return fail("unknown record " + quoted(fields[1]) + ": expected " + kinds);
}

bool ReplayParser::readRestart(const Fields &fields, long long step) {
    push(SessionInput{step, SessionInput::Kind::Restart});
    return expectFields(fields, 2, "");
}

bool ReplayParser::readEnd(const Fields &fields, long long step) {
    ReplayEnd end{step, 0};
    if (!expectFields(fields, 3, "expected the state's hash after end") ||
        !readHash(fields[2], end.hash))
        return false;
    replay.end = end;
    endLine = lineNumber;
    return true;
}

bool ReplayParser::readSolverSwitch(const Fields &fields, long long step) {
    SessionInput input{step, SessionInput::Kind::Solver};
    if (fields.size() < 3)
        return fail("expected the solver's name after solver");
    if (!readSolverFields(fields, 2, input.solver))
        return false;
    push(input);
    return true;
}

bool ReplayParser::readSolverInPlace(const Fields &fields, long long step) {
    SessionInput input{step, SessionInput::Kind::SolverInPlace};
    if (fields.size() < 3)
        return fail("expected the solver's name after solver-in-place");
    if (!readSolverFields(fields, 2, input.solver))
        return false;
    push(input);
    return true;
}

bool ReplayParser::readSettings(const Fields &fields, long long step) {
    SessionInput input{step, SessionInput::Kind::Settings};
    if (!readSettingsFields(fields, 2, input.settings))
        return false;
    push(input);
    return true;
}

bool ReplayParser::readRemove(const Fields &fields, long long step) {
    SessionInput input{step, SessionInput::Kind::Remove};
    if (!expectFields(fields, 3, "expected the removed body's INDEX") ||
        !readIndex(fields[2], input))
        return false;
    push(input);
    return true;
}

bool ReplayParser::readClear(const Fields &fields, long long step) {
    push(SessionInput{step, SessionInput::Kind::Clear});
    return expectFields(fields, 2, "");
}

bool ReplayParser::readSceneSwitch(const Fields &fields, long long step) {
    SessionInput input{step, SessionInput::Kind::Scene};
    if (!readSceneFields(fields, 2, true, input.scene))
        return false;
    // Without a solver the scene brings its own, in the stable solver's first revision, which
    // every file made before there were others means.
    if (fields.size() == 4) {
        const World::Solver own = sceneKindInfo(input.scene.kind).defaultSolver;
        input.scene.solver = own == World::Solver::Stable ? World::Solver::StableRevision1 : own;
    }
    push(input);
    return true;
}

bool ReplayParser::readGrab(const Fields &fields, long long step) {
    SessionInput input{step, SessionInput::Kind::Grab};
    if (!expectFields(fields, 5, "expected the grabbed body's INDEX and the target's X and Y"))
        return false;
    if (!readIndex(fields[2], input))
        return false;
    if (!readCoordinate(fields[3], input.position.x) ||
        !readCoordinate(fields[4], input.position.y))
        return false;
    push(input);
    return true;
}

bool ReplayParser::readDrag(const Fields &fields, long long step) {
    SessionInput input{step, SessionInput::Kind::Drag};
    if (!expectFields(fields, 4, "expected the target's X and Y") ||
        !readCoordinate(fields[2], input.position.x) ||
        !readCoordinate(fields[3], input.position.y))
        return false;
    push(input);
    return true;
}

bool ReplayParser::readRelease(const Fields &fields, long long step) {
    push(SessionInput{step, SessionInput::Kind::Release});
    return expectFields(fields, 2, "");
}

void ReplayParser::push(SessionInput input) {
    input.source = lineNumber;
    replay.recording.inputs.push_back(input);
}

bool ReplayParser::readCheckpoint(const Fields &fields, long long step) {
    Checkpoint checkpoint{step, 0};
    if (!expectFields(fields, 3, "expected the state's hash after hash") ||
        !readHash(fields[2], checkpoint.hash))
        return false;
    std::vector<Checkpoint> &checkpoints = replay.recording.checkpoints;
    if (!checkpoints.empty() && checkpoints.back().step == step)
        return fail("a second checkpoint at step " + std::to_string(step));
    checkpoints.push_back(checkpoint);
    return true;
}

// Undoes the history after the step gone back to: its inputs and checkpoints are dropped, and the
// records that follow may start again from that step.
bool ReplayParser::readBack(const Fields &fields, long long step) {
    if (!expectFields(fields, 3, "expected the step gone back to after back"))
        return false;
    const std::optional<long long> to = wholeNumber(fields[2], 0, step);
    if (!to)
        return fail("expected the step gone back to, from 0 to " + std::to_string(step) + ", not " +
                    quoted(fields[2]));
    const auto after = [&](const auto &record) { return record.step > *to; };
    std::vector<SessionInput> &inputs = replay.recording.inputs;
    inputs.erase(std::remove_if(inputs.begin(), inputs.end(), after), inputs.end());
    std::vector<Checkpoint> &checkpoints = replay.recording.checkpoints;
    checkpoints.erase(std::remove_if(checkpoints.begin(), checkpoints.end(), after),
                      checkpoints.end());
    previousStep = *to;
    replay.recording.lastStep = *to;
    return true;
}

bool ReplayParser::readSpawn(const Fields &fields, long long step) {
    return readDrop(fields, step, SessionInput::Kind::Spawn, "expected the spawn's X and Y");
}

bool ReplayParser::readBox(const Fields &fields, long long step) {
    return readDrop(fields, step, SessionInput::Kind::DropBox, "expected the box's X and Y");
}

bool ReplayParser::readDrop(const Fields &fields, long long step, SessionInput::Kind kind,
                            const char *missing) {
    Vec2 position;
    if (!expectFields(fields, 4, missing) || !readCoordinate(fields[2], position.x) ||
        !readCoordinate(fields[3], position.y))
        return false;
    push(SessionInput{step, kind, position});
    return true;
}

bool ReplayParser::readIndex(std::string_view text, SessionInput &input) {
    const std::optional<long long> index = wholeNumber(text, 0, maxSceneCircles + 3 + spawnRoom);
    if (!index)
        return fail("expected the index of a body, not " + quoted(text));
    input.index = static_cast<int>(*index);
    return true;
}

bool ReplayParser::readCoordinate(std::string_view text, float &value) {
    float number = 0;
    if (!readNumber(text, number))
        return false;
    if (!std::isfinite(number))
        return fail("expected a finite number, not " + quoted(text));
    if (std::fabs(number) > maxSpawnCoordinate)
        return fail("spawn coordinate " + quoted(text) + " is outside " + spawnCoordinateRange);
    value = number;
    return true;
}

bool ReplayParser::readHash(std::string_view text, std::uint64_t &hash) {
    const std::optional<std::uint64_t> read = hashNumber(text);
    if (!read)
        return fail("expected the hash as 16 lower-case hex digits, not " + quoted(text));
    hash = *read;
    return true;
}

} // namespace

std::optional<Replay> readReplay(std::istream &input, const std::string &name, EndRecord endRecord,
                                 FileFault &fault) {
    ReplayParser parser(endRecord);
    if (!parseLines(input, maxReplayLineBytes, parser, name, fault))
        return std::nullopt;
    return std::move(parser.replay);
}

std::optional<Replay> readReplayFile(const std::string &path, EndRecord endRecord,
                                     FileFault &fault) {
    std::ifstream file;
    if (!openForReading(path, file, fault))
        return std::nullopt;
    return readReplay(file, path, endRecord, fault);
}

std::string replayHeader(const Scene &scene) {
    return std::string(replayHeaderLine) + "\nscene " + sceneFields(scene) + "\n";
}

std::string replayInputLine(const SessionInput &input) {
    std::string line = std::to_string(input.step);
    const std::string target = toHexFloat(input.position.x) + " " + toHexFloat(input.position.y);
    switch (input.kind) {
    case SessionInput::Kind::Spawn:
        return line + " spawn " + target + "\n";
    case SessionInput::Kind::Restart:
        return line + " restart\n";
    case SessionInput::Kind::Solver:
        return line + " solver " + solverFields(input.solver) + "\n";
    case SessionInput::Kind::Scene:
        return line + " scene " + sceneFields(input.scene) + "\n";
    case SessionInput::Kind::Grab:
        return line + " grab " + std::to_string(input.index) + " " + target + "\n";
    case SessionInput::Kind::Drag:
        return line + " drag " + target + "\n";
    case SessionInput::Kind::Release:
        return line + " release\n";
    case SessionInput::Kind::SolverInPlace:
        return line + " solver-in-place " + solverFields(input.solver) + "\n";
    case SessionInput::Kind::Settings:
        return line + " settings " + settingsFields(input.settings) + "\n";
    case SessionInput::Kind::Remove:
        return line + " remove " + std::to_string(input.index) + "\n";
    case SessionInput::Kind::Clear:
        return line + " clear\n";
    case SessionInput::Kind::DropBox:
        return line + " box " + target + "\n";
    }
    return line + "\n";
}

std::string replayCheckpointLine(const Checkpoint &checkpoint) {
    return std::to_string(checkpoint.step) + " hash " + hashDigits(checkpoint.hash) + "\n";
}

std::string replayBackLine(const GoingBack &back) {
    return std::to_string(back.step) + " back " + std::to_string(back.to) + "\n";
}

std::string replayEndLine(const ReplayEnd &end) {
    return std::to_string(end.step) + " end " + hashDigits(end.hash) + "\n";
}
