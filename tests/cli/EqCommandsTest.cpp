// vx4ctl eq import and export on the simulated bus and the virtual clock.
#include "CliCommands.h"

#include "app/SharedState.h"
#include "app/UiLanguage.h"
#include "clock/VirtualClock.h"
#include "protocol/Commands.h"
#include "protocol/ParameterTable.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr DeviceAddress address = 3;

struct EqOnBus : testing::Test {
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

    EqOnBus()
    {
        setUiLanguage(englishUi);
        resetSharedState();
        QObject::connect(&bus, &SimBus::frameHeard, [this](const QByteArray& f) { heard << f; });
    }
    ~EqOnBus() override { resetSharedState(); }

    int run(const QString& line)
    {
        const auto parsed = Cli::parseArguments(line.split(u' ', Qt::SkipEmptyParts));
        EXPECT_TRUE(parsed.ok()) << line.toStdString() << ": " << parsed.error.toStdString();
        heard.clear();
        outText.clear();
        errText.clear();
        return Cli::run(parsed.invocation, env);
    }
    QString file(const char* name, const QByteArray& bytes)
    {
        const QString path = folder.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    // The frames heard that set EQ bands.
    QList<QByteArray> bandFrames() const
    {
        const QList<int> groups{static_cast<int>(ParameterTable::of(ParameterKey::BandType).group),
                                static_cast<int>(ParameterTable::of(ParameterKey::BandFrequencyHz).group),
                                static_cast<int>(ParameterTable::of(ParameterKey::BandQ).group)};
        QList<QByteArray> frames;
        for (const QByteArray& f : heard)
            if (f.size() > 3 && groups.contains(static_cast<unsigned char>(f.at(3))))
                frames << f;
        return frames;
    }
};

const QByteArray roomFile = "Filter Settings file\r\n"
                            "\r\n"
                            "Filter  1: ON  PK       Fc    63.0 Hz  Gain  -4.5 dB  Q  4.00\r\n"
                            "Filter  2: ON  LSC      Fc   100.0 Hz  Gain   3.0 dB  Q  0.90\r\n";

TEST_F(EqOnBus, ImportSendsOnlyTheBandsThatChangeAndTheAmplifierEndsWithTheFilesBands)
{
    SimAmplifier& amp = bus.addAmplifier(address);
    auto& bands = amp.parameters().channels[1].bands;
    bands[0] = {63, -450, 400, 1}; // already as the file has it
    bands[2] = {2000, 500, 300, 0}; // already flat
    const SimParameters before = amp.parameters();
    const QString path = file("room.txt", roomFile);

    ASSERT_EQ(run("--port 1 --baud 19200 eq import 3 B " + path), Cli::exitSuccess) << errText.toStdString();
    QList<QByteArray> expected{Commands::eqType(address, 2, 2, 2)};
    for (int band = 4; band <= bandCount; ++band)
        expected << Commands::eqType(address, 2, band, 0);
    expected << Commands::eqBand(address, 2, 2, 100, 3.0) << Commands::eqQ(address, 2, 2, 90);
    EXPECT_EQ(bandFrames(), expected);

    EXPECT_EQ(bands[0], (SimEqBand{63, -450, 400, 1}));
    EXPECT_EQ(bands[1], (SimEqBand{100, 300, 90, 2}));
    EXPECT_EQ(bands[2], (SimEqBand{2000, 500, 300, 0}));
    for (int b = 3; b < bandCount; ++b) {
        EXPECT_EQ(bands[std::size_t(b)].type, 0);
        EXPECT_EQ(bands[std::size_t(b)].frequencyHz, before.channels[1].bands[std::size_t(b)].frequencyHz);
    }
    EXPECT_EQ(amp.parameters().channels[0], before.channels[0]);
    EXPECT_TRUE(outText.contains(QStringLiteral("The curve matches the file's filters."))) << outText.toStdString();
    EXPECT_TRUE(outText.contains(QStringLiteral("sent 15 frames")));

    // Again: the amplifier holds the file's bands, nothing is sent.
    ASSERT_EQ(run("--port 1 --baud 19200 eq import 3 B " + path), Cli::exitSuccess);
    EXPECT_TRUE(bandFrames().isEmpty());
}

TEST_F(EqOnBus, ADryRunShowsThePlanAndSendsNothing)
{
    SimAmplifier& amp = bus.addAmplifier(address);
    amp.parameters().channels[0].eqBypass = true;
    const SimParameters before = amp.parameters();
    const QString path = file("loud.txt", "Preamp: -6 dB\nFilter 1: ON PK Fc 1000 Hz Gain 21 dB Q 2\n");

    ASSERT_EQ(run("--port 1 --baud 19200 --json eq import 3 A " + path + " --dry-run"), Cli::exitSuccess)
        << errText.toStdString();
    EXPECT_TRUE(bandFrames().isEmpty());
    EXPECT_EQ(amp.parameters(), before);
    const QJsonObject json = QJsonDocument::fromJson(outText.toUtf8()).object();
    QStringList texts;
    for (const QJsonValue& a : json.value("adjustments").toArray())
        texts << a.toObject().value("text").toString();
    EXPECT_EQ(texts, (QStringList{"line 1: the preamp of -6 dB is not applied", "band 1: gain +21 dB limited to +18 dB",
                                  "EQ Bypass is on for this channel: the bands are not heard until it is turned off"}));
    EXPECT_NEAR(json.value("largestDifferenceDb").toDouble(), 3.0, 0.01);
    EXPECT_EQ(json.value("frames").toInt(), 16);
    EXPECT_TRUE(json.value("dryRun").toBool());
    EXPECT_FALSE(json.contains("sent"));
    const QJsonObject first = json.value("bands").toArray().at(0).toObject();
    EXPECT_EQ(first.value("type").toString(), QStringLiteral("Peaking"));
    EXPECT_DOUBLE_EQ(first.value("gainDb").toDouble(), 18.0);
    EXPECT_EQ(first.value("line").toInt(), 2);
}

TEST_F(EqOnBus, AMalformedOrMissingFileSendsNothing)
{
    bus.addAmplifier(address);
    const QString path = file("bad.txt", "Filter 1: ON PK Fc 63 Hz Gain -4.5 dB Q 4\r\n"
                                         "Filter 2: ON PK Fc 100 Hz Gain -4.5 dB\r\n");
    EXPECT_EQ(run("--port 1 --baud 19200 eq import 3 A " + path), Cli::exitFileError);
    EXPECT_EQ(errText.trimmed(), QStringLiteral("Cannot import bad.txt: line 2: Q is missing. Nothing was sent."));
    EXPECT_TRUE(heard.isEmpty());
    EXPECT_FALSE(link.isOpen());

    EXPECT_EQ(run("--port 1 --baud 19200 eq import 3 A " + folder.filePath("none.txt")), Cli::exitFileError);
    EXPECT_TRUE(errText.startsWith(QStringLiteral("Cannot read "))) << errText.toStdString();
    EXPECT_TRUE(heard.isEmpty());
    EXPECT_EQ(run("--port 1 --baud 19200 eq import 3 A " + folder.path()), Cli::exitFileError);
    EXPECT_TRUE(heard.isEmpty());
}

TEST_F(EqOnBus, WhatIsExportedImportsIntoAnotherChannelAsTheSameBands)
{
    SimAmplifier& amp = bus.addAmplifier(address);
    auto& source = amp.parameters().channels[0].bands;
    source[0] = {63, -455, 400, 1};
    source[1] = {100, 300, 90, 2};
    source[2] = {80, 0, 140, 7};
    source[3] = {120, 0, 140, 9};
    source[4] = {10000, 0, 40, 5};
    source[5] = {500, 0, 200, 4};
    source[6] = {1000, 600, 140, 0};
    for (const char* format : {"rew", "apo"}) {
        SCOPED_TRACE(format);
        const QString path = folder.filePath(QStringLiteral("out-%1.txt").arg(format));
        ASSERT_EQ(run(QStringLiteral("--port 1 --baud 19200 eq export 3 A %1 --format %2").arg(path, format)),
                  Cli::exitSuccess)
            << errText.toStdString();
        ASSERT_EQ(run("--port 1 --baud 19200 eq import 3 D " + path), Cli::exitSuccess) << errText.toStdString();
        const auto& target = amp.parameters().channels[3].bands;
        for (int b = 0; b < bandCount; ++b) {
            const SimEqBand& s = source[std::size_t(b)];
            const SimEqBand& t = target[std::size_t(b)];
            EXPECT_EQ(t.type, s.type) << "band " << b + 1;
            // Values count where the type uses them.
            if (s.type != 0) {
                EXPECT_EQ(t.frequencyHz, s.frequencyHz) << "band " << b + 1;
            }
            if (s.type >= 1 && s.type <= 3) {
                EXPECT_EQ(t.gainCentiDb, s.gainCentiDb) << "band " << b + 1;
            }
            if (s.type >= 1 && s.type <= 6) {
                EXPECT_EQ(t.qCenti, s.qCenti) << "band " << b + 1;
            }
        }
        EXPECT_TRUE(outText.contains(QStringLiteral("The curve matches the file's filters."))) << outText.toStdString();
    }
}

TEST_F(EqOnBus, AnExportThatCannotBeWrittenSaysSo)
{
    bus.addAmplifier(address);
    EXPECT_EQ(run("--port 1 --baud 19200 eq export 3 A " + folder.filePath("no/such/folder/eq.txt")),
              Cli::exitFileError);
    EXPECT_TRUE(errText.startsWith(QStringLiteral("Cannot save "))) << errText.toStdString();
}

TEST_F(EqOnBus, AChannelTheAmplifierLacksIsRefused)
{
    bus.addAmplifier(address, 2);
    const QString path = file("room.txt", roomFile);
    EXPECT_EQ(run("--port 1 --baud 19200 eq import 3 C " + path), Cli::exitUsage);
    EXPECT_TRUE(bandFrames().isEmpty());
}

TEST(EqArguments, TheCommandLineIsCheckedBeforeAnythingIsSent)
{
    const struct {
        const char* line;
        const char* error;
    } rows[] = {
        {"eq import 3 A room.txt", ""},
        {"eq import 3 A room.txt --dry-run", ""},
        {"eq export 3 d out.txt --format APO", ""},
        {"eq frob 3 A room.txt", "eq needs import or export"},
        {"eq import 3 E room.txt", "invalid channel: E (A to D or 1 to 4)"},
        {"eq import 0 A room.txt", "invalid address: 0 (1 to 254)"},
        {"eq import 3 A", "wrong number of arguments for eq"},
        {"eq export 3 A out.txt --dry-run", "--dry-run belongs to eq import"},
        {"eq import 3 A room.txt --format apo", "--format belongs to eq export"},
        {"eq export 3 A out.txt --format xml", "invalid --format: xml (rew or apo)"},
    };
    for (const auto& row : rows) {
        const Cli::ParseResult parsed = Cli::parseArguments(QString::fromLatin1(row.line).split(u' '));
        EXPECT_EQ(parsed.error.toStdString(), row.error) << row.line;
    }
    const Cli::ParseResult exported = Cli::parseArguments(QStringLiteral("eq export 3 d out.txt").split(u' '));
    EXPECT_EQ(exported.invocation.eqChannel, 4);
    EXPECT_EQ(exported.invocation.eqFormat, QStringLiteral("rew"));
}

} // namespace
