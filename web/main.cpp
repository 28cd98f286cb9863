// The web page's program: a GLUT window over the page's canvas (Emscripten's GLUT makes the WebGL
// context its fixed-function emulation needs), one frame per animation frame of the browser, and
// the functions page.js calls with the page's events and to fill in its HTML.

#include "core/entityarray.h"
#include "text/statetext.h"
#include "ui/pointerinput.h"
#include "web/webpage.h"

#include <GL/glut.h>
#include <emscripten.h>

#include <cctype>   // std::toupper
#include <cstdio>   // std::puts
#include <memory>   // std::unique_ptr
#include <optional> // std::optional
#include <string>   // std::string
#include <utility>  // std::pair
#include <vector>   // std::vector

namespace {

// The DOM's names of the keys of the keys' table that are not one character.
const std::pair<const char *, int> specialKeys[] = {
    {"Escape", KeyCode::Escape},     {"ArrowLeft", KeyCode::Left}, {"ArrowUp", KeyCode::Up},
    {"ArrowRight", KeyCode::Right},  {"ArrowDown", KeyCode::Down}, {"PageUp", KeyCode::PageUp},
    {"PageDown", KeyCode::PageDown}, {"F1", KeyCode::F1},          {"Delete", KeyCode::Delete},
};

// The canvas's framebuffer: the desktop window's size, device pixels as logical ones.
constexpr int canvasWidth = 1280;
constexpr int canvasHeight = 720;

std::unique_ptr<WebPage> page;
// The text of the last answer handed to JavaScript, kept until the next one.
std::string answer;
// RGBA of the last frame, bottom row first, when asked for.
std::vector<unsigned char> captured;
bool captureNext = false;

const char *give(std::string text) {
    answer = std::move(text);
    return answer.c_str();
}

std::string joined(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines)
        text += line + '\n';
    return text;
}

void display() {
    page->frame(canvasWidth, canvasHeight);
    if (captureNext) {
        captured.resize(4 * canvasWidth * canvasHeight);
        glReadPixels(0, 0, canvasWidth, canvasHeight, GL_RGBA, GL_UNSIGNED_BYTE, captured.data());
        captureNext = false;
    }
    glutSwapBuffers();
    glutPostRedisplay();
}

PointerButton pointerButton(int button) {
    // DOM's MouseEvent.button: 0 the main button, 2 the secondary one.
    return button == 0   ? PointerButton::Left
           : button == 2 ? PointerButton::Right
                         : PointerButton::Other;
}

} // namespace

extern "C" {

// Starts the page: the scene by name and count (0 for the scene's own), the solver by name ("" for
// the scene's own), whether paused, whether the overlay is shown, and the step to pause after (0:
// none). Emscripten's glutMainLoop hands the loop to the browser by throwing "unwind" to the
// caller.
EMSCRIPTEN_KEEPALIVE int rigid2d_start(const char *sceneName, int circles, const char *solver,
                                       int paused, int overlay, double stopAtStep) {
    const SceneKindInfo *kind = sceneKindNamed(sceneName);
    if (!kind)
        return 0;
    Scene scene{kind->kind, kind->takesCount && circles > 0 ? circles : kind->defaultCircles,
                kind->defaultSolver};
    FrontEndOptions options;
    if (const std::optional<World::Solver> chosen = solverNamed(solver)) {
        scene.solver = *chosen;
        options.solverChosen = true;
    }
    options.paused = paused;
    options.overlay = overlay;
    page = std::make_unique<WebPage>(scene, options, WindowSize{canvasWidth, canvasHeight});
    page->frontEnd().stopAt(static_cast<long long>(stopAtStep));
    char name[] = "rigid2d";
    char *argv[] = {name, nullptr};
    int argc = 1;
    glutInit(&argc, argv);
    glutInitWindowSize(canvasWidth, canvasHeight);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE);
    glutCreateWindow("rigid2d");
    glutDisplayFunc(display);
    glutMainLoop();
    return 1;
}

// A key by its DOM name (KeyboardEvent.key): whether it is one of the keys' table. Escape, which
// closes the desktop window, does nothing to a page.
EMSCRIPTEN_KEEPALIVE int rigid2d_key_named(const char *domKey) {
    const std::string name = domKey;
    int code = 0;
    if (name.size() == 1)
        code = std::toupper(static_cast<unsigned char>(name[0]));
    for (const auto &[dom, special] : specialKeys) {
        if (name == dom)
            code = special;
    }
    return page->frontEnd().key(code, false) != KeyCommand::None;
}

