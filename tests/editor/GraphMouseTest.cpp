#include "EditorTestSupport.h"

#include "editor/CDorvaneDlg.h"
#include "editor/EditorWidgets.h"
#include "response/ResponseMath.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <cmath>
#include <functional>

namespace {

// Dragging the graph markers with the mouse, on a simulated amplifier whose
// bands are spread over the axis.
struct GraphMouseTest : EditorBusFixture {
    std::unique_ptr<CDorvaneDlg> editor;

    ~GraphMouseTest() override
    {
        editor.reset();
        UserDialogs::setFileChooser({});
    }
    SimAmplifier& amplifier()
    {
        SimAmplifier& amp = bus.addAmplifier(address);
        for (int b = 0; b < 15; ++b)
            amp.parameters().channels[0].bands[static_cast<std::size_t>(b)].frequencyHz =
                static_cast<int>(std::round(std::pow(10.0, 1.4 + 2.8 * b / 14.0)));
        return amp;
    }
    CDorvaneDlg& open()
    {
        editor = std::make_unique<CDorvaneDlg>(chosenTarget());
        editor->show();
        editor->startUp();
        clock->runDue();
        takeHeard();
        return *editor;
    }
    // The window's controls by their accessible names.
    GraphArea* eqGraph() const { return control<GraphArea>(*editor, "EQ response"); }
    GraphArea* crossoverGraph() const { return control<GraphArea>(*editor, "Crossover response"); }
    QWidget* canvas() const { return eqGraph()->parentWidget(); }
    const MarkerState& markers() const { return editor->markers(); }
    QComboBox* bandList() const { return control<QComboBox>(*editor, "Filter"); }
    QComboBox* typeList() const { return control<QComboBox>(*editor, "Filter type"); }
    QLineEdit* gainBox() const { return control<QLineEdit>(*editor, "boost(dB)"); }
    QLineEdit* frequencyBox() const { return control<QLineEdit>(*editor, "Frequency(Hz)"); }
    // Graph coordinates to the window's client area.
    QPoint onEq(int x, int y) const { return eqGraph()->pos() + QPoint(x, y); }
    QPoint onCrossover(int x, int y) const { return crossoverGraph()->pos() + QPoint(x, y); }
    QPoint bandCentre(int band) const
    {
        const MarkerBox& box = markers().band(0, band).box;
        return onEq(box.centreX(), box.centreY());
    }
    QPoint cornerCentre(int side) const
    {
        const MarkerBox& box = markers().corner(0, side).box;
        return onCrossover(box.centreX(), box.centreY());
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent event(type, at, canvas()->mapToGlobal(at), button, buttons, modifiers);
        QApplication::sendEvent(canvas(), &event);
    }
    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, at, button, button);
    }
    void moveTo(QPoint at, Qt::MouseButtons buttons = Qt::LeftButton, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        mouse(QEvent::MouseMove, at, Qt::NoButton, buttons, modifiers);
    }
};

// The bytes of a band frame (group 0x31): frequency and gain x 100.
struct BandFrame {
    int group;
    int channel;
    int band;
    int frequencyHz;
    int gainCentiDb;
};

BandFrame decodeBandFrame(const QByteArray& frame)
{
    if (frame.size() < 12)
        return {};
    const auto byte = [&](int i) { return static_cast<unsigned char>(frame[i]); };
    return {byte(3), byte(4), byte(5), byte(7) << 8 | byte(8), static_cast<std::int16_t>(byte(9) << 8 | byte(10))};
}

// A corner frame (0x22, 0x23): the 16-bit frequency.
int cornerFrameFrequency(const QByteArray& frame)
{
    const auto byte = [&](int i) { return static_cast<unsigned char>(frame[i]); };
    return frame.size() >= 9 ? byte(6) << 8 | byte(7) : -1;
}

