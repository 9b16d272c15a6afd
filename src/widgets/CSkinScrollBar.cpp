#include "widgets/CSkinScrollBar.h"

#include "clock/WaitClock.h"
#include "widgets/SkinPictures.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace SkinScroll {

ScrollInfo fromSlider(int minimum, int maximum, int pageStep, int value)
{
    // The last position is nMax - nPage + 1, so the range reaches a page
    // beyond the slider's maximum.
    return {minimum, pageStep > 0 ? maximum + pageStep - 1 : maximum, pageStep, value};
}

int lastPosition(const ScrollInfo& info)
{
    return info.nMax - std::max(info.nPage - 1, 0);
}

int scrollSpan(const ScrollInfo& info)
{
    return std::max(lastPosition(info) - info.nMin, 0);
}

bool barEnabled(const ScrollInfo& info)
{
    // With the range starting at 0 this is nMax >= nPage.
    return scrollSpan(info) > 0;
}

std::pair<int, int> Geometry::span(Part part) const
{
    switch (part) {
    case FirstArrow:
        return {0, arrow};
    case TrackBefore:
        return {arrow, thumbStart()};
    case Thumb:
        return {thumbStart(), thumbEnd()};
    case TrackAfter:
        return {thumbEnd(), std::max(length - arrow, thumbEnd())};
    case SecondArrow:
        return {length - arrow, length};
    default:
        return {0, 0};
    }
}

Geometry geometry(int length, int cell, const ScrollInfo& info, int position)
{
    Geometry g;
    g.length = std::max(length, 0);
    g.track = std::max(g.length - 2 * cell, 0);
    g.arrow = g.track == 0 ? g.length / 2 : cell;
    const int span = scrollSpan(info);
    const qint64 range = qint64(info.nMax) - info.nMin + 1;
    if (g.track >= 6 && span > 0 && range > 0) {
        const qint64 thumb = qint64(std::max(info.nPage, 0)) * g.track / range;
        g.thumb = int(std::clamp<qint64>(thumb, 6, g.track));
    }
    if (span == 0) {
        g.offset = (g.track - g.thumb) / 2;
    } else {
        // Positions are counted from nMin, so a range that does not start
        // at 0 still puts the thumb at the ends of the track.
        const qint64 steps = std::clamp(position - info.nMin, 0, span);
        g.offset = int(steps * (g.track - g.thumb) / span);
    }
    return g;
}

Part hitTest(const Geometry& g, int along)
{
    if (along < 0)
        return NoPart;
    if (along >= g.length - g.arrow)
        return SecondArrow;
    if (along < g.arrow)
        return FirstArrow;
    if (along < g.thumbStart())
        return TrackBefore;
    if (along < g.thumbEnd())
        return Thumb;
    return TrackAfter;
}

int dragPosition(const Geometry& g, const ScrollInfo& info, int startPosition, int delta)
{
    const int free = g.track - g.thumb;
    const qint64 moved = free == 0 ? 0 : qint64(delta) * scrollSpan(info) / free;
    return int(std::clamp<qint64>(startPosition + moved, info.nMin, std::max(lastPosition(info), info.nMin)));
}

bool repeatStops(Part pressed, const ScrollInfo& info, bool pointerOverThumb)
{
    switch (pressed) {
    case FirstArrow:
        return info.nPos <= info.nMin;
    case SecondArrow:
        // The position never reaches nMax while a page is shown; the last
        // position is the end.
        return info.nPos >= lastPosition(info);
    case TrackBefore:
    case TrackAfter:
        return pointerOverThumb;
    default:
        return true;
    }
}

} // namespace SkinScroll

using namespace SkinScroll;

CSkinScrollBar::CSkinScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent), repeat(new ClockTimer(this))
{
    setMouseTracking(true);
    connect(repeat, &ClockTimer::timeout, this, &CSkinScrollBar::onRepeatTick);
}

void CSkinScrollBar::setSkin(const QPixmap& skin)
{
    picture = skin;
    cell = skin.isNull() ? 0 : qRound(skin.width() / skin.devicePixelRatio() / SkinPictures::scrollColumns);
    updateGeometry();
    update();
}

ScrollInfo CSkinScrollBar::scrollInfo() const
{
    return fromSlider(minimum(), maximum(), pageStep(), value());
}

