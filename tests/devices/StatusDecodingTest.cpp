#include "DevicesTestSupport.h"

#include "devices/DeviceTable.h"
#include "devices/DeviceTexts.h"
#include "devices/StatusDecoding.h"

namespace {

using DecodingTest = EnglishFixture;

struct ReplyCase {
    const char* reply;
    bool used;
    const char* connection; // of the refreshed row
    const char* state;
};

// The refreshed row starts as the poll leaves it: "Not connected" and " ".
TEST_F(DecodingTest, RefreshReplies)
{
    const ReplyCase cases[] = {
        {"55 09 05 17 00 02 01 00 FF FF 00", true, "The connection", "Normal"},
        {"55 09 05 17 00 02 02 00 FF FF 00", true, "The connection", "Standby"},
        {"55 06 05 17 00 02 00 00", true, "The connection", "Normal"}, // short form: always operating
        {"55 09 05 17 00 02 01 00 00 FF 00", true, "The connection", "TEMP pressure limit"},
        {"55 09 05 17 00 02 01 00 00 00 00", true, "The connection", "TEMP pressure limit"},
        {"55 09 05 17 00 02 01 00 FF F0 00", true, "The connection", "fault"},
        {"55 09 05 17 00 02 01 00 FF 0F 00", true, "The connection", "Dc protection"},
        {"55 09 05 17 00 02 01 00 FF 00 00", true, "The connection", "Dc protection"},
        {"54 09 05 17 00 02 01 00 FF FF 00", false, "Not connected", " "},
        {"55 09 05 18 00 02 01 00 FF FF 00", false, "Not connected", " "},
        {"55 09 05 17 01 02 01 00 FF FF 00", false, "Not connected", " "},
        {"55 09 05 17 00 02 01 00 FF", false, "Not connected", " "}, // long form cut before byte 9
        {"55 06 05 17 00 02", false, "Not connected", " "},
        {"", false, "Not connected", " "},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.reply);
        DeviceTable table;
        table.appendRow(QStringLiteral("5"), {}, QStringLiteral("Not connected"), QStringLiteral(" "));
        PollState state;
        EXPECT_EQ(decodeStatusReply(hex(c.reply), table, state), c.used);
        EXPECT_EQ(table.text(0, DeviceTable::ConnectionColumn), QString::fromUtf8(c.connection));
        EXPECT_EQ(table.text(0, DeviceTable::StateColumn), QString::fromUtf8(c.state));
    }
}

TEST_F(DecodingTest, LastReportedAddressChangesEvenForAWrongGroup)
{
    DeviceTable table;
    PollState state;
    decodeStatusReply(hex("55 09 2A 18 00 02 01 00 FF FF 00"), table, state);
    EXPECT_EQ(state.lastReportedAddress, QStringLiteral("42"));
    decodeStatusReply(hex("55 09 2B"), table, state); // too short: no reply at all
    EXPECT_EQ(state.lastReportedAddress, QStringLiteral("42"));
}

TEST_F(DecodingTest, SearchAppendsTheAddressOfTheReply)
{
    DeviceTable table;
    table.appendRow(QStringLiteral("9"), {}, {}, {});
    PollState state;
    state.pollMode = PollState::Search;
    sharedState().editorStatus = AmpStatus{AmpStatusKind::FaultNumber, 1}; // not consulted by a search
    EXPECT_TRUE(decodeStatusReply(hex("55 09 09 17 00 02 02 00 FF FF 00"), table, state));
    ASSERT_EQ(table.size(), 2);
    EXPECT_EQ(table.row(1), (DeviceRow{"2", "9", "", "The connection", "Standby", {AmpStatusKind::Standby}}));
}

