#include "sim/SimAmplifier.h"

#include "protocol/ControlFrame.h"

#include <algorithm>
#include <cmath>

namespace {

// Groups of the frames an amplifier hears (byte 3 of a short frame).
constexpr int groupProbe = 0x02;         // port probe, answered with selector 3
constexpr int groupVolume = 0x10;        // signed dB
constexpr int groupMute = 0x11;          // 1 muted
constexpr int groupInput = 0x13;         // 0 Analog, 1 AES3, 2 AUTO
constexpr int groupGain = 0x14;          // whole dB
constexpr int groupDelay = 0x15;         // 16-bit microseconds
constexpr int groupPower = 0x17;         // selector 1: set power; selector 2: status query
constexpr int groupAddress = 0x18;       // address change, the new address as value
constexpr int groupFactoryReset = 0x19;  // every parameter back to the defaults
constexpr int groupKnobLock = 0x1A;      // 1 locked
constexpr int groupOutput = 0x1B;        // 1..4 source a..d, 5 bridged
constexpr int groupInvert = 0x1C;        // 1 inverted
constexpr int groupHpType = 0x20;        // crossover type + 1
constexpr int groupLpType = 0x21;        // crossover type + 1
constexpr int groupHpFrequency = 0x22;   // 16-bit Hz
constexpr int groupLpFrequency = 0x23;   // 16-bit Hz
constexpr int groupAttack = 0x24;        // 16-bit ms
constexpr int groupRelease = 0x25;       // 16-bit ms
constexpr int groupThreshold = 0x26;     // signed dBu as shown
constexpr int groupEqBypass = 0x30;      // 1 bypassed
constexpr int groupBandFreqGain = 0x31;  // band, frequency and gain x 100 together
constexpr int groupBandQ = 0x32;         // band, Q x 100
constexpr int groupBandType = 0x33;      // band, EQ type + 1
constexpr int groupEqReset = 0x34;       // every band of the channel back to the defaults
constexpr int groupMonitor = 0x50;       // monitor poll and reply
constexpr int groupFullState = 0x60;     // full-state request and reply
constexpr int markerGainTop = 0x70;      // full-state section carrying gainTop
constexpr int groupSlotStore = 0x80;     // store the parameters into slot S
constexpr int groupSlotRecall = 0x81;    // recall slot S
constexpr int groupSlotClear = 0x82;     // clear slot S, 0 = every slot
constexpr int groupSlotName = 0x83;      // query the name of slot S
constexpr int groupSlotWriteName = 0x84; // name bytes of slot S
constexpr int groupFaultReport = 0x40;   // unsolicited fault bits
constexpr int groupIgnoredReport = 0x43; // unsolicited, the PC ignores it
constexpr int groupTempReport = 0x44;    // unsolicited temperature protection

constexpr int selectorStatus = 0x02;
constexpr int probeAnswerSelector = 0x03;
constexpr int longFrameMinSize = 258; // a length too big for one byte

struct ChannelSection {
    int group;
    int width; // 1 or 2 bytes per channel
};

// Per-channel sections of the full-state reply, in the order they travel,
// before and after the whole-amplifier power and knob-lock sections.
constexpr ChannelSection leadingSections[] = {
    {groupVolume, 1}, {groupMute, 1}, {groupInput, 1}, {groupGain, 1}, {groupDelay, 2}};
constexpr ChannelSection trailingSections[] = {
    {groupOutput, 1},  {groupInvert, 1},        {groupHpType, 1},        {groupLpType, 1},
    {groupHpFrequency, 2}, {groupLpFrequency, 2}, {groupAttack, 2},      {groupRelease, 2},
    {groupThreshold, 1},   {groupEqBypass, 1}};

constexpr int bandRecordSize = 8;
constexpr int eqBlockSize = 1 + 15 * bandRecordSize;

int byteAt(const QByteArray& frame, qsizetype i) { return static_cast<std::uint8_t>(frame.at(i)); }
int wordAt(const QByteArray& frame, qsizetype i) { return (byteAt(frame, i) << 8) | byteAt(frame, i + 1); }
int signed8(int v) { return static_cast<std::int8_t>(v & 0xFF); }
int signed16(int v) { return static_cast<std::int16_t>(v & 0xFFFF); }

void appendWord(QByteArray& out, int v)
{
    out.append(static_cast<char>((v >> 8) & 0xFF));
    out.append(static_cast<char>(v & 0xFF));
}

bool isLongFrame(const QByteArray& frame) { return frame.size() >= longFrameMinSize; }

// The 16-bit length of a frame longer than 257 bytes: total length - 2.
QByteArray buildLong(QByteArray body)
{
    const qsizetype length = body.size() + 2; // two length bytes, body, no header or checksum
    QByteArray frame;
    frame.append(static_cast<char>(ControlFrame::header));
    appendWord(frame, static_cast<int>(length));
    frame.append(body);
    frame.append(static_cast<char>(ControlFrame::checksum(frame, 1, frame.size())));
    return frame;
}

SimEqBand defaultBand(int index)
{
    SimEqBand band;
    band.frequencyHz = static_cast<int>(std::lround(std::pow(10.0, 1.3 + 3.0 * index / 14.0)));
    return band;
}

} // namespace

