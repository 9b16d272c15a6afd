// "Import EQ…" and "Export EQ…" of the Tools menu, on the simulated bus and
// the virtual clock.
#include "EditorTestSupport.h"
#include "RecordedEvents.h"

#include "app/Translations.h"
#include "editor/CDorvaneDlg.h"
#include "editor/EqFileActions.h"
#include "protocol/Commands.h"
#include "protocol/ParameterTable.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

const QByteArray roomFile = "Filter Settings file\r\n"
                            "\r\n"
                            "Filter  1: ON  PK       Fc    63.0 Hz  Gain  -4.5 dB  Q  4.00\r\n"
                            "Filter  2: ON  PK       Fc  2500.0 Hz  Gain  21.0 dB  Q  2.00\r\n"
                            "Filter  3: OFF None\r\n"
                            "Filter  4: ON  LP       Fc  8000.0 Hz\r\n";

struct EqFileMenuTest : EditorBusFixture {
    RecordedEvents events;
    std::unique_ptr<CDorvaneDlg> editor;
    QTemporaryDir dir;
    QString chosen;
    int previews = 0;
    EqImportPreview::Content previewed;
    bool answer = true;

    EqFileMenuTest()
    {
        UserDialogs::setFileChooser([this](const UserDialogs::FileRequest&) { return chosen; });
        EqImportPreview::setAnswer([this](EqImportPreview& dialog) {
            ++previews;
            previewTexts.clear();
            const auto* changes = control<QListWidget>(dialog, QStringLiteral("Changes to fit the amplifier"));
            for (int i = 0; i < changes->count(); ++i)
                previewTexts << changes->item(i)->text();
            curveText = control<QLabel>(dialog, QStringLiteral("Curve against the file"))->text();
            secondGain = control<QTableWidget>(dialog, QStringLiteral("Bands after the import"))->item(1, 3)->text();
            return answer;
        });
    }
    ~EqFileMenuTest() override
    {
        editor.reset();
        UserDialogs::setFileChooser({});
        UserDialogs::setErrorObserver({});
        EqImportPreview::setAnswer({});
        EqExportDialog::setAnswer({});
    }
    QStringList previewTexts;
    QString curveText;
    QString secondGain;

