// Real-time tests of CMscomm1 over pseudo-terminals; each takes a few tens
// of milliseconds.
#include "RootPowers.h"
#include "app/Translations.h"
#include "app/UiLanguage.h"
#include "clock/WaitClock.h"
#include "serial/CMscomm1.h"
#include "serial/PortRegistry.h"
#include "serial/SerialError.h"
#include "serial/SerialPorts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <cstring>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <asm/termbits.h>
#include <fcntl.h>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "serial_pty_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// The far end of a port: the master side of a pseudo-terminal.
class Pty {
public:
    Pty()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0)
            slave = QString::fromLocal8Bit(::ptsname(master));
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return master >= 0 && !slave.isEmpty(); }
    const QString& slavePath() const { return slave; }
    void closeMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    void send(const QByteArray& bytes) const { ASSERT_EQ(::write(master, bytes.constData(), bytes.size()), bytes.size()); }
    // Reads until count bytes came or timeoutMs passed.
    QByteArray take(int count, int timeoutMs = 500) const
    {
        QByteArray bytes;
        QElapsedTimer elapsed;
        elapsed.start();
        while (bytes.size() < count && elapsed.elapsed() < timeoutMs) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
                char buffer[4096];
                const auto n = ::read(master, buffer, sizeof buffer);
                if (n > 0)
                    bytes.append(buffer, n);
            }
        }
        return bytes;
    }
    // The line speed as the far end sees it.
    unsigned lineSpeed() const
    {
        struct termios2 t {};
        return ::ioctl(master, TCGETS2, &t) == 0 ? t.c_ospeed : 0;
    }

private:
    int master = -1;
    QString slave;
};

void spin(int ms)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Runs the event loop until the condition holds or the deadline passes;
// returns the condition. A loaded machine may be slow, never wrong.
bool spinUntil(const std::function<bool()>& condition, int deadlineMs = 2000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition() && elapsed.elapsed() < deadlineMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return condition();
}

std::string what(const SerialError& e)
{
    return e.text().toStdString();
}

class PtyLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        application();
        ASSERT_TRUE(pty.ok());
        qputenv("VX4_EXTRA_PORTS", pty.slavePath().toLocal8Bit());
        number = listedNumber(pty.slavePath());
        ASSERT_GT(number, 0) << "pty missing from the port list";
    }
    void TearDown() override { qunsetenv("VX4_EXTRA_PORTS"); }

    // The number the port list shows for path, 0 when it is not listed.
    static int listedNumber(const QString& path)
    {
        QList<SSerInfo> list;
        ListSerialPorts(list);
        for (const SSerInfo& info : list)
            if (info.devicePath == path)
                return PortNumberFromName(info.displayName);
        return 0;
    }

    Pty pty;
    int number = 0;
    CMscomm1 link;
};

TEST_F(PtyLinkTest, BytesTravelBothWays)
{
    link.open(number, "19200,n,8,1");
    ASSERT_TRUE(link.isOpen());
    EXPECT_EQ(link.portNumber(), number);
    EXPECT_EQ(link.devicePath(), pty.slavePath());
    link.write(QByteArray::fromHex("550600020002000a"));
    EXPECT_EQ(pty.take(8).toHex(), "550600020002000a");

    pty.send(QByteArray::fromHex("550600020002"));
    QByteArray got;
    spinUntil([&] {
        got += link.readAll();
        return got.size() >= 6;
    });
    EXPECT_EQ(got.toHex(), "550600020002");
    EXPECT_TRUE(link.readAll().isEmpty());
}

