#include "EditorTestSupport.h"

#include "editor/CDorvaneDlg.h"
#include "editor/EditorWidgets.h"
#include "editor/XiuGai.h"
#include "protocol/Commands.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

namespace {

struct EditorWindowTest : EditorBusFixture {
    std::unique_ptr<CDorvaneDlg> editor;

    ~EditorWindowTest() override { XiuGai::setAnswer({}); CDorvaneDlg::setHomeCloser({}); }

    // Opens the editor as the home page does; the frames of the opening are
    // left out of what the tests see.
    CDorvaneDlg& open()
    {
        editor = std::make_unique<CDorvaneDlg>(chosenTarget());
        editor->startUp();
        clock->runDue();
        takeHeard();
        return *editor;
    }
    CDorvaneDlg& openShown()
    {
        open();
        editor->show();
        QApplication::setActiveWindow(editor.get());
        return *editor;
    }
    // Types into a box and presses Enter, as the user would.
    void typeAndEnter(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->clear();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    // The window's controls by their accessible names.
    using Where = std::source_location;
    QSlider* slider(const QString& name, Where at = Where::current()) const { return control<QSlider>(*editor, name, at); }
    QLineEdit* box(const QString& name, Where at = Where::current()) const { return control<QLineEdit>(*editor, name, at); }
    QComboBox* list(const QString& name, Where at = Where::current()) const { return control<QComboBox>(*editor, name, at); }
    QCheckBox* checkBox(const QString& name, Where at = Where::current()) const
    {
        return control<QCheckBox>(*editor, name, at);
    }
    QPushButton* button(const QString& name, Where at = Where::current()) const
    {
        return control<QPushButton>(*editor, name, at);
    }
    QSpinBox* arrows(const QString& name, Where at = Where::current()) const { return control<QSpinBox>(*editor, name, at); }
};

TEST_F(EditorWindowTest, OpeningConnectsReadsTheAmplifierAndSendsNothingBack)
{
    SimAmplifier& amp = bus.addAmplifier(address);
    SimParameters& p = amp.parameters();
    p.channels[1].volumeDb = -20;
    p.channels[0].mute = true;
    p.channels[2].delayUs = 1234;
    p.channels[3].outputSource = 5;
    p.channels[1].limiterThreshold = 30;
    p.channels[0].bands[0] = {1000, 600, 200, 1};
    editor = std::make_unique<CDorvaneDlg>(chosenTarget());
    EXPECT_FALSE(sharedState().reopenHomePort);
    editor->startUp();
    EXPECT_EQ(takeHeard(), QList<QByteArray>({Commands::portProbe(address), Commands::fullStateRequest(address)}));
    EXPECT_EQ(messages.messages, QStringList{QStringLiteral("The connection is successful")});
    EXPECT_EQ(box("Connection status")->text(), QStringLiteral("Normal"));
    EXPECT_TRUE(control<LinkIcon>(*editor, "Link")->isConnected());

    EXPECT_EQ(slider("Vol(dB) CHB")->value(), 20);
    EXPECT_EQ(box("Vol(dB) CHB value")->text(), QStringLiteral("-20dB"));
    EXPECT_EQ(box("Vol(dB) CHA value")->text(), QStringLiteral("-80dB"));
    EXPECT_TRUE(checkBox("Mute CHA")->isChecked());
    EXPECT_EQ(box("Delay(us) CHC")->text(), QStringLiteral("1234"));
    EXPECT_EQ(box("Gain CHA value")->text(), QStringLiteral("23dB"));
    EXPECT_EQ(list("CHC-D Mode")->currentIndex(), 1);
    EXPECT_FALSE(list("CHD OUT")->isEnabled());
    EXPECT_EQ(list("CHD OUT")->currentText(), QStringLiteral("Source-d"));
    // The narrow output lists show their whole entries open and as a tip.
    for (int c = 0; c < 4; ++c) {
        QComboBox* output = list(channelTitle(c) + QStringLiteral(" OUT"));
        QAbstractItemView* view = output->view();
        EXPECT_GT(view->minimumWidth(), view->fontMetrics().horizontalAdvance(QStringLiteral("Source-a"))) << c;
        EXPECT_EQ(output->toolTip(), output->currentText()) << c;
    }
    EXPECT_EQ(box("Threshold(dBu) value")->text(), QStringLiteral("41"));
    EXPECT_EQ(box("Frequency(Hz)")->text(), QStringLiteral("1000"));
    EXPECT_EQ(box("boost(dB)")->text(), QStringLiteral("6"));
    EXPECT_EQ(box("Q")->text(), QStringLiteral("2.0"));
    EXPECT_EQ(arrows("Q arrows")->value(), 20);
    // The band's marker sits on the pixel of 1000 Hz, 6 dB up.
    const MarkerState& m = editor->markers();
    EXPECT_LT(m.band(0, 0).box.centreY(), m.eqPlot().zeroDbY());
    EXPECT_NEAR(m.bandFrequencyHz(0, 0), 1000, 15);

    // The opening's frames skip the first tick's poll; the reading of the
    // first poll lands in the columns.
    clock->advance(1000);
    EXPECT_TRUE(takeHeard().isEmpty());
    clock->advance(1100);
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::monitorPoll(address)});
    EXPECT_EQ(box("Voltage CHA")->text(), QStringLiteral("12.30V"));
    EXPECT_EQ(box("Current CHD")->text(), QStringLiteral("1.50A"));
    EXPECT_EQ(box("Power TEMP")->text(), QStringLiteral("40.00℃"));
}

