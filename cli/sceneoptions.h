#pragma once

#include "scenes/scene.h"

#include <QString>
#include <QStringList>

#include <optional> // std::optional

class QCommandLineParser;

// The --scene, --bodies and --solver options of every program that builds a scene.
void addSceneOptions(QCommandLineParser &parser);

// The scene the parsed options ask for: the demo by default, --bodies N alone for the demo's
// layout with N circles. On a bad value, returns nothing and sets error to one line naming the
// option and what it accepts.
std::optional<Scene> readSceneOptions(const QCommandLineParser &parser, QString &error);

// "scene", "bodies" and "solver": what a file that brings its scene does not go with.
QStringList sceneOptionNames();

bool solverOptionSet(const QCommandLineParser &parser);

// wholeNumber() for a command-line argument.
std::optional<long long> wholeNumber(const QString &text, long long min, long long max);
