// The Tools menu's preset items on the editor's own link and amplifier.
#include "EditorTestSupport.h"

#include "editor/CDorvaneDlg.h"
#include "editor/ChannelColumns.h"
#include "presets/Save_Recall.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
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
        editor = std::make_unique<CDorvaneDlg>();
        editor->startUp();
        clock->runDue();
        messages.messages.clear();
    }
    void trigger(const QString& text) { triggerToolsItem(*editor, text); }
    QString volumeShown(int channel) { return editor->channelColumns().columns[channel].volumeBox->text(); }
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
    EXPECT_FALSE(editor->context().presetLoading);
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
