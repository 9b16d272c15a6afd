#include "clock/VirtualClock.h"

#include <QtGlobal>
#include <algorithm>

namespace {
// A callback chain that keeps rescheduling itself at the same instant would
// hang a test forever; stop it loudly instead.
constexpr int maxCallbacksPerRun = 1'000'000;
} // namespace

void VirtualClock::waitMs(int ms)
{
    waitLog.append(ms);
    ++depth;
    now += qMax(0, ms);
    --depth;
}

void VirtualClock::callAfter(int ms, QObject* context, std::function<void()> fn)
{
    queue.push_back({now + qMax(0, ms), nextSequence++, context, context != nullptr, std::move(fn)});
}

std::optional<size_t> VirtualClock::nextEntry(qint64 limit)
{
    std::erase_if(queue, [](const Entry& e) { return !e.alive(); });
    std::optional<size_t> best;
    for (size_t i = 0; i < queue.size(); ++i) {
        const Entry& e = queue[i];
        if (e.due > limit)
            continue;
        if (!best || e.due < queue[*best].due
            || (e.due == queue[*best].due && e.sequence < queue[*best].sequence))
            best = i;
    }
    return best;
}

void VirtualClock::advance(qint64 ms)
{
    const qint64 target = now + qMax<qint64>(0, ms);
    if (isWaiting()) {
        now = target;
        return;
    }
    // Only what is due by the target runs; a callback whose own wait pushed
    // the time past the target leaves later ticks late for the next call,
    // which keeps a slow periodic handler from looping here for ever.
    for (int ran = 0;; ++ran) {
        if (ran == maxCallbacksPerRun)
            qFatal("VirtualClock: callbacks keep rescheduling themselves without time passing");
        const auto index = nextEntry(target);
        if (!index)
            break;
        Entry entry = std::move(queue[*index]);
        queue.erase(queue.begin() + static_cast<std::ptrdiff_t>(*index));
        now = qMax(now, entry.due);
        entry.fn();
    }
    now = qMax(now, target);
}

bool VirtualClock::runUntilIdle(qint64 limitMs)
{
    const qint64 limit = now + qMax<qint64>(0, limitMs);
    for (int steps = 0;; ++steps) {
        if (steps == maxCallbacksPerRun)
            qFatal("VirtualClock: callbacks keep rescheduling themselves without time passing");
        const auto due = nextDueMs();
        if (!due)
            return true;
        if (*due > limit)
            return false;
        advance(qMax<qint64>(0, *due - now));
    }
}

int VirtualClock::pendingCount() const
{
    return static_cast<int>(std::count_if(queue.begin(), queue.end(), [](const Entry& e) { return e.alive(); }));
}

std::optional<qint64> VirtualClock::nextDueMs() const
{
    std::optional<qint64> due;
    for (const Entry& e : queue) {
        if (e.alive() && (!due || e.due < *due))
            due = e.due;
    }
    return due;
}
