#include "PresetsTestSupport.h"
#include "RecordedEvents.h"

#include "app/Translations.h"
#include "presets/PresetActions.h"
#include "presets/Save_Recall.h"
#include "protocol/Commands.h"
#include "serial/SerialError.h"
#include "serial/SerialLinkFactory.h"
#include "widgets/UserDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

namespace {

// The dialog's link on port 1 of a simulated bus with amplifier 3, every
// message and file request answered by the test.
struct DialogTest : PresetBusTest {
    UserDialogs::MessageRecorder messages;
    QList<UserDialogs::FileRequest> fileRequests;
    QString chosenFile;

    DialogTest()
    {
        link.close(); // the fixture's link stands for the editor's, closed
        bus.addAmplifier(3);
        sharedState().selectedAddress = 3;
        sharedState().portNumber = 1;
        sharedState().baudText = QStringLiteral("19200");
        setSerialLinkMaker([this](QObject* parent) {
            auto made = std::make_unique<SimLink>(nullptr, parent);
            made->addPort(1, &bus);
            return made;
        });
        UserDialogs::setFileChooser([this](const UserDialogs::FileRequest& request) {
            fileRequests << request;
            return chosenFile;
        });
    }
    ~DialogTest() override
    {
        Save_Recall::setRunner({});
        UserDialogs::setFileChooser({});
        setSerialLinkMaker({});
    }

