#include "widgets/SkinnedFrame.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QStyle>
#include <QWindow>

#include <algorithm>

namespace SkinFrame {
namespace {

// Sizes of the pictures and the layout of the caption around them.
constexpr int buttonSide = 23;
constexpr int buttonGap = 3;
constexpr int buttonAboveFrame = 6;
constexpr int titleIndent = 16 + 3; // icon width + 3
constexpr int titleHeight = 23;
// The editor's strips are this much narrower than its frame, and its caption
// band this much shorter than its caption.
constexpr int editorInset = 5;
// Where the platform gives no metrics: a sizing frame and a caption of the
// usual desktop sizes.
constexpr int fallbackFrame = 8;
constexpr int fallbackCaption = 24;
// The buttons reach 6 pixels above fy; a thinner frame would cut them.
constexpr int minimumFrame = buttonAboveFrame;
constexpr int maximumFrame = 16;
// The title box is 23 pixels high and starts at fy.
constexpr int minimumCaption = titleHeight + 1;
constexpr int maximumCaption = 48;

} // namespace

Metrics metricsFrom(int frameWidth, int titleBarHeight, Kind kind)
{
    Metrics m;
    const int frame = frameWidth > 0 ? std::clamp(frameWidth, minimumFrame, maximumFrame) : fallbackFrame;
    m.fx = m.fy = frame;
    m.s = titleBarHeight > 0 ? std::clamp(titleBarHeight, minimumCaption, maximumCaption) : fallbackCaption;
    // The editor's band stops 5 pixels short of its caption; its caption is
    // that much taller, so that the band is as high as the home page's.
    if (kind == Kind::Editor)
        m.s += editorInset;
    return m;
}

Metrics styleMetrics(const QWidget* window, Kind kind)
{
    const QStyle* style = window->style();
    return metricsFrom(style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window),
                       style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window), kind);
}

QMargins clientMargins(const Metrics& m)
{
    return {m.fx, m.fy + m.s, m.fx, m.fy};
}

CaptionLayout captionLayout(const Metrics& m, QSize outer)
{
    const int w = outer.width();
    const int top = m.fy - buttonAboveFrame;
    const auto buttonFromRight = [&](int index) {
        return QRect(w - m.fx - buttonSide - index * (buttonSide + buttonGap), top, buttonSide, buttonSide);
    };
    CaptionLayout l;
    l.caption = QRect(QPoint(m.fx, m.fy), QPoint(w - m.fx - 1, m.fy + m.s - 1));
    l.icon = QRect(QPoint(m.fx, m.fy), SkinPictures::iconSize);
    l.close = buttonFromRight(0);
    l.maximize = buttonFromRight(1);
    l.minimize = buttonFromRight(2);
    l.title = QRect(QPoint(m.fx + titleIndent, m.fy), QPoint(w - m.fx - 1, m.fy + titleHeight - 1));
    return l;
}

QList<QRect> captionFill(Kind kind, const Metrics& m, QSize outer)
{
    const int w = outer.width();
    const int h = outer.height();
    if (kind == Kind::HomePage)
        return {QRect(0, 0, w, m.fy + m.s), QRect(0, 0, m.fx - 1, h - 1), QRect(0, h - m.fy, w, m.fy),
                QRect(w - m.fx, 0, m.fx, h)};
    QList<QRect> fill{QRect(0, 0, w, m.fy + m.s - editorInset)};
    const int side = m.fx - editorInset;
    const int bottom = m.fy - editorInset;
    if (side > 0) {
        fill.append(QRect(0, 0, side, h));
        fill.append(QRect(w - side, 0, side, h));
    }
    if (bottom > 0)
        fill.append(QRect(0, h - bottom, w, bottom));
    return fill;
}

std::optional<Button> buttonAt(const CaptionLayout& layout, QPoint at)
{
    if (layout.close.contains(at))
        return Button::Close;
    if (layout.minimize.contains(at))
        return Button::Minimize;
    if (layout.maximize.contains(at))
        return Button::Maximize;
    return std::nullopt;
}

SkinPictures::Glyph glyphOf(Button button, bool maximised)
{
    switch (button) {
    case Button::Close:
        return SkinPictures::Glyph::Close;
    case Button::Minimize:
        return SkinPictures::Glyph::Minimize;
    case Button::Maximize:
        break;
    }
    return maximised ? SkinPictures::Glyph::Restore : SkinPictures::Glyph::Maximize;
}

Action buttonAction(Button button, bool maximised, bool canMaximise)
{
    switch (button) {
    case Button::Close:
        return Action::Close;
    case Button::Minimize:
        return Action::Minimize;
    case Button::Maximize:
        break;
    }
    if (maximised)
        return Action::Restore;
    return canMaximise ? Action::Maximize : Action::None;
}

