#include "editor/EditorWidgets.h"

#include <QFocusEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

const QColor frameColour(102, 139, 139);

} // namespace

EditorBox::EditorBox(QWidget* parent)
    : QLineEdit(parent)
{
}

void EditorBox::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A menu that opens over the box (the Tools menu, the box's own context
    // menu) or another window taking over leaves the user still typing here.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    Q_EMIT committed();
}

ArrowButtons::ArrowButtons(QWidget* parent)
    : QSpinBox(parent)
{
    // Only the buttons are wanted; the number stands in the box beside them.
    lineEdit()->hide();
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setFrame(false);
}

LinkIcon::LinkIcon(QWidget* parent)
    : QWidget(parent)
{
}

void LinkIcon::setConnected(bool on)
{
    if (on == connected)
        return;
    connected = on;
    update();
}

void LinkIcon::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (connected) {
        // A right-pointing arrow: shaft and head.
        const double w = r.width();
        const double h = r.height();
        const QPolygonF arrow{{r.left(), r.top() + h * 0.35}, {r.left() + w * 0.55, r.top() + h * 0.35},
                              {r.left() + w * 0.55, r.top()},     {r.right(), r.center().y()},
                              {r.left() + w * 0.55, r.bottom()},  {r.left() + w * 0.55, r.top() + h * 0.65},
                              {r.left(), r.top() + h * 0.65}};
        painter.setPen(QPen(QColor(0, 110, 0), 1));
        painter.setBrush(QColor(0, 190, 0));
        painter.drawPolygon(arrow);
        return;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(220, 0, 0));
    painter.drawEllipse(r);
    const double inset = r.width() * 0.28;
    const QRectF cross = r.adjusted(inset, inset, -inset, -inset);
    painter.setPen(QPen(Qt::white, std::max(1.5, r.width() / 7.0), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(cross.topLeft(), cross.bottomRight());
    painter.drawLine(cross.topRight(), cross.bottomLeft());
}

EditorCanvas::EditorCanvas(QWidget* parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
}

void EditorCanvas::setFrames(QList<Frame> frames)
{
    groupFrames = std::move(frames);
    update();
}

void EditorCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor background = palette().color(QPalette::Window);
    const QFontMetrics metrics(font());
    for (const Frame& frame : groupFrames) {
        painter.setPen(QPen(frameColour, 1));
        painter.setBrush(Qt::NoBrush);
        // drawRect covers width + 1 pixels; keep the frame inside its rect.
        painter.drawRect(frame.rect.adjusted(0, 0, -1, -1));
        if (frame.title.isEmpty())
            continue;
        const int left = frame.rect.left() + 6;
        const QRect titleRect(left, frame.rect.top() - metrics.height() / 2, metrics.horizontalAdvance(frame.title) + 4,
                              metrics.height());
        painter.fillRect(titleRect, background);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(titleRect, Qt::AlignCenter, frame.title);
    }
}
