#include "editor/CDorvaneDlg.h"

#include "presets/PresetActions.h"
#include "widgets/ScreenFit.h"
#include "widgets/SkinnedFrame.h"

#include "app/SharedState.h"
#include "app/UiLanguage.h"
#include "clock/WaitClock.h"
#include "editor/ChannelColumns.h"
#include "editor/EditMenu.h"
#include "editor/CrossoverGroup.h"
#include "editor/EditorTitle.h"
#include "editor/EditorWidgets.h"
#include "editor/EqFileActions.h"
#include "editor/EqRow.h"
#include "editor/LimiterGroup.h"
#include "editor/RoutingBlock.h"
#include "editor/XiuGai.h"
#include "eventlog/EventLog.h"
#include "protocol/Commands.h"
#include "serial/DeviceWatcher.h"
#include "serial/SerialLink.h"
#include "serial/SerialLinkFactory.h"
#include "serial/SerialPorts.h"
#include "widgets/UserDialogs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

using EditorLayout::caption;
using EditorLayout::place;

namespace {

std::function<void()>& homeCloser()
{
    static std::function<void()> closer;
    return closer;
}

QFont dialogFont(const QFont& base)
{
    QFont font = base;
    font.setPointSize(CDorvaneDlg::dialogFontPoints);
    return font;
}

// The graph areas in dialog units: (left, top, width, height).
constexpr int eqGraphUnits[] = {4, 15, 447, 232};
constexpr int crossoverGraphUnits[] = {4, 281, 319, 119};

} // namespace

CDorvaneDlg::CDorvaneDlg(const EditorTarget& target, QWidget* parent)
    : QDialog(parent)
    , serial(makeSerialLink(this))
    , editor(std::make_unique<EditorSession>(*serial, target))
    , amplifierName(target.name)
    , offline(target.offline)
{
    // The home page's port stays closed while the editor owns the line.
    sharedState().reopenHomePort = false;
    setFont(dialogFont(font()));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(192, 236, 243));
    setPalette(colours);

    canvas = new EditorCanvas(this);
    shared = std::make_unique<EditorContext>(*editor, markerState, DialogUnits(font()), canvas);
    shared->invalidateEq = [this] { invalidateEq(); };
    shared->invalidateCrossover = [this] { invalidateCrossover(); };
    shared->refreshRead = [this](const QString& label) { refreshRead(label); };
    shared->userChanged = [this] { editMenu->userChanged(); };
    canvas->setFixedSize(shared->units.size(widthUnits, heightUnits));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    buildMenu();
    layout->setMenuBar(menuBar);
    layout->addWidget(canvas);
    buildControls();
    for (QWidget* control : canvas->findChildren<QWidget*>())
        control->installEventFilter(this);

    editor->setAnnouncer(windowAnnouncer());
    connect(editor.get(), &EditorSession::statusTextChanged, status, &QLineEdit::setText);
    connect(editor.get(), &EditorSession::linkStateChanged, icon, &LinkIcon::setConnected);
    connect(editor.get(), &EditorSession::linkStateChanged, this, [this](bool connected) {
        if (connected)
            note(QStringLiteral("editor.connected"), tr("The editor is connected"));
        else
            note(QStringLiteral("editor.lost"), tr("The editor lost the amplifier: its polls went unanswered"));
    });
    connect(editor.get(), &EditorSession::monitorStatusChanged, this, [this](const AmpStatus& status) {
        note(QStringLiteral("editor.") + statusName(status), tr("Status: %1").arg(statusWord(status, uiLanguage())));
    });
    connect(editor.get(), &EditorSession::readingsChanged, this, [this] {
        channels->showReadings(editor->readings());
        powerTemperature->setText(editor->readings().powerTemperature);
    });
    watcher = new DeviceWatcher(this);
    connect(watcher, &DeviceWatcher::deviceArrived, this, &CDorvaneDlg::onDeviceArrived);
    connect(watcher, &DeviceWatcher::deviceRemoved, this, &CDorvaneDlg::onDeviceRemoved);
    // The painted caption shows the device line, composed at every paint.
    frame = new SkinnedFrame(this, SkinFrame::Kind::Editor);
    frame->setTitleSource(offline ? &EditorTitle::sharedOfflineDeviceLine : &EditorTitle::sharedDeviceLine);
    // On a screen too small for it the controls scroll inside the window.
    ScreenFit::keepOnScreen(this, canvas);
}