    // Chooses a list position as the user would and lets the answer arrive.
    void choose(Save_Recall& dialog, int position)
    {
        dialog.slotList()->setCurrentIndex(position);
        clock->advance(20);
    }
};

TEST_F(DialogTest, OpensItsOwnLinkAndSendsNothing)
{
    Save_Recall dialog;
    EXPECT_TRUE(dialog.link().isOpen());
    EXPECT_EQ(dialog.link().portNumber(), 1);
    EXPECT_EQ(dialog.link().receiveThreshold(), 7);
    EXPECT_EQ(dialog.link().settings(), u"19200,n,8,1");
    EXPECT_TRUE(dialog.windowTitle().isEmpty());
    // Nor does the platform put the program's name there.
    dialog.show();
    EXPECT_EQ(dialog.windowHandle()->title(), u" ");
    dialog.hide();
    QStringList items;
    for (int i = 0; i < dialog.slotList()->count(); ++i)
        items << dialog.slotList()->itemText(i);
    EXPECT_EQ(items.join(u' '), u"1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16");
    EXPECT_EQ(dialog.slotList()->currentIndex(), -1);
    EXPECT_TRUE(dialog.loadButton()->isEnabled());
    clock->advance(100);
    EXPECT_TRUE(heard.isEmpty());
}

TEST_F(DialogTest, EveryControlHasItsAccessibleName)
{
    Save_Recall dialog;
    EXPECT_EQ(dialog.slotList()->accessibleName(), u"Number");
    EXPECT_EQ(dialog.slotList()->accessibleDescription(), u"Number");
    EXPECT_EQ(dialog.nameBox()->accessibleName(), u"Name");
    EXPECT_EQ(dialog.loadButton()->accessibleName(), u"Load");
    EXPECT_EQ(dialog.saveButton()->accessibleName(), u"Save");
    EXPECT_EQ(dialog.clearButton()->accessibleName(), u"All Empty");
    QStringList buddies;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (label->buddy())
            buddies << label->text() + u'>' + label->buddy()->accessibleName();
    buddies.sort();
    EXPECT_EQ(buddies, (QStringList{"Name>Name", "Number>Number"}));
}

TEST_F(DialogTest, ChoosingASlotShowsTheNameItAnswers)
{
    SimAmplifier& amp = *bus.amplifier(3);
    Save_Recall dialog;
    choose(dialog, 0);
    ASSERT_EQ(heard.size(), 1);
    EXPECT_EQ(spaced(heard.first()), spaced(hex("55 06 03 83 01 02 00 8F")));
    EXPECT_EQ(dialog.nameBox()->text(), u"Empty");
    EXPECT_FALSE(dialog.loadButton()->isEnabled());
    EXPECT_TRUE(clock->waits().contains(50));

    amp.parameters().channels[0].mute = true;
    dialog.link().write(Commands::presetStore(3, 2));
    clock->advance(10);
    choose(dialog, 1);
    EXPECT_EQ(dialog.nameBox()->text(), u"Preset 2");
    EXPECT_TRUE(dialog.loadButton()->isEnabled());
    EXPECT_EQ(sharedState().presetName, u"Preset 2");
}

TEST_F(DialogTest, AnswersThatAreNoNameChangeNothing)
{
    bus.amplifier(3)->silent = true;
    const struct {
        const char* what;
        const char* answer;
        const char* box;
        bool loadEnabled;
    } rows[] = {
        {"a name", "55 0A 03 83 01 02 48 61 6C 6C 31 C1", "Hall1", true},
        {"Empty", "55 0A 03 83 01 02 45 6D 70 74 79 9B", "Empty", false},
        {"another group", "55 06 03 17 00 02 01 21", "Empty", false},
        {"no frame start", "01 02 03 04 05 06 07", "Empty", false},
        {"seventeen name bytes announced", "55 16 03 83 01 02 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 00",
         "Empty", false},
        {"a U in the name", "55 0A 03 83 01 02 41 55 43 44 45 00", "AUCDE", true},
        {"a checksum of 0x55", "55 08 03 83 01 02 41 42 41 55", "ABA", true},
        {"another name", "55 07 03 83 01 02 41 42 00", "AB", true},
    };
    Save_Recall dialog;
    for (const auto& row : rows) {
        bus.injectNoise(hex(row.answer), clock->nowMs() + 1);
        clock->advance(20);
        EXPECT_EQ(dialog.nameBox()->text().toStdString(), row.box) << row.what;
        EXPECT_EQ(dialog.loadButton()->isEnabled(), row.loadEnabled) << row.what;
    }
}

TEST_F(DialogTest, TheButtonsSendTheirFramesWaitAndSaySo)
{
    const struct {
        const char* what;
        int position;
        const char* name; // UTF-8
        QPushButton* (Save_Recall::*button)() const;
        std::vector<const char*> frames;
        QList<int> waits;
        QStringList said;
        const char* recorded; // the event log's text
    } rows[] = {
        {"Load with nothing chosen", -1, "", &Save_Recall::loadButton, {"55 06 03 81 00 01 00 8B"}, {2000},
         {"Load success"}, "3 slot.recall: Slot 0 recalled"},
        {"Load", 4, "", &Save_Recall::loadButton, {"55 06 03 81 05 01 00 90"}, {2000}, {"Load success"},
         "3 slot.recall: Slot 5 recalled"},
        {"Save with nothing chosen", -1, "AB", &Save_Recall::saveButton,
         {"55 06 03 80 00 01 00 8A", "55 07 03 84 00 02 41 42 13"}, {2000, 1000}, {"Save success"},
         "3 slot.store: Stored in slot 0 as AB"},
        {"Save with an empty name", 2, "", &Save_Recall::saveButton,
         {"55 06 03 80 03 01 00 8D", "55 05 03 84 03 02 91"}, {2000, 1000}, {"Save success"},
         "3 slot.store: Stored in slot 3 as "},
        {"Save with 16 letters", 2, "ABCDEFGHIJKLMNOP", &Save_Recall::saveButton,
         {"55 06 03 80 03 01 00 8D", "55 15 03 84 03 02 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 29"},
         {2000, 1000}, {"Save success"}, "3 slot.store: Stored in slot 3 as ABCDEFGHIJKLMNOP"},
        {"Save with 17 letters", 2, "ABCDEFGHIJKLMNOPQ", &Save_Recall::saveButton, {"55 06 03 80 03 01 00 8D"},
         {2000, 1000}, {"Input letters must be less than 16 characters less than 8", "Save success"},
         "3 slot.store: Stored in slot 3; the name was too long to write"},
        {"All Empty", 7, "", &Save_Recall::clearButton, {"55 06 03 82 00 01 00 8C"}, {2000},
         {"Empty the complete"}, "3 slot.clear: Every slot cleared"},
    };
    RecordedEvents events;
    for (const auto& row : rows) {
        Save_Recall dialog;
        dialog.slotList()->blockSignals(true); // no name query for this test
        dialog.slotList()->setCurrentIndex(row.position);
        dialog.slotList()->blockSignals(false);
        dialog.nameBox()->setText(QString::fromUtf8(row.name));
        heard.clear();
        clock->clearWaits();
        messages.messages.clear();
        (dialog.*row.button)()->click();
        std::vector<std::string> expected;
        for (const char* f : row.frames)
            expected.push_back(spaced(hex(f)));
        std::vector<std::string> got;
        for (const QByteArray& f : heard)
            got.push_back(spaced(f));
        EXPECT_EQ(got, expected) << row.what;
        EXPECT_EQ(clock->waits(), row.waits) << row.what;
        EXPECT_EQ(messages.messages, row.said) << row.what;
        const LogEvent event = events.last();
        EXPECT_EQ(QStringLiteral("%1 %2: %3").arg(event.address.value_or(-1)).arg(event.kind, event.text),
                  QString::fromLatin1(row.recorded))
            << row.what;
    }
    EXPECT_EQ(events.log.count(), std::size(rows));
    EXPECT_TRUE(sharedState().presetRecalled);
    EXPECT_EQ(sharedState().presetNumber, 5);
}

TEST_F(DialogTest, ChineseNamesOfEightCharactersFitAndTheMessagesAreChinese)
{
    setUiLanguage(chineseUi);
    ASSERT_TRUE(installUiCatalogue(*qApp));
    const struct {
        const char* name;
        std::size_t frames;
        QStringList said;
    } rows[] = {
        {"功放功放功放功放", 2, {QString::fromUtf8("保存完成")}},
        {"功放功放功放功放功", 1, {QString::fromUtf8("输入字母须小于16位汉字小于8位"), QString::fromUtf8("保存完成")}},
    };
    for (const auto& row : rows) {
        Save_Recall dialog;
        EXPECT_EQ(dialog.saveButton()->accessibleName(), QString::fromUtf8("保存"));
        dialog.nameBox()->setText(QString::fromUtf8(row.name));
        heard.clear();
        messages.messages.clear();
        dialog.saveButton()->click();
        EXPECT_EQ(static_cast<std::size_t>(heard.size()), row.frames) << row.name;
        EXPECT_EQ(messages.messages, row.said) << row.name;
    }
    removeUiCatalogue(*qApp);
}

TEST_F(DialogTest, WithoutAPortEveryActionIsSilent)
{
    sharedState().portNumber = 0;
    Save_Recall dialog;
    EXPECT_FALSE(dialog.link().isOpen());
    EXPECT_EQ(dialog.link().settings(), u"19200,n,8,1"); // applied in any case
    dialog.slotList()->setCurrentIndex(3);
    for (QPushButton* button : {dialog.loadButton(), dialog.saveButton(), dialog.clearButton()})
        button->click();
    clock->advance(100);
    EXPECT_TRUE(heard.isEmpty());
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_TRUE(clock->waits().isEmpty());
    EXPECT_FALSE(sharedState().presetRecalled);
}

TEST_F(DialogTest, ASerialErrorEndsOnlyThatAction)
{
    Save_Recall dialog;
    bus.setPluggedIn(false);
    dialog.loadButton()->click();
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_NE(messages.messages.first(), u"Load success");
    EXPECT_FALSE(sharedState().presetRecalled);
    bus.setPluggedIn(true);
    dialog.clearButton()->click();
    EXPECT_EQ(messages.messages.last(), u"Empty the complete");
}

// The editor's link (the fixture's) on port 1, and what the editor would do.
struct HandOverTest : DialogTest {
    int readBacks = 0;
    QList<bool> loading;
    PresetActions::EditorHooks hooks{[this] {
                                         clock->advance(500);
                                         ++readBacks;
                                         link.readAll();
                                     },
                                     [this](bool on) { loading << on; }};
};

TEST_F(HandOverTest, EveryCloseAfterTheFirstRecallReReadsTheAmplifier)
{
    link.open(1, QStringLiteral("19200,n,8,1"));
    const struct {
        const char* what;
        bool recall;
        bool reread;
    } rows[] = {
        {"nothing recalled", false, false},
        {"a slot recalled", true, true},
        {"nothing recalled this time", false, true},
        {"once more", false, true},
    };
    for (const auto& row : rows) {
        bool editorOpenDuring = true;
        Save_Recall::setRunner([&](Save_Recall& dialog) {
            editorOpenDuring = link.isOpen();
            EXPECT_TRUE(dialog.link().isOpen()) << row.what;
            if (row.recall)
                dialog.loadButton()->click();
        });
        heard.clear();
        readBacks = 0;
        EXPECT_EQ(PresetActions::runSaveRecall(nullptr, link, 3, hooks), row.reread) << row.what;
        EXPECT_FALSE(editorOpenDuring) << row.what;
        EXPECT_TRUE(link.isOpen()) << row.what;
        EXPECT_EQ(readBacks, row.reread ? 1 : 0) << row.what;
        EXPECT_EQ(!heard.isEmpty() && heard.last() == Commands::fullStateRequest(3), row.reread) << row.what;
    }
}

TEST_F(HandOverTest, AClosedEditorLinkStaysClosed)
{
    sharedState().presetRecalled = true;
    Save_Recall::setRunner([](Save_Recall&) {});
    EXPECT_FALSE(PresetActions::runSaveRecall(nullptr, link, 3, hooks));
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(readBacks, 0);
}

TEST_F(HandOverTest, FileActionsAskThroughTheSeamAndClearTheLoadingFlag)
{
    link.open(1, QStringLiteral("19200,n,8,1"));
    SimAmplifier& amp = *bus.amplifier(3);
    chosenFile = path("three.save");
    ASSERT_EQ(PresetActions::saveAs(nullptr, link, 3).result, PresetFile::SaveResult::Written);
    ASSERT_EQ(fileRequests.size(), 1);
    EXPECT_EQ(fileRequests[0].kind, UserDialogs::FileRequest::Save);
    EXPECT_EQ(fileRequests[0].defaultSuffix, u"save");
    EXPECT_TRUE(fileRequests[0].filter.isEmpty());
    EXPECT_EQ(spaced(fileBytes(chosenFile)), spaced(amp.fullStateReply()));

    chosenFile.clear();
    heard.clear();
    EXPECT_EQ(PresetActions::saveAs(nullptr, link, 3).result, PresetFile::SaveResult::Cancelled);
    EXPECT_TRUE(heard.isEmpty());

    chosenFile = path("three.save");
    amp.parameters().channels[2].volumeDb = 0;
    EXPECT_TRUE(PresetActions::loadToThis(nullptr, link, 3, hooks));
    EXPECT_EQ(fileRequests[2].kind, UserDialogs::FileRequest::Open);
    EXPECT_EQ(fileRequests[2].caption, u"OpenSave");
    EXPECT_EQ(fileRequests[2].filter, u"File(*.save)");
    EXPECT_EQ(amp.parameters().channels[2].volumeDb, -80);
    EXPECT_EQ(readBacks, 1);
    EXPECT_EQ(loading, (QList<bool>{true, false}));

    // Cancelled, unreadable, refused by the link: the flag is cleared each time.
    const struct {
        const char* what;
        QString file;
        bool plugged;
        QStringList said;
    } rows[] = {
        {"cancelled", QString(), true, {}},
        {"missing file", path("missing.save"), true, {"File could not be opened 2\n"}},
        {"adapter gone", chosenFile, false, {"(error)"}},
    };
    for (const auto& row : rows) {
        chosenFile = row.file;
        bus.setPluggedIn(row.plugged);
        loading.clear();
        messages.messages.clear();
        readBacks = 0;
        heard.clear();
        const bool sent = UserDialogs::runAction(nullptr, [&] { PresetActions::loadToAll(nullptr, link, 3, hooks); });
        EXPECT_EQ(sent, row.plugged) << row.what;
        EXPECT_EQ(loading, (QList<bool>{true, false})) << row.what;
        EXPECT_EQ(readBacks, 0) << row.what;
        EXPECT_TRUE(heard.isEmpty()) << row.what;
        if (row.plugged)
            EXPECT_EQ(messages.messages, row.said) << row.what;
        else
            EXPECT_EQ(messages.messages.size(), 1) << row.what;
    }
    bus.setPluggedIn(true);
}

} // namespace