TEST_F(GraphMouseTest, OverlappingMarkersPickTheLowerBand)
{
    SimAmplifier& amp = amplifier();
    amp.parameters().channels[0].bands[4] = {2000, 600, 140, 1};
    amp.parameters().channels[0].bands[5] = {2000, 600, 140, 1};
    open();
    bandList()->setCurrentIndex(9);
    press(bandCentre(5) + QPoint(4, -4));
    EXPECT_EQ(bandList()->currentIndex(), 4);
    EXPECT_EQ(frequencyBox()->text(), QStringLiteral("2000"));
    EXPECT_EQ(editor->eqScene().selectedBand, 4); // the ring
    EXPECT_TRUE(takeHeard().isEmpty());
    // The press armed the lower band: the drag moves it and leaves the other.
    const MarkerBox upper = markers().band(0, 5).box;
    const QPoint target = bandCentre(4) + QPoint(30, -20);
    moveTo(target);
    EXPECT_EQ(bandCentre(4), target);
    EXPECT_EQ(markers().band(0, 5).box, upper);
    const QList<QByteArray> frames = takeHeard();
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(decodeBandFrame(frames[0]).band, 5);
}

TEST_F(GraphMouseTest, PressOnEmptySpaceDisarmsKeepsTheBandAndRefreshesTheBoxes)
{
    amplifier();
    open();
    press(bandCentre(2));
    ASSERT_EQ(bandList()->currentIndex(), 2);
    const MarkerState before = markers();
    gainBox()->setText(QStringLiteral("9"));
    const EqPlotRect& plot = markers().eqPlot();
    press(onEq(plot.x1 - 3, plot.y1 + 3));
    EXPECT_EQ(bandList()->currentIndex(), 2);
    EXPECT_EQ(gainBox()->text(), QStringLiteral("0.0"));
    // Neither a band nor a corner is armed: a move with the button held
    // after that, over either plot, moves nothing.
    moveTo(onEq(plot.x0 + 40, plot.y1 + 40));
    const CrossoverPlotRect& crossover = markers().crossoverPlot();
    moveTo(onCrossover(static_cast<int>(crossover.x0) + 40, static_cast<int>(crossover.zeroDbY())));
    EXPECT_EQ(markers().band(0, 2).box, before.band(0, 2).box);
    EXPECT_EQ(markers().corner(0, 0).box, before.corner(0, 0).box);
    EXPECT_EQ(markers().corner(0, 1).box, before.corner(0, 1).box);
    EXPECT_TRUE(takeHeard().isEmpty());
}

