// The Tools menu's preset items on the editor's own link and amplifier.
#include "EditorTestSupport.h"

#include "editor/CDorvaneDlg.h"
#include "presets/Save_Recall.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTemporaryDir>

namespace {

struct PresetMenuTest : EditorBusFixture {
    QTemporaryDir dir;
    QString chosen;
    std::unique_ptr<CDorvaneDlg> editor;

    PresetMenuTest()
    {
        UserDialogs::setFileChooser([this](const UserDialogs::FileRequest&) { return chosen; });
    }
    ~PresetMenuTest() override
    {
        editor.reset();
        UserDialogs::setFileChooser({});
        Save_Recall::setRunner({});
    }
    void open()
    {
        editor = std::make_unique<CDorvaneDlg>(chosenTarget());
        editor->startUp();
        clock->runDue();
        messages.messages.clear();
    }
    void trigger(const QString& text) { menuItem(*editor, text)->trigger(); }
    QSlider* volumeSlider(int channel) { return control<QSlider>(*editor, perChannel(QStringLiteral("Vol(dB)"), channel)); }
    QString volumeShown(int channel)
    {
        return control<QLineEdit>(*editor, perChannel(QStringLiteral("Vol(dB)"), channel) + QStringLiteral(" value"))->text();
    }
};

TEST_F(PresetMenuTest, SavedFileLoadedBackRestoresTheAmplifierAndTheControls)
{
    SimAmplifier& amp = bus.addAmplifier(address);
    amp.parameters().channels[1].volumeDb = -20;
    open();
    ASSERT_EQ(volumeShown(1), QStringLiteral("-20dB"));

    chosen = dir.filePath(QStringLiteral("hall.save"));
    trigger(QStringLiteral("Save as"));
    EXPECT_TRUE(messages.messages.isEmpty());
    QFile file(chosen);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.size(), 597);
    file.close();

    const SimParameters saved = amp.parameters();
    amp.parameters().channels[1].volumeDb = 0;
    trigger(QStringLiteral("Synchronized to this Device"));
    EXPECT_EQ(amp.parameters(), saved);
    EXPECT_EQ(volumeShown(1), QStringLiteral("-20dB"));
    // The load is over: the sliders send their moves again.
    takeHeard();
    volumeSlider(1)->setValue(10);
    EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::volume(address, 2, -10)});
}

TEST_F(PresetMenuTest, AfterALoadEveryBoxShowsTheAmplifierAndTheNextMoveIsSent)
{
    SimAmplifier& amp = bus.addAmplifier(address, 4, 30);
    amp.parameters().channels[0].gainDb = 25;
    amp.parameters().channels[0].volumeDb = -20;
    open();
    chosen = dir.filePath(QStringLiteral("hall.save"));
    trigger(QStringLiteral("Save as"));

    // Gain 28 dB and -10 dB on the amplifier, then the file brings back 25
    // and -20.
    QSlider* gain = control<QSlider>(*editor, "Gain CHA");
    QSlider* volume = volumeSlider(0);
    const int gainAt25 = gain->value();
    const int volumeAtMinus20 = volume->value();
    gain->setValue(gainAt25 - 3);
    volume->setValue(10);
    ASSERT_EQ(amp.parameters().channels[0].gainDb, 28);
    ASSERT_EQ(amp.parameters().channels[0].volumeDb, -10);
    trigger(QStringLiteral("Synchronized to this Device"));
    ASSERT_EQ(amp.parameters().channels[0].gainDb, 25);
    EXPECT_EQ(control<QLineEdit>(*editor, "Gain CHA value")->text(), QStringLiteral("25dB"));
    EXPECT_EQ(volumeShown(0), QStringLiteral("-20dB"));

    // Moving back to what the amplifier had before the load changes it again.
    takeHeard();
    gain->setValue(gainAt25 - 3);
    volume->setValue(10);
    EXPECT_EQ(takeHeard(), QList<QByteArray>({Commands::gain(address, 1, 28), Commands::volume(address, 1, -10)}));
    EXPECT_EQ(amp.parameters().channels[0].gainDb, 28);
    gain->setValue(gainAt25);
    volume->setValue(volumeAtMinus20);
    EXPECT_EQ(takeHeard(), QList<QByteArray>({Commands::gain(address, 1, 25), Commands::volume(address, 1, -20)}));
}

TEST_F(PresetMenuTest, PresetFramesSkipTheNextPollLikeAnyOther)
{
    bus.addAmplifier(address);
    open();
    // A slow rate, so that no tick falls into the actions' waits.
    trigger(QStringLiteral("5 slow"));
    chosen = dir.filePath(QStringLiteral("hall.save"));
    trigger(QStringLiteral("Save as"));
    EXPECT_TRUE(editor->session().frameSentSinceTick()) << "the request of Save as";
    clock->advance(2400);
    ASSERT_FALSE(editor->session().frameSentSinceTick());
    trigger(QStringLiteral("Synchronized to this Device"));
    EXPECT_TRUE(editor->session().frameSentSinceTick()) << "the replay and the read-back request";
}

TEST_F(PresetMenuTest, SaveWithoutAnAnswerSaysSoAndCreatesNoFile)
{
    bus.addAmplifier(address);
    open();
    bus.amplifier(address)->silent = true;
    chosen = dir.filePath(QStringLiteral("none.save"));
    trigger(QStringLiteral("Save as"));
    EXPECT_EQ(messages.messages, QStringList{QStringLiteral("The amplifier did not answer; nothing was saved.")});
    EXPECT_FALSE(QFile::exists(chosen));
}

TEST_F(PresetMenuTest, SlotDialogGetsTheEditorsPortAndTheEditorTakesItBack)
{
    bus.addAmplifier(address);
    open();
    ASSERT_TRUE(editor->link().isOpen());
    const int editorPort = editor->link().portNumber();
    sharedState().portNumber = 0; // the home page found no port of its own
    bool editorClosedMeanwhile = false;
    int dialogPort = -1;
    Save_Recall::setRunner([&](Save_Recall&) {
        editorClosedMeanwhile = !editor->link().isOpen();
        dialogPort = sharedState().portNumber;
    });
    trigger(QStringLiteral("Save/Recall"));
    EXPECT_TRUE(editorClosedMeanwhile);
    EXPECT_EQ(dialogPort, editorPort);
    EXPECT_TRUE(editor->link().isOpen());
}

} // namespace
