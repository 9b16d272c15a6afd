#pragma once

#include <QString>

// The state an amplifier reports or the editor sets, as a value; its words
// in either language are made at the edge (app/StatusWords).
enum class AmpStatusKind {
    None, // nothing to show: a status box keeps its text
    Normal,
    Standby,
    NotConnected,
    Clip,
    TemperatureLimit,      // limiting for temperature
    TemperatureProtection, // the report of temperature protection
    Fault,                 // a fault bit of a reply
    FaultNumber,           // fault 1..4 of a report
    DcProtection,          // a DC protection bit of a reply
    DcProtectionNumber,    // DC protection 1..4 of a report
};

struct AmpStatus {
    AmpStatusKind kind = AmpStatusKind::None;
    int number = 0; // 1..4 for the numbered kinds

    friend bool operator==(const AmpStatus&, const AmpStatus&) = default;
};

// The status a power state stands for: 1 Normal, 2 Standby, None otherwise.
AmpStatus powerStatus(int powerState);

// A name of the status in no interface language, for scripts: "normal",
// "standby", "notConnected", "clip", "temperatureLimit",
// "temperatureProtection", "fault", "fault2", "dcProtection",
// "dcProtection4"; empty for None.
QString statusName(const AmpStatus& status);
