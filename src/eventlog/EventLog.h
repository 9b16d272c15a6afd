#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// One thing that happened on the bus or in the program.
struct LogEvent {
    QDateTime time;             // UTC, to the millisecond
    QString port;               // the device path or port name of the bus
    int baud = 0;               // 0 where no line was open
    std::optional<int> address; // the amplifier's, where there is one
    QString name;               // the amplifier's name, where there is one
    QString kind;               // language-neutral code: "state.fault2", "connection.silent", ...
    QString text;               // in the interface language of the program that recorded it

    friend bool operator==(const LogEvent&, const LogEvent&) = default;
};

// The groups of kinds a user filters by.
enum class EventGroup { All, Faults, Connection, Edits };
// Whether a kind belongs to a group.
bool inGroup(const QString& kind, EventGroup group);

// The event log: an SQLite database beside the device list in use, written
// one committed event at a time (WAL), so that a crash, a kill or a power
// cut loses nothing already recorded. Bounded to the newest maximumEvents.
// A database that is corrupt or cannot be opened is moved aside (never
// deleted) and a new one started; logging never stops the program.
class EventLog : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 maximumEvents = 1'000'000;
    static constexpr const char* fileName = "events.sqlite";

    // "events.sqlite" in the folder of the device list at deviceListPath.
    static QString pathBeside(const QString& deviceListPath);

    // A reader (vx4ctl log) neither creates the database nor moves a broken
    // one aside: it reports it, and the program that records does the rest.
    enum class Access { Record, ReadOnly };

    explicit EventLog(const QString& path, QObject* parent = nullptr);
    EventLog(const QString& path, Access access, QObject* parent = nullptr);
    ~EventLog() override;

    const QString& path() const { return file; }
    // False when no database could be opened or started at all; events are
    // then dropped (and said once, see notice()).
    bool isOpen() const;
    // What the user is to be told once: the database was moved aside, or
    // cannot be written. Empty when all is well.
    QString notice() const { return message; }

    // Records and commits one event; its time is now when not set.
    bool record(LogEvent event);

    struct Filter {
        std::optional<int> address;
        EventGroup group = EventGroup::All;
        QString kindPrefix; // "state." and the like; empty for any
        QDateTime since;    // invalid for no bound
        QDateTime until;
        int limit = 0;      // 0 for no limit

        // Whether an event passes the filter (the limit aside): what a
        // window showing the log live asks of a new event.
        bool admits(const LogEvent& event) const;
    };
    // Newest first.
    QList<LogEvent> events(const Filter& filter) const;
    qint64 count() const;

    // The newest events kept; maximumEvents unless a test wants a smaller
    // bound.
    qint64 bound() const { return limit; }
    void setBound(qint64 events);

    // RFC 4180 text, UTF-8 with a byte-order mark, a header line; the time
    // in local time to the millisecond.
    static QByteArray csv(const QList<LogEvent>& events);
    // The events of such a text (for a round trip); nullopt for a malformed one.
    static std::optional<QList<LogEvent>> fromCsv(const QByteArray& bytes);

Q_SIGNALS:
    // A recorded event, for windows that show the log live.
    void recorded(const LogEvent& event);

private:
    struct Connection;
    bool open();
    bool openFresh(QString& error);
    void close();
    bool moveAside();
    void trim(qint64 newestId);
    void cannotWrite(const QString& reason);

    QString file;
    QString connectionName;
    QString message;
    Access access = Access::Record;
    qint64 limit = maximumEvents;
    std::unique_ptr<Connection> connection;
};

// The log the windows of this process write to; nullptr until set.
EventLog* eventLog();
void setEventLog(EventLog* log);
// Records into the process's log, when there is one. An event without a
// port is on the bus the process is using (see setBusOfEvents).
void logEvent(LogEvent event);
// The same for an event of an amplifier (address nullopt: of the bus).
void logEvent(std::optional<int> address, const QString& name, const QString& kind, const QString& text);

// The port and baud rate of the bus this process uses now, for events that
// name none; the windows set it, the log knows no serial port of its own.
struct EventBus {
    QString port;
    int baud = 0;
};
void setBusOfEvents(std::function<EventBus()> bus);
