#pragma once

#include "protocol/AmpStatus.h"

#include <QByteArray>

#include <array>

// What a channel's load looks like from its voltage and current.
enum class LoadState {
    Reading,  // the current is shown as read
    Open,     // no current with a voltage, or far more than 60 ohms
    Overload, // less than an ohm
    Unknown,  // exactly 1 or 60 ohms and the like: the box keeps what it shows
};

// The live readings of a monitor reply, as numbers: signed hundredths of
// volts, amperes and degrees, and the flag bytes (0xFF: nothing flagged).
struct MonitorReadings {
    std::array<int, 4> voltageHundredths{};
    std::array<int, 4> currentHundredths{};
    std::array<LoadState, 4> load{};
    std::array<int, 4> temperatureHundredths{};
    int powerTemperatureHundredths = 0;
    int clipFlags = 0xFF;
    int limitingFlags = 0xFF;
    int protectionFlags = 0xFF;
};

struct MonitorDecode {
    // Byte 0 is 0x55 and byte 3 the monitor group: the amplifier answered
    // (the editor counts the link as alive).
    bool accepted = false;
    // The receive buffer is to be dropped.
    bool discardInput = false;
    // The reply carried every reading; a shorter one leaves the readings as
    // they were rather than showing bytes that never arrived.
    bool readingsComplete = false;
    MonitorReadings readings;
    // The status after this reply; `previous` where nothing in it speaks.
    AmpStatus status;
};

// Offsets of a monitor reply.
namespace MonitorLayout {
inline constexpr qsizetype group = 3;
inline constexpr qsizetype voltage = 6;
inline constexpr qsizetype current = 14;
inline constexpr qsizetype temperature = 22;
inline constexpr qsizetype powerTemperature = 30;
inline constexpr qsizetype clip = 32;
inline constexpr qsizetype temperatureLimit = 33;
inline constexpr qsizetype protection = 34;
inline constexpr qsizetype minimumSize = 35;
} // namespace MonitorLayout

// Decodes one read of the receive buffer. `previous` is the status shown
// now: a flag of protection keeps it unless its own bits say fault or DC
// protection, and a clean reply ends a standby and keeps anything else.
MonitorDecode decodeMonitorReply(const QByteArray& reply, const AmpStatus& previous);
