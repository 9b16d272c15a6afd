#include "eventlog/EventLog.h"

#include "eventlog/DiskSync.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace {

// A database of a million events is a few hundred megabytes; a file far
// larger than that is no event log of ours.
constexpr qint64 largestFileBytes = qint64(4) << 30;
// Rows removed at most with one event, so that a log far over its bound (a
// smaller bound, or a file from elsewhere) shrinks without a long pause.
constexpr qint64 trimStep = 64;
// The SQLite result codes of a damaged file: "database disk image is
// malformed" and "file is not a database".
constexpr int sqliteCorrupt = 11;
constexpr int sqliteNotADatabase = 26;
// Marks the database as ours (PRAGMA application_id): "VX4L".
constexpr int applicationId = 0x5658344C;
constexpr int schemaVersion = 1;

QString uniqueConnectionName()
{
    static std::atomic<int> next{0};
    return QStringLiteral("vx4-eventlog-%1").arg(next++);
}

std::filesystem::path fsPath(const QString& path) { return std::filesystem::path(path.toStdU16String()); }

bool isDamage(const QSqlError& error)
{
    const int code = error.nativeErrorCode().toInt() & 0xFF;
    return code == sqliteCorrupt || code == sqliteNotADatabase;
}

// A null text would be bound as NULL.
QString present(const QString& text) { return text.isNull() ? QStringLiteral("") : text; }

// Whether the first bytes of a file that is there can be an event log: an
// SQLite header of no other program, or nothing yet. Looked at before SQLite
// opens it, which would delete the companion files of a broken one.
bool looksLikeOurs(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return true; // SQLite reports what is wrong
    const QByteArray header = f.read(100);
    if (header.isEmpty())
        return true;
    if (header.size() < 100 || !header.startsWith(QByteArray("SQLite format 3", 16)))
        return false;
    const quint32 id = qFromBigEndian<quint32>(header.constData() + 68);
    return id == 0 || id == quint32(applicationId);
}

// Milliseconds since the epoch; what the table stores.
qint64 storedTime(const QDateTime& time) { return time.toMSecsSinceEpoch(); }
QDateTime timeFromStored(qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC); }

// The group a kind belongs to, All for none; stored with each event so that
// a group is filtered through an index.
EventGroup groupOf(const QString& kind)
{
    const auto starts = [&kind](const char* prefix) { return kind.startsWith(QLatin1String(prefix)); };
    if (starts("state.fault") || starts("state.dcProtection") || starts("state.temperature") || starts("state.clip")
        || starts("report."))
        return EventGroup::Faults;
    if (starts("editor.")) {
        const QString rest = kind.mid(7);
        for (const char* word : {"protection", "clip", "limit", "fault"})
            if (rest.contains(QLatin1String(word), Qt::CaseInsensitive))
                return EventGroup::Faults;
    }
    if (starts("connection.") || starts("port.") || kind == u"editor.connected" || kind == u"editor.lost")
        return EventGroup::Connection;
    if (kind == u"address.changed" || kind == u"device.deleted" || kind == u"editor.factoryReset"
        || starts("preset.") || starts("slot.") || starts("power.") || starts("eq."))
        return EventGroup::Edits;
    return EventGroup::All;
}

// The first text after every text that starts with prefix.
QString pastPrefix(QString prefix)
{
    while (!prefix.isEmpty() && prefix.back().unicode() == 0xFFFF)
        prefix.chop(1);
    if (prefix.isEmpty())
        return {};
    prefix.back() = QChar(prefix.back().unicode() + 1);
    return prefix;
}

// Puts what the recording connection committed onto the disk. Each event
// is written into the write-ahead log before record() returns, which a crash
// or a kill of the program does not lose; this thread then syncs that file,
// so that a power cut loses none either, without the recording thread ever
// waiting for the disk. It moves the log into the database (a checkpoint)
// once events pause, or after many: a checkpoint beside a recording makes the
// recording wait for SQLite's locks.
class DiskFlusher {
public:
    explicit DiskFlusher(const QString& path) : path(path), worker([this] { run(); }) {}
    ~DiskFlusher()
    {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
        }
        wake.notify_one();
        worker.join();
    }
    void request()
    {
        {
            const std::lock_guard lock(mutex);
            pending = true;
        }
        wake.notify_one();
    }

