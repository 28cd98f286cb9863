// Builds a scene without a window, runs STEPS world steps and prints one line per body in array
// order: index, type, position x and y, velocity x and y. Floats are printed as hex floats, so two
// builds, compilers or machines can be compared to the last bit with diff.
//
// With --replay FILE it plays a recorded session instead, to the file's end step, and checks the
// hash of the state there against the file's: exit code 1 when they differ, 2 for a bad file.
//
// When bodies of the final state have a position or velocity that is not finite, one warning line
// on stderr says how many; the listing and the exit code stay as they are.

#include "core/entityarray.h"
#include "physics/finitebodies.h"
#include "physics/replayplayer.h"
#include "physics/sandbox.h"
#include "physics/scene.h"
#include "physics/sceneoptions.h"
#include "physics/statetext.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>   // std::fwrite, std::fflush, std::fprintf
#include <limits>   // std::numeric_limits
#include <optional> // std::optional
#include <string>   // std::string
#include <utility>  // std::move

namespace {

const char usage[] = "usage: rigid2d-trace [--scene demo|column|grid] [--bodies N] STEPS, or "
                     "rigid2d-trace --replay FILE [STEPS]";
const QString replayOption = QStringLiteral("replay");

int rejectArguments(const QString &what) {
    std::fprintf(stderr, "%s (%s)\n", usage, qPrintable(what));
    return 2;
}

int printState(const Sandbox &sandbox) {
    const std::string text = stateText(sandbox.bodies());
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    // The listing shows them as nan or inf; this says so where a reader looks for trouble.
    if (const int nonFinite = countNonFiniteBodies(sandbox.bodies()); nonFinite > 0)
        std::fprintf(stderr,
                     "rigid2d-trace: warning: %d of %d bodies have a position or velocity that is "
                     "not finite; they have left the simulation\n",
                     nonFinite, sandbox.bodies().size());
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

// Plays the file to its end step and checks the hash there, or to stopAt without a check.
int replay(const QString &path, std::optional<long long> stopAt) {
    std::string error;
    std::optional<Replay> read =
        readReplayFile(path, stopAt ? EndRecord::Optional : EndRecord::Required, error);
    if (!read) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (const std::string warning = refusedSpawnsWarning(path, *read); !warning.empty())
        std::fprintf(stderr, "%s\n", warning.c_str());

    Sandbox sandbox(read->scene);
    sandbox.restart();
    ReplayPlayer player(std::move(*read));
    const std::optional<ReplayEnd> end = player.replay().end;
    player.playTo(sandbox, stopAt ? *stopAt : end->step);
    if (printState(sandbox) != 0)
        return 1;
    if (stopAt)
        return 0;
    const std::string expected = hashDigits(end->hash);
    const std::string got = stateHash(sandbox.bodies());
    if (got == expected)
        return 0;
    std::fprintf(stderr, "replay diverged at step %lld: expected %s, got %s\n", end->step,
                 expected.c_str(), got.c_str());
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rigid2d-trace"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RIGID2D_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Steps a scene without a window and prints every body's state as "
                       "\"index type px py vx vy\", the floats in hex."));
    parser.addHelpOption();
    parser.addVersionOption();
    addSceneOptions(parser);
    parser.addOption({replayOption,
                      QStringLiteral("Play a recorded session to its end step and check that "
                                     "the state there has the file's hash (exit code 1 if not); "
                                     "with STEPS, stop at that step instead, unchecked."),
                      QStringLiteral("FILE")});
    parser.addPositionalArgument(QStringLiteral("STEPS"),
                                 QStringLiteral("Number of steps to take, 0 or more."));
    if (!parser.parse(QCoreApplication::arguments()))
        return rejectArguments(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    QString error;
    const std::optional<Scene> scene = readSceneOptions(parser, error);
    if (!scene)
        return rejectArguments(error);
    const bool replaying = parser.isSet(replayOption);
    if (replaying && sceneOptionsSet(parser))
        return rejectArguments(QStringLiteral("--replay: the scene comes from the file, so "
                                              "--scene and --bodies do not go with it"));
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1 || (positional.isEmpty() && !replaying))
        return rejectArguments(QStringLiteral("expects one number of steps"));
    std::optional<long long> steps;
    if (!positional.isEmpty()) {
        steps = wholeNumber(positional.front(), 0, std::numeric_limits<long long>::max());
        if (!steps)
            return rejectArguments(
                QStringLiteral("STEPS: expects a whole number, 0 or more, not \"%1\"")
                    .arg(positional.front()));
    }
    if (replaying)
        return replay(parser.value(replayOption), steps);

    Sandbox sandbox(*scene);
    sandbox.restart();
    for (long long s = 0; s < *steps; ++s)
        sandbox.step();
    return printState(sandbox);
}
