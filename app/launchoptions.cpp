#include "app/launchoptions.h"

#include "cli/fileoptions.h"
#include "cli/sceneoptions.h"
#include "ui/imagefile.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <cmath>  // std::isfinite
#include <limits> // std::numeric_limits

namespace {

const QString pausedOption = QStringLiteral("paused");
const QString overlayOption = QStringLiteral("overlay");
const QString layersOption = QStringLiteral("layers");
const QString rateOption = QStringLiteral("rate");
const QString stepsOption = QStringLiteral("steps");
const QString screenshotOption = QStringLiteral("screenshot");
const QString replayOption = QStringLiteral("replay");
const QString recordOption = QStringLiteral("record");
const QString loadStateOption = QStringLiteral("load-state");

// What QGuiApplication and its platform plugins take out of the arguments (Qt 5.12 to 6.x), with
// whether a value follows. Qt reads them with one dash or two.
struct QtOption {
    const char *name;
    bool takesValue;
};
const QtOption qtOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"geometry", true},
    {"qwindowtitle", true},
    {"title", true},
    {"qwindowicon", true},
    {"icon", true},
    {"session", true},
    {"display", true},
    {"name", true},
    {"visual", true},
    {"style", true},
    {"qmljsdebugger", true},
    {"reverse", false},
    {"nograb", false},
    {"dograb", false},
    {"testability", false},
};

// Qt's options, known so that no other unknown one passes, and left out of the help.
void addQtOptions(QCommandLineParser &parser) {
    for (const QtOption &qt : qtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name), QStringLiteral("Read by Qt."),
                                  qt.takesValue ? QStringLiteral("VALUE") : QString());
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

void addOptions(QCommandLineParser &parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Two-dimensional rigid-body physics: circles fall into a box of three walls "
        "and bounce.\nIn the window, F1 lists every key and button: Space pauses, the left "
        "button grabs and throws circles or drops new ones, the wheel zooms."));
    // Qt's own options are single-dash words (-platform); read them as such, not as letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    addSceneOptions(parser);
    parser.addOption({pausedOption, QStringLiteral("Start paused at step 0.")});
    parser.addOption({overlayOption,
                      QStringLiteral("Start with the statistics shown (H shows or hides them).")});
    parser.addOption({layersOption, QStringLiteral("Start with the contacts, bounding boxes and "
                                                   "velocities drawn (C, A and V toggle them).")});
    parser.addOption(
        {rateOption,
         QStringLiteral("Steps per second of wall-clock time (default 0: one per frame)."),
         QStringLiteral("HZ")});
    parser.addOption(
        {stepsOption, QStringLiteral("Stop after N steps, N at least 1."), QStringLiteral("N")});
    parser.addOption({screenshotOption,
                      QStringLiteral("With --steps: save the frame showing the last step, in "
                                     "the format of the file's extension (PNG without one), and "
                                     "exit."),
                      QStringLiteral("FILE")});
    parser.addOption({replayOption,
                      QStringLiteral("Play a recorded session, one step per frame (or --rate), "
                                     "and pause at its end step."),
                      QStringLiteral("FILE")});
    parser.addOption({recordOption,
                      QStringLiteral("Record the session (a replayed one included) into FILE."),
                      QStringLiteral("FILE")});
    parser.addOption({loadStateOption,
                      QStringLiteral("Start from the state saved in FILE (rigid2d-trace "
                                     "--save-state)."),
                      QStringLiteral("FILE")});
    addQtOptions(parser);
}

LaunchRequest error(const QString &message) {
    LaunchRequest request;
    request.outcome = LaunchRequest::Outcome::Error;
    request.message = message;
    return request;
}

// The files to replay and record; an empty string when all is well, else what is wrong.
QString readFileOptions(const QCommandLineParser &parser, LaunchOptions &options) {
    const QString empty = emptyFileName(parser, {replayOption, recordOption, loadStateOption});
    if (!empty.isEmpty())
        return empty;
    options.replayFile = parser.value(replayOption);
    options.recordFile = parser.value(recordOption);
    options.stateFile = parser.value(loadStateOption);
    const QString replayConflict = sceneFromFileConflict(parser, replayOption, sceneOptionNames());
    if (!replayConflict.isEmpty())
        return replayConflict;
    // A recording or a replay starts from the scene's step 0.
    return sceneFromFileConflict(parser, loadStateOption,
                                 sceneOptionNames() + QStringList{replayOption, recordOption});
}

// --rate and --steps.
QString readPacingOptions(const QCommandLineParser &parser, LaunchOptions &options) {
    if (parser.isSet(rateOption)) {
        bool ok = false;
        const QString text = parser.value(rateOption);
        options.rate = text.toDouble(&ok);
        if (!ok || !std::isfinite(options.rate) || options.rate < 0)
            return QStringLiteral("--rate: expects steps per second, a number 0 or more, "
                                  "not \"%1\"")
                .arg(text);
    }
    if (parser.isSet(stepsOption)) {
        const QString text = parser.value(stepsOption);
        const std::optional<long long> steps =
            wholeNumber(text, 1, std::numeric_limits<long long>::max());
        if (!steps)
            return QStringLiteral("--steps: expects a whole number, 1 or more, not \"%1\"")
                .arg(text);
        options.steps = *steps;
    }
    return QString();
}

QString readScreenshotOption(const QCommandLineParser &parser, LaunchOptions &options) {
    if (!parser.isSet(screenshotOption))
        return QString();
    options.screenshot = parser.value(screenshotOption);
    if (options.steps == 0)
        return QStringLiteral("--screenshot: needs --steps N, the step to capture");
    if (options.paused || options.rate > 0)
        return QStringLiteral("--screenshot: takes one step per frame, so it cannot be "
                              "combined with --paused or --rate");
    const QFileInfo file(options.screenshot);
    if (options.screenshot.isEmpty() || file.isDir())
        return QStringLiteral("--screenshot: expects a file name, not \"%1\"")
            .arg(options.screenshot);
    if (!file.absoluteDir().exists())
        return QStringLiteral("--screenshot: the folder \"%1\" does not exist")
            .arg(QDir::toNativeSeparators(file.absolutePath()));
    if (imageFormatFor(options.screenshot).isEmpty())
        return QStringLiteral("--screenshot: cannot write a \".%1\" file; the extensions Qt "
                              "writes are %2")
            .arg(file.suffix(), writableImageFormats());
    return QString();
}

} // namespace

LaunchRequest readLaunchOptions(const QStringList &arguments) {
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments))
        return error(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        LaunchRequest request;
        request.outcome = LaunchRequest::Outcome::Help;
        request.message = parser.helpText();
        return request;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        LaunchRequest request;
        request.outcome = LaunchRequest::Outcome::Version;
        return request;
    }
    if (!parser.positionalArguments().isEmpty())
        return error(QStringLiteral("unexpected argument \"%1\"")
                         .arg(parser.positionalArguments().constFirst()));

    LaunchRequest request;
    LaunchOptions &options = request.options;
    QString message;
    const std::optional<Scene> scene = readSceneOptions(parser, message);
    if (!scene)
        return error(message);
    options.scene = *scene;
    options.solverChosen = solverOptionSet(parser);
    if (message = readFileOptions(parser, options); !message.isEmpty())
        return error(message);
    options.paused = parser.isSet(pausedOption);
    options.overlay = parser.isSet(overlayOption);
    options.layers = parser.isSet(layersOption);
    if (message = readPacingOptions(parser, options); !message.isEmpty())
        return error(message);
    if (message = readScreenshotOption(parser, options); !message.isEmpty())
        return error(message);
    return request;
}
