#include "response/GraphPainting.h"

#include "response/ResponseMath.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int eqFramePx = 3;
constexpr int eqCurvePx = 3;
constexpr int crossoverFramePx = 2;
constexpr int crossoverCurvePx = 2;
constexpr int markerOutlinePx = 2;
constexpr int selectedOutlinePx = 3;
// The corner labels stand three marker half-sizes above their boxes.
constexpr int cornerLabelRise = 3 * MarkerState::halfSize;

// A truncation that cannot overflow: the value is first held to a range.
int truncClamped(double value, double low, double high)
{
    if (std::isnan(value))
        return static_cast<int>(low);
    return static_cast<int>(std::trunc(std::clamp(value, low, high)));
}

// The area an image stands for: on a high-density screen the image has
// more pixels than the area, and the painter scales by its pixel ratio.
QSize logicalSize(const QImage& image)
{
    return (QSizeF(image.size()) / image.devicePixelRatio()).toSize();
}

QFont labelFont(qreal points)
{
    QFont font(QString::fromUtf8(graphFontFamily));
    font.setPointSizeF(points);
    return font;
}

QString levelLabel(int db) { return QString::asprintf("%ddB", db); }

// The label font of a graph: its point size, or as much less as the level
// labels need to end clear of the plot's left edge at x0. A window laid out
// in the narrow units of a Chinese desktop leaves them less room than the
// point size needs.
QFont fittedLabelFont(int points, int lowestDb, int x0, int framePx)
{
    constexpr qreal smallestPoints = 6;
    constexpr qreal step = 0.5;
    // One pixel of background between the text and the frame.
    const int room = x0 - framePx / 2 - 1;
    QFont font = labelFont(points);
    for (qreal size = points; size >= smallestPoints; size -= step) {
        font.setPointSizeF(size);
        const QFontMetrics metrics(font);
        int widest = 0;
        for (int db = lowestDb; db <= lowestDb + 36; db += 6)
            widest = std::max(widest, metrics.horizontalAdvance(levelLabel(db)));
        if (widest <= room)
            break;
    }
    return font;
}

// Text with its top-left corner at (x, y) on a transparent background; the
// painter notes where its glyphs went.
void drawLabel(QPainter& painter, int x, int y, const QString& text, std::vector<GraphLabel>& drawn)
{
    const QPoint baseline(x, y + painter.fontMetrics().ascent());
    painter.drawText(baseline, text);
    drawn.push_back({text, painter.fontMetrics().tightBoundingRect(text).translated(baseline)});
}

// A dotted grid line one pixel of the area wide, from (x, fromY) to
// (x, toY): one dot, two gaps. It is drawn with thin pens in the image's
// own pixels, a column per pixel of the area, because a dashed pen wider
// than one image pixel goes through the stroker, which at 200 % costs more
// than all the rest of the graph.
void drawDottedLine(QPainter& painter, int x, int fromY, int toY, qreal ratio)
{
    QPen pen(GraphColours::grid, 0);
    pen.setDashPattern({ratio, 2 * ratio});
    painter.setPen(pen);
    const int columns = std::max(1, qRound(ratio));
    for (int c = 0; c < columns; ++c)
        painter.drawLine(QPointF(x + c / ratio, fromY), QPointF(x + c / ratio, toY));
}

void drawMarker(QPainter& painter, const MarkerBox& box, const QColor& fill, const QColor& outline, int outlinePx)
{
    painter.setPen(QPen(outline, outlinePx));
    painter.setBrush(fill);
    painter.drawEllipse(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top));
}

// The grid of the EQ graph: a line at each frequency, solid at the decades,
// dotted between; only some lines are labelled.
struct EqGridLine {
    int frequencyHz;
    bool solid;
    bool labelled;
};

std::vector<EqGridLine> eqGridLines()
{
    std::vector<EqGridLine> lines;
    for (int decade : {10, 100, 1000}) {
        // 20 Hz is the left edge, drawn and labelled with it.
        for (int m = decade == 10 ? 3 : 2; m <= 9; ++m)
            lines.push_back({m * decade, false, m * decade == 2000});
        lines.push_back({10 * decade, true, true});
    }
    lines.push_back({20000, true, true});
    return lines;
}

// "%2dHz" below 1 kHz, else "%2d" and the kilohertz unit the graph writes.
QString frequencyLabel(int frequencyHz, const char* kiloUnit)
{
    if (frequencyHz > 999)
        return QString::asprintf("%2d", frequencyHz / 1000) + QLatin1String(kiloUnit);
    return QString::asprintf("%2dHz", frequencyHz);
}

} // namespace