SimAmplifier::SimAmplifier(std::uint8_t address, int channelCount, int gainTop)
    : addr(address), channels(channelCount == 2 ? 2 : 4), top(gainTop)
{
    params = defaultParameters();
}

SimParameters SimAmplifier::defaultParameters() const
{
    SimParameters p;
    for (int c = 0; c < 4; ++c) {
        SimChannel& ch = p.channels[static_cast<std::size_t>(c)];
        ch.gainDb = top - 18;
        ch.limiterThreshold = top;
        ch.outputSource = c + 1;
        for (int b = 0; b < 15; ++b)
            ch.bands[static_cast<std::size_t>(b)] = defaultBand(b);
    }
    return p;
}

bool SimAmplifier::isAddressedBy(const QByteArray& frame) const
{
    const qsizetype at = isLongFrame(frame) ? 3 : 2;
    if (frame.size() <= at)
        return false;
    const int target = byteAt(frame, at);
    return target == 0 || target == addr;
}

QByteArray SimAmplifier::handleFrame(const QByteArray& frame)
{
    if (!isAddressedBy(frame))
        return {};
    if (isLongFrame(frame)) {
        takeFullState(frame);
        return {};
    }
    return shortCommand(frame);
}

namespace {

// The wire value of one per-channel parameter.
int channelValue(const SimChannel& ch, int group)
{
    switch (group) {
    case groupVolume: return ch.volumeDb & 0xFF;
    case groupMute: return ch.mute ? 1 : 0;
    case groupInput: return ch.inputType;
    case groupGain: return ch.gainDb & 0xFF;
    case groupDelay: return ch.delayUs;
    case groupOutput: return ch.outputSource;
    case groupInvert: return ch.invert ? 1 : 0;
    case groupHpType: return ch.hpType + 1;
    case groupLpType: return ch.lpType + 1;
    case groupHpFrequency: return ch.hpFrequencyHz;
    case groupLpFrequency: return ch.lpFrequencyHz;
    case groupAttack: return ch.attackMs;
    case groupRelease: return ch.releaseMs;
    case groupThreshold: return ch.limiterThreshold & 0xFF;
    case groupEqBypass: return ch.eqBypass ? 1 : 0;
    default: return 0;
    }
}

// Takes a wire value as the amplifier would: numbers are held to their
// range, unknown choices leave the parameter as it was.
void setChannelValue(SimChannel& ch, int channelIndex, int group, int v, int gainTop)
{
    switch (group) {
    case groupVolume: ch.volumeDb = std::clamp(signed8(v), -80, 6); break;
    case groupMute: ch.mute = v != 0; break;
    case groupInput:
        if (v <= 2)
            ch.inputType = v;
        break;
    case groupGain: ch.gainDb = std::clamp(signed8(v), gainTop - 18, gainTop); break;
    case groupDelay: ch.delayUs = std::min(v, 65000); break;
    case groupOutput:
        // Bridging is the second channel of a pair taking the first one's signal.
        if ((v >= 1 && v <= 4) || (v == 5 && channelIndex % 2 == 1))
            ch.outputSource = v;
        break;
    case groupInvert: ch.invert = v != 0; break;
    case groupHpType:
        if (v >= 1 && v <= 10)
            ch.hpType = v - 1;
        break;
    case groupLpType:
        if (v >= 1 && v <= 10)
            ch.lpType = v - 1;
        break;
    case groupHpFrequency: ch.hpFrequencyHz = std::clamp(v, 20, 20000); break;
    case groupLpFrequency: ch.lpFrequencyHz = std::clamp(v, 20, 20000); break;
    case groupAttack: ch.attackMs = std::clamp(v, 1, 10000); break;
    case groupRelease: ch.releaseMs = std::clamp(v, 1, 10000); break;
    case groupThreshold: ch.limiterThreshold = std::clamp(signed8(v), gainTop - 28, gainTop + 2); break;
    case groupEqBypass: ch.eqBypass = v != 0; break;
    default: break;
    }
}

bool isChannelGroup(int group, int* width)
{
    auto find = [&](const auto& sections) {
        for (const ChannelSection& s : sections)
            if (s.group == group) {
                *width = s.width;
                return true;
            }
        return false;
    };
    return find(leadingSections) || find(trailingSections);
}

void setBandFields(SimEqBand& band, int group, const QByteArray& frame)
{
    switch (group) {
    case groupBandFreqGain:
        band.frequencyHz = std::clamp(wordAt(frame, 7), 20, 20000);
        band.gainCentiDb = std::clamp(signed16(wordAt(frame, 9)), -1800, 1800);
        break;
    case groupBandQ: band.qCenti = std::clamp(wordAt(frame, 7), 10, 2000); break;
    case groupBandType:
        if (byteAt(frame, 7) >= 1 && byteAt(frame, 7) <= 11)
            band.type = byteAt(frame, 7) - 1;
        break;
    default: break;
    }
}

} // namespace

