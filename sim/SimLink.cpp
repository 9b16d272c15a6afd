#include "sim/SimLink.h"

#include "clock/WaitClock.h"
#include "serial/SerialError.h"
#include "sim/SimBus.h"

SimLink::SimLink(SimBus* bus, QObject* parent) : SerialLink(parent)
{
    if (bus)
        addPort(1, bus);
}

SimLink::~SimLink()
{
    if (opened)
        close();
}

void SimLink::addPort(int portNumber, SimBus* bus)
{
    ports.insert(portNumber, bus);
}

SimBus* SimLink::bus() const
{
    return opened ? ports.value(port).data() : nullptr;
}

SimBus* SimLink::usableBus() const
{
    SimBus* b = bus();
    return b && b->isPluggedIn() ? b : nullptr;
}

void SimLink::setReceiveThreshold(int bytes)
{
    threshold = std::max(1, bytes);
    scheduleNotification();
}

void SimLink::open(int portNumber, const QString& settings)
{
    if (!opened) {
        if (portNumber <= 0)
            throw SerialError(tr("Invalid port number"));
        SimBus* b = ports.value(portNumber).data();
        if (!b || !b->isPluggedIn())
            throw SerialError(tr("The port COM%1 does not exist").arg(portNumber));
        if (b->holder() && b->holder() != this)
            throw SerialError(tr("The port COM%1 is already open").arg(portNumber));
        port = portNumber;
        opened = true;
        armed = true;
        b->setHolder(this);
        // Whatever was on the line before the port opened was heard by nobody.
        b->clearPending();
        queuedConnection = connect(b, &SimBus::transmissionQueued, this, &SimLink::scheduleNotification);
    }
    applySettings(settings);
}

void SimLink::close()
{
    if (!opened)
        return;
    if (SimBus* b = bus()) {
        b->clearPending();
        if (b->holder() == this)
            b->setHolder(nullptr);
    }
    disconnect(queuedConnection);
    opened = false;
    ++generation;
}

void SimLink::applySettings(const QString& settings)
{
    const auto parsed = LinkSettings::parse(settings);
    if (!parsed)
        throw SerialError(tr("Invalid settings: %1").arg(settings));
    line = *parsed;
}

void SimLink::write(const QByteArray& bytes)
{
    if (!opened)
        throw SerialError(tr("The port is not open"));
    SimBus* b = usableBus();
    if (!b)
        throw SerialError(tr("The device COM%1 was removed").arg(port));
    b->write(bytes, line.baudRate(), waitClock().nowMs());
    scheduleNotification();
}

void SimLink::discardInput()
{
    if (SimBus* b = usableBus())
        b->takeDue(waitClock().nowMs());
    rearm();
}

QByteArray SimLink::readAll()
{
    SimBus* b = usableBus();
    const QByteArray bytes = b ? b->takeDue(waitClock().nowMs(), readLimit) : QByteArray();
    rearm();
    return bytes;
}

void SimLink::rearm()
{
    armed = true;
    scheduleNotification();
}

void SimLink::scheduleNotification()
{
    SimBus* b = usableBus();
    if (!b || !armed)
        return;
    const auto due = b->timeWhenDue(threshold);
    if (!due)
        return;
    const quint64 scheduled = ++generation;
    const qint64 delay = std::max<qint64>(0, *due - waitClock().nowMs());
    waitClock().callAfter(static_cast<int>(delay), this, [this, scheduled] {
        if (scheduled == generation)
            checkNotification();
    });
}

void SimLink::checkNotification()
{
    SimBus* b = usableBus();
    if (!b || !armed)
        return;
    if (b->dueCount(waitClock().nowMs()) < threshold) {
        scheduleNotification();
        return;
    }
    armed = false;
    Q_EMIT received(dataReceivedEvent);
}
