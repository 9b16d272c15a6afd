#include "response/GraphLabelChecks.h"
#include "response/GraphPainting.h"
#include "response/ResponseMath.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// About the size of the areas in the editor window.
constexpr int eqWidth = 790;
constexpr int eqHeight = 406;
constexpr int crossoverWidth = 558;
constexpr int crossoverHeight = 208;

// The graphs' colours: curves red, grey while bypassed, the selected band's
// white ring, black behind, grid and labels (230, 230, 250).
const QRgb red = qRgb(255, 0, 0) & 0xFFFFFF;
const QRgb grey = qRgb(190, 190, 190) & 0xFFFFFF;
const QRgb white = qRgb(255, 255, 255) & 0xFFFFFF;
const QRgb black = qRgb(0, 0, 0) & 0xFFFFFF;
const QRgb gridColour = qRgb(230, 230, 250) & 0xFFFFFF;
// Label sizes of areas as wide as these: 10 points in the EQ graph, 8 in
// the crossover graph.
constexpr int eqPoints = 10;
constexpr int crossoverPoints = 8;

struct GraphPaintingTest : testing::Test {
    MarkerState markers;
    GraphPainter painter;
    EqGraphScene eq;
    CrossoverGraphScene crossover;

    GraphPaintingTest()
    {
        markers.setAreas(eqWidth, eqHeight, crossoverWidth, crossoverHeight);
        markers.resetToInitial();
        eq.markers = &markers;
        eq.types.fill(EqType::peaking);
        eq.q.fill(1.4);
        crossover.markers = &markers;
    }
    QImage paintEq()
    {
        QImage image(eqWidth, eqHeight, QImage::Format_RGB32);
        painter.paintEq(image, eq);
        return image;
    }
    QImage paintCrossover()
    {
        QImage image(crossoverWidth, crossoverHeight, QImage::Format_RGB32);
        painter.paintCrossover(image, crossover);
        return image;
    }
    void placeBand(int band, int frequencyHz, double gainDb)
    {
        markers.placeBandFrequency(0, band, frequencyHz);
        markers.placeBandGain(0, band, gainDb);
    }
    const EqPlotRect& eqPlot() const { return markers.eqPlot(); }
};

QRgb pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

int countColour(const QImage& image, QRgb colour, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += pixel(image, x, y) == (colour & 0xFFFFFF);
    return count;
}

QRect boxRect(const MarkerBox& box, int margin)
{
    return QRect(QPoint(box.left, box.top), QPoint(box.right, box.bottom)).adjusted(-margin, -margin, margin, margin);
}

bool inAnyBandBox(const MarkerState& markers, int x, int margin)
{
    for (int b = 0; b < MarkerState::bands; ++b) {
        const MarkerBox& box = markers.band(0, b).box;
        if (x >= box.left - margin && x <= box.right + margin)
            return true;
    }
    return false;
}

TEST_F(GraphPaintingTest, BypassDrawsAGreyLineOnTheZeroRowAndGreyMarkers)
{
    placeBand(4, 500, 12);
    placeBand(9, 4000, -9);
    struct Row {
        bool bypass;
        QRgb colour;
        bool flat;
    };
    for (const Row& r : {Row{true, grey, true}, Row{false, red, false}}) {
        eq.bypass = r.bypass;
        const QImage image = paintEq();
        const EqPlotRect& plot = eqPlot();
        int offLine = 0;
        for (int x = plot.x0 + 2; x <= plot.x1 - 2; ++x)
            offLine += !inAnyBandBox(markers, x, 2) && pixel(image, x, plot.zeroDbY()) != r.colour;
        if (r.flat)
            EXPECT_EQ(offLine, 0) << "bypass " << r.bypass;
        else
            EXPECT_GT(offLine, 50) << "the two bands lift and lower the curve";
        for (int b = 1; b < MarkerState::bands; ++b) {
            const MarkerBox& box = markers.band(0, b).box;
            EXPECT_EQ(pixel(image, box.centreX(), box.centreY()), r.colour) << "band " << b;
        }
        EXPECT_EQ(countColour(image, r.bypass ? red : grey, image.rect()), 0) << "bypass " << r.bypass;
    }
}

