#include "EditorTestSupport.h"
#include "response/GraphLabelChecks.h"

#include "app/Translations.h"
#include "editor/CDorvaneDlg.h"
#include "editor/EditorWidgets.h"
#include "response/GraphPainting.h"
#include "response/PlotGeometry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>

#include <functional>
#include <string>
#include <vector>

// Every text of the editor can be read whole: captions fit their labels,
// check boxes and buttons their rectangles, every entry of a list its closed
// list, no text runs into a group frame or a neighbouring control, and the
// graph labels stay clear of the plot frame and of each other. ctest runs
// these also with the fonts of a Chinese desktop and at 200 %.

namespace {

std::string describe(const QWidget* widget, const QString& text)
{
    return (text + QStringLiteral(" [") + QString::fromLatin1(widget->metaObject()->className())
            + QStringLiteral("] at ") + QString::number(widget->x()) + u',' + QString::number(widget->y()) + u' '
            + QString::number(widget->width()) + u'x' + QString::number(widget->height()))
        .toStdString();
}

// Where a label's text stands, in its parent's coordinates.
QRect labelTextRect(const QLabel* label)
{
    const QFontMetrics metrics(label->font());
    const QRect contents = label->contentsRect();
    const QSize text(metrics.horizontalAdvance(label->text()), metrics.height());
    const QRect placed = QStyle::alignedRect(label->layoutDirection(), label->alignment(), text, contents);
    return placed.translated(label->pos());
}

// The room a closed list has for the text of its entry.
int listTextRoom(const QComboBox* list)
{
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = list->isEditable();
    option.frame = list->hasFrame();
    const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
    // The label is drawn one pixel in from each side of the field.
    return field.width() - 2;
}

// The room a check box has for its text beside the indicator.
QRect checkBoxTextRoom(const QCheckBox* box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    option.iconSize = box->iconSize();
    return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
}

// The room a line edit has for its text.
int boxTextRoom(const QLineEdit* box)
{
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    const QRect contents = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
    const QMargins margins = box->textMargins();
    // QLineEdit keeps two pixels free on each side of its text.
    return contents.width() - margins.left() - margins.right() - 2 * 2;
}

// The graph areas by their names in the interface language.
GraphArea* eqGraph(const CDorvaneDlg& editor) { return control<GraphArea>(editor, CDorvaneDlg::tr("EQ response")); }
GraphArea* crossoverGraph(const CDorvaneDlg& editor)
{
    return control<GraphArea>(editor, CDorvaneDlg::tr("Crossover response"));
}

struct EditorFitTest : EditorBusFixture {
    ~EditorFitTest() override
    {
        removeUiCatalogue(*qApp);
        setUiLanguage(englishUi);
    }

