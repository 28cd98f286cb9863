#include "physics/replayfile.h"
#include "physics/replayplayer.h"
#include "physics/sandbox.h"
#include "physics/statetext.h"
#include "tests/math/exactfloat.h"

#include <QBuffer>
#include <QByteArray>
#include <gtest/gtest.h>

#include <cstdint> // std::uint32_t
#include <cstring> // std::memcpy
#include <random>  // std::mt19937

namespace {

std::optional<Replay> readText(const std::string &text, std::string &error) {
    QByteArray bytes = QByteArray::fromStdString(text);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return readReplay(buffer, "r", EndRecord::Optional, error);
}

float fromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

const std::string header = "rigid2d-replay 1\nscene column 4\n";

} // namespace

// The state text and the hashes in recorded files must be the same bytes on every machine.
TEST(StateText, HexFloatsAreWhatPrintfWritesAndTheHashIsFnv1a) {
    std::mt19937 random(7);
    std::vector<std::uint32_t> patterns = {0,          0x80000000, 1,          0x807fffff,
                                           0x7f7fffff, 0x7f800000, 0xff800000, 0x7fc00000};
    for (int i = 0; i < 100000; ++i)
        patterns.push_back(static_cast<std::uint32_t>(random()));
    for (const std::uint32_t bits : patterns)
        ASSERT_EQ(toHexFloat(fromBits(bits)), hexFloat(fromBits(bits))) << std::hex << bits;

    EXPECT_EQ(hashDigits(fnv1a("")), "cbf29ce484222325");
    EXPECT_EQ(hashDigits(fnv1a("a")), "af63dc4c8601ec8c");
    EXPECT_EQ(hashDigits(0x1), "0000000000000001");
}

TEST(ReplayFile, SpawnsBeyondTheArraysRoomAreCountedNotKeptAndARestartMakesRoomAgain) {
    std::string text = header;
    for (int i = 0; i < 1000000; ++i)
        text += "3 spawn 640 400\n";
    text += "4 restart\n4 spawn 1 2\n";
    std::string error;
    const std::optional<Replay> replay = readText(text, error);
    ASSERT_TRUE(replay) << error;
    EXPECT_EQ(replay->refusedSpawns, 1000000 - spawnRoom);
    ASSERT_EQ(replay->inputs.size(), static_cast<size_t>(spawnRoom + 2));
    EXPECT_EQ(replay->inputs.back().kind, ReplayInput::Kind::Spawn);
}

// An input recorded at step k acts after k steps and before step k + 1, in file order.
TEST(ReplayPlayer, GivesEachInputAfterTheStepItWasRecordedAt) {
    std::string error;
    const std::optional<Replay> replay =
        readText(header + "0 spawn 300 100\n5 spawn 640 400\n5 restart\n5 spawn 700 90\n"
                          "9 spawn 0x1.4p+9 0x1.9p+8\n",
                 error);
    ASSERT_TRUE(replay) << error;

    Sandbox expected(replay->scene);
    expected.restart();
    expected.spawn(Vec2(300, 100));
    for (int s = 0; s < 5; ++s)
        expected.step();
    expected.spawn(Vec2(640, 400));
    expected.restart();
    expected.spawn(Vec2(700, 90));
    for (int s = 0; s < 4; ++s)
        expected.step();
    expected.spawn(Vec2(640, 400));
    for (int s = 0; s < 3; ++s)
        expected.step();

    Sandbox played(replay->scene);
    played.restart();
    ReplayPlayer player(*replay);
    player.playTo(played, 9);
    EXPECT_TRUE(player.finished(played));
    player.playTo(played, 12);
    EXPECT_EQ(stateText(played.bodies()), stateText(expected.bodies()));
}
