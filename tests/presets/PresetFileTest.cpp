#include "PresetsTestSupport.h"

#include "presets/PresetFile.h"
#include "protocol/AmpParameters.h"
#include "protocol/Commands.h"
#include "protocol/ControlFrame.h"
#include "protocol/FullStateReply.h"

#include "serial/SerialError.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

#include <sys/stat.h>

namespace {

using PresetFileTest = PresetBusTest;

TEST_F(PresetFileTest, SaveWritesExactlyTheReplyThatArrived)
{
    SimAmplifier& amp = bus.addAmplifier(5);
    amp.parameters().channels[0].volumeDb = -7;
    const QString file = path("hall.save");
    writeFileBytes(file, QByteArray(2000, 'x')); // an older, longer file
    const PresetFile::SaveOutcome outcome = PresetFile::save(link, 5, file);
    EXPECT_EQ(outcome.result, PresetFile::SaveResult::Written);
    EXPECT_EQ(outcome.bytes, SimAmplifier::fullStateSize);
    EXPECT_EQ(spaced(fileBytes(file)), spaced(amp.fullStateReply()));
    ASSERT_EQ(heard.size(), 1);
    EXPECT_EQ(spaced(heard.first()), spaced(hex("55 04 05 60 02 6B")));
    EXPECT_EQ(clock->waits(), QList<int>{500});
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"hall.save"});
}

TEST_F(PresetFileTest, NothingArrivedLeavesTheFileAsItWas)
{
    bus.addAmplifier(5).silent = true;
    const struct {
        const char* what;
        bool linkOpen;
        const char* before; // hex, nullptr for no file
        std::size_t framesSent;
    } rows[] = {
        {"silent amplifier, existing file", true, "55 01 02 03", 1},
        {"silent amplifier, new file", true, nullptr, 1},
        {"closed link, existing file", false, "55 01 02 03", 0},
        {"closed link, new file", false, nullptr, 0},
    };
    for (const auto& row : rows) {
        const QString file = path("kept.save");
        QFile::remove(file);
        if (row.before)
            writeFileBytes(file, hex(row.before));
        if (row.linkOpen)
            link.open(1, QStringLiteral("19200,n,8,1"));
        else
            link.close();
        heard.clear();
        EXPECT_EQ(PresetFile::save(link, 5, file).result, PresetFile::SaveResult::NoAnswer) << row.what;
        EXPECT_EQ(fileBytes(file), row.before ? hex(row.before) : QByteArray("(missing)")) << row.what;
        EXPECT_EQ(static_cast<std::size_t>(heard.size()), row.framesSent) << row.what;
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), row.before ? 1 : 0) << row.what;
    }
}

TEST_F(PresetFileTest, AFileThatCannotBeWrittenRequestsNothing)
{
    bus.addAmplifier(5);
    const PresetFile::SaveOutcome outcome = PresetFile::save(link, 5, path("no/such/folder/x.save"));
    EXPECT_EQ(outcome.result, PresetFile::SaveResult::CannotOpen);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_TRUE(heard.isEmpty());
}

TEST_F(PresetFileTest, LoadReplaysTheFileWithTheTargetsAddress)
{
    // Bytes as stored; the frame that leaves; the read-back goes to 9 in every case.
    const struct {
        const char* what;
        const char* stored;
        PresetFile::Target target;
        const char* sent;
    } rows[] = {
        {"saved from 5, loaded into 9", "55 02 53 05 60 02 10 F9", PresetFile::Target::ThisAmplifier,
         "55 02 53 09 60 02 10 D0"},
        {"to all amplifiers", "55 02 53 05 60 02 10 F9", PresetFile::Target::AllAmplifiers, "55 02 53 00 60 02 10 C7"},
        {"five bytes", "55 01 02 05 AA", PresetFile::Target::ThisAmplifier, "55 01 02 09 0C"},
        {"four bytes keep their address", "55 01 02 05", PresetFile::Target::AllAmplifiers, "55 01 02 03"},
        {"one byte", "55", PresetFile::Target::ThisAmplifier, "AB"},
        {"empty file", "", PresetFile::Target::AllAmplifiers, "AB"},
    };
    for (const auto& row : rows) {
        const QString file = path("load.save");
        writeFileBytes(file, hex(row.stored));
        heard.clear();
        link.close();
        RecordingLink recorder(std::make_unique<SimLink>(&bus));
        recorder.open(1, QStringLiteral("19200,n,8,1"));
        int readBacks = 0;
        clock->clearWaits();
        ASSERT_TRUE(PresetFile::load(recorder, file, 9, row.target, nullptr, [&] { ++readBacks; })) << row.what;
        ASSERT_EQ(recorder.writes().size(), 2) << row.what;
        EXPECT_EQ(spaced(recorder.writes().first().bytes), spaced(hex(row.sent))) << row.what;
        EXPECT_EQ(spaced(recorder.writes().last().bytes), spaced(Commands::fullStateRequest(9))) << row.what;
        EXPECT_EQ(clock->waits(), QList<int>{3000}) << row.what;
        EXPECT_EQ(readBacks, 1) << row.what;
    }
}

