#include "protocol/ParameterTable.h"

#include "protocol/ControlFrame.h"

#include <algorithm>
#include <cmath>

namespace VM = ValueMapping;
namespace L = FullStateLayout;

namespace {

using K = ParameterKey;
using S = ParameterScope;
using V = ParameterKind;
using A = RangeAnchor;
using G = CommandGroup;
using F = TextForm;

constexpr QStringList (*noTexts)() = nullptr;

QStringList powerTexts() { return {QStringLiteral("on"), QStringLiteral("standby")}; }

// In the order vx4ctl's help names them. Ranges come from ValueMapping, where
// each is written once.
const std::array<Parameter, parameterKeyCount> table{{
    // key, name, vx4ctl word, form, help, scope, kind, anchor, minimum, maximum, decimals,
    // group, selector, bytes, signed, list offset, reply offset, limited on reading, texts
    {K::VolumeDb, "volumeDb", "volume", F::Whole, "DB", S::Channel, V::Integer, A::Fixed, VM::volumeRange.minimum,
     VM::volumeRange.maximum, 0, G::Volume, 0x03, 1, true, 0, L::volume, true, noTexts},
    {K::Mute, "mute", "mute", F::Flag, "", S::Channel, V::Flag, A::Fixed, 0, 1, 0, //
     G::Mute, 0x01, 1, false, 0, L::mute, true, noTexts},
    {K::Invert, "invert", "invert", F::Flag, "", S::Channel, V::Flag, A::Fixed, 0, 1, 0, //
     G::Invert, 0x01, 1, false, 0, L::invert, true, noTexts},
    {K::GainDb, "gainDb", "gain", F::Whole, "DB", S::Channel, V::Integer, A::GainTop, -VM::gainRangeBelowTop, 0, 0,
     G::Gain, 0x01, 1, true, 0, L::gain, true, noTexts},
    {K::DelayUs, "delayUs", "delay", F::Whole, "US", S::Channel, V::Integer, A::Fixed, VM::delayRange.minimum,
     VM::delayRange.maximum, 0, G::Delay, 0x01, 2, false, 0, L::delay, false, noTexts},
    {K::InputType, "inputType", "input", F::Word, "", S::Channel, V::Choice, A::Fixed, 0, inputTypeCount - 1, 0,
     G::InputType, 0x01, 1, false, 0, L::inputType, true, inputTypeNames},
    // Sources 1..4, 5 the pair's first channel (bridged); 0, nothing chosen,
    // is no value an amplifier holds.
    {K::OutputSource, "outputSource", "output", F::Position, "", S::Channel, V::Choice, A::Fixed, 1,
     outputSourceBridged, 0, G::OutputSource, 0x01, 1, false, 0, L::outputSource, true, noTexts},
    {K::PowerState, "powerState", "power", F::Word, "", S::Amplifier, V::Choice, A::Fixed, 1, 2, 0, //
     G::Power, 0x01, 1, false, 0, L::power, true, powerTexts},
    {K::KnobLock, "knobLock", "knoblock", F::Flag, "", S::Amplifier, V::Flag, A::Fixed, 0, 1, 0, //
     G::KnobLock, 0x01, 1, false, 0, L::knobLock, true, noTexts},
    {K::HpType, "hpType", "hptype", F::Position, "", S::Channel, V::Choice, A::Fixed, 0,
     crossoverFilterTypeCount - 1, 0, G::HighPassType, 0x01, 1, false, 1, L::hpType, true, crossoverFilterTypeNames},
    {K::LpType, "lpType", "lptype", F::Position, "", S::Channel, V::Choice, A::Fixed, 0,
     crossoverFilterTypeCount - 1, 0, G::LowPassType, 0x01, 1, false, 1, L::lpType, true, crossoverFilterTypeNames},
    {K::HpFrequencyHz, "hpFrequencyHz", "hpfreq", F::Kilohertz, "HZ", S::Channel, V::Integer, A::Fixed,
     VM::frequencyRange.minimum, VM::frequencyRange.maximum, 0, G::HighPassFrequency, 0x01, 2, false, 0,
     L::hpFrequency, true, noTexts},
    {K::LpFrequencyHz, "lpFrequencyHz", "lpfreq", F::Kilohertz, "HZ", S::Channel, V::Integer, A::Fixed,
     VM::frequencyRange.minimum, VM::frequencyRange.maximum, 0, G::LowPassFrequency, 0x01, 2, false, 0,
     L::lpFrequency, true, noTexts},
    {K::AttackMs, "attackMs", "attack", F::Whole, "MS", S::Channel, V::Integer, A::Fixed, VM::limiterTimeRange.minimum,
     VM::limiterTimeRange.maximum, 0, G::Attack, static_cast<int>(AttackSource::Box), 2, false, 0, L::attack, true,
     noTexts},
    {K::ReleaseMs, "releaseMs", "release", F::Whole, "MS", S::Channel, V::Integer, A::Fixed,
     VM::limiterTimeRange.minimum, VM::limiterTimeRange.maximum, 0, G::Release, 0x01, 2, false, 0, L::release, true,
     noTexts},
    {K::LimiterThreshold, "limiterThreshold", "threshold", F::Whole, "VALUE", S::Channel, V::Integer, A::Threshold,
     VM::thresholdBelowTop.minimum, VM::thresholdBelowTop.maximum, 0, G::Threshold, 0x01, 1, true, 0, L::threshold,
     true, noTexts},
    {K::EqBypass, "eqBypass", "eqbypass", F::Flag, "", S::Channel, V::Flag, A::Fixed, 0, 1, 0, //
     G::EqBypass, 0x01, 1, false, 0, L::eqBypass, true, noTexts},
    // Band fields: the offset is the one inside a band record.
    {K::BandFrequencyHz, "bandFrequencyHz", "eq", F::Whole, "FREQ", S::Band, V::Integer, A::Fixed,
     VM::frequencyRange.minimum, VM::frequencyRange.maximum, 0, G::EqBand, 0x03, 2, false, 0, 1, true, noTexts},
    {K::BandGainDb, "bandGainDb", "eq", F::Decimal, "GAINDB", S::Band, V::Decimal, A::Fixed, VM::eqGainRange.minimum,
     VM::eqGainRange.maximum, 2, G::EqBand, 0x03, 2, true, 0, 3, true, noTexts},
    {K::BandQ, "bandQ", "eqq", F::Decimal, "Q", S::Band, V::Decimal, A::Fixed, VM::qMinimum, VM::qMaximum, 1, //
     G::EqQ, 0x01, 2, false, 0, 5, true, noTexts},
    {K::BandType, "bandType", "eqtype", F::Position, "", S::Band, V::Choice, A::Fixed, 0, eqFilterTypeCount - 1, 0,
     G::EqType, 0x01, 1, false, 1, 7, true, eqFilterTypeNames},
}};

constexpr const char* channelNames[] = {"CHA", "CHB", "CHC", "CHD"};

bool validChannel(int channel) { return channel >= 0 && channel < channelCountMax; }
bool validBand(int band) { return band >= 0 && band < bandCount; }

// What each value is worth as it travels: band gains and Q in hundredths,
// everything else whole.
double held(const Parameter& p, double value)
{
    if (p.kind == V::Decimal)
        return std::round(value * 100.0) / 100.0;
    return std::round(value);
}

} // namespace

