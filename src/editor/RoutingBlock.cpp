#include "editor/RoutingBlock.h"

#include "app/StatusWords.h"
#include "app/UiLanguage.h"
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
using EditorLayout::channelName;
using EditorLayout::place;

RoutingBlock::RoutingBlock(EditorContext& context, QObject* parent)
    : QObject(parent), context(context)
{
    build();
}

void RoutingBlock::build()
{
    QWidget* canvas = context.canvas;
    const QString pairCaptions[] = {tr("CHA-B Mode"), tr("CHC-D Mode")};
    constexpr int listWidth = columnWidth - 1;
    constexpr int boxWidth = 40;
    constexpr int boxInset = (listWidth - boxWidth) / 2;
    for (int pair = 0; pair < 2; ++pair) {
        const int x = left + 2 * columnWidth * pair;
        auto* list = new QComboBox(canvas);
        list->addItems(pairModeNames());
        place(context, list, x, 13, 2 * columnWidth - 1, 13);
        EditorLayout::nameList(list, caption(context, pairCaptions[pair], x, 4, 2 * columnWidth - 1, 9), QString());
        pairLists[pair] = list;
        connect(list, &QComboBox::currentIndexChanged, this, [this, pair](int index) { pairChosen(pair, index); });
    }

    const QStringList sources = outputSourceNames(uiLanguage());
    for (int c = 0; c < channelCountMax; ++c) {
        Column& column = columns[c];
        const int x = left + columnWidth * c;
        const QString gainName = tr("Gain %1").arg(EditorLayout::channelTitle(c));
        caption(context, gainName, x, 31, listWidth, 9)->setAlignment(Qt::AlignHCenter);
        column.gainSlider = new FaderSlider(canvas);
        place(context, column.gainSlider, x + (listWidth - 14) / 2, 41, 14, 70);
        column.gainSlider->setAccessibleName(gainName);
        column.gainBox = new QLineEdit(canvas);
        column.gainBox->setReadOnly(true);
        place(context, column.gainBox, x + boxInset, 113, boxWidth, 12);
        column.gainBox->setAccessibleName(tr("%1 value").arg(gainName));

        column.delayBox = new EditorBox(canvas);
        place(context, column.delayBox, x + boxInset, 139, boxWidth, 12);
        caption(context, tr("Delay(us)"), x + boxInset, 130, listWidth - boxInset, 9)->setBuddy(column.delayBox);
        column.delayBox->setAccessibleName(channelName(tr("Delay(us)"), c));

        const QString sourceName = sources[c];
        column.inputList = new QComboBox(canvas);
        column.inputList->addItems(inputTypeNames());
        place(context, column.inputList, x, 164, listWidth, 13);
        EditorLayout::useSmallFont(column.inputList);
        EditorLayout::nameList(column.inputList, caption(context, sourceName, x, 155, listWidth, 9), QString());

        column.outputList = new QComboBox(canvas);
        column.outputList->addItems(sources);
        column.outputList->setCurrentIndex(-1); // no selection until the amplifier is read
        place(context, column.outputList, x, 190, listWidth, 13);
        EditorLayout::useSmallFont(column.outputList);
        EditorLayout::showWholeEntries(column.outputList);
        const QString outputName = tr("%1 OUT").arg(EditorLayout::channelTitle(c));
        EditorLayout::nameList(column.outputList, caption(context, outputName, x, 181, listWidth, 9), QString());

        connect(column.gainSlider, &QSlider::valueChanged, this, [this, c] { gainMoved(c); });
        connect(column.delayBox, &EditorBox::committed, this, [this, c] { commitDelay(c); });
        connect(column.inputList, &QComboBox::currentIndexChanged, this, [this, c](int index) { inputChosen(c, index); });
        connect(column.outputList, &QComboBox::currentIndexChanged, this, [this, c](int index) { outputChosen(c, index); });
    }
    setGainRange();
    ApplyingScope applying(context);
    for (Column& column : columns)
        column.gainSlider->setValue(column.gainSlider->maximum()); // the bottom: the lowest gain
}

void RoutingBlock::setGainRange()
{
    const VM::Range range = context.range(ParameterKey::GainDb);
    for (Column& column : columns)
        column.gainSlider->setRange(range.minimum, range.maximum);
}

