#include "protocol/MonitorReply.h"

#include "protocol/AmpParameters.h"
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

QString currentText(float volts, float amps, const QString& previous, bool chinese)
{
    const QString reading = QString::asprintf("%.2f", static_cast<double>(amps)) + u'A';
    if (volts == 0.0f)
        return reading;
    // A zero current with a voltage is an open load; testing it first spares
    // the division by zero.
    if (amps == 0.0f)
        return chinese ? QStringLiteral("开路") : QStringLiteral("open");
    const float ohms = volts / amps;
    if (ohms > 1.0f && ohms < 60.0f)
        return reading;
    if (ohms > 0.0f && ohms < 1.0f)
        return chinese ? QStringLiteral("短路") : QStringLiteral("overload");
    if (ohms > 60.0f)
        return chinese ? QStringLiteral("开路") : QStringLiteral("open");
    return previous;
}

QString temperatureText(int hundredths) { return QString::asprintf("%.2f", hundredths / 100.0) + QStringLiteral("℃"); }

QString statusText(const QByteArray& reply, const QString& previous, int uiLanguage)
{
    const bool chinese = uiLanguage == 0;
    const std::uint8_t protection = byteAt(reply, MonitorLayout::protection);
    if (protection != 0xFF) {
        QString text = previous;
        if ((protection & 0x0F) != 0x0F)
            text = QStringLiteral("fault");
        // DC protection wins when both are flagged.
        if ((protection & 0xF0) != 0xF0)
            text = chinese ? QStringLiteral("直流保护") : QStringLiteral("Dc protection");
        return text;
    }
    if (byteAt(reply, MonitorLayout::clip) != 0xFF)
        return QStringLiteral("clip");
    if (byteAt(reply, MonitorLayout::temperatureLimit) != 0xFF)
        return chinese ? QStringLiteral("温度压限") : QStringLiteral("TEMP pressure limit");
    // A clean reply ends a standby shown by the editor; "Standby" is matched
    // in both languages and the Chinese standby text as well, so that the
    // Chinese interface behaves as the English one.
    if (previous == QStringLiteral("Standby") || previous == standbyStatusText(uiLanguage))
        return normalStatusText(uiLanguage);
    return previous;
}

} // namespace

MonitorDecode decodeMonitorReply(const QByteArray& reply, const MonitorTexts& previous, int uiLanguage)
{
    MonitorDecode result;
    result.texts = previous;
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
    const bool chinese = uiLanguage == 0;
    MonitorTexts& texts = result.texts;
    for (int c = 0; c < 4; ++c) {
        const float volts = static_cast<float>(signedWordAt(reply, MonitorLayout::voltage + 2 * c)) / 100.0f;
        const float amps = static_cast<float>(signedWordAt(reply, MonitorLayout::current + 2 * c)) / 100.0f;
        texts.voltage[c] = QString::asprintf("%.2f", static_cast<double>(volts)) + u'V';
        texts.current[c] = currentText(volts, amps, previous.current[c], chinese);
        texts.temperature[c] = temperatureText(signedWordAt(reply, MonitorLayout::temperature + 2 * c));
    }
    texts.powerTemperature = temperatureText(signedWordAt(reply, MonitorLayout::powerTemperature));
    texts.status = statusText(reply, previous.status, uiLanguage);
    return result;
}
