#include "clock/RealClock.h"
#include "clock/VirtualClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(VirtualClock, WaitsMoveTimeWithoutRunningCallbacks)
{
    VirtualClock clock;
    int calls = 0;
    clock.callAfter(10, nullptr, [&] { ++calls; });
    clock.waitMs(300);
    EXPECT_EQ(clock.nowMs(), 300);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(clock.waits(), QList<int>({300}));
    clock.waitMs(-5); // never goes back
    EXPECT_EQ(clock.nowMs(), 300);
}

TEST(VirtualClock, RunsCallbacksInDueOrderAtTheirDueTime)
{
    VirtualClock clock;
    QList<QString> order;
    QList<qint64> times;
    const auto log = [&](QString name) {
        return [&, name] { order.append(name); times.append(clock.nowMs()); };
    };
    clock.callAfter(30, nullptr, log("c"));
    clock.callAfter(10, nullptr, log("a"));
    clock.callAfter(10, nullptr, log("b")); // same instant: in the order asked
    clock.callAfter(50, nullptr, log("late"));
    clock.advance(40);
    EXPECT_EQ(order, QList<QString>({"a", "b", "c"}));
    EXPECT_EQ(times, QList<qint64>({10, 10, 30}));
    EXPECT_EQ(clock.nowMs(), 40);
    EXPECT_EQ(clock.pendingCount(), 1);
    EXPECT_EQ(clock.nextDueMs(), 50);
}

TEST(VirtualClock, CallbackDueDuringAWaitRunsAfterIt)
{
    VirtualClock clock;
    QList<qint64> lateAt;
    // The first callback blocks in a wait, the second falls due inside it.
    clock.callAfter(10, nullptr, [&] { clock.waitMs(100); });
    clock.callAfter(20, nullptr, [&] {
        EXPECT_FALSE(clock.isWaiting());
        lateAt.append(clock.nowMs());
    });
    clock.advance(10);
    EXPECT_TRUE(lateAt.isEmpty()); // due after the target of that call
    clock.runDue();
    EXPECT_EQ(lateAt, QList<qint64>({110}));
}

TEST(VirtualClock, LateCallbackBeyondTheTargetWaitsForTheNextRun)
{
    VirtualClock clock;
    clock.waitMs(200);
    int calls = 0;
    clock.callAfter(0, nullptr, [&] { ++calls; });
    EXPECT_EQ(calls, 0); // nothing runs on its own
    clock.runDue();
    EXPECT_EQ(calls, 1);
}

TEST(VirtualClock, DestroyedContextCancels)
{
    VirtualClock clock;
    auto context = std::make_unique<QObject>();
    int calls = 0;
    clock.callAfter(5, context.get(), [&] { ++calls; });
    EXPECT_EQ(clock.pendingCount(), 1);
    context.reset();
    EXPECT_EQ(clock.pendingCount(), 0);
    EXPECT_TRUE(clock.runUntilIdle());
    EXPECT_EQ(calls, 0);
}

TEST(VirtualClock, RunUntilIdleFollowsChainsAndStopsAtTheLimit)
{
    VirtualClock clock;
    int steps = 0;
    std::function<void()> step = [&] {
        if (++steps < 5)
            clock.callAfter(100, nullptr, step);
    };
    clock.callAfter(100, nullptr, step);
    EXPECT_TRUE(clock.runUntilIdle());
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(clock.nowMs(), 500);

    ScopedVirtualClock scoped;
    ClockTimer timer;
    timer.start(1000);
    EXPECT_FALSE(scoped->runUntilIdle(5500));
    EXPECT_EQ(scoped->nowMs(), 5000);
}

class ClockTimerTest : public ::testing::Test {
protected:
    ScopedVirtualClock clock;
    ClockTimer timer;
    QList<qint64> ticks;
    void SetUp() override
    {
        QObject::connect(&timer, &ClockTimer::timeout, [this] { ticks.append(clock->nowMs()); });
    }
};

TEST_F(ClockTimerTest, PeriodicTicksEveryInterval)
{
    timer.start(300);
    clock->advance(1000);
    EXPECT_EQ(ticks, QList<qint64>({300, 600, 900}));
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 300);
}

TEST_F(ClockTimerTest, SingleShotTicksOnceAndGoesInactive)
{
    timer.setSingleShot(true);
    timer.start(1000);
    clock->advance(5000);
    EXPECT_EQ(ticks, QList<qint64>({1000}));
    EXPECT_FALSE(timer.isActive());
}

TEST_F(ClockTimerTest, StopAndRestart)
{
    timer.start(100);
    clock->advance(250);
    timer.stop();
    clock->advance(1000);
    EXPECT_EQ(ticks, QList<qint64>({100, 200}));
    EXPECT_FALSE(timer.isActive());

    // A restart drops the old schedule: no tick from the first start.
    timer.start(500);
    clock->advance(300);
    timer.start(500);
    clock->advance(600);
    EXPECT_EQ(ticks, QList<qint64>({100, 200, 2050}));
}

