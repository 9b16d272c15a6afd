#include "editor/CrossoverGroup.h"

#include "editor/EditorContext.h"
#include "editor/EditorWidgets.h"
#include "protocol/Commands.h"
#include "protocol/ValueMapping.h"

#include <QComboBox>
#include <QLabel>
#include <QValidator>

#include <algorithm>

namespace VM = ValueMapping;
using EditorLayout::caption;
using EditorLayout::place;

namespace {

// Letters turn to capitals as they are typed or pasted ("2k" shows as
// "2K" at once); what the text means is read when the box is left.
class CapitalsValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override
    {
        input = input.toUpper();
        position = std::min(position, static_cast<int>(input.size()));
        return Acceptable;
    }
};

} // namespace

CrossoverGroup::CrossoverGroup(EditorContext& context, QObject* parent)
    : QObject(parent), context(context)
{
    build();
}

QString CrossoverGroup::title() const { return tr("General filter"); }

void CrossoverGroup::build()
{
    QWidget* canvas = context.canvas;
    const int x = left + 5;
    channelList = new QComboBox(canvas);
    for (int c = 0; c < channelCountMax; ++c)
        channelList->addItem(QChar(u'A' + c));
    place(context, channelList, x + 40, top + 9, 40, 13);
    EditorLayout::nameList(channelList, caption(context, tr("Channel"), x, top + 11, 38, 9), tr("Crossover Channel"));

    const QString typeCaptions[] = {tr("High-pass filter type"), tr("Low-pass filter type")};
    const QString frequencyCaptions[] = {tr("High-pass filter frequency(Hz)"), tr("Low-pass filter frequency(Hz)")};
    for (int s = 0; s < 2; ++s) {
        Side& side = sides[s];
        const int y = top + 25 + 48 * s;
        side.typeList = new QComboBox(canvas);
        side.typeList->addItems(crossoverFilterTypeNames());
        place(context, side.typeList, x, y + 9, 70, 13);
        EditorLayout::nameList(side.typeList, caption(context, typeCaptions[s], x, y, width - 8, 9), QString());

        side.frequencyBox = new EditorBox(canvas);
        side.frequencyBox->setValidator(new CapitalsValidator(side.frequencyBox));
        place(context, side.frequencyBox, x, y + 33, 50, 12);
        caption(context, frequencyCaptions[s], x, y + 24, width - 8, 9)->setBuddy(side.frequencyBox);
        side.frequencyBox->setAccessibleName(frequencyCaptions[s]);
        side.arrows = new ArrowButtons(canvas);
        const VM::Range frequencies = context.range(ParameterKey::HpFrequencyHz);
        side.arrows->setRange(frequencies.minimum, frequencies.maximum);
        place(context, side.arrows, x + 50, y + 33, 10, 12);
        side.arrows->setAccessibleName(frequencyCaptions[s] + tr(" arrows"));

        connect(side.typeList, &QComboBox::currentIndexChanged, this, [this, s](int index) { typeChosen(s, index); });
        connect(side.frequencyBox, &EditorBox::committed, this, [this, s] { commitFrequency(s); });
        connect(side.arrows, &QSpinBox::valueChanged, this, [this, s](int position) { arrowsMoved(s, position); });
    }
    connect(channelList, &QComboBox::currentIndexChanged, this, &CrossoverGroup::channelChosen);
}

int CrossoverGroup::channel() const { return std::max(0, channelList->currentIndex()); }

void CrossoverGroup::channelChosen()
{
    if (context.applying)
        return;
    context.parameters().selectedCrossoverChannel = channel();
    showChannel();
}

void CrossoverGroup::showChannel()
{
    ApplyingScope applying(context);
    const ChannelParameters& ch = context.parameters().channels[channel()];
    const int frequencies[] = {ch.hpFrequencyHz, ch.lpFrequencyHz};
    const CrossoverFilterType types[] = {ch.hpType, ch.lpType};
    for (int s = 0; s < 2; ++s) {
        sides[s].typeList->setCurrentIndex(static_cast<int>(types[s]));
        sides[s].frequencyBox->setText(VM::integerText(frequencies[s]));
        sides[s].arrows->setValue(frequencies[s]);
        context.markers.placeCrossoverFrequency(channel(), s, frequencies[s]);
    }
    context.invalidateCrossover();
}

void CrossoverGroup::typeChosen(int side, int index)
{
    if (context.applying || index < 0)
        return;
    ChannelParameters& ch = context.parameters().channels[channel()];
    const auto type = static_cast<CrossoverFilterType>(index);
    (side == MarkerState::highPass ? ch.hpType : ch.lpType) = type;
    context.invalidateCrossover();
    context.send(side == MarkerState::highPass ? Commands::highPassType(context.address(), channel() + 1, index)
                                               : Commands::lowPassType(context.address(), channel() + 1, index));
}

void CrossoverGroup::commitFrequency(int side)
{
    const VM::BoxValue typed = VM::crossoverFrequencyBox(sides[side].frequencyBox->text());
    sides[side].frequencyBox->setText(typed.text);
    {
        ApplyingScope applying(context);
        sides[side].arrows->setValue(typed.value);
    }
    storeFrequency(side, typed.value);
}

void CrossoverGroup::arrowsMoved(int side, int position)
{
    if (context.applying)
        return;
    sides[side].frequencyBox->setText(VM::integerText(position));
    storeFrequency(side, position);
}

void CrossoverGroup::storeFrequency(int side, int frequencyHz)
{
    ChannelParameters& ch = context.parameters().channels[channel()];
    (side == MarkerState::highPass ? ch.hpFrequencyHz : ch.lpFrequencyHz) = frequencyHz;
    context.markers.placeCrossoverFrequency(channel(), side, frequencyHz);
    context.invalidateCrossover();
    context.send(side == MarkerState::highPass ? Commands::highPassFrequency(context.address(), channel() + 1, frequencyHz)
                                               : Commands::lowPassFrequency(context.address(), channel() + 1, frequencyHz));
}

void CrossoverGroup::cornerDragged(int side)
{
    ChannelParameters& ch = context.parameters().channels[channel()];
    const int frequencyHz = context.markers.crossoverFrequencyHz(channel(), side);
    (side == MarkerState::highPass ? ch.hpFrequencyHz : ch.lpFrequencyHz) = frequencyHz;
    {
        ApplyingScope applying(context);
        sides[side].frequencyBox->setText(VM::bandFrequencyText(frequencyHz));
        sides[side].arrows->setValue(frequencyHz);
    }
    context.invalidateCrossover();
    context.send(side == MarkerState::highPass ? Commands::highPassFrequency(context.address(), channel() + 1, frequencyHz)
                                               : Commands::lowPassFrequency(context.address(), channel() + 1, frequencyHz));
}

void CrossoverGroup::limitToTwoChannels()
{
    {
        ApplyingScope applying(context);
        while (channelList->count() > 2)
            channelList->removeItem(channelList->count() - 1);
        channelList->setCurrentIndex(0);
    }
    context.parameters().selectedCrossoverChannel = 0;
}
