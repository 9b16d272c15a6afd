#include "EditorTestSupport.h"

#include "app/Translations.h"
#include "editor/CDorvaneDlg.h"
#include "editor/EqRow.h"

#include <QComboBox>
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
    SimChannel& channel = bus.addAmplifier(address).parameters().channels[0];
    // A few bands set, so that the curves have something to show.
    const SimEqBand bands[] = {{60, 600, 140, 1}, {250, -900, 200, 1}, {1000, 1200, 400, 1}, {4000, 0, 70, 5}, {12000, 450, 100, 3}};
    for (std::size_t b = 0; b < std::size(bands); ++b)
        channel.bands[b] = bands[b];
    for (std::size_t b = std::size(bands); b < channel.bands.size(); ++b)
        channel.bands[b].frequencyHz = 20 * static_cast<int>(b * b);
    channel.hpType = 5;
    channel.hpFrequencyHz = 80;
    channel.lpType = 3;
    channel.lpFrequencyHz = 6000;
    for (int language : {englishUi, chineseUi}) {
        setUiLanguage(language);
        installUiCatalogue(*QCoreApplication::instance());
        CDorvaneDlg editor;
        editor.show();
        clock->runDue();
        clock->advance(1100);
        editor.eqRow().bandList->setCurrentIndex(2);
        const QString suffix = language == englishUi ? QStringLiteral("-en.png") : QStringLiteral("-zh.png");
        EXPECT_TRUE(editor.grab().save(folder + QStringLiteral("/editor") + suffix));
        EXPECT_TRUE(editor.eqGraph()->grab().save(folder + QStringLiteral("/eq-graph") + suffix));
        EXPECT_TRUE(editor.crossoverGraph()->grab().save(folder + QStringLiteral("/crossover-graph") + suffix));
    }
    setUiLanguage(englishUi);
}

} // namespace
