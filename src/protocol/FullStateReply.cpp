#include "protocol/FullStateReply.h"

#include "protocol/ControlFrame.h"
#include "protocol/ParameterTable.h"

#include <algorithm>
#include <cstdint>

namespace L = FullStateLayout;

namespace {

enum class Width { Byte, SignedByte, Word, SignedWord };

qsizetype widthBytes(Width width) { return width == Width::Byte || width == Width::SignedByte ? 1 : 2; }

int valueAt(const QByteArray& bytes, qsizetype offset, Width width)
{
    const auto at = [&](qsizetype i) { return static_cast<std::uint8_t>(bytes[i]); };
    switch (width) {
    case Width::Byte:
        return at(offset);
    case Width::SignedByte:
        return static_cast<std::int8_t>(at(offset));
    case Width::Word:
        return (at(offset) << 8) | at(offset + 1);
    case Width::SignedWord:
        return static_cast<std::int16_t>(static_cast<std::uint16_t>((at(offset) << 8) | at(offset + 1)));
    }
    return 0;
}

// The marker of each section is the group of the command that sets it.
bool markerAt(const QByteArray& bytes, qsizetype offset, CommandGroup marker)
{
    return offset < bytes.size() && static_cast<std::uint8_t>(bytes[offset]) == static_cast<std::uint8_t>(marker);
}

std::optional<int> single(const QByteArray& bytes, qsizetype markerOffset, CommandGroup marker, Width width)
{
    if (!markerAt(bytes, markerOffset, marker) || markerOffset + widthBytes(width) >= bytes.size())
        return std::nullopt;
    return valueAt(bytes, markerOffset + 1, width);
}

FullStateReply::PerChannel perChannel(const QByteArray& bytes, qsizetype markerOffset, CommandGroup marker,
                                      Width width)
{
    const qsizetype step = widthBytes(width);
    if (!markerAt(bytes, markerOffset, marker) || markerOffset + channelCountMax * step >= bytes.size())
        return std::nullopt;
    std::array<int, channelCountMax> values{};
    for (int c = 0; c < channelCountMax; ++c)
        values[c] = valueAt(bytes, markerOffset + 1 + c * step, width);
    return values;
}

qsizetype bandOffset(int channel, int band)
{
    return L::eq + 1 + channel * L::eqChannelBlock + 1 + band * L::eqBandRecord;
}

} // namespace

bool FullStateReply::hasAnySection() const
{
    const bool anyBand = std::any_of(bands.begin(), bands.end(), [](const auto& channel) {
        return std::any_of(channel.begin(), channel.end(), [](const auto& record) { return record.has_value(); });
    });
    return volume || mute || inputType || gain || delay || powerState || knobLock || outputSource || invert || hpType
        || lpType || hpFrequency || lpFrequency || attack || release || threshold || eqBypass || anyBand || gainTop;
}

namespace {

// Where each parameter's section lands in the decoded reply.
FullStateReply::PerChannel FullStateReply::* channelSection(ParameterKey key)
{
    switch (key) {
    case ParameterKey::VolumeDb: return &FullStateReply::volume;
    case ParameterKey::Mute: return &FullStateReply::mute;
    case ParameterKey::InputType: return &FullStateReply::inputType;
    case ParameterKey::GainDb: return &FullStateReply::gain;
    case ParameterKey::DelayUs: return &FullStateReply::delay;
    case ParameterKey::OutputSource: return &FullStateReply::outputSource;
    case ParameterKey::Invert: return &FullStateReply::invert;
    case ParameterKey::HpType: return &FullStateReply::hpType;
    case ParameterKey::LpType: return &FullStateReply::lpType;
    case ParameterKey::HpFrequencyHz: return &FullStateReply::hpFrequency;
    case ParameterKey::LpFrequencyHz: return &FullStateReply::lpFrequency;
    case ParameterKey::AttackMs: return &FullStateReply::attack;
    case ParameterKey::ReleaseMs: return &FullStateReply::release;
    case ParameterKey::LimiterThreshold: return &FullStateReply::threshold;
    case ParameterKey::EqBypass: return &FullStateReply::eqBypass;
    default: return nullptr;
    }
}

std::optional<int> FullStateReply::* amplifierSection(ParameterKey key)
{
    switch (key) {
    case ParameterKey::PowerState: return &FullStateReply::powerState;
    case ParameterKey::KnobLock: return &FullStateReply::knobLock;
    default: return nullptr;
    }
}

int FullStateReply::BandRecord::* bandField(ParameterKey key)
{
    switch (key) {
    case ParameterKey::BandFrequencyHz: return &FullStateReply::BandRecord::frequencyHz;
    case ParameterKey::BandGainDb: return &FullStateReply::BandRecord::gainHundredths;
    case ParameterKey::BandQ: return &FullStateReply::BandRecord::qHundredths;
    case ParameterKey::BandType: return &FullStateReply::BandRecord::typeWire;
    default: return nullptr;
    }
}

Width widthOf(const Parameter& p)
{
    if (p.wireBytes == 2)
        return p.wireSigned ? Width::SignedWord : Width::Word;
    return p.wireSigned ? Width::SignedByte : Width::Byte;
}

} // namespace

