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
    for (const ReplayInput &input : replay.inputs) {
        require(input.step >= previous);
        previous = input.step;
        if (input.kind == ReplayInput::Kind::Restart)
            continue;
        require(std::isfinite(input.position.x) && std::isfinite(input.position.y));
        require(std::fabs(input.position.x) <= maxSpawnCoordinate);
        require(std::fabs(input.position.y) <= maxSpawnCoordinate);
    }
    require(replay.lastStep >= previous);
    if (replay.end)
        require(replay.end->step == replay.lastStep);
}

std::string written(const Replay &replay) {
    std::string text = replayHeader(replay.scene);
    for (const ReplayInput &input : replay.inputs)
        text += replayInputLine(input);
    if (replay.end)
        text += replayEndLine(*replay.end);
    return text;
}

void checkReadBack(const Replay &replay) {
    FileFault fault;
    const std::optional<Replay> again = read(written(replay), fault);
    require(again.has_value());
    require(again->scene.kind == replay.scene.kind && again->scene.circles == replay.scene.circles);
    require(again->inputs.size() == replay.inputs.size());
    for (std::size_t i = 0; i < replay.inputs.size(); ++i) {
        require(again->inputs[i].step == replay.inputs[i].step);
        require(again->inputs[i].kind == replay.inputs[i].kind);
        require(sameBits(again->inputs[i].position, replay.inputs[i].position));
        require(again->inputs[i].index == replay.inputs[i].index);
        require(again->inputs[i].solver == replay.inputs[i].solver);
        require(again->inputs[i].scene.kind == replay.inputs[i].scene.kind &&
                again->inputs[i].scene.circles == replay.inputs[i].scene.circles &&
                again->inputs[i].scene.solver == replay.inputs[i].scene.solver);
    }
    require(again->end.has_value() == replay.end.has_value());
    if (replay.end)
        require(again->end->step == replay.end->step && again->end->hash == replay.end->hash);
}

// The spawns beyond the array's room since the scene was last built.
long long spawnsBeyondRoom(const Replay &replay) {
    long long spawns = 0;
    long long beyond = 0;
    for (const ReplayInput &input : replay.inputs) {
        if (input.kind == ReplayInput::Kind::Spawn) {
            if (++spawns > spawnRoom)
                ++beyond;
        } else if (input.kind != ReplayInput::Kind::Grab && input.kind != ReplayInput::Kind::Drag &&
                   input.kind != ReplayInput::Kind::Release) {
            spawns = 0;
        }
    }
    return beyond;
}

// Whether every scene the replay switches to is small enough to play quickly.
bool smallScenes(const Replay &replay) {
    for (const ReplayInput &input : replay.inputs) {
        if (input.kind == ReplayInput::Kind::Scene && input.scene.circles > 20)
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
        const std::string message = fault.message();
        require(message.compare(0, 6, "input:") == 0);
        require(message.find('\n') == std::string::npos);
        return 0;
    }
    checkPromises(*replay);
    checkReadBack(*replay);
    if (replay->scene.circles <= 20 && replay->lastStep <= 40 && smallScenes(*replay)) {
        Session session(replay->scene);
        session.play(*replay);
        session.playTo(replay->lastStep);
        require(!session.replaying());
        // A replay that turns out impossible stops at the input that is.
        if (!session.replayFault())
            require(session.refusedSpawns() == spawnsBeyondRoom(*replay));
    }
    return 0;
}
