#pragma once

#include "protocol/AmpParameters.h"
#include "protocol/ParameterTable.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// A show file (*.vx4show): a whole bus prepared, received or compared as one
// file. UTF-8 JSON, readable and diffable: the bus's baud rate, the device
// list in table order, and per amplifier its model, every parameter by its
// key (list positions also by name), the full-state reply it came from (hex)
// and when it was received.
namespace ShowFile {

inline constexpr int format = 1;
inline constexpr const char* suffix = "vx4show";
// A show of 254 amplifiers is a few megabytes; anything far larger is no show.
inline constexpr qsizetype largestFileBytes = 32 * 1024 * 1024;

struct Device {
    QString address; // as the device list has it
    QString name;
    friend bool operator==(const Device&, const Device&) = default;
};

struct Amplifier {
    int address = 0;
    AmpParameters parameters; // channelCount and gainTop included
    QByteArray reply;         // the full-state reply the parameters came from
    QDateTime receivedAt;     // UTC; invalid for one made offline
};

struct Show {
    int baud = 19200;
    QList<Device> devices;
    QList<Amplifier> amplifiers; // by address, each once

    Amplifier* amplifier(int address);
    const Amplifier* amplifier(int address) const;
    // Puts an amplifier in, replacing the one of its address.
    void put(Amplifier amplifier);
};

// A value an amplifier and a show do not agree on.
struct Difference {
    ParameterPath path;
    std::optional<double> amplifier;
    std::optional<double> show;
};
// What differs between the amplifier's state and the show's, in the order of
// the parameter table.
QList<Difference> differences(const AmpParameters& amplifier, const AmpParameters& show);
// A value for people: a list's entry with its name ("3 Low Shelf"), a
// number with the parameter's decimals, "-" where it is not known.
QString valueText(const ParameterPath& path, const std::optional<double>& value);

// An amplifier as its full-state reply tells it.
Amplifier fromReply(int address, const QByteArray& reply, const QDateTime& receivedAt);

QByteArray encode(const Show& show);

struct Decoded {
    std::optional<Show> show;
    QString error; // names the field: "amplifiers[1].channels[2].volumeDb: 12 is outside -80..6"
};
// Refuses a newer format, values out of range, what is no JSON or cut off.
Decoded decode(const QByteArray& bytes);

// Read only when a regular file of sensible size; the error names the cause.
Decoded read(const QString& path);
// Atomically; the error text, empty on success.
QString write(const QString& path, const Show& show);

} // namespace ShowFile
