#pragma once

#include "show/ShowFile.h"

#include "sim/SimBus.h"

#include <QByteArray>
#include <QList>

#include <functional>
#include <memory>
#include <optional>

class QObject;
class SerialLink;
class SimAmplifier;

// Show files on the bus: receiving amplifiers into a show, sending a show's
// differences and reading them back, and amplifiers that live in this
// process for offline work. vx4ctl and the home page both run these.
namespace ShowBus {

// The wait for a full-state reply: the whole reply's time on the line and a
// margin, as any baud rate may be in use.
int fullStateWaitMs(int baudRate);

// One amplifier's full-state reply as it arrived; nullopt when it did not
// answer (or answered no state).
std::optional<QByteArray> receiveReply(SerialLink& link, int address, int baudRate);

// Reads each address into the show (its device list gains an entry for an
// amplifier it lacks); one that does not answer keeps its entry. progress
// runs before each read with its place (0 first). Returns the silent ones.
using Progress = std::function<void(int index, int address)>;
QList<int> receive(SerialLink& link, ShowFile::Show& show, const QList<int>& addresses, int baudRate,
                   const Progress& progress = {});

// What differs between the amplifier on the bus and the show's entry for it;
// nullopt when it did not answer.
std::optional<QList<ShowFile::Difference>> compare(SerialLink& link, const ShowFile::Amplifier& wanted, int baudRate);

// An amplifier as its read-back tells it after a send.
struct SendOutcome {
    bool answered = false;      // the read before sending: nothing is sent without it
    int framesSent = 0;
    bool answeredAfter = false; // the read-back
    QList<ShowFile::Difference> left;
    bool inSync() const { return answeredAfter && left.isEmpty(); }
};
// Reads the amplifier, sends it the frames that take it to the show's state
// (or, with `full`, replays the reply the show stored) and reads it back.
SendOutcome send(SerialLink& link, const ShowFile::Amplifier& wanted, int baudRate, bool full = false);

// An amplifier in its factory state, as one of that model answers.
ShowFile::Amplifier defaultAmplifier(int address, int channelCount = 4, int gainTop = 41);

// One amplifier of a show simulated in this process, on a bus of its own:
// the editor works on it offline through the links it makes, with every
// control, graph, undo and preset action.
class VirtualAmplifier {
public:
    static constexpr int portNumber = 1; // the only port its links know
    static constexpr int baudRate = 19200;

    explicit VirtualAmplifier(const ShowFile::Amplifier& amplifier);
    ~VirtualAmplifier();
    VirtualAmplifier(const VirtualAmplifier&) = delete;
    VirtualAmplifier& operator=(const VirtualAmplifier&) = delete;

    std::unique_ptr<SerialLink> makeLink(QObject* parent) const;
    SimBus& bus() { return *simBus; }
    SimAmplifier& amplifier() { return *amp; }
    // Its state now, as a show keeps it (not received from any bus).
    ShowFile::Amplifier state() const;

private:
    std::unique_ptr<SimBus> simBus;
    SimAmplifier* amp = nullptr;
};

} // namespace ShowBus
