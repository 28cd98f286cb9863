#include "render/textpanel.h"

#include "render/gl21.h"
#include "render/glstateguard.h"

#include <QFont>
#include <QFontMetrics>
#include <QOpenGLPaintDevice>
#include <QPainter>
#include <QPolygonF>

#include <algorithm> // std::max, std::minmax_element

namespace {

constexpr int margin = 8; // logical pixels from the window's corner
const QColor textColour(34, 34, 34);
// Behind the text, so it reads over a pile of circles as well as over the background.
const QColor backdrop(255, 255, 255, 200);
// The widest a plot's range gets in its title: any double with three digits.
const QString widestRange = QStringLiteral(" (-8.88e+888 to -8.88e+888)");

// The sizes of a panel's parts at one font size; the plots are 240 × 48 at the largest.
struct Measures {
    explicit Measures(const QFont &font)
        : metrics(font), plotWidth(240 * font.pixelSize() / TextPanel::largestFontPixelSize),
          plotHeight(48 * font.pixelSize() / TextPanel::largestFontPixelSize) {}

    // The text's and the plots' height, without the backdrop's margins.
    int height(const QStringList &lines, std::size_t plots) const {
        return static_cast<int>(lines.size()) * metrics.lineSpacing() +
               static_cast<int>(plots) * (metrics.lineSpacing() + plotHeight + 2 * margin);
    }
    // The widest of the texts, and of the plots when there are any.
    int width(const QStringList &texts, std::size_t plots) const {
        int widest = plots == 0 ? 0 : plotWidth;
        for (const QString &text : texts)
            widest = std::max(widest, metrics.horizontalAdvance(text));
        return widest;
    }

    QFontMetrics metrics;
    int plotWidth;
    int plotHeight;
};

QString rangeOf(const std::vector<double> &values) {
    if (values.empty())
        return QString();
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    return QStringLiteral(" (%1 to %2)").arg(*lowest, 0, 'g', 3).arg(*highest, 0, 'g', 3);
}

// The lines, then each plot's title followed by its range, or by suffix when given.
QStringList textsOf(const QStringList &lines, const std::vector<Plot> &plots,
                    const QString &suffix = QString()) {
    QStringList texts = lines;
    for (const Plot &plot : plots)
        texts << plot.title + (suffix.isEmpty() ? rangeOf(plot.values) : suffix);
    return texts;
}

// A plot's box, its title and its line, scaled to the values' own range.
void drawPlot(QPainter &painter, const Plot &plot, const QString &title, const Measures &measures,
              int x, int top) {
    const QFontMetrics &metrics = measures.metrics;
    const QRectF box(x, top + metrics.lineSpacing(), measures.plotWidth, measures.plotHeight);
    painter.drawText(x, top + metrics.ascent(), title);
    painter.drawRect(box);
    if (plot.values.size() < 2)
        return;
    const auto [lowest, highest] = std::minmax_element(plot.values.begin(), plot.values.end());
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

QSize TextPanel::room(const QStringList &lines, const std::vector<Plot> &plots, int fontPixelSize) {
    QFont font;
    font.setPixelSize(fontPixelSize);
    const Measures measures(font);
    return QSize(measures.width(textsOf(lines, plots, widestRange), plots.size()) + margin,
                 measures.height(lines, plots.size()) + margin);
}

QRect TextPanel::draw(const QStringList &lines, QSize pixels, double ratio, const Place &place,
                      const std::vector<Plot> &plots) {
    if (!currentGl21())
        return QRect();
    if (!device)
        device = std::make_unique<QOpenGLPaintDevice>();
    device->setSize(pixels);
    device->setDevicePixelRatio(ratio);

    const GlStateGuard guard;
    QPainter painter(device.get());
    QFont font = painter.font();
    font.setPixelSize(place.fontPixelSize);
    painter.setFont(font);
    painter.setPen(textColour);
    const Measures measures(font);
    // What does not fit the height allowed is left out, the plots first, and the last line shown
    // says so.
    QStringList shown = lines;
    std::vector<Plot> shownPlots = plots;
    const auto tooHigh = [&] {
        return place.maxHeight > 0 &&
               measures.height(shown, shownPlots.size()) + margin > place.maxHeight;
    };
    while (!shownPlots.empty() && tooHigh())
        shownPlots.pop_back();
    bool cut = shownPlots.size() < plots.size();
    while (shown.size() > 1 && tooHigh()) {
        shown.removeLast();
        cut = true;
    }
    if (cut && !shown.isEmpty())
        shown.last() = QStringLiteral("\u2026");
    const QStringList texts = textsOf(shown, shownPlots);
    const QSize logical(static_cast<int>(pixels.width() / ratio),
                        static_cast<int>(pixels.height() / ratio));
    QRect area(0, 0, measures.width(texts, shownPlots.size()) + margin,
               measures.height(shown, shownPlots.size()) + margin);
    area.moveLeft(place.corner == Corner::TopRight ? logical.width() - margin / 2 - area.width()
                                                   : margin / 2);
    area.moveTop(place.corner == Corner::BottomLeft ? logical.height() - margin / 2 - area.height()
                                                    : margin / 2);
    painter.fillRect(area, backdrop);
    const QFontMetrics &metrics = measures.metrics;
    const int x = area.left() + margin / 2;
    int baseline = area.top() + margin / 2 + metrics.ascent();
    for (const QString &line : shown) {
        painter.drawText(x, baseline, line);
        baseline += metrics.lineSpacing();
    }
    int top = baseline - metrics.ascent() + margin;
    for (std::size_t i = 0; i < shownPlots.size(); ++i) {
        drawPlot(painter, shownPlots[i], texts[shown.size() + static_cast<int>(i)], measures, x,
                 top);
        top += metrics.lineSpacing() + measures.plotHeight + margin;
    }
    return area;
}
