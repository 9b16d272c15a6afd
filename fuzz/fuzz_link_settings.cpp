// The settings text of a port. The first byte picks how the rest becomes
// text (UTF-8, or raw UTF-16 units).
#include "FuzzSupport.h"

#include "serial/LinkSettings.h"

#include <limits>

namespace {

// What the text must be: ASCII digits with a value of 1 .. 2^31 - 1, then ",n,8,1".
std::optional<qint32> expected(const QString& text)
{
    const QString suffix = QStringLiteral(",n,8,1");
    if (!text.endsWith(suffix) || text.size() == suffix.size())
        return std::nullopt;
    qint64 value = 0;
    for (qsizetype i = 0; i < text.size() - suffix.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < '0' || u > '9')
            return std::nullopt;
        value = std::min<qint64>(value * 10 + (u - '0'), qint64{1} << 40);
    }
    if (value < 1 || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::Input input(data, size);
    const bool utf16 = input.takeByte() & 1;
    const QString text = Fuzz::text(input.rest(), utf16);

    const auto settings = LinkSettings::parse(text);
    const auto wanted = expected(text);
    FUZZ_CHECK(settings.has_value() == wanted.has_value());
    if (!settings)
        return 0;
    FUZZ_CHECK(settings->baudRate() == *wanted);
    FUZZ_CHECK(settings->baudRate() > 0);
    // The text of the parsed settings reads back the same.
    const auto again = LinkSettings::parse(settings->text());
    FUZZ_CHECK(again && *again == *settings);
    return 0;
}
