#pragma once

#include "clock/WaitClock.h"
#include "serial/ForwardingLink.h"
#include "sim/SimLink.h"

#include <QByteArray>
#include <QList>

#include <memory>

// A simulated link that keeps every write with its time on the wait clock,
// so a test can check what went on the wire and when.
class RecordingLink final : public ForwardingLink {
public:
    struct Write {
        qint64 atMs = 0;
        QByteArray bytes;
    };

    // In front of a simulated link of its own with no ports yet.
    explicit RecordingLink(QObject* parent = nullptr) : RecordingLink(std::make_unique<SimLink>(), parent) {}
    explicit RecordingLink(std::unique_ptr<SimLink> made, QObject* parent = nullptr)
        : ForwardingLink(*made, parent), inner(std::move(made))
    {
    }

    SimLink& sim() { return *inner; }
    QList<Write>& writes() { return log; }

    void write(const QByteArray& bytes) override
    {
        log.append({waitClock().nowMs(), bytes});
        ForwardingLink::write(bytes);
    }

private:
    std::unique_ptr<SimLink> inner;
    QList<Write> log;
};
