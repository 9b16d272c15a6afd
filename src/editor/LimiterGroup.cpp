#include "editor/LimiterGroup.h"

#include "editor/EditorContext.h"
#include "editor/EditorWidgets.h"
#include "editor/FaderSlider.h"
#include "protocol/Commands.h"
#include "protocol/ValueMapping.h"

#include <QComboBox>
#include <QLabel>
#include <QSlider>

namespace VM = ValueMapping;
using EditorLayout::caption;
using EditorLayout::place;

LimiterGroup::LimiterGroup(EditorContext& context, QObject* parent)
    : QObject(parent), context(context)
{
    build();
}

QString LimiterGroup::title() const { return tr("Limiter"); }

void LimiterGroup::build()
{
    QWidget* canvas = context.canvas;
    channelList = new QComboBox(canvas);
    for (int c = 0; c < channelCountMax; ++c)
        channelList->addItem(QChar(u'A' + c));
    place(context, channelList, left + 46, top + 9, 40, 13);
    EditorLayout::nameList(channelList, caption(context, tr("Channel"), left + 6, top + 11, 38, 9), tr("Limiter Channel"));

    const QString names[] = {tr("Threshold(dBu)"), tr("Attack(ms)"), tr("Release(ms)")};
    constexpr int controlWidth = 56;
    for (int k = 0; k < 3; ++k) {
        Control& control = controls[k];
        const int x = left + (width - 3 * controlWidth) / 2 + controlWidth * k;
        caption(context, names[k], x, top + 27, controlWidth, 9)->setAlignment(Qt::AlignHCenter);
        control.slider = new FaderSlider(canvas);
        place(context, control.slider, x + 21, top + 38, 14, 128);
        control.slider->setAccessibleName(names[k]);
        control.box = new EditorBox(canvas);
        place(context, control.box, x + 4, top + 169, controlWidth - 8, 12);
        control.box->setAccessibleName(tr("%1 value").arg(names[k]));
        const Kind kind = static_cast<Kind>(k);
        connect(control.slider, &QSlider::valueChanged, this, [this, kind] { sliderMoved(kind); });
        connect(control.box, &EditorBox::committed, this, [this, kind] { commitBox(kind); });
    }
    // 10001 - value: the positions span the values' range.
    for (const auto& [kind, key] : {std::pair{Attack, ParameterKey::AttackMs}, std::pair{Release, ParameterKey::ReleaseMs}}) {
        const VM::Range times = context.range(key);
        controls[kind].slider->setRange(times.minimum, times.maximum);
    }
    controls[Attack].slider->setPageStep(100);
    controls[Release].slider->setPageStep(100);
    const VM::Range thresholds = context.upsideDown(ParameterKey::LimiterThreshold);
    controls[Threshold].slider->setRange(thresholds.minimum, thresholds.maximum);
    connect(channelList, &QComboBox::currentIndexChanged, this, &LimiterGroup::channelChosen);

    ApplyingScope applying(context);
    controls[Threshold].slider->setValue(VM::thresholdStartPosition);
    controls[Attack].slider->setValue(VM::limiterTimeStartPosition);
    controls[Release].slider->setValue(VM::limiterTimeStartPosition);
    // The limiter boxes show their values also while the port is closed.
    for (int k = 0; k < 3; ++k)
        sliderMoved(static_cast<Kind>(k));
}

int& LimiterGroup::stored(Kind kind)
{
    ChannelParameters& ch = context.parameters().channels[std::max(0, channelList->currentIndex())];
    switch (kind) {
    case Threshold:
        return ch.limiterThreshold;
    case Attack:
        return ch.attackMs;
    case Release:
        break;
    }
    return ch.releaseMs;
}

QByteArray LimiterGroup::frame(Kind kind, int value, bool fromBox) const
{
    const int channel = std::max(0, channelList->currentIndex()) + 1;
    switch (kind) {
    case Threshold:
        return Commands::threshold(context.address(), channel, value);
    case Attack:
        return Commands::attack(context.address(), channel, value, fromBox ? AttackSource::Box : AttackSource::Slider);
    case Release:
        break;
    }
    return Commands::release(context.address(), channel, value);
}

void LimiterGroup::sliderMoved(Kind kind)
{
    Control& control = controls[kind];
    const int position = control.slider->value();
    const int value = kind == Threshold ? VM::thresholdFromPosition(position) : VM::limiterTimeFromPosition(position);
    stored(kind) = value;
    const QString text = VM::integerText(value);
    if (text == control.box->text())
        return;
    control.box->setText(text);
    // The release slider has never been held back by a preset load.
    if (context.isOpen() && (kind == Release || !context.presetLoading))
        context.send(frame(kind, value, false));
}

void LimiterGroup::commitBox(Kind kind)
{
    Control& control = controls[kind];
    const VM::BoxValue typed = kind == Threshold ? VM::thresholdBox(control.box->text(), context.parameters().thresholdRange())
                                                 : VM::limiterTimeBox(control.box->text());
    // The box shows the value read, so that the slider that follows it finds
    // nothing new to send.
    control.box->setText(VM::integerText(typed.value));
    {
        ApplyingScope applying(context);
        control.slider->setValue(kind == Threshold ? VM::positionFromThreshold(typed.value)
                                                   : VM::positionFromLimiterTime(typed.value));
    }
    stored(kind) = typed.value;
    context.send(frame(kind, typed.value, true));
}

void LimiterGroup::channelChosen(int index)
{
    if (context.applying || index < 0)
        return;
    context.parameters().selectedLimiterChannel = index;
    // The sliders' redraws send the channel's values again, as they always have.
    moveSliders();
}

void LimiterGroup::moveSliders()
{
    const ChannelParameters& ch = context.parameters().channels[std::max(0, channelList->currentIndex())];
    const int values[] = {ch.limiterThreshold, ch.attackMs, ch.releaseMs};
    for (int k = 0; k < 3; ++k) {
        const int position = k == Threshold ? VM::positionFromThreshold(values[k]) : VM::positionFromLimiterTime(values[k]);
        controls[k].slider->setValue(position);
        sliderMoved(static_cast<Kind>(k)); // also when the position stayed
    }
}

void LimiterGroup::showParameters()
{
    ApplyingScope applying(context);
    // Keep every channel's stored values while the range moves under the slider.
    const ChannelParameters kept = context.parameters().channels[std::max(0, channelList->currentIndex())];
    const VM::Range thresholds = context.upsideDown(ParameterKey::LimiterThreshold);
    controls[Threshold].slider->setRange(thresholds.minimum, thresholds.maximum);
    ChannelParameters& ch = context.parameters().channels[std::max(0, channelList->currentIndex())];
    ch.limiterThreshold = kept.limiterThreshold;
    ch.attackMs = kept.attackMs;
    ch.releaseMs = kept.releaseMs;
    moveSliders();
}