TEST_F(GraphMouseTest, DraggingToTheEdgesSendsWhatTheMarkerStandsFor)
{
    amplifier();
    struct Row {
        const char* name;
        std::function<QPoint(const EqPlotRect&, QPoint)> target; // graph coordinates, from the marker centre
        int minGain;
        int maxGain;
        std::function<bool(int)> frequencyOk;
        const char* frequencyText; // nullptr: whatever the marker gives
    };
    const Row rows[] = {
        {"top edge: +18 dB, cut to 18", [](const EqPlotRect& p, QPoint c) { return QPoint(c.x(), p.y1); }, 1800, 1800,
         [](int f) { return f > 500 && f < 2000; }, nullptr},
        {"bottom edge: about -18 dB, not cut", [](const EqPlotRect& p, QPoint c) { return QPoint(c.x(), p.y0); }, -1800,
         -1780, [](int f) { return f > 500 && f < 2000; }, nullptr},
        {"right edge: above 20 kHz, the box shows 20000",
         [](const EqPlotRect& p, QPoint c) { return QPoint(p.x1 + 1, c.y()); }, -1800, 1800, [](int f) { return f > 20000; },
         "20000"},
    };
    for (const Row& r : rows) {
        open();
        press(bandCentre(8));
        const MarkerBox& box = markers().band(0, 8).box;
        const QPoint target = r.target(markers().eqPlot(), {box.centreX(), box.centreY()});
        moveTo(onEq(target.x(), target.y()));
        const QList<QByteArray> frames = takeHeard();
        ASSERT_EQ(frames.size(), 1) << r.name;
        const BandFrame frame = decodeBandFrame(frames[0]);
        EXPECT_EQ(frame.group, 0x31) << r.name;
        EXPECT_EQ(frame.channel, 1) << r.name;
        EXPECT_EQ(frame.band, 9) << r.name;
        EXPECT_GE(frame.gainCentiDb, r.minGain) << r.name;
        EXPECT_LE(frame.gainCentiDb, r.maxGain) << r.name;
        EXPECT_TRUE(r.frequencyOk(frame.frequencyHz)) << r.name << ": " << frame.frequencyHz;
        if (r.frequencyText)
            EXPECT_EQ(frequencyBox()->text(), QString::fromUtf8(r.frequencyText)) << r.name;
        else
            EXPECT_EQ(frequencyBox()->text(), QString::number(frame.frequencyHz)) << r.name;
        // The box centre is on the pointer and the amplifier has the band.
        EXPECT_EQ(QPoint(box.centreX(), box.centreY()), target) << r.name;
        const SimEqBand& heardBand = bus.amplifier(address)->parameters().channels[0].bands[8];
        // (The simulated amplifier holds its frequencies to 20 kHz.)
        EXPECT_EQ(heardBand.frequencyHz, std::min(frame.frequencyHz, 20000)) << r.name;
        EXPECT_EQ(heardBand.gainCentiDb, frame.gainCentiDb) << r.name;
        // One pixel further out is outside the plot: nothing changes.
        moveTo(onEq(target.x() + (target.x() > markers().eqPlot().x1 ? 1 : 0),
                    target.y() + (target.y() == markers().eqPlot().y1 ? -1 : target.y() == markers().eqPlot().y0 ? 1 : 0)));
        EXPECT_TRUE(takeHeard().isEmpty()) << r.name;
    }
}

TEST_F(GraphMouseTest, AGeneralLowBandMovesOnlySideways)
{
    amplifier().parameters().channels[0].bands[6] = {300, 600, 140, 5};
    open();
    press(bandCentre(6));
    ASSERT_EQ(typeList()->currentIndex(), 5);
    EXPECT_FALSE(gainBox()->isEnabled());
    const QString gainShown = gainBox()->text();
    const QPoint start = bandCentre(6);
    moveTo(start + QPoint(30, -40));
    EXPECT_EQ(markers().band(0, 6).box.centreY(), markers().eqPlot().zeroDbY());
    EXPECT_EQ(bandCentre(6).x(), start.x() + 30);
    EXPECT_EQ(gainBox()->text(), gainShown);
    const QList<QByteArray> frames = takeHeard();
    ASSERT_EQ(frames.size(), 1);
    EXPECT_GT(decodeBandFrame(frames[0]).frequencyHz, 300);
    EXPECT_EQ(decodeBandFrame(frames[0]).gainCentiDb, 600); // the band keeps its gain
}

