#include "physics/sceneoptions.h"

#include <QCommandLineParser>

namespace {

const QString sceneOption = QStringLiteral("scene");
const QString bodiesOption = QStringLiteral("bodies");

} // namespace

void addSceneOptions(QCommandLineParser &parser) {
    parser.addOption({sceneOption,
                      QStringLiteral("The scene: demo (the designed one), column or grid."),
                      QStringLiteral("demo|column|grid")});
    parser.addOption({bodiesOption,
                      QStringLiteral("Number of circles in a column or grid scene, 0 to %1 "
                                     "(default %2); alone, the demo's layout with N circles.")
                          .arg(maxSceneCircles)
                          .arg(demoCircleCount),
                      QStringLiteral("N")});
}

std::optional<Scene> readSceneOptions(const QCommandLineParser &parser, QString &error) {
    Scene scene;
    if (parser.isSet(sceneOption)) {
        const QString name = parser.value(sceneOption);
        const std::optional<SceneKind> kind = sceneKindNamed(name.toStdString());
        if (!kind) {
            error = QStringLiteral("--scene: expects demo, column or grid, not \"%1\"").arg(name);
            return std::nullopt;
        }
        scene.kind = *kind;
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
        if (scene.kind == SceneKind::Demo && *count != demoCircleCount) {
            if (parser.isSet(sceneOption)) {
                error = QStringLiteral("--bodies: the demo scene has exactly %1 circles; use "
                                       "--scene column or grid for %2")
                            .arg(demoCircleCount)
                            .arg(*count);
                return std::nullopt;
            }
            scene.kind = SceneKind::Column;
        }
        scene.circles = static_cast<int>(*count);
    }
    return scene;
}

bool sceneOptionsSet(const QCommandLineParser &parser) {
    return parser.isSet(sceneOption) || parser.isSet(bodiesOption);
}

std::optional<long long> wholeNumber(std::string_view text, long long min, long long max) {
    // 18 digits cannot overflow a long long.
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<long long> wholeNumber(const QString &text, long long min, long long max) {
    // Any character outside Latin-1 becomes '?', which is not a digit either.
    if (text.size() > 18)
        return std::nullopt;
    const QByteArray latin1 = text.toLatin1();
    return wholeNumber(std::string_view(latin1.constData(), latin1.size()), min, max);
}