QByteArray SimAmplifier::shortCommand(const QByteArray& frame)
{
    if (frame.size() < 6)
        return {};
    const int group = byteAt(frame, 3);
    const qsizetype size = frame.size();
    int width = 0;
    if (isChannelGroup(group, &width)) {
        if (size == 7 + width)
            applyChannelCommand(group, byteAt(frame, 4), frame);
        return {};
    }
    switch (group) {
    case groupProbe:
        return size == 8 && byteAt(frame, 5) == 0x02 ? probeAnswer() : QByteArray();
    case groupPower:
        if (size != 8)
            return {};
        if (byteAt(frame, 5) == selectorStatus)
            return statusReply();
        if (byteAt(frame, 6) == 1 || byteAt(frame, 6) == 2)
            params.powerState = byteAt(frame, 6);
        return {};
    case groupAddress:
        // 0 would leave the amplifier reachable only by broadcasts, 255 is no address.
        if (size == 8 && byteAt(frame, 6) >= 1 && byteAt(frame, 6) <= 254)
            addr = static_cast<std::uint8_t>(byteAt(frame, 6));
        return {};
    case groupFactoryReset:
        if (size == 8)
            factoryReset();
        return {};
    case groupKnobLock:
        if (size == 8)
            params.knobLock = byteAt(frame, 6) != 0;
        return {};
    case groupBandFreqGain:
    case groupBandQ:
    case groupBandType:
    case groupEqReset: {
        static constexpr int bandFrameSize[] = {12, 10, 9, 9};
        if (size != bandFrameSize[group - groupBandFreqGain])
            return {};
        const bool applied = applyBandCommand(group, byteAt(frame, 4), frame);
        // An EQ reset is answered with the whole state, so that the editor
        // shows the flat EQ it now has; a broadcast is answered by no one.
        const bool answers = applied && group == groupEqReset && byteAt(frame, 2) != 0;
        return answers ? fullStateReply() : QByteArray();
    }
    case groupMonitor:
        return size == 8 ? monitorReply() : QByteArray();
    case groupFullState:
        return size == 6 && byteAt(frame, 4) == 0x02 ? fullStateReply() : QByteArray();
    case groupSlotStore:
    case groupSlotRecall:
    case groupSlotClear:
    case groupSlotName:
    case groupSlotWriteName:
        return presetCommand(group, frame);
    default:
        return {};
    }
}