    SimAmplifier& amp() { return *bus.amplifier(address); }
    void open()
    {
        editor = std::make_unique<CDorvaneDlg>(chosenTarget());
        editor->show();
        editor->startUp();
        clock->runDue();
        takeHeard();
        messages.messages.clear();
        events.newKinds();
    }
    QString write(const char* name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    void trigger(const QString& item) { menuItem(*editor, item)->trigger(); }
    void showEqChannel(int channel) { control<QComboBox>(*editor, QStringLiteral("EQ Channel"))->setCurrentIndex(channel); }
};

TEST_F(EqFileMenuTest, AnImportIsPreviewedSendsOnlyChangedBandsAndIsOneUndoStep)
{
    bus.addAmplifier(address);
    amp().parameters().channels[0].bands[0] = {63, -450, 400, 1}; // as the file has it
    open();
    const SimParameters before = amp().parameters();
    chosen = write("room.txt", roomFile);

    trigger(QStringLiteral("Import EQ…"));
    ASSERT_EQ(previews, 1);
    EXPECT_EQ(previewTexts, (QStringList{"band 2: gain +21 dB limited to +18 dB"}));
    EXPECT_EQ(secondGain, QStringLiteral("18.00"));
    EXPECT_TRUE(curveText.startsWith(QStringLiteral("The curve differs from the file's filters by at most 3.0")))
        << curveText.toStdString();

    // Types first, then frequencies with their gains, then Q; band 1 as it was.
    QList<QByteArray> expected{Commands::eqType(address, 1, 3, 0), Commands::eqType(address, 1, 4, 7)};
    for (int band = 5; band <= bandCount; ++band)
        expected << Commands::eqType(address, 1, band, 0);
    expected << Commands::eqBand(address, 1, 2, 2500, 18) << Commands::eqBand(address, 1, 4, 8000, 0)
             << Commands::eqQ(address, 1, 2, 200);
    EXPECT_EQ(takeHeard(), expected);
    const auto& bands = amp().parameters().channels[0].bands;
    EXPECT_EQ(bands[1], (SimEqBand{2500, 1800, 200, 1}));
    EXPECT_EQ(bands[3].type, 7);
    EXPECT_EQ(bands[3].frequencyHz, 8000);
    EXPECT_EQ(editor->eqScene().types[3], 7) << "the graph shows the imported bands";

    // An edit of the amplifier: recorded, and shown with the other edits.
    EXPECT_EQ(events.newKinds(), QStringList{QStringLiteral("3 eq.imported")});
    EXPECT_EQ(events.last().text, QStringLiteral("EQ file room.txt imported into CHA"));
    EXPECT_TRUE(inGroup(events.last().kind, EventGroup::Edits));
    trigger(QStringLiteral("Undo Import EQ room.txt to CHA"));
    EXPECT_EQ(amp().parameters(), before);
    EXPECT_EQ(editor->eqScene().types[3], 1);
}

TEST_F(EqFileMenuTest, ACancelledPreviewOrAMalformedFileSendsNothing)
{
    bus.addAmplifier(address);
    open();
    const SimParameters before = amp().parameters();
    chosen = write("room.txt", roomFile);
    answer = false;
    trigger(QStringLiteral("Import EQ…"));
    EXPECT_EQ(previews, 1);
    EXPECT_TRUE(takeHeard().isEmpty());
    EXPECT_FALSE(menuItem(*editor, QStringLiteral("Undo"))->isEnabled());

    answer = true;
    QList<UserDialogs::ErrorKind> errors;
    UserDialogs::setErrorObserver([&](const QString&, UserDialogs::ErrorKind kind) { errors << kind; });
    chosen = write("bad.txt", "Filter 1: ON PK Fc 63 Hz Gain -4.5 dB Q 4\nFilter 2: ON PK Fc 100 Hz Gain -4.5 dB\n");
    trigger(QStringLiteral("Import EQ…"));
    EXPECT_EQ(errors, QList<UserDialogs::ErrorKind>{UserDialogs::ErrorKind::File});
    EXPECT_EQ(previews, 1) << "no preview of a refused file";
    EXPECT_EQ(messages.messages,
              QStringList{QStringLiteral("Cannot import bad.txt: line 2: Q is missing. Nothing was sent.")});
    EXPECT_TRUE(takeHeard().isEmpty());
    EXPECT_EQ(amp().parameters(), before);
    EXPECT_TRUE(events.newKinds().isEmpty()) << "nothing was imported";
}

TEST_F(EqFileMenuTest, TheImportGoesToTheEqChannelShown)
{
    bus.addAmplifier(address);
    amp().parameters().channels[2].eqBypass = true;
    open();
    const SimParameters before = amp().parameters();
    showEqChannel(2);
    chosen = write("room.txt", roomFile);
    trigger(QStringLiteral("Import EQ…"));
    EXPECT_TRUE(previewTexts.contains(
        QStringLiteral("EQ Bypass is on for this channel: the bands are not heard until it is turned off")));
    EXPECT_EQ(amp().parameters().channels[2].bands[1].gainCentiDb, 1800);
    EXPECT_EQ(amp().parameters().channels[0], before.channels[0]);
    EXPECT_TRUE(amp().parameters().channels[2].eqBypass) << "the user's bypass is left alone";
}

TEST_F(EqFileMenuTest, AnExportWritesTheFormChosen)
{
    bus.addAmplifier(address);
    amp().parameters().channels[1].bands[0] = {63, -450, 400, 1};
    open();
    showEqChannel(1);
    QString previewRew;
    QString previewApo;
    EqExportDialog::setAnswer([&](EqExportDialog& dialog) -> std::optional<EqTextFormat> {
        const auto* text = control<QPlainTextEdit>(dialog, QStringLiteral("Text to be written"));
        previewRew = text->toPlainText();
        control<QRadioButton>(dialog, QStringLiteral("Equalizer APO configuration"))->click();
        previewApo = text->toPlainText();
        return dialog.format();
    });
    chosen = dir.filePath(QStringLiteral("chb.txt"));
    trigger(QStringLiteral("Export EQ…"));
    EXPECT_TRUE(previewRew.contains(QStringLiteral("Filter  1: ON  PK       Fc    63.0 Hz"))) << previewRew.toStdString();
    EXPECT_TRUE(previewApo.contains(QStringLiteral("Filter 1: ON PK Fc 63 Hz Gain -4.5 dB Q 4.00")));
    QFile file(chosen);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), previewApo);
    EXPECT_EQ(messages.messages, QStringList{QStringLiteral("The EQ of CHB was written to chb.txt.")});
    EXPECT_TRUE(takeHeard().isEmpty());
    EXPECT_EQ(events.newKinds(), QStringList{QStringLiteral("3 eq.exported")});

    // A file that cannot be written is an error of a file, and no export.
    QList<UserDialogs::ErrorKind> errors;
    UserDialogs::setErrorObserver([&](const QString&, UserDialogs::ErrorKind kind) { errors << kind; });
    chosen = dir.filePath(QStringLiteral("no/such/folder/chb.txt"));
    trigger(QStringLiteral("Export EQ…"));
    EXPECT_EQ(errors, QList<UserDialogs::ErrorKind>{UserDialogs::ErrorKind::File});
    EXPECT_TRUE(messages.messages.last().startsWith(QStringLiteral("Cannot save "))) << messages.messages.last().toStdString();
    EXPECT_TRUE(events.newKinds().isEmpty());
}

