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
    // At the screen's pixel ratio, so that labels and curves are as sharp
    // as the controls beside them instead of stretched.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (picture.size() != pixels || picture.devicePixelRatio() != ratio) {
        picture = QImage(pixels, QImage::Format_RGB32);
        picture.setDevicePixelRatio(ratio);
    }
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
