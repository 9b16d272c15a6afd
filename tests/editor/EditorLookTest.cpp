#include "EditorTestSupport.h"

#include "app/Translations.h"
#include "editor/CDorvaneDlg.h"
#include "editor/ChannelColumns.h"
#include "editor/EqRow.h"
#include "editor/LimiterGroup.h"
#include "editor/RoutingBlock.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QPixmap>
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
    CDorvaneDlg editor;
    const struct {
        const char* name;
        QSlider* slider;
    } sliders[] = {
        {"volume", editor.channelColumns().columns[1].volumeSlider},
        {"gain", editor.routingBlock().columns[0].gainSlider},
        {"threshold", editor.limiterGroup().controls[LimiterGroup::Threshold].slider},
        {"attack", editor.limiterGroup().controls[LimiterGroup::Attack].slider},
        {"release", editor.limiterGroup().controls[LimiterGroup::Release].slider},
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

// Pictures of the window for a person to look at; written only when
// VX4_EDITOR_SCREENSHOTS names a folder.
struct EditorLookTest : EditorBusFixture {};

TEST_F(EditorLookTest, WindowInBothLanguages)
{
    const QString folder = qEnvironmentVariable("VX4_EDITOR_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "set VX4_EDITOR_SCREENSHOTS to a folder to get the pictures";
    SimChannel& channel = bus.addAmplifier(address).parameters().channels[0];
    // A few bands set, so that the curves have something to show.
    const SimEqBand bands[] = {{60, 600, 140, 1}, {250, -900, 200, 1}, {1000, 1200, 400, 1}, {4000, 0, 70, 5}, {12000, 450, 100, 3}};
    for (std::size_t b = 0; b < std::size(bands); ++b)
        channel.bands[b] = bands[b];
    for (std::size_t b = std::size(bands); b < channel.bands.size(); ++b)
        channel.bands[b].frequencyHz = 20 * static_cast<int>(b * b);
    channel.hpType = 5;
    channel.hpFrequencyHz = 80;
    channel.lpType = 3;
    channel.lpFrequencyHz = 6000;
    for (int language : {englishUi, chineseUi}) {
        setUiLanguage(language);
        installUiCatalogue(*QCoreApplication::instance());
        CDorvaneDlg editor;
        editor.show();
        clock->runDue();
        clock->advance(1100);
        editor.eqRow().bandList->setCurrentIndex(2);
        const QString suffix = language == englishUi ? QStringLiteral("-en.png") : QStringLiteral("-zh.png");
        EXPECT_TRUE(editor.grab().save(folder + QStringLiteral("/editor") + suffix));
        EXPECT_TRUE(editor.eqGraph()->grab().save(folder + QStringLiteral("/eq-graph") + suffix));
        EXPECT_TRUE(editor.crossoverGraph()->grab().save(folder + QStringLiteral("/crossover-graph") + suffix));
    }
    setUiLanguage(englishUi);
}

} // namespace
