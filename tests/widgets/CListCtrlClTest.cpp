#include "widgets/CHeaderCtrlCl.h"
#include "widgets/CListCtrlCl.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QCoreApplication>
#include <QImage>
#include <QScrollBar>
#include <QStandardItemModel>

#include <gtest/gtest.h>

namespace {

struct ListFixture : ::testing::Test
{
    QStandardItemModel model{0, 5};
    CListCtrlCl list;

    void addRow(const QString &address, const QString &state)
    {
        QList<QStandardItem *> items;
        for (const QString &text : {QString::number(model.rowCount() + 1), address,
                                    QString(), state, QString()})
            items.append(new QStandardItem(text));
        model.appendRow(items);
    }

    void SetUp() override
    {
        list.setModel(&model);
        const QStringList headings{"序号", "设备地址", "设备名", "连接状态", "设备状态"};
        for (int c = 0; c < 5; ++c)
            list.insertColumn(c, headings[c], Qt::AlignLeft, 100);
        addRow("1", "未连接");
        addRow("2", "连接");
        addRow("3", "Not connected");
        list.resize(560, 200);
        list.show();
    }

    QRect cell(int row, int column) const
    {
        return list.visualRect(model.index(row, column));
    }

    QImage grabViewport() const { return list.viewport()->grab().toImage(); }
};

TEST_F(ListFixture, rowsColouredByConnectionText)
{
    const QImage image = grabViewport();
    // Column 2 is empty, so its middle shows the bare row fill.
    const struct { int row; QRgb fill; } rows[] = {
        {0, qRgb(150, 205, 205)},
        {1, qRgb(187, 255, 255)},
        {2, qRgb(187, 255, 255)}, // English text never matches
    };
    for (const auto &r : rows)
        EXPECT_EQ(image.pixel(cell(r.row, 2).center()), r.fill) << r.row;
    EXPECT_EQ(list.rowTextColour(0), QColor(qRgb(128, 15, 12)));
    EXPECT_EQ(list.rowTextColour(1), QColor(qRgb(0, 128, 255)));
}

TEST_F(ListFixture, textPixelsUseRowTextColour)
{
    const QImage image = grabViewport();
    auto hasColour = [&](const QRect &r, QRgb colour) {
        for (int x = r.left(); x <= r.right(); ++x)
            for (int y = r.top(); y <= r.bottom(); ++y)
                if (image.pixel(x, y) == colour)
                    return true;
        return false;
    };
    EXPECT_TRUE(hasColour(cell(0, 1), qRgb(128, 15, 12)));
    EXPECT_FALSE(hasColour(cell(0, 1), qRgb(0, 128, 255)));
    EXPECT_TRUE(hasColour(cell(1, 1), qRgb(0, 128, 255)));
}

TEST_F(ListFixture, connectionColumnIsConfigurable)
{
    list.setConnectionColumn(1);
    model.item(1, 1)->setText("未连接");
    EXPECT_EQ(list.rowFill(0), QColor(qRgb(187, 255, 255)));
    EXPECT_EQ(list.rowFill(1), QColor(qRgb(150, 205, 205)));
}

TEST_F(ListFixture, selectedRowTakesHighlightColoursEvenWhenNotConnected)
{
    list.selectRow(0);
    const QImage image = grabViewport();
    const QColor highlight = list.palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(image.pixelColor(cell(0, 2).center()), highlight);
    EXPECT_EQ(image.pixel(cell(1, 2).center()), qRgb(187, 255, 255));
    EXPECT_EQ(list.rowTextColour(0),
              list.palette().color(QPalette::Active, QPalette::HighlightedText));
    // Single selection of whole rows.
    list.selectRow(1);
    EXPECT_FALSE(list.selectionModel()->isRowSelected(0, {}));
    EXPECT_TRUE(list.selectionModel()->isRowSelected(1, {}));
    EXPECT_EQ(list.selectionModel()->selectedIndexes().size(), 5);
}

TEST_F(ListFixture, cellTextStartsFivePixelsIn)
{
    model.item(0, 2)->setText("WWWW");
    const QImage image = grabViewport();
    const QRect r = cell(0, 2);
    int firstInk = -1;
    for (int x = r.left(); x <= r.right() && firstInk < 0; ++x)
        for (int y = r.top(); y <= r.bottom(); ++y)
            if (image.pixel(x, y) != qRgb(150, 205, 205)) {
                firstInk = x;
                break;
            }
    ASSERT_GE(firstInk, 0);
    EXPECT_GE(firstInk - r.left(), 5);
    EXPECT_LE(firstInk - r.left(), 5 + 2);
}

TEST_F(ListFixture, focusedRowFramed)
{
    list.activateWindow();
    list.setFocus();
    QCoreApplication::processEvents();
    list.setCurrentIndex(model.index(1, 0));
    if (!list.hasFocus())
        GTEST_SKIP() << "platform gives no focus";
    const QImage image = grabViewport();
    const QRect r = cell(1, 2);
    EXPECT_EQ(image.pixel(r.center().x(), cell(1, 0).top()), qRgb(0, 0, 128));
    EXPECT_EQ(image.pixel(cell(1, 0).left(), r.center().y()), qRgb(0, 0, 128));
    EXPECT_NE(image.pixel(r.center().x(), cell(0, 0).top()), qRgb(0, 0, 128));
}

TEST_F(ListFixture, listSettings)
{
    EXPECT_TRUE(list.showGrid());
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list.font().family(), QStringLiteral("宋体"));
    EXPECT_EQ(list.font().pixelSize(), 15);
    EXPECT_EQ(list.columnWidth(3), 100);
    EXPECT_EQ(list.header()->formatText(), QStringLiteral("11111"));
}

TEST_F(ListFixture, insertColumnAddsModelColumnsWhenMissing)
{
    list.insertColumn(5, "Extra", Qt::AlignRight, 42);
    EXPECT_EQ(model.columnCount(), 6);
    EXPECT_EQ(list.columnWidth(5), 42);
    EXPECT_EQ(list.header()->headings().last(), QStringLiteral("Extra"));
}

TEST_F(ListFixture, scrollsByPixelsAndOneDirectionAtATime)
{
    for (int i = 0; i < 40; ++i)
        addRow(QString::number(i + 4), "连接");
    list.resize(300, 200);
    list.horizontalScrollBar()->setValue(13);
    const int rowTop = cell(0, 0).top();
    list.verticalScrollBar()->setValue(7);
    EXPECT_EQ(cell(0, 0).top(), rowTop - 7);
    EXPECT_EQ(list.horizontalScrollBar()->value(), 13);
}

TEST_F(ListFixture, cellsAreAccessible)
{
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(&list);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->text(QAccessible::Name), QStringLiteral("Device table"));
    ASSERT_NE(table->tableInterface(), nullptr);
    QAccessibleInterface *c = table->tableInterface()->cellAt(1, 3);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->text(QAccessible::Name), QStringLiteral("连接"));
}

} // namespace
