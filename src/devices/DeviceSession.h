#pragma once

#include "app/SharedState.h"

#include "devices/StatusDecoding.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class DeviceTable;
class SerialLink;

// The outcome of typing into a Device address cell.
struct AddressEditResult {
    bool accepted = false;
    QString message; // shown to the user when not accepted and not empty
};

// The home page's serial logic on its own link: port detection, the bus
// search, the status poll, address changes and reports. Every wait goes
// through waitClock(); a SerialError from the link propagates to the caller.
// Saving the list after a change is the caller's part.
class DeviceSession {
public:
    static constexpr int maxPorts = 10;         // the home page keeps at most this many ports
    static constexpr int receiveThreshold = 7;  // bytes before the link reports a receive event
    static constexpr int probeWaitMs = 300;
    static constexpr int searchWaitMs = 20;
    static constexpr int refreshWaitMs = 100;
    static constexpr int reportWaitMs = 50;
    static constexpr int firstSearchAddress = 1;
    static constexpr int lastSearchAddress = 254;

    DeviceSession(SerialLink& link, DeviceTable& table);

    // Baud rates tried on each port, in this order.
    static const QStringList& baudTexts();
    static QString settingsFor(const QString& baudText);

    // Tries the first maxPorts ports; on an answer leaves that port open,
    // stores SharedState.portNumber and baudText and returns true. A refusal
    // leaves the port closed.
    bool detectPort(const QList<int>& portNumbers);

    // Probes every unlisted address 1..254 and appends a row for each reply.
    // progress(address) follows every probe. Returns false when the port is
    // closed and nothing was done.
    bool searchDevices(const std::function<void(int address)>& progress = {});

    // Polls every row; reopens the port first when the editor allowed it.
    // Returns false when the port is closed and nothing was done.
    bool refreshDevices();

    // The typed text of a Device address cell. oldAddress is the cell's value
    // when it was clicked; the amplifier is told only while the port is open.
    AddressEditResult commitAddressEdit(int row, const QString& text, int oldAddress);
    // As above, with the old address read from the cell now.
    AddressEditResult commitAddressEdit(int row, const QString& text);

    // Hands the port and the row's amplifier over to the editor: closes the
    // port, stores the row's address and name in SharedState (0 and empty
    // outside the table) and returns them with the port and baud rate found.
    EditorTarget prepareEditor(int row);

    // A receive event of the link: waits for the rest of the frame, then
    // decodes what arrived. Returns the bytes decoded (empty for none).
    QByteArray onHomeReceive(int eventCode);

    PollState& pollState() { return poll; }
    const PollState& pollState() const { return poll; }

private:
    void decodeReply();

    SerialLink& link;
    DeviceTable& table;
    PollState poll;
};
