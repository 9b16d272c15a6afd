#pragma once

#include "clock/WaitClock.h"

#include <QElapsedTimer>
#include <QPointer>
#include <vector>

// The clock of the running program. A wait runs a nested event loop that
// leaves user input queued, so windows keep painting while the thread is
// "blocked"; callbacks that fall due during a wait are held back and posted
// to the event loop once the outermost wait has ended.
class RealClock final : public WaitClock {
public:
    RealClock();

    qint64 nowMs() const override;
    void waitMs(int ms) override;
    bool isWaiting() const override { return depth > 0; }
    void callAfter(int ms, QObject* context, std::function<void()> fn) override;

private:
    struct Pending {
        QPointer<QObject> context;
        bool hasContext = false;
        std::function<void()> fn;
    };
    void dispatch(Pending pending);
    void releaseHeldBack();

    QElapsedTimer started;
    int depth = 0;
    std::vector<Pending> heldBack;
};
