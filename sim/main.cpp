// vx4-sim: a bus of simulated amplifiers served on a pseudo-terminal, so the
// editor can be tried, demonstrated and tested without hardware.

#include "sim/LineSpeed.h"
#include "sim/SimBus.h"
#include "sim/SimConsole.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) { stopRequested = 1; }

struct Options {
    QList<int> addresses;
    int baud = 19200;
    int channels = 4;
    int gainTop = 41;
    int latencyMs = 2;
    QString linkPath;
    bool wireTime = false;
    bool verbose = false;
};

[[noreturn]] void usageError(const QString& text)
{
    std::fprintf(stderr, "vx4-sim: %s\n", qPrintable(text));
    std::exit(2);
}

Options parseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves simulated VX-4 amplifiers on a pseudo-terminal and prints its path.\n"
                       "Commands on standard input stage faults; type \"help\"."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("amps"), QStringLiteral("Bus addresses of the amplifiers (1-254), comma-separated."),
         QStringLiteral("list"), QStringLiteral("1")},
        {QStringLiteral("baud"), QStringLiteral("Baud rate the amplifiers speak."), QStringLiteral("rate"),
         QStringLiteral("19200")},
        {QStringLiteral("channels"), QStringLiteral("Channels of each amplifier: 2 or 4."), QStringLiteral("n"),
         QStringLiteral("4")},
        {QStringLiteral("gain-top"), QStringLiteral("Upper end of the gain range in dB."), QStringLiteral("db"),
         QStringLiteral("41")},
        {QStringLiteral("latency"), QStringLiteral("Milliseconds before an answer starts."), QStringLiteral("ms"),
         QStringLiteral("2")},
        {QStringLiteral("link"), QStringLiteral("Also make a symbolic link to the terminal at this path."),
         QStringLiteral("path")},
        {QStringLiteral("wire-time"), QStringLiteral("Deliver answers at the pace of the baud rate.")},
        {QStringLiteral("verbose"), QStringLiteral("Log every frame in hex on standard error.")},
    });
    parser.process(app);

    auto integer = [&](const QString& name, int low, int high) {
        bool ok = false;
        const int v = parser.value(name).toInt(&ok);
        if (!ok || v < low || v > high)
            usageError(QStringLiteral("--%1 wants a number from %2 to %3").arg(name).arg(low).arg(high));
        return v;
    };
    Options o;
    for (const QString& part : parser.value(QStringLiteral("amps")).split(QLatin1Char(','))) {
        bool ok = false;
        const int a = part.trimmed().toInt(&ok);
        if (!ok || a < 1 || a > 254)
            usageError(QStringLiteral("--amps wants addresses from 1 to 254, not \"%1\"").arg(part));
        o.addresses << a;
    }
    o.baud = integer(QStringLiteral("baud"), 50, 4000000);
    o.channels = integer(QStringLiteral("channels"), 2, 4);
    if (o.channels == 3)
        usageError(QStringLiteral("--channels is 2 or 4"));
    o.gainTop = integer(QStringLiteral("gain-top"), -100, 127);
    o.latencyMs = integer(QStringLiteral("latency"), 0, 10000);
    o.linkPath = parser.value(QStringLiteral("link"));
    o.wireTime = parser.isSet(QStringLiteral("wire-time"));
    o.verbose = parser.isSet(QStringLiteral("verbose"));
    return o;
}

qint64 monotonicMs()
{
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    return duration_cast<milliseconds>(steady_clock::now() - start).count();
}

void logLine(bool verbose, const char* what, const QByteArray& bytes, const QString& note = {})
{
    if (!verbose)
        return;
    std::fprintf(stderr, "[%9.3f] %s %s%s%s\n", static_cast<double>(monotonicMs()) / 1000.0, what,
                 bytes.toHex(' ').toUpper().constData(), note.isEmpty() ? "" : "  ", qPrintable(note));
}

