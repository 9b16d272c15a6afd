#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>

// One simulated amplifier as the PC sees it from the line: it hears every
// frame, acts on those for its own address or for address 0, and answers the
// ones that have an answer. Parameter commands are never acknowledged.

struct SimEqBand {
    int frequencyHz = 1000;
    int gainCentiDb = 0; // dB x 100
    int qCenti = 140;    // Q x 100
    int type = 1;        // EQ filter type index (0 "ByPass" .. 10); travels as type + 1

    bool operator==(const SimEqBand&) const = default;
};

struct SimChannel {
    int volumeDb = -80;
    bool mute = false;
    bool invert = false;
    int gainDb = 23;
    int delayUs = 0;
    int inputType = 0;    // 0 Analog, 1 AES3, 2 AUTO
    int outputSource = 1; // 1..4 source a..d, 5 bridged
    int hpType = 0;       // crossover type index (0 "Bypass" .. 9); travels as type + 1
    int lpType = 0;
    int hpFrequencyHz = 20;
    int lpFrequencyHz = 20000;
    int limiterThreshold = 41;
    int attackMs = 5;
    int releaseMs = 200;
    bool eqBypass = false;
    std::array<SimEqBand, 15> bands;

    bool operator==(const SimChannel&) const = default;
};

// Everything a preset slot or a replayed full-state frame carries.
struct SimParameters {
    int powerState = 1; // 1 on, 2 standby
    bool knobLock = false;
    std::array<SimChannel, 4> channels;

    bool operator==(const SimParameters&) const = default;
};
// Live readings in hundredths (volts, amperes, degrees Celsius).
struct SimReadings {
    std::array<int, 4> voltage{1230, 1230, 1230, 1230};
    std::array<int, 4> current{150, 150, 150, 150};
    std::array<int, 4> temperature{3550, 3550, 3550, 3550};
    int supplyTemperature = 4000;
};

struct SimPresetSlot {
    QByteArray name = "Empty"; // at most 16 bytes, as the amplifier stores them
    std::optional<SimParameters> parameters;
};

class SimAmplifier {
public:
    static constexpr int slotCount = 16;
    static constexpr int maxNameBytes = 16;
    static constexpr int fullStateSize = 597;

    explicit SimAmplifier(std::uint8_t address, int channelCount = 4, int gainTop = 41);

    std::uint8_t address() const { return addr; }
    void setAddress(std::uint8_t address) { addr = address; }
    int channelCount() const { return channels; }
    int gainTop() const { return top; }

    SimParameters& parameters() { return params; }
    const SimParameters& parameters() const { return params; }
    SimReadings& readings() { return live; }
    const SimReadings& readings() const { return live; }

    // The factory defaults of this model.
    SimParameters defaultParameters() const;
    void factoryReset() { params = defaultParameters(); }

    // Flag bytes of the status and monitor replies; 0xFF means "nothing".
    std::uint8_t clipFlags = 0xFF;
    std::uint8_t limitingFlags = 0xFF;
    std::uint8_t protectionFlags = 0xFF; // low nibble faults, high nibble DC protection
    // Older firmware answers the status query with the 8-byte form (no flags).
    bool shortStatusReply = false;

    // Fault injection, applied by the bus.
    bool silent = false;         // hears and obeys, never answers
    bool answersGarbage = false; // every answer replaced by noise of its length
    int extraDelayMs = 0;        // on top of the bus latency

    const SimPresetSlot& presetSlot(int slot) const { return slotTable.at(static_cast<std::size_t>(slot - 1)); }

    // Whether a frame heard on the line is meant for this amplifier.
    bool isAddressedBy(const QByteArray& frame) const;
    // Acts on one complete, well-formed frame for this amplifier; returns its
    // answer, empty when the frame has none.
    QByteArray handleFrame(const QByteArray& frame);

    // Answers, as built from the current state.
    QByteArray probeAnswer() const;
    QByteArray statusReply() const;
    QByteArray monitorReply() const;
    QByteArray fullStateReply() const;
    QByteArray slotNameAnswer(int slot) const;
    // Unsolicited reports: fault bits (1 = fine; bits 0-3 faults, 4-7 DC
    // protection), temperature protection, and the report the PC ignores.
    QByteArray faultReport(std::uint8_t bits) const;
    QByteArray temperatureProtectionReport() const;
    QByteArray ignoredReport() const;

private:
    QByteArray shortCommand(const QByteArray& frame);
    void applyChannelCommand(int group, int channel, const QByteArray& frame);
    bool applyBandCommand(int group, int channel, const QByteArray& frame);
    QByteArray presetCommand(int group, const QByteArray& frame);
    void takeFullState(const QByteArray& frame);

    std::uint8_t addr;
    int channels;
    int top;
    SimParameters params;
    SimReadings live;
    std::array<SimPresetSlot, slotCount> slotTable;
};
