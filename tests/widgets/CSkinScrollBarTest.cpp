#include "clock/VirtualClock.h"
#include "widgets/CListCtrlCl.h"
#include "widgets/CSkinScrollBar.h"
#include "widgets/CSkinScrollWnd.h"
#include "widgets/SkinPictures.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

using namespace SkinScroll;

namespace {

struct GeometryRow {
    const char* what;
    int length;
    ScrollInfo info;
    int position;
    int track, arrow, thumb, offset;
};

TEST(SkinScrollGeometry, ThumbLengthAndOffset)
{
    const GeometryRow rows[] = {
        {"top", 200, {0, 99, 10, 0}, 0, 174, 13, 17, 0},
        {"middle", 200, {0, 99, 10, 0}, 45, 174, 13, 17, 78},
        {"last position ends at the second arrow", 200, {0, 99, 10, 0}, 90, 174, 13, 17, 157},
        {"tiny page: at least 6", 200, {0, 9999, 10, 0}, 9990, 174, 13, 6, 168},
        {"track below 6: no thumb", 30, {0, 99, 10, 0}, 45, 4, 13, 0, 2},
        {"page covers the range: divisor 0", 200, {0, 9, 10, 0}, 0, 174, 13, 0, 87},
        {"empty range", 200, {0, -1, 0, 0}, 0, 174, 13, 0, 87},
        {"shorter than two cells", 20, {0, 99, 10, 0}, 45, 0, 10, 0, 0},
        {"range not starting at 0", 200, {10, 109, 10, 0}, 10, 174, 13, 17, 0},
        {"position beyond the end", 200, {0, 99, 10, 0}, 500, 174, 13, 17, 157},
    };
    for (const GeometryRow& row : rows) {
        const Geometry g = geometry(row.length, 13, row.info, row.position);
        EXPECT_EQ(g.track, row.track) << row.what;
        EXPECT_EQ(g.arrow, row.arrow) << row.what;
        EXPECT_EQ(g.thumb, row.thumb) << row.what;
        EXPECT_EQ(g.offset, row.offset) << row.what;
    }
}

TEST(SkinScrollGeometry, HitTestAtTheBoundaries)
{
    // Thumb from 91 to 107, second arrow from 187.
    const Geometry bar = geometry(200, 13, {0, 99, 10, 0}, 45);
    const Geometry shortBar = geometry(20, 13, {0, 99, 10, 0}, 45);
    const struct {
        const Geometry& g;
        int at;
        Part part;
    } rows[] = {
        {bar, -1, NoPart},        {bar, 0, FirstArrow},    {bar, 12, FirstArrow},  {bar, 13, TrackBefore},
        {bar, 90, TrackBefore},   {bar, 91, Thumb},        {bar, 107, Thumb},      {bar, 108, TrackAfter},
        {bar, 186, TrackAfter},   {bar, 187, SecondArrow}, {bar, 199, SecondArrow}, {bar, 250, SecondArrow},
        {shortBar, 9, FirstArrow}, {shortBar, 10, SecondArrow},
    };
    for (const auto& row : rows)
        EXPECT_EQ(hitTest(row.g, row.at), row.part) << row.at;
}

TEST(SkinScrollGeometry, DragIsClampedToTheValidPositions)
{
    const ScrollInfo info{0, 99, 10, 0};
    const Geometry bar = geometry(200, 13, info, 45); // 157 free pixels, 90 steps
    const Geometry shortBar = geometry(20, 13, info, 45);
    const struct {
        const Geometry& g;
        int start, delta, position;
    } rows[] = {
        {bar, 45, 0, 45},     {bar, 45, 10, 50},   {bar, 45, 157, 90},
        {bar, 45, 1000, 90},  {bar, 45, -1000, 0}, {shortBar, 45, 50, 45}, // no free pixels: no move
    };
    for (const auto& row : rows)
        EXPECT_EQ(dragPosition(row.g, info, row.start, row.delta), row.position) << row.start << " " << row.delta;
    // Past the start of a range that does not begin at 0.
    EXPECT_EQ(dragPosition(bar, {10, 109, 10, 0}, 20, -1000), 10);
    EXPECT_EQ(dragPosition(bar, {10, 109, 10, 0}, 20, 1000), 100);
}

TEST(SkinScrollGeometry, RepeatStopsAtTheEndsAndUnderTheThumb)
{
    const struct {
        Part part;
        int position;
        bool overThumb;
        bool stops;
    } rows[] = {
        {FirstArrow, 0, false, true},    {FirstArrow, 1, false, false}, {SecondArrow, 90, false, true},
        {SecondArrow, 89, false, false}, {TrackBefore, 40, true, true}, {TrackBefore, 40, false, false},
        {TrackAfter, 40, true, true},    {TrackAfter, 40, false, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(repeatStops(row.part, {0, 99, 10, row.position}, row.overThumb), row.stops)
            << row.part << " " << row.position;
}

TEST(SkinScrollGeometry, SliderRangeAndEnabling)
{
    EXPECT_EQ(fromSlider(0, 90, 10, 45), (ScrollInfo{0, 99, 10, 45}));
    EXPECT_EQ(fromSlider(0, 5, 0, 2), (ScrollInfo{0, 5, 0, 2}));
    EXPECT_FALSE(barEnabled({0, 9, 10, 0}));
    EXPECT_TRUE(barEnabled({0, 10, 10, 0}));
    EXPECT_EQ(cornerMode(true, true, false), BottomRight);
    EXPECT_EQ(cornerMode(true, true, true), BottomLeft);
    EXPECT_EQ(cornerMode(true, false, false), NoCorner);
    EXPECT_EQ(cornerRow(BottomRight), 0);
    EXPECT_EQ(cornerRow(BottomLeft), 1);
}

// A vertical bar 13 x 200 over positions 0 to 90 (page 10, line 1), on the
// virtual clock.
struct BarFixture : ::testing::Test {
    ScopedVirtualClock clock;
    CSkinScrollBar bar{Qt::Vertical};

    void SetUp() override
    {
        bar.setSkin(SkinPictures::scrollSkin(1.0));
        bar.setRange(0, 90);
        bar.setPageStep(10);
        bar.setSingleStep(1);
        bar.resize(13, 200);
        bar.show();
    }
    void press(int y) { QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(6, y)); }
    void release(int y) { QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(6, y)); }
    void moveTo(int y)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(6, y), bar.mapToGlobal(QPointF(6, y)), Qt::NoButton,
                         Qt::LeftButton, {});
        QCoreApplication::sendEvent(&bar, &move);
    }
};