Geometry CSkinScrollBar::barGeometry() const
{
    const int length = orientation() == Qt::Vertical ? height() : width();
    return SkinScroll::geometry(length, cell, scrollInfo(), dragging ? trackPos : value());
}

void CSkinScrollBar::setEnabledByRange(bool on)
{
    enabledByRange = on;
    if (on)
        setEnabled(barEnabled(scrollInfo()));
}

void CSkinScrollBar::sliderChange(SliderChange change)
{
    QScrollBar::sliderChange(change);
    if (enabledByRange && (change == SliderRangeChange || change == SliderStepsChange))
        setEnabled(barEnabled(scrollInfo()));
}

QSize CSkinScrollBar::sizeHint() const
{
    const QSize base = QScrollBar::sizeHint();
    if (cell == 0)
        return base;
    return orientation() == Qt::Vertical ? QSize(cell, base.height()) : QSize(base.width(), cell);
}

QSize CSkinScrollBar::minimumSizeHint() const
{
    if (cell == 0)
        return QScrollBar::minimumSizeHint();
    return orientation() == Qt::Vertical ? QSize(cell, 2 * cell) : QSize(2 * cell, cell);
}

int CSkinScrollBar::along(const QPoint& point) const
{
    return orientation() == Qt::Vertical ? point.y() : point.x();
}

QRect CSkinScrollBar::partRect(Part part, const Geometry& g) const
{
    const auto [begin, end] = g.span(part);
    return orientation() == Qt::Vertical ? QRect(0, begin, width(), end - begin)
                                         : QRect(begin, 0, end - begin, height());
}

void CSkinScrollBar::sendPart(Part part)
{
    static constexpr SliderAction actions[] = {SliderSingleStepSub, SliderSingleStepAdd, SliderPageStepSub,
                                               SliderPageStepAdd};
    if (part >= FirstArrow && part <= TrackAfter)
        triggerAction(actions[part]);
    update();
}

void CSkinScrollBar::mousePressEvent(QMouseEvent* event)
{
    if (picture.isNull()) {
        QScrollBar::mousePressEvent(event);
        return;
    }
    event->accept();
    if (event->button() != Qt::LeftButton || dragging || pressed != NoPart)
        return;
    // Qt delivers the second click of a double-click as a press too; it is
    // the double-click, and double-clicks are ignored.
    if (event->flags().testFlag(Qt::MouseEventCreatedDoubleClick))
        return;
    lastPointer = event->position().toPoint();
    const Part part = hitTest(barGeometry(), along(lastPointer));
    if (part == Thumb) {
        dragging = true;
        dragStartAlong = along(lastPointer);
        dragStartPos = trackPos = value();
        setSliderDown(true);
        update();
        return;
    }
    if (part == NoPart)
        return;
    pressed = part;
    leftPressed = false;
    fastRepeat = false;
    sendPart(part);
    repeat->setSingleShot(true);
    repeat->start(initialDelayMs);
}

void CSkinScrollBar::onRepeatTick()
{
    if (!fastRepeat) {
        fastRepeat = true;
        repeat->setSingleShot(false);
        repeat->start(repeatMs);
        return;
    }
    if (pressed == NoPart || leftPressed)
        return;
    const bool overThumb = hitTest(barGeometry(), along(lastPointer)) == Thumb;
    if (!repeatStops(pressed, scrollInfo(), overThumb))
        sendPart(pressed);
}

void CSkinScrollBar::mouseMoveEvent(QMouseEvent* event)
{
    if (picture.isNull()) {
        QScrollBar::mouseMoveEvent(event);
        return;
    }
    event->accept();
    lastPointer = event->position().toPoint();
    if (dragging) {
        const int position =
            dragPosition(barGeometry(), scrollInfo(), dragStartPos, along(lastPointer) - dragStartAlong);
        if (position != trackPos) {
            trackPos = position;
            // The area follows at once (the bar tracks), so the table
            // scrolls live.
            setSliderPosition(position);
            update();
        }
        return;
    }
    if (pressed != NoPart) {
        const bool outside = hitTest(barGeometry(), along(lastPointer)) != pressed;
        if (outside != leftPressed) {
            leftPressed = outside;
            update();
        }
        return;
    }
    setHover(hitTest(barGeometry(), along(lastPointer)));
}

void CSkinScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (picture.isNull()) {
        QScrollBar::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    lastPointer = event->position().toPoint();
    if (dragging) {
        dragging = false;
        setValue(trackPos);
        trackPos = -1;
        setSliderDown(false);
        hover = NoPart;
        setHover(hitTest(barGeometry(), along(lastPointer)));
        update();
        return;
    }
    repeat->stop();
    pressed = NoPart;
    leftPressed = false;
    update();
}

void CSkinScrollBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The first click of a double-click has scrolled already.
    if (picture.isNull())
        QScrollBar::mouseDoubleClickEvent(event);
    else
        event->accept();
}

void CSkinScrollBar::contextMenuEvent(QContextMenuEvent* event)
{
    // A skinned bar answers the left button only; the style's menu ("Scroll
    // here", ...) would come in English whatever the interface language.
    if (picture.isNull())
        QScrollBar::contextMenuEvent(event);
    else
        event->accept();
}

void CSkinScrollBar::leaveEvent(QEvent* event)
{
    QScrollBar::leaveEvent(event);
    if (!dragging && pressed == NoPart)
        setHover(NoPart);
}

void CSkinScrollBar::setHover(Part part)
{
    // Only arrows and the thumb have a hover look.
    if (part == TrackBefore || part == TrackAfter)
        part = NoPart;
    if (part == hover)
        return;
    hover = part;
    update();
}

int CSkinScrollBar::stateRow(Part part) const
{
    if (part == Thumb)
        return dragging ? 2 : hover == Thumb ? 1 : 0;
    if (pressed == part)
        return leftPressed ? 0 : 2;
    return pressed == NoPart && hover == part ? 1 : 0;
}

void CSkinScrollBar::drawCell(QPainter& p, const QRectF& target, int column, int row, const QRectF& within) const
{
    // within: the piece of the cell, in cell pixels.
    const qreal ratio = picture.devicePixelRatio();
    const QRectF source((column * cell + within.x()) * ratio, (row * cell + within.y()) * ratio,
                        within.width() * ratio, within.height() * ratio);
    p.drawPixmap(target, picture, source);
}

void CSkinScrollBar::paintEvent(QPaintEvent* event)
{
    if (picture.isNull()) {
        QScrollBar::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool vertical = orientation() == Qt::Vertical;
    const int firstColumn = vertical ? 0 : 4;
    const Geometry g = barGeometry();
    const QRectF wholeCell(0, 0, cell, cell);
    if (!isEnabled())
        p.setOpacity(0.6);

    // Arrows, stretched when the bar is too short for whole cells.
    drawCell(p, partRect(FirstArrow, g), firstColumn, stateRow(FirstArrow), wholeCell);
    drawCell(p, partRect(SecondArrow, g), firstColumn + 1, stateRow(SecondArrow), wholeCell);
    if (g.track == 0)
        return;

    // The track: its cell repeated along the bar. The cell is alike all
    // along, so its middle line is stretched over each part: copies side by
    // side would meet at fractional pixels when scaled and show seams.
    // Stretched without smoothing, each line is an exact copy of the cell's.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRectF trackLine = vertical ? QRectF(0, cell / 2, cell, 1) : QRectF(cell / 2, 0, 1, cell);
    for (Part part : {TrackBefore, TrackAfter}) {
        const QRect area = partRect(part, g);
        if (!area.isEmpty())
            drawCell(p, area, firstColumn + 3, 0, trackLine);
    }

    // The thumb: its cell's first and last 3 pixels at its ends, the middle
    // of the cell repeated between them. The middle rows are all alike, so
    // one of them is stretched over the whole length: copies side by side
    // would meet at fractional pixels when scaled and show seams.
    if (g.thumb == 0)
        return;
    constexpr int endPiece = 3;
    const int thumbColumn = firstColumn + 2;
    const int row = stateRow(Thumb);
    const int thickness = vertical ? width() : height();
    const auto piece = [&](int at, int length, int from, int cellLength) {
        const QRectF target = vertical ? QRectF(0, at, thickness, length) : QRectF(at, 0, length, thickness);
        const QRectF within = vertical ? QRectF(0, from, cell, cellLength) : QRectF(from, 0, cellLength, cell);
        drawCell(p, target, thumbColumn, row, within);
    };
    const int start = g.thumbStart();
    const int end = g.thumbEnd();
    if (end - start > 2 * endPiece)
        piece(start + endPiece, end - start - 2 * endPiece, cell / 2, 1);
    piece(start, endPiece, 0, endPiece);
    piece(end - endPiece, endPiece, cell - endPiece, endPiece);
}
