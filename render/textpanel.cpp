#include "render/textpanel.h"

#include "render/gl21.h"
#include "render/glstateguard.h"

#include <QFont>
#include <QFontMetrics>
#include <QOpenGLPaintDevice>
#include <QPainter>
#include <QPolygonF>

#include <algorithm> // std::minmax_element

namespace {

constexpr int margin = 8;         // logical pixels from the window's corner
constexpr int fontPixelSize = 14; // logical pixels
constexpr int plotWidth = 240;    // logical pixels
constexpr int plotHeight = 48;
const QColor textColour(34, 34, 34);
// Behind the text, so it reads over a pile of circles as well as over the background.
const QColor backdrop(255, 255, 255, 200);

// A plot's box, its title and its line, scaled to the values' own range.
void drawPlot(QPainter &painter, const Plot &plot, const QFontMetrics &metrics, int x, int top) {
    const QRectF box(x, top + metrics.lineSpacing(), plotWidth, plotHeight);
    const auto [lowest, highest] = std::minmax_element(plot.values.begin(), plot.values.end());
    QString title = plot.title;
    if (!plot.values.empty())
        title += QStringLiteral(" (%1 to %2)").arg(*lowest, 0, 'g', 3).arg(*highest, 0, 'g', 3);
    painter.drawText(x, top + metrics.ascent(), title);
    painter.drawRect(box);
    if (plot.values.size() < 2)
        return;
    const double range = *highest > *lowest ? *highest - *lowest : 1;
    QPolygonF line;
    const double dx = box.width() / static_cast<double>(plot.values.size() - 1);
    for (std::size_t i = 0; i < plot.values.size(); ++i)
        line << QPointF(box.left() + dx * static_cast<double>(i),
                        box.bottom() - (plot.values[i] - *lowest) / range * box.height());
    painter.drawPolyline(line);
}

} // namespace

TextPanel::TextPanel() = default;
TextPanel::~TextPanel() = default;

void TextPanel::draw(const QStringList &lines, QSize pixels, double ratio, Corner corner,
                     const std::vector<Plot> &plots) {
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
    int width = plots.empty() ? 0 : plotWidth;
    for (const QString &line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    const int logicalWidth = static_cast<int>(pixels.width() / ratio);
    const int x = corner == Corner::TopLeft ? margin : logicalWidth - margin - width;
    const int height =
        static_cast<int>(lines.size()) * metrics.lineSpacing() +
        static_cast<int>(plots.size()) * (metrics.lineSpacing() + plotHeight + 2 * margin);
    painter.fillRect(x - margin / 2, margin / 2, width + margin, height + margin, backdrop);
    int baseline = margin + metrics.ascent();
    for (const QString &line : lines) {
        painter.drawText(x, baseline, line);
        baseline += metrics.lineSpacing();
    }
    int top = baseline - metrics.ascent() + margin;
    for (const Plot &plot : plots) {
        drawPlot(painter, plot, metrics, x, top);
        top += metrics.lineSpacing() + plotHeight + margin;
    }
}
