// libFuzzer target for the replay reader. Whatever the bytes, reading must end without a crash,
// undefined behaviour (ASan and UBSan end the run), a hang or unbounded memory, in one of two
// ways: a one-line fault "input:LINE: ...", or a replay that keeps the reader's promises (steps
// never decrease, coordinates finite and within bounds, no more spawns after a restart than the
// array has room for, the end record last) and that, written out as a file and read back, is the
// same replay bit for bit. Small replays are also played, to their last step.

#include "fuzz/fuzzinput.h"
#include "physics/replayfile.h"
#include "physics/replayplayer.h"
#include "physics/sandbox.h"

#include <QBuffer>
#include <QByteArray>

#include <cmath>   // std::isfinite, std::fabs
#include <cstddef> // std::size_t
#include <cstdint> // std::uint8_t
#include <cstring> // std::memcmp
#include <string>  // std::string

namespace {

std::optional<Replay> read(const QByteArray &bytes, std::string &error) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readReplay(buffer, "input", EndRecord::Optional, error);
}

bool sameBits(Vec2 a, Vec2 b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void checkPromises(const Replay &replay) {
    long long previous = 0;
    long long spawns = 0;
    for (const ReplayInput &input : replay.inputs) {
        require(input.step >= previous);
        previous = input.step;
        if (input.kind == ReplayInput::Kind::Restart) {
            spawns = 0;
            continue;
        }
        require(++spawns <= spawnRoom);
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
    std::string error;
    const std::optional<Replay> again = read(QByteArray::fromStdString(written(replay)), error);
    require(again.has_value());
    require(again->scene.kind == replay.scene.kind && again->scene.circles == replay.scene.circles);
    require(again->inputs.size() == replay.inputs.size());
    for (std::size_t i = 0; i < replay.inputs.size(); ++i) {
        require(again->inputs[i].step == replay.inputs[i].step);
        require(again->inputs[i].kind == replay.inputs[i].kind);
        require(sameBits(again->inputs[i].position, replay.inputs[i].position));
    }
    require(again->end.has_value() == replay.end.has_value());
    if (replay.end)
        require(again->end->step == replay.end->step && again->end->hash == replay.end->hash);
    require(again->refusedSpawns == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<int>(size));
    std::string error;
    const std::optional<Replay> replay = read(bytes, error);
    if (!replay) {
        require(error.compare(0, 6, "input:") == 0);
        require(error.find('\n') == std::string::npos);
        return 0;
    }
    checkPromises(*replay);
    checkReadBack(*replay);
    if (replay->scene.circles <= 20 && replay->lastStep <= 40) {
        Sandbox sandbox(replay->scene);
        sandbox.restart();
        ReplayPlayer player(*replay);
        player.playTo(sandbox, replay->lastStep);
        require(player.finished(sandbox));
    }
    return 0;
}
