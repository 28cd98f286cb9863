#pragma once

#include "scenes/scene.h"

#include <QString>

#include <optional> // std::optional

class QCommandLineParser;

// The --scene, --bodies and --solver options of every program that builds a scene.
void addSceneOptions(QCommandLineParser &parser);

// The scene the parsed options ask for: the demo by default, --bodies N alone for the demo's
// layout with N circles. On a bad value, returns nothing and sets error to one line naming the
// option and what it accepts.
std::optional<Scene> readSceneOptions(const QCommandLineParser &parser, QString &error);

// Whether --scene, --bodies or --solver was given.
bool sceneOptionsSet(const QCommandLineParser &parser);

bool solverOptionSet(const QCommandLineParser &parser);

// Why --replay refuses the scene options: the scene comes from the file.
QString replayTakesNoSceneOptions();

// wholeNumber() for a command-line argument.
std::optional<long long> wholeNumber(const QString &text, long long min, long long max);
