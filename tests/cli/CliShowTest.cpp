// vx4ctl show: receive a bus into a file, compare it, send it, make one offline.
#include "CliCommands.h"

#include "app/SharedState.h"
#include "app/UiLanguage.h"
#include "protocol/Commands.h"
#include "protocol/ParameterTable.h"
#include "show/ShowFile.h"
#include "clock/VirtualClock.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliShow : testing::Test {
    ScopedVirtualClock clock;
    SimBus bus{19200};
    SimLink link{&bus};
    QTemporaryDir folder;
    QString outText, errText;
    QTextStream out{&outText}, err{&errText};
    QList<QByteArray> heard;
    Cli::Environment env{link, out, err, [] { return QList<SSerInfo>{}; },
                         [](const QString&) { return 1; }, [](int) { return QStringLiteral("/dev/simbus"); },
                         [this] { return folder.filePath("save.txt"); }};

    CliShow()
    {
        setUiLanguage(englishUi);
        resetSharedState();
        QObject::connect(&bus, &SimBus::frameHeard, [this](const QByteArray& f) { heard << f; });
        QFile list(folder.filePath("save.txt"));
        EXPECT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("1 Hall A\r\n2 Hall B\r\n");
    }
    ~CliShow() override { resetSharedState(); }

    int run(const QString& line)
    {
        const auto parsed = Cli::parseArguments(line.split(u' ', Qt::SkipEmptyParts));
        EXPECT_TRUE(parsed.ok()) << line.toStdString() << ": " << parsed.error.toStdString();
        heard.clear();
        outText.clear();
        errText.clear();
        return Cli::run(parsed.invocation, env);
    }
    QString file(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    ShowFile::Show read(const QString& path) const
    {
        const ShowFile::Decoded d = ShowFile::read(path);
        EXPECT_TRUE(d.show) << d.error.toStdString();
        return d.show.value_or(ShowFile::Show{});
    }
};

TEST_F(CliShow, ReceiveDiffSendAndReceiveAgainGiveTheSameShow)
{
    SimAmplifier& one = bus.addAmplifier(1);
    SimAmplifier& two = bus.addAmplifier(2, 2, 30);
    one.parameters().channels[1].volumeDb = -20;
    one.parameters().channels[0].bands[4] = {900, 350, 200, 3};
    two.parameters().channels[0].hpType = 5;
    two.parameters().channels[1].outputSource = 5;
    const QString show = file("bus.vx4show");
    ASSERT_EQ(run("--port 1 --baud 19200 show receive " + show), Cli::exitSuccess) << errText.toStdString();
    EXPECT_TRUE(errText.contains("reading amplifier 2 (2 of 2)")) << errText.toStdString();
    const ShowFile::Show received = read(show);
    EXPECT_EQ(received.devices, (QList<ShowFile::Device>{{"1", "Hall A"}, {"2", "Hall B"}}));
    ASSERT_EQ(received.amplifiers.size(), 2);
    EXPECT_EQ(received.amplifier(2)->parameters.channelCount, 2);

    // The amplifiers go back to their factory state: diff says what differs.
    one.factoryReset();
    two.factoryReset();
    ASSERT_EQ(run("--port 1 --baud 19200 --json show diff " + show), Cli::exitDiffers);
    QStringList paths;
    for (const QJsonValue& v : QJsonDocument::fromJson(outText.toUtf8()).array())
        paths << QString::number(v.toObject().value("address").toInt()) + u' ' + v.toObject().value("path").toString();
    EXPECT_EQ(paths, QStringList({"1 volumeDb CHB", "1 bandFrequencyHz CHA band 5", "1 bandGainDb CHA band 5",
                                  "1 bandQ CHA band 5", "1 bandType CHA band 5", "2 hpType CHA", "2 outputSource CHB"}))
        << outText.toStdString();

    ASSERT_EQ(run("--port 1 --baud 19200 show send " + show), Cli::exitSuccess) << outText.toStdString();
    EXPECT_TRUE(outText.contains("amplifier 1: in sync")) << outText.toStdString();
    ASSERT_EQ(run("--port 1 --baud 19200 show diff " + show), Cli::exitSuccess) << outText.toStdString();

    const QString again = file("again.vx4show");
    ASSERT_EQ(run("--port 1 --baud 19200 show receive " + again), Cli::exitSuccess);
    const ShowFile::Show second = read(again);
    for (int address : {1, 2}) {
        EXPECT_EQ(second.amplifier(address)->reply, received.amplifier(address)->reply) << address;
        EXPECT_TRUE(ParameterTable::differences(second.amplifier(address)->parameters,
                                                received.amplifier(address)->parameters).isEmpty());
    }
}

