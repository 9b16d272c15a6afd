#pragma once

#include "clock/WaitClock.h"

#include <QList>
#include <QPointer>
#include <optional>
#include <vector>

// A clock for tests: no real time passes. waitMs() moves the virtual time on
// at once and runs nothing. Callbacks run only from advance(), runDue() or
// runUntilIdle(), in the order they fall due (ties in the order they were
// asked for), each with nowMs() set to its due time. A callback that fell due
// during a wait (for instance a timer tick while a handler waited) is late:
// it runs at the next of those calls, at the time of that call. The Qt event
// loop never drives this clock, so a test decides exactly when time passes.
class VirtualClock final : public WaitClock {
public:
    VirtualClock() = default;
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    qint64 nowMs() const override { return now; }
    void waitMs(int ms) override;
    bool isWaiting() const override { return depth > 0; }
    void callAfter(int ms, QObject* context, std::function<void()> fn) override;

    // Lets ms pass, running every callback due by then (also those a callback
    // schedules inside that span). Inside a wait it only moves the time.
    void advance(qint64 ms);
    // advance(0): runs what is due now, the late callbacks included.
    void runDue() { advance(0); }
    // Runs callbacks until none is pending, letting at most limitMs pass;
    // false when callbacks were still pending at the limit (a running
    // periodic timer never lets the clock go idle).
    bool runUntilIdle(qint64 limitMs = 3'600'000);

    // Callbacks still to run whose context is alive.
    int pendingCount() const;
    std::optional<qint64> nextDueMs() const;

    // Every waitMs() argument since construction or clearWaits(), in order.
    const QList<int>& waits() const { return waitLog; }
    void clearWaits() { waitLog.clear(); }

private:
    struct Entry {
        qint64 due = 0;
        quint64 sequence = 0;
        QPointer<QObject> context;
        bool hasContext = false;
        std::function<void()> fn;
        bool alive() const { return !hasContext || context; }
    };
    // Index of the earliest live entry due by limit; dead entries are dropped.
    std::optional<size_t> nextEntry(qint64 limit);

    qint64 now = 0;
    int depth = 0;
    quint64 nextSequence = 0;
    std::vector<Entry> queue;
    QList<int> waitLog;
};

// Installs a fresh VirtualClock as waitClock() for the lifetime of a test
// and restores the real clock afterwards.
class ScopedVirtualClock {
public:
    ScopedVirtualClock() { setWaitClock(&clock); }
    ~ScopedVirtualClock() { setWaitClock(nullptr); }
    ScopedVirtualClock(const ScopedVirtualClock&) = delete;
    ScopedVirtualClock& operator=(const ScopedVirtualClock&) = delete;

    VirtualClock* operator->() { return &clock; }
    VirtualClock& operator*() { return clock; }

private:
    VirtualClock clock;
};