Action pressAction(const CaptionLayout& layout, QPoint at, bool maximised, bool canMaximise)
{
    if (const std::optional<Button> button = buttonAt(layout, at))
        return buttonAction(*button, maximised, canMaximise);
    // The whole band above the client area drags the window.
    if (at.y() >= 0 && at.y() <= layout.caption.bottom() && !maximised)
        return Action::Move;
    return Action::None;
}

std::array<Grip, 8> gripRects(const Metrics& m, QSize outer)
{
    const int w = outer.width();
    const int h = outer.height();
    // The top edge is what lies above the buttons.
    const int top = std::clamp(m.fy - buttonAboveFrame, 0, 3);
    return {{
        {Qt::TopEdge | Qt::LeftEdge, QRect(0, 0, m.fx, m.fy)},
        {Qt::TopEdge, QRect(m.fx, 0, w - 2 * m.fx, top)},
        {Qt::TopEdge | Qt::RightEdge, QRect(w - m.fx, 0, m.fx, m.fy)},
        {Qt::LeftEdge, QRect(0, m.fy, m.fx, h - 2 * m.fy)},
        {Qt::RightEdge, QRect(w - m.fx, m.fy, m.fx, h - 2 * m.fy)},
        {Qt::BottomEdge | Qt::LeftEdge, QRect(0, h - m.fy, m.fx, m.fy)},
        {Qt::BottomEdge, QRect(m.fx, h - m.fy, w - 2 * m.fx, m.fy)},
        {Qt::BottomEdge | Qt::RightEdge, QRect(w - m.fx, h - m.fy, m.fx, m.fy)},
    }};
}

QRect resizedGeometry(const QRect& start, Qt::Edges edges, QPoint delta, QSize minimum)
{
    QRect r = start;
    if (edges & Qt::LeftEdge)
        r.setLeft(std::min(start.left() + delta.x(), start.right() + 1 - minimum.width()));
    if (edges & Qt::RightEdge)
        r.setRight(std::max(start.right() + delta.x(), start.left() + minimum.width() - 1));
    if (edges & Qt::TopEdge)
        r.setTop(std::min(start.top() + delta.y(), start.bottom() + 1 - minimum.height()));
    if (edges & Qt::BottomEdge)
        r.setBottom(std::max(start.bottom() + delta.y(), start.top() + minimum.height() - 1));
    return r;
}

QRegion roundedRegion(QSize outer)
{
    // Corner ellipses of 5 x 5 pixels: each corner loses the pixels outside
    // a circle of radius 2.5.
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, outer.width(), outer.height()), 2.5, 2.5);
    return QRegion(path.toFillPolygon().toPolygon());
}

} // namespace SkinFrame

using namespace SkinFrame;

namespace {

// One picture button of the caption. The frame does its hit test and hover
// by its rectangles; the button itself is there for the accessibility
// interface, which can press it.
class CaptionButton : public QAbstractButton {
public:
    CaptionButton(SkinnedFrame* frame, Button which, QWidget* parent)
        : QAbstractButton(parent), frame(frame), which(which)
    {
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawPixmap(0, 0, frame->buttonPicture(which, devicePixelRatioF()));
    }

private:
    SkinnedFrame* frame;
    Button which;
};

Qt::CursorShape cursorFor(Qt::Edges edges)
{
    if (edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge))
        return Qt::SizeFDiagCursor;
    if (edges == (Qt::TopEdge | Qt::RightEdge) || edges == (Qt::BottomEdge | Qt::LeftEdge))
        return Qt::SizeBDiagCursor;
    return (edges & (Qt::LeftEdge | Qt::RightEdge)) ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

} // namespace

