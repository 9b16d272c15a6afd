#pragma once

#include "clock/WaitClock.h"

#include <QObject>
#include <QStringList>
#include <functional>

// Reports serial devices that appear or disappear, by comparing the devices
// present once a second. Presence, not openability, is compared: a port that
// a window opens or closes is no arrival or removal.
class DeviceWatcher : public QObject {
    Q_OBJECT

public:
    using Source = std::function<QStringList()>;
    static constexpr int periodMs = 1000;

    // source lists the device paths present; by default the port list's.
    explicit DeviceWatcher(QObject* parent = nullptr, Source source = {});

    // Takes the devices present now as known; later changes are reported.
    void start();
    void stop();
    bool isActive() const { return timer.isActive(); }
    // One comparison now (the timer calls it).
    void poll();

Q_SIGNALS:
    void deviceArrived(const QString& devicePath);
    void deviceRemoved(const QString& devicePath);

private:
    Source source;
    QStringList known;
    ClockTimer timer;
};
