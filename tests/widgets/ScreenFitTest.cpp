#include "TestDesktop.h"
#include "widgets/CSkinScrollBar.h"
#include "widgets/ScreenFit.h"
#include "widgets/SkinnedFrame.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using ScreenFit::placedInside;
using ScreenFit::scrolledViewSize;

namespace {

TEST(ScreenFitGeometry, ScrolledViewTakesTheBarsItNeeds)
{
    const struct {
        const char* what;
        QSize content, room, expected;
    } rows[] = {
        {"fits", {800, 500}, {900, 600}, {800, 500}},
        {"too wide, room for the bar below", {800, 500}, {700, 600}, {700, 513}},
        {"too wide, the bar below makes it too high", {800, 500}, {700, 505}, {700, 505}},
        {"too high, room for the bar beside", {800, 500}, {900, 400}, {813, 400}},
        {"too high and too wide", {800, 500}, {700, 400}, {700, 400}},
        {"just fits, no bar", {800, 500}, {800, 500}, {800, 500}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(scrolledViewSize(row.content, row.room, 13), row.expected) << row.what;
}

TEST(ScreenFitGeometry, PlacedInsideKeepsTheCaptionOnTheScreen)
{
    const QRect area(0, 0, 1366, 728);
    EXPECT_EQ(placedInside(QRect(100, 50, 600, 400), area), QRect(100, 50, 600, 400));
    EXPECT_EQ(placedInside(QRect(1000, 500, 600, 400), area), QRect(766, 328, 600, 400));
    EXPECT_EQ(placedInside(QRect(-40, -10, 600, 400), area), QRect(0, 0, 600, 400));
    // Larger than the area: the top left corner stays in it.
    EXPECT_EQ(placedInside(QRect(-30, 200, 1430, 765), area).topLeft(), QPoint(0, 0));
    EXPECT_EQ(placedInside(QRect(10, 10, 600, 400), QRect(0, 40, 1366, 728)).topLeft(), QPoint(10, 40));
}

// Sets the free screen area for one test.
struct AreaScope {
    explicit AreaScope(QRect area)
    {
        ScreenFit::setAvailableArea([area](const QWidget*) { return area; });
    }
    ~AreaScope() { useTestDesktop(); }
};

// A window laid out like the editor: a painted frame, a fixed-size layout
// and a content of 800 x 500 with a button at its right edge.
struct EditorLike {
    QDialog window;
    QWidget* content = new QWidget;
    QPushButton* farRight = new QPushButton(QStringLiteral("CHD"), content);
    SkinnedFrame* frame = nullptr;

    EditorLike()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        content->setFixedSize(800, 500);
        farRight->setGeometry(740, 460, 60, 40);
        layout->addWidget(content);
        frame = new SkinnedFrame(&window, SkinFrame::Kind::Editor);
        ScreenFit::keepOnScreen(&window, content);
    }
};

TEST(ScreenFitWindow, WindowThatFitsIsLeftAsItIs)
{
    EditorLike editor;
    editor.window.move(100, 100);
    editor.window.show();
    const QSize outer = QSize(800, 500).grownBy(SkinFrame::clientMargins(editor.frame->metrics()));
    EXPECT_EQ(editor.window.size(), outer);
    EXPECT_EQ(editor.content->parentWidget(), &editor.window);
    EXPECT_EQ(editor.window.findChild<QScrollArea*>(), nullptr);
    EXPECT_EQ(editor.window.pos(), QPoint(100, 100));
}

TEST(ScreenFitWindow, TooLargeWindowScrollsItsContentAndStaysOnTheScreen)
{
    const QRect area(0, 0, 640, 420);
    AreaScope scope(area);
    EditorLike editor;
    editor.window.move(200, 100);
    editor.window.show();
    const QRect placed(editor.window.pos(), editor.window.size());
    EXPECT_EQ(placed.size(), area.size()); // too wide and too high: as large as the area
    EXPECT_TRUE(area.contains(placed)) << placed.x() << "," << placed.y() << " " << placed.width() << "x"
                                       << placed.height();
    // The caption buttons are on the screen.
    const SkinFrame::CaptionLayout caption = editor.frame->layout();
    EXPECT_TRUE(area.contains(caption.close.translated(placed.topLeft())));
    EXPECT_TRUE(editor.frame->button(SkinFrame::Button::Close)->geometry().right() < placed.width());

    // The content scrolls with the skinned bars, and its far corner can be
    // brought into view.
    auto* view = editor.window.findChild<QScrollArea*>();
    ASSERT_NE(view, nullptr);
    QCoreApplication::processEvents(); // the view shows its bars
    EXPECT_EQ(view->widget(), editor.content);
    ASSERT_NE(qobject_cast<CSkinScrollBar*>(view->horizontalScrollBar()), nullptr);
    EXPECT_TRUE(view->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(view->verticalScrollBar()->isVisible());
    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    const QRect button(editor.farRight->mapTo(view->viewport(), QPoint(0, 0)), editor.farRight->size());
    EXPECT_TRUE(view->viewport()->rect().contains(button));

    // Shown again, it stays as it is.
    editor.window.hide();
    editor.window.show();
    EXPECT_EQ(QRect(editor.window.pos(), editor.window.size()), placed);
}

TEST(ScreenFitWindow, ResizableWindowShrinksToTheArea)
{
    // Laid out like the home page: children placed by hand, the opening
    // size as the smallest.
    const QRect area(0, 30, 600, 400);
    AreaScope scope(area);
    QDialog window;
    window.setWindowFlags(window.windowFlags() | Qt::FramelessWindowHint);
    window.resize(700, 500);
    window.setMinimumSize(window.size());
    ScreenFit::keepOnScreen(&window);
    window.move(50, 0);
    window.show();
    EXPECT_EQ(window.size(), QSize(600, 400));
    EXPECT_EQ(window.minimumSize(), QSize(600, 400));
    EXPECT_EQ(window.pos(), QPoint(0, 30));
}

} // namespace
