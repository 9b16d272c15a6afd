#include "response/ResponseCurve.h"

#include "response/CrossoverPrototype.h"
#include "response/ResponseMath.h"

#include <algorithm>
#include <cmath>

namespace {

bool isPositive(double x)
{
    return x > 0.0 && std::isfinite(x);
}

// Bands whose response is 0 dB at every frequency, which the curve skips.
bool isFlat(const EqBandSetting& band)
{
    switch (band.type) {
    case EqType::peaking:
    case EqType::lowShelf:
    case EqType::highShelf:
        return band.gainDb == 0.0;
    case EqType::generalLow:
    case EqType::generalHigh:
    case EqType::butterworthLow:
    case EqType::butterworthHigh:
    case EqType::besselLow:
    case EqType::besselHigh:
        return false;
    default: // "ByPass", "All Pass", unknown types
        return true;
    }
}

bool hasResponse(const EqBandSetting& band)
{
    if (isFlat(band) || !isPositive(band.frequencyHz))
        return false;
    const bool usesQ = band.type <= EqType::generalHigh;
    return !usesQ || isPositive(band.q);
}

// Each band's gain is 10 log10(num / den), num and den polynomials in
// x = w^2 = f^2 / f0^2; the high-pass forms are multiplied through by x^2.
// The bands' num and den multiply into one ratio per column.
template <typename Factors>
void multiplyBand(std::span<const double> fSquared, double inverseF0Squared, double* num, double* den, Factors factors)
{
    const std::size_t n = fSquared.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double x = fSquared[i] * inverseF0Squared;
        const auto [bandNum, bandDen] = factors(x);
        num[i] *= bandNum;
        den[i] *= bandDen;
    }
}

void multiplyBand(const EqBandSetting& band, std::span<const double> fSquared, double* num, double* den)
{
    struct Ratio {
        double num;
        double den;
    };
    const double k = 1.0 / (band.frequencyHz * band.frequencyHz);
    const double a = std::pow(10.0, band.gainDb / 40.0);
    const double q2 = band.q * band.q;
    switch (band.type) {
    case EqType::peaking: {
        const double up = a * a / q2;
        const double down = 1.0 / (a * a * q2);
        multiplyBand(fSquared, k, num, den, [=](double x) {
            const double t = (1.0 - x) * (1.0 - x);
            return Ratio{t + up * x, t + down * x};
        });
        break;
    }
    case EqType::lowShelf: {
        const double aOverQ2 = a / q2;
        const double inverseA = 1.0 / a;
        const double inverseAq2 = 1.0 / (a * q2);
        multiplyBand(fSquared, k, num, den, [=](double x) {
            return Ratio{(a - x) * (a - x) + aOverQ2 * x, (inverseA - x) * (inverseA - x) + inverseAq2 * x};
        });
        break;
    }
    case EqType::highShelf: {
        const double aOverQ2 = a / q2;
        const double inverseA = 1.0 / a;
        const double inverseAq2 = 1.0 / (a * q2);
        multiplyBand(fSquared, k, num, den, [=](double x) {
            const double up = 1.0 - a * x;
            const double down = 1.0 - inverseA * x;
            return Ratio{up * up + aOverQ2 * x, down * down + inverseAq2 * x};
        });
        break;
    }
    case EqType::generalLow:
    case EqType::generalHigh: {
        const double inverseQ2 = 1.0 / q2;
        const bool high = band.type == EqType::generalHigh;
        multiplyBand(fSquared, k, num, den, [=](double x) {
            return Ratio{high ? x * x : 1.0, (1.0 - x) * (1.0 - x) + inverseQ2 * x};
        });
        break;
    }
    case EqType::butterworthLow:
    case EqType::butterworthHigh: {
        const bool high = band.type == EqType::butterworthHigh;
        multiplyBand(fSquared, k, num, den, [=](double x) { return Ratio{high ? x * x : 1.0, 1.0 + x * x}; });
        break;
    }
    case EqType::besselLow:
    case EqType::besselHigh: {
        const bool high = band.type == EqType::besselHigh;
        multiplyBand(fSquared, k, num, den, [=](double x) { return Ratio{high ? x * x : 1.0, 1.0 + x + x * x}; });
        break;
    }
    default:
        break;
    }
}

