#pragma once

#include <QString>

class SimBus;

// The commands vx4-sim takes on its standard input, one a line, to stage
// faults while the program is demonstrated or tested. Returns the text to
// show: empty for a blank line, "ok" or what was asked for, or an error
// starting with "error:".
//
//   fault ADDR BITS          unsolicited fault report (bit = 1: fine)
//   temp ADDR                unsolicited temperature-protection report
//   ignored ADDR             the unsolicited report the PC ignores
//   flags ADDR CLIP LIMIT PROTECTION   status and monitor flag bytes
//   reading ADDR CH VOLTS AMPS DEGREES live readings of one channel (1-4)
//   silent|garbage ADDR on|off, delay ADDR MS   answering faults
//   list, help
QString runSimCommand(SimBus& bus, const QString& line, qint64 nowMs);