TEST_F(GraphMouseTest, NoDragWithOtherButtonsKeysWhileBypassedOrOnAByPassBand)
{
    struct Row {
        const char* name;
        int side; // -1: a band, else the crossover corner
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
        bool bypass;
        int bandType;
    };
    const Row rows[] = {
        {"right button", -1, Qt::RightButton, Qt::NoModifier, false, 1},
        {"left and right", -1, Qt::LeftButton | Qt::RightButton, Qt::NoModifier, false, 1},
        {"Shift", -1, Qt::LeftButton, Qt::ShiftModifier, false, 1},
        {"Ctrl", -1, Qt::LeftButton, Qt::ControlModifier, false, 1},
        {"EQ Bypass", -1, Qt::LeftButton, Qt::NoModifier, true, 1},
        {"ByPass band", -1, Qt::LeftButton, Qt::NoModifier, false, 0},
        {"corner, EQ Bypass", MarkerState::highPass, Qt::LeftButton, Qt::NoModifier, true, 1},
        {"corner, ByPass band", MarkerState::lowPass, Qt::LeftButton, Qt::NoModifier, false, 0},
    };
    SimAmplifier& amp = amplifier();
    for (const Row& r : rows) {
        amp.parameters().channels[0].eqBypass = r.bypass;
        amp.parameters().channels[0].bands[3].type = r.bandType;
        amp.parameters().channels[0].hpFrequencyHz = 200;
        amp.parameters().channels[0].lpFrequencyHz = 5000;
        open();
        bandList()->setCurrentIndex(3);
        const MarkerState before = markers();
        const QPoint start = r.side < 0 ? bandCentre(3) : cornerCentre(r.side);
        press(start);
        if (r.side >= 0)
            bandList()->setCurrentIndex(3); // the corner pick leaves the band list alone
        moveTo(start + QPoint(20, -20), r.buttons, r.modifiers);
        EXPECT_EQ(markers().band(0, 3).box, before.band(0, 3).box) << r.name;
        EXPECT_EQ(markers().corner(0, 0).box, before.corner(0, 0).box) << r.name;
        EXPECT_EQ(markers().corner(0, 1).box, before.corner(0, 1).box) << r.name;
        EXPECT_TRUE(takeHeard().isEmpty()) << r.name;
    }
}

TEST_F(GraphMouseTest, PeakingToGeneralLowAndBackKeepsTheGainOffset)
{
    amplifier().parameters().channels[0].bands[2] = {200, 600, 140, 1};
    open();
    bandList()->setCurrentIndex(2);
    const int raised = markers().band(0, 2).box.centreY();
    ASSERT_LT(raised, markers().eqPlot().zeroDbY());
    typeList()->setCurrentIndex(5); // "General Low"
    EXPECT_EQ(markers().band(0, 2).box.centreY(), markers().eqPlot().zeroDbY());
    // A sideways drag in between does not lose the offset either.
    press(bandCentre(2));
    moveTo(bandCentre(2) + QPoint(15, 0));
    typeList()->setCurrentIndex(1); // "Peaking"
    EXPECT_EQ(markers().band(0, 2).box.centreY(), markers().eqPlot().zeroDbY());
    EXPECT_NEAR(eqBandSettings(editor->eqScene())[2].gainDb, 6.0, 0.1);
}

TEST_F(GraphMouseTest, DraggingACornerMovesItOnTheZeroLineAndTheAmplifierFollows)
{
    SimAmplifier& amp = amplifier();
    amp.parameters().channels[0].hpType = 4;
    amp.parameters().channels[0].hpFrequencyHz = 100;
    open();
    QLineEdit* hpBox = control<QLineEdit>(*editor, "High-pass filter frequency(Hz)");
    const QPoint start = cornerCentre(MarkerState::highPass);
    // The press arms the corner: the move drags it.
    press(start);
    moveTo(start + QPoint(40, 25));
    const QList<QByteArray> frames = takeHeard();
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(static_cast<unsigned char>(frames[0][3]), 0x22);
    const int sent = cornerFrameFrequency(frames[0]);
    EXPECT_GT(sent, 150);
    EXPECT_EQ(hpBox->text(), QString::number(sent));
    EXPECT_EQ(amp.parameters().channels[0].hpFrequencyHz, sent);
    EXPECT_EQ(cornerCentre(MarkerState::highPass).x(), start.x() + 40);
    EXPECT_EQ(cornerCentre(MarkerState::highPass).y(), start.y()); // back on the 0 dB line
    // At the right edge the box says 20000.
    moveTo(onCrossover(static_cast<int>(markers().crossoverPlot().x1) + 1, start.y() - crossoverGraph()->y()));
    EXPECT_EQ(hpBox->text(), QStringLiteral("20000"));
    EXPECT_GT(cornerFrameFrequency(takeHeard().value(0)), 20000);
}

