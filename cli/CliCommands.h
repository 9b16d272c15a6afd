#pragma once

#include "CliArguments.h"

#include "protocol/Commands.h"
#include "serial/SerialPorts.h"

#include <QByteArray>
#include <QList>
#include <QTextStream>

#include <functional>

class SerialLink;

namespace Cli {

// Baud rates tried when none is given, in the home page's order.
inline const QList<int> probeBaudRates{14400, 19200, 38400, 56000, 115200};
inline constexpr int probeWaitMs = 300;
// Wait for the answer to a slot's Query name (at most 23 bytes).
inline constexpr int slotNameWaitMs = 300;
// The full-state reply: 597 bytes on the wire.
inline constexpr int fullStateBytes = 597;

// Wait for a full-state reply at a baud rate: its bytes at 10 bits each plus
// a margin, never under 900 ms.
int fullStateWaitMs(int baudRate);

// The frame of one `set` command; gainTop is used by gain and threshold only.
// nullopt when gainTop is needed but unknown.
QByteArray setFrame(const SetRequest& request, DeviceAddress address, std::optional<int> gainTop);
bool setNeedsGainTop(const SetRequest& request);

// What the commands need from outside: the link, the ports to try and how a
// device path becomes a port number, where to write, and the device list
// file used when --list is not given.
struct Environment {
    SerialLink& link;
    QTextStream& out;
    QTextStream& err;
    std::function<QList<SSerInfo>()> listPorts;
    std::function<int(const QString&)> portNumberOfPath;
    std::function<QString(int)> pathOfPortNumber;
    std::function<QString()> defaultListPath;
};

// Cuts bytes that arrived unasked into frames: each starts with 0x55 and its
// second byte counts the bytes after the first two. Bytes before a 0x55 are
// line noise and dropped; a last frame may be cut short.
QList<QByteArray> splitFrames(const QByteArray& bytes);

// Runs a parsed invocation (help and version included); returns the exit code.
// Serial errors are reported on err and give exitSerialError.
int run(const Invocation& invocation, Environment& environment);

} // namespace Cli
