#include "protocol/MonitorReply.h"

#include "protocol/Commands.h"
#include "protocol/ControlFrame.h"

#include <cstdint>

namespace {

std::uint8_t byteAt(const QByteArray& bytes, qsizetype offset) { return static_cast<std::uint8_t>(bytes[offset]); }

// Readings are signed 16-bit, high byte first, in hundredths.
int signedWordAt(const QByteArray& bytes, qsizetype offset)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((byteAt(bytes, offset) << 8) | byteAt(bytes, offset + 1)));
}

LoadState loadOf(float volts, float amps)
{
    if (volts == 0.0f)
        return LoadState::Reading;
    // A zero current with a voltage is an open load; testing it first spares
    // the division by zero.
    if (amps == 0.0f)
        return LoadState::Open;
    const float ohms = volts / amps;
    if (ohms > 1.0f && ohms < 60.0f)
        return LoadState::Reading;
    if (ohms > 0.0f && ohms < 1.0f)
        return LoadState::Overload;
    if (ohms > 60.0f)
        return LoadState::Open;
    return LoadState::Unknown;
}

AmpStatus statusOf(const MonitorReadings& r, const AmpStatus& previous)
{
    if (r.protectionFlags != 0xFF) {
        AmpStatus status = previous;
        if ((r.protectionFlags & 0x0F) != 0x0F)
            status = {AmpStatusKind::Fault};
        // DC protection wins when both are flagged.
        if ((r.protectionFlags & 0xF0) != 0xF0)
            status = {AmpStatusKind::DcProtection};
        return status;
    }
    if (r.clipFlags != 0xFF)
        return {AmpStatusKind::Clip};
    if (r.limitingFlags != 0xFF)
        return {AmpStatusKind::TemperatureLimit};
    // A clean reply ends a standby the editor shows.
    if (previous.kind == AmpStatusKind::Standby)
        return {AmpStatusKind::Normal};
    return previous;
}

} // namespace

MonitorDecode decodeMonitorReply(const QByteArray& reply, const AmpStatus& previous)
{
    MonitorDecode result;
    result.status = previous;
    if (reply.isEmpty() || byteAt(reply, 0) != ControlFrame::header) {
        result.discardInput = true;
        return result;
    }
    if (reply.size() <= MonitorLayout::group
        || byteAt(reply, MonitorLayout::group) != static_cast<std::uint8_t>(CommandGroup::MonitorPoll))
        return result;

    result.accepted = true;
    result.discardInput = true;
    if (reply.size() < MonitorLayout::minimumSize)
        return result;

    result.readingsComplete = true;
    MonitorReadings& r = result.readings;
    for (int c = 0; c < 4; ++c) {
        r.voltageHundredths[c] = signedWordAt(reply, MonitorLayout::voltage + 2 * c);
        r.currentHundredths[c] = signedWordAt(reply, MonitorLayout::current + 2 * c);
        r.load[c] = loadOf(static_cast<float>(r.voltageHundredths[c]) / 100.0f,
                           static_cast<float>(r.currentHundredths[c]) / 100.0f);
        r.temperatureHundredths[c] = signedWordAt(reply, MonitorLayout::temperature + 2 * c);
    }
    r.powerTemperatureHundredths = signedWordAt(reply, MonitorLayout::powerTemperature);
    r.clipFlags = byteAt(reply, MonitorLayout::clip);
    r.limitingFlags = byteAt(reply, MonitorLayout::temperatureLimit);
    r.protectionFlags = byteAt(reply, MonitorLayout::protection);
    result.status = statusOf(r, previous);
    return result;
}