TEST_F(EditorWindowTest, VolumeSliderSendsOneFramePerShownStep)
{
    bus.addAmplifier(address);
    open();
    QSlider* volume = slider("Vol(dB) CHB");
    volume->setValue(20);
    EXPECT_EQ(takeHeard(), QList<QByteArray>{hex("55 06 03 10 02 03 EC 0A")});
    EXPECT_EQ(box("Vol(dB) CHB value")->text(), QStringLiteral("-20dB"));
    EXPECT_EQ(bus.amplifier(address)->parameters().channels[1].volumeDb, -20);
    // A redraw, or the same value again, shows nothing new and sends nothing.
    volume->setValue(20);
    volume->repaint();
    EXPECT_TRUE(takeHeard().isEmpty());
    volume->triggerAction(QAbstractSlider::SliderSingleStepSub);
    volume->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(takeHeard(), QList<QByteArray>({Commands::volume(address, 2, -19), Commands::volume(address, 2, -18)}));
}

TEST_F(EditorWindowTest, GainTopMovesTheGainAndThresholdRanges)
{
    bus.addAmplifier(address, 4, 30).parameters().channels[0].gainDb = 25;
    open();
    QSlider* gain = slider("Gain CHA");
    EXPECT_EQ(gain->minimum(), 12);
    EXPECT_EQ(gain->maximum(), 30);
    EXPECT_EQ(box("Gain CHA value")->text(), QStringLiteral("25dB"));
    QSlider* threshold = slider("Threshold(dBu)");
    EXPECT_EQ(threshold->minimum(), -32); // threshold 32 at the top
    EXPECT_EQ(threshold->maximum(), -2);  // 2 at the bottom
    gain->setValue(gain->minimum());     // the top: the highest gain
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::gain(address, 1, 30)});
    EXPECT_EQ(bus.amplifier(address)->parameters().channels[0].gainDb, 30);
}

TEST_F(EditorWindowTest, CrossoverBoxReadsKilohertzLimitsAndMovesTheFocusOn)
{
    bus.addAmplifier(address);
    openShown();
    QLineEdit* frequency = box("High-pass filter frequency(Hz)");
    typeAndEnter(frequency, QStringLiteral("2k"));
    EXPECT_EQ(frequency->text(), QStringLiteral("2000"));
    EXPECT_FALSE(frequency->hasFocus());
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::highPassFrequency(address, 1, 2000)});
    EXPECT_EQ(arrows("High-pass filter frequency(Hz) arrows")->value(), 2000);
    EXPECT_NEAR(editor->markers().crossoverFrequencyHz(0, MarkerState::highPass), 2000, 25);
    typeAndEnter(frequency, QStringLiteral("5"));
    EXPECT_EQ(frequency->text(), QStringLiteral("20"));
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::highPassFrequency(address, 1, 20)});
    EXPECT_EQ(bus.amplifier(address)->parameters().channels[0].hpFrequencyHz, 20);
}

