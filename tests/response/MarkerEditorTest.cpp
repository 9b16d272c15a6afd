#include "response/MarkerEditor.h"
#include "response/ResponseMath.h"

#include <gtest/gtest.h>

namespace {

using Point = MarkerEditor::Point;

struct MarkerEditorTest : testing::Test {
    MarkerState markers;
    MarkerEditor editor{markers};
    const Point eqOrigin{6, 20};
    const Point crossoverOrigin{6, 380};

    MarkerEditorTest()
    {
        markers.setAreas(790, 406, 558, 208);
        markers.resetToInitial();
        editor.setAreaOrigins(eqOrigin, crossoverOrigin);
    }
    Point bandCentre(int band) const
    {
        const MarkerBox& box = markers.band(0, band).box;
        return {eqOrigin.x + box.centreX(), eqOrigin.y + box.centreY()};
    }
    Point onEq(int x, int y) const { return {eqOrigin.x + x, eqOrigin.y + y}; }
};

TEST_F(MarkerEditorTest, OnlyPointsInsideThePlotMoveTheMarkerTheRightEdgeOnePixelWider)
{
    const EqPlotRect& p = markers.eqPlot();
    struct Row {
        int x;
        int y;
        bool moves;
    };
    const Row rows[] = {{p.x0, p.y1, true},      {p.x1 + 1, p.y0, true}, {p.x1 + 2, 200, false},
                        {p.x0 - 1, 200, false},  {300, p.y1 - 1, false}, {300, p.y0 + 1, false}};
    for (const Row& r : rows) {
        ASSERT_EQ(editor.press(bandCentre(7), 0, 0, 0), MarkerEditor::Target::Band);
        const MarkerBox before = markers.band(0, 7).box;
        const MarkerEditor::Target moved = editor.move(onEq(r.x, r.y), true, EqType::peaking, 0);
        EXPECT_EQ(moved == MarkerEditor::Target::Band, r.moves) << r.x << "," << r.y;
        if (r.moves) {
            EXPECT_EQ(markers.band(0, 7).box.centreX(), r.x) << r.x << "," << r.y;
            EXPECT_EQ(markers.band(0, 7).box.centreY(), r.y) << r.x << "," << r.y;
            EXPECT_EQ(markers.band(0, 7).offsetX, static_cast<float>(r.x - p.x0));
        } else {
            EXPECT_EQ(markers.band(0, 7).box, before) << r.x << "," << r.y;
        }
        markers.resetToInitial();
    }
}

TEST_F(MarkerEditorTest, BackFromOutsideTheMarkerJumpsToThePointer)
{
    const EqPlotRect& p = markers.eqPlot();
    editor.press(bandCentre(3), 0, 0, 0);
    editor.move(onEq(200, 150), true, EqType::peaking, 0);
    editor.move(onEq(p.x1 + 30, 150), true, EqType::peaking, 0);
    EXPECT_EQ(editor.lastPosition(), onEq(200, 150));
    editor.move(onEq(400, 100), true, EqType::peaking, 0);
    EXPECT_EQ(bandCentre(3), onEq(400, 100));
}

TEST_F(MarkerEditorTest, BandsComeBeforeCornersAndAMissKeepsTheCurrentBand)
{
    // A band box dragged over the crossover area's origin would still win;
    // here the high-pass corner is hit only where no band is.
    const MarkerBox& hp = markers.corner(2, MarkerState::highPass).box;
    const Point onHp{crossoverOrigin.x + hp.left, crossoverOrigin.y + hp.bottom};
    EXPECT_EQ(editor.press(onHp, 0, 6, 2), MarkerEditor::Target::Corner);
    EXPECT_EQ(editor.crossoverSide(), MarkerState::highPass);
    EXPECT_EQ(editor.currentBand(), 6);
    EXPECT_EQ(editor.lastPosition(), (Point{crossoverOrigin.x + hp.centreX(), crossoverOrigin.y + hp.centreY()}));
    EXPECT_EQ(editor.press({onHp.x - 1, onHp.y}, 0, 6, 2), MarkerEditor::Target::None);
    EXPECT_FALSE(editor.cornerArmed());
    EXPECT_EQ(editor.currentBand(), 6);
}

} // namespace
