// The editor and its preset actions when the adapter goes away mid-action,
// and preset files that go away between the file dialog and the open.
#include "../editor/EditorTestSupport.h"
#include "FaultsSupport.h"

#include "editor/CDorvaneDlg.h"
#include "presets/Save_Recall.h"
#include "protocol/Commands.h"
#include "protocol/ControlFrame.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>

#include <functional>

namespace {

struct EditorFaults : EditorBusFixture {
    QTemporaryDir dir;
    QString chosen;
    QByteArray pullOn;
    std::function<void()> beforeOpen; // runs when the file dialog has been answered
    std::unique_ptr<CDorvaneDlg> editor;

    EditorFaults()
    {
        UserDialogs::setFileChooser([this](const UserDialogs::FileRequest&) {
            if (beforeOpen)
                beforeOpen();
            return chosen;
        });
        QObject::connect(&bus, &SimBus::frameHeard, [this](const QByteArray& frame) {
            if (frame == pullOn)
                bus.setPluggedIn(false);
        });
    }
    ~EditorFaults() override
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
    }
    void trigger(const QString& text) { menuItem(*editor, text)->trigger(); }
    // No preset load is left holding the sliders' frames back: a move of
    // CHA's volume goes out at once.
    void expectSlidersSend()
    {
        QSlider* volume = control<QSlider>(*editor, "Vol(dB) CHA");
        const int position = volume->value() == 10 ? 11 : 10;
        takeHeard();
        volume->setValue(position);
        EXPECT_EQ(takeHeard(), QList<QByteArray>{Commands::volume(address, 1, -position)});
    }
};

TEST_F(EditorFaults, AdapterPulledMidActionIsSaidOnceAndTheEditorReconnectsWhenItIsBack)
{
    const QString removed = QStringLiteral("The device COM%1 was removed").arg(ports.value(1));
    const QString connected = QStringLiteral("The connection is successful");
    const QString noAnswer = QStringLiteral("The amplifier did not answer; nothing was saved.");
    const QString noPort = QStringLiteral("The port COM%1 does not exist").arg(ports.value(1));
    QByteArray oldPreset = "55 old preset";
    const struct {
        const char* what;
        std::function<void(EditorFaults&)> action;
        QStringList said; // after the action and five seconds of polls
    } rows[] = {
        {"full-state read at opening",
         [](EditorFaults& t) {
             t.pullOn = Commands::fullStateRequest(address);
             t.open();
         },
         {connected, removed}},
        {"preset replay",
         [&](EditorFaults& t) {
             t.open();
             t.chosen = t.dir.filePath(QStringLiteral("hall.save"));
             t.trigger(QStringLiteral("Save as"));
             oldPreset = readFile(t.chosen);
             t.messages.messages.clear();
             t.pullOn = ControlFrame::replayStoredFrame(oldPreset, address, false);
             t.trigger(QStringLiteral("Synchronized to this Device"));
         },
         {removed}},
        {"save as",
         [&](EditorFaults& t) {
             t.open();
             t.messages.messages.clear();
             t.chosen = t.dir.filePath(QStringLiteral("hall.save"));
             oldPreset = "55 old preset";
             writeFile(t.chosen, oldPreset);
             t.pullOn = Commands::fullStateRequest(address);
             t.trigger(QStringLiteral("Save as"));
         },
         {noAnswer, removed}},
        {"slot save",
         [](EditorFaults& t) {
             t.open();
             t.messages.messages.clear();
             Save_Recall::setRunner([&t](Save_Recall& dialog) {
                 dialog.slotList()->setCurrentIndex(1);
                 dialog.nameBox()->setText(QStringLiteral("Show"));
                 t.pullOn = Commands::presetStore(address, 2);
                 dialog.saveButton()->click();
             });
             t.trigger(QStringLiteral("Save/Recall"));
         },
         // The dialog's save, then the editor taking its port back.
         {removed, noPort}},
    };
    bus.addAmplifier(address);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        editor.reset();
        bus.clearPending();
        bus.setPluggedIn(true);
        messages.messages.clear();
        pullOn.clear();
        chosen.clear();

        row.action(*this);
        pullOn.clear();
        clock->advance(5000);
        EXPECT_EQ(messages.messages, row.said);
        if (!chosen.isEmpty()) {
            EXPECT_EQ(readFile(chosen), oldPreset);
        }

        // The adapter is back and the platform says so.
        bus.clearPending();
        bus.setPluggedIn(true);
        messages.messages.clear();
        editor->onDeviceArrived();
        clock->advance(1500);
        EXPECT_EQ(messages.messages, QStringList{connected});
        EXPECT_TRUE(editor->link().isOpen());
        EXPECT_TRUE(editor->session().linkConnected());
        EXPECT_EQ(editor->session().missedPolls(), 0);
        expectSlidersSend();
    }
}

TEST_F(EditorFaults, PresetFileGoneBetweenTheDialogAndTheOpenIsSaidAndNothingIsSent)
{
    bus.addAmplifier(address);
    const struct {
        const char* what;
        std::function<void(const QString& path)> spoil;
        int cause;
    } rows[] = {
        {"removed", [](const QString& path) { QFile::remove(path); }, ENOENT},
        {"replaced by a folder",
         [](const QString& path) {
             QFile::remove(path);
             QDir().mkpath(path);
         },
         EISDIR},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        editor.reset();
        open();
        chosen = dir.filePath(QStringLiteral("%1.save").arg(QString::fromLatin1(row.what).left(3)));
        writeFile(chosen, "55 02 53 03 60 02 10 F9");
        beforeOpen = [&] { row.spoil(chosen); };
        messages.messages.clear();
        takeHeard();
        trigger(QStringLiteral("Synchronized to all Device"));
        EXPECT_EQ(messages.messages, QStringList{QStringLiteral("File could not be opened %1\n").arg(row.cause)});
        EXPECT_TRUE(takeHeard().isEmpty());
        expectSlidersSend();
        beforeOpen = {};
    }
}

TEST_F(EditorFaults, PresetSavedOntoAFullDiskKeepsTheOldFileAndSaysWhy)
{
    bus.addAmplifier(address);
    open();
    messages.messages.clear();
    chosen = dir.filePath(QStringLiteral("hall.save"));
    writeFile(chosen, "old");
    {
        // The reply is 597 bytes; the disk fills after 100.
        FullDisk full(100);
        trigger(QStringLiteral("Save as"));
    }
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].startsWith(QStringLiteral("The file could not be saved: ")))
        << messages.messages[0].toStdString();
    EXPECT_EQ(readFile(chosen), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("hall.save")});
}

} // namespace
