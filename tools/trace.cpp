// Builds a scene without a window, runs STEPS world steps and prints one line per body in array
// order: index, type, position x and y, velocity x and y. Floats are printed as hex floats, so two
// builds, compilers or machines can be compared to the last bit with diff.

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/scene.h"
#include "physics/sceneoptions.h"
#include "physics/world.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>   // std::printf, std::fprintf
#include <limits>   // std::numeric_limits
#include <optional> // std::optional

namespace {

const char usage[] = "usage: rigid2d-trace [--scene demo|column|grid] [--bodies N] STEPS";

int rejectArguments(const QString &what) {
    std::fprintf(stderr, "%s (%s)\n", usage, qPrintable(what));
    return 2;
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
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return rejectArguments(QStringLiteral("expects one number of steps"));
    const std::optional<long long> steps =
        wholeNumber(positional.front(), 0, std::numeric_limits<long long>::max());
    if (!steps)
        return rejectArguments(
            QStringLiteral("STEPS: expects a whole number, 0 or more, not \"%1\"")
                .arg(positional.front()));

    EntityArray entities(scene->capacity());
    populateScene(entities, *scene);
    World world;
    for (long long s = 0; s < *steps; ++s)
        world.step(entities);

    for (int i = 0; i < entities.size(); ++i) {
        const BaseEntity *b = entities[i];
        std::printf("%d %d %a %a %a %a\n", i, b->type(), static_cast<double>(b->position.x),
                    static_cast<double>(b->position.y), static_cast<double>(b->velocity.x),
                    static_cast<double>(b->velocity.y));
    }
    deleteEntities(entities);
    return 0;
}