std::array<EqBandSetting, MarkerState::bands> eqBandSettings(const EqGraphScene& scene)
{
    std::array<EqBandSetting, MarkerState::bands> settings{};
    if (!scene.markers)
        return settings;
    const EqPlotRect& plot = scene.markers->eqPlot();
    const int width = plot.width();
    const int height = plot.height();
    for (int b = 0; b < MarkerState::bands; ++b) {
        const BandMarker& marker = scene.markers->band(scene.channel, b);
        const double offset = std::trunc(marker.offsetX);
        EqBandSetting& band = settings[static_cast<std::size_t>(b)];
        band.type = scene.types[static_cast<std::size_t>(b)];
        band.frequencyHz = std::round(frequencyAtOffset(offset, width));
        band.gainDb = height > 0 ? -plotDecibelSpan * marker.offsetY / height : 0.0;
        band.q = scene.q[static_cast<std::size_t>(b)];
    }
    return settings;
}

CrossoverSetting crossoverSetting(const CrossoverGraphScene& scene)
{
    CrossoverSetting setting;
    setting.hpType = scene.hpType;
    setting.lpType = scene.lpType;
    if (scene.markers) {
        setting.hpFrequencyHz = scene.markers->crossoverFrequencyHz(scene.channel, MarkerState::highPass);
        setting.lpFrequencyHz = scene.markers->crossoverFrequencyHz(scene.channel, MarkerState::lowPass);
    }
    return setting;
}

void GraphPainter::paintEq(QImage& image, const EqGraphScene& scene)
{
    if (image.isNull())
        return;
    const QSize area = logicalSize(image);
    QPainter painter(&image);
    painter.fillRect(QRect(QPoint(), area), GraphColours::background);
    if (!scene.markers)
        return;
    const EqPlotRect plot = eqPlotRect(area.width(), area.height());
    painter.setFont(fittedLabelFont(eqLabelPoints, -18, plot.x0, eqFramePx));
    eqTexts.clear();
    const int x0 = plot.x0;
    const int x1 = plot.x1;
    const int y0 = plot.y0;
    const int y1 = plot.y1;
    const int w = plot.width();
    const int hp = plot.height();
    const QPen solid(GraphColours::grid, 1);
    const qreal ratio = image.devicePixelRatio();

    painter.setPen(solid);
    painter.drawLine(x0, y0, x0, y1);
    painter.drawLine(x0, y0, x1, y0);
    constexpr int labelDrop = 5;
    constexpr int labelBack = 15;
    // The -18 dB label hangs below the bottom edge beside the 20 Hz one,
    // which moves right of it where the plot's margin is too narrow for both.
    constexpr int labelGap = 3;
    const int levelsEnd = painter.fontMetrics().horizontalAdvance(levelLabel(-18)) + labelGap;
    drawLabel(painter, std::max(x0 - labelBack, levelsEnd), y0 + labelDrop, frequencyLabel(20, "kHz"), eqTexts);

    // -18 dB on the bottom edge up to +18 dB on the top, 6 dB apart.
    for (int k = 0; k <= 6; ++k) {
        const int y = y0 - k * hp / 6;
        painter.drawLine(x0, y, x1, y);
        drawLabel(painter, 0, y, levelLabel(-18 + 6 * k), eqTexts);
    }
    painter.drawLine(x0, y1, x1, y1);

    for (const EqGridLine& line : eqGridLines()) {
        const int x = line.frequencyHz == 20000
            ? x1
            : x0 + static_cast<int>(w * std::log10(line.frequencyHz / 20.0) / 3.0);
        if (line.solid) {
            painter.setPen(solid);
            painter.drawLine(x, y0, x, y1);
        } else {
            drawDottedLine(painter, x, y0, y1, ratio);
            painter.setPen(solid);
        }
        if (line.labelled)
            drawLabel(painter, x - labelBack, y0 + labelDrop, frequencyLabel(line.frequencyHz, "kHz"), eqTexts);
    }

    const auto settings = eqBandSettings(scene);
    eqCurves.setWidth(w);
    eqCurves.eqCurveDb(settings, scene.bypass, values);
    const int zero = plot.zeroDbY();
    points.resize(w);
    for (int i = 0; i < w; ++i) {
        const int y = zero + truncClamped(-values[static_cast<std::size_t>(i)] * hp / plotDecibelSpan, y1 - zero, y0 - zero);
        points[i] = QPoint(x0 + i, y);
    }
    const QColor& curveColour = scene.bypass ? GraphColours::bypassed : GraphColours::curve;
    // Without antialiasing: a thick antialiased polyline of a thousand
    // points costs more than the whole rest of the paint.
    painter.setPen(QPen(curveColour, eqCurvePx));
    painter.drawPolyline(points);

    painter.setPen(QPen(GraphColours::grid, eqFramePx));
    painter.drawLine(x0, y1, x1, y1);
    painter.drawLine(x0, y0, x1, y0);
    painter.drawLine(x0, y0, x0, y1);
    painter.drawLine(x1, y0, x1, y1);

    for (int b = 0; b < MarkerState::bands; ++b)
        drawMarker(painter, scene.markers->band(scene.channel, b).box, curveColour, curveColour, markerOutlinePx);
    const int selected = std::clamp(scene.selectedBand, 0, MarkerState::bands - 1);
    drawMarker(painter, scene.markers->band(scene.channel, selected).box, curveColour, GraphColours::selectedRing,
               selectedOutlinePx);
}

