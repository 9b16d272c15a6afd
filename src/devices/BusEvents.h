#pragma once

#include "protocol/AmpStatus.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <optional>

class DeviceTable;
struct PollState;

// What the home page's table tells about the bus, as events: an amplifier
// that starts or stops answering, each change of its Equipment state, and
// the fault and temperature-protection reports it sends by itself. A row is
// known by its address, so that rows found, moved or deleted in between do
// not count as changes. The home page and vx4ctl status --watch keep one.
class BusEvents {
public:
    using Note = std::function<void(int row, const QString& kind, const QString& text)>;

    // After a poll of every row: each row whose answering or state differs
    // from the last poll. The first poll tells every row.
    void afterPoll(const DeviceTable& table, const Note& note);

    // After a frame an amplifier sent by itself has been decoded into the
    // table: a fault or temperature-protection report of the rows it names.
    // The state it set is not told again by the next poll.
    void afterReport(const QByteArray& frame, const DeviceTable& table, const PollState& state, const Note& note);

    // An address was changed: what was seen of the old one is the new one's.
    void moved(int oldAddress, int newAddress);

private:
    struct Seen {
        std::optional<bool> answered;
        std::optional<AmpStatus> status;
    };
    QHash<int, Seen> seen;
};
