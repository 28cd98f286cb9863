// Builds a scene without a window, runs STEPS world steps and prints one line per body in array
// order: index, type, position x and y, velocity x and y. Floats are printed as hex floats, so two
// builds, compilers or machines can be compared to the last bit with diff.
//
// With --replay FILE it plays a recorded session instead, to the file's end step, and checks the
// file's checkpoints on the way and the hash of the state there against the file's: exit code 1
// when one differs, 2 for a bad file. --load-state FILE starts from a saved state instead of the
// scene, and --save-state FILE saves the state reached.
//
// When bodies of the final state have a position or velocity that is not finite, one warning line
// on stderr says how many; the listing and the exit code stay as they are.

#include "cli/fileargument.h"
#include "cli/fileoptions.h"
#include "cli/sceneoptions.h"
#include "core/entityarray.h"
#include "physics/finitebodies.h"
#include "session/session.h"
#include "state/statefile.h"
#include "text/scenetext.h"
#include "text/statetext.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdint>  // std::uint64_t
#include <cstdio>   // std::fwrite, std::fflush, std::fprintf
#include <limits>   // std::numeric_limits
#include <optional> // std::optional
#include <string>   // std::string
#include <utility>  // std::move

namespace {

const QString replayOption = QStringLiteral("replay");
const QString saveStateOption = QStringLiteral("save-state");
const QString loadStateOption = QStringLiteral("load-state");

// What the command line asks for: a scene and a number of steps, or a replay and where to stop.
struct TraceRequest {
    Scene scene;
    bool replaying = false;
    QString replayFile;
    // Empty when not asked for.
    QString saveFile;
    QString loadFile;
    std::optional<long long> steps;
};

int rejectArguments(const QString &what) {
    std::fprintf(stderr,
                 "usage: rigid2d-trace [--scene %s] [--bodies N] [--save-state FILE] STEPS, "
                 "rigid2d-trace --load-state FILE STEPS, or rigid2d-trace --replay FILE [STEPS] "
                 "(%s)\n",
                 sceneNamesAsChoice().c_str(), qPrintable(what));
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

// Prints the state, and saves it too when asked to.
int finish(const Session &session, const QString &saveFile) {
    if (!saveFile.isEmpty()) {
        SessionSnapshot snapshot;
        session.take(snapshot);
        FileFault fault;
        if (!writeStateFile(saveFile.toLocal8Bit().toStdString(), snapshot.sandbox, fault)) {
            std::fprintf(stderr, "rigid2d-trace: --save-state: %s\n", fault.message().c_str());
            return 1;
        }
    }
    return printState(session.sandbox());
}

// Plays the file to its end step and checks its checkpoints on the way and the hash there, or to
// stopAt, checking the checkpoints passed.
int replay(const QString &path, std::optional<long long> stopAt, const QString &saveFile) {
    std::optional<Replay> read =
        readReplayArgument(path, stopAt ? EndRecord::Optional : EndRecord::Required);
    if (!read)
        return 2;
    const std::optional<ReplayEnd> end = read->end;
    Session session(read->recording.scene);
    session.keepHistory(false);
    session.play(std::move(read->recording));
    session.playTo(stopAt ? *stopAt : end->step);
    if (reportReplayFault(path, session))
        return 2;
    warnOfRefusedSpawns(path, session);
    if (finish(session, saveFile) != 0)
        return 1;
    std::optional<Divergence> diverged = session.divergence();
    if (!diverged && !stopAt)
        diverged = divergenceAtEnd(*end, session);
    if (!diverged)
        return 0;
    reportDivergence(*diverged);
    return 1;
}

// Steps on from a saved state.
int continueState(const TraceRequest &request) {
    const std::optional<SessionSnapshot> state = readStateArgument(request.loadFile);
    if (!state)
        return 2;
    Session session(state->sandbox.scene);
    session.keepHistory(false);
    session.restore(*state);
    session.playTo(state->sandbox.totalSteps + *request.steps);
    return finish(session, request.saveFile);
}

void addOptions(QCommandLineParser &parser) {
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
    parser.addOption({saveStateOption,
                      QStringLiteral("Save the state reached, after STEPS steps, into FILE."),
                      QStringLiteral("FILE")});
    parser.addOption({loadStateOption,
                      QStringLiteral("Start from the state saved in FILE and take STEPS more "
                                     "steps."),
                      QStringLiteral("FILE")});
    parser.addPositionalArgument(QStringLiteral("STEPS"),
                                 QStringLiteral("Number of steps to take, 0 or more."));
}

QString notAStepCount(const QString &argument) {
    return QStringLiteral("STEPS: expects a whole number, 0 or more, not \"%1\"").arg(argument);
}

// The parser takes "-5" for options named 5: when the first unknown option is a digit, the
// message is about the negative number of steps that the argument is.
QString negativeSteps(const QCommandLineParser &parser) {
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty() || !unknown.constFirst().front().isDigit())
        return QString();
    for (const QString &argument : QCoreApplication::arguments()) {
        if (argument.size() > 1 && argument.front() == QLatin1Char('-') && argument.at(1).isDigit())
            return notAStepCount(argument);
    }
    return QString();
}

// Reads the command line; --help and --version print and exit. On a bad argument, returns
// nothing and sets error.
std::optional<TraceRequest> readRequest(QCommandLineParser &parser, QString &error) {
    addOptions(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        error = negativeSteps(parser);
        if (error.isEmpty())
            error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    TraceRequest request;
    const std::optional<Scene> scene = readSceneOptions(parser, error);
    if (!scene)
        return std::nullopt;
    request.scene = *scene;
    const bool replaying = parser.isSet(replayOption);
    request.replaying = replaying;
    request.replayFile = parser.value(replayOption);
    error = sceneFromFileConflict(parser, replayOption, sceneOptionNames());
    if (error.isEmpty())
        error = emptyFileName(parser, {saveStateOption, loadStateOption});
    if (error.isEmpty())
        error = sceneFromFileConflict(parser, loadStateOption,
                                      QStringList{replayOption} + sceneOptionNames());
    if (!error.isEmpty())
        return std::nullopt;
    request.saveFile = parser.value(saveStateOption);
    request.loadFile = parser.value(loadStateOption);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1 || (positional.isEmpty() && !replaying)) {
        error = QStringLiteral("expects one number of steps");
        return std::nullopt;
    }
    if (!positional.isEmpty()) {
        request.steps = wholeNumber(positional.front(), 0, std::numeric_limits<long long>::max());
        if (!request.steps) {
            error = notAStepCount(positional.front());
            return std::nullopt;
        }
    }
    return request;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rigid2d-trace"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RIGID2D_VERSION));

    QCommandLineParser parser;
    QString error;
    const std::optional<TraceRequest> request = readRequest(parser, error);
    if (!request)
        return rejectArguments(error);
    if (request->replaying)
        return replay(request->replayFile, request->steps, request->saveFile);
    if (!request->loadFile.isEmpty())
        return continueState(*request);

    Session session(request->scene);
    session.keepHistory(false);
    session.playTo(*request->steps);
    return finish(session, request->saveFile);
}
