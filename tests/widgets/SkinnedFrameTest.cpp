#include "widgets/SkinnedFrame.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDialog>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace SkinFrame;

namespace {

TEST(SkinFrameGeometry, MetricsFromThePlatformWithFallbacks)
{
    const struct {
        int frame, title;
        Kind kind;
        Metrics expected;
    } rows[] = {
        {0, 0, Kind::HomePage, {8, 8, 24}},   // no metrics
        {4, 20, Kind::HomePage, {6, 6, 24}},  // too thin for the buttons and the title
        {10, 30, Kind::HomePage, {10, 10, 30}},
        {100, 100, Kind::HomePage, {16, 16, 48}},
        {0, 0, Kind::Editor, {8, 8, 29}},     // the editor's band is 5 short of its caption
    };
    for (const auto& row : rows)
        EXPECT_EQ(metricsFrom(row.frame, row.title, row.kind), row.expected) << row.frame << " " << row.title;
    EXPECT_EQ(clientMargins({8, 8, 24}), QMargins(8, 32, 8, 8));
}

TEST(SkinFrameGeometry, ButtonsAndTitleForGivenMetrics)
{
    const CaptionLayout l = captionLayout({8, 8, 24}, QSize(400, 300));
    EXPECT_EQ(l.caption, QRect(QPoint(8, 8), QPoint(391, 31)));
    EXPECT_EQ(l.icon, QRect(8, 8, 16, 15));
    // x from W - fx - 23 to W - fx, y from fy - 6 to fy + 17, 3 apart.
    EXPECT_EQ(l.close, QRect(369, 2, 23, 23));
    EXPECT_EQ(l.maximize, QRect(343, 2, 23, 23));
    EXPECT_EQ(l.minimize, QRect(317, 2, 23, 23));
    EXPECT_EQ(l.title, QRect(QPoint(27, 8), QPoint(391, 30)));
}

TEST(SkinFrameGeometry, BandAndStripsOfBothWindows)
{
    const QSize outer(400, 300);
    EXPECT_EQ(captionFill(Kind::HomePage, {8, 8, 24}, outer),
              (QList<QRect>{QRect(0, 0, 400, 32), QRect(0, 0, 7, 299), QRect(0, 292, 400, 8), QRect(392, 0, 8, 300)}));
    EXPECT_EQ(captionFill(Kind::Editor, {8, 8, 29}, outer),
              (QList<QRect>{QRect(0, 0, 400, 32), QRect(0, 0, 3, 300), QRect(397, 0, 3, 300), QRect(0, 297, 400, 3)}));
    // No strips at a frame of 5 pixels or less.
    EXPECT_EQ(captionFill(Kind::Editor, {5, 5, 29}, outer), QList<QRect>{QRect(0, 0, 400, 29)});
}

TEST(SkinFrameGeometry, PressActionsFirstMatchWins)
{
    const CaptionLayout l = captionLayout({8, 8, 24}, QSize(400, 300));
    const struct {
        QPoint at;
        bool maximised;
        Action action;
    } rows[] = {
        {{380, 12}, false, Action::Close},     {{369, 2}, false, Action::Close},
        {{391, 24}, true, Action::Close},      {{330, 12}, false, Action::Minimize},
        {{350, 12}, false, Action::Maximize},  {{350, 12}, true, Action::Restore},
        {{367, 12}, false, Action::Move},      // the gap between two buttons
        {{100, 20}, false, Action::Move},      {{100, 20}, true, Action::None}, // no drag while maximised
        {{100, 31}, false, Action::Move},      {{100, 32}, false, Action::None}, // client area
        {{392, 12}, false, Action::Move},
    };
    for (const auto& row : rows)
        EXPECT_EQ(pressAction(l, row.at, row.maximised), row.action) << row.at.x() << "," << row.at.y();
    // A window that cannot grow is not maximised; restoring stays possible.
    EXPECT_EQ(pressAction(l, {350, 12}, false, false), Action::None);
    EXPECT_EQ(pressAction(l, {350, 12}, true, false), Action::Restore);
    EXPECT_EQ(glyphOf(Button::Maximize, false), SkinPictures::Glyph::Maximize);
    EXPECT_EQ(glyphOf(Button::Maximize, true), SkinPictures::Glyph::Restore);
    EXPECT_EQ(buttonAt(l, QPoint(339, 12)), Button::Minimize);
    EXPECT_EQ(buttonAt(l, QPoint(340, 12)), std::nullopt);
}

TEST(SkinFrameGeometry, ResizeKeepsTheMinimumAndTheOppositeEdges)
{
    const QRect start(100, 100, 400, 300);
    const QSize minimum(300, 200);
    const struct {
        Qt::Edges edges;
        QPoint delta;
        QRect expected;
    } rows[] = {
        {Qt::RightEdge, {50, 20}, QRect(100, 100, 450, 300)},
        {Qt::RightEdge, {-500, 0}, QRect(100, 100, 300, 300)},
        {Qt::LeftEdge, {-30, 0}, QRect(70, 100, 430, 300)},
        {Qt::LeftEdge, {500, 0}, QRect(200, 100, 300, 300)},
        {Qt::TopEdge | Qt::LeftEdge, {10, 10}, QRect(110, 110, 390, 290)},
        {Qt::BottomEdge, {0, -500}, QRect(100, 100, 400, 200)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(resizedGeometry(start, row.edges, row.delta, minimum), row.expected);
    // The grips lie on the strips, the top one above the buttons.
    const auto grips = gripRects({8, 8, 24}, QSize(400, 300));
    EXPECT_EQ(grips[1].rect, QRect(8, 0, 384, 2));
    EXPECT_EQ(grips[7].rect, QRect(392, 292, 8, 8));
    EXPECT_EQ(grips[7].edges, Qt::BottomEdge | Qt::RightEdge);
}

TEST(SkinFrameGeometry, RoundedCorners)
{
    const QRegion r = roundedRegion(QSize(400, 300));
    for (const QPoint corner : {QPoint(0, 0), QPoint(399, 0), QPoint(0, 299), QPoint(399, 299)})
        EXPECT_FALSE(r.contains(corner)) << corner.x() << "," << corner.y();
    for (const QPoint inside : {QPoint(3, 3), QPoint(200, 0), QPoint(0, 150), QPoint(396, 296)})
        EXPECT_TRUE(r.contains(inside)) << inside.x() << "," << inside.y();
}

TEST(SkinFrameGeometry, HoverPicturesLightUp)
{
    const QImage closeHover = SkinPictures::captionButton(SkinPictures::Glyph::Close, true, 1.0).toImage();
    const QImage close = SkinPictures::captionButton(SkinPictures::Glyph::Close, false, 1.0).toImage();
    const QImage maxHover = SkinPictures::captionButton(SkinPictures::Glyph::Maximize, true, 1.0).toImage();
    // The caption (4, 181, 207), the close button's red circle (207, 31, 30),
    // the light blue circle of the others (80, 203, 221).
    EXPECT_EQ(closeHover.size(), QSize(23, 23));
    EXPECT_EQ(QColor(closeHover.pixel(4, 11)), QColor(207, 31, 30));
    EXPECT_EQ(QColor(maxHover.pixel(4, 11)), QColor(80, 203, 221));
    EXPECT_EQ(QColor(close.pixel(4, 11)), QColor(4, 181, 207));
    EXPECT_EQ(QColor(close.pixel(0, 0)), QColor(4, 181, 207)); // the circle stays inside
    const QPixmap sharp = SkinPictures::captionButton(SkinPictures::Glyph::Close, false, 2.0);
    EXPECT_EQ(sharp.size(), QSize(46, 46));
    EXPECT_EQ(SkinPictures::scrollSkin(1.0).size(), QSize(117, 39));
}

// A dialog without a layout, as the home page is built.
struct FrameFixture : ::testing::Test {
    QDialog window;
    QLabel* label = new QLabel(QStringLiteral("client"), &window);
    SkinnedFrame* frame = nullptr;

    void SetUp() override
    {
        label->setGeometry(10, 10, 80, 20);
        window.resize(400, 300);
        window.setMinimumSize(400, 300);
        window.setWindowTitle(QStringLiteral("Velquist VX-4 editor"));
        frame = new SkinnedFrame(&window, Kind::HomePage);
    }
    void mouse(QEvent::Type type, QPoint at)
    {
        QMouseEvent event(type, at, window.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {});
        QCoreApplication::sendEvent(&window, &event);
    }
};

TEST_F(FrameFixture, ClientMovesInsideTheFrame)
{
    const Metrics m = frame->metrics();
    EXPECT_EQ(label->pos(), QPoint(10 + m.fx, 10 + m.fy + m.s));
    EXPECT_EQ(window.size(), QSize(400 + 2 * m.fx, 300 + 2 * m.fy + m.s));
    EXPECT_EQ(window.minimumSize(), window.size());
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    window.show();
    EXPECT_EQ(frame->button(Button::Close)->geometry(), frame->layout().close);
    EXPECT_FALSE(window.mask().contains(QPoint(0, 0)));
}

TEST_F(FrameFixture, ButtonsAreNamedAndPressableThroughAccessibility)
{
    window.show();
    EXPECT_EQ(frame->button(Button::Minimize)->accessibleName(), QStringLiteral("Minimize"));
    EXPECT_EQ(frame->button(Button::Maximize)->accessibleName(), QStringLiteral("Maximize"));
    EXPECT_EQ(frame->button(Button::Close)->accessibleName(), QStringLiteral("Close"));
    frame->perform(Action::Maximize);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isMaximized());
    EXPECT_EQ(frame->button(Button::Maximize)->accessibleName(), QStringLiteral("Restore"));
    EXPECT_FALSE(window.mask().contains(QPoint(0, 0))); // rounded at the new size too
    frame->perform(Action::Restore);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->button(Button::Maximize)->accessibleName(), QStringLiteral("Maximize"));

    QAccessibleInterface* close = QAccessible::queryAccessibleInterface(frame->button(Button::Close));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(QAccessible::Name), QStringLiteral("Close"));
    ASSERT_NE(close->actionInterface(), nullptr);
    bool finished = false;
    QObject::connect(&window, &QDialog::finished, [&finished] { finished = true; });
    close->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    for (int i = 0; i < 50 && !finished; ++i)
        QTest::qWait(10); // the press is an animated click
    EXPECT_TRUE(finished);
}