TEST_F(PtyLinkTest, ReadAllHandsOutAtMostTheReadLimit)
{
    link.open(number, "115200,n,8,1");
    QByteArray sent(1500, '\0');
    for (int i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<char>(i);
    pty.send(sent);
    // Read at once, without an event-loop pass: the bytes still in the
    // system count as waiting too.
    QElapsedTimer elapsed;
    elapsed.start();
    QByteArray got = link.readAll();
    while (got.isEmpty() && elapsed.elapsed() < 500)
        got = link.readAll();
    EXPECT_EQ(got.size(), SerialLink::readLimit);
    got += link.readAll();
    EXPECT_EQ(got, sent);

    // The stale bytes are known to be there (they raised the notification)
    // before they are dropped.
    int notified = 0;
    link.setReceiveThreshold(5);
    QObject::connect(&link, &SerialLink::received, [&] { ++notified; });
    pty.send("stale");
    ASSERT_TRUE(spinUntil([&] { return notified > 0; }));
    link.discardInput();
    EXPECT_TRUE(link.readAll().isEmpty());
    spin(20);
    EXPECT_TRUE(link.readAll().isEmpty());
}

TEST_F(PtyLinkTest, NotificationComesAtTheThresholdAndNeverInsideAWait)
{
    link.setReceiveThreshold(7);
    link.open(number, "19200,n,8,1");
    QList<bool> raisedInWait;
    QList<QByteArray> reads;
    QObject::connect(&link, &SerialLink::received, [&](int code) {
        EXPECT_EQ(code, SerialLink::dataReceivedEvent);
        raisedInWait.append(waitClock().isWaiting());
        reads.append(link.readAll());
    });
    pty.send("abc");
    spin(40);
    EXPECT_TRUE(raisedInWait.isEmpty()); // 3 of 7 bytes
    pty.send("defg");
    ASSERT_TRUE(spinUntil([&] { return !raisedInWait.isEmpty(); }));
    EXPECT_EQ(raisedInWait, QList<bool>({false}));
    // One notification for all seven: none came at three, however late.
    EXPECT_EQ(reads, QList<QByteArray>{"abcdefg"});

    // The bytes are in the system as soon as they are sent; the wait holds
    // their notification back until it is over.
    pty.send("1234567");
    waitClock().waitMs(40);
    EXPECT_EQ(raisedInWait.size(), 1);
    ASSERT_TRUE(spinUntil([&] { return raisedInWait.size() == 2; }));
    EXPECT_EQ(raisedInWait, QList<bool>({false, false}));
}

TEST_F(PtyLinkTest, PortIsExclusiveWhileOpen)
{
    link.open(number, "19200,n,8,1");
    EXPECT_EQ(listedNumber(pty.slavePath()), 0);
    CMscomm1 second;
    try {
        second.open(number, "19200,n,8,1");
        FAIL() << "second open accepted";
    } catch (const SerialError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("COM%1").arg(number))) << what(e);
        EXPECT_TRUE(e.text().contains(pty.slavePath())) << what(e);
    }
    EXPECT_FALSE(second.isOpen());
    link.close();
    EXPECT_EQ(listedNumber(pty.slavePath()), number);
    second.open(number, "19200,n,8,1");
    EXPECT_TRUE(second.isOpen());
}

TEST_F(PtyLinkTest, PortHeldExclusivelyByAnotherProgramIsRefused)
{
    VX4_RUN_WITHOUT_ROOT_POWERS();
    const int other = ::open(pty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::ioctl(other, TIOCEXCL), 0);
    EXPECT_EQ(listedNumber(pty.slavePath()), 0);
    try {
        link.open(number, "19200,n,8,1");
        ADD_FAILURE() << "busy port opened";
    } catch (const SerialError& e) {
        EXPECT_TRUE(e.text().contains(u"another program")) << what(e);
    }
    ::close(other);
}

TEST_F(PtyLinkTest, PortLockedByAnotherProgramIsLeftOutAndSaidInTheInterfaceLanguage)
{
    // Another program has the port open the way this program opens ports:
    // its lock file, its exclusive hold.
    QSerialPort other;
    other.setPortName(pty.slavePath());
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    EXPECT_EQ(listedNumber(pty.slavePath()), 0) << "a port that cannot be opened now is listed";
    const auto refusal = [&] {
        try {
            link.open(number, "19200,n,8,1");
        } catch (const SerialError& e) {
            return e.text();
        }
        return QString();
    };
    setUiLanguage(englishUi);
    const QString english = refusal();
    EXPECT_TRUE(english.contains(u"in use by another program")) << english.toStdString();
    // The Chinese text carries no English reason of the system or of Qt.
    setUiLanguage(chineseUi);
    ASSERT_TRUE(installUiCatalogue(*QCoreApplication::instance()));
    QString chinese = refusal();
    removeUiCatalogue(*QCoreApplication::instance());
    setUiLanguage(englishUi);
    EXPECT_TRUE(chinese.contains(QString::fromUtf8("其他程序"))) << chinese.toStdString();
    EXPECT_FALSE(chinese.isEmpty());
    chinese.remove(QStringLiteral("COM%1 (%2)").arg(number).arg(pty.slavePath()));
    EXPECT_FALSE(chinese.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2}")))) << chinese.toStdString();
    EXPECT_FALSE(link.isOpen());
}

TEST_F(PtyLinkTest, LossIsSaidInTheInterfaceLanguage)
{
    link.open(number, "19200,n,8,1");
    QStringList reasons;
    QObject::connect(&link, &CMscomm1::lost, [&](const QString& reason) { reasons.append(reason); });
    setUiLanguage(chineseUi);
    ASSERT_TRUE(installUiCatalogue(*QCoreApplication::instance()));
    pty.closeMaster();
    const bool lost = spinUntil([&] { return !reasons.isEmpty(); });
    removeUiCatalogue(*QCoreApplication::instance());
    setUiLanguage(englishUi);
    ASSERT_TRUE(lost);
    // Qt's reason for the loss is English only; the message says it in Chinese.
    EXPECT_FALSE(reasons[0].isEmpty());
    EXPECT_FALSE(reasons[0].contains(QRegularExpression(QStringLiteral("[A-Za-z]{2}")))) << reasons[0].toStdString();
}

TEST_F(PtyLinkTest, LineSpeedReachesTheFarEnd)
{
    link.open(number, "19200,n,8,1");
    EXPECT_EQ(pty.lineSpeed(), 19200u);
    // 14400 and 56000 are no standard rates of the system.
    for (qint32 baud : {14400, 56000, 38400, 115200}) {
        link.applySettings(LinkSettings::textFor(baud));
        EXPECT_EQ(pty.lineSpeed(), static_cast<unsigned>(baud));
        EXPECT_EQ(link.settings(), LinkSettings::textFor(baud));
    }
    // Opening the open port again only applies the settings.
    link.open(number, "56000,n,8,1");
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(pty.lineSpeed(), 56000u);
}