// Products of fifteen bands stay far inside the double range for any
// frequency on the axis; outside it a column falls back to summing logs.
bool isUsable(double x)
{
    return x > 1e-290 && x < 1e290;
}

} // namespace

ResponseCurves::ResponseCurves(int width)
{
    setWidth(width);
}

void ResponseCurves::setWidth(int width)
{
    width = std::max(width, 0);
    if (width == this->width() && !frequencies.empty())
        return;
    frequencies.resize(std::size_t(width));
    frequenciesSquared.resize(std::size_t(width));
    inverseFrequencies.resize(std::size_t(width));
    for (int p = 0; p < width; ++p) {
        const double f = frequencyAtOffset(p, width);
        frequencies[std::size_t(p)] = f;
        frequenciesSquared[std::size_t(p)] = f * f;
        inverseFrequencies[std::size_t(p)] = 1.0 / f;
    }
}

void ResponseCurves::eqCurveDb(std::span<const EqBandSetting> bands, bool eqBypass, std::vector<double>& out)
{
    const std::size_t n = frequencies.size();
    out.assign(n, 0.0);
    if (eqBypass || std::none_of(bands.begin(), bands.end(), hasResponse))
        return;

    numerator.assign(n, 1.0);
    denominator.assign(n, 1.0);
    for (const EqBandSetting& band : bands) {
        if (hasResponse(band))
            multiplyBand(band, frequenciesSquared, numerator.data(), denominator.data());
    }
    bool allUsable = true;
    for (std::size_t i = 0; i < n; ++i) {
        allUsable = allUsable && isUsable(numerator[i]) && isUsable(denominator[i]);
        out[i] = 10.0 * std::log10(numerator[i] / denominator[i]);
    }
    if (!allUsable)
        recomputeColumnByColumn(bands, out);
}

void ResponseCurves::recomputeColumnByColumn(std::span<const EqBandSetting> bands, std::vector<double>& out) const
{
    for (std::size_t i = 0; i < frequencies.size(); ++i) {
        if (isUsable(numerator[i]) && isUsable(denominator[i]))
            continue;
        double sum = 0.0;
        for (const EqBandSetting& band : bands)
            sum += eqBandResponseDb(band.type, frequencies[i], band.frequencyHz, band.gainDb, band.q);
        out[i] = sum;
    }
}

void ResponseCurves::crossoverCurveDb(const CrossoverSetting& setting, std::vector<double>& out)
{
    const std::size_t n = frequencies.size();
    out.assign(n, 0.0);
    const CrossoverPrototype::Polynomial* hp = isPositive(setting.hpFrequencyHz)
        ? CrossoverPrototype::forType(highPassSide, setting.hpType)
        : nullptr;
    const CrossoverPrototype::Polynomial* lp = isPositive(setting.lpFrequencyHz)
        ? CrossoverPrototype::forType(lowPassSide, setting.lpType)
        : nullptr;
    if (!hp && !lp)
        return;

    const double inverseLpFc = lp ? 1.0 / setting.lpFrequencyHz : 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        // |P|^power of both filters in one product, one logarithm.
        double product = 1.0;
        if (hp) {
            const double m = CrossoverPrototype::magnitudeSquared(*hp, setting.hpFrequencyHz * inverseFrequencies[i]);
            product *= hp->power == 2 ? m * m : m;
        }
        if (lp) {
            const double m = CrossoverPrototype::magnitudeSquared(*lp, frequencies[i] * inverseLpFc);
            product *= lp->power == 2 ? m * m : m;
        }
        out[i] = isUsable(product)
            ? -10.0 * std::log10(product)
            : crossoverResponseDb(highPassSide, setting.hpType, frequencies[i], setting.hpFrequencyHz)
                + crossoverResponseDb(lowPassSide, setting.lpType, frequencies[i], setting.lpFrequencyHz);
    }
}

std::vector<double> eqCurveDb(std::span<const EqBandSetting> bands, bool eqBypass, int width)
{
    ResponseCurves curves(width);
    std::vector<double> out;
    curves.eqCurveDb(bands, eqBypass, out);
    return out;
}

std::vector<double> crossoverCurveDb(const CrossoverSetting& setting, int width)
{
    ResponseCurves curves(width);
    std::vector<double> out;
    curves.crossoverCurveDb(setting, out);
    return out;
}
