#include "EditorTestSupport.h"
#include "TestDesktop.h"

#include "editor/CDorvaneDlg.h"
#include "editor/EditorWidgets.h"
#include "widgets/ScreenFit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>

namespace {

// The editor on a laptop of 1366 x 768 with a panel of 40 pixels.
struct EditorScreenTest : EditorBusFixture {
    const QRect laptop{0, 0, 1366, 728};
    std::unique_ptr<CDorvaneDlg> editor;

    EditorScreenTest()
    {
        ScreenFit::setAvailableArea([this](const QWidget*) { return laptop; });
    }
    ~EditorScreenTest() override { useTestDesktop(); }
};

TEST_F(EditorScreenTest, TooLargeEditorStaysWholeAndItsControlsScroll)
{
    SimAmplifier& amp = bus.addAmplifier(address);
    for (int b = 0; b < 15; ++b)
        amp.parameters().channels[0].bands[static_cast<std::size_t>(b)].frequencyHz =
            static_cast<int>(std::round(std::pow(10.0, 1.4 + 2.8 * b / 14.0)));
    editor = std::make_unique<CDorvaneDlg>(chosenTarget());
    const QSize designed = editor->sizeHint();
    ASSERT_GT(designed.width(), laptop.width()) << "the editor fits the laptop: nothing to try";
    editor->show();
    editor->startUp();
    clock->runDue();
    QCoreApplication::processEvents();

    // The whole window, caption buttons included, is on the screen.
    const QRect placed(editor->pos(), editor->size());
    EXPECT_TRUE(laptop.contains(placed)) << placed.width() << "x" << placed.height();
    auto* view = editor->findChild<QScrollArea*>();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->horizontalScrollBar()->isVisible());

    // The CHD column comes into view by scrolling.
    QCheckBox* muteD = control<QCheckBox>(*editor, "Mute CHD");
    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
    const QRect mute(muteD->mapTo(view->viewport(), QPoint(0, 0)), muteD->size());
    EXPECT_TRUE(view->viewport()->rect().contains(mute));

    // Scrolled, the graph still picks the band under the pointer.
    view->horizontalScrollBar()->setValue(40);
    GraphArea* graph = control<GraphArea>(*editor, "EQ response");
    QWidget* canvas = graph->parentWidget();
    const MarkerBox& box = editor->markers().band(0, 9).box;
    const QPoint at = graph->pos() + QPoint(box.centreX(), box.centreY());
    QMouseEvent press(QEvent::MouseButtonPress, at, canvas->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(canvas, &press);
    EXPECT_EQ(control<QComboBox>(*editor, "Filter")->currentIndex(), 9);
}

} // namespace