TEST_F(GraphMouseTest, AfterAPresetLoadMovesDoNothingUntilTheNextPress)
{
    amplifier();
    open();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("hall.save"));
    UserDialogs::setFileChooser([&file](const UserDialogs::FileRequest&) { return file; });
    menuItem(*editor, QStringLiteral("Save as"))->trigger();
    // The press arms band 5; then the file is sent and read back.
    press(bandCentre(5));
    menuItem(*editor, QStringLiteral("Synchronized to this Device"))->trigger();
    takeHeard();
    const MarkerBox before = markers().band(0, 5).box;
    moveTo(bandCentre(5) + QPoint(10, 10));
    EXPECT_EQ(markers().band(0, 5).box, before);
    EXPECT_TRUE(takeHeard().isEmpty());
    press(bandCentre(5));
    moveTo(bandCentre(5) + QPoint(10, 10));
    EXPECT_EQ(takeHeard().size(), 1);
}

TEST_F(GraphMouseTest, ADragRepaintsAtOnceAndTellsTheScreenReader)
{
    amplifier();
    open();
    QApplication::processEvents();
    press(bandCentre(7));
    QApplication::processEvents();
    GraphArea* graph = eqGraph();
    const QImage before = graph->image();
    const QString described = graph->accessibleDescription();
    moveTo(bandCentre(7) + QPoint(25, -30));
    // No event loop turn in between.
    EXPECT_NE(graph->image(), before);
    EXPECT_NE(graph->accessibleDescription(), described);
    EXPECT_TRUE(graph->accessibleDescription().contains(frequencyBox()->text()));
}

TEST_F(GraphMouseTest, WithTheLinkClosedTheMarkerAndBoxesMoveButNothingIsSent)
{
    open(); // no amplifier answers
    ASSERT_FALSE(editor->session().isOpen());
    const QString shown = frequencyBox()->text();
    press(bandCentre(4));
    moveTo(bandCentre(4) + QPoint(20, -20));
    EXPECT_NE(frequencyBox()->text(), shown);
    EXPECT_EQ(frequencyBox()->text(), QString::number(markers().bandFrequencyHz(0, 4)));
    EXPECT_TRUE(takeHeard().isEmpty());
}

TEST_F(GraphMouseTest, TheGraphsDescribeTheSelectedBandAndTheCornersInWords)
{
    struct Row {
        int type;
        bool bypass;
        const char* description;
    };
    const Row rows[] = {
        {1, false, "Channel A, band 1: Peaking, 1000 Hz, 6.0 dB, Q 2.0"},
        {1, true, "Channel A, band 1: Peaking, 1000 Hz, 6.0 dB, Q 2.0, bypassed"},
        {5, false, "Channel A, band 1: General Low, 1000 Hz, Q 2.0"},
        {9, false, "Channel A, band 1: Bessel Low, 1000 Hz"},
    };
    SimAmplifier& amp = amplifier();
    amp.parameters().channels[0].hpType = 4;
    amp.parameters().channels[0].hpFrequencyHz = 100;
    for (const Row& r : rows) {
        amp.parameters().channels[0].bands[0] = {1000, 600, 200, r.type};
        amp.parameters().channels[0].eqBypass = r.bypass;
        open();
        EXPECT_EQ(eqGraph()->accessibleDescription(), QString::fromUtf8(r.description));
    }
    EXPECT_EQ(crossoverGraph()->accessibleDescription(),
              QStringLiteral("Channel A: high-pass 24dB_Bworth at 100 Hz, low-pass Bypass at 20000 Hz"));
    amp.parameters().channels[0].eqBypass = false;
    amp.parameters().channels[0].bands[0].type = 1;
    open();
    press(cornerCentre(MarkerState::highPass));
    moveTo(cornerCentre(MarkerState::highPass) + QPoint(30, 0));
    const QString hp = control<QLineEdit>(*editor, "High-pass filter frequency(Hz)")->text();
    EXPECT_TRUE(crossoverGraph()->accessibleDescription().contains(QStringLiteral("at %1 Hz").arg(hp)));
}

} // namespace
