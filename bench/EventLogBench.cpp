// The event log: what one recorded event costs the thread that records it,
// and the filter queries over a full log of one million events.

#include "eventlog/EventLog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <thread>

namespace {

LogEvent sample(qint64 n)
{
    // A year of a 20-amplifier installation: mostly polls that answer and
    // states that return to normal, some faults, edits and lost ports.
    static const std::array<const char*, 20> kinds{
        "state.normal",        "state.normal",        "state.normal",       "state.normal",
        "state.normal",        "state.normal",        "state.standby",      "connection.answered",
        "connection.answered", "connection.answered", "connection.silent",  "connection.silent",
        "state.fault2",        "report.fault",        "state.dcProtection", "state.temperatureLimit",
        "slot.recalled",       "preset.loaded",       "power.standby",      "port.lost",
    };
    LogEvent e;
    e.time = QDateTime::fromMSecsSinceEpoch(1'767'225'600'000 + n * 31'000, Qt::UTC); // 2026 onwards, every 31 s
    e.port = QStringLiteral("/dev/ttyUSB0");
    e.baud = 19200;
    e.address = static_cast<int>(n % 20) + 1;
    e.name = QStringLiteral("Stage %1").arg(*e.address);
    // A hash, so that kinds and addresses do not go in step.
    const quint64 mixed = static_cast<quint64>(n) * 0x9E3779B97F4A7C15ull;
    e.kind = QLatin1String(kinds[static_cast<size_t>((mixed >> 40) % 20)]);
    e.text = e.kind;
    return e;
}

// Each event committed through record(), as the windows record: the time
// the recording thread waits, and the longest single wait. Arguments: the
// events already in the log (the bound: each event then also removes the
// oldest) and the pause between events in milliseconds.
void recordOneEvent(benchmark::State& state)
{
    QTemporaryDir folder;
    EventLog log(folder.filePath("events.sqlite"));
    const qint64 bound = state.range(0);
    const auto pause = std::chrono::milliseconds(state.range(1));
    if (bound > 0) {
        log.setBound(bound);
        for (qint64 n = 0; n < bound; ++n)
            log.record(sample(n));
    }
    qint64 n = bound;
    qint64 longestNs = 0;
    int overOneMs = 0;
    QElapsedTimer one;
    for (auto _ : state) {
        if (pause.count() > 0)
            std::this_thread::sleep_for(pause);
        one.start();
        benchmark::DoNotOptimize(log.record(sample(n++)));
        const qint64 ns = one.nsecsElapsed();
        state.SetIterationTime(static_cast<double>(ns) / 1e9);
        longestNs = std::max(longestNs, ns);
        overOneMs += ns > 1'000'000 ? 1 : 0;
    }
    state.counters["longest_us"] = static_cast<double>(longestNs) / 1000.0;
    state.counters["over_1ms"] = overOneMs;
}
BENCHMARK(recordOneEvent)
    ->Args({0, 0})
    ->Args({10000, 0})
    ->Args({10000, 5})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);

// For comparison: the same insert when the recording thread itself waits
// until the event is on the disk (synchronous=FULL), which the flusher
// thread spares it.
void recordAndSyncEachEvent(benchmark::State& state)
{
    QTemporaryDir folder;
    {
        EventLog create(folder.filePath("events.sqlite"));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "synced");
        db.setDatabaseName(folder.filePath("events.sqlite"));
        db.open();
        QSqlQuery q(db);
        q.exec("PRAGMA journal_mode=WAL");
        q.exec("PRAGMA synchronous=FULL");
        q.prepare("INSERT INTO events (time, port, baud, address, name, kind, grp, text) VALUES (?,?,?,?,?,?,0,?)");
        qint64 n = 0;
        for (auto _ : state) {
            const LogEvent e = sample(n++);
            q.bindValue(0, e.time.toMSecsSinceEpoch());
            q.bindValue(1, e.port);
            q.bindValue(2, e.baud);
            q.bindValue(3, *e.address);
            q.bindValue(4, e.name);
            q.bindValue(5, e.kind);
            q.bindValue(6, e.text);
            q.exec();
        }
    }
    QSqlDatabase::removeDatabase("synced");
}
BENCHMARK(recordAndSyncEachEvent)->Unit(benchmark::kMicrosecond)->Iterations(300);

// One million events, written in one transaction (the log's own schema).
class MillionEvents {
public:
    static constexpr qint64 size = 1'000'000;