TEST_F(EditorWindowTest, CrossoverBoxesShowCapitalsWhileTyping)
{
    bus.addAmplifier(address);
    openShown();
    for (int side : {0, 1}) {
        QLineEdit* box = control<QLineEdit>(*editor, side == 0 ? QStringLiteral("High-pass filter frequency(Hz)")
                                                               : QStringLiteral("Low-pass filter frequency(Hz)"));
        box->setFocus();
        box->clear();
        QTest::keyClicks(box, QStringLiteral("1.5k"));
        EXPECT_EQ(box->text(), QStringLiteral("1.5K"));
        // A letter typed in the middle stays where the cursor was.
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClicks(box, QStringLiteral("x"));
        EXPECT_EQ(box->text(), QStringLiteral("X1.5K"));
        EXPECT_EQ(box->cursorPosition(), 1);
        box->setText(QStringLiteral("500"));
        box->setCursorPosition(3);
        QTest::keyClicks(box, QStringLiteral("hz"));
        EXPECT_EQ(box->text(), QStringLiteral("500HZ"));
        EXPECT_TRUE(takeHeard().isEmpty()) << "typing alone sends nothing";
        // A whole number in range keeps the text as typed.
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(box->text(), QStringLiteral("500HZ"));
        EXPECT_EQ(takeHeard(), QList<QByteArray>{side == 0 ? Commands::highPassFrequency(address, 1, 500)
                                                           : Commands::lowPassFrequency(address, 1, 500)});
    }
}

TEST_F(EditorWindowTest, BridgeDisablesTheSecondOutputAndSendsFive)
{
    bus.addAmplifier(address);
    open();
    QComboBox* output = list("CHD OUT");
    list("CHC-D Mode")->setCurrentIndex(1);
    EXPECT_FALSE(output->isEnabled());
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::outputSource(address, 4, 5)});
    output->setEnabled(true);
    output->setCurrentIndex(2);
    takeHeard();
    list("CHC-D Mode")->setCurrentIndex(0);
    EXPECT_TRUE(output->isEnabled());
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::outputSource(address, 4, 3)});
}

TEST_F(EditorWindowTest, FilterTypeEnablesTheBoxesItHas)
{
    bus.addAmplifier(address);
    open();
    list("Filter")->setCurrentIndex(4);
    EditorBox* gain = control<EditorBox>(*editor, "boost(dB)");
    gain->setText(QStringLiteral("6"));
    Q_EMIT gain->committed();
    takeHeard();
    struct Row {
        int type;
        bool gain, q, onZeroLine;
    };
    for (const Row& r : {Row{9, false, false, true}, Row{4, false, true, true}, Row{1, true, true, true}, Row{3, true, true, true}}) {
        list("Filter type")->setCurrentIndex(r.type);
        EXPECT_EQ(box("boost(dB)")->isEnabled(), r.gain) << r.type;
        EXPECT_EQ(box("Q")->isEnabled(), r.q) << r.type;
        // Back on a type with a gain the marker stays on the 0 dB line.
        EXPECT_EQ(editor->markers().band(0, 4).box.centreY() == editor->markers().eqPlot().zeroDbY(), r.onZeroLine) << r.type;
        EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::eqType(address, 1, 5, r.type)}) << r.type;
    }
}

