#include "response/ResponseMath.h"

#include "response/CrossoverPrototype.h"

#include <cmath>

namespace CrossoverPrototype {
namespace {

constexpr Polynomial reversed(Polynomial p)
{
    Polynomial r = p;
    for (int k = 0; k <= p.order; ++k)
        r.a[std::size_t(k)] = p.a[std::size_t(p.order - k)];
    return r;
}

constexpr Polynomial firstOrder{1, {1, 1}, 2};
constexpr Polynomial butterworth2{2, {1, 1.414, 1}};
constexpr Polynomial butterworth4{4, {1, 2.613, 3.414, 2.613, 1}};
constexpr Polynomial butterworth8{8, {1, 5.126, 13.14, 21.85, 25.69, 21.85, 13.14, 5.126, 1}};
constexpr Polynomial bessel2{2, {1, 1.732, 1}};
constexpr Polynomial bessel4{4, {1, 3.201, 4.392, 3.124, 1}};
constexpr Polynomial bessel8{8, {1, 6.143, 17.61, 30.9, 36.51, 29.9, 16.7, 5.861, 1}};

constexpr Polynomial squared(Polynomial p)
{
    p.power = 2;
    return p;
}

// The high-pass 48 dB Bessel has always been drawn with 17.6 for the
// coefficient of 1/w^6; kept so the curve looks as it always did.
constexpr Polynomial bessel8HighPass()
{
    Polynomial p = reversed(bessel8);
    p.a[6] = 17.6;
    return p;
}

// Indexed by CrossoverFilterType - 1.
constexpr std::array<Polynomial, 9> lowPass{
    butterworth2, bessel2, firstOrder,
    butterworth4, bessel4, squared(butterworth2),
    butterworth8, bessel8, squared(butterworth4),
};
constexpr std::array<Polynomial, 9> highPass{
    reversed(butterworth2), reversed(bessel2), reversed(firstOrder),
    reversed(butterworth4), reversed(bessel4), reversed(squared(butterworth2)),
    reversed(butterworth8), bessel8HighPass(), reversed(squared(butterworth4)),
};

} // namespace

const Polynomial* forType(int side, int type)
{
    if (type <= CrossoverType::bypass || type >= CrossoverType::count)
        return nullptr;
    if (side == lowPassSide)
        return &lowPass[std::size_t(type - 1)];
    if (side == highPassSide)
        return &highPass[std::size_t(type - 1)];
    return nullptr;
}

} // namespace CrossoverPrototype

namespace {

bool isPositive(double x)
{
    return x > 0.0 && std::isfinite(x);
}

bool usesQ(int type)
{
    return type == EqType::peaking || type == EqType::lowShelf || type == EqType::highShelf
        || type == EqType::generalLow || type == EqType::generalHigh;
}

double generalLowDb(double w, double q)
{
    const double t = 1.0 - w * w;
    return -10.0 * std::log10(t * t + w * w / (q * q));
}

double butterworthLowDb(double w)
{
    return 20.0 * std::log10(1.0 / std::sqrt(1.0 + std::pow(w, 4)));
}

} // namespace

double eqBandResponseDb(int type, double f, double f0, double gainDb, double q)
{
    if (type < 0 || type >= EqType::count || !isPositive(f) || !isPositive(f0))
        return 0.0;
    if (usesQ(type) && !isPositive(q))
        return 0.0;

    const double w = f / f0;
    const double w2 = w * w;
    const double a = std::pow(10.0, gainDb / 40.0);
    switch (type) {
    case EqType::peaking: {
        const double t = (1.0 - w2) * (1.0 - w2);
        const double up = a * w / q;
        const double down = w / (a * q);
        return 10.0 * std::log10((t + up * up) / (t + down * down));
    }
    case EqType::lowShelf: {
        const double wq2 = (w / q) * (w / q);
        return 10.0 * std::log10(((a - w2) * (a - w2) + a * wq2) / ((1.0 / a - w2) * (1.0 / a - w2) + wq2 / a));
    }
    case EqType::highShelf: {
        const double wq2 = (w / q) * (w / q);
        return 10.0
            * std::log10(((1.0 - a * w2) * (1.0 - a * w2) + a * wq2) / ((1.0 - w2 / a) * (1.0 - w2 / a) + wq2 / a));
    }
    case EqType::generalLow:
        return generalLowDb(w, q);
    case EqType::generalHigh:
        return generalLowDb(1.0 / w, q);
    case EqType::butterworthLow:
        return butterworthLowDb(w);
    case EqType::butterworthHigh:
        return butterworthLowDb(1.0 / w);
    case EqType::besselLow:
        return -10.0 * std::log10(1.0 + w2 + w2 * w2);
    case EqType::besselHigh:
        return -10.0 * std::log10(1.0 + 1.0 / w2 + 1.0 / (w2 * w2));
    default: // "ByPass", "All Pass"
        return 0.0;
    }
}

double crossoverResponseDb(int side, int type, double f, double fc)
{
    const CrossoverPrototype::Polynomial* p = CrossoverPrototype::forType(side, type);
    if (!p || !isPositive(f) || !isPositive(fc))
        return 0.0;
    const double x = side == lowPassSide ? f / fc : fc / f;
    return -10.0 * p->power * std::log10(CrossoverPrototype::magnitudeSquared(*p, x));
}

double frequencyAtOffset(double p, double width)
{
    if (!(width > 0.0))
        return std::pow(10.0, axisStartLog10);
    return std::pow(10.0, axisStartLog10 + axisDecades * p / width);
}

double offsetAtFrequency(double f, double width)
{
    if (!(f > 0.0) || !(width > 0.0))
        return 0.0;
    return width * (std::log10(f) - axisStartLog10) / axisDecades;
}
