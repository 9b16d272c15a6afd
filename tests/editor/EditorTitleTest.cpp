#include "EditorTestSupport.h"

#include "editor/CDorvaneDlg.h"
#include "editor/EditorTitle.h"

namespace {

using EditorTitle::deviceLine;

TEST(EditorTitle, DeviceLineInBothLanguages)
{
    const struct {
        int language, slot;
        const char* expected;
    } rows[] = {
        {englishUi, 0, "Device address：3    Device name：Stage    Loading save ID：     Loading save Name：Warm"},
        {englishUi, 12, "Device address：3    Device name：Stage    Loading save ID：12     Loading save Name：Warm"},
        {chineseUi, 0, "设备地址：3    设备名称：Stage    读取存档位：     读取存档名：Warm"},
        {chineseUi, 5, "设备地址：3    设备名称：Stage    读取存档位：5     读取存档名：Warm"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(deviceLine(row.language, 3, QStringLiteral("Stage"), row.slot, QStringLiteral("Warm")),
                  QString::fromUtf8(row.expected));
    resetSharedState();
    sharedState().selectedAddress = 7;
    sharedState().presetNumber = 2;
    setUiLanguage(englishUi);
    EXPECT_EQ(EditorTitle::sharedDeviceLine(),
              QString::fromUtf8("Device address：7    Device name：    Loading save ID：2     Loading save Name："));
    resetSharedState();
}

using EditorTitleTest = EditorBusFixture;

TEST_F(EditorTitleTest, CaptionFollowsTheSharedStateAtEveryPaint)
{
    CDorvaneDlg editor(chosenTarget());
    editor.startUp();
    clock->runDue();
    editor.grab();
    EXPECT_TRUE(editor.windowTitle().startsWith(QString::fromUtf8("Device address：3    "))) << editor.windowTitle().toStdString();
    // A recalled slot shows at the next paint.
    sharedState().presetNumber = 4;
    sharedState().presetName = QStringLiteral("Hall");
    editor.grab();
    EXPECT_TRUE(editor.windowTitle().endsWith(QString::fromUtf8("Loading save ID：4     Loading save Name：Hall")))
        << editor.windowTitle().toStdString();
}

} // namespace
