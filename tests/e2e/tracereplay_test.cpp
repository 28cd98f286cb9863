#include "scenes/scene.h"
#include "tests/e2e/programrun.h"
#include "text/statetext.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random> // std::mt19937

namespace {

constexpr int timeoutMs = 60000;

struct Replayed {
    bool finished;
    int exitCode;
    QByteArray out;
    QByteArray err;
};

class Rigid2dTraceReplay : public testing::Test {
protected:
    QString write(const QString &name, const QByteArray &content) {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    Replayed replay(const QString &path, const QStringList &steps = {}) {
        ProgramRun trace(QStringLiteral(RIGID2D_TRACE_PATH), QStringList{"--replay", path} + steps);
        const bool finished = trace.started() && trace.finished(timeoutMs);
        return {finished && trace.exitedNormally(), trace.exitCode(), trace.standardOutput(),
                trace.standardError()};
    }

    QTemporaryDir folder;
};

const QByteArray header = "rigid2d-replay 1\nscene grid 40\n";
// Circles dropped into the grid as it falls, a restart, and more circles after it.
const QByteArray inputs = header + "3 spawn 0x1.4p+9 0x1.9p+8\n3 spawn 700.5 -20\n12 restart\n"
                                   "12 spawn 0x1.2c8p+8 0x1.f4p+8\n30 spawn 640 120\n";

} // namespace

TEST_F(Rigid2dTraceReplay, EveryBadFileIsRefusedWithItsLineNumberAndCode2BeforeAnyStep) {
    std::mt19937 random(3);
    QByteArray noise;
    for (int i = 0; i < 4096; ++i)
        noise.append(static_cast<char>(random()));
    const struct {
        QByteArray content;
        int line;
    } cases[] = {
        {"", 1},
        {"rigid2d-replay 6\n", 1},
        {"scene grid 40\n", 1},
        {noise, 1},
        {"rigid2d-replay 1\n", 2},
        {"rigid2d-replay 1\nscene heap 40\n", 2},
        {"rigid2d-replay 1\nscene demo 40\n", 2},
        {"rigid2d-replay 1\nscene grid 40 stable\n", 2},
        {"rigid2d-replay 2\nscene grid 40 fast\n", 2},
        {header + "3 solver stable\n", 3},
        {"rigid2d-replay 2\nscene grid 40\n3 solver\n", 3},
        // Read well, but not playable at their step: a wall grabbed, nothing held.
        {"rigid2d-replay 2\nscene grid 40\n3 grab 1 640 400\n9 end 0123456789abcdef\n", 3},
        {"rigid2d-replay 2\nscene grid 40\n3 grab 3 640 400\n4 release\n5 drag 1 2\n"
         "9 end 0123456789abcdef\n",
         5},
        {"rigid2d-replay 2\nscene grid 40\n3 release\n9 end 0123456789abcdef\n", 3},
        {"rigid2d-replay 2\nscene grid 40\n3 scene grid 100001\n", 3},
        {header + "3 jump\n", 3},
        {header + "3 restart\n2 restart\n", 4},
        {header + "3 spawn 1 x\n", 3},
        {header + "3 spawn nan 1\n", 3},
        {header + "3 spawn 1 inf\n", 3},
        {header + "3 spawn 1 -1.5e9\n", 3},
        {header + "3 spawn 1 2 3\n", 3},
        {header + "3 restart 4\n", 3},
        {header + "5 back 2\n", 3},
        {header + "600 hash 0123456789abcdef\n", 3},
        {"rigid2d-replay 2\nscene grid 40\n5 back 6\n", 3},
        {"rigid2d-replay 2\nscene grid 40\n9 back 5\n4 restart\n", 4},
        {"rigid2d-replay 2\nscene grid 40\n6 hash 0123456789abcdef\n6 hash 0123456789abcdef\n", 4},
        {header + "3 end 0123456789abcdef00\n", 3},
        {header + "3 end 0123456789abcdef\n4 restart\n", 4},
        {header + "3 spawn 1 " + QByteArray(1 << 20, '1') + "\n", 3},
        {inputs, 8},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.content.left(60).toStdString());
        const QString path = write(QStringLiteral("bad"), c.content);
        const Replayed result = replay(path);
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.out, QByteArray());
        const QByteArray where = (path + ":" + QString::number(c.line) + ": ").toLocal8Bit();
        EXPECT_TRUE(result.err.startsWith(where)) << result.err.toStdString();
        EXPECT_EQ(result.err.count('\n'), 1);
    }
}

TEST_F(Rigid2dTraceReplay, TheEndHashProvesTheReplayAndOneHexDigitChangedBreaksIt) {
    const Replayed unchecked = replay(write(QStringLiteral("open"), inputs), {"40"});
    ASSERT_TRUE(unchecked.finished);
    ASSERT_EQ(unchecked.exitCode, 0) << unchecked.err.toStdString();
    const QByteArray hash = QByteArray::fromStdString(
        hashDigits(fnv1a(std::string(unchecked.out.constData(), unchecked.out.size()))));
    const QByteArray file = inputs + "40 end " + hash + "\n";

    const Replayed checked = replay(write(QStringLiteral("good"), file));
    ASSERT_TRUE(checked.finished);
    EXPECT_EQ(checked.exitCode, 0) << checked.err.toStdString();
    EXPECT_EQ(checked.out, unchecked.out);
    EXPECT_EQ(checked.err, QByteArray());

    QByteArray badHash = file;
    badHash[badHash.size() - 2] = hash.endsWith('0') ? '1' : '0';
    QByteArray badSpawn = file;
    badSpawn.replace("0x1.2c8p+8", "0x1.2c9p+8");
    for (const QByteArray &changed : {badHash, badSpawn}) {
        const Replayed result = replay(write(QStringLiteral("changed"), changed));
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, 1);
        const QByteArray expected = changed.right(17).left(16);
        EXPECT_TRUE(
            result.err.startsWith("replay diverged at step 40: expected " + expected + ", got "))
            << result.err.toStdString();
    }
}

TEST_F(Rigid2dTraceReplay, AMillionSpawnsFillTheArrayAndTheRestAreReported) {
    QByteArray file = header;
    for (int i = 0; i < 1000000; ++i)
        file += "1 spawn 640 400\n";
    const QString path = write(QStringLiteral("full"), file);
    const Replayed result = replay(path, {"2"});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.count('\n'), 3 + 40 + spawnRoom);
    EXPECT_EQ(result.err, path.toLocal8Bit() +
                              ": 998976 spawns refused: the scene's array holds 1067 bodies\n");
}