private:
    static constexpr auto pause = std::chrono::milliseconds(1000);
    static constexpr int mostBetweenCheckpoints = 500;

    void run()
    {
        const QString name = uniqueConnectionName();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=1000"));
            db.open();
            const auto checkpoint = [&db] {
                QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
            };
            int unchecked = 0; // events synced since the last checkpoint
            std::unique_lock lock(mutex);
            while (!stopping) {
                if (unchecked > 0)
                    wake.wait_for(lock, pause, [this] { return pending || stopping; });
                else
                    wake.wait(lock, [this] { return pending || stopping; });
                const bool synced = pending;
                pending = false;
                lock.unlock();
                if (synced) {
                    DiskSync::syncFile(path + QStringLiteral("-wal"));
                    ++unchecked;
                }
                if (unchecked >= mostBetweenCheckpoints || (!synced && unchecked > 0)) {
                    checkpoint();
                    unchecked = 0;
                }
                lock.lock();
            }
            const bool left = pending;
            lock.unlock();
            if (unchecked > 0 || left)
                checkpoint();
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    const QString path;
    std::mutex mutex;
    std::condition_variable wake;
    bool pending = false;
    bool stopping = false;
    std::thread worker;
};

} // namespace

struct EventLog::Connection {
    QSqlDatabase db;
    QSqlQuery insert;
    QSqlQuery trim;
    qint64 oldestId = 0;
    std::unique_ptr<DiskFlusher> flusher;
};

bool inGroup(const QString& kind, EventGroup group)
{
    return group == EventGroup::All || groupOf(kind) == group;
}

bool EventLog::Filter::admits(const LogEvent& event) const
{
    if (address && event.address != address)
        return false;
    if (!inGroup(event.kind, group) || !event.kind.startsWith(kindPrefix))
        return false;
    if (since.isValid() && event.time < since)
        return false;
    return !until.isValid() || event.time <= until;
}

QString EventLog::pathBeside(const QString& deviceListPath)
{
    return QFileInfo(deviceListPath).absoluteDir().filePath(QLatin1String(fileName));
}

EventLog::EventLog(const QString& path, QObject* parent) : EventLog(path, Access::Record, parent) {}

EventLog::EventLog(const QString& path, Access access, QObject* parent)
    : QObject(parent), file(path), connectionName(uniqueConnectionName()), access(access)
{
    open();
}

EventLog::~EventLog()
{
    close();
    if (eventLog() == this)
        setEventLog(nullptr);
}

bool EventLog::isOpen() const { return connection != nullptr; }

void EventLog::setBound(qint64 events) { limit = std::max<qint64>(1, events); }

void EventLog::cannotWrite(const QString& reason)
{
    if (message.isEmpty())
        message = tr("The event log %1 cannot be written (%2); events are not recorded.")
                      .arg(QDir::toNativeSeparators(file), reason);
}

void EventLog::close()
{
    if (!connection)
        return;
    // The flusher's last checkpoint, then the queries, then the connection.
    connection->flusher.reset();
    connection->insert = QSqlQuery();
    connection->trim = QSqlQuery();
    connection->db.close();
    connection.reset();
    QSqlDatabase::removeDatabase(connectionName);
}

