#include "show/ShowBus.h"

#include "clock/WaitClock.h"
#include "editor/EditorSession.h"
#include "presets/PresetFile.h"
#include "protocol/FullStateReply.h"
#include "protocol/ParameterTable.h"
#include "protocol/ValueMapping.h"
#include "sim/SimLink.h"

#include <algorithm>

namespace ShowBus {
namespace {

// Lets a written frame leave the port before the next one goes.
void drain(qsizetype bytes, int baudRate)
{
    waitClock().waitMs(static_cast<int>(50 + bytes * 10000 / std::max(baudRate, 1)));
}

AmpParameters stateOf(int address, const QByteArray& reply) { return ShowFile::fromReply(address, reply, {}).parameters; }

} // namespace

int fullStateWaitMs(int baudRate)
{
    const qint64 lineMs = static_cast<qint64>(FullStateLayout::size) * 10 * 1000 / std::max(baudRate, 1);
    return static_cast<int>(std::clamp<qint64>(lineMs + 500, 900, 600000));
}

std::optional<QByteArray> receiveReply(SerialLink& link, int address, int baudRate)
{
    // The editor's read on this link: the request, one wait, one read.
    EditorSession editor(link, {address, {}, link.portNumber(), QString::number(baudRate)});
    const std::optional<FullStateReply> reply = editor.readFullState(fullStateWaitMs(baudRate));
    if (!reply || !reply->startsWithHeader || !reply->hasAnySection())
        return std::nullopt;
    return editor.lastReply();
}

QList<int> receive(SerialLink& link, ShowFile::Show& show, const QList<int>& addresses, int baudRate,
                   const Progress& progress)
{
    QList<int> silent;
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        const int address = addresses[i];
        if (progress)
            progress(static_cast<int>(i), address);
        const std::optional<QByteArray> reply = receiveReply(link, address, baudRate);
        if (!reply) {
            silent.append(address);
            continue;
        }
        show.put(ShowFile::fromReply(address, *reply, QDateTime::currentDateTimeUtc()));
        if (std::none_of(show.devices.begin(), show.devices.end(),
                         [&](const ShowFile::Device& d) { return ValueMapping::leadingInteger(d.address) == address; }))
            show.devices.append({QString::number(address), QString()});
    }
    return silent;
}

std::optional<QList<ShowFile::Difference>> compare(SerialLink& link, const ShowFile::Amplifier& wanted, int baudRate)
{
    const std::optional<QByteArray> reply = receiveReply(link, wanted.address, baudRate);
    if (!reply)
        return std::nullopt;
    return ShowFile::differences(stateOf(wanted.address, *reply), wanted.parameters);
}

SendOutcome send(SerialLink& link, const ShowFile::Amplifier& wanted, int baudRate, bool full)
{
    SendOutcome outcome;
    const int address = wanted.address;
    const std::optional<QByteArray> before = receiveReply(link, address, baudRate);
    if (!before)
        return outcome;
    outcome.answered = true;
    const DeviceAddress to = static_cast<DeviceAddress>(address);
    if (full) {
        PresetFile::replay(link, wanted.reply, to, PresetFile::Target::ThisAmplifier);
        waitClock().waitMs(PresetFile::replayWaitMs);
        outcome.framesSent = 1;
    } else {
        for (const QByteArray& frame : ParameterTable::framesToReach(stateOf(address, *before), wanted.parameters, to)) {
            link.write(frame);
            drain(frame.size(), baudRate);
            ++outcome.framesSent;
        }
    }
    const std::optional<QByteArray> after = receiveReply(link, address, baudRate);
    outcome.answeredAfter = after.has_value();
    if (after)
        outcome.left = ShowFile::differences(stateOf(address, *after), wanted.parameters);
    return outcome;
}

ShowFile::Amplifier defaultAmplifier(int address, int channelCount, int gainTop)
{
    const SimAmplifier model(static_cast<std::uint8_t>(address), channelCount, gainTop);
    return ShowFile::fromReply(address, model.fullStateReply(), {});
}

VirtualAmplifier::VirtualAmplifier(const ShowFile::Amplifier& amplifier)
    : simBus(std::make_unique<SimBus>(baudRate))
{
    const AmpParameters& wanted = amplifier.parameters;
    amp = &simBus->addAmplifier(static_cast<std::uint8_t>(amplifier.address), wanted.channelCount, wanted.gainTop);
    // The show's state reaches the amplifier as a send would take it there.
    for (const QByteArray& frame : ParameterTable::framesToReach(state().parameters, wanted,
                                                                 static_cast<DeviceAddress>(amplifier.address)))
        amp->handleFrame(frame);
}

VirtualAmplifier::~VirtualAmplifier() = default;

std::unique_ptr<SerialLink> VirtualAmplifier::makeLink(QObject* parent) const
{
    auto link = std::make_unique<SimLink>(nullptr, parent);
    link->addPort(portNumber, simBus.get());
    return link;
}

ShowFile::Amplifier VirtualAmplifier::state() const
{
    return ShowFile::fromReply(amp->address(), amp->fullStateReply(), {});
}

} // namespace ShowBus
