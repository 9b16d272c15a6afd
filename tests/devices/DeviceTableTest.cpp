#include "DevicesTestSupport.h"

#include "devices/DeviceTable.h"
#include "devices/DeviceTexts.h"

namespace {

using TableTest = EnglishFixture;

QStringList column(const DeviceTable& table, int c)
{
    QStringList texts;
    for (int r = 0; r < table.size(); ++r)
        texts << table.text(r, c);
    return texts;
}

TEST_F(TableTest, DeleteRenumbersTheRowsBelow)
{
    DeviceTable table;
    for (const char* a : {"1", "2", "3", "4"})
        table.appendRow(QString::fromLatin1(a), {}, {}, {});
    EXPECT_TRUE(table.deleteRow(1));
    EXPECT_EQ(column(table, DeviceTable::NumberColumn), QStringList({"1", "2", "3"}));
    EXPECT_EQ(column(table, DeviceTable::AddressColumn), QStringList({"1", "3", "4"}));
    EXPECT_FALSE(table.deleteRow(-1)); // a click below the last row
    EXPECT_FALSE(table.deleteRow(3));
    EXPECT_EQ(table.size(), 3);
}

TEST_F(TableTest, StateForAddressComparesTextsExactly)
{
    DeviceTable table;
    for (const char* a : {"7", "007", "7", "", "17"})
        table.appendRow(QString::fromLatin1(a), {}, {}, QStringLiteral("-"));
    table.setStateForAddress(QStringLiteral("7"), {AmpStatusKind::Clip});
    EXPECT_EQ(column(table, DeviceTable::StateColumn), QStringList({"clip", "-", "clip", "-", "-"}));
    // The value stands beside its words; a text written otherwise has none.
    EXPECT_EQ(table.row(0).status, AmpStatus{AmpStatusKind::Clip});
    EXPECT_EQ(table.row(1).status, AmpStatus{});
    table.setText(0, DeviceTable::StateColumn, QStringLiteral(" "));
    EXPECT_EQ(table.row(0).status, AmpStatus{});
    // Read as integers, "7" and "007" are the same address.
    EXPECT_EQ(table.rowsWithAddress(7), QList<int>({0, 1, 2}));
    EXPECT_EQ(table.rowsWithAddress(0), QList<int>({3}));
}

TEST_F(TableTest, HeadingsInBothLanguages)
{
    DeviceTable table;
    const QStringList english{"Number", "Device address", "Device name", "Connection state", "Equipment state"};
    const QStringList chinese{"序号", "设备地址", "设备名", "连接状态", "设备状态"};
    for (int c = 0; c < DeviceTable::ColumnCount; ++c) {
        setUiLanguage(englishUi);
        EXPECT_EQ(table.headerData(c, Qt::Horizontal).toString(), english[c]);
        setUiLanguage(chineseUi);
        EXPECT_EQ(table.headerData(c, Qt::Horizontal).toString(), chinese[c]);
    }
    EXPECT_EQ(DeviceTexts::status({AmpStatusKind::DcProtectionNumber, 2}), QString::fromUtf8("直流保护2"));
    setUiLanguage(englishUi);
    EXPECT_EQ(DeviceTexts::status({AmpStatusKind::DcProtectionNumber, 2}), QStringLiteral("Dc protection 2"));
}

TEST_F(TableTest, NumberCellIsNotEditable)
{
    DeviceTable table;
    table.appendRow(QStringLiteral("3"), {}, {}, {});
    table.setText(0, DeviceTable::NumberColumn, QStringLiteral("9"));
    table.setText(5, DeviceTable::NameColumn, QStringLiteral("ghost"));
    EXPECT_EQ(table.data(table.index(0, DeviceTable::NumberColumn)).toString(), QStringLiteral("1"));
    EXPECT_EQ(table.size(), 1);
}

} // namespace
