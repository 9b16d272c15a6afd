#include "app/SharedState.h"
#include "app/UiLanguage.h"
#include "clock/VirtualClock.h"
#include "editor/CDorvaneDlg.h"
#include "response/GraphPainting.h"
#include "response/ResponseMath.h"
#include "serial/SerialLinkFactory.h"
#include "serial/SerialPorts.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"
#include "widgets/FontSubstitutions.h"
#include "widgets/UserDialogs.h"

#include <QApplication>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

// The graphs at the editor window's design size: one full paint of each
// into an off-screen image, at 100 % and at 200 % (an image of twice the
// pixels, as on a high-density screen), and one drag step of a band marker
// (mouse move, band frame to the simulated amplifier, immediate repaint of
// the EQ graph) at the screen's scale (QT_SCALE_FACTOR=2 for 200 %).

namespace {

constexpr int address = 3;

// An editor on one simulated amplifier behind the only port, on the
// virtual clock.
struct EditorOnBus {
    ScopedVirtualClock clock;
    SimBus bus{19200};
    // "The connection is successful" goes nowhere instead of into a box.
    UserDialogs::MessageRecorder messages;
    std::unique_ptr<CDorvaneDlg> editor;

    EditorOnBus()
    {
        setUiLanguage(englishUi);
        resetSharedState();
        SerialPorts::setPresentPortsSource([] {
            return QList<SerialPorts::PresentPort>{{QStringLiteral("/dev/ttyVX4BENCH0"), QStringLiteral("bus"), true}};
        });
        SerialPorts::setOpenTest([](const QString&) { return true; });
        QList<SSerInfo> ports;
        ListSerialPorts(ports);
        const int port = ports.isEmpty() ? 1 : PortNumberFromName(ports.first().displayName);
        setSerialLinkMaker([this, port](QObject* parent) {
            auto link = std::make_unique<SimLink>(nullptr, parent);
            link->addPort(port, &bus);
            return link;
        });
        sharedState().selectedAddress = address;
        sharedState().baudText = QStringLiteral("19200");
        SimAmplifier& amp = bus.addAmplifier(address);
        // Fifteen bands spread over the axis, every other one raised.
        for (int b = 0; b < 15; ++b) {
            SimEqBand& band = amp.parameters().channels[0].bands[static_cast<std::size_t>(b)];
            band.frequencyHz = static_cast<int>(std::round(std::pow(10.0, 1.4 + 2.8 * b / 14.0)));
            band.gainCentiDb = b % 2 ? 600 : -450;
        }
        amp.parameters().channels[0].hpType = 8;
        amp.parameters().channels[0].lpType = 8;
        amp.parameters().channels[0].hpFrequencyHz = 80;
        amp.parameters().channels[0].lpFrequencyHz = 5000;
        editor = std::make_unique<CDorvaneDlg>(chosenTarget());
        editor->show();
        editor->startUp();
        clock->runDue();
        QApplication::processEvents();
    }
    ~EditorOnBus()
    {
        editor.reset();
        setSerialLinkMaker({});
        SerialPorts::setPresentPortsSource({});
        SerialPorts::setOpenTest({});
        resetSharedState();
    }
};

EditorOnBus& editorOnBus()
{
    static EditorOnBus instance;
    return instance;
}

// A graph area of the editor by its accessible name.
const ResponseGraphView& graphArea(const CDorvaneDlg& editor, const QString& name)
{
    for (const ResponseGraphView* area : editor.findChildren<ResponseGraphView*>()) {
        if (area->accessibleName() == name)
            return *area;
    }
    qFatal("The editor has no graph area \"%s\"", qPrintable(name));
}

const ResponseGraphView& eqGraph(const CDorvaneDlg& editor) { return graphArea(editor, QStringLiteral("EQ response")); }

// An image for an area at a pixel ratio (the benchmark's argument, in
// per cent), and the label saying which.
QImage areaImage(const QWidget* area, benchmark::State& state)
{
    const qreal ratio = static_cast<qreal>(state.range(0)) / 100.0;
    QImage image((QSizeF(area->size()) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    state.SetLabel(
        QStringLiteral("%1x%2 at %3 %").arg(area->width()).arg(area->height()).arg(state.range(0)).toStdString());
    return image;
}

void eqGraphPaint(benchmark::State& state)
{
    CDorvaneDlg& editor = *editorOnBus().editor;
    const EqGraphScene scene = editor.eqScene();
    QImage image = areaImage(&eqGraph(editor), state);
    GraphPainter painter;
    for (auto _ : state) {
        painter.paintEq(image, scene);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(eqGraphPaint)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

void crossoverGraphPaint(benchmark::State& state)
{
    CDorvaneDlg& editor = *editorOnBus().editor;
    const CrossoverGraphScene scene = editor.crossoverScene();
    QImage image = areaImage(&graphArea(editor, QStringLiteral("Crossover response")), state);
    GraphPainter painter;
    for (auto _ : state) {
        painter.paintCrossover(image, scene);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(crossoverGraphPaint)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

// Band 8 swings left and right across a quarter of the plot, one pixel per
// move, so every step moves the marker, sends a frame and repaints.
void bandDragStep(benchmark::State& state)
{
    EditorOnBus& setup = editorOnBus();
    CDorvaneDlg& editor = *setup.editor;
    QWidget* canvas = eqGraph(editor).parentWidget();
    const MarkerBox& box = editor.markers().band(0, 7).box;
    const QPoint origin = eqGraph(editor).pos();
    const QPoint start = origin + QPoint(box.centreX(), box.centreY());
    QMouseEvent press(QEvent::MouseButtonPress, start, canvas->mapToGlobal(start), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    const int span = editor.markers().eqPlot().width() / 4;
    int step = 0;
    int frames = 0;
    QObject::connect(&setup.bus, &SimBus::frameHeard, &setup.bus, [&frames] { ++frames; });
    for (auto _ : state) {
        const int phase = step++ % (2 * span);
        const QPoint at = start + QPoint(phase < span ? phase : 2 * span - phase, 0);
        QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
    }
    QObject::disconnect(&setup.bus, &SimBus::frameHeard, &setup.bus, nullptr);
    state.counters["frames"] = benchmark::Counter(frames, benchmark::Counter::kAvgIterations);
    state.SetLabel(QStringLiteral("at %1 %").arg(qRound(eqGraph(editor).devicePixelRatioF() * 100)).toStdString());
}
BENCHMARK(bandDragStep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
