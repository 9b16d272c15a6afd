#include "serial/DeviceWatcher.h"

#include "serial/SerialPorts.h"

#include <QPointer>
#include <utility>

namespace {

QStringList presentPaths()
{
    QStringList paths;
    for (const auto& port : SerialPorts::presentPorts())
        paths.append(port.devicePath);
    return paths;
}

} // namespace

DeviceWatcher::DeviceWatcher(QObject* parent, Source source)
    : QObject(parent), source(source ? std::move(source) : Source(presentPaths))
{
    connect(&timer, &ClockTimer::timeout, this, &DeviceWatcher::poll);
}

void DeviceWatcher::start()
{
    known = source();
    timer.start(periodMs);
}

void DeviceWatcher::stop()
{
    timer.stop();
}

void DeviceWatcher::poll()
{
    const QStringList now = source();
    // The snapshot is taken before any signal: a handler may run for long
    // (a connection check) and must not see its own change reported twice.
    const QStringList before = std::exchange(known, now);
    // A handler may end the program's window and this watcher with it.
    const QPointer<DeviceWatcher> alive(this);
    for (const QString& path : before) {
        if (!now.contains(path))
            Q_EMIT deviceRemoved(path);
        if (!alive)
            return;
    }
    for (const QString& path : now) {
        if (!before.contains(path))
            Q_EMIT deviceArrived(path);
        if (!alive)
            return;
    }
}