FullStateReply decodeFullStateReply(const QByteArray& reply)
{
    FullStateReply result;
    if (reply.isEmpty() || static_cast<std::uint8_t>(reply[0]) != ControlFrame::header)
        return result;
    result.startsWithHeader = true;
    if (L::address < reply.size())
        result.address = valueAt(reply, L::address, Width::Byte);
    if (L::channelCount < reply.size())
        result.channelCount = valueAt(reply, L::channelCount, Width::Byte);

    for (const Parameter& p : ParameterTable::all()) {
        if (p.scope == ParameterScope::Amplifier)
            result.*amplifierSection(p.key) = single(reply, p.stateOffset, p.group, widthOf(p));
        else if (p.scope == ParameterScope::Channel)
            result.*channelSection(p.key) = perChannel(reply, p.stateOffset, p.group, widthOf(p));
    }

    result.eqMarker = markerAt(reply, L::eq, CommandGroup::EqBand);
    if (result.eqMarker) {
        for (int c = 0; c < channelCountMax; ++c) {
            for (int b = 0; b < bandCount; ++b) {
                const qsizetype record = bandOffset(c, b);
                if (record + L::eqBandRecord > reply.size())
                    continue;
                FullStateReply::BandRecord fields;
                for (const Parameter& p : ParameterTable::all())
                    if (p.scope == ParameterScope::Band)
                        fields.*bandField(p.key) = valueAt(reply, record + p.stateOffset, widthOf(p));
                result.bands[c][b] = fields;
            }
        }
    }
    // 0x70 names no command: it is the marker of the gain ceiling.
    constexpr std::uint8_t gainTopMarker = 0x70;
    if (L::gainTop + 1 < reply.size() && static_cast<std::uint8_t>(reply[L::gainTop]) == gainTopMarker)
        result.gainTop = valueAt(reply, L::gainTop + 1, Width::SignedByte);
    return result;
}

bool carries(const FullStateReply& reply, const ParameterPath& path)
{
    switch (ParameterTable::of(path.key).scope) {
    case ParameterScope::Amplifier:
        return (reply.*amplifierSection(path.key)).has_value();
    case ParameterScope::Channel:
        return (reply.*channelSection(path.key)).has_value();
    case ParameterScope::Band:
        break;
    }
    return path.channel >= 0 && path.channel < channelCountMax && path.band >= 0 && path.band < bandCount
        && reply.bands[path.channel][path.band].has_value();
}

