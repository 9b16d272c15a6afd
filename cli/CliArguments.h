#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// vx4ctl's command line, parsed and validated completely before any port is
// opened, so that a usage error never puts a byte on the wire.
namespace Cli {

enum ExitCode : int {
    exitSuccess = 0,
    exitNoAnswer = 1,
    exitUsage = 2,
    exitSerialError = 3,
    exitListFileError = 4, // the device list file cannot be read or written
    exitFileError = exitListFileError, // a preset file cannot be read or written
    exitDiffers = 5,   // show diff: an amplifier differs from the show
};

// One editor command of `set`, its values already checked for form.
struct SetRequest {
    QString parameter; // "volume", "hpfreq", ...
    int channel = 0;   // 1..4, 0 for whole-amplifier parameters
    int band = 0;      // 1..15 for the EQ band parameters
    QStringList values;
};

struct Invocation {
    // --port: a port number of the port list, or a device path.
    std::optional<int> portNumber;
    QString portPath;
    std::optional<int> baudRate;
    std::optional<int> gainTop;
    bool json = false;
    bool trace = false;
    bool help = false;
    bool version = false;

    QString command; // "ports", "detect", "search", "status", "address", "set", "read", "monitor", "preset", "slot", "copy", "show"
    // preset: "save" or "load"; slot: "name", "store", "recall" or "clear".
    QString action;
    QString presetPath;   // preset: the preset file
    bool toAll = false;   // preset load --all: the file goes to every amplifier
    int slot = 0;         // slot: 1..16
    QString slotName;     // slot store
    int address = 0;
    // status and show: the amplifiers to poll or read; empty for every row of
    // the device list (show: of the show). show new: the amplifiers to make.
    QList<int> addresses;
    // search and status: the device list file; empty for the program's own.
    QString listPath;
    // status: how long to go on taking reports after the poll; none when unset.
    std::optional<int> listenMs;
    int newAddress = 0;
    SetRequest set;
    // copy: the channel copied (1..4), the channels it goes to, and the parts
    // taken along ("eq", "crossover", "limiter", "levels"; all when unset).
    int copyFrom = 0;
    QList<int> copyTo;
    QStringList copyParts;
    // show: the show file; new: the amplifiers' model; send: replay the
    // stored replies instead of the differences.
    QString showPath;
    int showChannels = 4;
    bool full = false;
    std::optional<int> count; // monitor: replies to wait for; forever when unset
    int intervalMs = 1000;

    bool hasPort() const { return portNumber.has_value() || !portPath.isEmpty(); }
};

struct ParseResult {
    Invocation invocation;
    QString error; // one line; empty when the command line is usable
    bool ok() const { return error.isEmpty(); }
};

// `arguments` without the program name.
ParseResult parseArguments(const QStringList& arguments);

QString usageText();

// "A".."D" or "1".."4"; 0 for anything else.
int channelFromText(const QString& text);

} // namespace Cli
