#include "editor/FaderSlider.h"

#include <QStyleOptionSlider>
#include <QStylePainter>

FaderSlider::FaderSlider(QWidget* parent)
    : QSlider(Qt::Vertical, parent)
{
    setInvertedAppearance(true);
    setInvertedControls(true);
}

void FaderSlider::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);
    const bool ticks = tickPosition() != NoTicks;

    // Styles fill the groove from the minimum end. The mirrored position on
    // a slider with the minimum at the bottom puts the handle on the same
    // pixel and the fill below it.
    QStyleOptionSlider fader = option;
    fader.upsideDown = !option.upsideDown;
    fader.sliderPosition = option.maximum + option.minimum - option.sliderPosition;
    fader.sliderValue = option.maximum + option.minimum - option.sliderValue;
    fader.subControls = QStyle::SC_SliderGroove;
    painter.drawComplexControl(QStyle::CC_Slider, fader);
    // The ticks stay where they always were, counted from the top.
    if (ticks) {
        option.subControls = QStyle::SC_SliderTickmarks;
        painter.drawComplexControl(QStyle::CC_Slider, option);
    }
    fader.subControls = QStyle::SC_SliderHandle;
    painter.drawComplexControl(QStyle::CC_Slider, fader);
}