TEST_F(GraphPaintingTest, TwoTopPeaksOnOneFrequencyRunAlongTheTopEdgeNeverOutside)
{
    placeBand(6, 1000, 18);
    placeBand(7, 1000, 18);
    const QImage image = paintEq();
    const EqPlotRect& plot = eqPlot();
    const int centre = markers.band(0, 6).box.centreX();
    const auto markerAt = [&](int x, int y) {
        for (int b = 0; b < MarkerState::bands; ++b)
            if (boxRect(markers.band(0, b).box, 2).contains(x, y))
                return true;
        return false;
    };
    // Above the 3-pixel top frame there is no curve, only the two markers.
    for (int x = 0; x < eqWidth; ++x) {
        if (inAnyBandBox(markers, x, 1))
            continue;
        for (int y = 0; y < plot.y1 - 1; ++y)
            ASSERT_NE(pixel(image, x, y), red) << x << "," << y;
    }
    // Beside the markers the +36 dB sum is held on the top edge, under the
    // frame; further out the curve comes down into the plot.
    const auto curveInPlot = [&](int x) {
        int count = 0;
        for (int y = plot.y1 + 2; y < plot.y0 - 1; ++y)
            count += pixel(image, x, y) == red && !markerAt(x, y);
        return count;
    };
    for (int x : {centre - 20, centre - 8, centre + 8, centre + 20})
        EXPECT_EQ(curveInPlot(x), 0) << x;
    for (int x : {centre - 120, centre + 120})
        EXPECT_GT(curveInPlot(x), 0) << x;
}

TEST_F(GraphPaintingTest, CrossoverBypassIsARedLineOneSixthBelowTheTop)
{
    crossover.hpType = CrossoverType::bypass;
    crossover.lpType = CrossoverType::bypass;
    const QImage image = paintCrossover();
    const CrossoverPlotRect& plot = markers.crossoverPlot();
    const int zero = static_cast<int>(plot.zeroDbY());
    EXPECT_NEAR(zero - plot.y1, plot.height() / 6, 1);
    int offLine = 0;
    int belowLine = 0;
    for (int x = static_cast<int>(plot.x0) + 2; x <= static_cast<int>(plot.x1) - 2; ++x) {
        offLine += pixel(image, x, zero) != red;
        const bool underMarker = std::abs(x - markers.corner(0, 0).box.centreX()) <= 7
            || std::abs(x - markers.corner(0, 1).box.centreX()) <= 7;
        if (!underMarker)
            belowLine += countColour(image, red, QRect(x, zero + 2, 1, static_cast<int>(plot.y0) - zero - 4));
    }
    EXPECT_EQ(offLine, 0);
    EXPECT_EQ(belowLine, 0);

    // A 24 dB high-pass drops the left part of the line.
    crossover.hpType = CrossoverType::butterworth24;
    const QImage filtered = paintCrossover();
    EXPECT_NE(pixel(filtered, static_cast<int>(plot.x0) + 20, zero), red);
    EXPECT_EQ(pixel(filtered, static_cast<int>(plot.x1) - 30, zero), red);
}

// A label as the graphs draw it: text with its top-left corner at (x, y).
struct Label {
    const char* text;
    int x;
    int y;
};

QImage withLabel(const QImage& like, int points, const Label& label)
{
    QImage image(like.size(), QImage::Format_RGB32);
    image.fill(QColor(0, 0, 0));
    QPainter p(&image);
    QFont font(QString::fromUtf8(graphFontFamily));
    font.setPointSize(points);
    p.setFont(font);
    p.setPen(QColor(230, 230, 250));
    p.drawText(QPoint(label.x, label.y + p.fontMetrics().ascent()), QString::fromUtf8(label.text));
    return image;
}

QRect labelRect(int points, const Label& label)
{
    QFont font(QString::fromUtf8(graphFontFamily));
    font.setPointSize(points);
    const QFontMetrics metrics(font);
    return QRect(label.x, label.y, metrics.horizontalAdvance(QString::fromUtf8(label.text)), metrics.height());
}