TEST_F(EditorWindowTest, BoxesLimitWhatIsTyped)
{
    bus.addAmplifier(address);
    openShown();
    typeAndEnter(box("Delay(us) CHA"), QStringLiteral("65001"));
    EXPECT_EQ(box("Delay(us) CHA")->text(), QStringLiteral("65000"));
    const QList<QByteArray> delay = takeHeard();
    ASSERT_EQ(delay.size(), 1);
    EXPECT_EQ(delay[0].mid(6, 2), hex("FD E8"));
    typeAndEnter(box("boost(dB)"), QStringLiteral("-25"));
    EXPECT_EQ(box("boost(dB)")->text(), QStringLiteral("-18"));
    const QList<QByteArray> gain = takeHeard();
    ASSERT_EQ(gain.size(), 1);
    EXPECT_EQ(gain[0].mid(9, 2), hex("F8 F8"));
    typeAndEnter(box("Q"), QStringLiteral("25"));
    EXPECT_EQ(box("Q")->text(), QStringLiteral("20.0"));
    EXPECT_EQ(arrows("Q arrows")->value(), 200);
    // Leaving the frequency box on the way committed it too.
    EXPECT_EQ(takeHeard(), QList<QByteArray>({Commands::eqBand(address, 1, 1, 20, -18), Commands::eqQ(address, 1, 1, 2000)}));
    typeAndEnter(box("Attack(ms) value"), QStringLiteral("20000"));
    EXPECT_EQ(box("Attack(ms) value")->text(), QStringLiteral("10000"));
    EXPECT_EQ(slider("Attack(ms)")->value(), 1);
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::attack(address, 1, 10000, AttackSource::Box)});
}

TEST_F(EditorWindowTest, ResetEqShowsTheFlatEqTheAmplifierAnswersWith)
{
    SimAmplifier& amp = bus.addAmplifier(address);
    amp.parameters().channels[0].bands[2] = {800, 600, 200, 1}; // 800 Hz, +6 dB, Q 2
    open();
    list("Filter")->setCurrentIndex(2);
    ASSERT_EQ(box("boost(dB)")->text(), QStringLiteral("6.0"));
    const int raised = editor->markers().band(0, 2).box.centreY();
    button("RESET-EQ")->click();
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::eqReset(address, 1)});
    EXPECT_EQ(box("boost(dB)")->text(), QStringLiteral("0"));
    EXPECT_EQ(editor->markers().band(0, 2).box.centreY(), editor->markers().eqPlot().zeroDbY());
    EXPECT_NE(editor->markers().band(0, 2).box.centreY(), raised);
    EXPECT_EQ(editor->session().parameters().band(0, 2).bandGainDb, 0);
}

TEST_F(EditorWindowTest, AMenuOpeningOverABoxLeavesItUncommitted)
{
    bus.addAmplifier(address);
    openShown();
    QLineEdit* delay = box("Delay(us) CHA");
    delay->setFocus();
    QTest::keyClicks(delay, QStringLiteral("12"));
    // The Tools menu and the box's own context menu take the focus as popups.
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(delay, &popup);
    QFocusEvent otherWindow(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(delay, &otherWindow);
    EXPECT_TRUE(takeHeard().isEmpty());
    // Tab leaves the box: now it is read.
    QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(delay, &tab);
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::delay(address, 1, 12)});
}

TEST_F(EditorWindowTest, LimiterSlidersKeepAPositionPerChannel)
{
    bus.addAmplifier(address);
    open();
    slider("Release(ms)")->setValue(9001); // 1000 ms on CHA
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::release(address, 1, 1000)});
    list("Limiter Channel")->setCurrentIndex(1);
    // CHB's values come back onto the sliders, and go out again.
    EXPECT_EQ(box("Release(ms) value")->text(), QStringLiteral("200"));
    EXPECT_TRUE(takeHeard().contains(Commands::release(address, 2, 200)));
    list("Limiter Channel")->setCurrentIndex(0);
    EXPECT_EQ(box("Release(ms) value")->text(), QStringLiteral("1000"));
}

TEST_F(EditorWindowTest, RefreshMenuSetsThePollPeriod)
{
    bus.addAmplifier(address);
    open();
    menuItem(*editor, QStringLiteral("3"))->trigger();
    EXPECT_EQ(editor->session().monitorTimer().interval(), 1200);
    clock->advance(1200); // the opening's frames skip this tick
    EXPECT_TRUE(takeHeard().isEmpty());
    clock->advance(1200);
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::monitorPoll(address)});
    menuItem(*editor, QStringLiteral("Refresh off"))->trigger();
    clock->advance(5000);
    EXPECT_TRUE(takeHeard().isEmpty());
    const QList<QAction*> items = menuTitled(*editor, QStringLiteral("Tools"))->actions();
    EXPECT_TRUE(items.last()->text().isEmpty());
    EXPECT_FALSE(items.last()->isEnabled());
}

