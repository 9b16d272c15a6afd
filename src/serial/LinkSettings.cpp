#include "serial/LinkSettings.h"

#include <limits>

namespace {
// The framing suffix: no parity, 8 data bits, 1 stop bit.
constexpr QStringView framing = u",n,8,1";
} // namespace

std::optional<LinkSettings> LinkSettings::parse(QStringView text)
{
    if (!text.endsWith(framing))
        return std::nullopt;
    const QStringView digits = text.chopped(framing.size());
    if (digits.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : digits) {
        // Only ASCII digits: QChar::isDigit() would also take other scripts.
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > std::numeric_limits<qint32>::max())
            return std::nullopt;
    }
    if (value == 0)
        return std::nullopt;
    return LinkSettings(static_cast<qint32>(value));
}

QString LinkSettings::textFor(qint32 baudRate)
{
    return QString::number(baudRate).append(framing);
}
