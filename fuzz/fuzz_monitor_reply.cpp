// The editor's monitor reply decoder, and the words made of its values, on
// any receive buffer. The first byte picks the interface language and the
// previous status; the rest is the buffer.
#include "FuzzSupport.h"

#include "app/StatusWords.h"
#include "protocol/MonitorReply.h"

#include <iterator>

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
    const AmpStatus previousStatuses[] = {{}, {AmpStatusKind::Standby}, {AmpStatusKind::Normal}, {AmpStatusKind::Fault},
                                          {AmpStatusKind::NotConnected}};
    const AmpStatus previousStatus = previousStatuses[(selector >> 1) % std::size(previousStatuses)];
    MonitorTexts previous;
    for (int c = 0; c < 4; ++c)
        previous.current[c] = QStringLiteral("prev%1").arg(c);
    const QByteArray reply = input.rest();

    const MonitorDecode decoded = decodeMonitorReply(reply, previousStatus);

    const bool framed = !reply.isEmpty() && static_cast<std::uint8_t>(reply[0]) == 0x55;
    FUZZ_CHECK(decoded.discardInput == (!framed || decoded.accepted));
    FUZZ_CHECK(!decoded.readingsComplete || decoded.accepted);
    FUZZ_CHECK(decoded.readingsComplete == (decoded.accepted && reply.size() >= MonitorLayout::minimumSize));
    if (!decoded.readingsComplete) {
        // Nothing judged from bytes that never arrived.
        FUZZ_CHECK(decoded.status == previousStatus);
        return 0;
    }
    const MonitorTexts texts = monitorTexts(decoded.readings, previous, language);
    const QStringList loadTexts{QStringLiteral("open"), QStringLiteral("overload"), QStringLiteral("开路"),
                                QStringLiteral("短路")};
    for (int c = 0; c < 4; ++c) {
        FUZZ_CHECK(readingInRange(texts.voltage[c], u"V"));
        FUZZ_CHECK(readingInRange(texts.temperature[c], u"℃"));
        const QString& current = texts.current[c];
        FUZZ_CHECK(readingInRange(current, u"A") || loadTexts.contains(current) || current == previous.current[c]);
    }
    FUZZ_CHECK(readingInRange(texts.powerTemperature, u"℃"));
    const AmpStatusKind kind = decoded.status.kind;
    FUZZ_CHECK(kind == AmpStatusKind::Fault || kind == AmpStatusKind::DcProtection || kind == AmpStatusKind::Clip
               || kind == AmpStatusKind::TemperatureLimit || kind == AmpStatusKind::Normal
               || decoded.status == previousStatus);
    FUZZ_CHECK(kind == AmpStatusKind::None || !statusWord(decoded.status, language).isEmpty());
    return 0;
}
