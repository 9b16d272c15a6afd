#include "EditorTestSupport.h"

#include "editor/CDorvaneDlg.h"

#include <QImage>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

namespace {

// The groove of a slider as its style lays it out.
QRect grooveRect(const QSlider& slider)
{
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    option.tickPosition = slider.tickPosition();
    option.tickInterval = slider.tickInterval();
    option.upsideDown = !slider.invertedAppearance();
    return slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, &slider);
}

// What a widget paints, over white and without its window's background.
QImage paintedAlone(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

// The editor's vertical sliders have their minimum position at the top, and
// the value shown falls from top to bottom. Each must look like an ordinary
// vertical slider showing that value: handle at the same place, groove
// filled from the bottom up to it, so a volume at -80 dB looks empty.
struct FaderLookTest : EditorBusFixture {};

TEST_F(FaderLookTest, SlidersFillTheirGrooveFromTheBottom)
{
    CDorvaneDlg editor(chosenTarget());
    const struct {
        const char* name;
        QSlider* slider;
    } sliders[] = {
        {"volume", control<QSlider>(editor, "Vol(dB) CHB")},
        {"gain", control<QSlider>(editor, "Gain CHA")},
        {"threshold", control<QSlider>(editor, "Threshold(dBu)")},
        {"attack", control<QSlider>(editor, "Attack(ms)")},
        {"release", control<QSlider>(editor, "Release(ms)")},
    };
    for (const auto& row : sliders) {
        QSlider* slider = row.slider;
        EXPECT_TRUE(slider->invertedAppearance()) << row.name << ": the top is the minimum position";
        EXPECT_TRUE(slider->invertedControls()) << row.name;
        const int low = slider->minimum();
        const int high = slider->maximum();
        for (int position : {high, (low + high) / 2, low}) {
            slider->setValue(position);
            // Beside it, so that it has the same palette and style.
            QSlider reference(Qt::Vertical, slider->parentWidget());
            reference.setRange(low, high);
            reference.setValue(high + low - position);
            reference.setTickPosition(slider->tickPosition());
            reference.setTickInterval(slider->tickInterval());
            reference.resize(slider->size());
            const QRect groove = grooveRect(*slider);
            ASSERT_EQ(groove, grooveRect(reference)) << row.name;
            // Whole columns of the groove, handle included.
            const QRect compared(groove.left(), 0, groove.width(), slider->height());
            const QImage shown = paintedAlone(*slider).copy(compared);
            const QImage expected = paintedAlone(reference).copy(compared);
            EXPECT_EQ(shown, expected) << row.name << " at position " << position;
        }
    }
}

} // namespace
