// Files made before the stable solver had revisions name none: they play on with its first
// revision, to the same bits as in the program that made them. Files made with its second revision
// name it, and play on with it.

#include "tests/e2e/programrun.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int timeoutMs = 120000;

QString oldFile(const char *name) {
    return QStringLiteral(RIGID2D_OLD_FILES "/") + QString::fromLatin1(name);
}

struct Traced {
    int exitCode;
    QByteArray err;
};

Traced trace(const QStringList &arguments) {
    ProgramRun run(QStringLiteral(RIGID2D_TRACE_PATH), arguments);
    const bool finished = run.started() && run.finished(timeoutMs) && run.exitedNormally();
    return {finished ? run.exitCode() : -1, run.standardError()};
}

} // namespace

// Each recorded with --solver stable by the program of the time, the end record holding the hash
// it reached: grid 1000 with three circles dropped in, one grabbed, dragged and let go (version 2);
// a mix of 200 circles and boxes with friction, two boxes and a circle dropped, a body grabbed
// (version 4); grid 300 of revision 2 with a circle and a box dropped, a body grabbed (version 5).
TEST(OldFiles, AStableReplayReachesItsEndHash) {
    for (const char *name :
         {"stable-revision1.replay", "stable-revision1-mix.replay", "stable-revision2.replay"}) {
        const Traced run = trace({"--replay", oldFile(name)});
        EXPECT_EQ(run.exitCode, 0) << name << ": " << run.err.constData();
    }
}

// Saved by the program of the time: a stable grid of 200 after 400 steps (version 1), a mix of 60
// circles and boxes after 200 (version 3), and after 200 with revision 2 (version 4); the hash is
// what that program saved after 300 steps more. The state goes on in the file's version and
// revision.
TEST(OldFiles, AStableStateContinuesAsItDidAndIsSavedInItsVersion) {
    const struct {
        const char *name;
        const char *start;
        const char *end;
    } cases[] = {
        {"stable-revision1.state", "rigid2d-state 1\nscene grid 200 stable\n",
         "\nhash 2e87d51a72e24f6e\n"},
        {"stable-revision1-mix.state", "rigid2d-state 3\nscene mix 60 stable\n",
         "\nhash 5c3657a107c7eb6f\n"},
        {"stable-revision2-mix.state", "rigid2d-state 4\nscene mix 60 stable 2\n",
         "\nhash f73c8f8174256b6e\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("continued.state"));
        const Traced run = trace({"--load-state", oldFile(c.name), "--save-state", path, "300"});
        ASSERT_EQ(run.exitCode, 0) << run.err.constData();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        EXPECT_TRUE(saved.startsWith(c.start));
        EXPECT_TRUE(saved.endsWith(c.end));
    }
}
