#include "protocol/ControlFrame.h"
#include "Hex.h"

#include <gtest/gtest.h>

namespace {

struct FrameRow {
    const char* payload;
    const char* frame;
};

void PrintTo(const FrameRow& row, std::ostream* os) { *os << '[' << row.payload << ']'; }

class FrameBytes : public testing::TestWithParam<FrameRow> {};

TEST_P(FrameBytes, HeaderLengthPayloadAndChecksum)
{
    const QByteArray frame = ControlFrame::build(hex(GetParam().payload));
    EXPECT_EQ(frame.toHex(' '), hex(GetParam().frame).toHex(' '));
    EXPECT_TRUE(ControlFrame::isWellFormed(frame));
}

INSTANTIATE_TEST_SUITE_P(Rows, FrameBytes, testing::Values(
    // volume of CHB to -20 dB at address 3: the sum 0x10A keeps its low byte
    FrameRow{"03 10 02 03 EC", "55 06 03 10 02 03 EC 0A"},
    // full-state request to address 3
    FrameRow{"03 60 02", "55 04 03 60 02 69"},
    FrameRow{"", "55 01 01"}));

TEST(ControlFrame, NegativeValuesTravelAsTheirLowByte)
{
    EXPECT_EQ(ControlFrame::build({3, 0x10, 2, 3, -20}), hex("55 06 03 10 02 03 EC 0A"));
}

TEST(ControlFrame, MalformedFramesAreRecognised)
{
    EXPECT_FALSE(ControlFrame::isWellFormed(hex("55 04 03 60 02 6A")));
    EXPECT_FALSE(ControlFrame::isWellFormed(hex("54 04 03 60 02 69")));
    EXPECT_FALSE(ControlFrame::isWellFormed(hex("55 05 03 60 02 69")));
    EXPECT_FALSE(ControlFrame::isWellFormed(hex("55")));
}

TEST(ReplayStoredFrame, OwnAddressOrAllAmplifiersAtOffsetThreeWithFreshChecksum)
{
    const QByteArray stored = hex("55 07 00 09 11 22 33 FF");
    EXPECT_EQ(ControlFrame::replayStoredFrame(stored, 7, false), hex("55 07 00 07 11 22 33 74"));
    EXPECT_EQ(ControlFrame::replayStoredFrame(stored, 7, true), hex("55 07 00 00 11 22 33 6D"));
}

TEST(ReplayStoredFrame, ShortAndEmptyFiles)
{
    EXPECT_EQ(ControlFrame::replayStoredFrame({}, 7, false), hex("AB"));
    EXPECT_EQ(ControlFrame::replayStoredFrame(hex("55"), 7, false), hex("AB"));
    // under five bytes the address byte is not there to replace
    EXPECT_EQ(ControlFrame::replayStoredFrame(hex("55 02 09 00"), 7, true), hex("55 02 09 0B"));
    EXPECT_EQ(ControlFrame::replayStoredFrame(hex("55 03 00 09 00"), 7, true), hex("55 03 00 00 03"));
}

} // namespace
