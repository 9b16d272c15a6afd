#include "protocol/MonitorReply.h"
#include "Hex.h"

#include "app/StatusWords.h"

#include <gtest/gtest.h>

namespace {

// A monitor reply whose CHA reading, temperature and flags are given as hex;
// CHB to CHD read zero.
QByteArray reply(const char* voltage, const char* current, const char* temperature = "0F A0",
                 const char* flags = "FF FF FF")
{
    QByteArray text = QByteArray("55 21 03 50 00 00 ") + voltage + " 00 00 00 00 00 00 " + current
        + " 00 00 00 00 00 00 " + temperature + " 00 00 00 00 00 00 " + "0F A0 " + flags;
    return QByteArray::fromHex(text.replace(' ', ""));
}

struct CurrentRow {
    const char* voltage;
    const char* current;
    int uiLanguage;
    const char* voltageText;
    const char* currentText;
};

void PrintTo(const CurrentRow& row, std::ostream* os) { *os << row.voltage << " / " << row.current; }

class CurrentBox : public testing::TestWithParam<CurrentRow> {};

// The decoder gives numbers and a load; the texts are made from them.
TEST_P(CurrentBox, LoadJudgedFromImpedance)
{
    MonitorTexts previous;
    previous.current[0] = QStringLiteral("kept");
    const MonitorDecode decoded = decodeMonitorReply(reply(GetParam().voltage, GetParam().current), {});
    ASSERT_TRUE(decoded.accepted);
    ASSERT_TRUE(decoded.readingsComplete);
    const MonitorTexts texts = monitorTexts(decoded.readings, previous, GetParam().uiLanguage);
    EXPECT_EQ(texts.voltage[0], QString::fromUtf8(GetParam().voltageText));
    EXPECT_EQ(texts.current[0], QString::fromUtf8(GetParam().currentText));
}

INSTANTIATE_TEST_SUITE_P(Rows, CurrentBox, testing::Values(
    CurrentRow{"04 B0", "00 64", 1, "12.00V", "1.00A"},    // Z = 12
    CurrentRow{"04 B0", "00 32", 1, "12.00V", "0.50A"},    // Z = 24
    CurrentRow{"04 B0", "07 D0", 1, "12.00V", "overload"}, // Z = 0.6
    CurrentRow{"04 B0", "07 D0", 0, "12.00V", "短路"},
    CurrentRow{"04 B0", "00 0A", 1, "12.00V", "open"},     // Z = 120
    CurrentRow{"04 B0", "00 0A", 0, "12.00V", "开路"},
    CurrentRow{"04 B0", "00 00", 1, "12.00V", "open"},
    CurrentRow{"FB 50", "00 00", 1, "-12.00V", "open"},    // negative voltage, no current
    CurrentRow{"00 00", "07 D0", 1, "0.00V", "20.00A"},    // no voltage: the current whatever it is
    CurrentRow{"04 B0", "04 B0", 1, "12.00V", "kept"},     // Z exactly 1
    CurrentRow{"17 70", "00 64", 1, "60.00V", "kept"},     // Z exactly 60
    CurrentRow{"04 B0", "FF 9C", 1, "12.00V", "kept"},     // negative Z
    CurrentRow{"04 CE", "00 64", 1, "12.30V", "1.00A"}));

TEST(MonitorReply, Temperatures)
{
    const MonitorDecode positive = decodeMonitorReply(reply("00 00", "00 00", "0F A0"), {});
    EXPECT_EQ(positive.readings.temperatureHundredths[0], 4000);
    const MonitorTexts texts = monitorTexts(positive.readings, {}, 1);
    EXPECT_EQ(texts.temperature[0], QStringLiteral("40.00℃"));
    EXPECT_EQ(texts.powerTemperature, QStringLiteral("40.00℃"));
    EXPECT_EQ(texts.temperature[1], QStringLiteral("0.00℃"));
    const MonitorDecode negative = decodeMonitorReply(reply("00 00", "00 00", "FF 38"), {});
    EXPECT_EQ(negative.readings.temperatureHundredths[0], -200);
    EXPECT_EQ(monitorTexts(negative.readings, {}, 0).temperature[0], QStringLiteral("-2.00℃"));
}

struct StatusRow {
    const char* flags; // clip, temperature limit, protection
    AmpStatus previous;
    AmpStatus status;
    const char* english;
    const char* chinese;
};

void PrintTo(const StatusRow& row, std::ostream* os) { *os << row.flags << " after " << statusName(row.previous).toStdString(); }

class StatusText : public testing::TestWithParam<StatusRow> {};

TEST_P(StatusText, FromFlags)
{
    const MonitorDecode decoded = decodeMonitorReply(reply("04 B0", "00 64", "0F A0", GetParam().flags), GetParam().previous);
    EXPECT_EQ(decoded.status, GetParam().status);
    EXPECT_EQ(statusWord(decoded.status, 1), QString::fromUtf8(GetParam().english));
    EXPECT_EQ(statusWord(decoded.status, 0), QString::fromUtf8(GetParam().chinese));
}

constexpr AmpStatus normal{AmpStatusKind::Normal};
constexpr AmpStatus standby{AmpStatusKind::Standby};

INSTANTIATE_TEST_SUITE_P(Rows, StatusText, testing::Values(
    StatusRow{"FF FF F0", normal, {AmpStatusKind::Fault}, "fault", "fault"},
    StatusRow{"FF FF 0F", normal, {AmpStatusKind::DcProtection}, "Dc protection", "直流保护"},
    StatusRow{"FF FF 00", normal, {AmpStatusKind::DcProtection}, "Dc protection", "直流保护"},
    StatusRow{"00 00 F0", normal, {AmpStatusKind::Fault}, "fault", "fault"}, // protection wins over clip
    StatusRow{"00 FF FF", normal, {AmpStatusKind::Clip}, "clip", "clip"},
    StatusRow{"FF 00 FF", normal, {AmpStatusKind::TemperatureLimit}, "TEMP pressure limit", "温度压限"},
    StatusRow{"FF FF FF", standby, normal, "Normal", "正常"}, // a clean reply ends a standby
    StatusRow{"FF FF FF", {AmpStatusKind::Fault}, {AmpStatusKind::Fault}, "fault", "fault"},
    StatusRow{"FF FF FF", {AmpStatusKind::Clip}, {AmpStatusKind::Clip}, "clip", "clip"}));

TEST(MonitorReply, NotStartingWithHeaderIsDiscarded)
{
    for (const QByteArray& bytes : {QByteArray(), hex("54 21 03 50"), reply("04 B0", "00 64").mid(1)}) {
        const MonitorDecode decoded = decodeMonitorReply(bytes, standby);
        EXPECT_FALSE(decoded.accepted);
        EXPECT_TRUE(decoded.discardInput);
        EXPECT_FALSE(decoded.readingsComplete);
        EXPECT_EQ(decoded.status, standby);
    }
}

TEST(MonitorReply, OtherGroupIsIgnoredWithoutDiscarding)
{
    QByteArray bytes = reply("04 B0", "00 64");
    bytes[3] = 0x60;
    for (const QByteArray& b : {bytes, hex("55"), hex("55 21 03")}) {
        const MonitorDecode decoded = decodeMonitorReply(b, {});
        EXPECT_FALSE(decoded.accepted);
        EXPECT_FALSE(decoded.discardInput);
        EXPECT_FALSE(decoded.readingsComplete);
    }
}

TEST(MonitorReply, ShortReplyIsAcceptedButChangesNoText)
{
    const QByteArray full = reply("04 B0", "00 64");
    for (qsizetype size = 4; size < full.size(); ++size) {
        const MonitorDecode decoded = decodeMonitorReply(full.left(size), standby);
        EXPECT_TRUE(decoded.accepted);
        EXPECT_FALSE(decoded.readingsComplete);
        EXPECT_EQ(decoded.status, standby);
    }
}

} // namespace

namespace {

TEST(MonitorReply, AnyBytesAreSafe)
{
    std::uint32_t state = 7;
    for (int round = 0; round < 500; ++round) {
        QByteArray bytes(round % 64, '\0');
        for (char& byte : bytes) {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<char>(state >> 24);
        }
        if (bytes.size() > 3 && round % 2 == 0) {
            bytes[0] = 0x55;
            bytes[3] = 0x50;
        }
        const MonitorDecode decoded = decodeMonitorReply(bytes, round % 2 ? standby : normal);
        EXPECT_EQ(decoded.readingsComplete, decoded.accepted && bytes.size() >= MonitorLayout::minimumSize);
    }
}

} // namespace