void applyFullStateReply(const FullStateReply& reply, AmpParameters& parameters)
{
    if (!reply.startsWithHeader) {
        parameters.loadSelectedBand();
        return;
    }
    const int replyChannels = reply.channelCount.value_or(0);
    if (replyChannels == 2 || replyChannels == 4)
        parameters.channelCount = replyChannels;
    // The gain and threshold ranges follow gainTop: it comes first.
    if (reply.gainTop)
        parameters.setGainTop(*reply.gainTop);

    for (const Parameter& p : ParameterTable::all()) {
        if (p.scope == ParameterScope::Amplifier) {
            if (const std::optional<int>& wire = reply.*amplifierSection(p.key))
                ParameterTable::setFromWire(parameters, {p.key, 0, 0}, *wire);
            continue;
        }
        if (p.scope != ParameterScope::Channel || p.key == ParameterKey::OutputSource)
            continue;
        if (const FullStateReply::PerChannel& wires = reply.*channelSection(p.key))
            for (int c = 0; c < channelCountMax; ++c)
                ParameterTable::setFromWire(parameters, {p.key, c, 0}, (*wires)[c]);
    }

    // A source only for the channels the amplifier has; one that names no
    // entry of the list selects nothing.
    if (reply.outputSource && (replyChannels == 4 || replyChannels == 2)) {
        for (int c = 0; c < replyChannels; ++c) {
            const int v = (*reply.outputSource)[c];
            const bool secondOfPair = c % 2 == 1;
            if (secondOfPair && v == outputSourceBridged)
                parameters.channels[c].outputSource = outputSourceBridged;
            else
                parameters.channels[c].outputSource = v >= 1 && v <= 4 ? v : 0;
        }
    }

    for (int c = 0; c < channelCountMax; ++c) {
        for (int b = 0; b < bandCount; ++b) {
            const auto& record = reply.bands[c][b];
            if (!record)
                continue;
            for (const Parameter& p : ParameterTable::all())
                if (p.scope == ParameterScope::Band)
                    ParameterTable::setFromWire(parameters, {p.key, c, b}, (*record).*bandField(p.key));
        }
    }
    parameters.loadSelectedBand();
}

AmpStatus statusAfterRead(const FullStateReply& reply)
{
    if (!reply.startsWithHeader || !reply.powerState)
        return {};
    return powerStatus(*reply.powerState);
}

QByteArray encodeFullStateReply(const AmpParameters& parameters, DeviceAddress address)
{
    QByteArray frame(L::size, '\0');
    const auto put = [&](qsizetype offset, int value) { frame[offset] = static_cast<char>(value & 0xFF); };
    const auto putWire = [&](qsizetype offset, const Parameter& p, int wire) {
        if (p.wireBytes == 2) {
            put(offset, wire >> 8);
            put(offset + 1, wire);
        } else {
            put(offset, wire);
        }
    };
    // A value the model does not know yet (the delay before a read) is 0.
    const auto wireOf = [&](const Parameter& p, const ParameterPath& path) {
        return ParameterTable::wireValue(p, ParameterTable::value(parameters, path).value_or(0));
    };

    put(0, ControlFrame::header);
    // The long frame carries its length in two bytes.
    put(1, (L::size - 2) >> 8);
    put(2, L::size - 2);
    put(L::address, address);
    put(4, static_cast<int>(CommandGroup::FullStateRequest));
    put(L::channelCount, parameters.channelCount);

    for (const Parameter& p : ParameterTable::all()) {
        if (p.scope == ParameterScope::Band)
            continue;
        put(p.stateOffset, static_cast<int>(p.group));
        if (p.scope == ParameterScope::Amplifier) {
            putWire(p.stateOffset + 1, p, wireOf(p, {p.key, 0, 0}));
            continue;
        }
        for (int c = 0; c < channelCountMax; ++c)
            putWire(p.stateOffset + 1 + c * p.wireBytes, p, wireOf(p, {p.key, c, 0}));
    }

    put(L::eq, static_cast<int>(CommandGroup::EqBand));
    for (int c = 0; c < channelCountMax; ++c) {
        put(L::eq + 1 + c * L::eqChannelBlock, c + 1);
        for (int b = 0; b < bandCount; ++b) {
            const qsizetype record = bandOffset(c, b);
            put(record, b + 1);
            for (const Parameter& p : ParameterTable::all())
                if (p.scope == ParameterScope::Band)
                    putWire(record + p.stateOffset, p, wireOf(p, {p.key, c, b}));
        }
    }
    put(L::gainTop, 0x70);
    put(L::gainTop + 1, parameters.gainTop);
    put(L::size - 1, ControlFrame::checksum(frame, 1, L::size - 1));
    return frame;
}