// The scene picker: builds the scene at step 0, as a recorded input, with circles bodies (0 for the
// scene's own number). "" when built, else why not.
EMSCRIPTEN_KEEPALIVE const char *rigid2d_switch(const char *sceneName, int circles,
                                                const char *solver) {
    const SceneKindInfo *kind = sceneKindNamed(sceneName);
    if (!kind)
        return give(std::string("scene: no scene is named ") + sceneName);
    if (circles < 0 || circles > maxSceneCircles)
        return give("circles: expects a whole number from 1 to " + std::to_string(maxSceneCircles));
    Scene scene{kind->kind, kind->takesCount && circles > 0 ? circles : kind->defaultCircles,
                kind->defaultSolver};
    const std::optional<World::Solver> chosen = solverNamed(solver);
    if (chosen)
        scene.solver = *chosen;
    return give(page->frontEnd().choose(scene, chosen.has_value())
                    ? std::string()
                    : "a replay is playing: the scene stays until it ends");
}

// kind: 0 press, 1 move, 2 release; x, y in CSS pixels of a canvas width by height; dropsBox
// (Shift held, or the page's box toggle on): a press on empty space drops a box.
EMSCRIPTEN_KEEPALIVE void rigid2d_pointer(int kind, int button, double x, double y, int width,
                                          int height, int dropsBox) {
    PointerInput &pointer = page->frontEnd().pointer();
    const WindowPoint at{x, y};
    const WindowSize size{width, height};
    if (kind == 0 && pointerButton(button) == PointerButton::Right)
        std::puts(rightClickLine);
    if (kind == 0)
        pointer.press(pointerButton(button), at, size, dropsBox);
    else if (kind == 1)
        pointer.move(at, size);
    else
        pointer.release(pointerButton(button));
}

EMSCRIPTEN_KEEPALIVE void rigid2d_wheel(double angleDegrees, double x, double y, int width,
                                        int height) {
    page->frontEnd().pointer().wheel(angleDegrees, WindowPoint{x, y}, WindowSize{width, height});
}

// The scenes' names, one a line, for the page's picker.
EMSCRIPTEN_KEEPALIVE const char *rigid2d_scenes() {
    std::string names;
    for (const SceneKindInfo &info : sceneTable())
        names += std::string(info.name) + '\n';
    return give(names);
}

// The overlay's lines, or "" while it is hidden.
EMSCRIPTEN_KEEPALIVE const char *rigid2d_overlay() {
    FrontEnd &front = page->frontEnd();
    return give(front.overlayShown() ? joined(overlayLines(page->figures())) : std::string());
}

// Plot which (0 step time, 1 kinetic energy) as "TITLE\nV1 V2 ...".
EMSCRIPTEN_KEEPALIVE const char *rigid2d_plot(int which) {
    FrontEnd &front = page->frontEnd();
    const std::vector<OverlayPlot> plots =
        overlayPlots(front.history(), front.session()->sandbox().totalSteps());
    const OverlayPlot &plot = plots.at(which);
    std::string text = plot.title + '\n';
    for (const double value : plot.values)
        text += std::to_string(value) + ' ';
    return give(text);
}

// The help's lines, or "" while it is hidden.
EMSCRIPTEN_KEEPALIVE const char *rigid2d_help() {
    return give(page->frontEnd().helpShown() ? joined(controlsHelp()) : std::string());
}

EMSCRIPTEN_KEEPALIVE const char *rigid2d_status() {
    return give(page->status());
}

// "STEP HASH" of the state now.
EMSCRIPTEN_KEEPALIVE const char *rigid2d_state() {
    const Sandbox &sandbox = page->frontEnd().session()->sandbox();
    return give(std::to_string(sandbox.totalSteps()) + ' ' +
                hashDigits(stateHash(sandbox.bodies())));
}

EMSCRIPTEN_KEEPALIVE int rigid2d_paused() {
    return page->frontEnd().paused();
}

EMSCRIPTEN_KEEPALIVE int rigid2d_bodies() {
    return page->frontEnd().session()->sandbox().bodies().size();
}

// Opens a replay or a saved state: "" when opened, else the fault.
EMSCRIPTEN_KEEPALIVE const char *rigid2d_open(const char *name, const char *text) {
    return give(page->open(name, text));
}

EMSCRIPTEN_KEEPALIVE const char *rigid2d_recording() {
    return give(page->recording());
}

// Asks for the next frame's pixels; rigid2d_captured() has them once drawn (null until then).
EMSCRIPTEN_KEEPALIVE void rigid2d_capture() {
    captured.clear();
    captureNext = true;
}

EMSCRIPTEN_KEEPALIVE const unsigned char *rigid2d_captured() {
    return captured.empty() ? nullptr : captured.data();
}
}

int main() {
    // Nothing until the page calls rigid2d_start with its options.
    return 0;
}
