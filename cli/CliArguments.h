#pragma once

#include <QDateTime>
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
    exitFileError = exitListFileError, // a preset, show or filter file cannot be read or written
    exitDiffers = 5,   // show diff and send: an amplifier differs from the show
    exitLogError = exitListFileError,  // log: the event log cannot be read
    exitNothingFound = exitNoAnswer,   // log: no event matches
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

    bool csv = false;

    QString command; // "ports", "detect", "search", "status", "address", "set", "read", "monitor", "preset", "slot", "copy", "show", "log", "eq"
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
    // search, status and log: the device list file; empty for the program's
    // own. The event log lies beside it.
    QString listPath;
    // status: how long to go on taking reports after the poll; none when unset.
    std::optional<int> listenMs;
    // status --watch: seconds between polls; --count then ends it after as
    // many polls.
    std::optional<int> watchSeconds;
    // log: the filter. TIME texts as given, read against the clock when the
    // command runs (see parseLogTime).
    QString since;
    QString until;
    std::optional<int> logAddress;
    QString kind; // a kind or its start ("state.fault"), or faults, connection, edits
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
    // eq: the channel (1..4), the filter file, whether the import only shows
    // its plan, and the form written ("rew" or "apo").
    int eqChannel = 0;
    QString eqPath;
    bool dryRun = false;
    QString eqFormat;
    std::optional<int> count; // monitor: replies to wait for; status --watch: polls; forever when unset
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

// A TIME of log: ISO 8601 local time to the minute, second or millisecond
// ("2026-12-09T21:13", "2026-12-09 21:13:05"), a date alone (its midnight),
// or a span before now: "-2h", "-30m", "-45s", "-7d". nullopt otherwise.
std::optional<QDateTime> parseLogTime(const QString& text, const QDateTime& now);

// "A".."D" or "1".."4"; 0 for anything else.
int channelFromText(const QString& text);

} // namespace Cli
