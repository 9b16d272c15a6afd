#include "PresetsTestSupport.h"

#include "presets/PresetSlots.h"
#include "protocol/Commands.h"

namespace {

TEST(NameAnswer, IsReadFromTheLastAnswerStartAndNeverPastTheName)
{
    const struct {
        const char* what;
        const char* received;
        const char* name; // hex, nullptr when the bytes are ignored
    } rows[] = {
        {"a name", "55 0A 03 83 01 02 48 61 6C 6C 31 C1", "48 61 6C 6C 31"},
        {"no name at all", "55 05 03 83 01 02 8E", ""},
        {"noise before the answer", "00 FF 55 0A 03 83 01 02 48 61 6C 6C 31 C1", "48 61 6C 6C 31"},
        {"address, slot and checksum are not examined", "55 07 09 83 0F 07 41 42 00", "41 42"},
        {"sixteen name bytes", "55 15 03 83 02 02 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 00",
         "41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41"},
        {"the capital U (0x55) in the name", "55 0A 03 83 01 02 41 55 43 44 45 00", "41 55 43 44 45"},
        {"a U three places before the checksum", "55 08 03 83 01 02 41 55 43 E4", "41 55 43"},
        {"a checksum of 0x55", "55 06 03 83 01 02 C6 55", "C6"},
        {"the address 85 (0x55)", "55 07 55 83 01 02 41 42 00", "41 42"},
        {"a 0x55 before the group of another frame", "55 07 55 83 01 02 41 42 00 55 06 03 17", "41 42"},
        {"the last of two answers", "55 06 03 83 01 02 41 C9 55 06 03 83 02 02 42 CB", "42"},
        {"another group", "55 06 03 17 00 02 01 21", nullptr},
        {"no frame start", "0A 03 83 01 02 41 42", nullptr},
        {"nothing", "", nullptr},
        {"a lone frame start", "55", nullptr},
        {"cut before the group", "55 0A 03", nullptr},
        {"cut inside the name", "55 0A 03 83 01 02 48 61", nullptr},
        {"length announcing 17 name bytes", "55 16 03 83 01 02 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 00",
         nullptr},
        {"length announcing a negative count", "55 04 03 83 01 02 00", nullptr},
        {"length 0xFF", "55 FF 03 83 01 02 41 42 43", nullptr},
    };
    for (const auto& row : rows) {
        const auto name = PresetSlots::nameFromAnswer(hex(row.received));
        if (!row.name) {
            EXPECT_FALSE(name.has_value()) << row.what;
            continue;
        }
        ASSERT_TRUE(name.has_value()) << row.what;
        EXPECT_EQ(spaced(*name), spaced(hex(row.name))) << row.what;
    }
}

TEST(NameBytes, SixteenBytesOfTheAnsiCodePageFit)
{
    const struct {
        int language;
        const char* name; // UTF-8
        const char* bytes; // hex, nullptr when rejected
    } rows[] = {
        {englishUi, "", ""},
        {englishUi, "ABCDEFGHIJKLMNOP", "41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50"},
        {englishUi, "ABCDEFGHIJKLMNOPQ", nullptr},
        {englishUi, "Café", "43 61 66 E9"}, // one byte in CP1252
        {chineseUi, "功放功放功放功放", "B9 A6 B7 C5 B9 A6 B7 C5 B9 A6 B7 C5 B9 A6 B7 C5"},
        {chineseUi, "功放功放功放功放功", nullptr},
        {chineseUi, "功放功放功放功放A", nullptr},
        {chineseUi, "功放功放功放功A", "B9 A6 B7 C5 B9 A6 B7 C5 B9 A6 B7 C5 B9 A6 41"},
    };
    for (const auto& row : rows) {
        setUiLanguage(row.language);
        const auto bytes = PresetSlots::nameBytes(QString::fromUtf8(row.name));
        EXPECT_EQ(bytes ? spaced(*bytes) : "(rejected)", row.bytes ? spaced(hex(row.bytes)) : "(rejected)") << row.name;
    }
    setUiLanguage(englishUi);
}

using SlotCommandsTest = PresetBusTest;

TEST_F(SlotCommandsTest, EachActionSendsItsFrameAndWaits)
{
    bus.addAmplifier(3);
    PresetSlots::SlotCommands commands(link, 3);
    const struct {
        const char* what;
        std::function<void()> action;
        std::vector<const char*> frames;
        QList<int> waits;
    } rows[] = {
        {"recall", [&] { commands.recall(4); }, {"55 06 03 81 04 01 00 8F"}, {2000}},
        {"recall without a slot", [&] { commands.recall(0); }, {"55 06 03 81 00 01 00 8B"}, {2000}},
        {"clear", [&] { commands.clearAll(); }, {"55 06 03 82 00 01 00 8C"}, {2000}},
        {"store with a name", [&] { commands.store(2, QStringLiteral("AB")); },
         {"55 06 03 80 02 01 00 8C", "55 07 03 84 02 02 41 42 15"}, {2000, 1000}},
        {"store with an empty name", [&] { commands.store(2, QString()); },
         {"55 06 03 80 02 01 00 8C", "55 05 03 84 02 02 90"}, {2000, 1000}},
        {"store with a name too long", [&] { commands.store(2, QStringLiteral("ABCDEFGHIJKLMNOPQ")); },
         {"55 06 03 80 02 01 00 8C"}, {2000, 1000}},
    };
    for (const auto& row : rows) {
        heard.clear();
        clock->clearWaits();
        row.action();
        std::vector<std::string> expected;
        for (const char* f : row.frames)
            expected.push_back(spaced(hex(f)));
        std::vector<std::string> got;
        for (const QByteArray& f : heard)
            got.push_back(spaced(f));
        EXPECT_EQ(got, expected) << row.what;
        EXPECT_EQ(clock->waits(), row.waits) << row.what;
    }
}

TEST_F(SlotCommandsTest, ARejectedNameIsSaidBetweenTheStoreAndItsWait)
{
    bus.addAmplifier(3);
    PresetSlots::SlotCommands commands(link, 3);
    QList<int> waitsWhenSaid;
    const auto result = commands.store(1, QStringLiteral("ABCDEFGHIJKLMNOPQ"), [&] { waitsWhenSaid = clock->waits(); });
    EXPECT_EQ(result, PresetSlots::StoreResult::NameTooLong);
    EXPECT_EQ(waitsWhenSaid, QList<int>{2000});
    EXPECT_EQ(clock->waits(), (QList<int>{2000, 1000}));
    EXPECT_TRUE(bus.amplifier(3)->presetSlot(1).parameters.has_value()); // the Store stands
}

TEST_F(SlotCommandsTest, AClosedLinkSendsNothingAndChangesNothing)
{
    bus.addAmplifier(3);
    link.close();
    PresetSlots::SlotCommands commands(link, 3);
    EXPECT_FALSE(commands.queryName(1));
    EXPECT_FALSE(commands.recall(1));
    EXPECT_FALSE(commands.clearAll());
    EXPECT_EQ(commands.store(1, QStringLiteral("A")), PresetSlots::StoreResult::NotSent);
    EXPECT_FALSE(commands.readName(1, 300).has_value());
    EXPECT_TRUE(heard.isEmpty());
    EXPECT_TRUE(clock->waits().isEmpty());
    EXPECT_FALSE(sharedState().presetRecalled);
}

TEST_F(SlotCommandsTest, TheSimulatorsSlotsStoreRecallAndName)
{
    SimAmplifier& amp = bus.addAmplifier(3);
    bus.addAmplifier(4);
    PresetSlots::SlotCommands commands(link, 3);
    amp.parameters().channels[1].volumeDb = -12;
    amp.parameters().channels[2].bands[7].frequencyHz = 3150;
    const SimParameters stored = amp.parameters();
    ASSERT_EQ(commands.store(5, QString::fromUtf8("Hall")), PresetSlots::StoreResult::Stored);
    EXPECT_EQ(commands.readName(5, 300), QStringLiteral("Hall"));
    EXPECT_EQ(sharedState().presetName, u"Hall");
    EXPECT_EQ(commands.readName(6, 300), QStringLiteral("Empty"));

    amp.parameters().channels[1].volumeDb = 0;
    amp.parameters().channels[2].bands[7].frequencyHz = 100;
    ASSERT_TRUE(commands.recall(5));
    EXPECT_EQ(amp.parameters(), stored);
    EXPECT_TRUE(sharedState().presetRecalled);
    EXPECT_EQ(sharedState().presetNumber, 5);
    EXPECT_EQ(bus.amplifier(4)->presetSlot(5).name, "Empty"); // only the amplifier addressed

    ASSERT_TRUE(commands.clearAll());
    EXPECT_EQ(commands.readName(5, 300), QStringLiteral("Empty"));
    EXPECT_FALSE(amp.presetSlot(5).parameters.has_value());
}

TEST_F(SlotCommandsTest, ChineseNamesTravelInCodePage936)
{
    setUiLanguage(chineseUi);
    SimAmplifier& amp = bus.addAmplifier(3);
    PresetSlots::SlotCommands commands(link, 3);
    ASSERT_EQ(commands.store(1, QString::fromUtf8("功放功放功放功放")), PresetSlots::StoreResult::Stored);
    EXPECT_EQ(spaced(amp.presetSlot(1).name), spaced(hex("B9A6 B7C5 B9A6 B7C5 B9A6 B7C5 B9A6 B7C5")));
    EXPECT_EQ(commands.readName(1, 300), QString::fromUtf8("功放功放功放功放"));
    // Nine characters: the settings are stored, the name is not.
    ASSERT_EQ(commands.store(2, QString::fromUtf8("功放功放功放功放功")), PresetSlots::StoreResult::NameTooLong);
    EXPECT_TRUE(amp.presetSlot(2).parameters.has_value());
    EXPECT_EQ(amp.presetSlot(2).name, "Preset 2"); // the simulator's own name for a stored slot
}

} // namespace