TEST_F(EqFileMenuTest, TheMenuItemsAndThePreviewSpeakChinese)
{
    setUiLanguage(chineseUi);
    installUiCatalogue(*qApp);
    bus.addAmplifier(address);
    open();
    const QMenu* tools = menuTitled(*editor, QStringLiteral("工具"));
    EXPECT_TRUE(tools->actions().contains(menuItem(*editor, QStringLiteral("导入EQ…"))));
    EXPECT_TRUE(tools->actions().contains(menuItem(*editor, QStringLiteral("导出EQ…"))));
    // The refusal and its end are one sentence pair, without a Latin blank.
    chosen = write("bad.txt", "Filter 1: ON PK Fc 63 Hz Gain -4.5 dB\n");
    trigger(QStringLiteral("导入EQ…"));
    EXPECT_EQ(messages.messages, QStringList{QStringLiteral("无法导入 bad.txt：第 1 行：缺少 Q。未发送任何内容。")});

    EqImportPreview::Content content;
    content.heading = QStringLiteral("x");
    content.adjustments << eqAdjustmentText({EqAdjustment::GainLimited, 4, 2, 21, 18, {}});
    EqImportPreview preview(content);
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("导入EQ"));
    EXPECT_EQ(control<QTableWidget>(preview, QStringLiteral("导入后的各段"))->horizontalHeaderItem(0)->text(),
              QStringLiteral("段"));
    EXPECT_EQ(control<QListWidget>(preview, QStringLiteral("为适应功放所作的调整"))->item(0)->text(),
              QStringLiteral("第 4 段：增益 +21 dB 限制为 +18 dB"));
    QStringList buttons;
    for (QPushButton* b : preview.findChildren<QPushButton*>())
        buttons << b->text();
    EXPECT_EQ(buttons, (QStringList{"导入", "取消"}));
    EqExportDialog exportDialog(ChannelParameters(), QStringLiteral("x"));
    EXPECT_EQ(exportDialog.windowTitle(), QStringLiteral("导出EQ"));
    removeUiCatalogue(*qApp);
    setUiLanguage(englishUi);
}

} // namespace