void GraphPainter::paintCrossover(QImage& image, const CrossoverGraphScene& scene)
{
    if (image.isNull())
        return;
    const QSize area = logicalSize(image);
    QPainter painter(&image);
    painter.fillRect(QRect(QPoint(), area), GraphColours::background);
    if (!scene.markers)
        return;
    const CrossoverPlotRect plot = crossoverPlotRect(area.width(), area.height());
    painter.setFont(fittedLabelFont(crossoverLabelPoints, -30, static_cast<int>(plot.x0), crossoverFramePx));
    crossoverTexts.clear();
    const double hp = plot.height();
    const int left = static_cast<int>(plot.x0);
    const int right = static_cast<int>(plot.x1);
    const int top = static_cast<int>(plot.y1);
    const int bottom = static_cast<int>(plot.y0);
    const QPen solid(GraphColours::grid, 1);
    const qreal ratio = image.devicePixelRatio();

    // -30 dB on the bottom edge up to +6 dB on the top; each label stands
    // above its line by a twentieth of the line's height in the area.
    painter.setPen(solid);
    for (int db = -30; db <= 6; db += 6) {
        const int y = static_cast<int>(plot.y0 - (db + 30) * hp / plotDecibelSpan);
        painter.drawLine(left, y, right, y);
        drawLabel(painter, 0, 19 * y / 20, levelLabel(db), crossoverTexts);
    }

    // The line positions are single precision, as the marker maths is.
    const float third = static_cast<float>(plot.width()) / 3.0f;
    const float axisStart = static_cast<float>(axisStartLog10);
    for (int decade : {10, 100, 1000, 10000}) {
        for (int m = decade == 10 ? 2 : 1; m <= (decade == 10000 ? 2 : 9); ++m) {
            const int f = m * decade;
            const int x = static_cast<int>(static_cast<float>(plot.x0) + third * (std::log10(static_cast<float>(f)) - axisStart));
            // 20 kHz is only labelled: the right edge stands there.
            if (f == 100 || f == 1000) {
                painter.setPen(solid);
                painter.drawLine(x, bottom, x, top);
            } else if (f != 20000) {
                drawDottedLine(painter, x, bottom, top, ratio);
            }
            if (m == 1 || m == 2) {
                painter.setPen(solid);
                drawLabel(painter, static_cast<int>(x - plot.x0 / 5), bottom, frequencyLabel(f, "KHz"), crossoverTexts);
            }
        }
    }

    const CrossoverSetting setting = crossoverSetting(scene);
    const int w = static_cast<int>(plot.width());
    crossoverCurves.setWidth(w);
    crossoverCurves.crossoverCurveDb(setting, values);
    const double zero = plot.zeroDbY();
    points.resize(w);
    for (int i = 0; i < w; ++i) {
        const double y = zero - values[static_cast<std::size_t>(i)] * hp / plotDecibelSpan;
        points[i] = QPoint(left + i, truncClamped(y, plot.y1, plot.y0));
    }
    painter.setPen(QPen(GraphColours::curve, crossoverCurvePx));
    painter.drawPolyline(points);

    painter.setPen(QPen(GraphColours::grid, crossoverFramePx));
    painter.drawLine(left, top, right, top);
    painter.drawLine(left, bottom, right, bottom);
    painter.drawLine(left, bottom, left, top);
    painter.drawLine(right, bottom, right, top);

    const MarkerBox& hpBox = scene.markers->corner(scene.channel, MarkerState::highPass).box;
    const MarkerBox& lpBox = scene.markers->corner(scene.channel, MarkerState::lowPass).box;
    for (const MarkerBox* box : {&hpBox, &lpBox})
        drawMarker(painter, *box, GraphColours::curve, GraphColours::curve, markerOutlinePx);
    painter.setPen(GraphColours::grid);
    drawLabel(painter, hpBox.left, hpBox.top - cornerLabelRise, QStringLiteral("HP"), crossoverTexts);
    drawLabel(painter, lpBox.left, lpBox.top - cornerLabelRise, QStringLiteral("LP"), crossoverTexts);
}
