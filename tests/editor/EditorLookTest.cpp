#include "EditorTestSupport.h"

#include "app/Translations.h"
#include "editor/CDorvaneDlg.h"

#include <QCoreApplication>
#include <QPixmap>

namespace {

// Pictures of the window for a person to look at; written only when
// VX4_EDITOR_SCREENSHOTS names a folder.
struct EditorLookTest : EditorBusFixture {};

TEST_F(EditorLookTest, WindowInBothLanguages)
{
    const QString folder = qEnvironmentVariable("VX4_EDITOR_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "set VX4_EDITOR_SCREENSHOTS to a folder to get the pictures";
    bus.addAmplifier(address);
    for (int language : {englishUi, chineseUi}) {
        setUiLanguage(language);
        installUiCatalogue(*QCoreApplication::instance());
        CDorvaneDlg editor;
        editor.show();
        clock->runDue();
        clock->advance(1100);
        const QString name = folder + (language == englishUi ? QStringLiteral("/editor-en.png") : QStringLiteral("/editor-zh.png"));
        EXPECT_TRUE(editor.grab().save(name));
    }
    setUiLanguage(englishUi);
}

} // namespace
