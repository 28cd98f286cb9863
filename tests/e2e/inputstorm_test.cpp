// Thousands of random inputs through the real X server, as an impatient person gives them: left
// and right clicks and drags anywhere in the window, on the walls and far from the scene (drops,
// grabs and throws, pans), wheel turns, every key (pause, steps, restarts, solver and scene
// switches, fewer circles and back, the drawings, the view) in any order, resizes, the window
// hidden and shown again. The session is recorded, so that once
// the window is closed its state can be replayed headless and checked body by body.

#include "tests/e2e/programrun.h"
#include "tests/e2e/x11user.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cstdlib>  // std::llabs
#include <memory>   // std::unique_ptr
#include <ostream>  // std::ostream
#include <random>   // std::mt19937, std::uniform_int_distribution
#include <unistd.h> // sysconf

namespace {

constexpr int warmUpMs = 2000;
constexpr int stormMs = 10000;
constexpr int timeoutMs = 30000;
const QByteArray rightClickLine = "Right mouse click! \n";

struct StormScene {
    const char *name;
    QStringList arguments;
    int capacity; // the scene's bodies and 1 024 spawned
};

void PrintTo(const StormScene &scene, std::ostream *out) {
    *out << scene.name;
}

// The resident set of a process, in KiB; 0 if it cannot be read.
long long residentKiB(long long pid) {
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

class InputStorm : public ::testing::TestWithParam<StormScene> {
protected:
    void SetUp() override {
        ASSERT_TRUE(user.ready()) << "no X display with XTest";
        record = folder.filePath(QStringLiteral("session"));
        demo = std::make_unique<ProgramRun>(QStringLiteral(RIGID2D_PATH),
                                            GetParam().arguments + QStringList{"--record", record});
        ASSERT_TRUE(demo->started());
        for (int waited = 0; window == 0 && demo->isRunning() && waited < timeoutMs; waited += 20) {
            QThread::msleep(20);
            const std::vector<X11User::Window> windows = user.viewableWindowsOf(demo->pid());
            window = windows.empty() ? 0 : windows.front();
        }
        ASSERT_NE(window, 0u) << "no window; stderr: " << demo->standardError().data();
    }

    // The window answers a right click within the time limit, so its event loop is running.
    ::testing::AssertionResult responsive() {
        if (!user.isViewable(window)) {
            user.map(window);
            QThread::msleep(50);
        }
        const int before = demo->standardError().count(rightClickLine);
        user.click(window, X11User::rightButton, QPoint(5, 5));
        if (demo->wroteToStandardError(rightClickLine, timeoutMs, before + 1))
            return ::testing::AssertionSuccess();
        if (!demo->isRunning())
            return ::testing::AssertionFailure() << "the program ended";
        return ::testing::AssertionFailure()
               << "no answer to a right click for " << timeoutMs << " ms";
    }

    // One random input; the window's size is what this storm last asked of it.
    void randomInput(std::mt19937 &random) {
        const auto pick = [&](int below) {
            return std::uniform_int_distribution<int>(0, below - 1)(random);
        };
        const QSize size = user.size(window);
        const QPoint anywhere(pick(size.width()), pick(size.height()));
        const QPoint elsewhere(pick(size.width()), pick(size.height()));
        // No key makes a scene larger than the one the storm started with, so memory can be
        // compared: the count is only ever halved and doubled back.
        const unsigned long keys[] = {XK_space, XK_n,    XK_r,     XK_h,    XK_s,  XK_1,
                                      XK_2,     XK_3,    XK_c,     XK_a,    XK_v,  XK_0,
                                      XK_f,     XK_plus, XK_minus, XK_Left, XK_Up, XK_F1};
        const int kind = pick(100);
        if (kind < 30)
            user.click(window, X11User::leftButton, anywhere);
        else if (kind < 40)
            user.drag(window, X11User::leftButton, anywhere, elsewhere);
        else if (kind < 45)
            user.click(window, X11User::rightButton, anywhere);
        else if (kind < 50)
            user.drag(window, X11User::rightButton, anywhere, elsewhere);
        else if (kind < 55)
            user.click(window, pick(2) ? X11User::wheelUp : X11User::wheelDown, anywhere);
        else if (kind < 90)
            user.pressKey(window, keys[pick(sizeof keys / sizeof keys[0])]);
        else if (kind < 93) {
            user.pressKey(window, XK_bracketleft);
            user.pressKey(window, XK_bracketright);
        } else if (kind < 97)
            user.resize(window, QSize(200 + pick(1400), 150 + pick(900)));
        else if (user.isViewable(window))
            user.unmap(window);
        else
            user.map(window);
    }

    X11User user;
    QTemporaryDir folder;
    QString record;
    std::unique_ptr<ProgramRun> demo;
    X11User::Window window = 0;
};

} // namespace

TEST_P(InputStorm, LeavesTheProgramResponsiveItsBodiesFiniteAndItsMemoryFlat) {
    // A short storm first, so that what is allocated on first use (the overlay's font, buffers
    // for larger windows and more bodies) is in the memory measured before the long one.
    std::mt19937 random(20261208);
    QElapsedTimer storm;
    storm.start();
    while (storm.elapsed() < warmUpMs)
        randomInput(random);
    ASSERT_TRUE(responsive());
    const long long before = residentKiB(demo->pid());

    int inputs = 0;
    storm.start();
    while (storm.elapsed() < stormMs) {
        randomInput(random);
        if (++inputs % 250 == 0) {
            ASSERT_TRUE(responsive()) << "after " << inputs << " inputs";
        }
    }
    ASSERT_TRUE(responsive()) << "after " << inputs << " inputs";
    const long long after = residentKiB(demo->pid());
    RecordProperty("inputs", inputs);
    RecordProperty("residentKiBBefore", static_cast<int>(before));
    RecordProperty("residentKiBAfter", static_cast<int>(after));

#ifndef RIGID2D_SANITIZED
    // A sanitizer's allocator holds freed memory back on purpose.
    EXPECT_LE(std::llabs(after - before) * 10, before)
        << "resident set " << before << " KiB before the storm, " << after << " KiB after";
#endif

    user.requestClose(window);
    ASSERT_TRUE(demo->finished(timeoutMs));
    EXPECT_TRUE(demo->exitedNormally());
    EXPECT_EQ(demo->exitCode(), 0) << demo->standardError().data();

    // The window's state at close, replayed headless: the hash in the record proves it is the
    // same state to the last bit.
    ProgramRun replay(QStringLiteral(RIGID2D_TRACE_PATH), {"--replay", record});
    ASSERT_TRUE(replay.finished(timeoutMs));
    ASSERT_EQ(replay.exitCode(), 0) << replay.standardError().data();
    const QByteArray state = replay.standardOutput();
    EXPECT_LE(state.count('\n'), GetParam().capacity);
    EXPECT_FALSE(state.contains("nan") || state.contains("inf")) << "a body is not finite";

    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray session = file.readAll();
    EXPECT_TRUE(session.contains(" spawn ") && session.contains(" restart\n") &&
                session.contains(" grab ") && session.contains(" scene "))
        << "the clicks and keys did not reach the window";
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, InputStorm,
    ::testing::Values(StormScene{"Demo", {}, 103 + 1024},
                      StormScene{"Grid5000", {"--scene", "grid", "--bodies", "5000"}, 5003 + 1024}),
    [](const ::testing::TestParamInfo<StormScene> &info) { return info.param.name; });