bool EventLog::open()
{
    std::error_code error;
    const auto status = std::filesystem::status(fsPath(file), error);
    const bool exists = !error && std::filesystem::exists(status);
    if (exists) {
        // Never handed to SQLite: a named pipe would block, a device never
        // ends, a folder is none of ours.
        const bool regular = std::filesystem::is_regular_file(status);
        const bool sensible = regular && std::filesystem::file_size(fsPath(file), error) <= quint64(largestFileBytes);
        if (regular && sensible && !looksLikeOurs(file)) {
            if (access == Access::ReadOnly) {
                message = tr("The event log %1 cannot be read: %2.")
                              .arg(QDir::toNativeSeparators(file), tr("it is no event log"));
                return false;
            }
            if (!moveAside())
                return false;
        } else if (!regular || !sensible) {
            if (access == Access::ReadOnly) {
                message = tr("The event log %1 cannot be read: %2.")
                              .arg(QDir::toNativeSeparators(file),
                                   regular ? tr("it is larger than %1 bytes").arg(largestFileBytes)
                                           : tr("it is no regular file"));
                return false;
            }
            if (!moveAside())
                return false;
        }
    } else if (access == Access::ReadOnly) {
        message = tr("There is no event log %1.").arg(QDir::toNativeSeparators(file));
        return false;
    } else {
        QDir().mkpath(QFileInfo(file).absolutePath());
    }
    QString reason;
    if (openFresh(reason))
        return true;
    if (access == Access::ReadOnly) {
        message = tr("The event log %1 cannot be read: %2.").arg(QDir::toNativeSeparators(file), reason);
        return false;
    }
    // A file that is there but cannot be used is kept for whoever wants to
    // look into it, and a new log started in its place.
    if (QFileInfo::exists(file) && moveAside() && openFresh(reason))
        return true;
    cannotWrite(reason);
    return false;
}

bool EventLog::openFresh(QString& error)
{
    auto c = std::make_unique<Connection>();
    c->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    c->db.setDatabaseName(file);
    // Another program (vx4ctl and the windows) may be writing the same log;
    // its transactions are a single row each.
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=200");
    if (access == Access::ReadOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    c->db.setConnectOptions(options);
    QSqlQuery q;
    const auto fail = [&](const QSqlError& e) {
        error = e.text().trimmed();
        if (error.isEmpty())
            error = tr("unknown error");
        q = QSqlQuery();
        c->insert = QSqlQuery();
        c->trim = QSqlQuery();
        c->db.close();
        c->db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        return false;
    };
    if (!c->db.open())
        return fail(c->db.lastError());
    q = QSqlQuery(c->db);
    const auto exec = [&q](const QString& sql) { return q.exec(sql); };
    const auto value = [&q](const QString& sql) -> QVariant {
        return q.exec(sql) && q.next() ? q.value(0) : QVariant();
    };
    // The first statement reads the header: garbage fails here.
    const QVariant id = value(QStringLiteral("PRAGMA application_id"));
    if (!id.isValid())
        return fail(q.lastError());
    const qint64 foundId = id.toLongLong();
    if (foundId != 0 && foundId != applicationId)
        return fail(QSqlError(tr("it is a database of another program")));
    if (access == Access::Record) {
        // Each event is its own transaction, written into the log before
        // record() returns; the flusher syncs it (see DiskFlusher).
        if (!exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !exec(QStringLiteral("PRAGMA synchronous=NORMAL"))
            || !exec(QStringLiteral("PRAGMA wal_autocheckpoint=0")))
            return fail(q.lastError());
        const QStringList schema{
            QStringLiteral("CREATE TABLE IF NOT EXISTS events ("
                           "id INTEGER PRIMARY KEY, time INTEGER NOT NULL, port TEXT NOT NULL, "
                           "baud INTEGER NOT NULL, address INTEGER, name TEXT NOT NULL, "
                           "kind TEXT NOT NULL, grp INTEGER NOT NULL, text TEXT NOT NULL)"),
            // Every filter takes the newest first: each index ends in time.
            QStringLiteral("CREATE INDEX IF NOT EXISTS events_time ON events(time)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS events_address ON events(address, time)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS events_group ON events(grp, time)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS events_address_group ON events(address, grp, time)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS events_kind ON events(kind, time)"),
            QStringLiteral("PRAGMA application_id=%1").arg(applicationId),
            QStringLiteral("PRAGMA user_version=%1").arg(schemaVersion),
        };
        for (const QString& sql : schema)
            if (!exec(sql))
                return fail(q.lastError());
    }
    // A table of another shape, or pages that cannot be read, show here.
    if (!exec(QStringLiteral("SELECT id, time, port, baud, address, name, kind, grp, text FROM events "
                             "ORDER BY id DESC LIMIT 1")))
        return fail(q.lastError());
    const QVariant oldest = value(QStringLiteral("SELECT min(id) FROM events"));
    if (!oldest.isValid() && q.lastError().isValid())
        return fail(q.lastError());
    c->oldestId = oldest.toLongLong();
    if (access == Access::Record) {
        c->insert = QSqlQuery(c->db);
        c->trim = QSqlQuery(c->db);
        if (!c->insert.prepare(QStringLiteral("INSERT INTO events (time, port, baud, address, name, kind, grp, text) "
                                              "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"))
            || !c->trim.prepare(QStringLiteral("DELETE FROM events WHERE id < ?")))
            return fail(c->insert.lastError().isValid() ? c->insert.lastError() : c->trim.lastError());
        c->flusher = std::make_unique<DiskFlusher>(file);
    }
    q = QSqlQuery();
    connection = std::move(c);
    return true;
}

bool EventLog::moveAside()
{
    close();
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString target = file + QStringLiteral(".broken-") + stamp;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = file + QStringLiteral(".broken-") + stamp + QStringLiteral("-%1").arg(n);
    // A plain rename: never a copy, which would read a pipe or a device.
    std::error_code error;
    std::filesystem::rename(fsPath(file), fsPath(target), error);
    if (error) {
        cannotWrite(QString::fromLocal8Bit(error.message().c_str()));
        return false;
    }
    for (const char* companion : {"-wal", "-shm"}) {
        const QString from = file + QLatin1String(companion);
        if (QFileInfo::exists(from)) {
            std::error_code ignored;
            std::filesystem::rename(fsPath(from), fsPath(target + QLatin1String(companion)), ignored);
        }
    }
    if (message.isEmpty())
        message = tr("The event log %1 could not be read; it was moved aside to %2 and a new one was started.")
                      .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(target));
    return true;
}

