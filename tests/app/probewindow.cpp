#include "tests/app/probewindow.h"

#include "core/entityarray.h"
#include "physics/baseentity.h"
#include "physics/world.h"
#include "render/gl21.h"
#include "text/statetext.h"

#include <QOpenGLFunctions_2_1>
#include <QProcess>
#include <QSurfaceFormat>
#include <QTest>

#include <ostream> // std::ostream
#include <string>  // std::string

void PrintTo(const Rgb &colour, std::ostream *out) {
    *out << "rgb(" << colour.red << ", " << colour.green << ", " << colour.blue << ")";
}

Rgb Framebuffer::pixel(int x, int y) const {
    const unsigned char *p = &rgba.at(4 * (static_cast<size_t>(y) * width + x));
    return Rgb{p[0], p[1], p[2]};
}

std::vector<BodyState> snapshotBodies(const EntityArray &bodies) {
    std::vector<BodyState> states;
    for (int i = 0; i < bodies.size(); ++i)
        states.push_back(BodyState{bodies[i]->type(), bodies[i]->position, bodies[i]->velocity,
                                   bodies[i]->rotation, bodies[i]->angularVelocity});
    return states;
}

QStringList describe(const std::vector<BodyState> &bodies) {
    std::string text;
    for (size_t i = 0; i < bodies.size(); ++i) {
        const BodyState &b = bodies[i];
        appendStateLine(text, static_cast<int>(i), b.type, b.position, b.velocity, b.rotation,
                        b.angularVelocity);
    }
    return QString::fromStdString(text).split('\n', Qt::SkipEmptyParts);
}

::testing::AssertionResult sameAsTrace(const EntityArray &bodies, const QStringList &arguments) {
    QProcess tool;
    tool.start(QStringLiteral(RIGID2D_TRACE_PATH), arguments);
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0)
        return ::testing::AssertionFailure() << "rigid2d-trace failed";
    const QStringList traced =
        QString::fromLatin1(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const QStringList shown = describe(snapshotBodies(bodies));
    const std::string command = "rigid2d-trace " + arguments.join(' ').toStdString();
    if (traced.size() != shown.size())
        return ::testing::AssertionFailure() << command << " printed " << traced.size()
                                             << " lines for " << shown.size() << " bodies";
    for (int i = 0; i < traced.size(); ++i) {
        if (traced[i] != shown[i])
            return ::testing::AssertionFailure() << "window: " << shown[i].toStdString() << ", "
                                                 << command << ": " << traced[i].toStdString();
    }
    return ::testing::AssertionSuccess();
}

void ProbeWindow::viewport(int (&box)[4]) const {
    currentGl21()->glGetIntegerv(GL_VIEWPORT, box);
}

Framebuffer ProbeWindow::readFramebuffer() const {
    int box[4];
    viewport(box);
    Framebuffer framebuffer;
    framebuffer.width = box[2];
    framebuffer.height = box[3];
    framebuffer.rgba.resize(4 * static_cast<size_t>(box[2]) * box[3]);
    // Rows of four bytes are always aligned, whatever GL_PACK_ALIGNMENT says.
    currentGl21()->glReadPixels(box[0], box[1], box[2], box[3], GL_RGBA, GL_UNSIGNED_BYTE,
                                framebuffer.rgba.data());
    return framebuffer;
}

void ProbeWindow::render() {
    MainWindow::render();
    ++renderedFrames;
    const GLenum error = currentGl21()->glGetError();
    if (error != GL_NO_ERROR && firstError == GL_NO_ERROR) {
        firstError = error;
        firstErrorFrame = renderedFrames;
    }
    if (frameObserver)
        frameObserver(renderedFrames);
}

void showAsMainDoes(MainWindow &window) {
    QSurfaceFormat format;
    format.setSamples(1);
    window.setFormat(format);
    window.resize(1280, 720);
    window.show();
}

bool waitForFrames(const ProbeWindow &window, int count, int timeoutMs) {
    return QTest::qWaitFor([&] { return window.frames() >= count; }, timeoutMs);
}

const EntityArray &ProbeWindow::bodies() const {
    static const EntityArray none(0);
    return session() ? session()->sandbox().bodies() : none;
}

const World &ProbeWindow::physics() const {
    static const World none;
    return session() ? session()->sandbox().physics() : none;
}