TEST_F(EditorWindowTest, TwoChannelAmplifierDisablesTheUpperChannels)
{
    bus.addAmplifier(address, 2);
    open();
    for (int c = 2; c < 4; ++c) {
        EXPECT_FALSE(slider(perChannel(QStringLiteral("Vol(dB)"), c))->isEnabled());
        EXPECT_FALSE(checkBox(perChannel(QStringLiteral("Mute"), c))->isEnabled());
        EXPECT_FALSE(box(perChannel(QStringLiteral("Voltage"), c))->isEnabled());
        EXPECT_FALSE(slider(perChannel(QStringLiteral("Gain"), c))->isEnabled());
        EXPECT_FALSE(box(perChannel(QStringLiteral("Delay(us)"), c))->isEnabled());
        EXPECT_FALSE(list(channelTitle(c) + QStringLiteral(" OUT"))->isEnabled());
    }
    EXPECT_FALSE(list("CHC-D Mode")->isEnabled());
    EXPECT_EQ(list("EQ Channel")->count(), 2);
    EXPECT_EQ(list("Crossover Channel")->count(), 2);
    EXPECT_EQ(list("Limiter Channel")->count(), 4);
    EXPECT_EQ(list("CHA OUT")->count(), 2);
    EXPECT_TRUE(list("CHB OUT")->isEnabled());
    // A second read keeps them disabled.
    editor->onDeviceArrived();
    EXPECT_FALSE(slider("Vol(dB) CHD")->isEnabled());
    EXPECT_EQ(list("EQ Channel")->count(), 2);
}

TEST_F(EditorWindowTest, PartialReplyAppliesOnlyWhatArrived)
{
    SimAmplifier& amp = bus.addAmplifier(address);
    amp.parameters().channels[0].volumeDb = -7;
    amp.parameters().channels[0].bands[0].frequencyHz = 5000;
    // The answer starts just before the end of the 800 ms wait: only its
    // head is in when the editor reads.
    bus.setWireTime(true);
    QObject::connect(&bus, &SimBus::frameHeard, [&amp](const QByteArray& frame) {
        if (frame == Commands::fullStateRequest(address))
            amp.extraDelayMs = 780;
    });
    open();
    EXPECT_EQ(box("Vol(dB) CHA value")->text(), QStringLiteral("-7dB"));
    EXPECT_EQ(editor->session().parameters().band(0, 0).bandFrequencyHz, 20);
    EXPECT_EQ(box("Frequency(Hz)")->text(), QStringLiteral("20"));
}

TEST_F(EditorWindowTest, PortClosedSendsNothingAndShowsNothing)
{
    open();
    EXPECT_EQ(messages.messages, QStringList{QStringLiteral("The connection fails")});
    EXPECT_EQ(box("Connection status")->text(), QStringLiteral("Not connected"));
    EXPECT_FALSE(editor->link().isOpen());
    slider("Vol(dB) CHA")->setValue(10);
    EXPECT_TRUE(box("Vol(dB) CHA value")->text().isEmpty());
    checkBox("Mute CHA")->click();
    list("CHA-B Mode")->setCurrentIndex(1);
    EXPECT_FALSE(list("CHB OUT")->isEnabled());
    button("Boot")->click();
    EXPECT_EQ(box("Connection status")->text(), QStringLiteral("Not connected"));
    button("Standby")->click();
    EXPECT_EQ(box("Connection status")->text(), QStringLiteral("Standby"));
    clock->advance(3000);
    EXPECT_TRUE(takeHeard().isEmpty());
    EXPECT_TRUE(otherBus.pending().isEmpty());
}

TEST_F(EditorWindowTest, FactoryResetOnlyAfterOk)
{
    SimAmplifier& amp = bus.addAmplifier(address);
    amp.parameters().channels[0].volumeDb = 0;
    open();
    XiuGai::setAnswer([] { return false; });
    button("RESET")->click();
    EXPECT_TRUE(takeHeard().isEmpty());
    XiuGai::setAnswer([] { return true; });
    clock->clearWaits();
    button("RESET")->click();
    EXPECT_EQ(takeHeard(), QList<QByteArray>({Commands::factoryReset(address), Commands::fullStateRequest(address)}));
    EXPECT_EQ(clock->waits(), QList<int>({2000, 500}));
    EXPECT_EQ(box("Vol(dB) CHA value")->text(), QStringLiteral("-80dB"));
}