CDorvaneDlg::~CDorvaneDlg()
{
    // The areas refer to the context; they go before it.
    eq.reset();
    crossover.reset();
    routing.reset();
    channels.reset();
    limiter.reset();
}

EditorSession::Announcer CDorvaneDlg::windowAnnouncer()
{
    return [this](const QString& text, bool isError) {
        if (isError)
            UserDialogs::showError(this, text, UserDialogs::ErrorKind::Serial);
        else
            UserDialogs::showMessage(this, text);
    };
}

void CDorvaneDlg::setHomeCloser(std::function<void()> closer) { homeCloser() = std::move(closer); }

void CDorvaneDlg::buildMenu()
{
    menuBar = new QMenuBar(this);
    tools = menuBar->addMenu(tr("Tools"));
    // The file and preset-slot items run the presets' actions on this
    // editor's link and amplifier.
    connect(tools->addAction(tr("Save as")), &QAction::triggered, this, &CDorvaneDlg::saveToFile);
    QMenu* open = tools->addMenu(tr("Open the PC file"));
    connect(open->addAction(tr("Synchronized to this Device")), &QAction::triggered, this,
            [this] { loadFromFile(PresetFile::Target::ThisAmplifier); });
    connect(open->addAction(tr("Synchronized to all Device")), &QAction::triggered, this,
            [this] { loadFromFile(PresetFile::Target::AllAmplifiers); });
    connect(tools->addAction(tr("Save/Recall")), &QAction::triggered, this, &CDorvaneDlg::openPresetSlots);
    EqFileActions::addMenuItems(
        tools, *this,
        {[this](const QString& label, const AmpParameters& target) { return editMenu->applyAsStep(label, target); },
         [this](const QString& kind, const QString& text) { note(kind, text); }});
    QMenu* rates = tools->addMenu(tr("A/V/℃ Refresh rate"));
    QAction* off = rates->addAction(tr("Refresh off"));
    connect(off, &QAction::triggered, editor.get(), &EditorSession::stopMonitor);
    const QString rateTexts[] = {tr("1 fast"), tr("2"), tr("3"), tr("4"), tr("5 slow")};
    for (int i = 0; i < 5; ++i) {
        QAction* rate = rates->addAction(rateTexts[i]);
        const int period = refreshPeriodsMs[i];
        connect(rate, &QAction::triggered, this, [this, period] { editor->setMonitorPeriod(period); });
    }
    QAction* last = tools->addAction(QString());
    last->setEnabled(false);
    editMenu = new EditMenu(menuBar, *editor, this, [this] { showModel(); });
}

void CDorvaneDlg::buildControls()
{
    EditorContext& context = *shared;
    eqArea = new ResponseGraphView(canvas);
    place(context, eqArea, eqGraphUnits[0], eqGraphUnits[1], eqGraphUnits[2], eqGraphUnits[3]);
    eqArea->setAccessibleName(tr("EQ response"));
    crossoverArea = new ResponseGraphView(canvas);
    place(context, crossoverArea, crossoverGraphUnits[0], crossoverGraphUnits[1], crossoverGraphUnits[2],
          crossoverGraphUnits[3]);
    crossoverArea->setAccessibleName(tr("Crossover response"));
    placeGraphs();
    eqArea->setPainter([this](QImage& image) { graphPainter.paintEq(image, eqScene()); });
    crossoverArea->setPainter([this](QImage& image) { graphPainter.paintCrossover(image, crossoverScene()); });

    // Created in tab order: EQ row, crossover group, middle block, limiter,
    // channel columns, the panel under them.
    eq = std::make_unique<EqRow>(context);
    crossover = std::make_unique<CrossoverGroup>(context);
    routing = std::make_unique<RoutingBlock>(context);
    limiter = std::make_unique<LimiterGroup>(context);
    channels = std::make_unique<ChannelColumns>(context);
    buildBottomPanel();

    QList<EditorCanvas::Frame> frames{
        {context.units.rect(CrossoverGroup::left, CrossoverGroup::top, CrossoverGroup::width, CrossoverGroup::height),
         crossover->title()},
        {context.units.rect(LimiterGroup::left, LimiterGroup::top, LimiterGroup::width, LimiterGroup::height),
         limiter->title()}};
    for (int c = 0; c < channelCountMax; ++c) {
        const QRect u = ChannelColumns::frameUnits(c);
        frames.append({context.units.rect(u.x(), u.y(), u.width(), u.height()), EditorLayout::channelTitle(c)});
    }
    canvas->setFrames(frames);

    crossover->showChannel();
    eq->showBand(false);
}

