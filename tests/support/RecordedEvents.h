#pragma once

#include "eventlog/EventLog.h"

#include <QStringList>
#include <QTemporaryDir>

// An event log in a temporary folder that the windows of the test record
// into while it lives.
struct RecordedEvents {
    QTemporaryDir dir;
    EventLog log{dir.filePath(QStringLiteral("events.sqlite"))};
    qsizetype seen = 0;

    RecordedEvents() { setEventLog(&log); }
    ~RecordedEvents() { setEventLog(nullptr); }
    RecordedEvents(const RecordedEvents&) = delete;
    RecordedEvents& operator=(const RecordedEvents&) = delete;

    // The events recorded since the last call, oldest first, each as
    // "address kind" ("kind" for the bus).
    QStringList newKinds()
    {
        const QList<LogEvent> all = log.events({});
        QStringList kinds;
        for (qsizetype i = all.size() - seen - 1; i >= 0; --i) {
            const LogEvent& e = all.at(i);
            kinds << (e.address ? QString::number(*e.address) + u' ' + e.kind : e.kind);
        }
        seen = all.size();
        return kinds;
    }
    // The newest event.
    LogEvent last() const { return log.events({}).value(0); }
};
