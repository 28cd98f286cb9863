#include "tests/e2e/programrun.h"

#include <gtest/gtest.h>

namespace {

constexpr int timeoutMs = 20000;

QProcessEnvironment withVariable(const QString &name, const QString &value) {
    QProcessEnvironment environment;
    environment.insert(name, value);
    return environment;
}

int linesContaining(const QByteArray &text, const QByteArray &message) {
    int count = 0;
    for (const QByteArray &line : text.split('\n'))
        count += line.contains(message);
    return count;
}

} // namespace

TEST(Rigid2dDemoFailure, WithoutAnOpenGL21ContextItSaysSoOnceAndExitsWithCode1) {
    // Mesa then offers OpenGL 2.0 at most.
    ProgramRun demo(
        QStringLiteral(RIGID2D_PATH), {},
        withVariable(QStringLiteral("MESA_GL_VERSION_OVERRIDE"), QStringLiteral("2.0")));
    ASSERT_TRUE(demo.started());
    ASSERT_TRUE(demo.finished(timeoutMs)) << "still running";
    EXPECT_TRUE(demo.exitedNormally());
    EXPECT_EQ(demo.exitCode(), 1);
    EXPECT_EQ(
        linesContaining(demo.standardError(), "OpenGL 2.1 compatibility context not available"), 1)
        << demo.standardError().data();
}

TEST(Rigid2dDemoFailure, WithoutAnyOpenGLItSaysTheContextCouldNotBeCreatedAndExitsWithCode1) {
    // Qt's X11 platform then has no way to make an OpenGL context.
    ProgramRun demo(QStringLiteral(RIGID2D_PATH), {},
                    withVariable(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none")));
    ASSERT_TRUE(demo.started());
    ASSERT_TRUE(demo.finished(timeoutMs)) << "still running";
    EXPECT_TRUE(demo.exitedNormally());
    EXPECT_EQ(demo.exitCode(), 1);
    EXPECT_EQ(linesContaining(demo.standardError(), "OpenGL context could not be created"), 1)
        << demo.standardError().data();
}
