#include "PresetsTestSupport.h"

#include "app/Translations.h"
#include "presets/Save_Recall.h"
#include "serial/SerialLinkFactory.h"
#include "widgets/UserDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace {

// Every caption fits its control, in both languages; with
// VX4_PRESETS_SCREENSHOTS set to a folder, a picture of each language is left
// there for a look.
struct LookTest : PresetBusTest {
    UserDialogs::MessageRecorder messages;

    LookTest()
    {
        sharedState().portNumber = 1;
        sharedState().baudText = QStringLiteral("19200");
        link.close();
        setSerialLinkMaker([this](QObject* parent) {
            auto made = std::make_unique<SimLink>(nullptr, parent);
            made->addPort(1, &bus);
            return made;
        });
    }
    ~LookTest() override
    {
        removeUiCatalogue(*qApp);
        setSerialLinkMaker({});
    }
};

TEST_F(LookTest, CaptionsFitInBothLanguages)
{
    const struct {
        int language;
        const char* picture;
        const char* load;
        const char* clear;
    } rows[] = {
        {englishUi, "presets-en.png", "Load", "All Empty"},
        {chineseUi, "presets-zh.png", "恢复", "全存档清空"},
    };
    for (const auto& row : rows) {
        setUiLanguage(row.language);
        removeUiCatalogue(*qApp);
        ASSERT_TRUE(installUiCatalogue(*qApp));
        Save_Recall dialog;
        dialog.slotList()->setCurrentIndex(-1);
        dialog.nameBox()->setText(QStringLiteral("Hall"));
        dialog.show();
        EXPECT_EQ(dialog.loadButton()->text(), QString::fromUtf8(row.load));
        EXPECT_EQ(dialog.clearButton()->text(), QString::fromUtf8(row.clear));
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
            EXPECT_TRUE(dialog.rect().contains(button->geometry())) << button->text().toStdString();
        }
        for (QLabel* label : dialog.findChildren<QLabel*>())
            EXPECT_GE(label->width(), QFontMetrics(label->font()).horizontalAdvance(label->text()))
                << label->text().toStdString();
        if (const QString folder = qEnvironmentVariable("VX4_PRESETS_SCREENSHOTS"); !folder.isEmpty()) {
            EXPECT_TRUE(dialog.grab().save(folder + QLatin1Char('/') + QString::fromLatin1(row.picture)));
        }
        EXPECT_TRUE(messages.messages.isEmpty());
    }
}

} // namespace
