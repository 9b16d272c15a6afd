#include "clock/WaitClock.h"

#include "clock/RealClock.h"

namespace {

WaitClock* installedClock = nullptr;

RealClock& realClock()
{
    static RealClock clock;
    return clock;
}

} // namespace

WaitClock& waitClock()
{
    return installedClock ? *installedClock : realClock();
}

void setWaitClock(WaitClock* clock)
{
    installedClock = clock;
}

void ClockTimer::start(int intervalMs)
{
    period = qMax(0, intervalMs);
    active = true;
    ++generation;
    schedule();
}

void ClockTimer::stop()
{
    active = false;
    ++generation;
}

void ClockTimer::schedule()
{
    const quint64 scheduled = generation;
    waitClock().callAfter(period, this, [this, scheduled] {
        if (!active || scheduled != generation)
            return;
        // The next period runs from this tick, so a tick that was held back
        // by a wait does not bring a burst of catch-up ticks behind it.
        if (single)
            active = false;
        else
            schedule();
        Q_EMIT timeout();
    });
}