TEST_F(FrameFixture, HoverChoosesThePictureAndPressActs)
{
    window.show();
    const CaptionLayout l = frame->layout();
    mouse(QEvent::MouseMove, l.close.center());
    EXPECT_EQ(frame->hoveredButton(), Button::Close);
    EXPECT_EQ(QColor(frame->buttonPicture(Button::Close, 1.0).toImage().pixel(4, 11)), QColor(207, 31, 30));
    EXPECT_EQ(QColor(frame->buttonPicture(Button::Minimize, 1.0).toImage().pixel(4, 11)), QColor(4, 181, 207));
    mouse(QEvent::MouseMove, l.title.center());
    EXPECT_EQ(frame->hoveredButton(), std::nullopt);

    // Dragging the caption moves the window where no window manager does it.
    const QPoint before = window.pos();
    mouse(QEvent::MouseButtonPress, QPoint(100, 20));
    QMouseEvent drag(QEvent::MouseMove, QPointF(130, 40), window.mapToGlobal(QPointF(130, 40)), Qt::NoButton,
                     Qt::LeftButton, {});
    QCoreApplication::sendEvent(&window, &drag);
    mouse(QEvent::MouseButtonRelease, QPoint(130, 40));
    EXPECT_EQ(window.pos(), before + QPoint(30, 20));

    mouse(QEvent::MouseButtonPress, l.close.center());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(FrameFixture, KeyboardReachesTheCaptionButtons)
{
    window.show();
    QApplication::setActiveWindow(&window);
    // Alt+Space opens the window menu with the caption buttons' actions.
    QTest::keyClick(&window, Qt::Key_Space, Qt::AltModifier);
    auto* menu = window.findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            items.append(action->text() + (action->isEnabled() ? QString() : QStringLiteral(" (off)")));
    EXPECT_EQ(items, (QStringList{"Restore (off)", "Minimize", "Maximize", "Close"}));
    menu->close();
    // Alt+F4 closes.
    QTest::keyClick(&window, Qt::Key_F4, Qt::AltModifier);
    EXPECT_FALSE(window.isVisible());
}

TEST(SkinnedFrameEditor, LayoutKeepsItsFixedSizeInsideTheFrame)
{
    QDialog window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* client = new QWidget;
    client->setFixedSize(300, 200);
    layout->addWidget(client);
    QString title = QStringLiteral("Device address：9");
    SkinnedFrame frame(&window, Kind::Editor);
    frame.setTitleSource([&title] { return title; });
    window.show();
    const Metrics m = frame.metrics();
    EXPECT_EQ(window.size(), QSize(300 + 2 * m.fx, 200 + 2 * m.fy + m.s));
    EXPECT_EQ(client->pos(), QPoint(m.fx, m.fy + m.s));
    // The title is composed anew at every caption paint.
    title = QString::fromUtf8("Device address：9    Loading save ID：4");
    window.grab();
    EXPECT_EQ(window.windowTitle(), title);
}

TEST(SkinnedFrameEditor, FixedSizeWindowShowsItsMaximiseButtonInactive)
{
    QDialog window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* client = new QWidget;
    client->setFixedSize(300, 200);
    layout->addWidget(client);
    SkinnedFrame frame(&window, Kind::Editor);
    window.show();
    const QSize size = window.size();
    const CaptionLayout l = frame.layout();

    // Pressed, hovered or asked through accessibility: nothing changes.
    QAbstractButton* maximise = frame.button(Button::Maximize);
    EXPECT_FALSE(frame.canMaximise());
    EXPECT_FALSE(maximise->isEnabled());
    EXPECT_EQ(maximise->accessibleName(), QStringLiteral("Maximize"));
    QMouseEvent press(QEvent::MouseButtonPress, l.maximize.center(), window.mapToGlobal(l.maximize.center()),
                      Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&window, &press);
    frame.perform(Action::Maximize);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isMaximized());
    EXPECT_EQ(window.size(), size);
    EXPECT_EQ(frame.buttonPicture(Button::Maximize, 1.0).toImage(),
              SkinPictures::captionButton(SkinPictures::Glyph::Maximize, false, 1.0, false).toImage());
    QMouseEvent hover(QEvent::MouseMove, l.maximize.center(), window.mapToGlobal(l.maximize.center()), Qt::NoButton,
                      Qt::NoButton, {});
    QCoreApplication::sendEvent(&window, &hover);
    EXPECT_EQ(QColor(frame.buttonPicture(Button::Maximize, 1.0).toImage().pixel(4, 11)),
              QColor(4, 181, 207));

    // The inactive glyph is faded, not gone.
    const QImage inactive = frame.buttonPicture(Button::Maximize, 1.0).toImage();
    const QImage active = SkinPictures::captionButton(SkinPictures::Glyph::Maximize, false, 1.0).toImage();
    const QColor glyph(active.pixel(7, 11));
    const QColor faded(inactive.pixel(7, 11));
    EXPECT_EQ(glyph, QColor(Qt::white));
    EXPECT_LT(faded.lightness(), glyph.lightness());
    EXPECT_GT(faded.lightness(), QColor(4, 181, 207).lightness());

    // The window menu agrees with the button.
    frame.showWindowMenu();
    auto* menu = window.findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions()) {
        if (action->text() == QStringLiteral("Maximize")) {
            EXPECT_EQ(action->isEnabled(), maximise->isEnabled());
        }
    }
    menu->close();
}

} // namespace