void CDorvaneDlg::buildBottomPanel()
{
    EditorContext& context = *shared;
    constexpr int x = ChannelColumns::left + 2;
    caption(context, tr("Power TEMP"), x, 302, 52, 9);
    powerTemperature = new QLineEdit(canvas);
    powerTemperature->setReadOnly(true);
    place(context, powerTemperature, x + 54, 300, 44, 12);
    powerTemperature->setAccessibleName(tr("Power TEMP"));
    knobLock = new QCheckBox(tr("Knob lock"), canvas);
    place(context, knobLock, x + 102, 300, 68, 12);
    knobLock->setAccessibleName(tr("Knob lock"));
    connect(knobLock, &QCheckBox::toggled, this, &CDorvaneDlg::knobLockClicked);

    struct ButtonSpec {
        QPushButton** button;
        QString text;
        int left;
        void (CDorvaneDlg::*action)();
    };
    for (const ButtonSpec& spec : {ButtonSpec{&resetButton, tr("RESET"), x, &CDorvaneDlg::factoryReset},
                                   ButtonSpec{&boot, tr("Boot"), x + 57, &CDorvaneDlg::powerOn},
                                   ButtonSpec{&standby, tr("Standby"), x + 114, &CDorvaneDlg::goToStandby}}) {
        auto* button = new QPushButton(spec.text, canvas);
        button->setAutoDefault(false);
        button->setAccessibleName(spec.text);
        place(context, button, spec.left, 326, 56, 18);
        connect(button, &QPushButton::clicked, this, spec.action);
        *spec.button = button;
    }

    caption(context, tr("Connection status："), x, 364, 78, 9);
    icon = new LinkIcon(canvas);
    const int iconSide = context.units.y(14);
    icon->setGeometry(context.units.x(x + 80), context.units.y(361), iconSide, iconSide);
    icon->setAccessibleName(tr("Link"));
    status = new QLineEdit(canvas);
    status->setReadOnly(true);
    place(context, status, x + 96, 362, 74, 12);
    status->setAccessibleName(tr("Connection status"));
    status->setText(editor->statusText());
}

void CDorvaneDlg::placeGraphs()
{
    markerState.setAreas(eqArea->width(), eqArea->height(), crossoverArea->width(), crossoverArea->height());
    markerState.resetToInitial();
    markerEditing.setAreaOrigins({eqArea->x(), eqArea->y()}, {crossoverArea->x(), crossoverArea->y()});
    const CrossoverPlotRect& xo = markerState.crossoverPlot();
    editor->parameters().setGraphDefaults(markerState.eqPlot().width(), xo.x0, xo.width());
}

PresetActions::EditorHooks CDorvaneDlg::presetHooks()
{
    PresetActions::EditorHooks hooks;
    // A slot recalled, or a preset file loaded: one step of the history.
    hooks.readBack = [this] {
        refreshRead(shared->presetLoading ? tr("Preset file loaded")
                                          : tr("Preset slot %1 recalled").arg(sharedState().presetNumber));
    };
    hooks.setLoading = [this](bool loading) {
        shared->presetLoading = loading;
        // While a preset file is sent, mouse moves leave the markers alone
        // until the next press.
        if (loading)
            markerEditing.ignoreMovesUntilPress();
    };
    return hooks;
}

