#pragma once

// Magnitude responses of the analog prototypes behind the EQ bands and the
// crossover filters, and the logarithmic frequency axis of both graphs.
// Filter types are taken as the list position (int) so that this maths does
// not depend on the enumerations with their display texts.

// EqFilterType positions the response distinguishes.
namespace EqType {
inline constexpr int byPass = 0;
inline constexpr int peaking = 1;
inline constexpr int lowShelf = 2;
inline constexpr int highShelf = 3;
inline constexpr int allPass = 4;
inline constexpr int generalLow = 5;
inline constexpr int generalHigh = 6;
inline constexpr int butterworthLow = 7;
inline constexpr int butterworthHigh = 8;
inline constexpr int besselLow = 9;
inline constexpr int besselHigh = 10;
inline constexpr int count = 11;
} // namespace EqType

// CrossoverFilterType positions.
namespace CrossoverType {
inline constexpr int bypass = 0;
inline constexpr int butterworth12 = 1;
inline constexpr int bessel12 = 2;
inline constexpr int linkwitzRiley12 = 3;
inline constexpr int butterworth24 = 4;
inline constexpr int bessel24 = 5;
inline constexpr int linkwitzRiley24 = 6;
inline constexpr int butterworth48 = 7;
inline constexpr int bessel48 = 8;
inline constexpr int linkwitzRiley48 = 9;
inline constexpr int count = 10;
} // namespace CrossoverType

inline constexpr int highPassSide = 0;
inline constexpr int lowPassSide = 1;

// The axis spans three decades from 10^1.3 (about 19.95 Hz, 1.3 standing for
// log10 20) to 10^4.3 (about 19953 Hz).
inline constexpr double axisStartLog10 = 1.3;
inline constexpr double axisDecades = 3.0;

// Gain in dB of one EQ band at f (Hz) with centre or corner f0 (Hz). Types
// outside 0..10, and a non-positive or non-finite f, f0 or (where the type
// uses it) q, give 0 dB rather than an infinity or NaN on the graph.
double eqBandResponseDb(int type, double f, double f0, double gainDb, double q);

// Gain in dB of a high-pass (side 0) or low-pass (side 1) crossover filter at
// f with corner fc. "Bypass", types outside 0..9, other sides and a
// non-positive or non-finite f or fc give 0 dB.
double crossoverResponseDb(int side, int type, double f, double fc);

// f = 10^(1.3 + 3 p / width) for the offset p (pixels from the left edge) of a
// plot `width` pixels wide; a non-positive width gives the left end.
double frequencyAtOffset(double p, double width);
// p = width (log10 f - 1.3) / 3; a non-positive f or width gives 0.
double offsetAtFrequency(double f, double width);
