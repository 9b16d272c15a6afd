#include "protocol/ValueMapping.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace ValueMapping {

namespace {

bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\v' || u == '\f' || u == '\r';
}

bool isAsciiDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

// Index of the first character after leading blanks and an optional sign.
qsizetype skipBlanksAndSign(const QString& text, bool& negative)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    return i;
}

// A product that should be whole (Q 2.3 x 100) can land just below it in
// binary; cutting that would send 229. Allow a thousandth before cutting.
int cutToInt(double value)
{
    if (!std::isfinite(value))
        return 0;
    constexpr double tolerance = 1e-3;
    const double nudged = value + (value >= 0 ? tolerance : -tolerance);
    constexpr double limit = 1e9;
    return static_cast<int>(std::trunc(std::clamp(nudged, -limit, limit)));
}

double clampDouble(double value, double minimum, double maximum)
{
    if (std::isnan(value))
        return minimum;
    return std::clamp(value, minimum, maximum);
}

BoxValue rewrittenWith(const QString& typed, int value)
{
    BoxValue result{value, QString::number(value), false};
    result.rewritten = result.text != typed;
    return result;
}

} // namespace

int leadingInteger(const QString& text)
{
    bool negative = false;
    qsizetype i = skipBlanksAndSign(text, negative);
    constexpr std::int64_t cap = std::int64_t{std::numeric_limits<int>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i].unicode() - '0');
        if (magnitude > cap)
            magnitude = cap;
    }
    if (negative)
        return static_cast<int>(-magnitude);
    return static_cast<int>(std::min<std::int64_t>(magnitude, std::numeric_limits<int>::max()));
}

double leadingDecimal(const QString& text)
{
    bool negative = false;
    qsizetype i = skipBlanksAndSign(text, negative);
    // Beyond this the exact size no longer matters: every range is far smaller.
    constexpr double cap = 1e12;
    double whole = 0;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i)
        whole = std::min(cap, whole * 10 + (text[i].unicode() - '0'));
    double fraction = 0;
    double scale = 1;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        for (int digits = 0; i < text.size() && isAsciiDigit(text[i]); ++i, ++digits) {
            if (digits < 15) {
                fraction = fraction * 10 + (text[i].unicode() - '0');
                scale *= 10;
            }
        }
    }
    const double value = whole + fraction / scale;
    return negative ? -value : value;
}

int volumeFromPosition(int position) { return -position; }
int positionFromVolume(int db) { return -db; }

Range gainRange(int gainTop) { return {gainTop - gainRangeBelowTop, gainTop}; }
// The slider's positions are the values upside down within the range.
int gainFromPosition(int position, int gainTop) { return 2 * gainTop - gainRangeBelowTop - position; }
int positionFromGain(int db, int gainTop) { return 2 * gainTop - gainRangeBelowTop - db; }

Range thresholdRange(int gainTop) { return {gainTop + thresholdBelowTop.minimum, gainTop + thresholdBelowTop.maximum}; }
int thresholdFromPosition(int position) { return -position; }
int positionFromThreshold(int value) { return -value; }

int limiterTimeFromPosition(int position) { return 10001 - position; }
int positionFromLimiterTime(int milliseconds) { return 10001 - milliseconds; }

QString decibelText(int db) { return QString::number(db) + QStringLiteral("dB"); }
QString integerText(int value) { return QString::number(value); }

int eqGainWire(double gainDb)
{
    // The 16-bit field cannot carry more than +-327.67 dB; clamp so that an
    // absurd input cannot wrap round to the opposite sign.
    const int hundredths = std::clamp(cutToInt(gainDb * 100.0), -32768, 32767);
    return hundredths & 0xFFFF;
}

int qWireFromBox(double q) { return cutToInt(clampDouble(q, qMinimum, qMaximum) * 100.0); }

int qWireFromArrows(int position) { return position * 10; }

int qArrowPosition(double q) { return qArrowRange.clamp(cutToInt(clampDouble(q, 0, qMaximum) * 10.0)); }

BoxValue limitIntegerBox(const QString& typed, Range range)
{
    const int read = leadingInteger(typed);
    if (range.contains(read))
        return {read, typed, false};
    return rewrittenWith(typed, range.clamp(read));
}

BoxValue delayBox(const QString& typed) { return limitIntegerBox(typed, delayRange); }

BoxValue eqGainBox(const QString& typed) { return rewrittenWith(typed, eqGainRange.clamp(leadingInteger(typed))); }

BoxValue eqFrequencyBox(const QString& typed)
{
    return rewrittenWith(typed, frequencyRange.clamp(leadingInteger(typed)));
}

BoxValue crossoverFrequencyBox(const QString& typed)
{
    const QString capitals = typed.toUpper();
    if (capitals.endsWith(u'K')) {
        const double hz = leadingDecimal(capitals) * 1000.0;
        return rewrittenWith(typed, frequencyRange.clamp(cutToInt(hz)));
    }
    const int read = leadingInteger(capitals);
    if (!frequencyRange.contains(read))
        return rewrittenWith(typed, frequencyRange.clamp(read));
    return {read, capitals, capitals != typed};
}

BoxValue thresholdBox(const QString& typed, Range thresholdValueRange)
{
    return limitIntegerBox(typed, thresholdValueRange);
}

BoxValue limiterTimeBox(const QString& typed) { return limitIntegerBox(typed, limiterTimeRange); }

QBoxValue qBox(const QString& typed)
{
    QBoxValue result;
    result.q = clampDouble(leadingDecimal(typed), qMinimum, qMaximum);
    result.text = qText(result.q);
    result.rewritten = result.text != typed;
    result.arrowPosition = qArrowPosition(result.q);
    result.wire = qWireFromBox(result.q);
    return result;
}

QString bandFrequencyText(int frequencyHz) { return QString::number(std::min(frequencyHz, frequencyRange.maximum)); }

QString bandGainText(double gainDb) { return QString::asprintf("%0.1f", gainDb); }

QString bandGainTextAfterRead(double gainDb)
{
    const double shifted = clampDouble(gainDb + 0.5, -1e9, 1e9);
    return QString::number(static_cast<int>(std::trunc(shifted)));
}

QString qText(double q) { return QString::asprintf("%.1f", q); }

} // namespace ValueMapping