void EventLog::trim(qint64 newestId)
{
    Connection& c = *connection;
    const qint64 keepFrom = newestId - limit + 1;
    if (c.oldestId >= keepFrom)
        return;
    const qint64 below = std::min(keepFrom, c.oldestId + trimStep);
    c.trim.bindValue(0, below);
    if (!c.trim.exec())
        return;
    if (c.trim.numRowsAffected() > 0) {
        c.oldestId = below;
        return;
    }
    // Another program trimmed meanwhile: start from what is there.
    QSqlQuery oldest(c.db);
    if (oldest.exec(QStringLiteral("SELECT min(id) FROM events")) && oldest.next())
        c.oldestId = oldest.value(0).toLongLong();
}

bool EventLog::record(LogEvent event)
{
    event.time = event.time.isValid() ? event.time.toUTC() : QDateTime::currentDateTimeUtc();
    if (access == Access::ReadOnly)
        return false;
    for (int attempt = 0; attempt < 2 && connection; ++attempt) {
        Connection& c = *connection;
        QSqlError error;
        if (!c.db.transaction()) {
            error = c.db.lastError();
        } else {
            c.insert.bindValue(0, storedTime(event.time));
            c.insert.bindValue(1, present(event.port));
            c.insert.bindValue(2, event.baud);
            c.insert.bindValue(3, event.address ? QVariant(*event.address) : QVariant(QMetaType::fromType<int>()));
            c.insert.bindValue(4, present(event.name));
            c.insert.bindValue(5, present(event.kind));
            c.insert.bindValue(6, static_cast<int>(groupOf(event.kind)));
            c.insert.bindValue(7, present(event.text));
            if (c.insert.exec()) {
                trim(c.insert.lastInsertId().toLongLong());
                if (c.db.commit()) {
                    c.flusher->request();
                    Q_EMIT recorded(event);
                    return true;
                }
                error = c.db.lastError();
            } else {
                error = c.insert.lastError();
            }
            c.db.rollback();
        }
        if (!isDamage(error) || attempt > 0) {
            cannotWrite(error.text().trimmed());
            return false;
        }
        // Damage found while writing: the file goes aside like one found at
        // the start, and the event goes into the new log.
        QString reason;
        if (!moveAside() || !openFresh(reason)) {
            cannotWrite(reason);
            return false;
        }
    }
    return false;
}

