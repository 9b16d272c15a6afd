// What the editor records in the event log: its connection, the monitor's
// protection states, factory reset, power and preset files.
#include "EditorTestSupport.h"
#include "RecordedEvents.h"

#include "editor/CDorvaneDlg.h"
#include "editor/EditorSession.h"
#include "editor/XiuGai.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

struct EditorEventsTest : EditorBusFixture {
    RecordedEvents events;
    QTemporaryDir dir;
    QString chosen;
    std::unique_ptr<CDorvaneDlg> editor;

    EditorEventsTest()
    {
        sharedState().selectedName = QStringLiteral("Hall A");
        UserDialogs::setFileChooser([this](const UserDialogs::FileRequest&) { return chosen; });
    }
    ~EditorEventsTest() override
    {
        editor.reset();
        UserDialogs::setFileChooser({});
        UserDialogs::setErrorObserver({});
        XiuGai::setAnswer({});
    }
    void open()
    {
        UserDialogs::setErrorObserver([this](const QString& text, UserDialogs::ErrorKind) {
            logEvent(std::nullopt, {}, QStringLiteral("error"), text);
        });
        editor = std::make_unique<CDorvaneDlg>(chosenTarget());
        editor->startUp();
        clock->runDue();
    }
    void polls(int count) { clock->advance(count * editor->session().monitorPeriodMs() + 50); }
};

TEST_F(EditorEventsTest, ConnectionAndProtectionAreRecordedWhenTheyChange)
{
    SimAmplifier& amp = bus.addAmplifier(address);
    open();
    polls(2);
    // The message that the connection succeeded is no error.
    EXPECT_EQ(events.newKinds(), QStringList{QStringLiteral("3 editor.connected")});
    EXPECT_EQ(events.last().name, QStringLiteral("Hall A"));

    // A clip shown by many polls is one event; its end is one more.
    amp.clipFlags = 0x00;
    polls(3);
    EXPECT_EQ(events.newKinds(), QStringList{QStringLiteral("3 editor.clip")});
    EXPECT_EQ(events.last().text, QStringLiteral("Status: ") + editor->session().statusText());
    amp.clipFlags = 0xFF;
    amp.protectionFlags = 0xF7;
    polls(3);
    EXPECT_EQ(events.newKinds(), QStringList{QStringLiteral("3 editor.fault")});

    amp.silent = true;
    polls(EditorSession::missedPollsTolerated + 2);
    EXPECT_EQ(events.newKinds(), QStringList{QStringLiteral("3 editor.lost")});
    amp.silent = false;
    polls(2);
    EXPECT_EQ(events.newKinds(), QStringList{QStringLiteral("3 editor.connected")});
}

TEST_F(EditorEventsTest, ResetPowerAndPresetFilesAreRecorded)
{
    bus.addAmplifier(address);
    open();
    events.newKinds();
    XiuGai::setAnswer([] { return true; });
    control<QPushButton>(*editor, QStringLiteral("RESET"))->click();
    control<QPushButton>(*editor, QStringLiteral("Standby"))->click();
    control<QPushButton>(*editor, QStringLiteral("Boot"))->click();
    EXPECT_EQ(events.newKinds(), (QStringList{QStringLiteral("3 editor.factoryReset"),
                                              QStringLiteral("3 power.standby"), QStringLiteral("3 power.on")}));

    chosen = dir.filePath(QStringLiteral("hall.save"));
    menuItem(*editor, QStringLiteral("Save as"))->trigger();
    EXPECT_EQ(events.newKinds(), QStringList{QStringLiteral("3 preset.saved")});
    EXPECT_EQ(events.last().text, QStringLiteral("Preset saved to hall.save"));
    menuItem(*editor, QStringLiteral("Synchronized to this Device"))->trigger();
    EXPECT_EQ(events.newKinds(), QStringList{QStringLiteral("3 preset.loaded")});
    EXPECT_EQ(events.last().text, QStringLiteral("Preset hall.save loaded"));

    // A file that cannot be read is an error of a file; nothing is loaded.
    QList<UserDialogs::ErrorKind> errors;
    UserDialogs::setErrorObserver([&](const QString&, UserDialogs::ErrorKind kind) { errors << kind; });
    chosen = dir.filePath(QStringLiteral("missing.save"));
    menuItem(*editor, QStringLiteral("Synchronized to this Device"))->trigger();
    EXPECT_EQ(errors, QList<UserDialogs::ErrorKind>{UserDialogs::ErrorKind::File});
    EXPECT_TRUE(events.newKinds().isEmpty());
    // An amplifier that does not answer a save is an error of the line.
    bus.amplifier(address)->silent = true;
    chosen = dir.filePath(QStringLiteral("none.save"));
    menuItem(*editor, QStringLiteral("Save as"))->trigger();
    EXPECT_EQ(errors.value(1), UserDialogs::ErrorKind::Serial);
    EXPECT_TRUE(events.newKinds().isEmpty());
}

} // namespace
