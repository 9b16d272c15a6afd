// The readers of typed numbers and the limiting of the editor's boxes. The
// first byte picks how the rest becomes text (UTF-8, or raw UTF-16 units);
// the next two bytes make the gain ceiling and a range for the plain
// integer box.
#include "FuzzSupport.h"

#include "protocol/ValueMapping.h"

#include <cmath>
#include <limits>

namespace VM = ValueMapping;

namespace {

// Leading blanks, a sign and digits, saturated at the int range.
int expectedInteger(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && QStringView(u" \t\n\v\f\r").contains(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<qint64>(value * 10 + (text[i].unicode() - '0'), qint64{1} << 40);
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// A box holds its value, and shows the typed text unless it was rewritten.
void checkBox(const VM::BoxValue& box, const QString& typed, VM::Range range)
{
    FUZZ_CHECK(range.contains(box.value));
    FUZZ_CHECK(box.rewritten == (box.text != typed));
    FUZZ_CHECK(VM::leadingInteger(box.text) == box.value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::Input input(data, size);
    const bool utf16 = input.takeByte() & 1;
    const int gainTop = static_cast<std::int8_t>(input.takeByte());
    const int rangeByte = static_cast<std::int8_t>(input.takeByte());
    const QString typed = Fuzz::text(input.rest(), utf16);

    const int integer = VM::leadingInteger(typed);
    FUZZ_CHECK(integer == expectedInteger(typed));
    const double decimal = VM::leadingDecimal(typed);
    FUZZ_CHECK(std::isfinite(decimal));
    // The decimal reader agrees with the integer one on the whole part (a
    // long fraction of nines may round up to the next whole number).
    if (std::abs(decimal) < 1e9)
        FUZZ_CHECK(std::abs(decimal - integer) <= 1.0);

    const VM::Range plain{std::min(rangeByte, rangeByte * 100), std::max(rangeByte, rangeByte * 100)};
    checkBox(VM::limitIntegerBox(typed, plain), typed, plain);
    checkBox(VM::delayBox(typed), typed, {0, 65000});
    checkBox(VM::eqGainBox(typed), typed, VM::eqGainRange);
    checkBox(VM::eqFrequencyBox(typed), typed, VM::frequencyRange);
    checkBox(VM::thresholdBox(typed, VM::thresholdRange(gainTop)), typed, VM::thresholdRange(gainTop));
    checkBox(VM::limiterTimeBox(typed), typed, VM::limiterTimeRange);

    const VM::BoxValue crossover = VM::crossoverFrequencyBox(typed);
    FUZZ_CHECK(VM::frequencyRange.contains(crossover.value));
    FUZZ_CHECK(crossover.rewritten == (crossover.text != typed));
    // Written back in hertz, or the typed text in capitals.
    FUZZ_CHECK(crossover.text == QString::number(crossover.value) || crossover.text == typed.toUpper());

    const VM::QBoxValue q = VM::qBox(typed);
    FUZZ_CHECK(q.q >= VM::qMinimum && q.q <= VM::qMaximum);
    FUZZ_CHECK(q.text == VM::qText(q.q) && q.rewritten == (q.text != typed));
    FUZZ_CHECK(VM::qArrowRange.contains(q.arrowPosition));
    FUZZ_CHECK(q.wire >= 10 && q.wire <= 2000);
    FUZZ_CHECK(q.wire == VM::qWireFromBox(q.q));

    // The wire value of a typed EQ gain keeps its sign within the 16 bits.
    const int wire = VM::eqGainWire(decimal);
    FUZZ_CHECK(wire >= 0 && wire <= 0xFFFF);
    const int signedWire = static_cast<std::int16_t>(static_cast<std::uint16_t>(wire));
    FUZZ_CHECK(signedWire == 0 || (signedWire < 0) == (decimal < 0));
    return 0;
}
