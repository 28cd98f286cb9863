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

#include "cli/sceneoptions.h"
#include "tools/tracecore.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>   // std::fprintf
#include <optional> // std::optional
#include <string>   // std::string

namespace {

const QString replayOption = QStringLiteral("replay");
const QString saveStateOption = QStringLiteral("save-state");
const QString loadStateOption = QStringLiteral("load-state");

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

// The parser takes "-5" for options named 5: when the first unknown option is a digit, the
// message is about the negative number of steps that the argument is.
std::string negativeSteps(const QCommandLineParser &parser) {
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty() || !unknown.constFirst().front().isDigit())
        return std::string();
    for (const QString &argument : QCoreApplication::arguments()) {
        if (argument.size() > 1 && argument.front() == QLatin1Char('-') && argument.at(1).isDigit())
            return notAStepCount(argument.toLocal8Bit().toStdString());
    }
    return std::string();
}

// Reads the command line; --help and --version print and exit. On a bad argument, returns
// nothing and sets error.
std::optional<TraceRequest> readRequest(QCommandLineParser &parser, std::string &error) {
    addOptions(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        error = negativeSteps(parser);
        if (error.empty())
            error = parser.errorText().toLocal8Bit().toStdString();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    // In the locale's encoding, in which files are named and messages printed.
    const auto value = [&parser](const QString &option) -> std::optional<std::string> {
        if (!parser.isSet(option))
            return std::nullopt;
        return parser.value(option).toLocal8Bit().toStdString();
    };
    const QStringList sceneOptions = sceneOptionNames();
    TraceArguments arguments;
    arguments.scene =
        SceneArguments{value(sceneOptions[0]), value(sceneOptions[1]), value(sceneOptions[2])};
    arguments.replay = value(replayOption);
    arguments.saveState = value(saveStateOption);
    arguments.loadState = value(loadStateOption);
    for (const QString &argument : parser.positionalArguments())
        arguments.positional.push_back(argument.toLocal8Bit().toStdString());
    return traceRequest(arguments, error);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rigid2d-trace"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RIGID2D_VERSION));

    QCommandLineParser parser;
    std::string error;
    const std::optional<TraceRequest> request = readRequest(parser, error);
    if (!request) {
        std::fprintf(stderr, "%s\n", traceUsage(error).c_str());
        return 2;
    }
    return runTrace(*request);
}