TEST_F(EditorWindowTest, ClosingHandsTheStatusOverAndEscDoesNot)
{
    bus.addAmplifier(address);
    openShown();
    QTest::keyClick(editor.get(), Qt::Key_Escape);
    EXPECT_TRUE(editor->isVisible());
    button("Standby")->click();
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(sharedState().editorStatus, AmpStatus{AmpStatusKind::Standby});
    EXPECT_TRUE(sharedState().reopenHomePort);
    EXPECT_FALSE(editor->link().isOpen());
    EXPECT_FALSE(editor->session().monitorTimer().isActive());
}

TEST_F(EditorWindowTest, DeviceRemovalClosesTheEditorThenTheHomePage)
{
    bus.addAmplifier(address);
    openShown();
    bool homeClosed = false;
    CDorvaneDlg::setHomeCloser([&] {
        EXPECT_TRUE(sharedState().reopenHomePort); // the hand-over came first
        homeClosed = true;
    });
    editor->onDeviceRemoved();
    EXPECT_TRUE(homeClosed);
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(EditorWindowTest, EveryControlHasItsEnglishName)
{
    bus.addAmplifier(address);
    open();
    QSet<QString> names;
    QWidget* canvas = control<GraphArea>(*editor, "EQ response")->parentWidget();
    for (QWidget* w : canvas->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w)
            || qobject_cast<QAbstractSlider*>(w) || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<GraphArea*>(w);
        if (!control)
            continue;
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
        EXPECT_FALSE(names.contains(w->accessibleName())) << w->accessibleName().toStdString();
        names.insert(w->accessibleName());
        if (auto* list = qobject_cast<QComboBox*>(w)) {
            EXPECT_EQ(list->accessibleDescription(), list->accessibleName());
        }
    }
    const char* expected[] = {
        "EQ response", "Crossover response", "EQ Channel", "Filter", "boost(dB)", "Frequency(Hz)", "Q", "EQ Bypass",
        "Filter type", "RESET-EQ", "Crossover Channel", "High-pass filter type", "High-pass filter frequency(Hz)",
        "Low-pass filter type", "Low-pass filter frequency(Hz)", "CHA-B Mode", "CHC-D Mode", "Gain CHA", "Gain CHD value",
        "Delay(us) CHC", "Source-b", "CHD OUT", "Limiter Channel", "Threshold(dBu)", "Attack(ms) value", "Release(ms)",
        "Mute CHB", "Vol(dB) CHD", "Vol(dB) CHB value", "Invert CHA", "Voltage CHA", "Current CHC", "Temperature CHD",
        "Power TEMP", "Knob lock", "RESET", "Boot", "Standby", "Connection status"};
    for (const char* name : expected)
        EXPECT_TRUE(names.contains(QString::fromUtf8(name))) << name;
    EXPECT_GE(names.size(), 80);
}

TEST_F(EditorWindowTest, ControlsWorkThroughTheAccessibilityInterface)
{
    bus.addAmplifier(address);
    open();
    QAccessibleInterface* slider = QAccessible::queryAccessibleInterface(control<QSlider>(*editor, "Vol(dB) CHD"));
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->text(QAccessible::Name), QStringLiteral("Vol(dB) CHD"));
    ASSERT_NE(slider->valueInterface(), nullptr);
    slider->valueInterface()->setCurrentValue(0);
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::volume(address, 4, 0)});
    QAccessibleInterface* mute = QAccessible::queryAccessibleInterface(checkBox("Mute CHB"));
    ASSERT_NE(mute->actionInterface(), nullptr);
    mute->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::mute(address, 2, true)});
    QAccessibleInterface* boot = QAccessible::queryAccessibleInterface(button("Boot"));
    // A press through the interface is an animated click: it lands a moment later.
    boot->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([this] { return !heard.isEmpty(); }, 2000));
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::power(address, 1)});
}

} // namespace
