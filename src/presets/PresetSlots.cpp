#include "presets/PresetSlots.h"

#include "app/CodePage.h"
#include "app/SharedState.h"
#include "clock/WaitClock.h"
#include "protocol/ControlFrame.h"
#include "serial/SerialLink.h"

namespace PresetSlots {

namespace {
constexpr qsizetype groupOffset = 3;  // the group byte, three places after the 0x55
constexpr qsizetype nameOffset = 6;   // 0x55, L, address, 0x83, slot, 0x02, then the name
constexpr int nameLengthOverhead = 5; // L counts address, group, slot and 0x02 besides the name
} // namespace

std::optional<QByteArray> nameFromAnswer(const QByteArray& received)
{
    // A 0x55 is also the address 85, the letter U of a name or a checksum;
    // only one with the answer's group three places on starts the answer.
    const auto byteAt = [&](qsizetype i) { return static_cast<unsigned char>(received.at(i)); };
    qsizetype start = received.size() - 1 - groupOffset;
    while (start >= 0
           && (byteAt(start) != ControlFrame::header
               || byteAt(start + groupOffset) != static_cast<unsigned char>(CommandGroup::PresetQueryName)))
        --start;
    if (start < 0)
        return std::nullopt;
    const int length = static_cast<unsigned char>(received.at(start + 1));
    const int nameLength = length - nameLengthOverhead;
    if (nameLength < 0 || nameLength > maxNameBytes)
        return std::nullopt;
    // A cut-off answer would show a name the slot does not carry.
    if (start + nameOffset + nameLength > received.size())
        return std::nullopt;
    return received.mid(start + nameOffset, nameLength);
}

std::optional<QByteArray> nameBytes(const QString& name)
{
    QByteArray bytes = CodePage::toAnsi(name);
    if (bytes.size() > maxNameBytes)
        return std::nullopt;
    return bytes;
}

bool SlotCommands::queryName(int slot)
{
    if (!link.isOpen())
        return false;
    link.write(Commands::presetQueryName(target, slot));
    return true;
}

std::optional<QString> SlotCommands::takeNameAnswer()
{
    waitClock().waitMs(answerWaitMs);
    const auto bytes = nameFromAnswer(link.readAll());
    if (!bytes)
        return std::nullopt;
    QString name = CodePage::fromAnsi(*bytes);
    sharedState().presetName = name;
    return name;
}

std::optional<QString> SlotCommands::readName(int slot, int waitMs)
{
    if (!link.isOpen())
        return std::nullopt;
    link.discardInput();
    queryName(slot);
    waitClock().waitMs(waitMs);
    return takeNameAnswer();
}

bool SlotCommands::recall(int slot)
{
    if (!link.isOpen())
        return false;
    link.write(Commands::presetRecall(target, slot));
    waitClock().waitMs(recallWaitMs);
    sharedState().presetRecalled = true;
    sharedState().presetNumber = slot;
    return true;
}

StoreResult SlotCommands::store(int slot, const QString& name, const std::function<void()>& nameRejected)
{
    if (!link.isOpen())
        return StoreResult::NotSent;
    link.write(Commands::presetStore(target, slot));
    waitClock().waitMs(storeWaitMs);
    const auto bytes = nameBytes(name);
    if (bytes)
        link.write(Commands::presetWriteName(target, slot, *bytes));
    else if (nameRejected)
        nameRejected();
    waitClock().waitMs(writeNameWaitMs);
    return bytes ? StoreResult::Stored : StoreResult::NameTooLong;
}

bool SlotCommands::clearAll()
{
    if (!link.isOpen())
        return false;
    link.write(Commands::presetClearAll(target));
    waitClock().waitMs(clearWaitMs);
    return true;
}

} // namespace PresetSlots
