#include "sim/SimFrameReader.h"
#include "SimHex.h"

#include "protocol/ControlFrame.h"
#include "sim/SimAmplifier.h"

#include <gtest/gtest.h>

namespace {

std::string joined(const QList<QByteArray>& frames)
{
    std::string out;
    for (const QByteArray& f : frames)
        out += spaced(f) + " | ";
    return out;
}

TEST(SimFrameReader, ShortFramesFromNoiseAndPieces)
{
    SimFrameReader reader;
    EXPECT_TRUE(reader.append(hex("13 55"), 0).isEmpty());
    EXPECT_TRUE(reader.append(hex("06 01 02"), 0).isEmpty());
    EXPECT_EQ(joined(reader.append(hex("00 02 00 0B 55 04 03 60 02 69"), 0)),
              "55 06 01 02 00 02 00 0B | 55 04 03 60 02 69 | ");
}

TEST(SimFrameReader, BogusLengthByteDoesNotSwallowTheNextFrame)
{
    SimFrameReader reader;
    // 55 FF announces 257 bytes; the probe behind it is complete and good
    EXPECT_EQ(joined(reader.append(hex("55 FF 55 06 01 02 00 02 00 0B"), 0)), "55 06 01 02 00 02 00 0B | ");
}

TEST(SimFrameReader, LongFrameInPiecesAndBothLengthConventions)
{
    const QByteArray reply = SimAmplifier(3).fullStateReply();
    const QByteArray replay = ControlFrame::replayStoredFrame(reply, 4, false);
    SimFrameReader reader;
    QList<QByteArray> frames;
    for (qsizetype i = 0; i < replay.size(); i += 100)
        frames += reader.append(replay.mid(i, 100), 0);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0], replay);

    // a writer that counts the long length as total - 3
    QByteArray other = replay;
    other[2] = static_cast<char>(at(other, 2) - 1);
    other.back() = static_cast<char>(ControlFrame::checksum(other, 1, other.size() - 1));
    frames = reader.append(other, 0);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0].size(), 597);
}

TEST(SimFrameReader, BrokenLongFrameGivesUpOnlyItsHeader)
{
    QByteArray replay = ControlFrame::replayStoredFrame(SimAmplifier(3).fullStateReply(), 4, false);
    replay[300] = static_cast<char>(at(replay, 300) ^ 1);
    SimFrameReader reader;
    EXPECT_TRUE(reader.append(replay, 0).isEmpty());
    EXPECT_EQ(joined(reader.append(hex("55 04 03 60 02 69"), 0)), "55 04 03 60 02 69 | ");
}

TEST(SimFrameReader, LengthsOutOfRangeAndStalePieces)
{
    SimFrameReader reader;
    // a long length below 256 or beyond the read limit is no frame
    EXPECT_EQ(joined(reader.append(hex("55 00 10 55 04 03 60 02 69"), 0)), "55 04 03 60 02 69 | ");
    EXPECT_EQ(joined(reader.append(hex("55 04 00 55 04 03 60 02 69"), 0)), "55 04 03 60 02 69 | ");
    // a long candidate waits, but not across a pause
    EXPECT_TRUE(reader.append(hex("55 02 53 00"), 0).isEmpty());
    EXPECT_TRUE(reader.append(hex("55 04 03 60 02 69"), 10).isEmpty());
    EXPECT_EQ(joined(reader.append(hex("55 04 03 60 02 69"), 10 + SimFrameReader::frameGapMs + 1)),
              "55 04 03 60 02 69 | ");
}

} // namespace
