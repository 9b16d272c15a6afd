#include "response/EqImport.h"

#include "protocol/ParameterTable.h"
#include "protocol/ValueMapping.h"
#include "response/ResponseMath.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <vector>

namespace VM = ValueMapping;

namespace {

QString tr(const char* text) { return QCoreApplication::translate("EqFile", text); }

constexpr double butterworthQ = 0.70710678118654752; // 1/sqrt(2)
constexpr double besselQ = 0.57735026918962576;      // 1/sqrt(3)
// A Q this close to one of the two is that filter: "0.71" is how a file
// with two decimals writes the Butterworth Q.
constexpr double sameQ = 0.005;
constexpr double fullSlopeDb = 12.0; // a second-order shelf at its steepest without overshoot

std::optional<EqFilterType> importedType(const EqFileFilter& f)
{
    if (!f.isActive())
        return EqFilterType::ByPass;
    const QString& c = f.code;
    if (c == u"PK" || c == u"PEQ")
        return EqFilterType::Peaking;
    if (c == u"LS" || c == u"LSC")
        return EqFilterType::LowShelf;
    if (c == u"HS" || c == u"HSC")
        return EqFilterType::HighShelf;
    if (c == u"AP")
        return EqFilterType::AllPass;
    const bool low = c == u"LP" || c == u"LPQ";
    const bool high = c == u"HP" || c == u"HPQ";
    if (!low && !high)
        return std::nullopt;
    // The amplifier has the two second-order forms whose Q is irrational
    // as types of their own.
    if (!f.q || std::abs(*f.q - butterworthQ) <= sameQ)
        return low ? EqFilterType::ButterworthLow : EqFilterType::ButterworthHigh;
    if (std::abs(*f.q - besselQ) <= sameQ)
        return low ? EqFilterType::BesselLow : EqFilterType::BesselHigh;
    return low ? EqFilterType::GeneralLow : EqFilterType::GeneralHigh;
}

bool isShelfCode(const QString& c) { return c == u"LS" || c == u"HS" || c == u"LSC" || c == u"HSC"; }

double amplitude(double gainDb) { return std::pow(10.0, gainDb / 40.0); }

// The Q of a shelf of `slopeDb` per octave, slopes above 12 dB taken as 12.
double qOfSlope(double slopeDb, double gainDb)
{
    const double a = amplitude(gainDb);
    const double s = std::min(slopeDb, fullSlopeDb);
    return 1.0 / std::sqrt((a + 1.0 / a) * (fullSlopeDb / s - 1.0) + 2.0);
}

double qOfBandwidth(double octaves)
{
    const double twoN = std::pow(2.0, octaves);
    return std::sqrt(twoN) / (twoN - 1.0);
}

// The Q of the file's filter as it stands, nullopt where none applies.
std::optional<double> fileQ(const EqFileFilter& f)
{
    if (f.q)
        return f.q;
    if (f.bandwidthOctaves)
        return qOfBandwidth(*f.bandwidthOctaves);
    if (isShelfCode(f.code))
        return f.slopeDb ? qOfSlope(*f.slopeDb, f.gainDb.value_or(0)) : butterworthQ;
    if (f.code == u"AP")
        return butterworthQ;
    return std::nullopt;
}

// One decimal, cut as the amplifier's read gives it back; a product that
// should be whole (2.3 x 10) may land just below it.
double cutToTenths(double q) { return std::floor(q * 10.0 + 1e-9) / 10.0; }

bool differs(double a, double b) { return std::abs(a - b) > 1e-9; }

void placeFilter(const EqFileFilter& f, EqFilterType type, int bandIndex, EqImportBand& band,
                 QList<EqAdjustment>& adjustments)
{
    const int number = bandIndex + 1;
    band.type = type;
    band.line = f.line;
    if (type == EqFilterType::ByPass)
        return;
    const auto note = [&](EqAdjustment::Kind kind, double from, double to) {
        adjustments.append({kind, number, f.line, from, to, f.code});
    };
    const double fc = f.frequencyHz.value_or(1000);
    const double limitedFc = std::clamp(fc, double(VM::frequencyRange.minimum), double(VM::frequencyRange.maximum));
    band.frequencyHz = static_cast<int>(std::lround(limitedFc));
    if (differs(limitedFc, fc))
        note(EqAdjustment::FrequencyLimited, fc, band.frequencyHz);
    else if (differs(band.frequencyHz, fc))
        note(EqAdjustment::FrequencyRounded, fc, band.frequencyHz);

    if (eqTypeUsesGain(type)) {
        const double gain = f.gainDb.value_or(0);
        const double limited = std::clamp(gain, double(VM::eqGainRange.minimum), double(VM::eqGainRange.maximum));
        band.gainDb = std::round(limited * 100.0) / 100.0;
        if (differs(limited, gain))
            note(EqAdjustment::GainLimited, gain, band.gainDb);
        else if (differs(band.gainDb, gain))
            note(EqAdjustment::GainRounded, gain, band.gainDb);
    }
    if (eqTypeUsesQ(type)) {
        const double q = fileQ(f).value_or(butterworthQ);
        const double limited = std::clamp(q, VM::qMinimum, VM::qMaximum);
        band.q = cutToTenths(limited);
        // A Q the file did not write is reported once, with what it became.
        if (!f.q && f.slopeDb)
            note(EqAdjustment::SlopeToQ, *f.slopeDb, band.q);
        else if (!f.q && f.bandwidthOctaves)
            note(EqAdjustment::BandwidthToQ, *f.bandwidthOctaves, band.q);
        else if (!f.q)
            note(EqAdjustment::DefaultQ, q, band.q);
        else if (differs(limited, q))
            note(EqAdjustment::QLimited, q, band.q);
        else if (differs(band.q, q))
            note(EqAdjustment::QCut, q, band.q);
    }
}

QString signedDb(double value)
{
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    if (text == u"-0")
        text = QStringLiteral("0");
    return value > 0 && text != u"0" ? QLatin1Char('+') + text : text;
}

QString plainNumber(double value)
{
    QString text = QString::number(value, 'f', 4);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

} // namespace

bool eqTypeUsesFrequency(EqFilterType type) { return type != EqFilterType::ByPass; }

bool eqTypeUsesGain(EqFilterType type)
{
    return type == EqFilterType::Peaking || type == EqFilterType::LowShelf || type == EqFilterType::HighShelf;
}

bool eqTypeUsesQ(EqFilterType type)
{
    return eqTypeUsesGain(type) || type == EqFilterType::AllPass || type == EqFilterType::GeneralLow
           || type == EqFilterType::GeneralHigh;
}

EqImportPlan planEqImport(const EqFileText& text)
{
    EqImportPlan plan;
    struct Placed {
        const EqFileFilter* filter;
        EqFilterType type;
    };
    QList<Placed> placed;
    for (const EqFileFilter& f : text.filters) {
        if (const std::optional<EqFilterType> type = importedType(f))
            placed.append({&f, *type});
        else
            plan.adjustments.append({EqAdjustment::NotImported, 0, f.line, 0, 0, f.code});
    }
    // Flat places give way to filters that do something.
    for (qsizetype i = placed.size() - 1; i >= 0 && placed.size() > bandCount; --i)
        if (placed.at(i).type == EqFilterType::ByPass)
            placed.removeAt(i);
    for (qsizetype i = 0; i < placed.size(); ++i) {
        if (i < bandCount)
            placeFilter(*placed.at(i).filter, placed.at(i).type, static_cast<int>(i), plan.bands[std::size_t(i)],
                        plan.adjustments);
        else
            plan.adjustments.append({EqAdjustment::LeftOut, 0, placed.at(i).filter->line, 0, 0, placed.at(i).filter->code});
    }
    if (text.preampDb)
        plan.adjustments.append({EqAdjustment::Preamp, 0, text.preampLine, *text.preampDb, 0, {}});
    for (const EqIgnoredCommand& command : text.ignored)
        plan.adjustments.append({EqAdjustment::IgnoredCommand, 0, command.line, 0, 0, command.command});
    std::stable_sort(plan.adjustments.begin(), plan.adjustments.end(),
                     [](const EqAdjustment& a, const EqAdjustment& b) { return a.line < b.line; });
    return plan;
}

void applyEqImport(AmpParameters& state, int channel, const EqImportPlan& plan)
{
    for (int b = 0; b < bandCount; ++b) {
        const EqImportBand& band = plan.bands[std::size_t(b)];
        ParameterTable::setValue(state, {ParameterKey::BandType, channel, b}, static_cast<int>(band.type));
        if (eqTypeUsesFrequency(band.type))
            ParameterTable::setValue(state, {ParameterKey::BandFrequencyHz, channel, b}, band.frequencyHz);
        if (eqTypeUsesGain(band.type))
            ParameterTable::setValue(state, {ParameterKey::BandGainDb, channel, b}, band.gainDb);
        if (eqTypeUsesQ(band.type))
            ParameterTable::setValue(state, {ParameterKey::BandQ, channel, b}, band.q);
    }
}

bool sameEqBands(const ChannelParameters& a, const ChannelParameters& b)
{
    for (int i = 0; i < bandCount; ++i) {
        const EqBand& x = a.bands[std::size_t(i)];
        const EqBand& y = b.bands[std::size_t(i)];
        if (x.bandType != y.bandType)
            return false;
        if (eqTypeUsesFrequency(x.bandType) && x.bandFrequencyHz != y.bandFrequencyHz)
            return false;
        if (eqTypeUsesGain(x.bandType) && differs(x.bandGainDb, y.bandGainDb))
            return false;
        if (eqTypeUsesQ(x.bandType) && differs(x.bandQ, y.bandQ))
            return false;
    }
    return true;
}

QString eqImportTypeName(EqFilterType type) { return eqFilterTypeName(type).trimmed(); }

QString eqAdjustmentText(const EqAdjustment& a)
{
    const QString band = QString::number(a.band);
    const QString line = QString::number(a.line);
    switch (a.kind) {
    case EqAdjustment::FrequencyLimited:
        return tr("band %1: frequency %2 Hz limited to %3 Hz").arg(band, plainNumber(a.from), plainNumber(a.to));
    case EqAdjustment::FrequencyRounded:
        return tr("band %1: frequency %2 Hz rounded to %3 Hz").arg(band, plainNumber(a.from), plainNumber(a.to));
    case EqAdjustment::GainLimited:
        return tr("band %1: gain %2 dB limited to %3 dB").arg(band, signedDb(a.from), signedDb(a.to));
    case EqAdjustment::GainRounded:
        return tr("band %1: gain %2 dB rounded to %3 dB").arg(band, plainNumber(a.from), signedDb(a.to));
    case EqAdjustment::QLimited:
        return tr("band %1: Q %2 limited to %3").arg(band, plainNumber(a.from), plainNumber(a.to));
    case EqAdjustment::QCut:
        return tr("band %1: Q %2 cut to %3").arg(band, plainNumber(a.from), QString::number(a.to, 'f', 1));
    case EqAdjustment::SlopeToQ:
        return tr("band %1: slope %2 dB per octave taken as Q %3")
            .arg(band, plainNumber(a.from), QString::number(a.to, 'f', 1));
    case EqAdjustment::BandwidthToQ:
        return tr("band %1: bandwidth %2 octaves taken as Q %3")
            .arg(band, plainNumber(a.from), QString::number(a.to, 'f', 1));
    case EqAdjustment::DefaultQ:
        return tr("band %1: no Q given, Q %2 taken").arg(band, QString::number(a.to, 'f', 1));
    case EqAdjustment::NotImported:
        return tr("line %1: the filter type %2 has no counterpart in the amplifier and is not imported")
            .arg(line, a.word);
    case EqAdjustment::LeftOut:
        return tr("line %1: the amplifier has %2 bands; this %3 filter is not imported")
            .arg(line)
            .arg(bandCount)
            .arg(a.word);
    case EqAdjustment::Preamp:
        return tr("line %1: the preamp of %2 dB is not applied").arg(line, signedDb(a.from));
    case EqAdjustment::IgnoredCommand:
        return tr("line %1: \"%2:\" is not imported").arg(line, a.word);
    case EqAdjustment::EqBypassOn:
        return tr("EQ Bypass is on for this channel: the bands are not heard until it is turned off");
    }
    return {};
}

// ---- What the mapping cost ----

std::optional<double> eqFileFilterResponseDb(const EqFileFilter& filter, double f)
{
    if (!filter.isActive() || !filter.frequencyHz || *filter.frequencyHz <= 0 || f <= 0)
        return std::nullopt;
    const QString& c = filter.code;
    const double fc = *filter.frequencyHz;
    const double gain = filter.gainDb.value_or(0);
    const std::optional<double> q = fileQ(filter);
    const double w2 = (f / fc) * (f / fc);
    if (c == u"PK" || c == u"PEQ")
        return eqBandResponseDb(EqType::peaking, f, fc, gain, *q);
    if (isShelfCode(c)) {
        const bool low = c.startsWith(u'L');
        if (filter.slopeDb && *filter.slopeDb == 6.0) {
            const double a2 = amplitude(gain) * amplitude(gain);
            const double ratio = low ? a2 * (w2 + a2) / (a2 * w2 + 1.0) : a2 * (a2 * w2 + 1.0) / (w2 + a2);
            return 10.0 * std::log10(ratio);
        }
        return eqBandResponseDb(low ? EqType::lowShelf : EqType::highShelf, f, fc, gain, *q);
    }
    if (c == u"LP" || c == u"LPQ")
        return filter.q ? eqBandResponseDb(EqType::generalLow, f, fc, 0, *filter.q)
                        : eqBandResponseDb(EqType::butterworthLow, f, fc, 0, 0);
    if (c == u"HP" || c == u"HPQ")
        return filter.q ? eqBandResponseDb(EqType::generalHigh, f, fc, 0, *filter.q)
                        : eqBandResponseDb(EqType::butterworthHigh, f, fc, 0, 0);
    if (c == u"AP")
        return 0.0;
    if (c == u"LP1")
        return -10.0 * std::log10(1.0 + w2);
    if (c == u"HP1")
        return -10.0 * std::log10(1.0 + 1.0 / w2);
    if ((c == u"NO" || c == u"BP") && filter.q) {
        const double edge = (1.0 - w2) * (1.0 - w2);
        const double damping = w2 / (*filter.q * *filter.q);
        // At the very centre a notch is silence: held at -120 dB.
        const double ratio = (c == u"NO" ? edge : damping) / (edge + damping);
        return 10.0 * std::log10(std::max(ratio, 1e-12));
    }
    return std::nullopt;
}

EqCurveDifference compareWithFile(const EqFileText& text, std::span<const EqBandSetting> drawn, int width)
{
    EqCurveDifference result;
    ResponseCurves curves(width);
    std::vector<double> imported;
    curves.eqCurveDb(drawn, false, imported);
    const std::span<const double> frequencies = curves.columnFrequencies();
    // The file's curve from the filters whose response is known and finite
    // at every column: a gain of thousands of dB overflows the maths, and
    // such a filter is left out and counted rather than making the whole
    // comparison infinite.
    std::vector<double> file(frequencies.size(), 0.0);
    std::vector<double> one(frequencies.size());
    for (const EqFileFilter& filter : text.filters) {
        if (!filter.isActive())
            continue;
        bool known = true;
        for (std::size_t i = 0; i < frequencies.size() && known; ++i) {
            const std::optional<double> db = eqFileFilterResponseDb(filter, frequencies[i]);
            known = db && std::isfinite(*db);
            one[i] = db.value_or(0.0);
        }
        if (!known) {
            ++result.filtersNotCompared;
            continue;
        }
        for (std::size_t i = 0; i < frequencies.size(); ++i)
            file[i] += one[i];
    }
    for (std::size_t i = 0; i < frequencies.size(); ++i) {
        const double difference = std::abs(file[i] - imported[i]);
        if (difference > result.largestDb) {
            result.largestDb = difference;
            result.atFrequencyHz = frequencies[i];
        }
    }
    return result;
}

std::array<EqBandSetting, bandCount> eqBandSettingsOf(const ChannelParameters& channel)
{
    std::array<EqBandSetting, bandCount> settings{};
    for (int b = 0; b < bandCount; ++b) {
        const EqBand& band = channel.bands[std::size_t(b)];
        settings[std::size_t(b)] = {static_cast<int>(band.bandType), double(band.bandFrequencyHz), band.bandGainDb,
                                    band.bandQ};
    }
    return settings;
}

QString eqCurveDifferenceText(const EqCurveDifference& d)
{
    QString text = tr("The curve differs from the file's filters by at most %1 dB (at %2 Hz).")
                       .arg(QString::number(d.largestDb, 'f', 2))
                       .arg(std::lround(d.atFrequencyHz));
    if (d.largestDb < 0.005)
        text = tr("The curve matches the file's filters.");
    if (d.filtersNotCompared > 0)
        text += QLatin1Char(' ')
                + QCoreApplication::translate("EqFile", "%n filter(s) of unknown response are left out of the comparison.",
                                              nullptr, d.filtersNotCompared);
    return text;
}