TEST_F(BarFixture, ArrowScrollsAtOnceThenRepeatsAfterTheDelay)
{
    press(195);
    EXPECT_EQ(bar.value(), 1);
    EXPECT_EQ(bar.pressedPart(), SecondArrow);
    clock->advance(599);
    EXPECT_EQ(bar.value(), 1); // the delay, then the first repeat at 600
    clock->advance(1);
    EXPECT_EQ(bar.value(), 2);
    clock->advance(300);
    EXPECT_EQ(bar.value(), 5);
    release(195);
    clock->advance(1000);
    EXPECT_EQ(bar.value(), 5);
    EXPECT_EQ(bar.pressedPart(), NoPart);
}

TEST_F(BarFixture, RepeatPausesOutsideThePartAndStopsAtTheEnd)
{
    bar.setValue(87);
    press(195);
    EXPECT_EQ(bar.value(), 88);
    moveTo(100); // off the arrow: paused
    EXPECT_TRUE(bar.pointerLeftPressedPart());
    clock->advance(1000);
    EXPECT_EQ(bar.value(), 88);
    moveTo(195);
    clock->advance(1000);
    EXPECT_EQ(bar.value(), 90);
    release(195);
}

TEST_F(BarFixture, TrackPagesUntilTheThumbIsUnderThePointer)
{
    press(150); // below the thumb at the top
    EXPECT_EQ(bar.value(), 10);
    clock->advance(3000);
    const Geometry g = bar.barGeometry();
    EXPECT_GE(150, g.thumbStart());
    EXPECT_LT(150, g.thumbEnd());
    const int reached = bar.value();
    clock->advance(1000);
    EXPECT_EQ(bar.value(), reached);
    release(150);
}

