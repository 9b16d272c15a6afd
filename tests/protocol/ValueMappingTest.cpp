#include "protocol/ValueMapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iterator>

namespace {

namespace VM = ValueMapping;

struct IntegerRow {
    const char* typed;
    int value;
};

class LeadingInteger : public testing::TestWithParam<IntegerRow> {};

TEST_P(LeadingInteger, ReadsLeadingDigitsOnly)
{
    EXPECT_EQ(VM::leadingInteger(QString::fromUtf8(GetParam().typed)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Rows, LeadingInteger, testing::Values(
    IntegerRow{"123", 123}, IntegerRow{"12abc", 12}, IntegerRow{"abc", 0}, IntegerRow{"", 0},
    IntegerRow{"-25", -25}, IntegerRow{"+7", 7}, IntegerRow{"  42", 42}, IntegerRow{"-", 0},
    IntegerRow{"1.9", 1}, IntegerRow{"--3", 0}, IntegerRow{"٣", 0},
    IntegerRow{"99999999999999999999999", 2147483647}, IntegerRow{"-99999999999999999999999", -2147483647 - 1}));

struct DecimalRow {
    const char* typed;
    double value;
};

class LeadingDecimal : public testing::TestWithParam<DecimalRow> {};

TEST_P(LeadingDecimal, ReadsLeadingNumber)
{
    EXPECT_DOUBLE_EQ(VM::leadingDecimal(QString::fromUtf8(GetParam().typed)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Rows, LeadingDecimal, testing::Values(
    DecimalRow{"1.5K", 1.5}, DecimalRow{"2.3", 2.3}, DecimalRow{".5", 0.5}, DecimalRow{"-0.25", -0.25},
    DecimalRow{"x1", 0}, DecimalRow{"7.", 7}, DecimalRow{"1e5", 1}));

TEST(LeadingDecimal, HugeInputStaysFinite)
{
    EXPECT_TRUE(std::isfinite(VM::leadingDecimal(QString(5000, u'9') + u'.' + QString(5000, u'9'))));
}

TEST(Sliders, PositionsAndValues)
{
    EXPECT_EQ(VM::volumeFromPosition(80), -80);
    EXPECT_EQ(VM::volumeFromPosition(-6), 6);
    // the gain slider shows gainTop at the top and gainTop - 18 at the bottom
    EXPECT_EQ(VM::gainFromPosition(23, 41), 41);
    EXPECT_EQ(VM::gainFromPosition(41, 41), 23);
    EXPECT_EQ(VM::positionFromGain(30, 30), 12);
    EXPECT_EQ(VM::gainRange(30), (VM::Range{12, 30}));
    EXPECT_EQ(VM::thresholdRange(30), (VM::Range{2, 32}));
    EXPECT_EQ(VM::thresholdFromPosition(-41), 41);
    EXPECT_EQ(VM::limiterTimeFromPosition(10000), 1);
    EXPECT_EQ(VM::positionFromLimiterTime(10000), 1);
    EXPECT_EQ(VM::decibelText(-80), QStringLiteral("-80dB"));
}

struct WireRow {
    double gainDb;
    int wire;
};

class EqGainWire : public testing::TestWithParam<WireRow> {};

TEST_P(EqGainWire, HundredthsCutTowardZero)
{
    EXPECT_EQ(VM::eqGainWire(GetParam().gainDb), GetParam().wire);
}

INSTANTIATE_TEST_SUITE_P(Rows, EqGainWire, testing::Values(
    WireRow{-18, 0xF8F8}, WireRow{18, 0x0708}, WireRow{0, 0}, WireRow{1.239, 123}, WireRow{-1.239, 0xFF85},
    // 2.29 read from the amplifier is 2.2899999 in single precision
    WireRow{static_cast<double>(2.29f), 229}, WireRow{1e300, 0x7FFF}, WireRow{-1e300, 0x8000},
    WireRow{std::nan(""), 0}));

struct BoxRow {
    const char* typed;
    int value;
    const char* text;
    bool rewritten;
};

void PrintTo(const BoxRow& row, std::ostream* os) { *os << '"' << row.typed << '"'; }

void expectBox(const VM::BoxValue& box, const BoxRow& row)
{
    EXPECT_EQ(box.value, row.value);
    EXPECT_EQ(box.text, QString::fromUtf8(row.text));
    EXPECT_EQ(box.rewritten, row.rewritten);
}

class DelayBox : public testing::TestWithParam<BoxRow> {};
TEST_P(DelayBox, Limits) { expectBox(VM::delayBox(QString::fromUtf8(GetParam().typed)), GetParam()); }
INSTANTIATE_TEST_SUITE_P(Rows, DelayBox, testing::Values(
    BoxRow{"65001", 65000, "65000", true}, BoxRow{"999999999999", 65000, "65000", true},
    BoxRow{"-5", 0, "0", true}, BoxRow{"-99999999999999", 0, "0", true},
    BoxRow{"1200", 1200, "1200", false}, BoxRow{"12us", 12, "12us", false}, BoxRow{"", 0, "", false}));

class EqGainBox : public testing::TestWithParam<BoxRow> {};
TEST_P(EqGainBox, LimitsAndRewrites) { expectBox(VM::eqGainBox(QString::fromUtf8(GetParam().typed)), GetParam()); }
INSTANTIATE_TEST_SUITE_P(Rows, EqGainBox, testing::Values(
    BoxRow{"-25", -18, "-18", true}, BoxRow{"25", 18, "18", true}, BoxRow{"5", 5, "5", false},
    BoxRow{"3.7", 3, "3", true}, BoxRow{"abc", 0, "0", true}));

class EqFrequencyBox : public testing::TestWithParam<BoxRow> {};
TEST_P(EqFrequencyBox, LimitsAndRewrites)
{
    expectBox(VM::eqFrequencyBox(QString::fromUtf8(GetParam().typed)), GetParam());
}
INSTANTIATE_TEST_SUITE_P(Rows, EqFrequencyBox, testing::Values(
    BoxRow{"5", 20, "20", true}, BoxRow{"30000", 20000, "20000", true}, BoxRow{"1000", 1000, "1000", false}));

class CrossoverBox : public testing::TestWithParam<BoxRow> {};
TEST_P(CrossoverBox, KilohertzCapitalsAndLimits)
{
    expectBox(VM::crossoverFrequencyBox(QString::fromUtf8(GetParam().typed)), GetParam());
}
INSTANTIATE_TEST_SUITE_P(Rows, CrossoverBox, testing::Values(
    BoxRow{"2k", 2000, "2000", true}, BoxRow{"1.5K", 1500, "1500", true},
    // 2.3 x 1000 is 2299.9999... in binary
    BoxRow{"2.3K", 2300, "2300", true}, BoxRow{"5", 20, "20", true}, BoxRow{"25k", 20000, "20000", true},
    BoxRow{"K", 20, "20", true}, BoxRow{"-1K", 20, "20", true}, BoxRow{"300", 300, "300", false},
    BoxRow{"300hz", 300, "300HZ", true}, BoxRow{"k2", 20, "20", true}));

class LimiterBoxes : public testing::TestWithParam<BoxRow> {};
TEST_P(LimiterBoxes, AttackAndRelease)
{
    expectBox(VM::limiterTimeBox(QString::fromUtf8(GetParam().typed)), GetParam());
}
INSTANTIATE_TEST_SUITE_P(Rows, LimiterBoxes, testing::Values(
    BoxRow{"0", 1, "1", true}, BoxRow{"10001", 10000, "10000", true}, BoxRow{"250", 250, "250", false}));

TEST(ThresholdBox, FollowsTheRangeItIsGiven)
{
    expectBox(VM::thresholdBox("40", VM::thresholdRange(30)), {"40", 32, "32", true});
    expectBox(VM::thresholdBox("0", VM::thresholdRange(30)), {"0", 2, "2", true});
    expectBox(VM::thresholdBox("5", VM::thresholdRangeBeforeRead), {"5", 11, "11", true});
}

struct QRow {
    const char* typed;
    const char* text;
    int arrows;
    int wire;
};

class QBox : public testing::TestWithParam<QRow> {};

TEST_P(QBox, LimitsToOneTenthToTwenty)
{
    const VM::QBoxValue box = VM::qBox(QString::fromUtf8(GetParam().typed));
    EXPECT_EQ(box.text, QString::fromUtf8(GetParam().text));
    EXPECT_EQ(box.arrowPosition, GetParam().arrows);
    EXPECT_EQ(box.wire, GetParam().wire);
}

INSTANTIATE_TEST_SUITE_P(Rows, QBox, testing::Values(
    QRow{"1.4", "1.4", 14, 140}, QRow{"0", "0.1", 1, 10}, QRow{"25", "20.0", 200, 2000},
    // 2.3 x 100 is 229.99999... in binary: still sent as 230
    QRow{"2.3", "2.3", 23, 230}, QRow{"1.47", "1.5", 14, 147}, QRow{"-3", "0.1", 1, 10}, QRow{"q", "0.1", 1, 10}));

TEST(QArrows, PositionTimesTen) { EXPECT_EQ(VM::qWireFromArrows(14), 140); }

TEST(BandDisplay, Formats)
{
    EXPECT_EQ(VM::bandFrequencyText(25000), QStringLiteral("20000"));
    EXPECT_EQ(VM::bandFrequencyText(1000), QStringLiteral("1000"));
    EXPECT_EQ(VM::bandGainText(-2.26), QStringLiteral("-2.3"));
    EXPECT_EQ(VM::bandGainTextAfterRead(2.5), QStringLiteral("3"));
    EXPECT_EQ(VM::bandGainTextAfterRead(-2.7), QStringLiteral("-2"));
    EXPECT_EQ(VM::qText(1.4), QStringLiteral("1.4"));
}

} // namespace

namespace {

TEST(Readers, TotalOnArbitraryText)
{
    // Digits, signs, points, blanks, letters, non-Latin digits and surrogates.
    const char16_t alphabet[] = u"0123456789-+. \tkK\u0663\u4E2D\xD800\xDC00x";
    std::uint32_t state = 99;
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int length = round % 40;
        for (int i = 0; i < length; ++i) {
            state = state * 1664525u + 1013904223u;
            text.append(QChar(alphabet[(state >> 16) % (std::size(alphabet) - 1)]));
        }
        EXPECT_TRUE(std::isfinite(VM::leadingDecimal(text)));
        VM::leadingInteger(text);
        EXPECT_TRUE(VM::Range({0, 65000}).contains(VM::delayBox(text).value));
        EXPECT_TRUE(VM::eqGainRange.contains(VM::eqGainBox(text).value));
        EXPECT_TRUE(VM::frequencyRange.contains(VM::crossoverFrequencyBox(text).value));
        const VM::QBoxValue q = VM::qBox(text);
        EXPECT_TRUE(q.wire >= 10 && q.wire <= 2000);
        EXPECT_TRUE(VM::qArrowRange.contains(q.arrowPosition));
    }
}

} // namespace
