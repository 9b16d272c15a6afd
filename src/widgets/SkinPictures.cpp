#include "widgets/SkinPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <array>
#include <cmath>

namespace SkinPictures {
namespace {

QPixmap blankPixmap(QSize size, qreal ratio, const QColor& fill)
{
    QPixmap pixmap(QSize(qCeil(size.width() * ratio), qCeil(size.height() * ratio)));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(fill);
    return pixmap;
}

void drawGlyph(QPainter& p, Glyph glyph, const QColor& ground)
{
    const QColor white(titleColour);
    QPen pen(white, 1.0);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
    case Glyph::Close:
        pen.setWidthF(1.4);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QPointF(7.5, 7.5), QPointF(15.5, 15.5));
        p.drawLine(QPointF(15.5, 7.5), QPointF(7.5, 15.5));
        break;
    case Glyph::Maximize:
        p.drawRect(QRectF(7.5, 7.5, 8, 8));
        p.drawLine(QPointF(7.5, 8.5), QPointF(15.5, 8.5)); // the window's own title strip
        break;
    case Glyph::Restore:
        // The back window shows only where the front one does not cover it.
        p.drawRect(QRectF(9.5, 6.5, 7, 7));
        p.setBrush(ground);
        p.drawRect(QRectF(6.5, 9.5, 7, 7));
        break;
    case Glyph::Minimize:
        p.fillRect(QRectF(7, 14, 9, 1.5), white);
        break;
    }
}

// Cell colours by state row: normal, hover, pressed.
struct CellColours {
    QColor ground;
    QColor edge;
    QColor teal;
    QColor tealEdge;
};
const std::array<CellColours, scrollRows>& cellColours()
{
    static const std::array<CellColours, scrollRows> colours{{
        {QColor(160, 228, 238), QColor(96, 190, 204), QColor(0, 128, 128), QColor(0, 92, 96)},
        {QColor(190, 242, 248), QColor(80, 200, 214), QColor(0, 156, 156), QColor(0, 110, 114)},
        {QColor(118, 206, 220), QColor(60, 160, 176), QColor(0, 96, 100), QColor(0, 64, 68)},
    }};
    return colours;
}
const QColor accent(170, 214, 40);
// An inactive caption button's glyph: visible, plainly not pressable.
constexpr qreal inactiveGlyphOpacity = 0.4;
const QColor trackGround(178, 233, 241);
const QColor trackEdge(118, 198, 212);

// The cells are drawn for the vertical bar; the horizontal bar's cells are
// the same pictures transposed (up becomes left, down becomes right).
enum class Cell { FirstArrow, SecondArrow, Thumb, Track };

