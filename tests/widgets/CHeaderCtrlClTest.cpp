#include "widgets/CHeaderCtrlCl.h"
#include "widgets/CListCtrlCl.h"

#include <QImage>
#include <QStandardItemModel>

#include <gtest/gtest.h>

namespace {

// A list of two 100-px columns in a 300-px wide view with a 25-px header,
// so the header has a strip right of the last column.
struct HeaderFixture : ::testing::Test
{
    QStandardItemModel model{0, 2};
    CListCtrlCl list;
    QImage image;

    void SetUp() override
    {
        list.setModel(&model);
        list.insertColumn(0, QStringLiteral("A"), Qt::AlignLeft, 100);
        list.insertColumn(1, QStringLiteral("B"), Qt::AlignRight, 100);
        list.header()->setFixedHeight(25);
        list.resize(300, 120);
        list.show();
        image = list.header()->grab().toImage();
    }
};

TEST_F(HeaderFixture, columnGreenStopsAt139AfterFifteenLines)
{
    ASSERT_EQ(image.height(), 25);
    const int x = 60; // inside column 0, away from the text
    for (int y = 0; y < 25; ++y) {
        const QColor c = image.pixelColor(x, y);
        SCOPED_TRACE(y);
        EXPECT_EQ(c.red(), 171 - 4 * y);
        EXPECT_EQ(c.green(), std::max(199 - 4 * y, 139));
        EXPECT_EQ(c.blue(), std::max(235 - 4 * y, 139));
    }
    EXPECT_EQ(image.pixelColor(x, 14).green(), 143);
    EXPECT_EQ(image.pixelColor(x, 15).green(), 139);
    EXPECT_EQ(image.pixelColor(x, 24).blue(), 139);
}

TEST_F(HeaderFixture, stripRightOfLastColumnFallsWithoutFloor)
{
    const int x = 250;
    for (int y = 0; y < 25; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(image.pixelColor(x, y), QColor(171 - 4 * y, 199 - 4 * y, 235 - 4 * y));
    }
    EXPECT_EQ(image.pixelColor(x, 24).green(), 103);
    EXPECT_EQ(image.pixelColor(x, 24).blue(), 139);
}

TEST_F(HeaderFixture, leftPixelOfEachSectionAndGapBeforeStripStayUnpainted)
{
    const QColor top(171, 199, 235);
    for (int x : {0, 100, 200})
        EXPECT_NE(image.pixelColor(x, 0), top) << x;
    for (int x : {1, 99, 101, 199, 201, int(image.width()) - 1})
        EXPECT_EQ(image.pixelColor(x, 0), top) << x;
}

TEST_F(HeaderFixture, everyHeadingCentredWhateverAlignmentAsked)
{
    EXPECT_EQ(list.header()->formatText(), QStringLiteral("11"));
    EXPECT_EQ(list.header()->headings(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    // Dark text pixels, per column: their horizontal centre is the column's.
    for (int column = 0; column < 2; ++column) {
        int minX = 1000, maxX = -1, minY = 1000, maxY = -1;
        for (int x = column * 100 + 1; x < column * 100 + 100; ++x)
            for (int y = 0; y < 25; ++y)
                if (qGray(image.pixel(x, y)) < 60) {
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                    minY = std::min(minY, y);
                    maxY = std::max(maxY, y);
                }
        SCOPED_TRACE(column);
        ASSERT_GE(maxX, 0);
        EXPECT_NEAR((minX + maxX) / 2.0, column * 100 + 50, 3);
        EXPECT_NEAR((minY + maxY) / 2.0, 12, 4);
    }
}

TEST(CHeaderCtrlCl, formatCharactersOtherThanOneAlignAsTheySay)
{
    QStandardItemModel model(0, 3);
    CListCtrlCl list;
    list.setModel(&model);
    auto *header = list.header();
    const QChar formats[] = {u'0', u'2', u'x'};
    for (int c = 0; c < 3; ++c) {
        header->insertHeading(c, QStringLiteral("W"), formats[c]);
        list.setColumnWidth(c, 100);
    }
    header->setFixedHeight(25);
    list.resize(400, 100);
    list.show();
    const QImage image = header->grab().toImage();
    auto inkSpan = [&](int column) {
        int minX = 1000, maxX = -1;
        for (int x = column * 100 + 1; x < column * 100 + 100; ++x)
            for (int y = 0; y < 25; ++y)
                if (qGray(image.pixel(x, y)) < 60) {
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                }
        return std::pair{minX, maxX};
    };
    EXPECT_LE(inkSpan(0).first, 3 + 3);   // left, 3 px in
    EXPECT_GE(inkSpan(1).second, 200 - 3 - 4); // right, 3 px in
    EXPECT_NEAR((inkSpan(2).first + inkSpan(2).second) / 2.0, 250, 3);
}

TEST(CHeaderCtrlCl, heightFactorScalesTheDefaultHeight)
{
    CHeaderCtrlCl header;
    QStandardItemModel model(0, 1);
    header.setModel(&model);
    const int normal = header.sizeHint().height();
    header.setHeightFactor(1.5);
    EXPECT_EQ(header.sizeHint().height(), int(normal * 1.5));
    EXPECT_EQ(header.font().pixelSize(), 15);
    EXPECT_EQ(header.font().family(), QStringLiteral("宋体"));
}

} // namespace
