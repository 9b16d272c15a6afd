#pragma once

#include <QByteArray>
#include <QString>

class DeviceTable;

// The groups (byte 3) of what an amplifier sends by itself.
inline constexpr unsigned char faultReportGroup = 0x40;       // fault and DC protection bits
inline constexpr unsigned char temperatureReportGroup = 0x44; // temperature protection
inline constexpr qsizetype reportGroupOffset = 3;

// What the home page remembers between status replies and reports.
struct PollState {
    enum Mode { Refresh = 1, Search = 2 };
    int pollMode = Refresh;
    int refreshRow = 0;
    // Decimal text of the address in the last decoded frame; empty at first.
    QString lastReportedAddress;
};

// Decodes the answer to a StatusQuery into the table: in refresh mode into
// row state.refreshRow, in search mode into a new row. A reply too short for
// the bytes read counts as no reply. Returns true when the link's received
// bytes must be dropped afterwards (the reply was used).
bool decodeStatusReply(const QByteArray& reply, DeviceTable& table, PollState& state);

// Decodes what an amplifier sent by itself (fault, temperature-protection
// and ignored reports). Returns true when the link's received bytes must be
// dropped afterwards.
bool decodeHomeReport(const QByteArray& bytes, DeviceTable& table, PollState& state);