void CDorvaneDlg::saveToFile()
{
    PresetFile::SaveOutcome outcome;
    if (!runMenuAction([&] { outcome = PresetActions::saveAs(this, editor->link(), editor->address()); }))
        return;
    const QString text = PresetActions::saveOutcomeText(outcome);
    if (!text.isEmpty())
        UserDialogs::showError(this, text,
                               outcome.result == PresetFile::SaveResult::NoAnswer ? UserDialogs::ErrorKind::Serial
                                                                                  : UserDialogs::ErrorKind::File);
}

void CDorvaneDlg::loadFromFile(PresetFile::Target target)
{
    runMenuAction([&] { PresetActions::load(this, editor->link(), editor->address(), target, presetHooks()); });
    // The loading flag goes off also when the load ended in an error.
    shared->presetLoading = false;
}

void CDorvaneDlg::openPresetSlots()
{
    // The slot dialog opens the port this editor found its amplifier on.
    if (serial->isOpen())
        sharedState().portNumber = serial->portNumber();
    runMenuAction([&] { PresetActions::runSaveRecall(this, editor->link(), editor->address(), presetHooks()); });
    // The caption shows the slot recalled.
    update();
}

bool CDorvaneDlg::runMenuAction(const std::function<void()>& action)
{
    QString shown;
    if (UserDialogs::runAction(this, action, &shown))
        return true;
    editor->noteShownRefusal(shown);
    return false;
}

QList<int> CDorvaneDlg::portNumbers() const
{
    // Offline the one port is the simulated amplifier's; the system's ports
    // are left alone.
    if (offline)
        return {editor->target().portNumber};
    QList<SSerInfo> ports;
    ListSerialPorts(ports);
    QList<int> numbers;
    for (const SSerInfo& port : ports) {
        // A name without a number names no port that could be opened.
        if (const int number = PortNumberFromName(port.displayName); number > 0)
            numbers.append(number);
    }
    return numbers;
}

void CDorvaneDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!started)
        waitClock().callAfter(0, this, [this] { startUp(); });
}

void CDorvaneDlg::startUp()
{
    if (started)
        return;
    started = true;
    // Offline no serial device concerns the editor: pulling an adapter
    // must not close it.
    if (!offline)
        watcher->start();
    connectAndRead();
}

void CDorvaneDlg::connectAndRead()
{
    if (offline) {
        // The simulated amplifier always answers, and has no live readings
        // worth showing: no word of the connection, no polls.
        editor->setAnnouncer({});
        editor->connectEditor(portNumbers());
        editor->setAnnouncer(windowAnnouncer());
        editor->stopMonitor();
    } else {
        editor->connectEditor(portNumbers());
    }
    const std::optional<FullStateReply> reply = editor->readFullState();
    showFullState(reply);
    if (reply && reply->startsWithHeader && reply->hasAnySection())
        editMenu->amplifierRead();
}

void CDorvaneDlg::showFullState(const std::optional<FullStateReply>& reply)
{
    if (!reply)
        return;
    const int routed = reply->channelCount == 2 || reply->channelCount == 4 ? *reply->channelCount : 0;
    showParameters(routed, reply->startsWithHeader);
}

void CDorvaneDlg::showModel() { showParameters(editor->parameters().channelCount, true); }

void CDorvaneDlg::showParameters(int channelCount, bool sectionsArrived)
{
    AmpParameters& params = editor->parameters();
    if (sectionsArrived) {
        if (channelCount == 2) {
            routing->disableUpperChannels();
            channels->disableUpperChannels();
            eq->limitToTwoChannels();
            crossover->limitToTwoChannels();
        }
        routing->showParameters(channelCount);
        channels->showParameters();
        {
            ApplyingScope applying(*shared);
            knobLock->setChecked(params.knobLock);
        }
        for (int c = 0; c < channelCountMax; ++c) {
            markerState.placeCrossoverFrequency(c, MarkerState::highPass, params.channels[c].hpFrequencyHz);
            markerState.placeCrossoverFrequency(c, MarkerState::lowPass, params.channels[c].lpFrequencyHz);
        }
        crossover->showChannel();
        limiter->showParameters();
    }
    for (int c = 0; c < channelCountMax; ++c) {
        for (int b = 0; b < bandCount; ++b) {
            markerState.placeBandFrequency(c, b, params.band(c, b).bandFrequencyHz);
            markerState.placeBandGain(c, b, params.band(c, b).bandGainDb);
        }
    }
    params.loadSelectedBand();
    eq->showBand(true);
    invalidateEq();
    invalidateCrossover();
}

