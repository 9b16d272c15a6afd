// The Edit menu: undo and redo, the history, A/B compare and the copy of a
// channel, on the simulated bus and the virtual clock.
#include "EditorTestSupport.h"

#include "editor/CDorvaneDlg.h"
#include "editor/EditDialogs.h"
#include "editor/EditMenu.h"
#include "presets/Save_Recall.h"
#include "protocol/Commands.h"

#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>

namespace {

struct EditMenuTest : EditorBusFixture {
    std::unique_ptr<CDorvaneDlg> editor;
    QTemporaryDir dir;
    QString chosen;

    EditMenuTest() { UserDialogs::setFileChooser([this](const UserDialogs::FileRequest&) { return chosen; }); }
    ~EditMenuTest() override
    {
        editor.reset();
        UserDialogs::setFileChooser({});
        CopyChannelDialog::setAnswer({});
        HistoryDialog::setAnswer({});
    }

    SimAmplifier& amp() { return *bus.amplifier(address); }
    void open()
    {
        editor = std::make_unique<CDorvaneDlg>(chosenTarget());
        editor->show();
        editor->startUp();
        clock->runDue();
        takeHeard();
        messages.messages.clear();
    }
    QAction* item(const QString& text)
    {
        for (QAction* action : editor->findChildren<QAction*>())
            if (action->text() == text || action->text().startsWith(text + QLatin1Char(' ')))
                return action;
        ADD_FAILURE() << "no menu item " << text.toStdString();
        return nullptr;
    }
    void trigger(const QString& text)
    {
        if (QAction* action = item(text))
            action->trigger();
    }
    // A change of the user, then a pause long enough to close the step.
    void moveSlider(const QString& name, int position)
    {
        control<QAbstractSlider>(*editor, name)->setValue(position);
        clock->advance(1100);
    }
};

TEST_F(EditMenuTest, UndoSendsTheOldVolumeBackAndRedoTheNewOne)
{
    bus.addAmplifier(address);
    open();
    EXPECT_FALSE(item(QStringLiteral("Undo"))->isEnabled());
    moveSlider(QStringLiteral("Vol(dB) CHB"), 20);
    ASSERT_EQ(amp().parameters().channels[1].volumeDb, -20);
    QAction* undo = item(QStringLiteral("Undo"));
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("Undo Vol(dB) CHB -20 dB"));
    EXPECT_EQ(undo->shortcut(), QKeySequence::keyBindings(QKeySequence::Undo).value(0));
    takeHeard();

    undo->trigger();
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::volume(address, 2, -80)});
    EXPECT_EQ(amp().parameters().channels[1].volumeDb, -80);
    EXPECT_EQ(control<QAbstractSlider>(*editor, QStringLiteral("Vol(dB) CHB"))->value(), 80);
    EXPECT_EQ(control<QLineEdit>(*editor, QStringLiteral("Vol(dB) CHB value"))->text(), QStringLiteral("-80dB"));
    EXPECT_TRUE(editor->session().frameSentSinceTick());

    QAction* redo = item(QStringLiteral("Redo"));
    EXPECT_EQ(redo->text(), QStringLiteral("Redo Vol(dB) CHB -20 dB"));
    redo->trigger();
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::volume(address, 2, -20)});
    EXPECT_EQ(amp().parameters().channels[1].volumeDb, -20);
    EXPECT_EQ(control<QLineEdit>(*editor, QStringLiteral("Vol(dB) CHB value"))->text(), QStringLiteral("-20dB"));
    EXPECT_FALSE(item(QStringLiteral("Redo"))->isEnabled());
}