TEST_F(PtyLinkTest, OpeningAnotherPortHandsTheFirstBack)
{
    Pty other;
    ASSERT_TRUE(other.ok());
    qputenv("VX4_EXTRA_PORTS", (pty.slavePath() + ":" + other.slavePath()).toLocal8Bit());
    const int otherNumber = listedNumber(other.slavePath());
    ASSERT_GT(otherNumber, 0);
    link.open(number, "19200,n,8,1");
    link.open(otherNumber, "19200,n,8,1");
    EXPECT_EQ(link.portNumber(), otherNumber);
    EXPECT_EQ(listedNumber(pty.slavePath()), number);
    EXPECT_EQ(listedNumber(other.slavePath()), 0);
}

TEST_F(PtyLinkTest, VanishingPortClosesCleanly)
{
    link.open(number, "19200,n,8,1");
    QStringList reasons;
    QObject::connect(&link, &CMscomm1::lost, [&](const QString& reason) { reasons.append(reason); });
    pty.closeMaster();
    EXPECT_TRUE(spinUntil([&] { return !link.isOpen() && !reasons.isEmpty(); }));
    ASSERT_EQ(reasons.size(), 1);
    EXPECT_FALSE(reasons[0].isEmpty());
    EXPECT_TRUE(link.readAll().isEmpty());
    link.discardInput();
    try {
        link.write("x");
        ADD_FAILURE() << "write on a lost port accepted";
    } catch (const SerialError& e) {
        EXPECT_TRUE(e.text().contains(pty.slavePath())) << what(e);
        EXPECT_TRUE(e.text().contains(u"lost")) << what(e);
    }
    EXPECT_FALSE(PortRegistry::isOpenHere(pty.slavePath()));
    // The system takes the device node away a moment after its last user
    // is gone; on a loaded machine that moment can be late.
    for (int i = 0; i < 100 && QFileInfo::exists(pty.slavePath()); ++i)
        spin(10);
    EXPECT_THROW(link.open(number, "19200,n,8,1"), SerialError);
    link.close();
}

TEST_F(PtyLinkTest, WriteIntoAVanishedPortRaises)
{
    link.open(number, "19200,n,8,1");
    pty.closeMaster();
    // No event-loop pass: the write itself meets the dead port.
    EXPECT_THROW(link.write(QByteArray(64, 'x')), SerialError);
    EXPECT_FALSE(link.isOpen());
    spin(20);
}

TEST(CMscomm1Refusals, LackOfPermissionNamesTheGroupThatGrantsIt)
{
    VX4_RUN_WITHOUT_ROOT_POWERS();
    application();
    QTemporaryDir dir;
    const QString path = dir.filePath("ttyLocked");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(file.setPermissions({}));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    const group* owner = ::getgrgid(info.st_gid);
    ASSERT_NE(owner, nullptr);
    CMscomm1 link;
    try {
        link.open(PortRegistry::numberOf(path), "19200,n,8,1");
        ADD_FAILURE() << "locked device opened";
    } catch (const SerialError& e) {
        EXPECT_TRUE(e.text().contains(path)) << what(e);
        EXPECT_TRUE(e.text().contains(QStringLiteral("\"%1\"").arg(QString::fromLocal8Bit(owner->gr_name)))) << what(e);
        EXPECT_TRUE(e.text().contains(QString::fromLocal8Bit(std::strerror(EACCES)))) << what(e);
    }
}

TEST(CMscomm1Refusals, NameThePortAndTheReason)
{
    application();
    CMscomm1 link;
    const int missing = PortRegistry::numberOf("/dev/vx4-test-no-such-port");
    const struct {
        int number;
        const char* settings;
        const char* mentions;
    } rows[] = {
        {0, "19200,n,8,1", "0"},
        {-3, "19200,n,8,1", "-3"},
        {999999, "19200,n,8,1", "COM999999"},
        {missing, "19200,n,8,1", "/dev/vx4-test-no-such-port"},
        {missing, "19200,e,8,1", "19200,e,8,1"},
    };
    for (const auto& row : rows) {
        try {
            link.open(row.number, row.settings);
            ADD_FAILURE() << row.number << " accepted";
        } catch (const SerialError& e) {
            EXPECT_TRUE(e.text().contains(QString::fromUtf8(row.mentions))) << what(e);
        }
        EXPECT_FALSE(link.isOpen());
    }
    EXPECT_THROW(link.write("x"), SerialError);
    EXPECT_THROW(link.applySettings("fast"), SerialError);
    link.discardInput();
    link.close();
    EXPECT_TRUE(link.readAll().isEmpty());
    // Settings of a closed link are kept for the next open.
    link.applySettings("38400,n,8,1");
    EXPECT_EQ(link.settings(), u"38400,n,8,1");
}

} // namespace