double ParameterLimits::clamp(double value) const
{
    if (std::isnan(value))
        return minimum;
    return std::clamp(value, minimum, maximum);
}

namespace ParameterTable {

const std::array<Parameter, parameterKeyCount>& all() { return table; }

const Parameter& of(ParameterKey key) { return table[static_cast<std::size_t>(key)]; }

const Parameter* named(QStringView name)
{
    for (const Parameter& p : table)
        if (name == QLatin1String(p.name))
            return &p;
    return nullptr;
}

ParameterLimits limits(const Parameter& parameter, const AmpParameters& state)
{
    switch (parameter.anchor) {
    case A::Fixed:
        break;
    case A::GainTop:
        return {state.gainTop + parameter.minimum, state.gainTop + parameter.maximum};
    case A::Threshold: {
        const VM::Range range = state.thresholdRange();
        return {double(range.minimum), double(range.maximum)};
    }
    }
    return {parameter.minimum, parameter.maximum};
}

ParameterLimits limits(ParameterKey key, const AmpParameters& state) { return limits(of(key), state); }

std::optional<double> value(const AmpParameters& state, const ParameterPath& path)
{
    if (!validChannel(path.channel) || !validBand(path.band))
        return std::nullopt;
    const ChannelParameters& ch = state.channels[path.channel];
    const EqBand& band = ch.bands[path.band];
    switch (path.key) {
    case K::PowerState:
        if (state.powerState == 0)
            return std::nullopt; // not read yet
        return state.powerState;
    case K::KnobLock: return state.knobLock ? 1 : 0;
    case K::VolumeDb: return ch.volumeDb;
    case K::Mute: return ch.mute ? 1 : 0;
    case K::Invert: return ch.invert ? 1 : 0;
    case K::GainDb: return ch.gainDb;
    case K::DelayUs:
        if (!ch.delayUs)
            return std::nullopt;
        return *ch.delayUs;
    case K::InputType: return static_cast<int>(ch.inputType);
    case K::OutputSource:
        if (ch.outputSource == 0)
            return std::nullopt; // nothing chosen yet
        return ch.outputSource;
    case K::HpType: return static_cast<int>(ch.hpType);
    case K::LpType: return static_cast<int>(ch.lpType);
    case K::HpFrequencyHz: return ch.hpFrequencyHz;
    case K::LpFrequencyHz: return ch.lpFrequencyHz;
    case K::LimiterThreshold: return ch.limiterThreshold;
    case K::AttackMs: return ch.attackMs;
    case K::ReleaseMs: return ch.releaseMs;
    case K::EqBypass: return ch.eqBypass ? 1 : 0;
    case K::BandFrequencyHz: return band.bandFrequencyHz;
    case K::BandGainDb: return band.bandGainDb;
    case K::BandQ: return band.bandQ;
    case K::BandType: return static_cast<int>(band.bandType);
    }
    return std::nullopt;
}

void setValue(AmpParameters& state, const ParameterPath& path, double newValue)
{
    if (!validChannel(path.channel) || !validBand(path.band) || std::isnan(newValue))
        return;
    const Parameter& p = of(path.key);
    const ParameterLimits range = limits(p, state);
    // A list position outside the list names nothing: it changes nothing.
    if (p.kind == V::Choice && !range.contains(newValue))
        return;
    const double v = held(p, range.clamp(newValue));
    const int n = static_cast<int>(v);
    ChannelParameters& ch = state.channels[path.channel];
    EqBand& band = ch.bands[path.band];
    switch (path.key) {
    case K::PowerState: state.powerState = n; break;
    case K::KnobLock: state.knobLock = n != 0; break;
    case K::VolumeDb: ch.volumeDb = n; break;
    case K::Mute: ch.mute = n != 0; break;
    case K::Invert: ch.invert = n != 0; break;
    case K::GainDb: ch.gainDb = n; break;
    case K::DelayUs: ch.delayUs = n; break;
    case K::InputType: ch.inputType = static_cast<InputType>(n); break;
    case K::OutputSource:
        // Only the second channel of a pair takes the first one's signal.
        if (n == outputSourceBridged && path.channel % 2 == 0)
            return;
        ch.outputSource = n;
        break;
    case K::HpType: ch.hpType = static_cast<CrossoverFilterType>(n); break;
    case K::LpType: ch.lpType = static_cast<CrossoverFilterType>(n); break;
    case K::HpFrequencyHz: ch.hpFrequencyHz = n; break;
    case K::LpFrequencyHz: ch.lpFrequencyHz = n; break;
    case K::LimiterThreshold: ch.limiterThreshold = n; break;
    case K::AttackMs: ch.attackMs = n; break;
    case K::ReleaseMs: ch.releaseMs = n; break;
    case K::EqBypass: ch.eqBypass = n != 0; break;
    case K::BandFrequencyHz: band.bandFrequencyHz = n; break;
    case K::BandGainDb: band.bandGainDb = v; break;
    case K::BandQ: band.bandQ = v; break;
    case K::BandType: band.bandType = static_cast<EqFilterType>(n); break;
    }
}

QList<ParameterPath> paths(int channelCount)
{
    const int channels = std::clamp(channelCount, 0, channelCountMax);
    QList<ParameterPath> result;
    for (const Parameter& p : table)
        if (p.scope == S::Amplifier)
            result.append({p.key, 0, 0});
    for (int c = 0; c < channels; ++c)
        for (const Parameter& p : table)
            if (p.scope == S::Channel)
                result.append({p.key, c, 0});
    for (int c = 0; c < channels; ++c)
        for (int b = 0; b < bandCount; ++b)
            for (const Parameter& p : table)
                if (p.scope == S::Band)
                    result.append({p.key, c, b});
    return result;
}

QJsonValue jsonValue(const Parameter& parameter, const std::optional<double>& value)
{
    if (!value)
        return QJsonValue(QJsonValue::Null);
    switch (parameter.kind) {
    case ParameterKind::Flag:
        return *value != 0;
    case ParameterKind::Decimal:
        return *value;
    case ParameterKind::Integer:
    case ParameterKind::Choice:
        break;
    }
    return static_cast<int>(*value);
}

QString pathText(const ParameterPath& path)
{
    const Parameter& p = of(path.key);
    QString text = QString::fromLatin1(p.name);
    if (p.scope != S::Amplifier && validChannel(path.channel))
        text += QLatin1Char(' ') + QLatin1String(channelNames[path.channel]);
    if (p.scope == S::Band)
        text += QStringLiteral(" band %1").arg(path.band + 1);
    return text;
}

int wireValue(const Parameter& parameter, double v)
{
    switch (parameter.key) {
    case K::BandGainDb: return VM::eqGainWire(v);
    case K::BandQ: return VM::qWireFromBox(v);
    default: return static_cast<int>(std::lround(v)) + parameter.wireOffset;
    }
}

double valueFromWire(const Parameter& parameter, int wire)
{
    switch (parameter.key) {
    case K::BandGainDb:
    case K::BandQ: return wire / 100.0;
    default: return wire - parameter.wireOffset;
    }
}

void setFromWire(AmpParameters& state, const ParameterPath& path, int wire)
{
    const Parameter& p = of(path.key);
    if (!p.limitOnRead && p.key == K::DelayUs && validChannel(path.channel)) {
        state.channels[path.channel].delayUs = wire;
        return;
    }
    // The model holds a Q it reads with one decimal, cut: 147 is 1.4.
    if (p.key == K::BandQ) {
        setValue(state, path, (wire / 10) / 10.0);
        return;
    }
    setValue(state, path, valueFromWire(p, wire));
}

std::optional<double> readText(const Parameter& p, const QString& text, const AmpParameters& state)
{
    switch (p.form) {
    case F::Flag:
        return text == u"1" ? 1 : 0;
    case F::Word: {
        const QStringList words = p.texts ? p.texts() : QStringList();
        for (qsizetype i = 0; i < words.size(); ++i)
            if (text.compare(words[i], Qt::CaseInsensitive) == 0)
                return p.minimum + static_cast<double>(i);
        return std::nullopt;
    }
    case F::Position:
        return text.toInt();
    case F::Kilohertz:
        return VM::crossoverFrequencyBox(text).value;
    case F::Decimal:
        if (p.key == K::BandQ)
            return VM::qBox(text).q;
        return VM::eqGainBox(text).value; // the band gain's box takes whole decibels
    case F::Whole:
        break;
    }
    return limits(p, state).clamp(VM::leadingInteger(text));
}

QString valueHelp(const Parameter& p)
{
    switch (p.form) {
    case F::Flag:
        return QStringLiteral("0|1");
    case F::Word:
        return (p.texts ? p.texts() : QStringList()).join(u'|').toLower();
    case F::Position:
        return QStringLiteral("%1..%2").arg(p.minimum).arg(p.maximum);
    case F::Whole:
    case F::Decimal:
    case F::Kilohertz:
        break;
    }
    return QString::fromLatin1(p.valueName);
}

QByteArray shortFrame(ParameterKey key, DeviceAddress address, int wireChannel, int wireValue)
{
    const Parameter& p = of(key);
    const int group = static_cast<int>(p.group);
    if (p.wireBytes == 2)
        return ControlFrame::build({address, group, wireChannel, p.selector, (wireValue >> 8) & 0xFF, wireValue & 0xFF});
    return ControlFrame::build({address, group, wireChannel, p.selector, wireValue});
}

QByteArray frame(const AmpParameters& state, const ParameterPath& path, DeviceAddress address)
{
    const Parameter& p = of(path.key);
    const std::optional<double> v = value(state, path);
    if (!v)
        return {};
    const int wireChannel = p.scope == S::Amplifier ? 0 : path.channel + 1;
    switch (path.key) {
    case K::BandFrequencyHz:
    case K::BandGainDb: {
        const EqBand& band = state.band(path.channel, path.band);
        return Commands::eqBand(address, wireChannel, path.band + 1, band.bandFrequencyHz, band.bandGainDb);
    }
    case K::BandQ:
        return Commands::eqQ(address, wireChannel, path.band + 1, VM::qWireFromBox(*v));
    case K::BandType:
        return Commands::eqType(address, wireChannel, path.band + 1, static_cast<int>(*v));
    default:
        return shortFrame(path.key, address, wireChannel, wireValue(p, *v));
    }
}

QList<ParameterPath> differences(const AmpParameters& a, const AmpParameters& b)
{
    QList<ParameterPath> result;
    // The channels an amplifier lacks hold nothing to compare.
    for (const ParameterPath& path : paths(std::min(a.channelCount, b.channelCount)))
        if (value(a, path) != value(b, path))
            result.append(path);
    return result;
}

QList<QByteArray> framesToReach(const AmpParameters& from, const AmpParameters& to, DeviceAddress address)
{
    // Sent in this order; within a key channel by channel, band by band.
    static constexpr K order[] = {K::KnobLock, K::PowerState, K::InputType, K::OutputSource, K::Mute, K::Invert,
                                  K::VolumeDb, K::GainDb, K::DelayUs, K::HpType, K::LpType, K::HpFrequencyHz,
                                  K::LpFrequencyHz, K::LimiterThreshold, K::AttackMs, K::ReleaseMs, K::EqBypass,
                                  K::BandType, K::BandFrequencyHz, K::BandGainDb, K::BandQ};
    // Bridging is the second channel of a pair taking the first's signal: it
    // goes before the first channels' own sources.
    static constexpr int outputChannelOrder[] = {1, 3, 0, 2};
    const int channels = std::clamp(to.channelCount, 0, channelCountMax);
    QList<QByteArray> frames;
    const auto consider = [&](const ParameterPath& path) {
        const std::optional<double> target = value(to, path);
        if (!target || value(from, path) == target)
            return;
        // A band's frequency and gain travel in one frame: the gain's frame
        // is already out when the frequency differed too.
        if (path.key == K::BandGainDb
            && value(from, {K::BandFrequencyHz, path.channel, path.band})
                   != value(to, {K::BandFrequencyHz, path.channel, path.band}))
            return;
        frames.append(frame(to, path, address));
    };
    for (K key : order) {
        const Parameter& p = of(key);
        if (p.scope == S::Amplifier) {
            consider({key, 0, 0});
            continue;
        }
        for (int i = 0; i < channelCountMax; ++i) {
            const int channel = key == K::OutputSource ? outputChannelOrder[i] : i;
            if (channel >= channels)
                continue;
            if (p.scope == S::Channel)
                consider({key, channel, 0});
            else
                for (int b = 0; b < bandCount; ++b)
                    consider({key, channel, b});
        }
    }
    return frames;
}

} // namespace ParameterTable
