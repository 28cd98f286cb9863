#include "app/statsoverlay.h"

#include "render/gl21.h"

#include <QFont>
#include <QFontMetrics>
#include <QOpenGLFunctions_2_1>
#include <QOpenGLPaintDevice>
#include <QPainter>

namespace {

constexpr int margin = 8;         // logical pixels from the window's corner
constexpr int fontPixelSize = 14; // logical pixels
const QColor textColour(34, 34, 34);

} // namespace

QStringList overlayLines(const OverlayFigures &figures) {
    QStringList lines;
    lines << QStringLiteral("step %1").arg(figures.step);
    lines << (figures.full ? QStringLiteral("bodies %1 (full)") : QStringLiteral("bodies %1"))
                 .arg(figures.bodies);
    lines << QStringLiteral("contacts %1").arg(figures.contacts);
    lines << (figures.meanStepMicroseconds < 0 ? QStringLiteral("step time -")
                                               : QStringLiteral("step time %1 \u00b5s")
                                                     .arg(figures.meanStepMicroseconds, 0, 'f', 1));
    lines << (figures.framesPerSecond > 0
                  ? QStringLiteral("fps %1").arg(figures.framesPerSecond, 0, 'f', 1)
                  : QStringLiteral("fps -"));
    if (figures.nonFinite > 0)
        lines << QStringLiteral("non-finite %1").arg(figures.nonFinite);
    if (figures.paused)
        lines << QStringLiteral("paused");
    return lines;
}

StatsOverlay::StatsOverlay() = default;
StatsOverlay::~StatsOverlay() = default;

void StatsOverlay::draw(const QStringList &lines, QSize pixels, double ratio) {
    QOpenGLFunctions_2_1 *gl = currentGl21();
    if (!gl)
        return;
    if (!device)
        device = std::make_unique<QOpenGLPaintDevice>();
    device->setSize(pixels);
    device->setDevicePixelRatio(ratio);

    // Fixed-function state, matrices included, goes on OpenGL's own stacks; what those stacks
    // do not hold (the program, buffer and texture bindings) is reset to what the bodies' client
    // arrays need: none bound.
    gl->glPushAttrib(GL_ALL_ATTRIB_BITS);
    gl->glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (const GLenum stack : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        gl->glMatrixMode(stack);
        gl->glPushMatrix();
    }
    {
        QPainter painter(device.get());
        QFont font = painter.font();
        font.setPixelSize(fontPixelSize);
        painter.setFont(font);
        painter.setPen(textColour);
        const QFontMetrics metrics(font);
        int baseline = margin + metrics.ascent();
        for (const QString &line : lines) {
            painter.drawText(margin, baseline, line);
            baseline += metrics.lineSpacing();
        }
    }
    gl->glUseProgram(0);
    gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
    gl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    gl->glActiveTexture(GL_TEXTURE0);
    gl->glBindTexture(GL_TEXTURE_2D, 0);
    for (const GLenum stack : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        gl->glMatrixMode(stack);
        gl->glPopMatrix();
    }
    gl->glPopClientAttrib();
    gl->glPopAttrib();
}