void SimAmplifier::applyChannelCommand(int group, int channel, const QByteArray& frame)
{
    // Channel 0 speaks to the whole amplifier; channels the model lacks are ignored.
    if (channel > channels)
        return;
    int width = 1;
    isChannelGroup(group, &width);
    const int value = width == 2 ? wordAt(frame, 6) : byteAt(frame, 6);
    for (int c = 0; c < channels; ++c)
        if (channel == 0 || channel == c + 1)
            setChannelValue(params.channels[static_cast<std::size_t>(c)], c, group, value, top);
}

bool SimAmplifier::applyBandCommand(int group, int channel, const QByteArray& frame)
{
    if (channel < 1 || channel > channels)
        return false;
    SimChannel& ch = params.channels[static_cast<std::size_t>(channel - 1)];
    if (group == groupEqReset) {
        for (int b = 0; b < 15; ++b)
            ch.bands[static_cast<std::size_t>(b)] = defaultBand(b);
        return true;
    }
    const int band = byteAt(frame, 5);
    if (band < 1 || band > 15)
        return false;
    setBandFields(ch.bands[static_cast<std::size_t>(band - 1)], group, frame);
    return true;
}

QByteArray SimAmplifier::presetCommand(int group, const QByteArray& frame)
{
    if (group != groupSlotWriteName && frame.size() != 8)
        return {};
    if (group == groupSlotWriteName && frame.size() < 7)
        return {};
    const int slot = byteAt(frame, 4);
    if (group == groupSlotClear && slot == 0) {
        slotTable.fill(SimPresetSlot{});
        return {};
    }
    if (slot < 1 || slot > slotCount)
        return {};
    SimPresetSlot& s = slotTable[static_cast<std::size_t>(slot - 1)];
    switch (group) {
    case groupSlotStore:
        s.parameters = params;
        if (s.name == "Empty")
            s.name = "Preset " + QByteArray::number(slot);
        return {};
    case groupSlotRecall:
        // A preset carries the sound, not whether the amplifier is switched on.
        if (s.parameters) {
            const int power = params.powerState;
            params = *s.parameters;
            params.powerState = power;
        }
        return {};
    case groupSlotClear: s = SimPresetSlot{}; return {};
    case groupSlotName: return slotNameAnswer(slot);
    case groupSlotWriteName:
        s.name = frame.mid(6, frame.size() - 7).left(maxNameBytes);
        return {};
    default: return {};
    }
}

void SimAmplifier::takeFullState(const QByteArray& frame)
{
    // Sections whose marker is missing, or that the frame is too short for,
    // leave their parameters as they are. The model (channel count, gainTop)
    // and the power state are the amplifier's own, not the file's.
    const qsizetype end = frame.size() - 1; // the checksum is no data
    qsizetype at = 7;
    auto takeSections = [&](const auto& sections) {
        for (const ChannelSection& s : sections) {
            const qsizetype next = at + 1 + 4 * s.width;
            if (next <= end && byteAt(frame, at) == s.group)
                for (int c = 0; c < channels; ++c) {
                    const qsizetype v = at + 1 + c * s.width;
                    const int value = s.width == 2 ? wordAt(frame, v) : byteAt(frame, v);
                    setChannelValue(params.channels[static_cast<std::size_t>(c)], c, s.group, value, top);
                }
            at = next;
        }
    };
    takeSections(leadingSections);
    at += 4; // power section (36, 37) and two bytes the amplifier keeps to itself
    if (at + 2 <= end && byteAt(frame, at) == groupKnobLock)
        params.knobLock = byteAt(frame, at + 1) != 0;
    at += 2;
    takeSections(trailingSections);
    if (at + 1 + 4 * eqBlockSize > end || byteAt(frame, at) != groupBandFreqGain)
        return;
    for (int c = 0; c < channels; ++c) {
        const qsizetype block = at + 1 + c * eqBlockSize;
        for (int b = 0; b < 15; ++b) {
            const qsizetype r = block + 1 + b * bandRecordSize;
            SimEqBand& band = params.channels[static_cast<std::size_t>(c)].bands[static_cast<std::size_t>(b)];
            band.frequencyHz = std::clamp(wordAt(frame, r + 1), 20, 20000);
            band.gainCentiDb = std::clamp(signed16(wordAt(frame, r + 3)), -1800, 1800);
            band.qCenti = std::clamp(wordAt(frame, r + 5), 10, 2000);
            if (byteAt(frame, r + 7) >= 1 && byteAt(frame, r + 7) <= 11)
                band.type = byteAt(frame, r + 7) - 1;
        }
    }
}

