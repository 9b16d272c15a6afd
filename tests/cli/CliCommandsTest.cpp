#include "CliCommands.h"
#include "Hex.h"

#include "app/SharedState.h"
#include "app/UiLanguage.h"
#include "clock/VirtualClock.h"
#include "protocol/Commands.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct CliOnBus : testing::Test {
    ScopedVirtualClock clock;
    SimBus bus{19200};
    SimLink link{&bus};
    QString outText;
    QString errText;
    QTextStream out{&outText};
    QTextStream err{&errText};
    QList<QByteArray> heard;
    QTemporaryDir folder;
    Cli::Environment env{link, out, err,
                         [] { return QList<SSerInfo>{{"/dev/simbus", {}, "COM1: sim (/dev/simbus)", false, "sim"}}; },
                         [](const QString&) { return 1; }, [](int) { return QStringLiteral("/dev/simbus"); },
                         [this] { return folder.filePath("save.txt"); }};

    CliOnBus()
    {
        setUiLanguage(englishUi);
        resetSharedState();
        QObject::connect(&bus, &SimBus::frameHeard, [this](const QByteArray& f) { heard << f; });
    }
    ~CliOnBus() override { resetSharedState(); }

    int run(const QString& line)
    {
        const auto parsed = Cli::parseArguments(line.split(u' ', Qt::SkipEmptyParts));
        EXPECT_TRUE(parsed.ok()) << line.toStdString() << ": " << parsed.error.toStdString();
        heard.clear();
        outText.clear();
        errText.clear();
        return Cli::run(parsed.invocation, env);
    }
    int run(const char* line) { return run(QString::fromUtf8(line)); }

    QString listPath() const { return folder.filePath("save.txt"); }
    void writeList(const QByteArray& bytes) const
    {
        QFile file(listPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray listBytes() const
    {
        QFile file(listPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    static QByteArray listBytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    static void writeFileBytesTo(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    int statusQueriesTo(int address) const
    {
        return static_cast<int>(heard.count(Commands::statusQuery(static_cast<DeviceAddress>(address))));
    }
    // The printed JSON array, "key=value,..." a row, keys in order, rows
    // joined by " | ".
    std::string jsonRows(const QStringList& keys) const
    {
        QStringList rows;
        for (const QJsonValue& v : QJsonDocument::fromJson(outText.toUtf8()).array()) {
            QStringList fields;
            for (const QString& key : keys)
                fields << key + u'=' + v.toObject().value(key).toString();
            rows << fields.join(u',');
        }
        return rows.join(QStringLiteral(" | ")).toStdString();
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

TEST_F(CliOnBus, SearchAddsTheUnlistedAmplifiersAndSavesTheList)
{
    for (int a : {1, 2, 7})
        bus.addAmplifier(static_cast<std::uint8_t>(a));
    bus.amplifier(7)->parameters().powerState = 2;
    writeList(hex("32 20 B9A6 B7C5 41 0D 0A")); // "2 功放A" in code page 936
    ASSERT_EQ(run("--port 1 --baud 19200 --json search --list " + listPath()), Cli::exitSuccess)
        << errText.toStdString();
    EXPECT_EQ(statusQueriesTo(2), 0);
    EXPECT_EQ(statusQueriesTo(1) + statusQueriesTo(7), 2);
    EXPECT_EQ(heard.size(), 253);
    EXPECT_EQ(clock->waits(), QList<int>(253, 20));
    EXPECT_EQ(jsonRows({"number", "address", "name", "connection", "state"}),
              "number=1,address=2,name=功放A,connection=Not connected,state= | "
              "number=2,address=1,name=,connection=The connection,state=Normal | "
              "number=3,address=7,name=,connection=The connection,state=Standby");
    EXPECT_EQ(spaced(listBytes()), spaced(hex("32 20 B9A6 B7C5 41 0D 0A  31 20 0D 0A  37 20 0D 0A")));

    // The readable form, one line a row; every amplifier is listed now, and
    // the probe's answer makes the empty result a success.
    ASSERT_EQ(run("search"), Cli::exitSuccess);
    EXPECT_EQ(heard.size(), 1 + 251);
    EXPECT_TRUE(outText.startsWith(QString::fromUtf8("1: address 2, name \"功放A\", Not connected\n"
                                                     "2: address 1, name \"\", Not connected\n")))
        << outText.toStdString();
}

TEST_F(CliOnBus, SearchExitCodeSaysWhetherTheBusAnswered)
{
    const struct {
        const char* arguments;
        int busBaud;
        bool amplifier5;
        const char* listBefore; // hex, nullptr for no file
        int exitCode;
        const char* listAfter; // hex, nullptr for no file
    } rows[] = {
        {"--port 1 --baud 19200 search", 19200, false, nullptr, Cli::exitNoAnswer, ""},
        {"--port 1 --baud 19200 search", 19200, true, nullptr, Cli::exitSuccess, "35 20 0D 0A"},
        // Found by the probe: success although every amplifier was listed already.
        {"search", 19200, true, "35 20 0A", Cli::exitSuccess, "35 20 0D 0A"},
        // No port answered: nothing searched, the list left as it was.
        {"search", 9600, true, "35 20 0A", Cli::exitNoAnswer, "35 20 0A"},
    };
    for (const auto& row : rows) {
        SimBus rowBus{row.busBaud};
        link.addPort(1, &rowBus);
        if (row.amplifier5)
            rowBus.addAmplifier(5);
        QFile::remove(listPath());
        if (row.listBefore)
            writeList(hex(row.listBefore));
        EXPECT_EQ(run(row.arguments), row.exitCode) << row.arguments << " at " << row.busBaud;
        EXPECT_EQ(spaced(listBytes()), row.listAfter ? spaced(hex(row.listAfter)) : std::string("(missing)"))
            << row.arguments << " at " << row.busBaud;
    }
}

TEST_F(CliOnBus, AListThatCannotBeSavedOrReadIsAFileError)
{
    bus.addAmplifier(3);
    ASSERT_EQ(run("--port 1 --baud 19200 --json search --list " + folder.filePath("gone/save.txt")),
              Cli::exitListFileError);
    EXPECT_TRUE(errText.startsWith(u"Cannot save")) << errText.toStdString();
    EXPECT_EQ(jsonRows({"address"}), "address=3"); // the result is shown all the same

    // A list that cannot be read is never replaced; nothing is sent. A named
    // pipe or a device is refused at once instead of read for ever.
    const QString pipe = folder.filePath("pipe.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& list : {folder.path(), pipe, QStringLiteral("/dev/zero")}) {
        for (const char* command : {"search", "status"}) {
            EXPECT_EQ(run(QStringLiteral("--port 1 --baud 19200 %1 --list %2").arg(command, list)), Cli::exitListFileError)
                << command << ' ' << list.toStdString();
            EXPECT_TRUE(heard.isEmpty()) << command;
            EXPECT_TRUE(errText.startsWith(u"Cannot read")) << errText.toStdString();
        }
    }
    EXPECT_EQ(QFileInfo(pipe).isFile(), false);
}

TEST_F(CliOnBus, StatusShowsTheRepliesAndTheReportsAsTheHomePageDoes)
{
    using Setup = std::function<void(SimAmplifier&)>;
    // Queues reports once the status reply is on its way, at replyMs.
    using Reports = std::function<void(SimBus&, qint64 replyMs)>;
    const struct {
        const char* what;
        Setup setup;
        Reports reports;
        const char* options;
        const char* state;
    } rows[] = {
        {"operating", nullptr, nullptr, "", "Normal"},
        // The reply's own flags; every flag is tested with the device table.
        {"fault bit", [](SimAmplifier& a) { a.protectionFlags = 0xF0; }, nullptr, "", "fault"},
        // The poll of one row reads 100 ms after the query.
        {"report during --listen", nullptr, [](SimBus& b, qint64 t) { b.sendFaultReport(2, 0x7F, t + 300); },
         "--listen 500", "Dc protection 4"},
        {"report after the poll, not listening", nullptr,
         [](SimBus& b, qint64 t) { b.sendFaultReport(2, 0x7F, t + 300); }, "", "Normal"},
        {"report after --listen", nullptr, [](SimBus& b, qint64 t) { b.sendFaultReport(2, 0xFE, t + 700); },
         "--listen 500", "Normal"},
        {"reports in a row, each applied", nullptr,
         [](SimBus& b, qint64 t) {
             b.sendFaultReport(2, 0xFD, t + 300);
             b.sendFaultReport(7, 0xFE, t + 310);
             b.sendTemperatureProtectionReport(2, t + 320); // meant for the address decoded last: 7
         },
         "--listen 500", "fault2"},
    };
    for (const auto& row : rows) {
        SimBus rowBus{19200};
        link.addPort(1, &rowBus);
        SimAmplifier& amp = rowBus.addAmplifier(2);
        if (row.setup)
            row.setup(amp);
        bool queued = false;
        QObject::connect(&rowBus, &SimBus::transmissionQueued, [&] {
            if (row.reports && !std::exchange(queued, true))
                row.reports(rowBus, clock->nowMs());
        });
        ASSERT_EQ(run(QStringLiteral("--port 1 --baud 19200 --json status 2 %1").arg(row.options)), Cli::exitSuccess)
            << row.what << ": " << errText.toStdString();
        EXPECT_EQ(jsonRows({"address", "connection", "state"}),
                  std::string("address=2,connection=The connection,state=") + row.state)
            << row.what;
    }
    EXPECT_EQ(listBytes(), "(missing)"); // given addresses are never saved
}

TEST_F(CliOnBus, StatusOfTheListPollsEveryRowAndSavesIt)
{
    bus.addAmplifier(7);
    const QByteArray list = hex("37 20 48 61 6C 6C 0D 0A  39 20 0D 0A"); // "7 Hall", "9 "
    writeList(list);
    ASSERT_EQ(run("--port 1 --baud 19200 --json status"), Cli::exitSuccess) << errText.toStdString();
    EXPECT_EQ(statusQueriesTo(7) + statusQueriesTo(9), 2);
    EXPECT_EQ(clock->waits(), (QList<int>{100, 100}));
    EXPECT_EQ(jsonRows({"address", "connection", "state"}),
              "address=7,connection=The connection,state=Normal | address=9,connection=Not connected,state= ");
    EXPECT_EQ(spaced(listBytes()), spaced(list));

    ASSERT_EQ(run("--port 1 --baud 19200 status"), Cli::exitSuccess);
    EXPECT_EQ(outText, u"address 7: The connection, Normal\naddress 9: Not connected\n");
}

TEST_F(CliOnBus, StatusWithoutAnyAnswerExitsOne)
{
    ASSERT_EQ(run("--port 1 --baud 19200 --json status 3 4"), Cli::exitNoAnswer);
    EXPECT_EQ(jsonRows({"address", "connection"}),
              "address=3,connection=Not connected | address=4,connection=Not connected");
    EXPECT_EQ(heard.size(), 2);
    // An empty list polls nobody and sends nothing.
    writeList({});
    EXPECT_EQ(run("--port 1 --baud 19200 status"), Cli::exitNoAnswer);
    EXPECT_TRUE(heard.isEmpty());
    EXPECT_TRUE(outText.isEmpty());
}

TEST_F(CliOnBus, APresetFileSavedChangedAndLoadedRestoresTheReadState)
{
    SimAmplifier& amp = bus.addAmplifier(2);
    const QString file = folder.filePath("amp2.save");
    ASSERT_EQ(run("--port 1 --baud 19200 set 2 volume B -20"), 0);
    ASSERT_EQ(run("--port 1 --baud 19200 set 2 eq C 4 3150 -4.5"), 0);
    ASSERT_EQ(run("--port 1 --baud 19200 --json read 2"), 0);
    const QString before = outText;
    ASSERT_EQ(run("--port 1 --baud 19200 --json preset save 2 " + file), 0) << errText.toStdString();
    EXPECT_EQ(spaced(listBytesOf(file)), spaced(amp.fullStateReply()));

    ASSERT_EQ(run("--port 1 --baud 19200 set 2 volume B 0"), 0);
    ASSERT_EQ(run("--port 1 --baud 19200 set 2 eqreset C"), 0);
    ASSERT_EQ(run("--port 1 --baud 19200 --json read 2"), 0);
    ASSERT_NE(outText, before);

    ASSERT_EQ(run("--port 1 --baud 19200 --json preset load 2 " + file), 0) << errText.toStdString();
    EXPECT_EQ(outText, before);
    ASSERT_EQ(heard.size(), 2);
    EXPECT_EQ(heard.first().size(), SimAmplifier::fullStateSize);
    EXPECT_EQ(spaced(heard.last()), spaced(hex("55 04 02 60 02 68"))); // the read-back
    EXPECT_TRUE(clock->waits().contains(3000));
}

TEST_F(CliOnBus, APresetLoadToAllReachesEveryAmplifierAndReadsBackTheOneGiven)
{
    SimAmplifier& two = bus.addAmplifier(2);
    SimAmplifier& seven = bus.addAmplifier(7);
    two.parameters().channels[0].delayUs = 900;
    const QString file = folder.filePath("amp2.save");
    ASSERT_EQ(run("--port 1 --baud 19200 preset save 2 " + file), 0);
    ASSERT_EQ(run("--port 1 --baud 19200 --json preset load 7 " + file + " --all"), 0) << errText.toStdString();
    EXPECT_EQ(seven.parameters().channels[0].delayUs, 900);
    ASSERT_EQ(heard.size(), 2);
    EXPECT_EQ(static_cast<int>(heard.first().at(3)), 0);
    EXPECT_EQ(spaced(heard.last()), spaced(Commands::fullStateRequest(7)));
    EXPECT_EQ(QJsonDocument::fromJson(outText.toUtf8()).object().value("address").toInt(), 7);
}

TEST_F(CliOnBus, PresetFilesThatCannotBeUsedAreFileErrors)
{
    bus.addAmplifier(2);
    const QString kept = folder.filePath("kept.save");
    writeFileBytesTo(kept, hex("55 01 02 03"));
    const struct {
        QString line;
        int exitCode;
        qsizetype framesHeard;
        const char* message;
    } rows[] = {
        // No answer: the file keeps its content.
        {"--port 1 --baud 19200 preset save 9 " + kept, Cli::exitNoAnswer, 1, "amplifier 9 did not answer"},
        {"--port 1 --baud 19200 preset save 2 " + folder.filePath("gone/x.save"), Cli::exitFileError, 0,
         "Cannot save"},
        {"--port 1 --baud 19200 preset load 2 " + folder.filePath("missing.save"), Cli::exitFileError, 0,
         "File could not be opened 2\n"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(run(row.line), row.exitCode) << row.line.toStdString();
        EXPECT_EQ(heard.size(), row.framesHeard) << row.line.toStdString();
        EXPECT_TRUE(errText.startsWith(QLatin1String(row.message))) << errText.toStdString();
    }
    EXPECT_EQ(spaced(listBytesOf(kept)), "55 01 02 03");
}

TEST_F(CliOnBus, SlotCommandsSendTheDialogsFramesAndSayWhatHappened)
{
    bus.addAmplifier(7);
    const struct {
        const char* line;
        int exitCode;
        const char* out;
        std::vector<const char*> frames;
        const char* err; // what standard error starts with; "" for nothing at all
    } rows[] = {
        {"slot name 7 3", 0, "slot 3: \"Empty\"\n", {"55 06 07 83 03 02 00 95"}, ""},
        {"slot store 7 3 Hall", 0, "stored slot 3 as \"Hall\"\n",
         {"55 06 07 80 03 01 00 91", "55 09 07 84 03 02 48 61 6C 6C 1A"}, ""},
        {"--json slot name 7 3", 0, "{\"name\":\"Hall\",\"slot\":3}\n", {"55 06 07 83 03 02 00 95"}, ""},
        // Over 16 bytes: the settings are stored all the same, the name is not written.
        {"slot store 7 4 ABCDEFGHIJKLMNOPQ", Cli::exitUsage, "", {"55 06 07 80 04 01 00 92"},
         "Input letters must be less than 16 characters"},
        {"slot name 7 4", 0, "slot 4: \"Preset 4\"\n", {"55 06 07 83 04 02 00 96"}, ""},
        // A name the code page cannot hold is refused before anything is sent.
        {"slot store 7 5 功放", Cli::exitUsage, "", {}, "the name cannot be written in code page"},
        {"slot recall 7 3", 0, "recalled slot 3\n", {"55 06 07 81 03 01 00 92"}, ""},
        {"slot clear 7", 0, "cleared every slot\n", {"55 06 07 82 00 01 00 90"}, ""},
        {"slot name 7 3", 0, "slot 3: \"Empty\"\n", {"55 06 07 83 03 02 00 95"}, ""},
        {"slot name 8 3", Cli::exitNoAnswer, "", {"55 06 08 83 03 02 00 96"}, "amplifier 8 did not answer"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(run(QStringLiteral("--port 1 --baud 19200 ") + QString::fromUtf8(row.line)), row.exitCode) << row.line;
        EXPECT_EQ(outText.toStdString(), row.out) << row.line;
        if (*row.err == '\0')
            EXPECT_TRUE(errText.isEmpty()) << row.line << ": " << errText.toStdString();
        else
            EXPECT_TRUE(errText.startsWith(QString::fromUtf8(row.err))) << row.line << ": " << errText.toStdString();
        std::vector<std::string> expected;
        for (const char* f : row.frames)
            expected.push_back(spaced(hex(f)));
        std::vector<std::string> got;
        for (const QByteArray& f : heard)
            got.push_back(spaced(f));
        EXPECT_EQ(got, expected) << row.line;
    }
}

TEST_F(CliOnBus, CopySendsOnlyTheDifferingBandsAndChecksTheResult)
{
    SimAmplifier& amp = bus.addAmplifier(7);
    SimParameters& p = amp.parameters();
    p.channels[0].bands[2] = {800, -450, 230, 2};
    p.channels[0].volumeDb = -12;
    p.channels[3].bands[2] = p.channels[0].bands[2]; // CHD has that band already
    ASSERT_EQ(run("--port 1 --baud 19200 --json copy 7 A B D --parts eq"), Cli::exitSuccess) << errText.toStdString();
    EXPECT_EQ(p.channels[1].bands, p.channels[0].bands);
    EXPECT_EQ(p.channels[3].bands, p.channels[0].bands);
    EXPECT_NE(p.channels[1].volumeDb, -12) << "levels were not asked for";
    const QJsonObject o = QJsonDocument::fromJson(outText.toUtf8()).object();
    EXPECT_TRUE(o.value(QLatin1String("inSync")).toBool());
    // CHB's band 3: type, frequency and gain, Q; nothing for CHD.
    QStringList sent;
    for (const QJsonValue& v : o.value(QLatin1String("sent")).toArray())
        sent << v.toString();
    EXPECT_EQ(sent.size(), 3) << sent.join(u'|').toStdString();
    for (const QString& frame : sent)
        EXPECT_EQ(frame.mid(12, 2), QStringLiteral("02")) << frame.toStdString() << " goes to CHB";

    // Everything, onto CHC.
    ASSERT_EQ(run("--port 1 --baud 19200 copy 7 1 3"), Cli::exitSuccess) << errText.toStdString();
    EXPECT_EQ(p.channels[2].volumeDb, -12);
    EXPECT_EQ(p.channels[2].bands, p.channels[0].bands);
    EXPECT_TRUE(outText.startsWith(u"sent ")) << outText.toStdString();
}

TEST_F(CliOnBus, ARecalledSlotBringsBackTheStoredSettings)
{
    SimAmplifier& amp = bus.addAmplifier(7);
    ASSERT_EQ(run("--port 1 --baud 19200 set 7 volume A -30"), 0);
    const SimParameters stored = amp.parameters();
    ASSERT_EQ(run("--port 1 --baud 19200 slot store 7 3 Hall"), 0);
    ASSERT_EQ(run("--port 1 --baud 19200 set 7 volume A 0"), 0);
    ASSERT_EQ(run("--port 1 --baud 19200 slot recall 7 3"), 0);
    EXPECT_EQ(amp.parameters(), stored);
    EXPECT_EQ(amp.presetSlot(3).name, "Hall");
}

TEST(SplitFrames, CutsUnaskedBytesAtTheirLengthBytes)
{
    const struct {
        const char* bytes;
        std::vector<const char*> frames;
    } rows[] = {
        {"", {}},
        {"55 06 02 40 00 01 FE 46", {"55 06 02 40 00 01 FE 46"}},
        {"55 06 02 40 00 01 FE 46 55 06 07 44 00 01 00 52", {"55 06 02 40 00 01 FE 46", "55 06 07 44 00 01 00 52"}},
        {"00 FF 55 06 02 40 00 01 FE 46 AA", {"55 06 02 40 00 01 FE 46"}}, // noise around a frame
        {"55 09 02 17 00 02 01 00 FF FF 29 55 06 02", {"55 09 02 17 00 02 01 00 FF FF 29", "55 06 02"}},
        {"55", {"55"}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> expected;
        for (const char* f : row.frames)
            expected.push_back(spaced(hex(f)));
        std::vector<std::string> got;
        for (const QByteArray& f : Cli::splitFrames(hex(row.bytes)))
            got.push_back(spaced(f));
        EXPECT_EQ(got, expected) << row.bytes;
    }
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
