#include "widgets/CSkinScrollWnd.h"

#include "widgets/CSkinScrollBar.h"
#include "widgets/SkinPictures.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>

namespace SkinScroll {

CornerMode cornerMode(bool verticalShown, bool horizontalShown, bool verticalOnLeft)
{
    if (!verticalShown || !horizontalShown)
        return NoCorner;
    return verticalOnLeft ? BottomLeft : BottomRight;
}

int cornerRow(CornerMode mode)
{
    switch (mode) {
    case BottomRight:
        return 0;
    case BottomLeft:
        return 1;
    default:
        return -1;
    }
}

} // namespace SkinScroll

namespace {

// The square where the two bars meet.
class SkinCorner : public QWidget {
public:
    SkinCorner(CSkinScrollWnd* frame, QWidget* parent) : QWidget(parent), frame(frame)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QPixmap skin = frame->skin();
        // Shown only while both bars are.
        const bool left = frame->area() && frame->area()->layoutDirection() == Qt::RightToLeft;
        const int row = SkinScroll::cornerRow(SkinScroll::cornerMode(true, true, left));
        if (skin.isNull() || row < 0) {
            p.fillRect(rect(), palette().window());
            return;
        }
        const qreal ratio = skin.devicePixelRatio();
        const qreal d = skin.width() / ratio / SkinPictures::scrollColumns;
        const QRectF source((SkinPictures::scrollColumns - 1) * d * ratio, row * d * ratio, d * ratio, d * ratio);
        p.drawPixmap(QRectF(rect()), skin, source);
    }

private:
    CSkinScrollWnd* frame;
};

} // namespace

CSkinScrollWnd* CSkinScrollWnd::skinWindow(QAbstractScrollArea* area, const QPixmap& skin)
{
    if (!area)
        return nullptr;
    if (auto* existing = area->findChild<CSkinScrollWnd*>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new CSkinScrollWnd(area, skin);
}

CSkinScrollWnd::CSkinScrollWnd(QAbstractScrollArea* area, const QPixmap& skin) : QObject(area), hosted(area)
{
    setObjectName(QStringLiteral("SkinScrollBarFrame"));
    vertical = new CSkinScrollBar(Qt::Vertical);
    vertical->setObjectName(QString::number(verticalId));
    horizontal = new CSkinScrollBar(Qt::Horizontal);
    horizontal->setObjectName(QString::number(horizontalId));
    defaultSkin = skin.isNull();
    applySkin(defaultSkin ? SkinPictures::scrollSkin(area->devicePixelRatioF()) : skin);
    // The area takes the bars over with its range, page and position.
    area->setVerticalScrollBar(vertical);
    area->setHorizontalScrollBar(horizontal);
    vertical->setEnabledByRange(true);
    horizontal->setEnabledByRange(true);
    // Not the area's corner widget: the area would show that beside a
    // single bar too and shorten the bar by its width.
    cornerPiece = new SkinCorner(this, area);
    cornerPiece->hide();
    for (CSkinScrollBar* bar : {vertical, horizontal})
        bar->parentWidget()->installEventFilter(this);
    area->installEventFilter(this);
    placeCorner();
}

void CSkinScrollWnd::placeCorner()
{
    if (!vertical || !horizontal)
        return;
    if (cornerMode() == SkinScroll::NoCorner) {
        cornerPiece->hide();
        return;
    }
    // The square the area leaves between the ends of its two bars.
    const QWidget* beside = vertical->parentWidget();
    const QWidget* under = horizontal->parentWidget();
    cornerPiece->setGeometry(beside->x(), under->y(), beside->width(), under->height());
    cornerPiece->raise();
    cornerPiece->show();
}

void CSkinScrollWnd::applySkin(const QPixmap& skin)
{
    picture = skin;
    vertical->setSkin(skin);
    horizontal->setSkin(skin);
    if (cornerPiece)
        cornerPiece->update();
}

SkinScroll::CornerMode CSkinScrollWnd::cornerMode() const
{
    if (!hosted || !vertical || !horizontal)
        return SkinScroll::NoCorner;
    return SkinScroll::cornerMode(vertical->isVisibleTo(hosted), horizontal->isVisibleTo(hosted),
                                  hosted->layoutDirection() == Qt::RightToLeft);
}

bool CSkinScrollWnd::eventFilter(QObject* watched, QEvent* event)
{
    if (vertical && horizontal
        && (watched == vertical->parentWidget() || watched == horizontal->parentWidget())) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Move:
        case QEvent::Resize:
            placeCorner();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
    // Compared as a plain object: the area also sends events while it is
    // being destroyed, when it is no longer a scroll area.
    if (watched == parent()) {
        switch (event->type()) {
        case QEvent::LayoutDirectionChange:
            cornerPiece->update();
            break;
        case QEvent::Show:
            // Our own picture is drawn again for the screen the area shows on.
            if (defaultSkin && !qFuzzyCompare(picture.devicePixelRatio(), hosted->devicePixelRatioF()))
                applySkin(SkinPictures::scrollSkin(hosted->devicePixelRatioF()));
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