TEST_F(ClockTimerTest, StopInsideTheSlotEndsTicks)
{
    QObject::connect(&timer, &ClockTimer::timeout, [this] { timer.stop(); });
    timer.start(100);
    clock->advance(1000);
    EXPECT_EQ(ticks.size(), 1);
}

TEST_F(ClockTimerTest, TickDueInsideAWaitComesAfterItOnlyOnce)
{
    // A 1000 ms handler with a 300 ms timer: the ticks that fell into the
    // handler's wait come as one late tick, never inside the wait.
    bool inWait = false;
    QObject::connect(&timer, &ClockTimer::timeout, [&] {
        EXPECT_FALSE(inWait);
        if (ticks.size() == 1) {
            inWait = true;
            clock->waitMs(1000);
            inWait = false;
        }
    });
    timer.start(300);
    clock->advance(2000);
    EXPECT_EQ(ticks, QList<qint64>({300, 1300, 1600, 1900}));
}

TEST_F(ClockTimerTest, RestartFromTheSlotSetsTheNextPeriod)
{
    // The home page's poll: first after 1000 ms, then every 10000 ms.
    QObject::connect(&timer, &ClockTimer::timeout, [this] { timer.start(10000); });
    timer.start(1000);
    clock->advance(30000);
    EXPECT_EQ(ticks, QList<qint64>({1000, 11000, 21000}));
}

TEST_F(ClockTimerTest, DestroyedTimerNeverTicks)
{
    auto doomed = std::make_unique<ClockTimer>();
    int calls = 0;
    QObject::connect(doomed.get(), &ClockTimer::timeout, [&] { ++calls; });
    doomed->start(10);
    doomed.reset();
    clock->advance(100);
    EXPECT_EQ(calls, 0);
}

// The real clock needs an event loop; these take a few tens of milliseconds.
class RealClockTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "serial_tests";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }
    RealClock clock;
};

TEST_F(RealClockTest, WaitLastsAtLeastTheTimeAsked)
{
    for (int ms : {1, 15, 40}) {
        QElapsedTimer elapsed;
        elapsed.start();
        clock.waitMs(ms);
        EXPECT_GE(elapsed.elapsed(), ms);
    }
}

TEST_F(RealClockTest, CallbackDueDuringAWaitRunsAfterItFromTheEventLoop)
{
    bool inWait = false;
    int calls = 0;
    bool ranInWait = false;
    clock.callAfter(5, nullptr, [&] {
        ranInWait = inWait;
        ++calls;
    });
    inWait = true;
    clock.waitMs(40);
    inWait = false;
    EXPECT_EQ(calls, 0); // not even in the return from the wait
    QElapsedTimer elapsed;
    elapsed.start();
    while (calls == 0 && elapsed.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(ranInWait);
}

TEST_F(RealClockTest, HeldBackCallbacksKeepTheirOrderAndRespectContext)
{
    QList<int> order;
    auto gone = std::make_unique<QObject>();
    clock.callAfter(1, nullptr, [&] { order.append(1); });
    clock.callAfter(2, gone.get(), [&] { order.append(99); });
    clock.callAfter(3, nullptr, [&] { order.append(2); });
    clock.waitMs(30);
    gone.reset();
    QElapsedTimer elapsed;
    elapsed.start();
    while (order.size() < 2 && elapsed.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(order, QList<int>({1, 2}));
}

TEST_F(RealClockTest, NestedWaitsHoldCallbacksUntilTheOutermostEnds)
{
    int calls = 0;
    bool outerDone = false;
    bool sawOuterDone = false;
    // A zero-time callback posted by a callback that ran in an earlier
    // event-loop pass: it must not run inside the next wait.
    clock.callAfter(1, nullptr, [&] {
        sawOuterDone = outerDone;
        ++calls;
    });
    clock.waitMs(20);
    clock.waitMs(20); // the batch posted after the first wait fires in here
    outerDone = true;
    QElapsedTimer elapsed;
    elapsed.start();
    while (calls == 0 && elapsed.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(sawOuterDone);
}

TEST_F(RealClockTest, ACallbackHeldInAnInnerWaitRunsOnlyAfterTheOutermost)
{
    // Something the event loop runs during the outer wait (a port's
    // notification, say) schedules a callback and waits itself.
    bool ranInsideInner = false;
    bool ranBeforeOuterEnded = false;
    bool outerEnded = false;
    int calls = 0;
    QTimer::singleShot(5, Qt::PreciseTimer, [&] {
        clock.callAfter(0, nullptr, [&] {
            ++calls;
            ranBeforeOuterEnded = !outerEnded;
        });
        clock.waitMs(20);
        ranInsideInner = calls > 0;
    });
    clock.waitMs(80);
    outerEnded = true;
    QElapsedTimer elapsed;
    elapsed.start();
    while (calls == 0 && elapsed.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(ranInsideInner) << "released at the end of the inner wait";
    EXPECT_FALSE(ranBeforeOuterEnded);
    EXPECT_EQ(calls, 1);
}

} // namespace
