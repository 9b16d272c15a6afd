// The port number in a display name of the port list. The first byte picks
// how the rest becomes text (UTF-8, or raw UTF-16 units).
#include "FuzzSupport.h"

#include "serial/SerialPorts.h"

#include <limits>

namespace {

// The rule written out on its own: the leading ASCII digits after the first
// "M" (from the start without one) and before the first ")".
int expected(const QString& name)
{
    const qsizetype m = name.indexOf(u'M');
    const qsizetype start = m < 0 ? 0 : m + 1;
    const qsizetype close = name.indexOf(u')');
    if (close < 0 || close < start)
        return 0;
    qint64 value = 0;
    for (qsizetype i = start; i < close; ++i) {
        const char16_t u = name[i].unicode();
        if (u < '0' || u > '9')
            break;
        value = value * 10 + (u - '0');
        if (value > std::numeric_limits<int>::max())
            return 0;
    }
    return static_cast<int>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::Input input(data, size);
    const bool utf16 = input.takeByte() & 1;
    const QString name = Fuzz::text(input.rest(), utf16);

    const int number = PortNumberFromName(name);
    FUZZ_CHECK(number >= 0);
    FUZZ_CHECK(number == expected(name));
    // The names the port list makes give their own number back.
    if (number > 0) {
        const QString listed = SerialPorts::displayNameFor(number, name, QStringLiteral("/dev/ttyUSB0"));
        FUZZ_CHECK(PortNumberFromName(listed) == number);
    }
    return 0;
}