TEST_F(DecodingTest, EditorStatusGoesToTheSelectedAddress)
{
    DeviceTable table;
    table.appendRow(QStringLiteral("5"), {}, {}, QStringLiteral(" "));
    table.appendRow(QStringLiteral("8"), {}, {}, QStringLiteral("old"));
    sharedState().editorStatus = AmpStatus{AmpStatusKind::FaultNumber, 3};
    sharedState().selectedAddress = 8;
    PollState state;
    decodeStatusReply(hex("55 09 05 17 00 02 01 00 FF FF 00"), table, state);
    EXPECT_EQ(table.text(0, DeviceTable::StateColumn), QStringLiteral(" "));
    EXPECT_EQ(table.text(1, DeviceTable::StateColumn), QStringLiteral("fault3"));
}

TEST_F(DecodingTest, RefreshRowGoneMeansNoRowIsTouched)
{
    DeviceTable table;
    PollState state;
    state.refreshRow = 3;
    EXPECT_TRUE(decodeStatusReply(hex("55 09 05 17 00 02 01 00 FF FF 00"), table, state));
    EXPECT_EQ(table.size(), 0);
}

struct ReportCase {
    const char* report;
    bool discard;
    const char* state;      // of the row with address 3
    const char* statusText; // of SharedState afterwards; " " for none
};

TEST_F(DecodingTest, Reports)
{
    const ReportCase cases[] = {
        {"55 06 03 40 00 00 FE 00", true, "fault1", "fault1"},
        {"55 06 03 40 00 00 F6 00", true, "fault4", "fault4"}, // later faults overwrite earlier ones
        {"55 06 03 40 00 00 7F 00", true, "Dc protection 4", "Normal"},
        {"55 06 03 40 00 00 0F 00", true, "Dc protection 4", "Normal"},
        {"55 06 03 40 00 00 EE 00", true, "Dc protection 1", "fault1"},
        {"55 06 03 40 00 00 FF 00", true, "Normal", "Normal"},
        {"55 06 04 40 00 00 FE 00", true, "-", "fault1"}, // unlisted address
        {"55 06 03 43 00 00 00 00", true, "-", " "},
        {"55 06 03 41 00 00 00 00", false, "-", " "},
        {"AA 06 03 40 00 00 FE 00", true, "-", " "},
        {"55 06 03 40 00", true, "-", " "}, // cut before the bit field
    };
    for (const ReportCase& c : cases) {
        SCOPED_TRACE(c.report);
        resetSharedState();
        DeviceTable table;
        table.appendRow(QStringLiteral("3"), {}, {}, QStringLiteral("-"));
        PollState state;
        EXPECT_EQ(decodeHomeReport(hex(c.report), table, state), c.discard);
        EXPECT_EQ(table.text(0, DeviceTable::StateColumn), QString::fromUtf8(c.state));
        const std::optional<AmpStatus> left = sharedState().editorStatus;
        EXPECT_EQ(left ? DeviceTexts::status(*left) : QStringLiteral(" "), QString::fromUtf8(c.statusText));
    }
}

TEST_F(DecodingTest, TemperatureReportAppliesToTheLastDecodedAddress)
{
    DeviceTable table;
    table.appendRow(QStringLiteral("3"), {}, {}, QStringLiteral("-"));
    table.appendRow(QString(), QStringLiteral("unnamed"), {}, QStringLiteral("-"));
    PollState state;
    // Before any frame the last address is empty: only the row without an address.
    EXPECT_TRUE(decodeHomeReport(hex("55 06 03 44 00 00 00 00"), table, state));
    EXPECT_EQ(table.text(0, DeviceTable::StateColumn), QStringLiteral("-"));
    EXPECT_EQ(table.text(1, DeviceTable::StateColumn), QStringLiteral("TEMP protection"));

    decodeStatusReply(hex("55 09 03 17 00 02 01 00 FF FF 00"), table, state);
    decodeHomeReport(hex("55 06 09 44 00 00 00 00"), table, state); // its byte 2 is not read
    EXPECT_EQ(table.text(0, DeviceTable::StateColumn), QStringLiteral("TEMP protection"));
}

} // namespace
