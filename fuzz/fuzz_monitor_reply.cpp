// The editor's monitor reply decoder on any receive buffer. The first byte
// picks the interface language and the previous status text; the rest is
// the buffer.
#include "FuzzSupport.h"

#include "protocol/AmpParameters.h"
#include "protocol/MonitorReply.h"

#include <QStringList>

namespace {

bool endsWithUnit(const QString& text, QStringView unit) { return text.endsWith(unit) && text.size() > unit.size(); }

// A reading of hundredths shown with two decimals: within a signed 16-bit
// word / 100.
bool readingInRange(const QString& text, QStringView unit)
{
    if (!endsWithUnit(text, unit))
        return false;
    bool ok = false;
    const double value = text.chopped(unit.size()).toDouble(&ok);
    return ok && value >= -327.68 && value <= 327.67;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::Input input(data, size);
    const std::uint8_t selector = input.takeByte();
    const int language = selector & 1;
    const QStringList previousStatuses{QStringLiteral(" "), QStringLiteral("Standby"), standbyStatusText(0),
                                       standbyStatusText(1), normalStatusText(language), QStringLiteral("fault")};
    MonitorTexts previous;
    previous.status = previousStatuses.at((selector >> 1) % previousStatuses.size());
    for (int c = 0; c < 4; ++c)
        previous.current[c] = QStringLiteral("prev%1").arg(c);
    const QByteArray reply = input.rest();

    const MonitorDecode decoded = decodeMonitorReply(reply, previous, language);

    const bool framed = !reply.isEmpty() && static_cast<std::uint8_t>(reply[0]) == 0x55;
    FUZZ_CHECK(decoded.discardInput == (!framed || decoded.accepted));
    FUZZ_CHECK(!decoded.readingsComplete || decoded.accepted);
    FUZZ_CHECK(decoded.readingsComplete == (decoded.accepted && reply.size() >= MonitorLayout::minimumSize));
    if (!decoded.readingsComplete) {
        // Nothing shown from bytes that never arrived.
        FUZZ_CHECK(decoded.texts.voltage == previous.voltage);
        FUZZ_CHECK(decoded.texts.current == previous.current);
        FUZZ_CHECK(decoded.texts.temperature == previous.temperature);
        FUZZ_CHECK(decoded.texts.status == previous.status);
        return 0;
    }
    const QStringList loadTexts{QStringLiteral("open"), QStringLiteral("overload"), QStringLiteral("开路"),
                                QStringLiteral("短路")};
    for (int c = 0; c < 4; ++c) {
        FUZZ_CHECK(readingInRange(decoded.texts.voltage[c], u"V"));
        FUZZ_CHECK(readingInRange(decoded.texts.temperature[c], u"℃"));
        const QString& current = decoded.texts.current[c];
        FUZZ_CHECK(readingInRange(current, u"A") || loadTexts.contains(current) || current == previous.current[c]);
    }
    FUZZ_CHECK(readingInRange(decoded.texts.powerTemperature, u"℃"));
    const QStringList statuses{QStringLiteral("fault"), QStringLiteral("直流保护"), QStringLiteral("Dc protection"),
                               QStringLiteral("clip"), QStringLiteral("温度压限"), QStringLiteral("TEMP pressure limit"),
                               normalStatusText(language)};
    FUZZ_CHECK(statuses.contains(decoded.texts.status) || decoded.texts.status == previous.status);
    return 0;
}
