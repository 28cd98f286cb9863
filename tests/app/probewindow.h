#pragma once

#include "app/mainwindow.h"
#include "math/rotation.h"
#include "math/vec2.h"
#include "render/sceneframe.h"
#include "render/wallcolor.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <functional> // std::function
#include <iosfwd>     // std::ostream
#include <utility>    // std::move
#include <vector>     // std::vector

// An 8-bit RGB colour as read back from the framebuffer.
struct Rgb {
    int red;
    int green;
    int blue;
    bool operator==(const Rgb &o) const {
        return red == o.red && green == o.green && blue == o.blue;
    }
};

constexpr Rgb white{255, 255, 255};
// What a window that showAsMainDoes() shows of the scene, as long as it is not resized.
constexpr SceneView mainWindowView{0, 1280, 0, 720};
constexpr Rgb wallColour{wallRed, wallGreen, wallBlue};
// Lets gtest print a colour in failure messages.
void PrintTo(const Rgb &colour, std::ostream *out);

// A frame's picture as glReadPixels gives it: row 0 is the bottom row, so pixel (x, y) has the
// same orientation as the scene.
struct Framebuffer {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    Rgb pixel(int x, int y) const;
};

// What the world step changes in a body, copied out at a chosen frame.
struct BodyState {
    int type;
    Vec2 position;
    Vec2 velocity;
    Rotation rotation;
    float angularVelocity;
};

std::vector<BodyState> snapshotBodies(const EntityArray &bodies);

// One line per body, exactly as rigid2d-trace prints them.
QStringList describe(const std::vector<BodyState> &bodies);

// Whether the bodies are, line for line, what rigid2d-trace prints with these arguments.
::testing::AssertionResult sameAsTrace(const EntityArray &bodies, const QStringList &arguments);

// The demonstration's window, counting the frames it renders and checking OpenGL's error flag
// after each one. An observer can look at every frame (with the context current, before the
// swap), which is the only moment the picture and the bodies are known to belong together.
class ProbeWindow : public MainWindow {
public:
    explicit ProbeWindow(const LaunchOptions &options = LaunchOptions()) : MainWindow(options) {}

    using FrameObserver = std::function<void(int frame)>;

    int frames() const { return renderedFrames; }
    // The session's bodies and world; empty ones before the first frame has built the scene.
    const EntityArray &bodies() const;
    const World &physics() const;
    // The first error glGetError reported after a frame, and the frame it came with (0: none).
    GLenum firstGlError() const { return firstError; }
    int firstGlErrorFrame() const { return firstErrorFrame; }

    void observeFrames(FrameObserver observer) { frameObserver = std::move(observer); }

    // Only valid inside an observer: the current viewport and the pixels it covers.
    void viewport(int (&box)[4]) const;
    Framebuffer readFramebuffer() const;

protected:
    void render() override;

private:
    int renderedFrames = 0;
    GLenum firstError = GL_NO_ERROR;
    int firstErrorFrame = 0;
    FrameObserver frameObserver;
};

// Gives the window the format and size main() gives it, and shows it.
void showAsMainDoes(MainWindow &window);

// Processes events until the window has rendered at least count frames; false on timeout.
bool waitForFrames(const ProbeWindow &window, int count, int timeoutMs = 30000);
