#include "editor/ChannelColumns.h"

#include "editor/EditorContext.h"
#include "editor/FaderSlider.h"
#include "protocol/Commands.h"
#include "protocol/MonitorReply.h"
#include "protocol/ValueMapping.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace VM = ValueMapping;
using EditorLayout::caption;
using EditorLayout::channelName;
using EditorLayout::place;

ChannelColumns::ChannelColumns(EditorContext& context, QObject* parent)
    : QObject(parent), context(context)
{
    build();
}

void ChannelColumns::build()
{
    QWidget* canvas = context.canvas;
    const auto readOnlyBox = [&](int x, int y, const QString& name) {
        auto* box = new QLineEdit(canvas);
        box->setReadOnly(true);
        place(context, box, x, y, columnWidth - 8, 12);
        box->setAccessibleName(name);
        EditorLayout::useSmallFont(box);
        return box;
    };
    for (int c = 0; c < channelCountMax; ++c) {
        Column& column = columns[c];
        const int x = left + columnWidth * c + 2;

        column.muteBox = new QCheckBox(tr("Mute"), canvas);
        place(context, column.muteBox, x, top + 9, columnWidth - 8, 11);
        column.muteBox->setAccessibleName(channelName(tr("Mute"), c));

        const QString volumeName = channelName(tr("Vol(dB)"), c);
        caption(context, tr("Vol(dB)"), x, top + 22, columnWidth - 6, 9);
        // The scale's ends: "+6" at the top, "-80" at the bottom.
        const VM::Range volumes = context.range(ParameterKey::VolumeDb);
        caption(context, QStringLiteral("+%1").arg(volumes.maximum), x, top + 32, 14, 9);
        caption(context, QString::number(volumes.minimum), x, top + 172, 14, 9);
        column.volumeSlider = new FaderSlider(canvas);
        const VM::Range volumePositions = context.upsideDown(ParameterKey::VolumeDb);
        column.volumeSlider->setRange(volumePositions.minimum, volumePositions.maximum);
        column.volumeSlider->setTickPosition(QSlider::TicksRight);
        column.volumeSlider->setTickInterval(10);
        column.volumeSlider->setPageStep(10);
        place(context, column.volumeSlider, x + 15, top + 32, 20, 150);
        column.volumeSlider->setAccessibleName(volumeName);
        {
            ApplyingScope applying(context);
            column.volumeSlider->setValue(VM::volumeStartPosition);
        }
        column.volumeBox = readOnlyBox(x, top + 184, tr("%1 value").arg(volumeName));

        column.invertBox = new QCheckBox(tr("Invert"), canvas);
        place(context, column.invertBox, x, top + 199, columnWidth - 8, 11);
        column.invertBox->setAccessibleName(channelName(tr("Invert"), c));

        struct Reading {
            QLineEdit** box;
            QString caption;
            int y;
        };
        for (const Reading& r : {Reading{&column.voltageBox, tr("Voltage"), top + 212},
                                 Reading{&column.currentBox, tr("Current"), top + 236},
                                 Reading{&column.temperatureBox, tr("Temperature"), top + 260}}) {
            // The whole inside of the frame, a unit from each line.
            EditorLayout::useSmallFont(caption(context, r.caption, x - 1, r.y, frameWidth - 2, 9));
            *r.box = readOnlyBox(x, r.y + 10, channelName(r.caption, c));
        }

        connect(column.volumeSlider, &QSlider::valueChanged, this, [this, c] { volumeMoved(c); });
        connect(column.muteBox, &QCheckBox::toggled, this, [this, c](bool on) { muteClicked(c, on); });
        connect(column.invertBox, &QCheckBox::toggled, this, [this, c](bool on) { invertClicked(c, on); });
    }
}

void ChannelColumns::volumeMoved(int channel)
{
    Column& column = columns[channel];
    const int volume = VM::volumeFromPosition(column.volumeSlider->value());
    context.parameters().channels[channel].volumeDb = volume;
    const QString text = VM::decibelText(volume);
    if (text == column.volumeBox->text() || !context.isOpen())
        return;
    column.volumeBox->setText(text);
    if (!context.presetLoading)
        context.send(Commands::volume(context.address(), channel + 1, volume));
}

void ChannelColumns::showVolumeBoxes()
{
    // As read, so that the next slider move is measured against the
    // amplifier's value.
    for (int c = 0; c < channelCountMax; ++c)
        columns[c].volumeBox->setText(VM::decibelText(context.parameters().channels[c].volumeDb));
}

void ChannelColumns::muteClicked(int channel, bool checked)
{
    if (context.applying)
        return;
    context.parameters().channels[channel].mute = checked;
    context.send(Commands::mute(context.address(), channel + 1, checked));
}

void ChannelColumns::invertClicked(int channel, bool checked)
{
    if (context.applying)
        return;
    context.parameters().channels[channel].invert = checked;
    context.send(Commands::invert(context.address(), channel + 1, checked));
}

void ChannelColumns::showParameters()
{
    ApplyingScope applying(context);
    for (int c = 0; c < channelCountMax; ++c) {
        const ChannelParameters& ch = context.parameters().channels[c];
        columns[c].volumeSlider->setValue(VM::positionFromVolume(ch.volumeDb));
        columns[c].muteBox->setChecked(ch.mute);
        columns[c].invertBox->setChecked(ch.invert);
    }
    showVolumeBoxes();
}

void ChannelColumns::showReadings(const MonitorTexts& texts)
{
    for (int c = 0; c < channelCountMax; ++c) {
        columns[c].voltageBox->setText(texts.voltage[c]);
        columns[c].currentBox->setText(texts.current[c]);
        columns[c].temperatureBox->setText(texts.temperature[c]);
    }
}

void ChannelColumns::disableUpperChannels()
{
    for (int c = 2; c < channelCountMax; ++c) {
        const Column& column = columns[c];
        for (QWidget* w : std::initializer_list<QWidget*>{column.muteBox, column.volumeSlider, column.volumeBox, column.invertBox,
                                                          column.voltageBox, column.currentBox, column.temperatureBox})
            w->setEnabled(false);
    }
}
