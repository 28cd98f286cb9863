#include "app/launchoptions.h"

#include <gtest/gtest.h>

namespace {

LaunchRequest read(const QStringList &arguments) {
    return readLaunchOptions(QStringList{QStringLiteral("rigid2d")} + arguments);
}

} // namespace

TEST(LaunchOptions, NoArgumentsIsTheDesignedDemoRunningOneStepPerFrame) {
    const LaunchRequest request = read({});
    ASSERT_EQ(request.outcome, LaunchRequest::Outcome::Run);
    EXPECT_EQ(request.options.scene.kind, SceneKind::Demo);
    EXPECT_EQ(request.options.scene.circles, 100);
    EXPECT_FALSE(request.options.paused);
    EXPECT_EQ(request.options.rate, 0);
    EXPECT_EQ(request.options.steps, 0);
}

TEST(LaunchOptions, BodiesAloneMeansTheDemosLayoutWithThatManyCircles) {
    const LaunchRequest request = read({"--bodies", "2000"});
    ASSERT_EQ(request.outcome, LaunchRequest::Outcome::Run);
    EXPECT_EQ(request.options.scene.kind, SceneKind::Column);
    EXPECT_EQ(request.options.scene.circles, 2000);
}

TEST(LaunchOptions, EveryBadValueIsOneLineNamingItsOption) {
    const struct {
        QStringList arguments;
        const char *named;
    } cases[] = {
        {{"--scene", "pile"}, "--scene"},
        {{"--bodies", "-1"}, "--bodies"},
        {{"--bodies", "100001"}, "--bodies"},
        {{"--bodies", "1e3"}, "--bodies"},
        {{"--scene", "demo", "--bodies", "50"}, "--bodies"},
        {{"--rate", "-5"}, "--rate"},
        {{"--rate", "fast"}, "--rate"},
        {{"--rate", "inf"}, "--rate"},
        {{"--steps", "0"}, "--steps"},
        {{"--screenshot", "a.png"}, "--screenshot"},
        {{"--steps", "3", "--screenshot", "/no/such/folder/a.png"}, "--screenshot"},
        {{"--steps", "3", "--paused", "--screenshot", "a.png"}, "--screenshot"},
        {{"--replay", "session", "--bodies", "200"}, "--replay"},
        {{"--record", ""}, "--record"},
        {{"--bodies"}, "bodies"},
        {{"--colour"}, "colour"},
        {{"extra"}, "extra"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const LaunchRequest request = read(c.arguments);
        ASSERT_EQ(request.outcome, LaunchRequest::Outcome::Error);
        EXPECT_TRUE(request.message.contains(QLatin1String(c.named)))
            << request.message.toStdString();
        EXPECT_FALSE(request.message.contains('\n'));
    }
}

// Read before QGuiApplication takes Qt's options out: Qt's own pass with their values, and an
// option QGuiApplication does not take (-stylesheet is QApplication's) is as unknown as any.
TEST(LaunchOptions, QtsOwnOptionsPassAndNoOtherUnknownOne) {
    const LaunchRequest qts =
        read({"-platform", "xcb", "--display", ":1", "-reverse", "--bodies", "7"});
    ASSERT_EQ(qts.outcome, LaunchRequest::Outcome::Run) << qts.message.toStdString();
    EXPECT_EQ(qts.options.scene.circles, 7);
    EXPECT_EQ(read({"-stylesheet", "s.qss", "--bodies", "7"}).outcome,
              LaunchRequest::Outcome::Error);
}