TEST_F(BarFixture, ThumbDragScrollsLiveAndStopsAtTheEnds)
{
    QList<int> values;
    QObject::connect(&bar, &QAbstractSlider::valueChanged, [&values](int v) { values.append(v); });
    const int thumbAt = bar.barGeometry().thumbStart() + 5;
    press(thumbAt);
    ASSERT_TRUE(bar.isDragging());
    EXPECT_EQ(bar.trackPosition(), 0);
    moveTo(thumbAt + 1000);
    EXPECT_EQ(bar.trackPosition(), 90);
    EXPECT_EQ(values.value(values.size() - 1), 90); // the area follows during the drag
    moveTo(thumbAt - 1000);
    EXPECT_EQ(bar.trackPosition(), 0);
    moveTo(thumbAt + 40);
    release(thumbAt + 40);
    EXPECT_FALSE(bar.isDragging());
    EXPECT_EQ(bar.trackPosition(), -1);
    EXPECT_EQ(bar.value(), 40 * 90 / (174 - bar.barGeometry().thumb));
}

TEST_F(BarFixture, DoubleClickOnAnArrowScrollsOnce)
{
    QWindow* window = bar.windowHandle();
    ASSERT_NE(window, nullptr);
    const QPoint at = bar.mapTo(bar.window(), QPoint(6, 195));
    QTest::mouseDClick(window, Qt::LeftButton, {}, at);
    clock->advance(2000);
    EXPECT_EQ(bar.value(), 1);
}

TEST_F(BarFixture, HoverLooksFollowThePointer)
{
    moveTo(5);
    EXPECT_EQ(bar.hoverPart(), FirstArrow);
    moveTo(100); // the track has no hover look
    EXPECT_EQ(bar.hoverPart(), NoPart);
    moveTo(bar.barGeometry().thumbStart());
    EXPECT_EQ(bar.hoverPart(), Thumb);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&bar, &leave);
    EXPECT_EQ(bar.hoverPart(), NoPart);
}

TEST_F(BarFixture, PaintsArrowsThumbAndTrackFromTheSkin)
{
    const QImage skin = SkinPictures::scrollSkin(1.0).toImage();
    const QImage painted = bar.grab().toImage();
    // Arrow cells copied as they are; the track tiled from its cell.
    EXPECT_EQ(painted.pixel(6, 4), skin.pixel(6, 4));
    EXPECT_EQ(painted.pixel(6, 195), skin.pixel(13 + 6, 8));
    EXPECT_EQ(painted.pixel(1, 150), skin.pixel(3 * 13 + 1, 150 % 13));
    // The thumb's end pieces and its repeated middle.
    const Geometry g = bar.barGeometry();
    EXPECT_EQ(painted.pixel(6, g.thumbStart()), skin.pixel(2 * 13 + 6, 0));
    EXPECT_EQ(painted.pixel(1, g.thumbStart() + 5), skin.pixel(2 * 13 + 1, 5));
}

TEST_F(BarFixture, RightClickOpensNoMenu)
{
    // A menu of the style's own would block here; it is closed and counted.
    int menus = 0;
    QTimer::singleShot(50, [&menus] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            ++menus;
            popup->close();
        }
    });
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(6, 100), bar.mapToGlobal(QPoint(6, 100)));
    QCoreApplication::sendEvent(&bar, &menu);
    QTest::qWait(100);
    EXPECT_EQ(menus, 0);
    EXPECT_TRUE(menu.isAccepted()); // nor does the table behind it open its own
    EXPECT_EQ(bar.value(), 0);
}

