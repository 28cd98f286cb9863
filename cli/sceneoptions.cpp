#include "cli/sceneoptions.h"

#include "text/scenetext.h"
#include "text/wholenumber.h"

#include <QCommandLineParser>

#include <string> // std::string
#include <vector> // std::vector

namespace {

const QString sceneOption = QStringLiteral("scene");
const QString bodiesOption = QStringLiteral("bodies");
const QString solverOption = QStringLiteral("solver");

QString sceneHelp() {
    QString help = QStringLiteral("The scene (default demo):");
    for (const SceneKindInfo &info : sceneTable())
        help += QStringLiteral("\n%1: %2.")
                    .arg(QString::fromLatin1(info.name), QString::fromLatin1(info.description));
    return help;
}

QString solverHelp() {
    std::vector<std::string> solvers;
    for (const SolverInfo &info : solverTable())
        solvers.push_back(std::string(info.name) + " (" + info.description + ")");
    return QStringLiteral("How contacts are resolved: %1.")
        .arg(QString::fromStdString(inProse(solvers, "or")));
}

} // namespace

void addSceneOptions(QCommandLineParser &parser) {
    parser.addOption({sceneOption, sceneHelp(), QString::fromStdString(sceneNamesAsChoice())});
    parser.addOption({bodiesOption,
                      QStringLiteral("Number of circles in a column or grid scene, 0 to %1 "
                                     "(default %2); alone, the demo's layout with N circles.")
                          .arg(maxSceneCircles)
                          .arg(demoCircleCount),
                      QStringLiteral("N")});
    parser.addOption({solverOption, solverHelp(), QString::fromStdString(solverNamesAsChoice())});
}

std::optional<Scene> readSceneOptions(const QCommandLineParser &parser, QString &error) {
    Scene scene;
    const bool kindChosen = parser.isSet(sceneOption);
    if (kindChosen) {
        const QString name = parser.value(sceneOption);
        const SceneKindInfo *kind = sceneKindNamed(name.toStdString());
        if (!kind) {
            error = QStringLiteral("--scene: expects %1, not \"%2\"")
                        .arg(QString::fromStdString(sceneNamesInProse()), name);
            return std::nullopt;
        }
        scene = Scene{kind->kind, kind->defaultCircles};
    }
    if (parser.isSet(bodiesOption)) {
        const QString text = parser.value(bodiesOption);
        const std::optional<long long> count = wholeNumber(text, 0, maxSceneCircles);
        if (!count) {
            error = QStringLiteral("--bodies: expects a whole number from 0 to %1, not \"%2\"")
                        .arg(maxSceneCircles)
                        .arg(text);
            return std::nullopt;
        }
        const SceneKindInfo &kind = sceneKindInfo(scene.kind);
        if (!kind.takesCount && *count != kind.defaultCircles) {
            if (kindChosen) {
                error = QStringLiteral("--bodies: the %1 scene has exactly %2 circles; use "
                                       "--scene column or grid for %3")
                            .arg(QString::fromLatin1(kind.name))
                            .arg(kind.defaultCircles)
                            .arg(*count);
                return std::nullopt;
            }
            // --bodies alone: the demo's layout, which the column continues.
            scene.kind = SceneKind::Column;
        }
        scene.circles = static_cast<int>(*count);
    }
    scene.solver = sceneKindInfo(scene.kind).defaultSolver;
    if (parser.isSet(solverOption)) {
        const QString name = parser.value(solverOption);
        const std::optional<World::Solver> solver = solverNamed(name.toStdString());
        if (!solver) {
            error = QStringLiteral("--solver: expects %1, not \"%2\"")
                        .arg(QString::fromStdString(solverNamesInProse()), name);
            return std::nullopt;
        }
        scene.solver = *solver;
    }
    return scene;
}

QStringList sceneOptionNames() {
    return {sceneOption, bodiesOption, solverOption};
}

bool solverOptionSet(const QCommandLineParser &parser) {
    return parser.isSet(solverOption);
}

std::optional<long long> wholeNumber(const QString &text, long long min, long long max) {
    // Any character outside Latin-1 becomes '?', which is not a digit either.
    if (text.size() > 18)
        return std::nullopt;
    const QByteArray latin1 = text.toLatin1();
    return wholeNumber(std::string_view(latin1.constData(), latin1.size()), min, max);
}