void RoutingBlock::pairChosen(int pair, int index)
{
    if (context.applying || index < 0)
        return;
    const int second = 2 * pair + 1;
    QComboBox* output = columns[second].outputList;
    const bool bridged = index == static_cast<int>(PairMode::Bridge);
    output->setEnabled(!bridged);
    if (!context.isOpen())
        return;
    // A list without a selection sends 0, as the amplifier has always been told.
    const int source = bridged ? outputSourceBridged : output->currentIndex() + 1;
    context.parameters().channels[second].outputSource = source;
    context.send(Commands::outputSource(context.address(), second + 1, source));
}

void RoutingBlock::gainMoved(int channel)
{
    Column& column = columns[channel];
    AmpParameters& params = context.parameters();
    const int gain = VM::gainFromPosition(column.gainSlider->value(), params.gainTop);
    params.channels[channel].gainDb = gain;
    const QString text = VM::decibelText(gain);
    if (text == column.gainBox->text() || !context.isOpen() || context.presetLoading)
        return;
    column.gainBox->setText(text);
    context.send(Commands::gain(context.address(), channel + 1, gain));
}

void RoutingBlock::showGainBoxes()
{
    // The boxes show what the amplifier holds also after a preset load, so
    // that the next slider move is measured against the amplifier's value.
    for (int c = 0; c < channelCountMax; ++c)
        columns[c].gainBox->setText(VM::decibelText(context.parameters().channels[c].gainDb));
}

void RoutingBlock::commitDelay(int channel)
{
    if (!context.isOpen())
        return;
    EditorBox* box = columns[channel].delayBox;
    const VM::BoxValue typed = VM::delayBox(box->text());
    if (typed.rewritten)
        box->setText(typed.text);
    context.parameters().channels[channel].delayUs = typed.value;
    context.send(Commands::delay(context.address(), channel + 1, typed.value));
}

void RoutingBlock::inputChosen(int channel, int index)
{
    if (context.applying || index < 0)
        return;
    context.parameters().channels[channel].inputType = static_cast<InputType>(index);
    context.send(Commands::inputType(context.address(), channel + 1, index));
}

void RoutingBlock::outputChosen(int channel, int index)
{
    if (context.applying || index < 0)
        return;
    context.parameters().channels[channel].outputSource = index + 1;
    context.send(Commands::outputSource(context.address(), channel + 1, index + 1));
}

void RoutingBlock::showParameters(int channelCount)
{
    ApplyingScope applying(context);
    AmpParameters& params = context.parameters();
    // The new range clamps the sliders, and they write what they show into
    // the model: keep the gains that were read.
    std::array<int, channelCountMax> gains{};
    for (int c = 0; c < channelCountMax; ++c)
        gains[c] = params.channels[c].gainDb;
    setGainRange();
    for (int c = 0; c < channelCountMax; ++c)
        params.channels[c].gainDb = gains[c];
    for (int c = 0; c < channelCountMax; ++c) {
        const ChannelParameters& ch = params.channels[c];
        Column& column = columns[c];
        column.gainSlider->setValue(VM::positionFromGain(ch.gainDb, params.gainTop));
        if (ch.delayUs)
            column.delayBox->setText(VM::integerText(*ch.delayUs));
        column.inputList->setCurrentIndex(static_cast<int>(ch.inputType));
        if (c < channelCount)
            showRouting(c);
    }
    showGainBoxes();
}

void RoutingBlock::showRouting(int channel)
{
    const ChannelParameters& ch = context.parameters().channels[channel];
    QComboBox* output = columns[channel].outputList;
    if (channel % 2 == 0) {
        output->setCurrentIndex(ch.outputSource - 1);
        return;
    }
    const bool bridged = ch.outputSource == outputSourceBridged;
    pairLists[channel / 2]->setCurrentIndex(static_cast<int>(bridged ? PairMode::Bridge : PairMode::Normal));
    // A bridged pair shows its own source in the disabled list.
    output->setCurrentIndex(bridged ? channel : ch.outputSource - 1);
    output->setEnabled(!bridged);
}

void RoutingBlock::disableUpperChannels()
{
    ApplyingScope applying(context);
    pairLists[1]->setEnabled(false);
    for (int c = 2; c < channelCountMax; ++c) {
        const Column& column = columns[c];
        for (QWidget* w : std::initializer_list<QWidget*>{column.gainSlider, column.gainBox, column.delayBox, column.inputList,
                                                          column.outputList})
            w->setEnabled(false);
    }
    // CHA OUT and CHB OUT offer the two sources of the amplifier only.
    for (int c = 0; c < 2; ++c) {
        QComboBox* output = columns[c].outputList;
        while (output->count() > 2)
            output->removeItem(output->count() - 1);
    }
}