// An invisible strip on an edge or a corner of a resizable window.
class FrameGrip : public QWidget {
public:
    FrameGrip(SkinnedFrame* frame, Qt::Edges edges, QWidget* parent) : QWidget(parent), frame(frame), edges(edges)
    {
        setCursor(cursorFor(edges));
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            frame->startResize(edges, event->globalPosition().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* event) override { frame->dragTo(event->globalPosition().toPoint()); }
    void mouseReleaseEvent(QMouseEvent*) override { frame->dragging = false; }

private:
    SkinnedFrame* frame;
    Qt::Edges edges;
};

SkinnedFrame::SkinnedFrame(QWidget* window, Kind kind) : QObject(window), target(window), frameKind(kind)
{
    m = styleMetrics(window, kind);
    window->setWindowFlags(window->windowFlags() | Qt::FramelessWindowHint | Qt::WindowMinMaxButtonsHint
                           | Qt::WindowCloseButtonHint);
    QPalette colours = window->palette();
    colours.setColor(QPalette::Window, QColor(SkinPictures::clientColour));
    window->setPalette(colours);
    window->setAutoFillBackground(true);
    window->setMouseTracking(true);

    const QMargins margins = clientMargins(m);
    if (window->layout()) {
        window->setContentsMargins(margins);
    } else {
        const QPoint offset(margins.left(), margins.top());
        for (QWidget* child : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!child->isWindow())
                child->move(child->pos() + offset);
        const QSize extra(margins.left() + margins.right(), margins.top() + margins.bottom());
        const QSize outer = window->size() + extra;
        if (!window->minimumSize().isNull())
            window->setMinimumSize(window->minimumSize() + extra);
        window->resize(outer);
        if (kind == Kind::Editor)
            window->setFixedSize(window->size());
    }

    const std::array<Button, 3> kinds{Button::Close, Button::Maximize, Button::Minimize};
    for (size_t i = 0; i < kinds.size(); ++i) {
        auto* b = new CaptionButton(this, kinds[i], window);
        const Button which = kinds[i];
        connect(b, &QAbstractButton::clicked, this,
                [this, which] { perform(buttonAction(which, isMaximised(), canMaximise())); });
        buttons[i] = b;
    }
    if (kind == Kind::HomePage) {
        const auto rects = gripRects(m, window->size());
        for (size_t i = 0; i < rects.size(); ++i)
            grips[i] = new FrameGrip(this, rects[i].edges, window);
    }
    updateButtonNames();

    // Without a platform title bar these are the keyboard's ways to close
    // the window and to reach its minimise, maximise and restore.
    auto* closeKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), window);
    connect(closeKey, &QShortcut::activated, this, [this] { perform(Action::Close); });
    auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), window);
    connect(menuKey, &QShortcut::activated, this, &SkinnedFrame::showWindowMenu);

    window->installEventFilter(this);
    placeChildren();
}

void SkinnedFrame::setTitleSource(std::function<QString()> source)
{
    titleSource = std::move(source);
    if (titleSource)
        target->setWindowTitle(titleSource());
    target->update();
}

CaptionLayout SkinnedFrame::layout() const
{
    return captionLayout(m, target->size());
}

QAbstractButton* SkinnedFrame::button(Button which) const
{
    return buttons[static_cast<size_t>(which)];
}

bool SkinnedFrame::isMaximised() const
{
    return target->isMaximized();
}

bool SkinnedFrame::canMaximise() const
{
    return frameKind == Kind::HomePage && target->minimumSize() != target->maximumSize();
}

QPixmap SkinnedFrame::buttonPicture(Button which, qreal devicePixelRatio) const
{
    const bool active = button(which)->isEnabled();
    return SkinPictures::captionButton(glyphOf(which, isMaximised()), active && hovered == which, devicePixelRatio,
                                       active);
}

void SkinnedFrame::perform(Action action)
{
    switch (action) {
    case Action::Close:
        // The window's own close handling decides (the home page ends the
        // program, the editor closes as its Close does).
        target->close();
        break;
    case Action::Minimize:
        target->showMinimized();
        break;
    case Action::Maximize:
        // A fixed-size window would only take the state, not the size.
        if (canMaximise())
            target->showMaximized();
        break;
    case Action::Restore:
        target->showNormal();
        break;
    case Action::Move:
    case Action::None:
        break;
    }
}

void SkinnedFrame::showWindowMenu()
{
    auto* menu = new QMenu(target);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool maximised = isMaximised();
    const auto add = [&](const QString& text, Action action, bool enabled) {
        QAction* item = menu->addAction(text);
        item->setEnabled(enabled);
        connect(item, &QAction::triggered, this, [this, action] { perform(action); });
        return item;
    };
    add(tr("Restore"), Action::Restore, maximised);
    add(tr("Minimize"), Action::Minimize, true);
    add(tr("Maximize"), Action::Maximize, canMaximise() && !maximised);
    menu->addSeparator();
    add(tr("Close"), Action::Close, true)->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    menu->popup(target->mapToGlobal(layout().icon.bottomLeft() + QPoint(0, 1)));
}

void SkinnedFrame::placeChildren()
{
    const CaptionLayout l = layout();
    buttons[static_cast<size_t>(Button::Close)]->setGeometry(l.close);
    buttons[static_cast<size_t>(Button::Maximize)]->setGeometry(l.maximize);
    buttons[static_cast<size_t>(Button::Minimize)]->setGeometry(l.minimize);
    if (grips[0]) {
        const auto rects = gripRects(m, target->size());
        for (size_t i = 0; i < rects.size(); ++i) {
            grips[i]->setGeometry(rects[i].rect);
            // A maximised window is not resized at its edges.
            grips[i]->setVisible(!isMaximised());
            grips[i]->raise();
        }
    }
    for (QAbstractButton* b : buttons)
        b->raise();
    // The clip follows every change of size, maximising and restoring too.
    target->setMask(roundedRegion(target->size()));
}

