#include "cli/sceneoptions.h"

#include "cli/sceneargument.h"
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
    const auto value = [&parser](const QString &option) -> std::optional<std::string> {
        if (!parser.isSet(option))
            return std::nullopt;
        return parser.value(option).toUtf8().toStdString();
    };
    std::string message;
    const std::optional<Scene> scene = sceneFromArguments(
        SceneArguments{value(sceneOption), value(bodiesOption), value(solverOption)}, message);
    if (!scene)
        error = QString::fromStdString(message);
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
