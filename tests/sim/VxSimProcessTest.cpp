// A few real-time checks of vx4-sim on its pseudo-terminal.

#include "SimHex.h"

#include "protocol/Commands.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct Simulator {
    QProcess process;
    QString path;

    explicit Simulator(const QStringList& arguments)
    {
        process.setProgram(QStringLiteral(VX4_SIM_PATH));
        process.setArguments(arguments);
        process.start();
        if (process.waitForStarted(2000) && process.waitForReadyRead(2000))
            path = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~Simulator()
    {
        process.terminate();
        process.waitForFinished(2000);
    }
};

// The slave opened with plain termios, raw, at a standard speed.
struct TermiosPort {
    int fd = -1;
    TermiosPort(const QString& path, speed_t speed)
    {
        fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios t{};
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::cfsetspeed(&t, speed);
        ::tcsetattr(fd, TCSANOW, &t);
    }
    ~TermiosPort() { ::close(fd); }

    // Everything that arrives within ms.
    QByteArray exchange(const QByteArray& request, int ms)
    {
        EXPECT_EQ(::write(fd, request.constData(), static_cast<size_t>(request.size())), request.size());
        QElapsedTimer timer;
        timer.start();
        QByteArray answer;
        for (qint64 left = ms; left > 0; left = ms - timer.elapsed()) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) > 0) {
                char buffer[2048];
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n > 0)
                    answer.append(buffer, static_cast<qsizetype>(n));
            }
        }
        return answer;
    }
};

TEST(VxSimProcess, AnswersAtItsBaudRateOnlyAndSurvivesClients)
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("amps"));
    Simulator sim({QStringLiteral("--amps"), QStringLiteral("1,2,7"), QStringLiteral("--baud"),
                   QStringLiteral("19200"), QStringLiteral("--link"), link});
    ASSERT_TRUE(sim.path.startsWith(QLatin1String("/dev/"))) << sim.path.toStdString();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), sim.path);

    for (int cycle = 0; cycle < 2; ++cycle) { // a client closing the terminal ends nothing
        TermiosPort port(link, B19200);
        EXPECT_EQ(spaced(port.exchange(Commands::portProbe(1), 150)), spaced(hex("55 06 01 02 00 03 00 0C")));
    }
    {
        TermiosPort port(sim.path, B38400);
        EXPECT_TRUE(port.exchange(Commands::portProbe(1), 150).isEmpty());
    }
    sim.process.terminate();
    ASSERT_TRUE(sim.process.waitForFinished(2000));
    EXPECT_EQ(sim.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.process.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(link) || QFileInfo(link).isSymLink());
}

TEST(VxSimProcess, RatesWithoutATermiosConstantAndWireTime)
{
    // 14400 and 56000 have no Bxxx constant; a serial port sets them as a
    // custom rate, which the simulator still reads.
    Simulator sim({QStringLiteral("--amps"), QStringLiteral("3"), QStringLiteral("--baud"),
                   QStringLiteral("14400"), QStringLiteral("--wire-time")});
    ASSERT_FALSE(sim.path.isEmpty());
    QSerialPort port(sim.path);
    ASSERT_TRUE(port.open(QIODevice::ReadWrite));
    ASSERT_TRUE(port.setBaudRate(56000));
    port.write(Commands::portProbe(3));
    port.waitForBytesWritten(100);
    EXPECT_FALSE(port.waitForReadyRead(150));

    ASSERT_TRUE(port.setBaudRate(14400));
    port.readAll();
    QElapsedTimer timer;
    timer.start();
    port.write(Commands::fullStateRequest(3));
    QByteArray reply;
    while (reply.size() < 597 && timer.elapsed() < 900 && port.waitForReadyRead(static_cast<int>(900 - timer.elapsed())))
        reply += port.readAll();
    const qint64 took = timer.elapsed();
    ASSERT_EQ(reply.size(), 597);
    EXPECT_EQ(at(reply, 3), 3);
    EXPECT_GE(took, 380); // 597 bytes of 10 bits at 14400 baud are 415 ms
    EXPECT_LT(took, 900);
}

TEST(VxSimProcess, RefusesBadOptions)
{
    for (const QStringList& args : {QStringList{QStringLiteral("--amps"), QStringLiteral("0")},
                                    QStringList{QStringLiteral("--channels"), QStringLiteral("3")},
                                    QStringList{QStringLiteral("--baud"), QStringLiteral("fast")}}) {
        QProcess p;
        p.start(QStringLiteral(VX4_SIM_PATH), args);
        ASSERT_TRUE(p.waitForFinished(2000));
        EXPECT_EQ(p.exitCode(), 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    }
}

} // namespace