TEST_F(EditMenuTest, AMarkerDragOfTwentyMovesIsOneStepOfItsBandOnly)
{
    bus.addAmplifier(address);
    amp().parameters().channels[0].bands[5] = {1000, 300, 140, 1};
    amp().parameters().channels[0].bands[6] = {2000, -200, 140, 1};
    open();
    const SimParameters before = amp().parameters();
    QWidget* graph = control<QWidget>(*editor, QStringLiteral("EQ response"));
    QWidget* canvas = graph->parentWidget();
    const MarkerBox& box = editor->markers().band(0, 5).box;
    const QPoint start = graph->pos() + QPoint(box.centreX(), box.centreY());
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, canvas->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(canvas, &event);
    };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    for (int move = 1; move <= 20; ++move) {
        send(QEvent::MouseMove, start + QPoint(3 * move, -2 * move), Qt::NoButton, Qt::LeftButton);
        clock->advance(200);
    }
    send(QEvent::MouseButtonRelease, start + QPoint(60, -40), Qt::LeftButton, Qt::NoButton);
    ASSERT_NE(amp().parameters().channels[0].bands[5], before.channels[0].bands[5]);
    // The history lists the state read at the opening and one step for the
    // whole drag.
    int listed = -1;
    HistoryDialog::setAnswer([&](HistoryDialog& dialog) {
        listed = dialog.findChild<QListWidget*>()->count();
        return std::optional<int>();
    });
    trigger(QStringLiteral("History…"));
    ASSERT_EQ(listed, 2) << "one step for the whole drag";
    EXPECT_TRUE(item(QStringLiteral("Undo"))->text().startsWith(QStringLiteral("Undo EQ CHA band 6 ")))
        << item(QStringLiteral("Undo"))->text().toStdString();

    takeHeard();
    trigger(QStringLiteral("Undo"));
    // One frame: that band's frequency and gain.
    const QList<QByteArray> frames = takeHeard();
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0], Commands::eqBand(address, 1, 6, 1000, 3));
    EXPECT_EQ(amp().parameters(), before);
}

TEST_F(EditMenuTest, UndoOfAPresetLoadRestoresTheWholeState)
{
    bus.addAmplifier(address);
    amp().parameters().channels[2].volumeDb = -33;
    amp().parameters().channels[0].bands[3] = {300, -600, 400, 2};
    open();
    chosen = dir.filePath(QStringLiteral("hall.save"));
    trigger(QStringLiteral("Save as"));
    const QByteArray saved = amp().fullStateReply();
    // The amplifier is tuned on, then the file comes back, then is undone.
    moveSlider(QStringLiteral("Vol(dB) CHC"), 10);
    moveSlider(QStringLiteral("Gain CHA"), control<QAbstractSlider>(*editor, QStringLiteral("Gain CHA"))->minimum());
    const QByteArray tuned = amp().fullStateReply();
    trigger(QStringLiteral("Synchronized to this Device"));
    EXPECT_EQ(amp().fullStateReply(), saved);
    EXPECT_EQ(item(QStringLiteral("Undo"))->text(), QStringLiteral("Undo Preset file loaded"));
    trigger(QStringLiteral("Undo"));
    EXPECT_EQ(amp().fullStateReply(), tuned);
    trigger(QStringLiteral("Undo"));
    trigger(QStringLiteral("Undo"));
    EXPECT_EQ(amp().fullStateReply(), saved) << "back to the state read at the opening";
}

TEST_F(EditMenuTest, CompareTwiceLeavesTheAmplifierAsItStarted)
{
    bus.addAmplifier(address);
    open();
    const QByteArray started = amp().fullStateReply();
    QAction* compare = item(QStringLiteral("Compare A/B"));
    EXPECT_EQ(compare->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
    QLabel* shown = control<QLabel>(*editor, QStringLiteral("Settings shown"));
    EXPECT_FALSE(shown->isVisible());

    compare->trigger(); // B, a copy of A
    EXPECT_TRUE(compare->isChecked());
    EXPECT_EQ(shown->text(), QStringLiteral("B"));
    EXPECT_TRUE(shown->isVisible());
    moveSlider(QStringLiteral("Vol(dB) CHA"), 30);
    moveSlider(QStringLiteral("Vol(dB) CHD"), 80); // no change: no step
    const QByteArray tunedB = amp().fullStateReply();
    takeHeard();
    compare->trigger(); // back to A
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::volume(address, 1, -80)});
    EXPECT_EQ(amp().fullStateReply(), started);
    EXPECT_EQ(shown->text(), QStringLiteral("A"));
    EXPECT_FALSE(item(QStringLiteral("Undo"))->isEnabled()) << "A has no steps of its own";
    compare->trigger(); // B again
    EXPECT_EQ(amp().fullStateReply(), tunedB);
    EXPECT_TRUE(item(QStringLiteral("Undo"))->isEnabled()) << "B's step";
    compare->trigger();
    EXPECT_EQ(amp().fullStateReply(), started);

    // Copy A to B, while A is shown: B is A now.
    trigger(QStringLiteral("Copy A to B"));
    compare->trigger();
    EXPECT_EQ(amp().fullStateReply(), started);
}