TEST_F(CliShow, SendingOneDifferingBandSendsOneFrameAndFullReplaysTheReply)
{
    SimAmplifier& one = bus.addAmplifier(1);
    const QString show = file("one.vx4show");
    ASSERT_EQ(run("--port 1 --baud 19200 show receive " + show + " 1"), Cli::exitSuccess);
    one.parameters().channels[2].bands[7].gainCentiDb = 600;
    ASSERT_EQ(run("--port 1 --baud 19200 show send " + show), Cli::exitSuccess);
    QList<QByteArray> sent;
    for (const QByteArray& frame : heard)
        if (frame != Commands::fullStateRequest(1))
            sent << frame;
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(static_cast<unsigned char>(sent[0][3]), 0x31);

    one.parameters().channels[0].volumeDb = 0;
    ASSERT_EQ(run("--port 1 --baud 19200 show send " + show + " --full"), Cli::exitSuccess) << outText.toStdString();
    EXPECT_TRUE(std::any_of(heard.begin(), heard.end(), [](const QByteArray& f) { return f.size() > 500; }))
        << "the stored reply went back";
    EXPECT_EQ(one.parameters().channels[0].volumeDb, -80);
}

TEST_F(CliShow, RefusedFilesSendNothingAndSilentAmplifiersAreReported)
{
    bus.addAmplifier(1);
    SimAmplifier& two = bus.addAmplifier(2);
    const QString show = file("bus.vx4show");
    ASSERT_EQ(run("--port 1 --baud 19200 show receive " + show), Cli::exitSuccess);
    QFile bad(file("bad.vx4show"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("{\"format\": 7}");
    bad.close();
    EXPECT_EQ(run("--port 1 --baud 19200 show send " + file("bad.vx4show")), Cli::exitFileError);
    EXPECT_TRUE(heard.isEmpty());
    EXPECT_TRUE(errText.contains("show.format: 7 is newer")) << errText.toStdString();

    // A silent amplifier keeps its entry and is said; the other goes on.
    two.silent = true;
    bus.amplifier(1)->parameters().channels[0].mute = true;
    EXPECT_EQ(run("--port 1 --baud 19200 show receive " + show), Cli::exitNoAnswer);
    EXPECT_TRUE(errText.contains("amplifier 2 did not answer; its entry is left as it was")) << errText.toStdString();
    const ShowFile::Show kept = read(show);
    ASSERT_NE(kept.amplifier(2), nullptr);
    EXPECT_TRUE(kept.amplifier(1)->parameters.channels[0].mute);
    EXPECT_EQ(run("--port 1 --baud 19200 show send " + show), Cli::exitNoAnswer);
    EXPECT_TRUE(errText.contains("amplifier 2 did not answer; nothing was sent to it")) << errText.toStdString();
}

TEST_F(CliShow, NewMakesFactoryAmplifiersForOfflineWork)
{
    const QString show = file("new.vx4show");
    ASSERT_EQ(run("show new " + show + " --amps 1,2,7 --channels 2 --gain-top 30"), Cli::exitSuccess)
        << errText.toStdString();
    const ShowFile::Show made = read(show);
    ASSERT_EQ(made.amplifiers.size(), 3);
    EXPECT_EQ(made.amplifier(7)->parameters.channelCount, 2);
    EXPECT_EQ(made.amplifier(7)->parameters.gainTop, 30);
    EXPECT_FALSE(made.amplifier(7)->receivedAt.isValid());
    EXPECT_TRUE(heard.isEmpty());
}

} // namespace
