#pragma once

#include <QPixmap>
#include <QPoint>
#include <QScrollBar>

class ClockTimer;
class QPainter;

// The geometry and the mouse rules of a scroll bar painted from a skin, as
// pure functions of the bar's length and its scroll information.
namespace SkinScroll {

// Parts of a bar; the numbers are the scroll request codes a part sends.
enum Part {
    NoPart = -1,
    FirstArrow = 0,  // up or left: line up
    SecondArrow = 1, // down or right: line down
    TrackBefore = 2, // page up
    TrackAfter = 3,  // page down
    ThumbPosition = 4, // sent when a thumb drag ends
    Thumb = 5,       // thumb track
};

// Scroll information as a scroll bar keeps it: the range nMin..nMax covers
// the whole content, nPage is the visible part, and the last position is
// nMax - nPage + 1.
struct ScrollInfo {
    int nMin = 0;
    int nMax = 0;
    int nPage = 0;
    int nPos = 0;
    bool operator==(const ScrollInfo&) const = default;
};

// A QScrollBar's range holds positions only (its maximum is the last one).
ScrollInfo fromSlider(int minimum, int maximum, int pageStep, int value);
// The number of steps between the first and the last position; 0 when the
// page covers the whole range.
int scrollSpan(const ScrollInfo& info);
int lastPosition(const ScrollInfo& info);
// A skinned bar is enabled only while there is something to scroll.
bool barEnabled(const ScrollInfo& info);

struct Geometry {
    int length = 0; // L
    int track = 0;  // t
    int arrow = 0;  // a
    int thumb = 0;  // g
    int offset = 0; // o, from the end of the first arrow
    int thumbStart() const { return arrow + offset; }
    int thumbEnd() const { return arrow + offset + thumb; }
    // [begin, end) of a part along the bar.
    std::pair<int, int> span(Part part) const;
};

// position is the tracking position during a drag, the position otherwise.
Geometry geometry(int length, int cell, const ScrollInfo& info, int position);
Part hitTest(const Geometry& g, int along);
// The position a thumb drag of `delta` pixels from the press leads to.
int dragPosition(const Geometry& g, const ScrollInfo& info, int startPosition, int delta);
// Whether an auto-repeat tick of a pressed part sends nothing.
bool repeatStops(Part pressed, const ScrollInfo& info, bool pointerOverThumb);

} // namespace SkinScroll

// A QScrollBar painted from a skin picture (see SkinPictures::scrollSkin):
// arrows from their cells, the thumb in three pieces, the track tiled. Its
// press, auto-repeat and drag rules are its own; its value is the scroll
// state of the area it is set on, so the area never disagrees with it.
class CSkinScrollBar : public QScrollBar {
    Q_OBJECT

public:
    static constexpr int initialDelayMs = 500;
    static constexpr int repeatMs = 100;

    explicit CSkinScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Without a skin the bar draws as the style's own. The cell size is the
    // picture's width / 9 in device-independent pixels.
    void setSkin(const QPixmap& skin);
    QPixmap skin() const { return picture; }
    int cellSize() const { return cell; }

    SkinScroll::ScrollInfo scrollInfo() const;
    SkinScroll::Geometry barGeometry() const;
    int trackPosition() const { return trackPos; }
    bool isDragging() const { return dragging; }
    SkinScroll::Part pressedPart() const { return pressed; }
    SkinScroll::Part hoverPart() const { return hover; }
    bool pointerLeftPressedPart() const { return leftPressed; }

    // The bar enables itself only while there is something to scroll.
    void setEnabledByRange(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int along(const QPoint& point) const;
    QRect partRect(SkinScroll::Part part, const SkinScroll::Geometry& g) const;
    void sendPart(SkinScroll::Part part);
    void onRepeatTick();
    void setHover(SkinScroll::Part part);
    void drawCell(QPainter& p, const QRectF& target, int column, int row, const QRectF& within) const;
    int stateRow(SkinScroll::Part part) const;

    QPixmap picture;
    int cell = 0;
    int trackPos = -1;
    bool dragging = false;
    int dragStartAlong = 0;
    int dragStartPos = 0;
    SkinScroll::Part pressed = SkinScroll::NoPart;
    SkinScroll::Part hover = SkinScroll::NoPart;
    bool leftPressed = false;
    bool fastRepeat = false;
    bool enabledByRange = false;
    QPoint lastPointer;
    ClockTimer* repeat = nullptr;
};