void drawVerticalCell(QPainter& p, Cell cell, int row)
{
    const CellColours& c = cellColours()[static_cast<size_t>(row)];
    const qreal d = scrollCell;
    switch (cell) {
    case Cell::FirstArrow:
    case Cell::SecondArrow: {
        p.fillRect(QRectF(0, 0, d, d), c.ground);
        p.setPen(QPen(c.edge, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(0.5, 0.5, d - 1, d - 1), 2, 2);
        p.save();
        if (cell == Cell::SecondArrow) {
            p.translate(d, d);
            p.rotate(180);
        }
        p.setPen(QPen(c.tealEdge, 0.8));
        p.setBrush(c.teal);
        p.drawPolygon(QPolygonF({QPointF(6.5, 3.0), QPointF(10.5, 8.0), QPointF(2.5, 8.0)}));
        p.setPen(QPen(accent, 1.0));
        p.drawLine(QPointF(4.0, 10.0), QPointF(9.0, 10.0));
        p.restore();
        break;
    }
    case Cell::Thumb:
        // The bar repeats rows 3 to 9 along a long thumb, so the rounded
        // ends stay within the first and last 3 rows: a corner reaching
        // further would repeat its fade as a dashed border.
        p.fillRect(QRectF(0, 0, d, d), trackGround);
        p.setPen(QPen(c.tealEdge, 1.0));
        p.setBrush(c.teal);
        p.drawRoundedRect(QRectF(1.5, 0.5, d - 3, d - 1), 2.5, 2.5);
        p.setPen(QPen(accent, 1.0));
        p.drawLine(QPointF(6.5, 3.0), QPointF(6.5, d - 3.0));
        break;
    case Cell::Track:
        p.fillRect(QRectF(0, 0, d, d), trackGround);
        p.setPen(QPen(trackEdge, 1.0));
        p.drawLine(QPointF(0.5, 0), QPointF(0.5, d));
        p.drawLine(QPointF(d - 0.5, 0), QPointF(d - 0.5, d));
        break;
    }
}

void drawCorner(QPainter& p, int row)
{
    const qreal d = scrollCell;
    p.fillRect(QRectF(0, 0, d, d), trackGround);
    if (row == 2)
        return;
    // A grip of dots along the diagonal towards the window's corner.
    p.save();
    if (row == 1) {
        p.translate(d, 0);
        p.scale(-1, 1);
    }
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j <= i; ++j) {
            const QPointF at(d - 3.0 - 3.0 * j, d - 3.0 - 3.0 * (i - j));
            p.setBrush(i == 2 ? accent : cellColours()[0].teal);
            p.drawEllipse(at, 1.1, 1.1);
        }
    p.restore();
}

} // namespace

QPixmap captionButton(Glyph glyph, bool hovered, qreal devicePixelRatio, bool active)
{
    const QColor ground(captionColour);
    QPixmap pixmap = blankPixmap(buttonSize, devicePixelRatio, ground);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QColor glyphGround = ground;
    if (hovered) {
        glyphGround = QColor(glyph == Glyph::Close ? closeHoverColour : buttonHoverColour);
        p.setPen(Qt::NoPen);
        p.setBrush(glyphGround);
        p.drawEllipse(QRectF(1, 1, 21, 21));
    }
    if (!active)
        p.setOpacity(inactiveGlyphOpacity);
    drawGlyph(p, glyph, glyphGround);
    return pixmap;
}

QPixmap applicationIcon(qreal devicePixelRatio)
{
    QPixmap pixmap = blankPixmap(iconSize, devicePixelRatio, Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A white amplifier face with four channel meters.
    p.setPen(QPen(QColor(0, 92, 110), 1.0));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 14), 3, 3);
    const std::array<qreal, 4> levels{6, 9, 4, 8};
    for (size_t i = 0; i < levels.size(); ++i) {
        const qreal x = 3 + 2.8 * static_cast<qreal>(i);
        p.fillRect(QRectF(x, 12 - levels[i], 1.8, levels[i]), i % 2 ? QColor(0, 128, 150) : QColor(captionColour));
    }
    p.fillRect(QRectF(2.5, 12, 11, 1), accent);
    return pixmap;
}

QPixmap scrollSkin(qreal devicePixelRatio)
{
    const int d = scrollCell;
    QPixmap pixmap = blankPixmap(QSize(scrollColumns * d, scrollRows * d), devicePixelRatio, trackGround);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const std::array<Cell, 4> cells{Cell::FirstArrow, Cell::SecondArrow, Cell::Thumb, Cell::Track};
    for (int row = 0; row < scrollRows; ++row) {
        for (int column = 0; column < scrollColumns; ++column) {
            p.save();
            p.setClipRect(QRect(column * d, row * d, d, d));
            p.translate(column * d, row * d);
            if (column == scrollColumns - 1) {
                drawCorner(p, row);
            } else {
                if (column >= 4)
                    p.setTransform(QTransform(0, 1, 1, 0, 0, 0), true); // transposed
                drawVerticalCell(p, cells[static_cast<size_t>(column % 4)], row);
            }
            p.restore();
        }
    }
    return pixmap;
}

} // namespace SkinPictures
