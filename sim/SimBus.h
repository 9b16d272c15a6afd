#pragma once

#include "sim/SimAmplifier.h"
#include "sim/SimFrameReader.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// Bytes one transmitter puts on the line, from startMs on, each byte taking
// byteMs (10 bits at the bus baud rate). With the wire time modelled a byte
// becomes readable when its last bit has arrived; otherwise the whole answer
// is readable at startMs.
struct SimTransmission {
    qint64 startMs = 0;
    double byteMs = 0;
    bool wireDelay = false;
    QByteArray bytes;
    int source = -1; // address of the amplifier that sent it, -1 for line noise
    qsizetype taken = 0;

    qint64 dueMs(qsizetype index) const;
    double endMs() const { return static_cast<double>(startMs) + static_cast<double>(bytes.size()) * byteMs; }
};

// Several amplifiers on one half-duplex line. The PC's bytes reach every
// amplifier; their answers are queued on the line with their due times.
//
// The amplifiers answer only when the PC's line speed equals the bus baud
// rate. At any other speed a UART sees framing errors only, so every
// amplifier stays silent and drops what it had of a frame.
//
// Collisions: when two transmissions overlap on the line, the one that
// started later wins (on equal starts, the one queued later, which for a
// broadcast is the amplifier added to the bus last). The other is cut off at
// the winner's first byte: the bytes it completed before stay, the rest is
// lost. So a probe to address 0 on a bus of several amplifiers yields one
// clean answer and the truncated heads of the ones it overran, if any.
// Successive answers of one amplifier never collide: it sends one after the
// other.
class SimBus : public QObject {
    Q_OBJECT

public:
    explicit SimBus(int baudRate = 19200, QObject* parent = nullptr);
    ~SimBus() override;

    SimAmplifier& addAmplifier(std::uint8_t address, int channelCount = 4, int gainTop = 41);
    const std::vector<std::unique_ptr<SimAmplifier>>& amplifiers() const { return amps; }
    // The first amplifier with that address, or nullptr.
    SimAmplifier* amplifier(std::uint8_t address) const;

    int baudRate() const { return baud; }
    void setBaudRate(int baudRate) { baud = baudRate; }
    // Time from the last byte of a request to the first byte of its answer.
    int latencyMs() const { return latency; }
    void setLatencyMs(int ms) { latency = ms; }
    // Whether answers arrive byte by byte at the pace of the baud rate.
    bool wireTime() const { return wire; }
    void setWireTime(bool on) { wire = on; }
    double byteTimeMs() const { return 10000.0 / baud; }

    // The adapter that connects the PC to this bus; the links refuse to open
    // or write while it is unplugged.
    bool isPluggedIn() const { return plugged; }
    // Unplugging loses whatever was on its way to the PC.
    void setPluggedIn(bool on)
    {
        plugged = on;
        if (!on)
            line.clear();
    }
    // The link that has the port open (ports are exclusive), or nullptr.
    QObject* holder() const { return owner; }
    void setHolder(QObject* link) { owner = link; }

    // The PC wrote bytes at nowMs at lineBaud. Returns the answers they caused,
    // as queued after collisions with what was already on the line.
    QList<SimTransmission> write(const QByteArray& bytes, int lineBaud, qint64 nowMs);

    // Unsolicited transmissions, starting at atMs.
    void sendFaultReport(std::uint8_t address, std::uint8_t bits, qint64 atMs);
    void sendTemperatureProtectionReport(std::uint8_t address, qint64 atMs);
    void sendIgnoredReport(std::uint8_t address, qint64 atMs);
    void injectNoise(const QByteArray& bytes, qint64 atMs);

    // Removes and returns the bytes readable by nowMs, in line order.
    QByteArray takeDue(qint64 nowMs, qsizetype maxBytes = 1 << 30);
    qsizetype dueCount(qint64 nowMs) const;
    // When `count` unread bytes will be readable; nothing when fewer are coming.
    std::optional<qint64> timeWhenDue(qsizetype count) const;
    qsizetype pendingCount() const;
    void clearPending() { line.clear(); }
    const QList<SimTransmission>& pending() const { return line; }

Q_SIGNALS:
    // A well-formed frame the amplifiers heard (for logs).
    void frameHeard(const QByteArray& frame);
    // Something new was queued on the line.
    void transmissionQueued();

private:
    std::optional<SimTransmission> queue(SimTransmission t);
    QByteArray reportOf(std::uint8_t address, QByteArray (SimAmplifier::*build)() const) const;
    QByteArray garble(qsizetype size);

    std::vector<std::unique_ptr<SimAmplifier>> amps;
    QList<SimTransmission> line; // in line order, never overlapping
    SimFrameReader reader;
    int baud;
    int latency = 2;
    bool wire = false;
    bool plugged = true;
    QObject* owner = nullptr;
    std::uint32_t noiseState = 0x2545F491u;
};
