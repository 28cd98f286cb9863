// libFuzzer target for the replay reader. Whatever the bytes, reading must end without a crash,
// undefined behaviour (ASan and UBSan end the run), a hang or unbounded memory, in one of two
// ways: a one-line fault "input:LINE: ...", or a replay that keeps the reader's promises (steps
// never decrease, coordinates finite and within bounds, the end record last) and that, written
// out as a file and read back, is the same replay bit for bit. Small replays are also played, to
// their last step or their first impossible input (a grab of a wall, a drag with nothing held),
// through a session, which refuses exactly the spawns that find the array full.

#include "fuzz/fuzzinput.h"
#include "replay/replayfile.h"
#include "session/session.h"

#include <cmath>   // std::isfinite, std::fabs
#include <cstddef> // std::size_t
#include <cstdint> // std::uint8_t
#include <cstring> // std::memcmp
#include <sstream> // std::istringstream
#include <string>  // std::string
#include <vector>  // std::vector

namespace {

std::optional<Replay> read(const std::string &bytes, FileFault &fault) {
    std::istringstream input(bytes);
    return readReplay(input, "input", EndRecord::Optional, fault);
}

bool sameBits(Vec2 a, Vec2 b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void checkPromises(const Replay &replay) {
    long long previous = 0;
    for (const SessionInput &input : replay.recording.inputs) {
        require(input.step >= previous);
        previous = input.step;
        if (input.kind == SessionInput::Kind::Restart)
            continue;
        require(std::isfinite(input.position.x) && std::isfinite(input.position.y));
        require(std::fabs(input.position.x) <= maxSpawnCoordinate);
        require(std::fabs(input.position.y) <= maxSpawnCoordinate);
    }
    require(replay.recording.lastStep >= previous);
    if (replay.end)
        require(replay.end->step == replay.recording.lastStep);
}

std::string written(const Replay &replay) {
    std::string text = replayHeader(replay.recording.scene);
    for (const SessionInput &input : replay.recording.inputs)
        text += replayInputLine(input);
    if (replay.end)
        text += replayEndLine(*replay.end);
    return text;
}

void checkReadBack(const Replay &replay) {
    FileFault fault;
    const std::optional<Replay> again = read(written(replay), fault);
    require(again.has_value());
    const Scene &scene = replay.recording.scene;
    require(again->recording.scene.kind == scene.kind &&
            again->recording.scene.circles == scene.circles &&
            again->recording.scene.solver == scene.solver);
    const std::vector<SessionInput> &inputs = replay.recording.inputs;
    const std::vector<SessionInput> &readBack = again->recording.inputs;
    require(readBack.size() == inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        require(readBack[i].step == inputs[i].step);
        require(readBack[i].kind == inputs[i].kind);
        require(sameBits(readBack[i].position, inputs[i].position));
        require(readBack[i].index == inputs[i].index);
        require(readBack[i].solver == inputs[i].solver);
        require(readBack[i].scene.kind == inputs[i].scene.kind &&
                readBack[i].scene.circles == inputs[i].scene.circles &&
                readBack[i].scene.solver == inputs[i].scene.solver);
        require(sameSettings(readBack[i].settings, inputs[i].settings));
    }
    require(again->end.has_value() == replay.end.has_value());
    if (replay.end)
        require(again->end->step == replay.end->step && again->end->hash == replay.end->hash);
}

// The spawns (circles and boxes) beyond the array's room since the scene was last built.
long long spawnsBeyondRoom(const Replay &replay) {
    long long spawns = 0;
    long long beyond = 0;
    for (const SessionInput &input : replay.recording.inputs) {
        if (input.kind == SessionInput::Kind::Spawn || input.kind == SessionInput::Kind::DropBox) {
            if (++spawns > spawnRoom)
                ++beyond;
        } else if (input.kind == SessionInput::Kind::Restart ||
                   input.kind == SessionInput::Kind::Solver ||
                   input.kind == SessionInput::Kind::Scene) {
            spawns = 0;
        }
    }
    return beyond;
}

bool removes(const Replay &replay) {
    for (const SessionInput &input : replay.recording.inputs) {
        if (input.kind == SessionInput::Kind::Remove || input.kind == SessionInput::Kind::Clear)
            return true;
    }
    return false;
}

// Whether every scene the replay switches to is small enough to play quickly.
bool smallScenes(const Replay &replay) {
    for (const SessionInput &input : replay.recording.inputs) {
        if (input.kind == SessionInput::Kind::Scene && input.scene.circles > 20)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    FileFault fault;
    const std::optional<Replay> replay = read(bytes, fault);
    if (!replay) {
        requireOneLineFault(fault.message());
        return 0;
    }
    checkPromises(*replay);
    checkReadBack(*replay);
    if (replay->recording.scene.circles <= 20 && replay->recording.lastStep <= 40 &&
        smallScenes(*replay)) {
        Session session(replay->recording.scene);
        session.play(replay->recording);
        session.playTo(replay->recording.lastStep);
        require(!session.replaying());
        // A replay that turns out impossible stops at the input that is. A removal frees room
        // only when it takes a circle out, which only playing tells: the count is checked
        // without them.
        if (!session.replayFault() && !removes(*replay))
            require(session.refusedSpawns() == spawnsBeyondRoom(*replay));
    }
    return 0;
}
