#include "protocol/FullStateReply.h"

#include "protocol/ControlFrame.h"

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

bool nonZero(int value) { return value != 0; }

} // namespace

bool FullStateReply::hasAnySection() const
{
    const bool anyBand = std::any_of(bands.begin(), bands.end(), [](const auto& channel) {
        return std::any_of(channel.begin(), channel.end(), [](const auto& record) { return record.has_value(); });
    });
    return volume || mute || inputType || gain || delay || powerState || knobLock || outputSource || invert || hpType
        || lpType || hpFrequency || lpFrequency || attack || release || threshold || eqBypass || anyBand || gainTop;
}

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

    result.volume = perChannel(reply, L::volume, CommandGroup::Volume, Width::SignedByte);
    result.mute = perChannel(reply, L::mute, CommandGroup::Mute, Width::Byte);
    result.inputType = perChannel(reply, L::inputType, CommandGroup::InputType, Width::Byte);
    result.gain = perChannel(reply, L::gain, CommandGroup::Gain, Width::SignedByte);
    result.delay = perChannel(reply, L::delay, CommandGroup::Delay, Width::Word);
    result.powerState = single(reply, L::power, CommandGroup::Power, Width::Byte);
    result.knobLock = single(reply, L::knobLock, CommandGroup::KnobLock, Width::Byte);
    result.outputSource = perChannel(reply, L::outputSource, CommandGroup::OutputSource, Width::Byte);
    result.invert = perChannel(reply, L::invert, CommandGroup::Invert, Width::Byte);
    result.hpType = perChannel(reply, L::hpType, CommandGroup::HighPassType, Width::Byte);
    result.lpType = perChannel(reply, L::lpType, CommandGroup::LowPassType, Width::Byte);
    result.hpFrequency = perChannel(reply, L::hpFrequency, CommandGroup::HighPassFrequency, Width::Word);
    result.lpFrequency = perChannel(reply, L::lpFrequency, CommandGroup::LowPassFrequency, Width::Word);
    result.attack = perChannel(reply, L::attack, CommandGroup::Attack, Width::Word);
    result.release = perChannel(reply, L::release, CommandGroup::Release, Width::Word);
    result.threshold = perChannel(reply, L::threshold, CommandGroup::Threshold, Width::SignedByte);
    result.eqBypass = perChannel(reply, L::eqBypass, CommandGroup::EqBypass, Width::Byte);

    result.eqMarker = markerAt(reply, L::eq, CommandGroup::EqBand);
    if (result.eqMarker) {
        for (int c = 0; c < channelCountMax; ++c) {
            for (int b = 0; b < bandCount; ++b) {
                const qsizetype record = bandOffset(c, b);
                if (record + L::eqBandRecord > reply.size())
                    continue;
                result.bands[c][b] = FullStateReply::BandRecord{valueAt(reply, record + 1, Width::Word),
                                                                valueAt(reply, record + 3, Width::SignedWord),
                                                                valueAt(reply, record + 5, Width::Word),
                                                                valueAt(reply, record + 7, Width::Byte)};
            }
        }
    }
    // 0x70 names no command: it is the marker of the gain ceiling.
    constexpr std::uint8_t gainTopMarker = 0x70;
    if (L::gainTop + 1 < reply.size() && static_cast<std::uint8_t>(reply[L::gainTop]) == gainTopMarker)
        result.gainTop = valueAt(reply, L::gainTop + 1, Width::SignedByte);
    return result;
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

    auto& channels = parameters.channels;
    const auto forEach = [&](const FullStateReply::PerChannel& values, auto apply) {
        if (values)
            for (int c = 0; c < channelCountMax; ++c)
                apply(channels[c], (*values)[c]);
    };

    forEach(reply.volume, [](ChannelParameters& ch, int v) { ch.volumeDb = std::clamp(v, -80, 6); });
    forEach(reply.mute, [](ChannelParameters& ch, int v) { ch.mute = nonZero(v); });
    forEach(reply.inputType, [](ChannelParameters& ch, int v) {
        if (const auto type = inputTypeFromIndex(v))
            ch.inputType = *type;
    });
    if (reply.gainTop)
        parameters.setGainTop(*reply.gainTop);
    const ValueMapping::Range gains = parameters.gainRange();
    forEach(reply.gain, [&](ChannelParameters& ch, int v) { ch.gainDb = gains.clamp(v); });
    forEach(reply.delay, [](ChannelParameters& ch, int v) { ch.delayUs = v; });
    if (reply.powerState && (*reply.powerState == 1 || *reply.powerState == 2))
        parameters.powerState = *reply.powerState;
    if (reply.knobLock)
        parameters.knobLock = nonZero(*reply.knobLock);

    if (reply.outputSource && (replyChannels == 4 || replyChannels == 2)) {
        for (int c = 0; c < replyChannels; ++c) {
            const int v = (*reply.outputSource)[c];
            const bool secondOfPair = c % 2 == 1;
            if (secondOfPair && v == outputSourceBridged)
                channels[c].outputSource = outputSourceBridged;
            else
                channels[c].outputSource = v >= 1 && v <= 4 ? v : 0; // a list without that entry selects nothing
        }
    }

    forEach(reply.invert, [](ChannelParameters& ch, int v) { ch.invert = nonZero(v); });
    forEach(reply.hpType, [](ChannelParameters& ch, int v) {
        if (const auto type = crossoverFilterTypeFromIndex(v - 1))
            ch.hpType = *type;
    });
    forEach(reply.lpType, [](ChannelParameters& ch, int v) {
        if (const auto type = crossoverFilterTypeFromIndex(v - 1))
            ch.lpType = *type;
    });
    const ValueMapping::Range frequencies = ValueMapping::frequencyRange;
    forEach(reply.hpFrequency, [&](ChannelParameters& ch, int v) { ch.hpFrequencyHz = frequencies.clamp(v); });
    forEach(reply.lpFrequency, [&](ChannelParameters& ch, int v) { ch.lpFrequencyHz = frequencies.clamp(v); });
    const ValueMapping::Range times = ValueMapping::limiterTimeRange;
    forEach(reply.attack, [&](ChannelParameters& ch, int v) { ch.attackMs = times.clamp(v); });
    forEach(reply.release, [&](ChannelParameters& ch, int v) { ch.releaseMs = times.clamp(v); });
    const ValueMapping::Range thresholds = parameters.thresholdRange();
    forEach(reply.threshold, [&](ChannelParameters& ch, int v) { ch.limiterThreshold = thresholds.clamp(v); });
    forEach(reply.eqBypass, [](ChannelParameters& ch, int v) { ch.eqBypass = nonZero(v); });

    for (int c = 0; c < channelCountMax; ++c) {
        for (int b = 0; b < bandCount; ++b) {
            const auto& record = reply.bands[c][b];
            if (!record)
                continue;
            EqBand& band = channels[c].bands[b];
            band.bandFrequencyHz = frequencies.clamp(record->frequencyHz);
            band.bandGainDb = std::clamp(record->gainHundredths / 100.0, -18.0, 18.0);
            // One decimal, cut: 147 is held as 1.4.
            band.bandQ = std::clamp((record->qHundredths / 10) / 10.0, ValueMapping::qMinimum, ValueMapping::qMaximum);
            if (const auto type = eqFilterTypeFromIndex(record->typeWire - 1))
                band.bandType = *type;
        }
    }
    parameters.loadSelectedBand();
}

