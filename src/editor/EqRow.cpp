#include "editor/EqRow.h"

#include "editor/EditorContext.h"
#include "editor/EditorWidgets.h"
#include "protocol/Commands.h"
#include "protocol/ValueMapping.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace VM = ValueMapping;
using EditorLayout::caption;
using EditorLayout::place;

namespace {

QStringList channelLetters(int count)
{
    QStringList letters;
    for (int c = 0; c < count; ++c)
        letters.append(QChar(u'A' + c));
    return letters;
}

} // namespace

EqRow::EqRow(EditorContext& context, QObject* parent)
    : QObject(parent), context(context)
{
    build();
}

void EqRow::build()
{
    QWidget* canvas = context.canvas;
    constexpr int labelTop = 251;
    constexpr int top = 261;
    constexpr int height = 13;

    channelList = new QComboBox(canvas);
    channelList->addItems(channelLetters(channelCountMax));
    place(context, channelList, 4, top, 34, height);
    EditorLayout::nameList(channelList, caption(context, tr("Channel"), 4, labelTop, 36, 9), tr("EQ Channel"));

    bandList = new QComboBox(canvas);
    for (int b = 1; b <= bandCount; ++b)
        bandList->addItem(QString::number(b));
    place(context, bandList, 42, top, 34, height);
    EditorLayout::nameList(bandList, caption(context, tr("Filter"), 42, labelTop, 36, 9), tr("Filter"));

    struct BoxSpec {
        EditorBox** box;
        QString caption;
        int left;
        int width;
    };
    for (const BoxSpec& spec : {BoxSpec{&gainBox, tr("boost(dB)"), 80, 40}, BoxSpec{&frequencyBox, tr("Frequency(Hz)"), 124, 52},
                                BoxSpec{&qBox, tr("Q"), 180, 30}}) {
        *spec.box = new EditorBox(canvas);
        place(context, *spec.box, spec.left, top, spec.width, height);
        caption(context, spec.caption, spec.left, labelTop, spec.width + 4, 9)->setBuddy(*spec.box);
        (*spec.box)->setAccessibleName(spec.caption);
    }
    qArrows = new ArrowButtons(canvas);
    const VM::Range qTenths = context.range(ParameterKey::BandQ, 10);
    qArrows->setRange(qTenths.minimum, qTenths.maximum);
    place(context, qArrows, 210, top, 10, height);
    qArrows->setAccessibleName(tr("Q arrows"));

    bypassBox = new QCheckBox(tr("EQ Bypass"), canvas);
    place(context, bypassBox, 226, top, 54, height);
    bypassBox->setAccessibleName(tr("EQ Bypass"));

    // Wide enough for "Butterworth High" also in the narrower units of a
    // Chinese desktop.
    typeList = new QComboBox(canvas);
    typeList->addItems(eqFilterTypeNames());
    place(context, typeList, 284, top, 88, height);
    EditorLayout::nameList(typeList, caption(context, tr("Filter type"), 284, labelTop, 88, 9), QString());

    resetButton = new QPushButton(tr("RESET-EQ"), canvas);
    resetButton->setAutoDefault(false);
    place(context, resetButton, 378, top - 2, 62, 16);
    resetButton->setAccessibleName(tr("RESET-EQ"));

    connect(channelList, &QComboBox::currentIndexChanged, this, &EqRow::selectionChanged);
    connect(bandList, &QComboBox::currentIndexChanged, this, &EqRow::selectionChanged);
    connect(gainBox, &EditorBox::committed, this, &EqRow::commitGain);
    connect(frequencyBox, &EditorBox::committed, this, &EqRow::commitFrequency);
    connect(qBox, &EditorBox::committed, this, &EqRow::commitQ);
    connect(qArrows, &QSpinBox::valueChanged, this, &EqRow::qArrowsMoved);
    connect(bypassBox, &QCheckBox::toggled, this, &EqRow::bypassClicked);
    connect(typeList, &QComboBox::currentIndexChanged, this, &EqRow::typeChosen);
    connect(resetButton, &QPushButton::clicked, this, &EqRow::resetEq);
}

int EqRow::channel() const { return std::max(0, channelList->currentIndex()); }
int EqRow::band() const { return std::max(0, bandList->currentIndex()); }
bool EqRow::bypassed() const { return bypassBox->isChecked(); }
int EqRow::typeShown() const { return typeList->currentIndex(); }

void EqRow::selectionChanged()
{
    if (context.applying)
        return;
    AmpParameters& params = context.parameters();
    params.selectedEqChannel = channel();
    params.selectedBand = band();
    params.loadSelectedBand();
    showBand(false);
    context.invalidateEq();
}

void EqRow::showPickedBand(int pickedBand)
{
    {
        ApplyingScope applying(context);
        bandList->setCurrentIndex(pickedBand);
    }
    AmpParameters& params = context.parameters();
    params.selectedEqChannel = channel();
    params.selectedBand = band();
    params.loadSelectedBand();
    showBand(false);
}