void CDorvaneDlg::refreshRead(const QString& label)
{
    showFullState(editor->refreshFromReply());
    editMenu->actionRead(label);
}

void CDorvaneDlg::factoryReset()
{
    if (!XiuGai::confirm(this) || !editor->isOpen())
        return;
    editor->send(Commands::factoryReset(editor->address()));
    waitClock().waitMs(EditorSession::factoryResetWaitMs);
    editor->send(Commands::fullStateRequest(editor->address()));
    note(QStringLiteral("editor.factoryReset"), tr("Factory reset"));
    refreshRead(tr("Factory reset"));
}

void CDorvaneDlg::note(const QString& kind, const QString& text) const
{
    logEvent(editor->address(), amplifierName, kind, text);
}

void CDorvaneDlg::powerOn()
{
    if (!editor->isOpen())
        return;
    editor->setStatus({AmpStatusKind::Normal});
    editor->send(Commands::power(editor->address(), 1));
    note(QStringLiteral("power.on"), tr("The amplifier is switched on"));
}

void CDorvaneDlg::goToStandby()
{
    // The text changes also with the port closed.
    editor->setStatus({AmpStatusKind::Standby});
    editor->send(Commands::power(editor->address(), 2));
    if (editor->isOpen())
        note(QStringLiteral("power.standby"), tr("The amplifier goes to standby"));
}

void CDorvaneDlg::knobLockClicked(bool checked)
{
    if (shared->applying)
        return;
    editor->parameters().knobLock = checked;
    editor->send(Commands::knobLock(editor->address(), checked));
}

void CDorvaneDlg::invalidateEq()
{
    describeEq();
    eqArea->update();
}

void CDorvaneDlg::describeEq()
{
    const AmpParameters& params = editor->parameters();
    const int c = eq->channel();
    const int b = eq->band();
    const EqBand& band = params.band(c, b);
    // Only what the band's type uses is said: no gain for "General Low",
    // neither gain nor Q for the Butterworth and Bessel types.
    const QString text = band.hasGain() ? tr("Channel %1, band %2: %3, %4 Hz, %5 dB, Q %6")
        : band.hasQ()                   ? tr("Channel %1, band %2: %3, %4 Hz, Q %5")
                                        : tr("Channel %1, band %2: %3, %4 Hz");
    QString description = text.arg(QChar(u'A' + c))
                              .arg(b + 1)
                              .arg(eqFilterTypeName(band.bandType).trimmed())
                              .arg(ValueMapping::bandFrequencyText(band.bandFrequencyHz));
    if (band.hasGain())
        description = description.arg(band.bandGainDb, 0, 'f', 1);
    if (band.hasQ())
        description = description.arg(band.bandQ, 0, 'f', 1);
    if (eq->bypassed())
        description += tr(", bypassed");
    eqArea->setAccessibleDescription(description);
}

void CDorvaneDlg::invalidateCrossover()
{
    const int c = crossover->channel();
    const ChannelParameters& ch = editor->parameters().channels[c];
    crossoverArea->setAccessibleDescription(tr("Channel %1: high-pass %2 at %3 Hz, low-pass %4 at %5 Hz")
                                                .arg(QChar(u'A' + c))
                                                .arg(crossoverFilterTypeName(ch.hpType))
                                                .arg(ch.hpFrequencyHz)
                                                .arg(crossoverFilterTypeName(ch.lpType))
                                                .arg(ch.lpFrequencyHz));
    crossoverArea->update();
}

EqGraphScene CDorvaneDlg::eqScene() const
{
    EqGraphScene scene;
    scene.markers = &markerState;
    scene.channel = eq->channel();
    // The ring follows the band list as it is now.
    scene.selectedBand = eq->band();
    const ChannelParameters& channel = editor->parameters().channels[scene.channel];
    scene.bypass = eq->bypassed();
    for (int b = 0; b < bandCount; ++b) {
        scene.types[b] = static_cast<int>(channel.bands[b].bandType);
        scene.q[b] = channel.bands[b].bandQ;
    }
    return scene;
}

