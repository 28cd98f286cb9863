#include "tests/app/probewindow.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"

#include <QTest>

#include <gtest/gtest.h>

#include <map>     // std::map
#include <utility> // std::pair
#include <vector>  // std::vector

namespace {

LaunchOptions gridOf1000(bool paused) {
    LaunchOptions options;
    options.scene = Scene{SceneKind::Grid, 1000};
    options.paused = paused;
    return options;
}

LaunchOptions pausedDemo() {
    LaunchOptions options;
    options.paused = true;
    return options;
}

QStringList gridTrace(long long steps) {
    return {"--scene", "grid", "--bodies", "1000", "--solver", "designed", QString::number(steps)};
}

void press(ProbeWindow &window, Qt::Key key) {
    QTest::keyClick(&window, key);
}

// Opens the prompt with key and answers it with text in place of what it offers.
void typeAt(ProbeWindow &window, Qt::Key key, const char *text) {
    press(window, key);
    QTest::keyClick(&window, Qt::Key_U, Qt::ControlModifier);
    for (const char *c = text; *c; ++c)
        QTest::keyClick(&window, *c);
    press(window, Qt::Key_Return);
}

// Lets a few frames pass, so that what the keys did has been drawn.
bool settle(const ProbeWindow &window) {
    return waitForFrames(window, window.frames() + 3);
}

} // namespace

TEST(MainWindowSandbox, StateFollowsTheHeadlessTraceThroughPauseSingleStepsAndRestart) {
    ProbeWindow window(gridOf1000(false));
    showAsMainDoes(window);
    ASSERT_TRUE(waitForFrames(window, 40));

    press(window, Qt::Key_Space);
    const long long pausedAt = window.session()->sandbox().sceneStep();
    ASSERT_TRUE(settle(window));
    EXPECT_TRUE(window.paused());
    EXPECT_EQ(window.session()->sandbox().sceneStep(), pausedAt);
    EXPECT_TRUE(sameAsTrace(window.bodies(), gridTrace(pausedAt)));

    for (int i = 0; i < 3; ++i)
        press(window, Qt::Key_N);
    ASSERT_TRUE(settle(window));
    EXPECT_EQ(window.session()->sandbox().sceneStep(), pausedAt + 3);
    EXPECT_TRUE(sameAsTrace(window.bodies(), gridTrace(pausedAt + 3)));

    press(window, Qt::Key_R);
    ASSERT_TRUE(settle(window));
    EXPECT_TRUE(window.paused());
    EXPECT_EQ(window.session()->sandbox().sceneStep(), 0);
    EXPECT_TRUE(sameAsTrace(window.bodies(), gridTrace(0)));

    press(window, Qt::Key_Space);
    ASSERT_TRUE(waitForFrames(window, window.frames() + 30));
    press(window, Qt::Key_Space);
    EXPECT_TRUE(sameAsTrace(window.bodies(), gridTrace(window.session()->sandbox().sceneStep())));
    EXPECT_GE(window.session()->sandbox().sceneStep(), 30);

    press(window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

// The digit keys build the scene table's rows at step 0, paused as before: a scene whose count is
// fixed with its own, the others with the count shown, each with its own solver.
TEST(MainWindowSandbox, TheDigitKeysSwitchToTheRowsOfTheSceneTable) {
    ProbeWindow window(gridOf1000(true));
    showAsMainDoes(window);
    ASSERT_TRUE(waitForFrames(window, 2));
    const struct {
        Qt::Key key;
        SceneKind kind;
        int circles;
        World::Solver solver;
    } presses[] = {
        {Qt::Key_2, SceneKind::Column, 1000, World::Solver::Stable},
        {Qt::Key_1, SceneKind::Demo, 100, World::Solver::Designed},
        {Qt::Key_3, SceneKind::Grid, 100, World::Solver::Stable},
        {Qt::Key_4, SceneKind::Pyramid, 100, World::Solver::Stable},
        {Qt::Key_6, SceneKind::Mix, 100, World::Solver::Stable},
        // Beyond the table: nothing changes.
        {Qt::Key_7, SceneKind::Mix, 100, World::Solver::Stable},
    };
    for (const auto &p : presses) {
        SCOPED_TRACE(p.key);
        press(window, p.key);
        ASSERT_TRUE(settle(window));
        const Scene &scene = window.session()->sandbox().scene();
        EXPECT_EQ(scene.kind, p.kind);
        EXPECT_EQ(scene.circles, p.circles);
        EXPECT_EQ(scene.solver, p.solver);
        EXPECT_EQ(window.session()->sandbox().sceneStep(), 0);
        EXPECT_TRUE(window.paused());
    }
}

TEST(MainWindowSandbox, PausedFramesAreIdenticalAndTheOverlayLeavesNoTraceOnceHidden) {
    ProbeWindow window(gridOf1000(true));
    Framebuffer last;
    window.observeFrames([&](int) { last = window.readFramebuffer(); });
    showAsMainDoes(window);
    ASSERT_TRUE(waitForFrames(window, 2));
    const Framebuffer first = last;
    ASSERT_TRUE(settle(window));
    EXPECT_EQ(last.rgba, first.rgba);

    press(window, Qt::Key_H);
    ASSERT_TRUE(settle(window));
    ASSERT_TRUE(window.overlayShown());
    const Framebuffer withOverlay = last;
    // Text and plots are drawn, and only in the top-left quarter.
    int changed = 0;
    for (int y = 0; y < first.height; ++y) {
        for (int x = 0; x < first.width; ++x) {
            if (first.pixel(x, y) == withOverlay.pixel(x, y))
                continue;
            ++changed;
            ASSERT_LT(x, first.width / 4) << "at (" << x << ", " << y << ")";
            ASSERT_GT(y, first.height / 2) << "at (" << x << ", " << y << ")";
        }
    }
    EXPECT_GT(changed, 100);

    press(window, Qt::Key_H);
    ASSERT_TRUE(settle(window));
    EXPECT_EQ(last.rgba, first.rgba);
    EXPECT_EQ(window.session()->sandbox().sceneStep(), 0);
    EXPECT_EQ(window.firstGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

// While paused, B and Page Up go back one and sixty steps to the very states the run had there,
// and Page Down goes sixty steps on again.
TEST(MainWindowSandbox, GoingBackAndForthWhilePausedShowsTheStatesOfThoseSteps) {
    LaunchOptions options = gridOf1000(false);
    options.steps = 150;
    ProbeWindow window(options);
    showAsMainDoes(window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.paused(); }, 60000));
    ASSERT_EQ(window.session()->sandbox().totalSteps(), 150);

    press(window, Qt::Key_PageUp);
    ASSERT_TRUE(settle(window));
    EXPECT_EQ(window.session()->sandbox().sceneStep(), 90);
    EXPECT_TRUE(sameAsTrace(window.bodies(), gridTrace(90)));
    press(window, Qt::Key_B);
    ASSERT_TRUE(settle(window));
    EXPECT_TRUE(sameAsTrace(window.bodies(), gridTrace(89)));
    press(window, Qt::Key_PageDown);
    ASSERT_TRUE(settle(window));
    EXPECT_TRUE(sameAsTrace(window.bodies(), gridTrace(149)));
}

// The plots follow the history: after going back they are what they were when the run first
// reached that step, and the steps taken again are plotted once.
TEST(MainWindowSandbox, AfterGoingBackThePlotsAreThoseOfThatStep) {
    LaunchOptions options = gridOf1000(false);
    options.overlay = true;
    options.steps = 150;
    ProbeWindow window(options);
    std::map<long long, std::vector<Plot>> drawnAt;
    window.observeFrames([&](int) {
        drawnAt.emplace(window.session()->sandbox().totalSteps(), window.statistics().plots());
    });
    showAsMainDoes(window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.paused(); }, 60000));
    ASSERT_TRUE(settle(window));
    ASSERT_EQ(drawnAt.at(150).size(), 2u);

    for (const auto &[key, step] : {std::pair{Qt::Key_PageUp, 90}, std::pair{Qt::Key_B, 89}}) {
        press(window, key);
        ASSERT_TRUE(settle(window));
        ASSERT_EQ(window.session()->sandbox().totalSteps(), step);
        for (std::size_t i = 0; i < 2; ++i)
            EXPECT_EQ(window.statistics().plots()[i].values, drawnAt.at(step)[i].values) << step;
    }
    // Sixty steps taken again: the same energies, each step's time once.
    press(window, Qt::Key_PageDown);
    ASSERT_TRUE(settle(window));
    const std::vector<Plot> &plots = window.statistics().plots();
    EXPECT_EQ(plots[0].values.size(), drawnAt.at(149)[0].values.size());
    EXPECT_EQ(plots[1].values, drawnAt.at(149)[1].values);
}