QByteArray SimAmplifier::probeAnswer() const
{
    return ControlFrame::build({addr, groupProbe, 0, probeAnswerSelector, 0});
}

QByteArray SimAmplifier::statusReply() const
{
    if (shortStatusReply)
        return ControlFrame::build({addr, groupPower, 0, selectorStatus, params.powerState});
    return ControlFrame::build(
        {addr, groupPower, 0, selectorStatus, params.powerState, 0, limitingFlags, protectionFlags});
}

QByteArray SimAmplifier::monitorReply() const
{
    QByteArray payload;
    for (int v : {static_cast<int>(addr), groupMonitor, 0, 1})
        payload.append(static_cast<char>(v));
    // An amplifier in standby drives no outputs.
    const bool on = params.powerState == 1;
    for (int v : live.voltage)
        appendWord(payload, on ? v : 0);
    for (int v : live.current)
        appendWord(payload, on ? v : 0);
    for (int v : live.temperature)
        appendWord(payload, v);
    appendWord(payload, live.supplyTemperature);
    payload.append(static_cast<char>(clipFlags));
    payload.append(static_cast<char>(limitingFlags));
    payload.append(static_cast<char>(protectionFlags));
    return ControlFrame::build(payload);
}

QByteArray SimAmplifier::fullStateReply() const
{
    QByteArray body; // everything after the two length bytes, before the checksum
    for (int v : {static_cast<int>(addr), groupFullState, channels, 0})
        body.append(static_cast<char>(v));
    auto appendSections = [&](const auto& sections) {
        for (const ChannelSection& s : sections) {
            body.append(static_cast<char>(s.group));
            for (const SimChannel& ch : params.channels) {
                if (s.width == 2)
                    appendWord(body, channelValue(ch, s.group));
                else
                    body.append(static_cast<char>(channelValue(ch, s.group)));
            }
        }
    };
    appendSections(leadingSections);
    for (int v : {groupPower, params.powerState, 0, 0, groupKnobLock, params.knobLock ? 1 : 0})
        body.append(static_cast<char>(v));
    appendSections(trailingSections);
    body.append(static_cast<char>(groupBandFreqGain));
    for (int c = 0; c < 4; ++c) {
        body.append(static_cast<char>(c + 1));
        for (int b = 0; b < 15; ++b) {
            const SimEqBand& band = params.channels[static_cast<std::size_t>(c)].bands[static_cast<std::size_t>(b)];
            body.append(static_cast<char>(b + 1));
            appendWord(body, band.frequencyHz);
            appendWord(body, band.gainCentiDb & 0xFFFF);
            appendWord(body, band.qCenti);
            body.append(static_cast<char>(band.type + 1));
        }
    }
    for (int v : {markerGainTop, top & 0xFF, 0})
        body.append(static_cast<char>(v));
    return buildLong(body);
}

QByteArray SimAmplifier::slotNameAnswer(int slot) const
{
    QByteArray payload;
    for (int v : {static_cast<int>(addr), groupSlotName, slot, 0x02})
        payload.append(static_cast<char>(v));
    payload.append(presetSlot(slot).name);
    return ControlFrame::build(payload);
}

QByteArray SimAmplifier::faultReport(std::uint8_t bits) const
{
    return ControlFrame::build({addr, groupFaultReport, 0, 1, bits});
}

QByteArray SimAmplifier::temperatureProtectionReport() const
{
    return ControlFrame::build({addr, groupTempReport, 0, 1, 0});
}

QByteArray SimAmplifier::ignoredReport() const
{
    return ControlFrame::build({addr, groupIgnoredReport, 0, 1, 0});
}