    // The labels of both graphs, painted as the window paints them, stay
    // whole inside the area, clear of the plot frame and of each other.
    void checkGraphs(CDorvaneDlg& editor)
    {
        GraphPainter painter;
        const auto paint = [](const QWidget* area, const std::function<void(QImage&)>& draw) {
            const qreal ratio = area->devicePixelRatioF();
            QImage image((QSizeF(area->size()) * ratio).toSize(), QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            draw(image);
        };
        const GraphArea* eqArea = eqGraph(editor);
        const GraphArea* crossoverArea = crossoverGraph(editor);
        paint(eqArea, [&](QImage& image) { painter.paintEq(image, editor.eqScene()); });
        paint(crossoverArea, [&](QImage& image) { painter.paintCrossover(image, editor.crossoverScene()); });
        const EqPlotRect eq = eqPlotRect(eqArea->width(), eqArea->height());
        const CrossoverPlotRect crossover = crossoverPlotRect(crossoverArea->width(), crossoverArea->height());
        const struct {
            const char* graph;
            const std::vector<GraphLabel>& labels;
            QRect area;
            QRect plot;
            int framePx;
        } graphs[] = {
            {"EQ", painter.eqLabels(), eqArea->rect(), QRect(QPoint(eq.x0, eq.y1), QPoint(eq.x1, eq.y0)), 3},
            {"crossover", painter.crossoverLabels(), crossoverArea->rect(),
             QRect(QPoint(static_cast<int>(crossover.x0), static_cast<int>(crossover.y1)),
                   QPoint(static_cast<int>(crossover.x1), static_cast<int>(crossover.y0))),
             2},
        };
        for (const auto& graph : graphs) {
            EXPECT_GE(graph.labels.size(), 13U) << graph.graph;
            for (const std::string& fault : graphLabelFaults(graph.labels, graph.area, graph.plot, graph.framePx))
                ADD_FAILURE() << graph.graph << " label " << fault;
        }
    }

    void checkWindow(CDorvaneDlg& editor)
    {
        QWidget* canvas = eqGraph(editor)->parentWidget();
        const auto* frames = static_cast<EditorCanvas*>(canvas);
        QList<QWidget*> controls;
        for (QWidget* w : canvas->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (w->isVisibleTo(canvas))
                controls.append(w);
        }

        for (QWidget* w : controls) {
            if (auto* label = qobject_cast<QLabel*>(w)) {
                const QFontMetrics metrics(label->font());
                EXPECT_LE(metrics.horizontalAdvance(label->text()), label->contentsRect().width())
                    << describe(w, label->text()) << " is too narrow";
                EXPECT_LE(metrics.height(), label->contentsRect().height()) << describe(w, label->text()) << " is too low";
                // No other control covers the text.
                const QRect text = labelTextRect(label);
                for (QWidget* other : controls) {
                    if (other != w) {
                        EXPECT_FALSE(text.intersects(other->geometry()))
                            << describe(w, label->text()) << " is covered by " << describe(other, QString());
                    }
                }
            } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
                const QRect room = checkBoxTextRoom(box);
                const QFontMetrics metrics(box->font());
                EXPECT_LE(metrics.horizontalAdvance(box->text()), room.width()) << describe(w, box->text()) << " is too narrow";
                EXPECT_LE(metrics.height(), room.height()) << describe(w, box->text()) << " is too low";
            } else if (auto* button = qobject_cast<QPushButton*>(w)) {
                EXPECT_GE(button->width(), button->sizeHint().width()) << describe(w, button->text()) << " is too narrow";
                EXPECT_LE(QFontMetrics(button->font()).height(), button->height()) << describe(w, button->text()) << " is too low";
            } else if (auto* list = qobject_cast<QComboBox*>(w)) {
                const QFontMetrics metrics(list->font());
                for (int i = 0; i < list->count(); ++i)
                    EXPECT_LE(metrics.horizontalAdvance(list->itemText(i)), listTextRoom(list))
                        << describe(w, list->itemText(i)) << " is too narrow for its entry";
            }
        }

        // Controls stand inside a group frame or clear of it, never on its
        // lines or under its title.
        for (const EditorCanvas::Frame& frame : frames->frames()) {
            const QFontMetrics metrics(canvas->font());
            const QRect inside = frame.rect.adjusted(1, 1, -1, -1);
            const QRect title(frame.rect.left() + 6, frame.rect.top() - metrics.height() / 2,
                              metrics.horizontalAdvance(frame.title) + 4, metrics.height());
            EXPECT_LE(title.right(), inside.right()) << frame.title.toStdString();
            for (QWidget* w : controls) {
                const QRect r = w->geometry();
                if (r.intersects(frame.rect)) {
                    EXPECT_TRUE(inside.contains(r)) << describe(w, frame.title) << " crosses the frame";
                }
                if (!frame.title.isEmpty()) {
                    EXPECT_FALSE(r.intersects(title)) << describe(w, frame.title) << " covers the title";
                }
            }
        }
    }
};

TEST_F(EditorFitTest, EveryTextOfTheWindowCanBeReadWhole)
{
    bus.addAmplifier(address);
    // The language goes with the desktop's fonts, as at start-up.
    setUiLanguage(uiLanguageFromLocaleName(QLocale::system().name()));
    removeUiCatalogue(*qApp);
    installUiCatalogue(*qApp);
    CDorvaneDlg editor(chosenTarget());
    editor.show();
    clock->runDue();
    clock->advance(1100);
    checkWindow(editor);
    checkGraphs(editor);

    // The widest texts the value boxes show.
    const bool chinese = uiLanguage() == chineseUi;
    const QStringList statuses = chinese ? QStringList{QStringLiteral("未连接"), QStringLiteral("直流保护"), QStringLiteral("温度压限")}
                                         : QStringList{QStringLiteral("Not connected"), QStringLiteral("Dc protection"),
                                                       QStringLiteral("TEMP pressure limit")};
    const QStringList readings{QStringLiteral("150.00V"), QStringLiteral("125.00℃"), QStringLiteral("-80dB"),
                               chinese ? QStringLiteral("短路") : QStringLiteral("overload")};
    const auto expectShows = [](const QLineEdit* box, const QStringList& texts) {
        for (const QString& text : texts)
            EXPECT_LE(QFontMetrics(box->font()).horizontalAdvance(text), boxTextRoom(box))
                << describe(box, text) << " cannot show it";
    };
    expectShows(control<QLineEdit>(editor, CDorvaneDlg::tr("Connection status")), statuses);
    expectShows(control<QLineEdit>(editor, CDorvaneDlg::tr("Power TEMP")), {QStringLiteral("125.00℃")});
    // The channel columns' boxes, by their names in the interface language.
    const auto columnText = [](const char* text) { return QCoreApplication::translate("ChannelColumns", text); };
    for (int c = 0; c < 4; ++c) {
        const QString volume = columnText("%1 value").arg(perChannel(columnText("Vol(dB)"), c));
        for (const QString& name : {perChannel(columnText("Voltage"), c), perChannel(columnText("Current"), c),
                                    perChannel(columnText("Temperature"), c), volume})
            expectShows(control<QLineEdit>(editor, name), readings);
    }
}

// The graphs are painted at the screen's pixel ratio, not stretched from a
// picture of the area's size.
TEST_F(EditorFitTest, GraphsArePaintedInTheScreensPixels)
{
    CDorvaneDlg editor(chosenTarget());
    editor.show();
    for (ResponseGraphView* graph : {eqGraph(editor), crossoverGraph(editor)}) {
        const QImage& image = graph->render();
        EXPECT_EQ(image.devicePixelRatio(), graph->devicePixelRatioF()) << graph->accessibleName().toStdString();
        EXPECT_EQ(image.size(), (QSizeF(graph->size()) * graph->devicePixelRatioF()).toSize())
            << graph->accessibleName().toStdString();
    }
}

} // namespace
