#pragma once

#include <array>
#include <cstddef>

// Denominator polynomials of the crossover prototypes, shared by the single
// response and the curve. The coefficients are the rounded ones the graphs
// have always used, not exact values.
namespace CrossoverPrototype {

struct Polynomial {
    int order = 0;
    // a[k] is the coefficient of s^k.
    std::array<double, 9> a{};
    // The response is -10 * power * log10 |P(jw)|^2: Linkwitz-Riley filters
    // are two cascaded Butterworth sections of half the order.
    int power = 1;
};

// The polynomial of a crossover type for the side: a low-pass is evaluated at
// w = f / fc, a high-pass (s^n / P(s)) at 1 / w with the coefficients reversed.
// Null for "Bypass", unknown types and sides.
const Polynomial* forType(int side, int type);

// |P(jx)|^2 = Re^2 + Im^2 with Re = a0 - a2 x^2 + a4 x^4 ..., Im = a1 x - a3 x^3 ...
inline double magnitudeSquared(const Polynomial& p, double x)
{
    const double x2 = x * x;
    auto signedCoefficient = [&p](int k) { return (k / 2) % 2 == 0 ? p.a[std::size_t(k)] : -p.a[std::size_t(k)]; };
    const int topEven = p.order - p.order % 2;
    const int topOdd = p.order % 2 ? p.order : p.order - 1;
    double re = 0.0;
    for (int k = topEven; k >= 0; k -= 2)
        re = re * x2 + signedCoefficient(k);
    double im = 0.0;
    for (int k = topOdd; k >= 1; k -= 2)
        im = im * x2 + signedCoefficient(k);
    im *= x;
    return re * re + im * im;
}

} // namespace CrossoverPrototype