// Compares the label's rectangle with the text drawn alone there.
void expectLabel(const QImage& image, int points, const Label& label)
{
    const QImage reference = withLabel(image, points, label);
    // The top rows of a label under the crossover plot lie under the frame.
    const QRect area = labelRect(points, label).adjusted(0, 2, 0, 0).intersected(image.rect());
    int differing = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            differing += pixel(image, x, y) != pixel(reference, x, y);
    EXPECT_EQ(differing, 0) << '"' << label.text << "\" at " << label.x << "," << label.y;
    EXPECT_LT(countColour(reference, black, area), area.width() * area.height()) << label.text;
}

TEST_F(GraphPaintingTest, EqLabelsSayKhzSmallAndLeave200HzBare)
{
    const QImage image = paintEq();
    const EqPlotRect& p = eqPlot();
    // At these pixels for the test's 790 x 406 area: under the plot, 15
    // pixels left of their lines; the levels at the left edge.
    const Label frequencies[] = {{"20Hz", 37, 380},   {"100Hz", 196, 380}, {" 1kHz", 425, 380},
                                 {" 2kHz", 494, 380}, {"10kHz", 654, 380}, {"20kHz", 723, 380}};
    for (const Label& label : frequencies)
        expectLabel(image, eqPoints, label);
    const Label bottomLevel{"-18dB", 0, 375};
    for (const Label& label : {Label{"18dB", 0, 31}, Label{"0dB", 0, 203}, bottomLevel})
        expectLabel(image, eqPoints, label);

    // Under the plot nothing but those labels: no 200 Hz, nothing between
    // 20 and 100 Hz, no other minor line.
    QImage strip = image.copy(0, p.y0 + 3, eqWidth, eqHeight - p.y0 - 3);
    {
        QPainter blank(&strip);
        for (const Label& label : frequencies)
            blank.fillRect(labelRect(eqPoints, label).translated(0, -(p.y0 + 3)), Qt::black);
        blank.fillRect(labelRect(eqPoints, bottomLevel).translated(0, -(p.y0 + 3)), Qt::black);
    }
    EXPECT_EQ(countColour(strip, black, strip.rect()), strip.width() * strip.height());
}

TEST_F(GraphPaintingTest, CrossoverLabelsSayKhzCapitalAndStandAboveTheirLines)
{
    const QImage image = paintCrossover();
    // At these pixels for the test's 558 x 208 area: on the bottom line of
    // the plot, a fifth of the plot's left margin left of their lines.
    for (const Label& label : {Label{"20Hz", 24, 192}, Label{"100Hz", 139, 192}, Label{"200Hz", 189, 192},
                               Label{" 1KHz", 305, 192}, Label{" 2KHz", 354, 192}, Label{"10KHz", 470, 192},
                               Label{"20KHz", 520, 192}, Label{"6dB", 0, 15}, Label{"-30dB", 0, 182}})
        expectLabel(image, crossoverPoints, label);
}

// Whether the colour stands in the block of four fine pixels of a coarse
// pixel or within one fine pixel around it: lines at 200 % may lie one
// fine pixel off the doubled ones.
bool nearBlock(const QImage& fine, int x, int y, QRgb colour)
{
    for (int fy = 2 * y - 1; fy <= 2 * y + 2; ++fy)
        for (int fx = 2 * x - 1; fx <= 2 * x + 2; ++fx)
            if (fine.rect().contains(fx, fy) && pixel(fine, fx, fy) == colour)
                return true;
    return false;
}

