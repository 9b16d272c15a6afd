#include "sim/SimBus.h"

#include <cmath>

qint64 SimTransmission::dueMs(qsizetype index) const
{
    if (!wireDelay)
        return startMs;
    return startMs + static_cast<qint64>(std::ceil(static_cast<double>(index + 1) * byteMs - 1e-9));
}

SimBus::SimBus(int baudRate, QObject* parent) : QObject(parent), baud(baudRate) {}

SimBus::~SimBus() = default;

SimAmplifier& SimBus::addAmplifier(std::uint8_t address, int channelCount, int gainTop)
{
    amps.push_back(std::make_unique<SimAmplifier>(address, channelCount, gainTop));
    return *amps.back();
}

SimAmplifier* SimBus::amplifier(std::uint8_t address) const
{
    for (const auto& a : amps)
        if (a->address() == address)
            return a.get();
    return nullptr;
}

QList<SimTransmission> SimBus::write(const QByteArray& bytes, int lineBaud, qint64 nowMs)
{
    if (lineBaud != baud) {
        reader.clear();
        return {};
    }
    QList<SimTransmission> answers;
    for (const QByteArray& frame : reader.append(bytes, nowMs)) {
        Q_EMIT frameHeard(frame);
        for (const auto& amp : amps) {
            const std::uint8_t from = amp->address();
            QByteArray answer = amp->handleFrame(frame);
            if (answer.isEmpty() || amp->silent)
                continue;
            if (amp->answersGarbage)
                answer = garble(answer.size());
            SimTransmission t;
            t.startMs = nowMs + latency + amp->extraDelayMs;
            t.bytes = answer;
            t.source = from;
            if (auto queued = queue(t))
                answers.append(*queued);
        }
    }
    return answers;
}

QByteArray SimBus::reportOf(std::uint8_t address, QByteArray (SimAmplifier::*build)() const) const
{
    // A report may be injected for an address no amplifier has (a stray device).
    if (const SimAmplifier* amp = amplifier(address))
        return (amp->*build)();
    return (SimAmplifier(address).*build)();
}

void SimBus::sendFaultReport(std::uint8_t address, std::uint8_t bits, qint64 atMs)
{
    const SimAmplifier* amp = amplifier(address);
    SimTransmission t;
    t.startMs = atMs;
    t.bytes = amp ? amp->faultReport(bits) : SimAmplifier(address).faultReport(bits); // a stray device
    t.source = address;
    queue(t);
}

void SimBus::sendTemperatureProtectionReport(std::uint8_t address, qint64 atMs)
{
    SimTransmission t;
    t.startMs = atMs;
    t.bytes = reportOf(address, &SimAmplifier::temperatureProtectionReport);
    t.source = address;
    queue(t);
}

void SimBus::sendIgnoredReport(std::uint8_t address, qint64 atMs)
{
    SimTransmission t;
    t.startMs = atMs;
    t.bytes = reportOf(address, &SimAmplifier::ignoredReport);
    t.source = address;
    queue(t);
}

void SimBus::injectNoise(const QByteArray& bytes, qint64 atMs)
{
    SimTransmission t;
    t.startMs = atMs;
    t.bytes = bytes;
    queue(t);
}

std::optional<SimTransmission> SimBus::queue(SimTransmission t)
{
    t.byteMs = byteTimeMs();
    t.wireDelay = wire;
    if (t.bytes.isEmpty())
        return std::nullopt;
    if (t.source >= 0)
        for (const SimTransmission& p : line)
            if (p.source == t.source && p.endMs() > static_cast<double>(t.startMs))
                t.startMs = static_cast<qint64>(std::ceil(p.endMs()));

    for (SimTransmission& p : line) {
        if (t.bytes.isEmpty())
            break;
        const double ps = static_cast<double>(p.startMs);
        const double ts = static_cast<double>(t.startMs);
        if (p.endMs() <= ts || t.endMs() <= ps)
            continue;
        if (ts >= ps) {
            const auto done = static_cast<qsizetype>(std::floor((ts - ps) / p.byteMs));
            p.bytes.truncate(std::max(p.taken, done));
        } else {
            t.bytes.truncate(static_cast<qsizetype>(std::floor((ps - ts) / t.byteMs)));
        }
    }
    line.removeIf([](const SimTransmission& p) { return p.taken >= p.bytes.size(); });
    if (t.bytes.isEmpty())
        return std::nullopt;

    qsizetype at = 0;
    while (at < line.size() && line[at].startMs <= t.startMs)
        ++at;
    line.insert(at, t);
    Q_EMIT transmissionQueued();
    return t;
}

QByteArray SimBus::garble(qsizetype size)
{
    QByteArray noise;
    for (qsizetype i = 0; i < size; ++i) {
        noiseState ^= noiseState << 13;
        noiseState ^= noiseState >> 17;
        noiseState ^= noiseState << 5;
        noise.append(static_cast<char>(noiseState & 0xFF));
    }
    // Noise that happened to start like a frame would be no garbage to the PC.
    if (!noise.isEmpty() && static_cast<std::uint8_t>(noise[0]) == 0x55)
        noise[0] = static_cast<char>(0xAA);
    return noise;
}

QByteArray SimBus::takeDue(qint64 nowMs, qsizetype maxBytes)
{
    QByteArray out;
    for (SimTransmission& p : line) {
        while (p.taken < p.bytes.size() && out.size() < maxBytes && p.dueMs(p.taken) <= nowMs)
            out.append(p.bytes[p.taken++]);
        if (p.taken < p.bytes.size())
            break;
    }
    line.removeIf([](const SimTransmission& p) { return p.taken >= p.bytes.size(); });
    return out;
}

qsizetype SimBus::dueCount(qint64 nowMs) const
{
    qsizetype count = 0;
    for (const SimTransmission& p : line) {
        qsizetype i = p.taken;
        while (i < p.bytes.size() && p.dueMs(i) <= nowMs)
            ++i;
        count += i - p.taken;
        if (i < p.bytes.size())
            break;
    }
    return count;
}

std::optional<qint64> SimBus::timeWhenDue(qsizetype count) const
{
    if (count < 1)
        count = 1;
    qint64 latest = 0;
    for (const SimTransmission& p : line)
        for (qsizetype i = p.taken; i < p.bytes.size(); ++i) {
            latest = std::max(latest, p.dueMs(i));
            if (--count == 0)
                return latest;
        }
    return std::nullopt;
}

qsizetype SimBus::pendingCount() const
{
    qsizetype count = 0;
    for (const SimTransmission& p : line)
        count += p.bytes.size() - p.taken;
    return count;
}
