#include "render/textpanel.h"

#include "render/gl21.h"
#include "render/glstateguard.h"

#include <QFont>
#include <QFontMetrics>
#include <QOpenGLPaintDevice>
#include <QPainter>

namespace {

constexpr int margin = 8;         // logical pixels from the window's corner
constexpr int fontPixelSize = 14; // logical pixels
const QColor textColour(34, 34, 34);

} // namespace

TextPanel::TextPanel() = default;
TextPanel::~TextPanel() = default;

void TextPanel::draw(const QStringList &lines, QSize pixels, double ratio) {
    if (!currentGl21())
        return;
    if (!device)
        device = std::make_unique<QOpenGLPaintDevice>();
    device->setSize(pixels);
    device->setDevicePixelRatio(ratio);

    const GlStateGuard guard;
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
