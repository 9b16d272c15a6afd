// Every window in the Chinese interface: the catalogue is complete, and no
// text the windows show is left in English where the catalogue has Chinese.
#include "app/SharedState.h"
#include "app/Translations.h"
#include "app/UiLanguage.h"
#include "clock/VirtualClock.h"
#include "devices/EventLogWindow.h"
#include "devices/ShowCompareWindow.h"
#include "devices/ZhuYe.h"
#include "editor/CDorvaneDlg.h"
#include "editor/EqFileActions.h"
#include "editor/XiuGai.h"
#include "presets/Save_Recall.h"
#include "serial/SerialLinkFactory.h"
#include "serial/SerialPorts.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"
#include "widgets/CListCtrlCl.h"
#include "widgets/UserDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>

namespace {

struct Entry {
    QString translation;
    QString type; // "unfinished", "obsolete", "vanished" or empty
};

// Source text -> translation of the catalogue.
std::multimap<QString, Entry> readCatalogue()
{
    QFile file(QStringLiteral(VX4_CATALOGUE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << VX4_CATALOGUE;
    std::multimap<QString, Entry> entries;
    QXmlStreamReader xml(&file);
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            // Numerus forms are the translation's own elements.
            entries.emplace(source, Entry{xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed(), type});
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return entries;
}

TEST(ChineseCatalogue, HasNoUnfinishedOrObsoleteEntries)
{
    const auto entries = readCatalogue();
    EXPECT_GT(entries.size(), 50u);
    for (const auto& [source, entry] : entries) {
        EXPECT_TRUE(entry.type.isEmpty()) << entry.type.toStdString() << ": " << source.toStdString();
        EXPECT_FALSE(entry.translation.isEmpty()) << source.toStdString();
    }
}

// Texts a window shows: captions, labels, group titles, menu items.
QStringList shownTexts(QWidget* window)
{
    QStringList texts;
    for (auto* w : window->findChildren<QAbstractButton*>())
        texts << w->text();
    for (auto* w : window->findChildren<QLabel*>())
        texts << w->text();
    for (auto* w : window->findChildren<QGroupBox*>())
        texts << w->title();
    for (auto* menu : window->findChildren<QMenu*>()) {
        texts << menu->title();
        for (QAction* action : menu->actions())
            texts << action->text();
    }
    for (auto* w : window->findChildren<QWidget*>())
        texts << w->accessibleName() << w->accessibleDescription() << w->toolTip();
    for (auto* list : window->findChildren<QComboBox*>())
        for (int i = 0; i < list->count(); ++i)
            texts << list->itemText(i);
    for (auto* tree : window->findChildren<QTreeWidget*>()) {
        for (int column = 0; column < tree->columnCount(); ++column)
            texts << tree->headerItem()->text(column);
        for (int row = 0; row < tree->topLevelItemCount(); ++row)
            texts << tree->topLevelItem(row)->text(2);
    }
    for (auto* table : window->findChildren<QTableView*>()) {
        const QAbstractItemModel* model = table->model();
        for (int column = 0; model && column < model->columnCount(); ++column) {
            texts << model->headerData(column, Qt::Horizontal).toString();
            for (int row = 0; row < model->rowCount(); ++row)
                texts << model->index(row, column).data().toString();
        }
    }
    for (auto* list : window->findChildren<QListWidget*>())
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
    texts << window->windowTitle();
    texts.removeAll(QString());
    return texts;
}

// The Latin words the Chinese interface shows as they are: channel and port
// names, units, the amplifier's own terms that have no Chinese form.
const QSet<QString>& latinAllowed()
{
    static const QSet<QString> words = [] {
        QSet<QString> set;
        for (const char* w : {// channels, ports, the menu item, units
                              "CHA", "CHB", "CHC", "CHD", "COM", "EQ", "PC", "DSP", "HP", "LP", "dB", "dBu", "Hz",
                              "ms", "us", "boost", "Bypass", "Save", "Recall", "fault",
                              // the amplifier's own names of modes, inputs and filter types
                              "NORMAL", "BRIDGE", "Analog", "AES", "AUTO", "ByPass", "Peaking", "Low", "High",
                              "Shelf", "General", "Butterworth", "Bworth", "Bessel", "Lnkwtz", "All", "Pass",
                              // the product's name
                              "Velquist", "VX", "editor",
                              // the file formats of exports, and the programs that name the EQ forms
                              "CSV", "REW", "APO", "Equalizer"})
            set.insert(QString::fromLatin1(w));
        return set;
    }();
    return words;
}

struct ChineseWindows : testing::Test {
    ScopedVirtualClock clock;
    SimBus bus{19200};
    UserDialogs::MessageRecorder messages;
    std::multimap<QString, Entry> catalogue = readCatalogue();

    ChineseWindows()
    {
        setUiLanguage(chineseUi);
        resetSharedState();
        installUiCatalogue(*qApp);
        SerialPorts::setPresentPortsSource([] { return QList<SerialPorts::PresentPort>{}; });
        setSerialLinkMaker([this](QObject* parent) { return std::make_unique<SimLink>(&bus, parent); });
    }
    ~ChineseWindows() override
    {
        removeUiCatalogue(*qApp);
        setSerialLinkMaker({});
        SerialPorts::setPresentPortsSource({});
        setUiLanguage(englishUi);
        resetSharedState();
    }
    // A shown text that is an English source text of the catalogue with a
    // different Chinese translation was not translated.
    void expectChinese(QWidget* window, const char* name) { expectChinese(shownTexts(window), name); }
    void expectChinese(const QStringList& texts, const char* name)
    {
        static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
        for (const QString& text : texts) {
            const auto [first, last] = catalogue.equal_range(text);
            for (auto it = first; it != last; ++it)
                EXPECT_EQ(it->second.translation, text) << name << ": \"" << text.toStdString() << "\" left in English";
            // A text never marked for translation is in no catalogue: any
            // Latin word outside the allowed ones gives it away.
            for (const QRegularExpressionMatch& match : word.globalMatch(text))
                EXPECT_TRUE(latinAllowed().contains(match.captured()))
                    << name << ": \"" << text.toStdString() << "\" shows \"" << match.captured().toStdString() << '"';
        }
    }
};

TEST_F(ChineseWindows, EveryWindowShowsItsChineseTexts)
{
    ZhuYe home;
    home.show();
    clock->runDue();
    expectChinese(&home, "home page");
    // The context menu with its Show menu, as it opens.
    QStringList menuTexts;
    home.setMenuRunner([&](QMenu* menu, const QPoint&) {
        for (QAction* action : menu->actions()) {
            menuTexts << action->text();
            if (QMenu* sub = action->menu())
                for (QAction* item : sub->actions())
                    menuTexts << item->text();
        }
        return static_cast<QAction*>(nullptr);
    });
    Q_EMIT home.view()->customContextMenuRequested(QPoint(2, 2));
    EXPECT_TRUE(menuTexts.contains(QStringLiteral("离线工作"))) << menuTexts.join(u'|').toStdString();
    expectChinese(menuTexts, "home page menu");
    home.setOffline(true);
    expectChinese(&home, "home page offline");
    EXPECT_TRUE(home.windowTitle().endsWith(QStringLiteral("离线"))) << home.windowTitle().toStdString();

    ShowCompareWindow differences(QStringLiteral("1"), true);
    differences.setAmplifiers({{1, QString(), true, {}}, {2, QString(), false, {}}, {3, QString(), true, {{}}}});
    differences.setSender([](const QList<int>&, const ShowCompareWindow::Progress&) { return QString(); });
    expectChinese(&differences, "show comparison");

    CDorvaneDlg editor(chosenTarget());
    expectChinese(&editor, "editor");
    CDorvaneDlg offlineEditor(EditorTarget{3, QString(), 1, QStringLiteral("19200"), true});
    EXPECT_TRUE(offlineEditor.windowTitle().endsWith(QStringLiteral("离线"))) << offlineEditor.windowTitle().toStdString();

    XiuGai confirm;
    expectChinese(&confirm, "factory reset");

    sharedState().portNumber = 1;
    sharedState().baudText = QStringLiteral("19200");
    Save_Recall presetSlots;
    expectChinese(&presetSlots, "preset slots");

    QTemporaryDir dir;
    EventLog log(dir.filePath(QStringLiteral("events.sqlite")));
    EventLogWindow events(log);
    expectChinese(&events, "event log");

    // The import's preview as an import into CHA shows it: every kind of
    // band, adjustments and the curve's cost.
    EqImportPreview::Content content;
    content.heading = QCoreApplication::translate("EqFileActions", "%1 into %2").arg(QStringLiteral("房间"), "CHA");
    const EqFilterType types[] = {EqFilterType::Peaking,        EqFilterType::LowShelf,     EqFilterType::HighShelf,
                                  EqFilterType::ButterworthLow, EqFilterType::GeneralHigh,  EqFilterType::BesselLow,
                                  EqFilterType::AllPass,        EqFilterType::ButterworthHigh};
    for (std::size_t b = 0; b < content.bands.bands.size(); ++b)
        content.bands.bands[b].bandType = b < std::size(types) ? types[b] : EqFilterType::ByPass;
    for (const EqAdjustment& a : {EqAdjustment{EqAdjustment::GainLimited, 4, 7, 21, 18, {}},
                                  EqAdjustment{EqAdjustment::SlopeToQ, 2, 5, 6, 0.4, {}},
                                  EqAdjustment{EqAdjustment::Preamp, 0, 2, -3.5, 0, {}},
                                  EqAdjustment{EqAdjustment::EqBypassOn, 0, 0, 0, 0, {}}})
        content.adjustments << eqAdjustmentText(a);
    content.curve = eqCurveDifferenceText({3.0, 1000, 1});
    EqImportPreview preview(content);
    expectChinese(&preview, "EQ import preview");
    EqImportPreview::Content none;
    EqImportPreview fits(none);
    expectChinese(&fits, "EQ import preview without changes");
    EqExportDialog exportDialog(content.bands, QStringLiteral("amplifier 3, CHA"));
    expectChinese(&exportDialog, "EQ export");
}

} // namespace
