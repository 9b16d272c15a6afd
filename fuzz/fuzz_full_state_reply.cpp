// The full-state reply decoded and applied to the editor's parameter set,
// as a read and a preset load do. The first byte picks the selected EQ band
// and whether the parameters already went through one read; the rest is
// the reply.
#include "FuzzSupport.h"

#include "protocol/AmpParameters.h"
#include "protocol/FullStateReply.h"

#include <cmath>

namespace {

namespace L = FullStateLayout;

void checkDecoded(const FullStateReply& reply, const QByteArray& bytes)
{
    const bool framed = !bytes.isEmpty() && static_cast<std::uint8_t>(bytes[0]) == 0x55;
    FUZZ_CHECK(reply.startsWithHeader == framed);
    if (!framed) {
        FUZZ_CHECK(!reply.hasAnySection() && !reply.address && !reply.channelCount);
        return;
    }
    // A section is there only when all of its bytes arrived.
    const auto arrived = [&](qsizetype marker, qsizetype valueBytes) { return marker + valueBytes < bytes.size(); };
    FUZZ_CHECK(!reply.volume || arrived(L::volume, 4));
    FUZZ_CHECK(!reply.delay || arrived(L::delay, 8));
    FUZZ_CHECK(!reply.powerState || arrived(L::power, 1));
    FUZZ_CHECK(!reply.eqBypass || arrived(L::eqBypass, 4));
    FUZZ_CHECK(!reply.gainTop || arrived(L::gainTop, 1));
    for (int c = 0; c < channelCountMax; ++c) {
        for (int b = 0; b < bandCount; ++b) {
            const auto& band = reply.bands[c][b];
            if (!band)
                continue;
            FUZZ_CHECK(reply.eqMarker);
            FUZZ_CHECK(L::eq + 2 + c * L::eqChannelBlock + (b + 1) * L::eqBandRecord <= bytes.size());
            FUZZ_CHECK(band->frequencyHz >= 0 && band->frequencyHz <= 0xFFFF);
            FUZZ_CHECK(band->gainHundredths >= -32768 && band->gainHundredths <= 32767);
            FUZZ_CHECK(band->typeWire >= 0 && band->typeWire <= 0xFF);
        }
    }
    if (reply.volume)
        for (int v : *reply.volume)
            FUZZ_CHECK(v >= -128 && v <= 127);
    if (reply.delay)
        for (int v : *reply.delay)
            FUZZ_CHECK(v >= 0 && v <= 0xFFFF);
}

// Every value within the range its control allows.
void checkParameters(const AmpParameters& p)
{
    FUZZ_CHECK(p.channelCount == 2 || p.channelCount == 4);
    FUZZ_CHECK(p.powerState >= 0 && p.powerState <= 2);
    const ValueMapping::Range gains = p.gainRange();
    const ValueMapping::Range thresholds = p.thresholdRange();
    for (const ChannelParameters& ch : p.channels) {
        FUZZ_CHECK(ch.volumeDb >= -80 && ch.volumeDb <= 6);
        FUZZ_CHECK(gains.contains(ch.gainDb));
        FUZZ_CHECK(thresholds.contains(ch.limiterThreshold));
        FUZZ_CHECK(!ch.delayUs || (*ch.delayUs >= 0 && *ch.delayUs <= 0xFFFF));
        FUZZ_CHECK(ch.outputSource >= 0 && ch.outputSource <= outputSourceBridged);
        FUZZ_CHECK(inputTypeFromIndex(static_cast<int>(ch.inputType)).has_value());
        FUZZ_CHECK(crossoverFilterTypeFromIndex(static_cast<int>(ch.hpType)).has_value());
        FUZZ_CHECK(crossoverFilterTypeFromIndex(static_cast<int>(ch.lpType)).has_value());
        FUZZ_CHECK(ValueMapping::frequencyRange.contains(ch.hpFrequencyHz));
        FUZZ_CHECK(ValueMapping::frequencyRange.contains(ch.lpFrequencyHz));
        FUZZ_CHECK(ValueMapping::limiterTimeRange.contains(ch.attackMs));
        FUZZ_CHECK(ValueMapping::limiterTimeRange.contains(ch.releaseMs));
        for (const EqBand& band : ch.bands) {
            FUZZ_CHECK(ValueMapping::frequencyRange.contains(band.bandFrequencyHz));
            FUZZ_CHECK(std::isfinite(band.bandGainDb) && band.bandGainDb >= -18 && band.bandGainDb <= 18);
            FUZZ_CHECK(band.bandQ >= ValueMapping::qMinimum && band.bandQ <= ValueMapping::qMaximum);
            FUZZ_CHECK(eqFilterTypeFromIndex(static_cast<int>(band.bandType)).has_value());
        }
    }
    const EqBand& selected = p.selectedEqBand();
    FUZZ_CHECK(p.selectedBandFrequency == selected.bandFrequencyHz);
    FUZZ_CHECK(p.selectedBandGain == static_cast<float>(selected.bandGainDb));
}

bool sameChannel(const ChannelParameters& a, const ChannelParameters& b)
{
    for (int k = 0; k < bandCount; ++k) {
        const EqBand& x = a.bands[k];
        const EqBand& y = b.bands[k];
        if (x.bandFrequencyHz != y.bandFrequencyHz || x.bandType != y.bandType
            || std::abs(x.bandGainDb - y.bandGainDb) > 1e-9 || std::abs(x.bandQ - y.bandQ) > 1e-9)
            return false;
    }
    return a.volumeDb == b.volumeDb && a.mute == b.mute && a.invert == b.invert && a.gainDb == b.gainDb
        && a.delayUs.value_or(0) == b.delayUs.value_or(0) && a.inputType == b.inputType && a.hpType == b.hpType
        && a.lpType == b.lpType && a.hpFrequencyHz == b.hpFrequencyHz && a.lpFrequencyHz == b.lpFrequencyHz
        && a.limiterThreshold == b.limiterThreshold && a.attackMs == b.attackMs && a.releaseMs == b.releaseMs
        && a.eqBypass == b.eqBypass;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::Input input(data, size);
    const std::uint8_t selector = input.takeByte();
    const QByteArray bytes = input.rest();

    const FullStateReply reply = decodeFullStateReply(bytes);
    checkDecoded(reply, bytes);

    AmpParameters parameters;
    parameters.selectedEqChannel = selector & 0x03;
    parameters.selectedBand = (selector >> 2) % bandCount;
    if (selector & 0x80) // an earlier read set the ranges
        parameters.setGainTop(41);
    applyFullStateReply(reply, parameters);
    checkParameters(parameters);

    const AmpStatus status = statusAfterRead(reply);
    FUZZ_CHECK(status.kind == AmpStatusKind::None || (reply.powerState && (*reply.powerState == 1 || *reply.powerState == 2)));

    // What was applied, sent back as an amplifier would answer it, reads the
    // same (once a gain ceiling was read, and within the ceilings whose
    // ranges fit the wire's signed byte).
    if (parameters.gainTopRead && parameters.gainTop > -100 && parameters.gainTop < 100) {
        const QByteArray again = encodeFullStateReply(parameters, 1);
        AmpParameters reread = parameters;
        applyFullStateReply(decodeFullStateReply(again), reread);
        for (int c = 0; c < channelCountMax; ++c)
            FUZZ_CHECK(sameChannel(parameters.channels[c], reread.channels[c]));
        FUZZ_CHECK(reread.powerState == parameters.powerState || parameters.powerState == 0);
        FUZZ_CHECK(reread.knobLock == parameters.knobLock);
    }
    return 0;
}
