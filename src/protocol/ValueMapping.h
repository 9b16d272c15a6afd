#pragma once

#include <QString>

// The editor's value rules: slider positions to values, the limiting of
// typed numbers, and the texts shown. Pure functions, total on any input.
namespace ValueMapping {

struct Range {
    int minimum = 0;
    int maximum = 0;

    constexpr bool contains(int value) const { return value >= minimum && value <= maximum; }
    constexpr int clamp(int value) const { return value < minimum ? minimum : (value > maximum ? maximum : value); }
    friend constexpr bool operator==(const Range&, const Range&) = default;
};

// ---- Reading typed text ----

// Decimal integer from the leading characters: blanks are skipped, an
// optional sign, then digits; anything else reads 0. Saturates at the int
// range instead of overflowing.
int leadingInteger(const QString& text);

// Decimal number from the leading characters (blanks, sign, digits, an
// optional point and fraction); anything else reads 0. Always finite.
double leadingDecimal(const QString& text);

// ---- The ranges of the values (each written here once) ----

inline constexpr Range volumeRange{-80, 6};
inline constexpr Range delayRange{0, 65000};
inline constexpr int gainRangeBelowTop = 18;           // gain: gainTop - 18 .. gainTop
inline constexpr Range thresholdBelowTop{-28, 2};      // threshold: gainTop - 28 .. gainTop + 2
inline constexpr Range limiterTimeRange{1, 10000};
inline constexpr Range eqGainRange{-18, 18};
inline constexpr Range frequencyRange{20, 20000};
inline constexpr double qMinimum = 0.1;
inline constexpr double qMaximum = 20.0;

// ---- Sliders (position p; the top of a vertical slider is its minimum) ----

inline constexpr int volumeStartPosition = 80;
int volumeFromPosition(int position);
int positionFromVolume(int db);

Range gainRange(int gainTop);         // gainTop - 18 .. gainTop, values and positions alike
int gainFromPosition(int position, int gainTop);
int positionFromGain(int db, int gainTop);

// Threshold values and slider positions; before the first full-state read
// the ranges are fixed and do not follow the default gainTop.
Range thresholdRange(int gainTop);    // gainTop - 28 .. gainTop + 2
inline constexpr Range thresholdRangeBeforeRead{11, 41};
inline constexpr int thresholdStartPosition = -41;
int thresholdFromPosition(int position);
int positionFromThreshold(int value);

// Attack and release share one mapping.
inline constexpr int limiterTimeStartPosition = 10000;
int limiterTimeFromPosition(int position);
int positionFromLimiterTime(int milliseconds);

// "%d" then "dB": the boxes under the volume and gain sliders.
QString decibelText(int db);
// "%d": the limiter boxes.
QString integerText(int value);

// ---- EQ wire values ----

// The Q arrows step in tenths: 1 .. 200.
inline constexpr Range qArrowRange{static_cast<int>(qMinimum * 10 + 0.5), static_cast<int>(qMaximum * 10 + 0.5)};

// Gain x 100 cut toward zero, as the 16-bit two's complement (0..65535).
int eqGainWire(double gainDb);
// Q limited to 0.1..20, times 100, cut.
int qWireFromBox(double q);
// Arrow position n (Q = n / 10) gives n x 10.
int qWireFromArrows(int position);
// Arrow position for a Q: int(Q x 10), within the arrow range.
int qArrowPosition(double q);

// ---- Edit boxes (read when they lose the focus) ----

struct BoxValue {
    int value = 0;
    QString text;           // what the box shows afterwards
    bool rewritten = false; // text differs from what was typed
};

// Whole number limited to `range`; the text is written back only when the
// number was outside it (delay, threshold, attack, release).
BoxValue limitIntegerBox(const QString& typed, Range range);
// Delay within delayRange: above becomes "65000", below "0".
BoxValue delayBox(const QString& typed);
// EQ gain -18..18 and EQ frequency 20..20000: always rewritten with "%d".
BoxValue eqGainBox(const QString& typed);
BoxValue eqFrequencyBox(const QString& typed);
// Crossover frequency: letters become capitals; a text ending in "K" is read
// as kilohertz and written back in hertz; the value is limited to 20..20000
// ("20" or "20000" written back when outside).
BoxValue crossoverFrequencyBox(const QString& typed);
BoxValue thresholdBox(const QString& typed, Range thresholdValueRange);
BoxValue limiterTimeBox(const QString& typed);

struct QBoxValue {
    double q = 1.4;
    QString text;           // "%.1f"
    bool rewritten = false;
    int arrowPosition = 14; // int(Q x 10)
    int wire = 140;         // int(Q x 100)
};
// Q limited to 0.1..20.
QBoxValue qBox(const QString& typed);

// ---- Band display ----

// "%d", or "20000" above 20000.
QString bandFrequencyText(int frequencyHz);
// "%0.1f" of the gain (after a band or channel change, or a drag).
QString bandGainText(double gainDb);
// "%d" of gain + 0.5 cut toward zero (after a full-state read).
QString bandGainTextAfterRead(double gainDb);
// "%.1f"
QString qText(double q);

} // namespace ValueMapping