// # asks for an exact number of circles: the scene again with that many (the demo's layout with
// another count is the column); what is not such a number changes nothing and says why.
TEST(MainWindowSandbox, ATypedNumberOfCirclesBuildsTheSceneWithThatMany) {
    ProbeWindow window(pausedDemo());
    showAsMainDoes(window);
    ASSERT_TRUE(settle(window));
    const auto type = [&](const char *text) { typeAt(window, Qt::Key_NumberSign, text); };
    type("250");
    EXPECT_EQ(window.session()->sandbox().scene().label(), "column/250");
    EXPECT_EQ(window.bodies().size(), 253);
    press(window, Qt::Key_3);
    type("1234");
    EXPECT_EQ(window.session()->sandbox().scene().label(), "grid/1234");
    type("-3");
    EXPECT_EQ(window.session()->sandbox().scene().label(), "grid/1234");
    EXPECT_TRUE(window.statusLines().join('\n').contains(QStringLiteral("expects a whole number")));
}

// F2's panel gives the line chosen the value typed, exactly, as an input of the session: going
// back before it undoes it. A value beyond the range changes nothing and says why; Escape closes
// the panel, not the window.
TEST(MainWindowSandbox, TheSettingsPanelSetsAValueTypedAsAnInput) {
    ProbeWindow window(pausedDemo());
    showAsMainDoes(window);
    ASSERT_TRUE(settle(window));
    const auto type = [&](const char *text) { typeAt(window, Qt::Key_Return, text); };
    const auto settings = [&] { return window.session()->sandbox().settings(); };
    press(window, Qt::Key_N);
    press(window, Qt::Key_F2);
    press(window, Qt::Key_Down);
    press(window, Qt::Key_Down);
    type("0.65");
    EXPECT_EQ(settings().step.restitution, 0.65f);
    press(window, Qt::Key_Up);
    type("-2.5");
    EXPECT_EQ(settings().step.gravity.y, -2.5f);
    press(window, Qt::Key_Up);
    type("11");
    EXPECT_EQ(settings().step.gravity.x, 0.0f);
    EXPECT_TRUE(window.statusLines().join('\n').contains(
        QStringLiteral("gravity x expects a number from -10 to 10, not \"11\"")));
    press(window, Qt::Key_Escape);
    ASSERT_TRUE(settle(window));
    EXPECT_TRUE(window.isVisible());

    press(window, Qt::Key_B);
    EXPECT_EQ(window.session()->sandbox().totalSteps(), 0);
    EXPECT_TRUE(sameSettings(settings(), SandboxSettings()));
}
