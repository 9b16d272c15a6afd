#include "widgets/ScreenFit.h"

#include "widgets/CSkinScrollWnd.h"

#include <QEvent>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

namespace ScreenFit {
namespace {

AreaSource& areaSource()
{
    static AreaSource source;
    return source;
}

// Watches one window's shows.
class ScreenKeeper : public QObject {
public:
    ScreenKeeper(QWidget* window, QWidget* content) : QObject(window), window(window), content(content)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window && event->type() == QEvent::Show)
            fit();
        return QObject::eventFilter(watched, event);
    }

private:
    void fit();
    bool scrollContent(QSize room);

    QWidget* window;
    QPointer<QWidget> content;
    QScrollArea* view = nullptr;
};

void ScreenKeeper::fit()
{
    if (window->isMaximized() || window->isFullScreen())
        return;
    const QRect area = availableArea(window);
    if (area.isEmpty())
        return;
    // What the platform adds around the window (nothing for a painted frame).
    const QSize decoration = window->frameGeometry().size() - window->size();
    const QSize room = area.size() - decoration;
    const QSize size = window->size();
    if (size.width() <= room.width() && size.height() <= room.height())
        return; // it fits: left exactly as it is
    if (!scrollContent(room)) {
        window->setMinimumSize(window->minimumSize().boundedTo(room));
        window->resize(size.boundedTo(room));
    }
    window->move(placedInside(QRect(window->pos(), window->size() + decoration), area).topLeft());
}

bool ScreenKeeper::scrollContent(QSize room)
{
    if (view)
        return true; // already scrolled; the window keeps the view's size
    QLayout* layout = window->layout();
    if (!content || !layout)
        return false;
    // Everything of the window but the content keeps its size.
    const QSize around = window->size() - content->size();
    const QSize contentRoom = room - around;
    auto* scrolled = new QScrollArea;
    scrolled->setFrameShape(QFrame::NoFrame);
    scrolled->setWidgetResizable(false);
    scrolled->setBackgroundRole(QPalette::Window);
    // The layout hands back the content's old item, which is ours to delete.
    QLayoutItem* replaced = layout->replaceWidget(content, scrolled);
    if (!replaced) {
        delete scrolled;
        return false;
    }
    delete replaced;
    view = scrolled;
    view->setWidget(content);
    CSkinScrollWnd::skinWindow(view);
    const int bar = view->verticalScrollBar()->sizeHint().width();
    view->setFixedSize(scrolledViewSize(content->size(), contentRoom, bar));
    // The window is being shown: a new child is not shown with it.
    view->show();
    layout->activate();
    // A window without a fixed-size layout takes its new size here.
    window->resize(window->size().boundedTo(room));
    return true;
}

} // namespace

void setAvailableArea(AreaSource source)
{
    areaSource() = std::move(source);
}

QRect availableArea(const QWidget* window)
{
    if (areaSource())
        return areaSource()(window);
    const QScreen* screen = window->screen();
    return screen ? screen->availableGeometry() : QRect();
}

QSize scrolledViewSize(QSize content, QSize room, int bar)
{
    // A bar across one direction takes room from the other, which may then
    // need its own bar too.
    bool across = content.width() > room.width();
    bool down = content.height() > room.height();
    across = across || (down && content.width() > room.width() - bar);
    down = down || (across && content.height() > room.height() - bar);
    across = across || (down && content.width() > room.width() - bar);
    const QSize wanted(content.width() + (down ? bar : 0), content.height() + (across ? bar : 0));
    return wanted.boundedTo(room).expandedTo(QSize(0, 0));
}

QRect placedInside(const QRect& frame, const QRect& area)
{
    QRect placed = frame;
    placed.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())));
    placed.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    return placed;
}

void keepOnScreen(QWidget* window, QWidget* content)
{
    new ScreenKeeper(window, content);
}

} // namespace ScreenFit