QString statusTextAfterRead(const FullStateReply& reply, int uiLanguage)
{
    if (!reply.startsWithHeader || !reply.powerState)
        return {};
    return powerStatusText(*reply.powerState, uiLanguage);
}

QByteArray encodeFullStateReply(const AmpParameters& parameters, DeviceAddress address)
{
    QByteArray frame(L::size, '\0');
    const auto put = [&](qsizetype offset, int value) { frame[offset] = static_cast<char>(value & 0xFF); };
    const auto putWord = [&](qsizetype offset, int value) {
        put(offset, value >> 8);
        put(offset + 1, value);
    };
    const auto group = [](CommandGroup g) { return static_cast<int>(g); };
    const auto& channels = parameters.channels;
    const auto putChannels = [&](qsizetype marker, CommandGroup g, bool word, auto field) {
        put(marker, group(g));
        for (int c = 0; c < channelCountMax; ++c) {
            if (word)
                putWord(marker + 1 + 2 * c, field(channels[c]));
            else
                put(marker + 1 + c, field(channels[c]));
        }
    };

    put(0, ControlFrame::header);
    putWord(1, L::size - 2); // the long frame carries its length in two bytes
    put(L::address, address);
    put(4, group(CommandGroup::FullStateRequest));
    put(L::channelCount, parameters.channelCount);

    putChannels(L::volume, CommandGroup::Volume, false, [](const ChannelParameters& ch) { return ch.volumeDb; });
    putChannels(L::mute, CommandGroup::Mute, false, [](const ChannelParameters& ch) { return int(ch.mute); });
    putChannels(L::inputType, CommandGroup::InputType, false,
                [](const ChannelParameters& ch) { return static_cast<int>(ch.inputType); });
    putChannels(L::gain, CommandGroup::Gain, false, [](const ChannelParameters& ch) { return ch.gainDb; });
    putChannels(L::delay, CommandGroup::Delay, true,
                [](const ChannelParameters& ch) { return ch.delayUs.value_or(0); });
    put(L::power, group(CommandGroup::Power));
    put(L::power + 1, parameters.powerState);
    put(L::knobLock, group(CommandGroup::KnobLock));
    put(L::knobLock + 1, int(parameters.knobLock));
    putChannels(L::outputSource, CommandGroup::OutputSource, false,
                [](const ChannelParameters& ch) { return ch.outputSource; });
    putChannels(L::invert, CommandGroup::Invert, false, [](const ChannelParameters& ch) { return int(ch.invert); });
    putChannels(L::hpType, CommandGroup::HighPassType, false,
                [](const ChannelParameters& ch) { return static_cast<int>(ch.hpType) + 1; });
    putChannels(L::lpType, CommandGroup::LowPassType, false,
                [](const ChannelParameters& ch) { return static_cast<int>(ch.lpType) + 1; });
    putChannels(L::hpFrequency, CommandGroup::HighPassFrequency, true,
                [](const ChannelParameters& ch) { return ch.hpFrequencyHz; });
    putChannels(L::lpFrequency, CommandGroup::LowPassFrequency, true,
                [](const ChannelParameters& ch) { return ch.lpFrequencyHz; });
    putChannels(L::attack, CommandGroup::Attack, true, [](const ChannelParameters& ch) { return ch.attackMs; });
    putChannels(L::release, CommandGroup::Release, true, [](const ChannelParameters& ch) { return ch.releaseMs; });
    putChannels(L::threshold, CommandGroup::Threshold, false,
                [](const ChannelParameters& ch) { return ch.limiterThreshold; });
    putChannels(L::eqBypass, CommandGroup::EqBypass, false,
                [](const ChannelParameters& ch) { return int(ch.eqBypass); });

    put(L::eq, group(CommandGroup::EqBand));
    for (int c = 0; c < channelCountMax; ++c) {
        put(L::eq + 1 + c * L::eqChannelBlock, c + 1);
        for (int b = 0; b < bandCount; ++b) {
            const EqBand& band = channels[c].bands[b];
            const qsizetype record = bandOffset(c, b);
            put(record, b + 1);
            putWord(record + 1, band.bandFrequencyHz);
            putWord(record + 3, ValueMapping::eqGainWire(band.bandGainDb));
            putWord(record + 5, ValueMapping::qWireFromBox(band.bandQ));
            put(record + 7, static_cast<int>(band.bandType) + 1);
        }
    }
    put(L::gainTop, 0x70);
    put(L::gainTop + 1, parameters.gainTop);
    put(L::size - 1, ControlFrame::checksum(frame, 1, L::size - 1));
    return frame;
}