namespace {

// The kinds in the log that start with prefix, found by one index seek each;
// nullopt when there are more than `most`.
std::optional<QStringList> kindsStartingWith(const QSqlDatabase& db, const QString& prefix, qsizetype most)
{
    QStringList kinds;
    const QString past = pastPrefix(prefix);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT min(kind) FROM events WHERE kind >= ?"));
    QString from = prefix;
    while (true) {
        q.bindValue(0, from);
        if (!q.exec() || !q.next() || q.isNull(0))
            break;
        const QString kind = q.value(0).toString();
        if (!kind.startsWith(prefix))
            break;
        if (kinds.size() == most)
            return std::nullopt;
        kinds << kind;
        // Next the least kind above this one (kinds hold no NUL).
        from = kind + QChar(0x1);
    }
    return kinds;
}

} // namespace

QList<LogEvent> EventLog::events(const Filter& filter) const
{
    QList<LogEvent> found;
    if (!connection)
        return found;
    QStringList conditions;
    QVariantList values;
    if (filter.since.isValid()) {
        conditions << QStringLiteral("time >= ?");
        values << storedTime(filter.since);
    }
    if (filter.until.isValid()) {
        conditions << QStringLiteral("time <= ?");
        values << storedTime(filter.until);
    }
    if (filter.address) {
        conditions << QStringLiteral("address = ?");
        values << *filter.address;
    }
    if (filter.group != EventGroup::All) {
        conditions << QStringLiteral("grp = ?");
        values << static_cast<int>(filter.group);
    }
    const QString columns = QStringLiteral("SELECT time, port, baud, address, name, kind, text, id FROM events");
    const QString order = QStringLiteral(" ORDER BY time DESC, id DESC");
    const QString limit = filter.limit > 0 ? QStringLiteral(" LIMIT %1").arg(filter.limit) : QString();
    const auto where = [](const QStringList& terms) {
        return terms.isEmpty() ? QString() : QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
    };
    QString sql;
    std::optional<QStringList> kinds;
    if (!filter.kindPrefix.isEmpty() && filter.limit > 0)
        kinds = kindsStartingWith(connection->db, filter.kindPrefix, 16);
    if (kinds) {
        // The newest of each kind through the kind index, then the newest of
        // those: sorting every event of a common kind would take far longer.
        if (kinds->isEmpty())
            return found;
        QStringList parts;
        QVariantList all;
        for (const QString& kind : *kinds) {
            parts << QStringLiteral("SELECT * FROM (") + columns + where(QStringList(conditions) << QStringLiteral("kind = ?"))
                         + order + limit + QLatin1Char(')');
            all << values << kind;
        }
        sql = parts.join(QStringLiteral(" UNION ALL ")) + QStringLiteral(" ORDER BY 1 DESC, 8 DESC") + limit;
        values = all;
    } else {
        if (!filter.kindPrefix.isEmpty()) {
            // A range, which the kind index serves; LIKE and GLOB would not.
            conditions << QStringLiteral("kind >= ?");
            values << filter.kindPrefix;
            if (const QString past = pastPrefix(filter.kindPrefix); !past.isEmpty()) {
                conditions << QStringLiteral("kind < ?");
                values << past;
            }
        }
        sql = columns + where(conditions) + order + limit;
    }
    QSqlQuery q(connection->db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        return found;
    for (qsizetype i = 0; i < values.size(); ++i)
        q.bindValue(static_cast<int>(i), values.at(i));
    if (!q.exec())
        return found;
    while (q.next()) {
        LogEvent e;
        e.time = timeFromStored(q.value(0).toLongLong());
        e.port = q.value(1).toString();
        e.baud = q.value(2).toInt();
        if (!q.isNull(3))
            e.address = q.value(3).toInt();
        e.name = q.value(4).toString();
        e.kind = q.value(5).toString();
        e.text = q.value(6).toString();
        found.append(std::move(e));
    }
    return found;
}

qint64 EventLog::count() const
{
    if (!connection)
        return 0;
    QSqlQuery q(connection->db);
    return q.exec(QStringLiteral("SELECT count(*) FROM events")) && q.next() ? q.value(0).toLongLong() : 0;
}

namespace {

const QByteArray csvHeader = QByteArrayLiteral("time,port,baud,address,name,kind,text");
const QByteArray byteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

QByteArray csvField(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r')) {
        bytes.replace('"', QByteArrayLiteral("\"\""));
        return '"' + bytes + '"';
    }
    return bytes;
}

// Local time to the millisecond with its offset, so that the hour a clock
// change repeats is told apart.
QString localTimeText(const QDateTime& time)
{
    const QDateTime local = time.toLocalTime();
    const int offset = local.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz"))
        + QStringLiteral("%1%2:%3")
              .arg(offset < 0 ? QStringLiteral("-") : QStringLiteral("+"))
              .arg(minutes / 60, 2, 10, QLatin1Char('0'))
              .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// The records of RFC 4180 text; nullopt when a quote is left open or stray.
std::optional<QList<QList<QByteArray>>> csvRecords(const QByteArray& text)
{
    QList<QList<QByteArray>> records;
    QList<QByteArray> record;
    QByteArray field;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the field began with a quote
    const auto endField = [&] {
        record.append(field);
        field.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char ch = text.at(i);
        if (quoted) {
            if (ch != '"') {
                field += ch;
            } else if (i + 1 < text.size() && text.at(i + 1) == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        if (ch == '"') {
            if (!field.isEmpty() || wasQuoted)
                return std::nullopt;
            quoted = wasQuoted = true;
        } else if (ch == ',') {
            endField();
        } else if (ch == '\r' || ch == '\n') {
            if (ch == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n')
                ++i;
            endField();
            records.append(record);
            record.clear();
        } else if (wasQuoted) {
            return std::nullopt; // text after a closing quote
        } else {
            field += ch;
        }
    }
    if (quoted)
        return std::nullopt;
    if (!field.isEmpty() || wasQuoted || !record.isEmpty()) {
        endField();
        records.append(record);
    }
    return records;
}

} // namespace

QByteArray EventLog::csv(const QList<LogEvent>& events)
{
    QByteArray text = byteOrderMark + csvHeader + "\r\n";
    for (const LogEvent& e : events) {
        const QStringList fields{localTimeText(e.time),
                                 e.port,
                                 QString::number(e.baud),
                                 e.address ? QString::number(*e.address) : QString(),
                                 e.name,
                                 e.kind,
                                 e.text};
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                text += ',';
            text += csvField(fields.at(i));
        }
        text += "\r\n";
    }
    return text;
}

std::optional<QList<LogEvent>> EventLog::fromCsv(const QByteArray& bytes)
{
    const QByteArray text = bytes.startsWith(byteOrderMark) ? bytes.mid(byteOrderMark.size()) : bytes;
    const auto records = csvRecords(text);
    if (!records || records->isEmpty() || records->first().join(',') != csvHeader)
        return std::nullopt;
    QList<LogEvent> events;
    for (qsizetype r = 1; r < records->size(); ++r) {
        const QList<QByteArray>& f = records->at(r);
        if (f.size() != 7)
            return std::nullopt;
        LogEvent e;
        e.time = QDateTime::fromString(QString::fromUtf8(f[0]), Qt::ISODateWithMs).toUTC();
        bool baudOk = false;
        e.baud = f[2].toInt(&baudOk);
        bool addressOk = true;
        if (!f[3].isEmpty())
            e.address = f[3].toInt(&addressOk);
        if (!e.time.isValid() || !baudOk || !addressOk)
            return std::nullopt;
        e.port = QString::fromUtf8(f[1]);
        e.name = QString::fromUtf8(f[4]);
        e.kind = QString::fromUtf8(f[5]);
        e.text = QString::fromUtf8(f[6]);
        events.append(std::move(e));
    }
    return events;
}

namespace {
EventLog* processLog = nullptr;
std::function<EventBus()> busOfEvents;
} // namespace

EventLog* eventLog() { return processLog; }

void setEventLog(EventLog* log) { processLog = log; }

void logEvent(LogEvent event)
{
    if (!processLog)
        return;
    if (event.port.isEmpty() && busOfEvents) {
        const EventBus bus = busOfEvents();
        event.port = bus.port;
        event.baud = bus.baud;
    }
    processLog->record(std::move(event));
}

void logEvent(std::optional<int> address, const QString& name, const QString& kind, const QString& text)
{
    LogEvent event;
    event.address = address;
    event.name = name;
    event.kind = kind;
    event.text = text;
    logEvent(std::move(event));
}

void setBusOfEvents(std::function<EventBus()> bus) { busOfEvents = std::move(bus); }