// On a screen at 200 % the graphs are painted into images of twice the
// pixels: the same picture, each pixel of the area a block of four, with
// only the edges of text finer.
TEST_F(GraphPaintingTest, TwiceThePixelRatioGivesTheSamePictureInFinerPixels)
{
    placeBand(4, 500, 12);
    crossover.hpType = CrossoverType::butterworth24;
    const auto twice = [](QSize size) {
        QImage image(size * 2, QImage::Format_RGB32);
        image.setDevicePixelRatio(2);
        return image;
    };
    QImage eqFine = twice(QSize(eqWidth, eqHeight));
    painter.paintEq(eqFine, eq);
    QImage crossoverFine = twice(QSize(crossoverWidth, crossoverHeight));
    painter.paintCrossover(crossoverFine, crossover);
    const struct {
        const char* graph;
        QImage coarse;
        const QImage& fine;
    } rows[] = {{"EQ", paintEq(), eqFine}, {"crossover", paintCrossover(), crossoverFine}};
    for (const auto& row : rows) {
        ASSERT_EQ(row.fine.size(), row.coarse.size() * 2) << row.graph;
        int drawn = 0;
        int missing = 0;
        for (int y = 0; y < row.coarse.height(); ++y) {
            for (int x = 0; x < row.coarse.width(); ++x) {
                // The colours of lines and markers; text has grey edges.
                const QRgb colour = pixel(row.coarse, x, y);
                if (colour != gridColour && colour != red && colour != white)
                    continue;
                ++drawn;
                missing += !nearBlock(row.fine, x, y, colour);
            }
        }
        EXPECT_LE(missing, drawn / 200) << row.graph << ": " << missing << " of " << drawn;
    }
}

// The editor's areas come out narrower on a Chinese desktop, whose dialog
// units are smaller: the labels still stay whole, clear of the plot frame
// and of each other, and keep their point size where the margin allows it.
TEST_F(GraphPaintingTest, LabelsStayClearOfTheFrameInNarrowAreas)
{
    const struct {
        QSize eqArea;
        QSize crossoverArea;
    } sizes[] = {{{eqWidth, eqHeight}, {crossoverWidth, crossoverHeight}}, {{670, 406}, {478, 208}}, {{600, 360}, {430, 180}}};
    for (const auto& size : sizes) {
        markers.setAreas(size.eqArea.width(), size.eqArea.height(), size.crossoverArea.width(), size.crossoverArea.height());
        markers.resetToInitial();
        QImage eqImage(size.eqArea, QImage::Format_RGB32);
        painter.paintEq(eqImage, eq);
        QImage crossoverImage(size.crossoverArea, QImage::Format_RGB32);
        painter.paintCrossover(crossoverImage, crossover);
        const EqPlotRect& e = markers.eqPlot();
        const CrossoverPlotRect& c = markers.crossoverPlot();
        const QRect crossoverPlot(QPoint(static_cast<int>(c.x0), static_cast<int>(c.y1)),
                                  QPoint(static_cast<int>(c.x1), static_cast<int>(c.y0)));
        for (const std::string& fault :
             graphLabelFaults(painter.eqLabels(), eqImage.rect(), QRect(QPoint(e.x0, e.y1), QPoint(e.x1, e.y0)), 3))
            ADD_FAILURE() << "EQ " << size.eqArea.width() << ": " << fault;
        for (const std::string& fault : graphLabelFaults(painter.crossoverLabels(), crossoverImage.rect(), crossoverPlot, 2))
            ADD_FAILURE() << "crossover " << size.crossoverArea.width() << ": " << fault;
    }
    // At the window's size on an English desktop nothing shrinks.
    markers.setAreas(eqWidth, eqHeight, crossoverWidth, crossoverHeight);
    paintEq();
    paintCrossover();
    QFont font(QString::fromUtf8(graphFontFamily));
    for (const auto& [labels, points] :
         {std::pair{&painter.eqLabels(), eqLabelPoints}, std::pair{&painter.crossoverLabels(), crossoverLabelPoints}}) {
        font.setPointSize(points);
        for (const GraphLabel& label : *labels)
            EXPECT_EQ(label.ink.width(), QFontMetrics(font).tightBoundingRect(label.text).width()) << label.text.toStdString();
    }
}

TEST_F(GraphPaintingTest, TheSelectedBandAloneHasTheWhiteRingEvenUnderALaterBand)
{
    placeBand(2, 300, 6);
    placeBand(3, 300, 6);
    for (int selected : {2, 3, 7}) {
        eq.selectedBand = selected;
        const QImage image = paintEq();
        const QRect ring = boxRect(markers.band(0, selected).box, 2);
        EXPECT_GT(countColour(image, white, ring), 10) << selected;
        EXPECT_EQ(countColour(image, white, image.rect()), countColour(image, white, ring)) << selected;
    }
}

} // namespace
