#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// The texts the editor shows from the live readings.
struct MonitorTexts {
    std::array<QString, 4> voltage;     // "12.30V"
    std::array<QString, 4> current;     // "1.00A", "overload"/"短路", "open"/"开路"
    std::array<QString, 4> temperature; // "40.00℃"
    QString powerTemperature;
    QString status;                     // the connection status box
};

struct MonitorDecode {
    // Byte 0 is 0x55 and byte 3 the monitor group: the amplifier answered
    // (the editor counts the link as alive).
    bool accepted = false;
    // The receive buffer is to be dropped.
    bool discardInput = false;
    // The reply carried every reading; a shorter one leaves the texts as
    // they were rather than showing bytes that never arrived.
    bool readingsComplete = false;
    MonitorTexts texts;
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

// Decodes one read of the receive buffer. `previous` is what the boxes show
// now: a current box whose load cannot be judged, and most status texts,
// keep their previous text. uiLanguage: 0 Chinese, 1 English.
MonitorDecode decodeMonitorReply(const QByteArray& reply, const MonitorTexts& previous, int uiLanguage);
