#include "protocol/Commands.h"

#include "protocol/ControlFrame.h"
#include "protocol/ValueMapping.h"

namespace Commands {

namespace {

int group(CommandGroup g) { return static_cast<int>(g); }

int high(int value) { return (value >> 8) & 0xFF; }
int low(int value) { return value & 0xFF; }

// address, group, channel, selector, value
QByteArray byteFrame(DeviceAddress address, CommandGroup g, int channel, int selector, int value)
{
    return ControlFrame::build({address, group(g), channel, selector, value});
}

// address, group, channel, selector, value high, value low
QByteArray wordFrame(DeviceAddress address, CommandGroup g, int channel, int selector, int value)
{
    return ControlFrame::build({address, group(g), channel, selector, high(value), low(value)});
}

} // namespace

QByteArray portProbe(DeviceAddress address) { return byteFrame(address, CommandGroup::PortProbe, 0, 0x02, 0); }

QByteArray volume(DeviceAddress address, int channel, int db)
{
    return byteFrame(address, CommandGroup::Volume, channel, 0x03, db);
}

QByteArray mute(DeviceAddress address, int channel, bool muted)
{
    return byteFrame(address, CommandGroup::Mute, channel, 0x01, muted ? 1 : 0);
}

QByteArray inputType(DeviceAddress address, int channel, int type)
{
    return byteFrame(address, CommandGroup::InputType, channel, 0x01, type);
}

QByteArray gain(DeviceAddress address, int channel, int db)
{
    return byteFrame(address, CommandGroup::Gain, channel, 0x01, db);
}

QByteArray delay(DeviceAddress address, int channel, int microseconds)
{
    return wordFrame(address, CommandGroup::Delay, channel, 0x01, microseconds);
}

QByteArray power(DeviceAddress address, int state) { return byteFrame(address, CommandGroup::Power, 0, 0x01, state); }

QByteArray factoryReset(DeviceAddress address) { return byteFrame(address, CommandGroup::FactoryReset, 0, 0x01, 0x01); }

QByteArray knobLock(DeviceAddress address, bool locked)
{
    return byteFrame(address, CommandGroup::KnobLock, 0, 0x01, locked ? 1 : 0);
}

QByteArray outputSource(DeviceAddress address, int channel, int source)
{
    return byteFrame(address, CommandGroup::OutputSource, channel, 0x01, source);
}

QByteArray invert(DeviceAddress address, int channel, bool inverted)
{
    return byteFrame(address, CommandGroup::Invert, channel, 0x01, inverted ? 1 : 0);
}

QByteArray highPassType(DeviceAddress address, int channel, int type)
{
    return byteFrame(address, CommandGroup::HighPassType, channel, 0x01, type + 1);
}

QByteArray lowPassType(DeviceAddress address, int channel, int type)
{
    return byteFrame(address, CommandGroup::LowPassType, channel, 0x01, type + 1);
}

QByteArray highPassFrequency(DeviceAddress address, int channel, int frequencyHz)
{
    return wordFrame(address, CommandGroup::HighPassFrequency, channel, 0x01, frequencyHz);
}

QByteArray lowPassFrequency(DeviceAddress address, int channel, int frequencyHz)
{
    return wordFrame(address, CommandGroup::LowPassFrequency, channel, 0x01, frequencyHz);
}

QByteArray attack(DeviceAddress address, int channel, int milliseconds, AttackSource source)
{
    return wordFrame(address, CommandGroup::Attack, channel, static_cast<int>(source), milliseconds);
}

QByteArray release(DeviceAddress address, int channel, int milliseconds)
{
    return wordFrame(address, CommandGroup::Release, channel, 0x03, milliseconds);
}

QByteArray threshold(DeviceAddress address, int channel, int value)
{
    return byteFrame(address, CommandGroup::Threshold, channel, 0x01, value);
}

QByteArray eqBypass(DeviceAddress address, int channel, bool bypassed)
{
    return byteFrame(address, CommandGroup::EqBypass, channel, 0x01, bypassed ? 1 : 0);
}

QByteArray eqBand(DeviceAddress address, int channel, int band, int frequencyHz, double gainDb)
{
    const int gainWire = ValueMapping::eqGainWire(gainDb);
    return ControlFrame::build({address, group(CommandGroup::EqBand), channel, band, 0x03, high(frequencyHz),
                                low(frequencyHz), high(gainWire), low(gainWire)});
}

QByteArray eqQ(DeviceAddress address, int channel, int band, int qWire)
{
    return ControlFrame::build({address, group(CommandGroup::EqQ), channel, band, 0x01, high(qWire), low(qWire)});
}

QByteArray eqType(DeviceAddress address, int channel, int band, int type)
{
    return ControlFrame::build({address, group(CommandGroup::EqType), channel, band, 0x01, type + 1});
}

QByteArray eqReset(DeviceAddress address, int channel)
{
    return ControlFrame::build({address, group(CommandGroup::EqReset), channel, 0x00, 0x01, 0x01});
}

QByteArray monitorPoll(DeviceAddress address) { return byteFrame(address, CommandGroup::MonitorPoll, 0, 0x01, 0x01); }

QByteArray fullStateRequest(DeviceAddress address)
{
    return ControlFrame::build({address, group(CommandGroup::FullStateRequest), 0x02});
}

QByteArray statusQuery(DeviceAddress address) { return byteFrame(address, CommandGroup::StatusQuery, 0, 0x02, 0); }

QByteArray addressChange(DeviceAddress oldAddress, DeviceAddress newAddress)
{
    return byteFrame(oldAddress, CommandGroup::AddressChange, 0, 0x01, newAddress);
}

QByteArray presetStore(DeviceAddress address, int slot)
{
    return byteFrame(address, CommandGroup::PresetStore, slot, 0x01, 0);
}

QByteArray presetRecall(DeviceAddress address, int slot)
{
    return byteFrame(address, CommandGroup::PresetRecall, slot, 0x01, 0);
}

QByteArray presetClearAll(DeviceAddress address) { return byteFrame(address, CommandGroup::PresetClear, 0, 0x01, 0); }

QByteArray presetQueryName(DeviceAddress address, int slot)
{
    return byteFrame(address, CommandGroup::PresetQueryName, slot, 0x02, 0);
}

QByteArray presetWriteName(DeviceAddress address, int slot, const QByteArray& nameBytes)
{
    QByteArray payload;
    payload.append(static_cast<char>(address));
    payload.append(static_cast<char>(group(CommandGroup::PresetWriteName)));
    payload.append(static_cast<char>(low(slot)));
    payload.append(static_cast<char>(0x02));
    payload.append(nameBytes.left(presetNameMaxBytes));
    return ControlFrame::build(payload);
}

} // namespace Commands