void EqRow::bandDragged()
{
    AmpParameters& params = context.parameters();
    EqBand& dragged = params.band(channel(), band());
    dragged.bandFrequencyHz = context.markers.bandFrequencyHz(channel(), band());
    // A band without a gain of its own moves only sideways; its gain and
    // gain box stay as they were.
    if (dragged.hasGain())
        dragged.bandGainDb = context.markers.bandGainDb(channel(), band());
    // A gain or frequency typed next is sent with the dragged values.
    params.loadSelectedBand();
    {
        ApplyingScope applying(context);
        frequencyBox->setText(VM::bandFrequencyText(dragged.bandFrequencyHz));
        if (dragged.hasGain())
            gainBox->setText(VM::bandGainText(dragged.bandGainDb));
    }
    context.send(Commands::eqBand(context.address(), channel() + 1, band() + 1, dragged.bandFrequencyHz,
                                  std::min<double>(dragged.bandGainDb, context.range(ParameterKey::BandGainDb).maximum)));
}

void EqRow::showBand(bool afterRead)
{
    ApplyingScope applying(context);
    AmpParameters& params = context.parameters();
    const EqBand& selected = params.band(channel(), band());
    if (context.isOpen() || afterRead) {
        frequencyBox->setText(VM::bandFrequencyText(selected.bandFrequencyHz));
        gainBox->setText(afterRead ? VM::bandGainTextAfterRead(selected.bandGainDb) : VM::bandGainText(selected.bandGainDb));
    } else {
        frequencyBox->setText(VM::bandFrequencyText(context.markers.bandFrequencyHz(channel(), band())));
        gainBox->setText(VM::bandGainText(context.markers.bandGainDb(channel(), band())));
    }
    qBox->setText(VM::qText(selected.bandQ));
    qArrows->setValue(VM::qArrowPosition(selected.bandQ));
    typeList->setCurrentIndex(static_cast<int>(selected.bandType));
    bypassBox->setChecked(params.channels[channel()].eqBypass);
    applyTypeRule();
}

void EqRow::applyTypeRule()
{
    const EqBand& selected = context.parameters().band(channel(), band());
    gainBox->setEnabled(selected.hasGain());
    qBox->setEnabled(selected.hasQ());
    qArrows->setEnabled(selected.hasQ());
    if (!selected.hasGain())
        context.markers.putBandOnZeroLine(channel(), band());
}

void EqRow::commitGain()
{
    const VM::BoxValue typed = VM::eqGainBox(gainBox->text());
    gainBox->setText(typed.text);
    AmpParameters& params = context.parameters();
    context.markers.placeBandGain(channel(), band(), typed.value);
    params.band(channel(), band()).bandGainDb = context.markers.bandGainDb(channel(), band());
    params.selectedBandGain = static_cast<float>(typed.value);
    context.invalidateEq();
    context.send(Commands::eqBand(context.address(), channel() + 1, band() + 1, params.selectedBandFrequency, typed.value));
}

void EqRow::commitFrequency()
{
    const VM::BoxValue typed = VM::eqFrequencyBox(frequencyBox->text());
    frequencyBox->setText(typed.text);
    AmpParameters& params = context.parameters();
    // What is kept and sent is the frequency of the marker's pixel.
    context.markers.placeBandFrequency(channel(), band(), typed.value);
    const int kept = context.markers.bandFrequencyHz(channel(), band());
    params.band(channel(), band()).bandFrequencyHz = kept;
    params.selectedBandFrequency = kept;
    context.invalidateEq();
    context.send(Commands::eqBand(context.address(), channel() + 1, band() + 1, kept, params.selectedBandGain));
}

void EqRow::commitQ()
{
    const VM::QBoxValue typed = VM::qBox(qBox->text());
    qBox->setText(typed.text);
    {
        ApplyingScope applying(context);
        qArrows->setValue(typed.arrowPosition);
    }
    context.parameters().band(channel(), band()).bandQ = typed.q;
    context.invalidateEq();
    context.send(Commands::eqQ(context.address(), channel() + 1, band() + 1, typed.wire));
}

void EqRow::qArrowsMoved(int position)
{
    if (context.applying)
        return;
    const double q = position / 10.0;
    qBox->setText(VM::qText(q));
    context.parameters().band(channel(), band()).bandQ = q;
    context.invalidateEq();
    context.send(Commands::eqQ(context.address(), channel() + 1, band() + 1, VM::qWireFromArrows(position)));
}

void EqRow::bypassClicked(bool checked)
{
    if (context.applying)
        return;
    if (context.isOpen()) {
        context.parameters().channels[channel()].eqBypass = checked;
        context.send(Commands::eqBypass(context.address(), channel() + 1, checked));
    }
    context.invalidateEq();
}

void EqRow::typeChosen(int index)
{
    if (context.applying || index < 0)
        return;
    context.parameters().band(channel(), band()).bandType = static_cast<EqFilterType>(index);
    context.send(Commands::eqType(context.address(), channel() + 1, band() + 1, index));
    applyTypeRule();
    context.invalidateEq();
}

void EqRow::resetEq()
{
    if (!context.isOpen())
        return;
    context.send(Commands::eqReset(context.address(), channel() + 1));
    context.refreshRead(tr("RESET-EQ %1").arg(EditorLayout::channelTitle(channel())));
    context.invalidateEq();
}

void EqRow::limitToTwoChannels()
{
    ApplyingScope applying(context);
    while (channelList->count() > 2)
        channelList->removeItem(channelList->count() - 1);
    channelList->setCurrentIndex(0);
    context.parameters().selectedEqChannel = 0;
}