    MillionEvents()
    {
        const QString path = folder.filePath("events.sqlite");
        {
            EventLog create(path);
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
            db.setDatabaseName(path);
            db.open();
            db.transaction();
            QSqlQuery q(db);
            q.prepare("INSERT INTO events (time, port, baud, address, name, kind, grp, text) VALUES (?,?,?,?,?,?,?,?)");
            for (qint64 n = 0; n < size; ++n) {
                const LogEvent e = sample(n);
                int group = 0;
                for (EventGroup g : {EventGroup::Faults, EventGroup::Connection, EventGroup::Edits})
                    if (inGroup(e.kind, g))
                        group = static_cast<int>(g);
                q.bindValue(0, e.time.toMSecsSinceEpoch());
                q.bindValue(1, e.port);
                q.bindValue(2, e.baud);
                q.bindValue(3, *e.address);
                q.bindValue(4, e.name);
                q.bindValue(5, e.kind);
                q.bindValue(6, group);
                q.bindValue(7, e.text);
                q.exec();
            }
            db.commit();
        }
        QSqlDatabase::removeDatabase("fill");
        log = std::make_unique<EventLog>(path);
    }

    QTemporaryDir folder;
    std::unique_ptr<EventLog> log;
};

// Made by the first benchmark that needs it, gone before the application.
std::unique_ptr<MillionEvents> millionEvents;

MillionEvents& million()
{
    if (!millionEvents)
        millionEvents = std::make_unique<MillionEvents>();
    return *millionEvents;
}

// The filters the log window and `vx4ctl log` offer.
EventLog::Filter filterNumber(int64_t which)
{
    EventLog::Filter f;
    const QDateTime newest = sample(MillionEvents::size - 1).time;
    switch (which) {
    case 0: // the newest thousand, unfiltered
        f.limit = 1000;
        break;
    case 1: // one amplifier's newest thousand
        f.address = 7;
        f.limit = 1000;
        break;
    case 2: // the newest thousand faults
        f.group = EventGroup::Faults;
        f.limit = 1000;
        break;
    case 3: // a kind, by its prefix
        f.kindPrefix = QStringLiteral("state.fault");
        f.limit = 1000;
        break;
    case 4: // the evening of a show a month ago, every event
        f.since = newest.addDays(-30);
        f.until = f.since.addSecs(4 * 3600);
        break;
    case 5: // one amplifier's faults of that evening
        f.since = newest.addDays(-30);
        f.until = f.since.addSecs(4 * 3600);
        f.address = 7;
        f.group = EventGroup::Faults;
        break;
    case 6: // every fault of one amplifier, a year of them
        f.address = 7;
        f.group = EventGroup::Faults;
        break;
    case 7: // the oldest events: the newest thousand before a year ago
        f.until = sample(1000).time;
        f.limit = 1000;
        break;
    }
    return f;
}

void filterMillionEvents(benchmark::State& state)
{
    EventLog& log = *million().log;
    const EventLog::Filter filter = filterNumber(state.range(0));
    qsizetype found = 0;
    for (auto _ : state)
        found = log.events(filter).size();
    state.counters["events"] = static_cast<double>(found);
}
BENCHMARK(filterMillionEvents)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

// A record into the full log of a million events (each removes the oldest).
// Last, as it changes the log the filters ran on.
void recordIntoMillionEvents(benchmark::State& state)
{
    EventLog& log = *million().log;
    qint64 n = MillionEvents::size;
    qint64 longestNs = 0;
    int overOneMs = 0;
    QElapsedTimer one;
    for (auto _ : state) {
        one.start();
        benchmark::DoNotOptimize(log.record(sample(n++)));
        const qint64 ns = one.nsecsElapsed();
        longestNs = std::max(longestNs, ns);
        overOneMs += ns > 1'000'000 ? 1 : 0;
    }
    state.counters["longest_us"] = static_cast<double>(longestNs) / 1000.0;
    state.counters["over_1ms"] = overOneMs;
}

void countMillionEvents(benchmark::State& state)
{
    EventLog& log = *million().log;
    for (auto _ : state)
        benchmark::DoNotOptimize(log.count());
}
BENCHMARK(countMillionEvents)->Unit(benchmark::kMillisecond);
BENCHMARK(recordIntoMillionEvents)->Unit(benchmark::kMicrosecond)->Iterations(5000);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    millionEvents.reset();
    return 0;
}
