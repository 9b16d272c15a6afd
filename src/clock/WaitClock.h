#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

// The one seam for every wait and timer of the windows and links.
//
// The protocol is "write, wait a fixed time, read everything". During a wait
// the program keeps painting, but user input, timer ticks, receive
// notifications and close requests that fall into it are handled after it.
// The real clock does that on the event loop; the virtual clock of the tests
// makes waits take no real time.
class WaitClock {
public:
    virtual ~WaitClock() = default;

    // Milliseconds since an arbitrary start.
    virtual qint64 nowMs() const = 0;
    // Blocks the caller for at least ms milliseconds (see above).
    virtual void waitMs(int ms) = 0;
    // True while a waitMs() is in progress.
    virtual bool isWaiting() const = 0;
    // Calls fn once, ms from now, outside any wait, unless context is gone.
    virtual void callAfter(int ms, QObject* context, std::function<void()> fn) = 0;
};

// The process-wide clock: the real clock unless a test installed another.
WaitClock& waitClock();
// Installs clock (nullptr restores the real clock). The caller keeps ownership.
void setWaitClock(WaitClock* clock);

// A periodic or single-shot timer that runs on waitClock(); its ticks never
// fall into a wait.
class ClockTimer : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    void start(int intervalMs);
    void setSingleShot(bool singleShot) { single = singleShot; }
    void stop();
    bool isActive() const { return active; }
    int interval() const { return period; }

Q_SIGNALS:
    void timeout();

private:
    void schedule();
    int period = 0;
    bool single = false;
    bool active = false;
    quint64 generation = 0;
};