TEST_F(PresetFileTest, AReplayedReplyCarriesTheNewAddressAndAFreshChecksum)
{
    SimAmplifier& five = bus.addAmplifier(5);
    five.parameters().channels[3].delayUs = 1234;
    const QString file = path("five.save");
    ASSERT_EQ(PresetFile::save(link, 5, file).result, PresetFile::SaveResult::Written);
    for (const auto& [target, address] :
         {std::pair{PresetFile::Target::ThisAmplifier, 9}, std::pair{PresetFile::Target::AllAmplifiers, 0}}) {
        heard.clear();
        ASSERT_TRUE(PresetFile::load(link, file, 9, target, nullptr, nullptr));
        ASSERT_EQ(heard.size(), 2);
        const QByteArray& frame = heard.first();
        EXPECT_EQ(frame.size(), SimAmplifier::fullStateSize);
        EXPECT_EQ(static_cast<int>(static_cast<unsigned char>(frame.at(3))), address);
        EXPECT_EQ(ControlFrame::checksum(frame, 1, frame.size() - 1), static_cast<std::uint8_t>(frame.back()));
        EXPECT_EQ(spaced(heard.last()), spaced(hex("55 04 09 60 02 6F")));
    }
}

TEST_F(PresetFileTest, AnUnreadableFileIsReportedAndNothingIsSent)
{
    bus.addAmplifier(9);
    // Something far larger than any reply, chosen by mistake.
    const QString huge = path("recording.save");
    writeFileBytes(huge, hex("55 02 53 05 60 02 10 F9") + QByteArray(PresetFile::largestFileBytes, '\x55'));
    // A named pipe would wait for a writer for ever, a device never ends.
    const QString pipe = path("pipe.save");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const struct {
        const char* what;
        QString file;
        int cause;
    } rows[] = {
        {"missing", path("missing.save"), ENOENT},
        {"a folder", folder.path(), EISDIR},
        {"too large", huge, EFBIG},
        {"a named pipe", pipe, EINVAL},
        {"a device", QStringLiteral("/dev/zero"), EINVAL},
    };
    for (const auto& row : rows) {
        heard.clear();
        QStringList reports;
        bool readBack = false;
        EXPECT_FALSE(PresetFile::load(
            link, row.file, 9, PresetFile::Target::ThisAmplifier, [&](const QString& t) { reports << t; },
            [&] { readBack = true; }))
            << row.what;
        EXPECT_EQ(reports, QStringList{QStringLiteral("File could not be opened %1\n").arg(row.cause)}) << row.what;
        EXPECT_TRUE(heard.isEmpty()) << row.what;
        EXPECT_FALSE(readBack) << row.what;
    }
}

TEST_F(PresetFileTest, AClosedLinkRefusesTheReplay)
{
    const QString file = path("any.save");
    writeFileBytes(file, hex("55 02 53 05 60 02 10 F9"));
    link.close();
    EXPECT_THROW(PresetFile::load(link, file, 9, PresetFile::Target::ThisAmplifier, nullptr, nullptr), SerialError);
}

// Saved, changed on the amplifier, loaded back: the decoded state is the one saved.
TEST_F(PresetFileTest, ARoundTripRestoresTheState)
{
    SimAmplifier& amp = bus.addAmplifier(7, 4, 35);
    SimChannel& b = amp.parameters().channels[1];
    b.volumeDb = -21;
    b.mute = true;
    b.gainDb = 30;
    b.delayUs = 4321;
    b.outputSource = 5;
    b.hpType = 3;
    b.hpFrequencyHz = 120;
    b.limiterThreshold = 10;
    b.bands[4] = SimEqBand{2500, -650, 300, 4};
    amp.parameters().knobLock = true;
    const auto readState = [&] {
        link.discardInput();
        link.write(Commands::fullStateRequest(7));
        clock->advance(800);
        AmpParameters decoded;
        applyFullStateReply(decodeFullStateReply(link.readAll()), decoded);
        return decoded;
    };
    const AmpParameters before = readState();
    const SimParameters saved = amp.parameters();
    const QString file = path("round.save");
    ASSERT_EQ(PresetFile::save(link, 7, file).result, PresetFile::SaveResult::Written);

    amp.factoryReset();
    ASSERT_NE(amp.parameters(), saved);
    AmpParameters after;
    ASSERT_TRUE(PresetFile::load(link, file, 7, PresetFile::Target::ThisAmplifier, nullptr, [&] {
        clock->advance(800);
        applyFullStateReply(decodeFullStateReply(link.readAll()), after);
    }));
    EXPECT_EQ(amp.parameters(), saved);
    EXPECT_EQ(spaced(encodeFullStateReply(after, 7)), spaced(encodeFullStateReply(before, 7)));
    EXPECT_EQ(after.channels[1].volumeDb, -21);
}

} // namespace