TEST_F(EditMenuTest, CopyChannelSendsOnlyTheDifferingBandsAndIsOneStep)
{
    bus.addAmplifier(address);
    amp().parameters().channels[0].bands[1] = {150, 450, 200, 1};
    amp().parameters().channels[0].bands[8] = {4000, -300, 100, 3};
    amp().parameters().channels[3].bands[8] = amp().parameters().channels[0].bands[8];
    open();
    CopyChannelDialog::setAnswer([](CopyChannelDialog&) {
        return CopyChannelDialog::Choice{0, {1, 3}, {ChannelPart::Eq}};
    });
    trigger(QStringLiteral("Copy channel…"));
    const QList<QByteArray> frames = takeHeard();
    // CHB: bands 2 and 9 (type, frequency and gain, Q of each as far as they
    // differ); CHD: band 2 only.
    for (const QByteArray& frame : frames) {
        ASSERT_GE(frame.size(), 6);
        const int channel = static_cast<unsigned char>(frame[4]);
        const int band = static_cast<unsigned char>(frame[5]);
        EXPECT_TRUE((channel == 2 && (band == 2 || band == 9)) || (channel == 4 && band == 2))
            << frame.toHex(' ').toStdString();
    }
    EXPECT_EQ(amp().parameters().channels[1].bands, amp().parameters().channels[0].bands);
    EXPECT_EQ(amp().parameters().channels[3].bands, amp().parameters().channels[0].bands);
    EXPECT_EQ(item(QStringLiteral("Undo"))->text(), QStringLiteral("Undo Copy CHA to CHB, CHD"));
    trigger(QStringLiteral("Undo"));
    EXPECT_NE(amp().parameters().channels[1].bands, amp().parameters().channels[0].bands);
}

TEST_F(EditMenuTest, HistoryJumpsToAStep)
{
    bus.addAmplifier(address);
    open();
    moveSlider(QStringLiteral("Vol(dB) CHA"), 50);
    moveSlider(QStringLiteral("Vol(dB) CHA"), 40);
    moveSlider(QStringLiteral("Vol(dB) CHA"), 30);
    QStringList listed;
    HistoryDialog::setAnswer([&](HistoryDialog& dialog) {
        for (QListWidget* list : dialog.findChildren<QListWidget*>())
            for (int i = 0; i < list->count(); ++i)
                listed << list->item(i)->text();
        EXPECT_EQ(dialog.chosen(), 3);
        return std::optional<int>(1);
    });
    trigger(QStringLiteral("History…"));
    EXPECT_EQ(listed, QStringList({"As read from the amplifier", "Vol(dB) CHA -50 dB", "Vol(dB) CHA -40 dB",
                                   "Vol(dB) CHA -30 dB"}));
    EXPECT_EQ(amp().parameters().channels[0].volumeDb, -50);
    EXPECT_EQ(item(QStringLiteral("Redo"))->text(), QStringLiteral("Redo Vol(dB) CHA -40 dB"));
}

TEST_F(EditMenuTest, NothingIsSentWithThePortClosed)
{
    bus.addAmplifier(address);
    open();
    moveSlider(QStringLiteral("Vol(dB) CHA"), 50);
    editor->link().close();
    takeHeard();
    trigger(QStringLiteral("Undo"));
    trigger(QStringLiteral("Compare A/B"));
    trigger(QStringLiteral("Copy channel…"));
    EXPECT_TRUE(takeHeard().isEmpty());
    EXPECT_EQ(amp().parameters().channels[0].volumeDb, -50);
}

TEST_F(EditMenuTest, AnAmplifierChangedElsewhereStartsTheHistoryAnew)
{
    bus.addAmplifier(address);
    open();
    moveSlider(QStringLiteral("Vol(dB) CHA"), 50);
    ASSERT_TRUE(item(QStringLiteral("Undo"))->isEnabled());
    // Someone turns a knob; then a device arrives and the editor reads again.
    amp().parameters().channels[3].volumeDb = -3;
    editor->onDeviceArrived();
    clock->advance(1500);
    EXPECT_FALSE(item(QStringLiteral("Undo"))->isEnabled());
    EXPECT_TRUE(messages.messages.contains(QStringLiteral(
        "The amplifier's settings were changed elsewhere; the history starts anew from what it holds now.")))
        << messages.messages.join(u'|').toStdString();
}

} // namespace
