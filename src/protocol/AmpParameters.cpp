#include "protocol/AmpParameters.h"

#include <algorithm>
#include <cmath>

namespace {

template <typename Enum>
std::optional<Enum> fromIndex(int index, int count)
{
    if (index < 0 || index >= count)
        return std::nullopt;
    return static_cast<Enum>(index);
}

int clampIndex(int index, int count) { return std::clamp(index, 0, count - 1); }

} // namespace

QStringList eqFilterTypeNames()
{
    return {QStringLiteral("ByPass"),           QStringLiteral("Peaking"),         QStringLiteral("Low Shelf"),
            QStringLiteral("High Shelf"),       QStringLiteral("All Pass"),        QStringLiteral("General Low"),
            QStringLiteral("General High"),     QStringLiteral("Butterworth Low "), QStringLiteral("Butterworth High "),
            QStringLiteral("Bessel Low"),       QStringLiteral("Bessel High")};
}

QStringList crossoverFilterTypeNames()
{
    return {QStringLiteral("Bypass"),      QStringLiteral("12dB_Bworth"), QStringLiteral("12dB_Bessel"),
            QStringLiteral("12dB_Lnkwtz"), QStringLiteral("24dB_Bworth"), QStringLiteral("24dB_Bessel"),
            QStringLiteral("24dB_Lnkwtz"), QStringLiteral("48dB_Bworth"), QStringLiteral("48dB_Bessel"),
            QStringLiteral("48dB_Lnkwtz")};
}

QStringList inputTypeNames() { return {QStringLiteral("Analog"), QStringLiteral("AES3"), QStringLiteral("AUTO")}; }

QStringList pairModeNames() { return {QStringLiteral("NORMAL"), QStringLiteral("BRIDGE")}; }


QString eqFilterTypeName(EqFilterType type)
{
    return eqFilterTypeNames().value(static_cast<int>(type));
}

QString crossoverFilterTypeName(CrossoverFilterType type)
{
    return crossoverFilterTypeNames().value(static_cast<int>(type));
}

std::optional<EqFilterType> eqFilterTypeFromIndex(int index) { return fromIndex<EqFilterType>(index, eqFilterTypeCount); }

std::optional<CrossoverFilterType> crossoverFilterTypeFromIndex(int index)
{
    return fromIndex<CrossoverFilterType>(index, crossoverFilterTypeCount);
}

std::optional<InputType> inputTypeFromIndex(int index) { return fromIndex<InputType>(index, inputTypeCount); }

int axisFrequencyHz(double offset, double width)
{
    if (!(width > 0) || !std::isfinite(offset))
        return ValueMapping::frequencyRange.minimum;
    // The axis spans three decades from 10^1.3 (about 20 Hz).
    const double exponent = std::clamp(1.3 + 3.0 * offset / width, 0.0, 6.0);
    return static_cast<int>(std::trunc(std::pow(10.0, exponent) + 0.5));
}

ChannelParameters::ChannelParameters()
{
    for (int b = 0; b < bandCount; ++b)
        bands[b].bandFrequencyHz = axisFrequencyHz(b, bandCount - 1);
}

AmpParameters::AmpParameters()
{
    // The channel defaults use the ideal plot; only gain follows gainTop.
    for (ChannelParameters& channel : channels)
        channel.gainDb = gainRange().minimum;
    loadSelectedBand();
}

ValueMapping::Range AmpParameters::thresholdRange() const
{
    return gainTopRead ? ValueMapping::thresholdRange(gainTop) : ValueMapping::thresholdRangeBeforeRead;
}

void AmpParameters::setGainTop(int top)
{
    gainTop = top;
    gainTopRead = true;
    for (ChannelParameters& channel : channels) {
        channel.gainDb = gainRange().clamp(channel.gainDb);
        channel.limiterThreshold = thresholdRange().clamp(channel.limiterThreshold);
    }
}

bool AmpParameters::isBridged(int pair) const
{
    if (pair < 0 || pair > 1)
        return false;
    return channels[2 * pair + 1].outputSource == outputSourceBridged;
}

void AmpParameters::setGraphDefaults(int eqPlotWidth, double crossoverPlotLeft, double crossoverPlotWidth)
{
    if (eqPlotWidth > 0) {
        const int step = eqPlotWidth / (bandCount - 1);
        for (ChannelParameters& channel : channels)
            for (int b = 0; b < bandCount; ++b)
                channel.bands[b].bandFrequencyHz = axisFrequencyHz(step * b, eqPlotWidth);
    }
    if (crossoverPlotWidth > 0 && std::isfinite(crossoverPlotLeft)) {
        // The corners are read at the markers' left edges, 5 pixels left of
        // their centres.
        const auto cornerAt = [&](double fraction) {
            const double edge = std::trunc(crossoverPlotLeft - 5 + fraction * crossoverPlotWidth);
            return axisFrequencyHz(edge - crossoverPlotLeft, crossoverPlotWidth);
        };
        for (ChannelParameters& channel : channels) {
            channel.hpFrequencyHz = cornerAt(2.0 / 5.0);
            channel.lpFrequencyHz = cornerAt(4.0 / 5.0);
        }
    }
    loadSelectedBand();
}

const EqBand& AmpParameters::selectedEqBand() const
{
    return band(clampIndex(selectedEqChannel, channelCountMax), clampIndex(selectedBand, bandCount));
}

void AmpParameters::loadSelectedBand()
{
    const EqBand& selected = selectedEqBand();
    selectedBandFrequency = selected.bandFrequencyHz;
    selectedBandGain = static_cast<float>(selected.bandGainDb);
}