CrossoverGraphScene CDorvaneDlg::crossoverScene() const
{
    CrossoverGraphScene scene;
    scene.markers = &markerState;
    scene.channel = crossover->channel();
    const ChannelParameters& channel = editor->parameters().channels[scene.channel];
    scene.hpType = static_cast<int>(channel.hpType);
    scene.lpType = static_cast<int>(channel.lpType);
    return scene;
}

MarkerEditor::Point CDorvaneDlg::clientPoint(const QMouseEvent* event) const
{
    const QPoint p = canvas->mapFrom(this, event->position().toPoint());
    return {p.x(), p.y()};
}

void CDorvaneDlg::mousePressEvent(QMouseEvent* event)
{
    QDialog::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    // A marker dragged from press to release is one step of the history.
    editMenu->pressed();
    markerEditing.press(clientPoint(event), eq->channel(), eq->band(), crossover->channel());
    eq->showPickedBand(markerEditing.currentBand());
    invalidateEq();
    invalidateCrossover();
}

void CDorvaneDlg::mouseReleaseEvent(QMouseEvent* event)
{
    QDialog::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        editMenu->released();
}

bool CDorvaneDlg::eventFilter(QObject* watched, QEvent* event)
{
    // A slider dragged, or a list or box worked with the mouse, from press
    // to release: one step of the history.
    const auto* mouse = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease
        ? static_cast<QMouseEvent*>(event)
        : nullptr;
    if (mouse && mouse->button() == Qt::LeftButton) {
        if (event->type() == QEvent::MouseButtonPress)
            editMenu->pressed();
        else
            editMenu->released();
    }
    return QDialog::eventFilter(watched, event);
}

void CDorvaneDlg::mouseMoveEvent(QMouseEvent* event)
{
    QDialog::mouseMoveEvent(event);
    const bool leftAlone = event->buttons() == Qt::LeftButton
        && !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
    const bool allowed = leftAlone && !eq->bypassed() && eq->typeShown() != static_cast<int>(EqFilterType::ByPass);
    const int band = markerEditing.currentBand();
    const int bandType = static_cast<int>(editor->parameters().band(markerEditing.eqChannel(), band).bandType);
    switch (markerEditing.move(clientPoint(event), allowed, bandType, crossover->channel())) {
    case MarkerEditor::Target::Band:
        eq->bandDragged();
        describeEq();
        // The curve follows the pointer on every move, not at the next
        // turn of the event loop.
        eqArea->repaint();
        break;
    case MarkerEditor::Target::Corner:
        crossover->cornerDragged(markerEditing.crossoverSide());
        break;
    case MarkerEditor::Target::None:
        break;
    }
}

void CDorvaneDlg::onDeviceArrived()
{
    if (waitClock().isWaiting()) {
        waitClock().callAfter(0, this, [this] { onDeviceArrived(); });
        return;
    }
    connectAndRead();
}

void CDorvaneDlg::onDeviceRemoved()
{
    if (waitClock().isWaiting()) {
        waitClock().callAfter(0, this, [this] { onDeviceRemoved(); });
        return;
    }
    done(QDialog::Rejected);
    if (homeCloser())
        homeCloser()();
}

void CDorvaneDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // Esc does not close the editor.
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter moves on, which makes the box that had the focus take its value.
        focusNextChild();
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CDorvaneDlg::closeEvent(QCloseEvent* event)
{
    if (waitClock().isWaiting()) {
        event->ignore();
        waitClock().callAfter(0, this, [this] { close(); });
        return;
    }
    QDialog::closeEvent(event);
}

void CDorvaneDlg::done(int result)
{
    if (waitClock().isWaiting()) {
        waitClock().callAfter(0, this, [this, result] { done(result); });
        return;
    }
    if (!closing) {
        closing = true;
        sharedState().editorStatus = editor->status();
        sharedState().reopenHomePort = true;
        editor->stopMonitor();
        watcher->stop();
        // The home page reopens the port; it is exclusive.
        serial->close();
    }
    QDialog::done(result);
}