TEST(SkinScrollBarThumb, RepeatedMiddleHasAnUnbrokenBorder)
{
    // A long thumb is mostly its repeated middle: along it, the border
    // column and the inside read the same on every line.
    for (const qreal ratio : {1.0, 1.25, 2.0}) {
        CSkinScrollBar bar(Qt::Vertical);
        bar.setSkin(SkinPictures::scrollSkin(ratio));
        bar.setRange(0, 10);
        bar.setPageStep(100);
        bar.resize(13, 200);
        QPixmap pixmap(QSize(13, 200) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        bar.render(&pixmap);
        const QImage painted = pixmap.toImage();
        const Geometry g = bar.barGeometry();
        ASSERT_GT(g.thumb, 40);
        const int from = int((g.thumbStart() + 3) * ratio);
        const int to = int((g.thumbEnd() - 3) * ratio);
        for (int x = 0; x < painted.width(); ++x)
            for (int y = from; y < to; ++y)
                ASSERT_EQ(QColor(painted.pixel(x, y)), QColor(painted.pixel(x, from)))
                    << "ratio " << ratio << " at " << x << "," << y;
    }
}

TEST(SkinScrollBarTrack, ShowsNoSeamsWhenScaled)
{
    // At 150 % the track's cells would meet at half pixels.
    for (const qreal ratio : {1.0, 1.5}) {
        CSkinScrollBar bar(Qt::Horizontal);
        bar.setSkin(SkinPictures::scrollSkin(ratio));
        bar.setRange(0, 1000);
        bar.setPageStep(10);
        bar.resize(300, 13);
        QPixmap pixmap(QSize(300, 13) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        bar.render(&pixmap);
        const QImage painted = pixmap.toImage();
        const Geometry g = bar.barGeometry();
        const auto [begin, end] = g.span(TrackAfter);
        ASSERT_GT(end - begin, 100);
        const int from = int(std::ceil(begin * ratio)) + 1;
        for (int y = 0; y < painted.height(); ++y)
            for (int x = from; x < int(end * ratio) - 1; ++x)
                ASSERT_EQ(QColor(painted.pixel(x, y)), QColor(painted.pixel(from, y)))
                    << "ratio " << ratio << " at " << x << "," << y;
    }
}

TEST(SkinScrollBarShort, DrawsTwoStretchedArrowsOnly)
{
    CSkinScrollBar bar(Qt::Horizontal);
    bar.setSkin(SkinPictures::scrollSkin(1.0));
    bar.setRange(0, 90);
    bar.setPageStep(10);
    bar.resize(20, 13);
    const QImage painted = bar.grab().toImage();
    const QImage skin = SkinPictures::scrollSkin(1.0).toImage();
    // The right arrow's cell squeezed into the right half.
    EXPECT_EQ(bar.barGeometry().thumb, 0);
    EXPECT_EQ(QColor(painted.pixel(15, 0)).rgb(), QColor(skin.pixel(5 * 13 + 6, 0)).rgb());
}

TEST(SkinScrollWnd, TableBarsFollowTheTablesScrollState)
{
    QStandardItemModel model(3, 5);
    CListCtrlCl list;
    list.setModel(&model);
    list.resize(300, 150);
    CSkinScrollWnd* frame = CSkinScrollWnd::skinWindow(&list);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(CSkinScrollWnd::skinWindow(&list), frame); // once per area
    EXPECT_EQ(list.verticalScrollBar(), frame->verticalBar());
    EXPECT_EQ(list.horizontalScrollBar(), frame->horizontalBar());
    EXPECT_EQ(frame->verticalBar()->objectName(), QStringLiteral("101"));
    list.show();
    QCoreApplication::processEvents();
    // Three rows fit: no vertical bar; five wide columns do not.
    EXPECT_FALSE(frame->verticalBar()->isVisible());
    EXPECT_TRUE(frame->horizontalBar()->isVisible());
    EXPECT_TRUE(frame->horizontalBar()->isEnabled());
    EXPECT_EQ(frame->horizontalBar()->height(), SkinPictures::scrollCell);
    EXPECT_EQ(frame->cornerMode(), NoCorner);
    EXPECT_FALSE(frame->corner()->isVisible());
    EXPECT_EQ(frame->horizontalBar()->width(), list.viewport()->width());

    model.setRowCount(40);
    // The view lays its items out later, and the area shows its bars after that.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(frame->verticalBar()->isVisible());
    EXPECT_EQ(frame->verticalBar()->width(), SkinPictures::scrollCell);
    EXPECT_EQ(frame->cornerMode(), BottomRight);
    ASSERT_TRUE(frame->corner()->isVisible());
    const QImage corner = frame->corner()->grab().toImage();
    const QImage skin = frame->skin().toImage();
    const qreal ratio = frame->skin().devicePixelRatio();
    EXPECT_EQ(corner.pixel(10, 10), skin.pixel(int((8 * 13 + 10) * ratio), int(10 * ratio)));
    // The table scrolls with its bar.
    frame->verticalBar()->setValue(frame->verticalBar()->maximum());
    EXPECT_GT(list.rowAt(0), 0);

    // Only the horizontal bar again: no corner, and the bar as long as the
    // table is wide.
    model.setRowCount(3);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    ASSERT_FALSE(frame->verticalBar()->isVisible());
    ASSERT_TRUE(frame->horizontalBar()->isVisible());
    EXPECT_FALSE(frame->corner()->isVisible());
    EXPECT_EQ(frame->horizontalBar()->width(), list.viewport()->width());

    // Nothing left to scroll: the bar is disabled.
    frame->horizontalBar()->setRange(0, 0);
    EXPECT_FALSE(frame->horizontalBar()->isEnabled());
}

} // namespace
