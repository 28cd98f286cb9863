#pragma once

#include "scenes/scene.h"

#include <optional> // std::optional
#include <string>   // std::string

// The values of the --scene, --bodies and --solver options, each unset when not given, however a
// program read its command line.
struct SceneArguments {
    std::optional<std::string> scene;
    std::optional<std::string> bodies;
    std::optional<std::string> solver;
};

// The scene they ask for: the demo by default, --bodies N alone for the demo's layout with N
// circles. On a bad value, returns nothing and sets error to one line naming the option and what
// it accepts.
std::optional<Scene> sceneFromArguments(const SceneArguments &arguments, std::string &error);
