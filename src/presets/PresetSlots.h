#pragma once

#include "protocol/Commands.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class SerialLink;

// The amplifier's own preset slots, as the preset-slot dialog and vx4ctl
// drive them: Store, Recall, Clear, Query name and Write name, each with its
// wait. The amplifier keeps the slots; the PC keeps no copy of them.
namespace PresetSlots {

inline constexpr int slotCount = 16;
inline constexpr int receiveThreshold = 7;  // the shortest name answer is 7 bytes
inline constexpr int answerWaitMs = 50;     // lets the rest of a name answer arrive
inline constexpr int storeWaitMs = 2000;    // the amplifier writes the slot
inline constexpr int recallWaitMs = 2000;
inline constexpr int clearWaitMs = 2000;
inline constexpr int writeNameWaitMs = 1000;
inline constexpr qsizetype maxNameBytes = Commands::presetNameMaxBytes;
// The name of a slot that holds nothing.
inline constexpr char emptySlotName[] = "Empty";

// The name bytes of a Query name answer among `received`: the last 0x55
// with 0x83 three places on starts the answer (a 0x55 elsewhere, such as the
// address 85, a "U" in the name or the checksum, is no start), the byte after
// the 0x55 is the length L and the name is the L - 5 bytes six places on.
// Address, slot and checksum are not examined. nullopt when there is no
// such answer, when L lies outside 5..21 (more than 16 name bytes or a
// negative count), or when not all of the name has arrived.
std::optional<QByteArray> nameFromAnswer(const QByteArray& received);

// The name in the PC's ANSI code page (CP936 for the Chinese interface,
// CP1252 for the English one); nullopt when it takes more than 16 bytes.
std::optional<QByteArray> nameBytes(const QString& name);

// Slot byte of a list position: position + 1, 0 when nothing is chosen (-1).
inline int slotOfPosition(int position) { return position < 0 ? 0 : position + 1; }

enum class StoreResult {
    NotSent,     // the link is closed
    Stored,      // settings stored and the name written
    NameTooLong, // settings stored; the name was not written
};

// The slot frames on one link, to one amplifier. Every operation first
// checks that the link is open and sends nothing when it is not; a
// SerialError of the link reaches the caller.
class SlotCommands {
public:
    SlotCommands(SerialLink& link, DeviceAddress address) : link(link), target(address) {}

    DeviceAddress address() const { return target; }

    // Sends Query name; the answer comes with the link's receive notification.
    bool queryName(int slot);
    // The receive notification: waits for the rest of the answer, reads
    // everything and decodes the name from the ANSI code page. A valid name
    // is also left in SharedState.presetName.
    std::optional<QString> takeNameAnswer();
    // Query name, `waitMs`, and the answer (for a caller without receive
    // notifications, such as vx4ctl).
    std::optional<QString> readName(int slot, int waitMs);

    // Recall and its wait; SharedState.presetNumber and presetRecalled say
    // that a slot was recalled.
    bool recall(int slot);
    // Store and its wait, then Write name when the name fits 16 bytes (else
    // `nameRejected` runs, the dialog's message), then the name's wait. The
    // settings are stored in any case.
    StoreResult store(int slot, const QString& name, const std::function<void()>& nameRejected = {});
    // Clear for every slot (slot byte 0) and its wait.
    bool clearAll();

private:
    SerialLink& link;
    DeviceAddress target;
};

} // namespace PresetSlots
