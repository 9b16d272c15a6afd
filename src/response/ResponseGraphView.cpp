#include "response/ResponseGraphView.h"

#include <QPainter>

ResponseGraphView::ResponseGraphView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ResponseGraphView::setPainter(Painter painter)
{
    paint = std::move(painter);
    update();
}

const QImage& ResponseGraphView::render()
{
    if (picture.size() != size())
        picture = QImage(size(), QImage::Format_RGB32);
    if (paint)
        paint(picture);
    else
        picture.fill(Qt::black);
    return picture;
}

void ResponseGraphView::paintEvent(QPaintEvent*)
{
    render();
    QPainter painter(this);
    painter.drawImage(0, 0, picture);
}