void SkinnedFrame::updateButtonNames()
{
    button(Button::Close)->setAccessibleName(tr("Close"));
    button(Button::Minimize)->setAccessibleName(tr("Minimize"));
    button(Button::Maximize)->setAccessibleName(isMaximised() ? tr("Restore") : tr("Maximize"));
    // The button agrees with the window menu: inactive where the window
    // cannot grow, and never showing a state the window is not in.
    button(Button::Maximize)->setEnabled(isMaximised() || canMaximise());
    for (QAbstractButton* b : buttons)
        b->update();
}

void SkinnedFrame::setHovered(std::optional<Button> button)
{
    if (button == hovered)
        return;
    hovered = button;
    for (QAbstractButton* b : buttons)
        b->update();
}

void SkinnedFrame::paintCaption()
{
    if (titleSource) {
        // The device line is composed anew at every caption paint, so a
        // recalled slot shows at the next one.
        target->setWindowTitle(titleSource());
    }
    const QSize outer = target->size();
    const CaptionLayout l = layout();
    QPainter p(target);
    const QColor caption(SkinPictures::captionColour);
    if (frameKind == Kind::Editor) {
        // The editor's outline stands in for the platform's dialog frame.
        p.setPen(QColor(102, 139, 139));
        p.drawRect(QRect(QPoint(0, 0), outer).adjusted(0, 0, -1, -1));
    }
    for (const QRect& r : captionFill(frameKind, m, outer))
        p.fillRect(r, caption);
    p.drawPixmap(l.icon.topLeft(), SkinPictures::applicationIcon(target->devicePixelRatioF()));

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(18);
    font.setWeight(QFont::Bold);
    p.setFont(font);
    p.setPen(QColor(SkinPictures::titleColour));
    p.setClipRect(l.title);
    p.drawText(l.title, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, target->windowTitle());
}

void SkinnedFrame::startMove(const QPoint& globalPosition)
{
    if (QWindow* handle = target->windowHandle(); handle && handle->startSystemMove())
        return;
    dragging = true;
    dragEdges = {};
    dragStart = globalPosition;
    dragGeometry = target->geometry();
}

void SkinnedFrame::startResize(Qt::Edges edges, const QPoint& globalPosition)
{
    if (isMaximised())
        return;
    if (QWindow* handle = target->windowHandle(); handle && handle->startSystemResize(edges))
        return;
    dragging = true;
    dragEdges = edges;
    dragStart = globalPosition;
    dragGeometry = target->geometry();
}

void SkinnedFrame::dragTo(const QPoint& globalPosition)
{
    if (!dragging)
        return;
    const QPoint delta = globalPosition - dragStart;
    if (!dragEdges)
        target->move(dragGeometry.topLeft() + delta);
    else
        target->setGeometry(resizedGeometry(dragGeometry, dragEdges, delta, target->minimumSize()));
}

bool SkinnedFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != target)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        paintCaption();
        break;
    case QEvent::Resize:
        placeChildren();
        break;
    case QEvent::Show:
        placeChildren();
        updateButtonNames();
        break;
    case QEvent::WindowStateChange:
        placeChildren();
        updateButtonNames();
        target->update();
        break;
    case QEvent::WindowTitleChange:
        target->update(layout().title);
        break;
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (dragging && (mouse->buttons() & Qt::LeftButton)) {
            dragTo(mouse->globalPosition().toPoint());
            return true;
        }
        setHovered(buttonAt(layout(), mouse->position().toPoint()));
        break;
    }
    case QEvent::Leave:
        setHovered(std::nullopt);
        break;
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        const Action action = pressAction(layout(), mouse->position().toPoint(), isMaximised());
        if (action == Action::Move) {
            startMove(mouse->globalPosition().toPoint());
            return true;
        }
        if (action != Action::None) {
            perform(action);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (dragging) {
            dragging = false;
            return true;
        }
        break;
    case QEvent::MouseButtonDblClick: {
        // A double-click on the caption maximises or restores a resizable
        // window, as on a platform title bar.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        if (mouse->button() == Qt::LeftButton && at.y() <= layout().caption.bottom() && !buttonAt(layout(), at)) {
            if (frameKind == Kind::HomePage)
                perform(isMaximised() ? Action::Restore : Action::Maximize);
            return true;
        }
        break;
    }
    case QEvent::ContextMenu: {
        const auto* menu = static_cast<QContextMenuEvent*>(event);
        if (menu->pos().y() <= layout().caption.bottom()) {
            showWindowMenu();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
