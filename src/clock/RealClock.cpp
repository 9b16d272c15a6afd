#include "clock/RealClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

RealClock::RealClock()
{
    started.start();
}

qint64 RealClock::nowMs() const
{
    return started.elapsed();
}

void RealClock::waitMs(int ms)
{
    if (ms <= 0)
        return;
    ++depth;
    QElapsedTimer elapsed;
    elapsed.start();
    // Without an event loop to keep alive (a command-line run before the
    // application object exists, or during shutdown) a plain sleep is right.
    const auto canSpin = [] {
        return QCoreApplication::instance() && !QCoreApplication::closingDown()
            && QThread::currentThread() == QCoreApplication::instance()->thread();
    };
    // Loop: a nested loop may end early (application quit) and coarse timer
    // rounding must never make a wait shorter than asked.
    for (qint64 left = ms; left > 0; left = ms - elapsed.elapsed()) {
        if (!canSpin()) {
            QThread::msleep(static_cast<unsigned long>(left));
            continue;
        }
        QEventLoop loop;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(static_cast<int>(left));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (--depth == 0 && !heldBack.empty())
        releaseHeldBack();
}

void RealClock::callAfter(int ms, QObject* context, std::function<void()> fn)
{
    Pending pending{context, context != nullptr, std::move(fn)};
    auto fire = [this, pending = std::move(pending)]() mutable { dispatch(std::move(pending)); };
    if (context)
        QTimer::singleShot(qMax(0, ms), Qt::PreciseTimer, context, std::move(fire));
    else
        QTimer::singleShot(qMax(0, ms), Qt::PreciseTimer, std::move(fire));
}

void RealClock::dispatch(Pending pending)
{
    if (pending.hasContext && !pending.context)
        return;
    if (isWaiting()) {
        heldBack.push_back(std::move(pending));
        return;
    }
    pending.fn();
}

void RealClock::releaseHeldBack()
{
    // One posted call runs the whole batch in the order the callbacks fell
    // due; it runs when control is back in the event loop, not inside the
    // caller of the wait that just ended (which is still mid-exchange).
    auto batch = std::make_shared<std::vector<Pending>>(std::move(heldBack));
    heldBack.clear();
    QTimer::singleShot(0, Qt::PreciseTimer, [this, batch] {
        for (auto& pending : *batch)
            dispatch(std::move(pending));
    });
}
