#include "sim/SimConsole.h"

#include "sim/SimBus.h"

#include <QStringList>
#include <cmath>

namespace {

const char* const helpText =
    "fault ADDR BITS | temp ADDR | ignored ADDR | flags ADDR CLIP LIMIT PROTECTION |"
    " reading ADDR CH VOLTS AMPS DEGREES | silent ADDR on|off | garbage ADDR on|off |"
    " delay ADDR MS | list";

// Decimal or 0x-prefixed hexadecimal.
std::optional<int> number(const QString& text, int low, int high)
{
    bool ok = false;
    const int v = text.toInt(&ok, 0);
    if (!ok || v < low || v > high)
        return std::nullopt;
    return v;
}

std::optional<int> hundredths(const QString& text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || std::abs(v) > 327.67)
        return std::nullopt;
    return static_cast<int>(std::lround(v * 100));
}

QString usage() { return QStringLiteral("error: usage: %1").arg(QLatin1String(helpText)); }

} // namespace

QString runSimCommand(SimBus& bus, const QString& line, qint64 nowMs)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    const QString verb = words[0].toLower();
    if (verb == QLatin1String("help"))
        return QLatin1String(helpText);
    if (verb == QLatin1String("list")) {
        QStringList rows;
        for (const auto& amp : bus.amplifiers())
            rows << QStringLiteral("%1: %2 channels, gainTop %3, %4").arg(amp->address()).arg(amp->channelCount())
                        .arg(amp->gainTop())
                        .arg(amp->parameters().powerState == 1 ? QStringLiteral("on") : QStringLiteral("standby"));
        return rows.join(QLatin1Char('\n'));
    }
    if (words.size() < 2)
        return usage();
    const auto address = number(words[1], 0, 255);
    if (!address)
        return QStringLiteral("error: bad address %1").arg(words[1]);
    const auto a = static_cast<std::uint8_t>(*address);
    const qsizetype argc = words.size() - 2;

    if (verb == QLatin1String("temp") && argc == 0) {
        bus.sendTemperatureProtectionReport(a, nowMs);
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("ignored") && argc == 0) {
        bus.sendIgnoredReport(a, nowMs);
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("fault") && argc == 1) {
        const auto bits = number(words[2], 0, 255);
        if (!bits)
            return usage();
        bus.sendFaultReport(a, static_cast<std::uint8_t>(*bits), nowMs);
        return QStringLiteral("ok");
    }

    SimAmplifier* amp = bus.amplifier(a);
    if (!amp)
        return QStringLiteral("error: no amplifier at %1").arg(*address);
    if ((verb == QLatin1String("silent") || verb == QLatin1String("garbage")) && argc == 1) {
        const QString state = words[2].toLower();
        if (state != QLatin1String("on") && state != QLatin1String("off"))
            return usage();
        (verb == QLatin1String("silent") ? amp->silent : amp->answersGarbage) = state == QLatin1String("on");
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("delay") && argc == 1) {
        const auto ms = number(words[2], 0, 60000);
        if (!ms)
            return usage();
        amp->extraDelayMs = *ms;
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("flags") && argc == 3) {
        std::array<std::uint8_t*, 3> targets{&amp->clipFlags, &amp->limitingFlags, &amp->protectionFlags};
        std::array<int, 3> values{};
        for (int i = 0; i < 3; ++i) {
            const auto v = number(words[2 + i], 0, 255);
            if (!v)
                return usage();
            values[static_cast<std::size_t>(i)] = *v;
        }
        for (int i = 0; i < 3; ++i)
            *targets[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(values[static_cast<std::size_t>(i)]);
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("reading") && argc == 4) {
        const auto channel = number(words[2], 1, 4);
        const auto volts = hundredths(words[3]);
        const auto amps = hundredths(words[4]);
        const auto degrees = hundredths(words[5]);
        if (!channel || !volts || !amps || !degrees)
            return usage();
        const auto c = static_cast<std::size_t>(*channel - 1);
        amp->readings().voltage[c] = *volts;
        amp->readings().current[c] = *amps;
        amp->readings().temperature[c] = *degrees;
        return QStringLiteral("ok");
    }
    return usage();
}
