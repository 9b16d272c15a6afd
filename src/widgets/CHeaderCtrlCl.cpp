#include "widgets/CHeaderCtrlCl.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

CHeaderCtrlCl::CHeaderCtrlCl(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setFont(headingFont());
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

void CHeaderCtrlCl::insertHeading(int column, const QString &heading, QChar formatChar)
{
    const int at = std::clamp(column, 0, int(headingTexts.size()));
    headingTexts.insert(at, heading);
    format.insert(std::min<qsizetype>(at, format.size()), formatChar);
    viewport()->update();
}

void CHeaderCtrlCl::setBaseColour(const QColor &colour)
{
    base = colour;
    viewport()->update();
}

void CHeaderCtrlCl::setGradientStep(int amount)
{
    step = amount;
    viewport()->update();
}

void CHeaderCtrlCl::setHeightFactor(double heightFactor)
{
    factor = heightFactor;
    updateGeometry();
}

void CHeaderCtrlCl::setFontHeight(int pixels)
{
    textHeight = pixels;
    setFont(headingFont());
    updateGeometry();
}

void CHeaderCtrlCl::setTextColour(const QColor &colour)
{
    text = colour;
    viewport()->update();
}

QColor CHeaderCtrlCl::gradientColour(int line, bool floored) const
{
    const int fall = step * std::max(line, 0);
    const int greenBlueMin = floored ? greenBlueFloor : 0;
    return QColor(std::max(base.red() - fall, 0),
                  std::max(base.green() - fall, std::min(greenBlueMin, base.green())),
                  std::max(base.blue() - fall, std::min(greenBlueMin, base.blue())));
}

QSize CHeaderCtrlCl::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    size.setHeight(int(size.height() * factor));
    return size;
}

QFont CHeaderCtrlCl::headingFont() const
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(textHeight);
    font.setWeight(QFont::Normal);
    return font;
}

QString CHeaderCtrlCl::headingText(int logical) const
{
    if (logical < headingTexts.size())
        return headingTexts.at(logical);
    return model() ? model()->headerData(logical, orientation()).toString() : QString();
}

void CHeaderCtrlCl::paintGradient(QPainter &painter, int left, int right, bool floored) const
{
    if (right <= left)
        return;
    for (int y = 0; y < viewport()->height(); ++y)
        painter.fillRect(QRect(left, y, right - left, 1), gradientColour(y, floored));
}

void CHeaderCtrlCl::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const int height = viewport()->height();
    // The pixel column left of each section stays in the window colour and
    // reads as the separator between headings.
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Window));
    painter.setFont(headingFont());
    painter.setPen(text);
    const int textTop = (height - painter.fontMetrics().height()) / 2;

    int lastEnd = -1;
    for (int visual = 0; visual < count(); ++visual) {
        const int logical = logicalIndex(visual);
        if (isSectionHidden(logical))
            continue;
        const int left = sectionViewportPosition(logical);
        const int end = left + sectionSize(logical);
        lastEnd = std::max(lastEnd, end);
        paintGradient(painter, left + 1, end, true);

        QRect textRect(left, textTop, end - left, height - textTop);
        Qt::Alignment align = Qt::AlignHCenter;
        switch (logical < format.size() ? format.at(logical).unicode() : u'1') {
        case u'0':
            textRect.setLeft(textRect.left() + 3);
            align = Qt::AlignLeft;
            break;
        case u'2':
            textRect.setRight(textRect.right() - 3);
            align = Qt::AlignRight;
            break;
        default:
            break;
        }
        painter.drawText(textRect, int(align | Qt::AlignTop | Qt::TextSingleLine), headingText(logical));
    }
    // The strip keeps a one-pixel gap after the last section, as the sections do.
    paintGradient(painter, lastEnd < 0 ? 0 : lastEnd + 1, viewport()->width(), false);
}