[[noreturn]] void systemError(const char* what)
{
    std::fprintf(stderr, "vx4-sim: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

// The pseudo-terminal pair. The simulator holds a slave descriptor of its
// own for its whole life: without it the master reads EIO and polls as hung
// up whenever no client has the slave open, and the line settings a client
// made would be reset at its last close.
struct Pty {
    int master = -1;
    int heldSlave = -1;
    QByteArray slavePath;

    Pty()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            systemError("cannot create a pseudo-terminal");
        const char* name = ::ptsname(master);
        if (!name)
            systemError("ptsname");
        slavePath = name;
        heldSlave = ::open(name, O_RDWR | O_NOCTTY);
        if (heldSlave < 0)
            systemError("cannot open the terminal");
        termios t{};
        if (::tcgetattr(heldSlave, &t) == 0) {
            ::cfmakeraw(&t);
            ::cfsetspeed(&t, B9600); // a serial port's speed before any settings
            ::tcsetattr(heldSlave, TCSANOW, &t);
        }
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    }
    ~Pty()
    {
        ::close(heldSlave);
        ::close(master);
    }
};

// Makes PATH a symbolic link to the terminal; replaces an old link, never a file.
void makeLink(const QString& path, const QByteArray& target)
{
    const QByteArray p = path.toLocal8Bit();
    struct stat st {};
    if (::lstat(p.constData(), &st) == 0) {
        if (!S_ISLNK(st.st_mode))
            usageError(QStringLiteral("--link %1 exists and is no symbolic link").arg(path));
        ::unlink(p.constData());
    }
    if (::symlink(target.constData(), p.constData()) != 0)
        systemError("cannot make the link");
}

void removeLink(const QString& path, const QByteArray& target)
{
    const QByteArray p = path.toLocal8Bit();
    char buffer[4096];
    const ssize_t n = ::readlink(p.constData(), buffer, sizeof buffer);
    // Only our own link: another simulator may have taken the path since.
    if (n > 0 && QByteArray(buffer, static_cast<qsizetype>(n)) == target)
        ::unlink(p.constData());
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vx4-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VX4_VERSION));
    const Options options = parseOptions(app);

    SimBus bus(options.baud);
    bus.setLatencyMs(options.latencyMs);
    bus.setWireTime(options.wireTime);
    for (int a : options.addresses)
        bus.addAmplifier(static_cast<std::uint8_t>(a), options.channels, options.gainTop);
    QObject::connect(&bus, &SimBus::frameHeard,
                     [&](const QByteArray& frame) { logLine(options.verbose, "PC  ", frame); });

    // SIGINT and SIGTERM are taken only inside ppoll, so none is lost between
    // the check of the flag and the wait.
    sigset_t stopSignals;
    sigset_t waitMask;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    Pty pty;
    if (!options.linkPath.isEmpty())
        makeLink(options.linkPath, pty.slavePath);
    std::printf("%s\n", pty.slavePath.constData());
    std::fflush(stdout);
    if (options.verbose)
        std::fprintf(stderr, "vx4-sim: amplifiers %s at %d baud on %s\n",
                     qPrintable(QStringList([&] {
                         QStringList l;
                         for (int a : options.addresses)
                             l << QString::number(a);
                         return l;
                     }()).join(QLatin1Char(','))),
                     options.baud, pty.slavePath.constData());

    QByteArray toLine;    // answers due but not yet taken by the terminal
    QByteArray fromStdin; // a command line in the making
    QByteArray answered;  // for the log
    bool stdinOpen = true;
    constexpr qsizetype maxBacklog = 1 << 16;

    while (!stopRequested) {
        const qint64 now = monotonicMs();
        const QByteArray due = bus.takeDue(now);
        toLine += due;
        // What reached the PC, after collisions, logged once the line is quiet.
        answered += due;
        if (!answered.isEmpty() && !bus.timeWhenDue(1)) {
            logLine(options.verbose, "AMP ", answered);
            answered.clear();
        }
        if (toLine.size() > maxBacklog) // nobody reads the terminal
            toLine = toLine.right(maxBacklog);
        while (!toLine.isEmpty()) {
            const ssize_t n = ::write(pty.master, toLine.constData(), static_cast<size_t>(toLine.size()));
            if (n <= 0)
                break;
            toLine.remove(0, n);
        }

        pollfd fds[2] = {{pty.master, static_cast<short>(POLLIN | (toLine.isEmpty() ? 0 : POLLOUT)), 0},
                         {STDIN_FILENO, POLLIN, 0}};
        timespec timeout{};
        timespec* wait = nullptr;
        if (const auto due = bus.timeWhenDue(1); due && toLine.isEmpty()) {
            const qint64 ms = std::max<qint64>(0, *due - now);
            timeout.tv_sec = static_cast<time_t>(ms / 1000);
            timeout.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
            wait = &timeout;
        }
        const int ready = ::ppoll(fds, stdinOpen ? 2 : 1, wait, &waitMask);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            systemError("poll");
        }

        if (fds[0].revents & POLLIN) {
            char buffer[4096];
            const ssize_t n = ::read(pty.master, buffer, sizeof buffer);
            if (n > 0) {
                const QByteArray bytes(buffer, static_cast<qsizetype>(n));
                const int speed = ptyLineSpeed(pty.master);
                if (speed != bus.baudRate())
                    logLine(options.verbose, "PC  ", bytes,
                            QStringLiteral("(at %1 baud: not heard)").arg(speed));
                bus.write(bytes, speed, monotonicMs());
            }
        }
        if (stdinOpen && (fds[1].revents & (POLLIN | POLLHUP))) {
            char buffer[1024];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) {
                stdinOpen = false; // no console; the bus goes on
            } else {
                fromStdin.append(buffer, static_cast<qsizetype>(n));
                for (qsizetype end; (end = fromStdin.indexOf('\n')) >= 0;) {
                    const QString line = QString::fromLocal8Bit(fromStdin.left(end));
                    fromStdin.remove(0, end + 1);
                    const QString reply = runSimCommand(bus, line, monotonicMs());
                    if (!reply.isEmpty()) {
                        std::printf("%s\n", qPrintable(reply));
                        std::fflush(stdout);
                    }
                }
            }
        }
    }

    if (!options.linkPath.isEmpty())
        removeLink(options.linkPath, pty.slavePath);
    if (options.verbose)
        std::fprintf(stderr, "vx4-sim: stopped\n");
    return 0;
}
