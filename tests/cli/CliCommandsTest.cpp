#include "CliCommands.h"

#include "serial/VirtualClock.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }
std::string spaced(const QByteArray& bytes) { return bytes.toHex(' ').toUpper().toStdString(); }

struct CliOnBus : testing::Test {
    ScopedVirtualClock clock;
    SimBus bus{19200};
    SimLink link{&bus};
    QString outText;
    QString errText;
    QTextStream out{&outText};
    QTextStream err{&errText};
    QList<QByteArray> heard;
    Cli::Environment env{link, out, err,
                         [] { return QList<SSerInfo>{{"/dev/simbus", {}, "COM1: sim (/dev/simbus)", false, "sim"}}; },
                         [](const QString&) { return 1; }, [](int) { return QStringLiteral("/dev/simbus"); }};

    CliOnBus()
    {
        QObject::connect(&bus, &SimBus::frameHeard, [this](const QByteArray& f) { heard << f; });
    }

    int run(const char* line)
    {
        const auto parsed = Cli::parseArguments(QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts));
        EXPECT_TRUE(parsed.ok()) << line << ": " << parsed.error.toStdString();
        heard.clear();
        outText.clear();
        errText.clear();
        return Cli::run(parsed.invocation, env);
    }
};

TEST_F(CliOnBus, SetSendsTheEditorsFrames)
{
    bus.addAmplifier(3);
    const struct {
        const char* line;
        const char* frame;
    } rows[] = {
        {"--port 1 --baud 19200 set 3 volume B -20", "55 06 03 10 02 03 EC 0A"},
        {"--port 1 --baud 19200 set 3 volume B -95", "55 06 03 10 02 03 B0 CE"}, // limited to -80
        {"--port 1 --baud 19200 set 3 gain A 99 --gain-top 30", "55 06 03 14 01 01 1E 3D"},
        {"--port 1 --baud 19200 set 3 gain A 0 --gain-top 30", "55 06 03 14 01 01 0C 2B"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(run(row.line), Cli::exitSuccess) << row.line;
        ASSERT_EQ(heard.size(), 1) << row.line;
        EXPECT_EQ(spaced(heard.first()), spaced(hex(row.frame))) << row.line;
    }
}

TEST_F(CliOnBus, SetLimitsValuesAsTheBoxesDo)
{
    SimAmplifier& amp = bus.addAmplifier(3);
    const auto& a = amp.parameters().channels[0];
    ASSERT_EQ(run("--port 1 --baud 19200 set 3 hpfreq A 2k"), 0);
    EXPECT_EQ(a.hpFrequencyHz, 2000);
    ASSERT_EQ(run("--port 1 --baud 19200 set 3 lpfreq 1 99999"), 0);
    EXPECT_EQ(a.lpFrequencyHz, 20000);
    ASSERT_EQ(run("--port 1 --baud 19200 set 3 delay A 70000"), 0);
    EXPECT_EQ(a.delayUs, 65000);
    ASSERT_EQ(run("--port 1 --baud 19200 set 3 attack A 0"), 0);
    EXPECT_EQ(a.attackMs, 1);
    ASSERT_EQ(run("--port 1 --baud 19200 set 3 eq A 2 50000 -30"), 0);
    EXPECT_EQ(a.bands[1].frequencyHz, 20000);
    EXPECT_EQ(a.bands[1].gainCentiDb, -1800);
    ASSERT_EQ(run("--port 1 --baud 19200 set 3 eqq A 2 25"), 0);
    EXPECT_EQ(a.bands[1].qCenti, 2000);
    ASSERT_EQ(run("--port 1 --baud 19200 set 3 input A auto"), 0);
    EXPECT_EQ(a.inputType, 2);
    ASSERT_EQ(run("--port 1 --baud 19200 set 3 power standby"), 0);
    EXPECT_EQ(amp.parameters().powerState, 2);
}

TEST_F(CliOnBus, GainAndThresholdFollowTheGainTopReadFromTheAmplifier)
{
    SimAmplifier& amp = bus.addAmplifier(5, 2, 30);
    ASSERT_EQ(run("--port 1 --baud 19200 --trace set 5 gain B 99"), 0);
    EXPECT_EQ(amp.parameters().channels[1].gainDb, 30);
    EXPECT_TRUE(errText.startsWith(u"> 55 04 05 60")) << errText.toStdString(); // the full-state request first
    ASSERT_EQ(run("--port 1 --baud 19200 set 5 threshold A 0"), 0);
    EXPECT_EQ(amp.parameters().channels[0].limiterThreshold, 2); // gainTop - 28
    // No reply, no guess at the range.
    EXPECT_EQ(run("--port 1 --baud 19200 set 6 gain A 10"), Cli::exitNoAnswer);
    EXPECT_TRUE(heard.size() == 1 && static_cast<unsigned char>(heard.first().at(3)) == 0x60);
}

TEST_F(CliOnBus, ReadGivesTheParametersAsJson)
{
    SimAmplifier& amp = bus.addAmplifier(4, 2, 30);
    amp.parameters().channels[1].volumeDb = -12;
    amp.parameters().channels[1].bands[14].frequencyHz = 8000;
    ASSERT_EQ(run("--port 1 --json read 4"), 0) << errText.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(outText.toUtf8()).object();
    EXPECT_EQ(o.value("address").toInt(), 4);
    EXPECT_EQ(o.value("channelCount").toInt(), 2);
    EXPECT_EQ(o.value("gainTop").toInt(), 30);
    EXPECT_EQ(o.value("powerState").toInt(), 1);
    EXPECT_TRUE(o.value("knobLock").isBool());
    const QJsonArray channels = o.value("channels").toArray();
    ASSERT_EQ(channels.size(), 2);
    const QJsonObject b = channels.at(1).toObject();
    EXPECT_EQ(b.value("volumeDb").toInt(), -12);
    EXPECT_TRUE(b.value("mute").isBool());
    const int gain = b.value("gainDb").toInt(-999);
    EXPECT_TRUE(gain >= 12 && gain <= 30) << gain;
    const QJsonArray bands = b.value("bands").toArray();
    ASSERT_EQ(bands.size(), 15);
    EXPECT_EQ(bands.at(14).toObject().value("bandFrequencyHz").toInt(), 8000);
    EXPECT_TRUE(clock->waits().contains(900));
}

TEST_F(CliOnBus, ReadOfATruncatedReplyGivesNullSections)
{
    bus.addAmplifier(4).silent = true;
    // Only the head of a reply arrives: through the mute section, into the input types.
    const QByteArray full = SimAmplifier(4).fullStateReply();
    link.open(1, "19200,n,8,1");
    Cli::Invocation inv;
    inv.command = "read";
    inv.address = 4;
    inv.portNumber = 1;
    inv.baudRate = 19200;
    inv.json = true;
    // The reply is queued by hand just after the request goes out.
    QObject::connect(&bus, &SimBus::frameHeard, [&](const QByteArray&) {
        bus.injectNoise(full.left(20), clock->nowMs() + 1);
    });
    ASSERT_EQ(Cli::run(inv, env), 0) << errText.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(outText.toUtf8()).object();
    EXPECT_TRUE(o.value("gainTop").isNull());
    const QJsonObject a = o.value("channels").toArray().at(0).toObject();
    EXPECT_EQ(a.value("volumeDb").toInt(), -80);
    EXPECT_TRUE(a.value("mute").isBool());
    EXPECT_TRUE(a.value("inputType").isNull());
    EXPECT_TRUE(a.value("bands").toArray().at(0).isNull());
}

TEST_F(CliOnBus, DetectTriesTheBaudRatesInOrder)
{
    bus.setBaudRate(38400);
    bus.addAmplifier(1);
    ASSERT_EQ(run("--json detect"), 0) << errText.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(outText.toUtf8()).object();
    EXPECT_EQ(o.value("port").toInt(), 1);
    EXPECT_EQ(o.value("baud").toInt(), 38400);
    EXPECT_EQ(o.value("devicePath").toString(), u"/dev/simbus");
    EXPECT_EQ(clock->waits(), (QList<int>{300, 300, 300}));

    bus.setBaudRate(9600);
    EXPECT_EQ(run("detect"), Cli::exitNoAnswer);
    EXPECT_EQ(heard.size(), 0); // nobody hears a wrong line speed
}

TEST_F(CliOnBus, MonitorStatusFollowsEachReply)
{
    bus.addAmplifier(2).clipFlags = 0x00;
    ASSERT_EQ(run("--port 1 --baud 19200 --json monitor 2 --count 1 --interval 500"), 0);
    EXPECT_EQ(QJsonDocument::fromJson(outText.toUtf8()).object().value("status").toString(), u"clip");
}

TEST_F(CliOnBus, MonitorPrintsEachReplyAndFailsWithoutAny)
{
    bus.addAmplifier(2);
    ASSERT_EQ(run("--port 1 --baud 19200 --json monitor 2 --count 3 --interval 500"), 0);
    const QStringList lines = outText.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    const QJsonObject o = QJsonDocument::fromJson(lines.first().toUtf8()).object();
    EXPECT_EQ(o.value("voltage").toArray().at(0).toString(), u"12.30V");
    EXPECT_EQ(o.value("current").toArray().size(), 4);
    EXPECT_EQ(o.value("status").toString(), u"Normal");
    EXPECT_EQ(run("--port 1 --baud 19200 monitor 9 --count 2 --interval 500"), Cli::exitNoAnswer);
    EXPECT_TRUE(outText.isEmpty());
}

TEST_F(CliOnBus, AVanishedPortIsASerialError)
{
    bus.addAmplifier(3);
    bus.setPluggedIn(false);
    EXPECT_EQ(run("--port 1 --baud 19200 set 3 volume A 0"), Cli::exitSerialError);
    EXPECT_FALSE(errText.isEmpty());
    // Found by listing: a port that refuses is skipped, not fatal.
    EXPECT_EQ(run("detect"), Cli::exitNoAnswer);
}

TEST(FullStateWait, LetsTheWholeReplyArrive)
{
    for (int baud : {300, 9600, 14400, 19200, 38400, 115200}) {
        const int ms = Cli::fullStateWaitMs(baud);
        EXPECT_GE(ms, 900);
        EXPECT_GT(ms, Cli::fullStateBytes * 10 * 1000 / baud) << baud;
    }
}

} // namespace
