#include "editor/EqFileActions.h"

#include "editor/CDorvaneDlg.h"
#include "editor/EditorSession.h"
#include "response/EqFileStore.h"
#include "response/GraphPainting.h"
#include "widgets/UserDialogs.h"

#include <QAction>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString tr(const char* text) { return QCoreApplication::translate("EqFileActions", text); }

QString channelTitle(int channel) { return QStringLiteral("CH%1").arg(QChar(u'A' + channel)); }

EqImportPreview::Answer& previewAnswer()
{
    static EqImportPreview::Answer answer;
    return answer;
}

EqExportDialog::Answer& exportAnswer()
{
    static EqExportDialog::Answer answer;
    return answer;
}

// Runs a step that sends; a refusal of the port is shown once.
void runSending(CDorvaneDlg& editor, const std::function<void()>& action)
{
    QString shown;
    if (!UserDialogs::runAction(&editor, action, &shown))
        editor.session().noteShownRefusal(shown);
}

QPushButton* addButton(QHBoxLayout* row, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setAccessibleName(text);
    row->addWidget(button);
    return button;
}

} // namespace

namespace EqFileActions {

void addMenuItems(QMenu* tools, CDorvaneDlg& editor, const EditorHooks& hooks)
{
    QAction* importItem = tools->addAction(tr("Import EQ…"), &editor, [&editor, hooks] { importEq(editor, hooks); });
    QAction* exportItem = tools->addAction(tr("Export EQ…"), &editor, [&editor, hooks] { exportEq(editor, hooks); });
    // Both need the amplifier: its bands are what is exported and what an
    // import starts from.
    QObject::connect(tools, &QMenu::aboutToShow, &editor, [&editor, importItem, exportItem] {
        const bool open = editor.session().isOpen();
        importItem->setEnabled(open);
        exportItem->setEnabled(open);
    });
}

void importEq(CDorvaneDlg& editor, const EditorHooks& hooks)
{
    EditorSession& session = editor.session();
    if (!session.isOpen())
        return;
    const EqGraphScene shown = editor.eqScene();
    const int channel = shown.channel;
    const QString path = UserDialogs::chooseFile(
        &editor, {UserDialogs::FileRequest::Open, tr("Import EQ"), QString(), tr("Filter text (*.txt);;All files (*)"),
                  QString()});
    if (path.isEmpty())
        return;
    const EqFileStore::Loaded file = EqFileStore::load(path);
    if (!file.text) {
        // One text, so that Chinese can join the sentences without a blank.
        UserDialogs::showError(&editor, tr("%1 Nothing was sent.").arg(file.problem), UserDialogs::ErrorKind::File);
        return;
    }
    const EqImportPlan plan = planEqImport(*file.text);
    AmpParameters target = session.parameters();
    applyEqImport(target, channel, plan);

    // The curve as the graph will draw it, from markers placed where the
    // import puts them.
    MarkerState markers = editor.markers();
    EqGraphScene scene = shown;
    scene.markers = &markers;
    for (int b = 0; b < bandCount; ++b) {
        const EqBand& band = target.band(channel, b);
        markers.placeBandFrequency(channel, b, band.bandFrequencyHz);
        markers.placeBandGain(channel, b, band.bandGainDb);
        scene.types[std::size_t(b)] = static_cast<int>(band.bandType);
        scene.q[std::size_t(b)] = band.bandQ;
    }
    const EqCurveDifference cost = compareWithFile(*file.text, eqBandSettings(scene), markers.eqPlot().width());

    const QString name = QFileInfo(path).fileName();
    EqImportPreview::Content content;
    content.heading = tr("%1 into %2").arg(name, channelTitle(channel));
    content.bands = target.channels[std::size_t(channel)];
    for (int b = 0; b < bandCount; ++b)
        content.lines[std::size_t(b)] = plan.bands[std::size_t(b)].line;
    for (const EqAdjustment& a : plan.adjustments)
        content.adjustments << eqAdjustmentText(a);
    if (target.channels[std::size_t(channel)].eqBypass)
        content.adjustments << eqAdjustmentText({EqAdjustment::EqBypassOn, 0, 0, 0, 0, {}});
    content.curve = eqCurveDifferenceText(cost);
    if (!EqImportPreview::ask(&editor, content))
        return;
    bool imported = false;
    runSending(editor, [&] {
        imported = hooks.applyAsStep(tr("Import EQ %1 to %2").arg(name, channelTitle(channel)), target);
    });
    // An edit of the amplifier like a preset load: it belongs in the log.
    if (imported)
        hooks.note(QStringLiteral("eq.imported"), tr("EQ file %1 imported into %2").arg(name, channelTitle(channel)));
}

void exportEq(CDorvaneDlg& editor, const EditorHooks& hooks)
{
    EditorSession& session = editor.session();
    if (!session.isOpen())
        return;
    const int channel = editor.eqScene().channel;
    const ChannelParameters& bands = session.parameters().channels[std::size_t(channel)];
    // The file's own header stays in plain ASCII for the programs that read it.
    const QString origin = QStringLiteral("amplifier %1, %2").arg(session.address()).arg(channelTitle(channel));
    const std::optional<EqTextFormat> format = EqExportDialog::ask(&editor, bands, origin);
    if (!format)
        return;
    const QString path = UserDialogs::chooseFile(
        &editor, {UserDialogs::FileRequest::Save, tr("Export EQ"), QString(), tr("Filter text (*.txt)"),
                  QStringLiteral("txt")});
    if (path.isEmpty())
        return;
    const QString problem = EqFileStore::save(path, writeEqText(*format, bands, origin));
    if (!problem.isEmpty()) {
        UserDialogs::showError(&editor, problem, UserDialogs::ErrorKind::File);
        return;
    }
    const QString name = QFileInfo(path).fileName();
    hooks.note(QStringLiteral("eq.exported"), tr("EQ of %1 exported to %2").arg(channelTitle(channel), name));
    UserDialogs::showMessage(&editor, tr("The EQ of %1 was written to %2.").arg(channelTitle(channel), name));
}

} // namespace EqFileActions

EqImportPreview::EqImportPreview(const Content& content, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Import EQ"));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(content.heading, this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    const QStringList headers{tr("Band"), tr("Filter type"), tr("Frequency(Hz)"), tr("boost(dB)"), tr("Q"), tr("Line")};
    auto* table = new QTableWidget(bandCount, static_cast<int>(headers.size()), this);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setAccessibleName(tr("Bands after the import"));
    for (int b = 0; b < bandCount; ++b) {
        const EqBand& band = content.bands.bands[std::size_t(b)];
        const EqFilterType type = band.bandType;
        const int line = content.lines[std::size_t(b)];
        const QString cells[] = {
            QString::number(b + 1),
            eqImportTypeName(type),
            eqTypeUsesFrequency(type) ? QString::number(band.bandFrequencyHz) : QString(),
            eqTypeUsesGain(type) ? QString::number(band.bandGainDb, 'f', 2) : QString(),
            eqTypeUsesQ(type) ? QString::number(band.bandQ, 'f', 1) : QString(),
            line > 0 ? QString::number(line) : QString(),
        };
        for (int c = 0; c < static_cast<int>(headers.size()); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(c == 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            // Flat bands in grey: what the file's curve does not use.
            if (type == EqFilterType::ByPass)
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            table->setItem(b, c, item);
        }
    }
    // Rows as tight as a list's, so that all fifteen show without scrolling.
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->resizeColumnsToContents();
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    table->setMinimumHeight(table->verticalHeader()->length() + table->horizontalHeader()->height() + 4);
    table->setMinimumWidth(table->horizontalHeader()->length() + 24);
    layout->addWidget(table);

    auto* listTitle = new QLabel(tr("Changes to fit the amplifier"), this);
    layout->addWidget(listTitle);
    auto* list = new QListWidget(this);
    list->setAccessibleName(tr("Changes to fit the amplifier"));
    list->addItems(content.adjustments.isEmpty() ? QStringList{tr("None: every filter fits as it is.")}
                                                 : content.adjustments);
    // Long lines wrap rather than scroll sideways; up to eight show at once.
    list->setWordWrap(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setMinimumWidth(list->fontMetrics().averageCharWidth() * 80);
    list->setMinimumHeight(list->sizeHintForRow(0) * std::clamp(static_cast<int>(list->count()) + 2, 3, 9) + 6);
    listTitle->setBuddy(list);
    layout->addWidget(list);

    auto* curve = new QLabel(content.curve, this);
    curve->setWordWrap(true);
    curve->setAccessibleName(tr("Curve against the file"));
    layout->addWidget(curve);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* importButton = addButton(buttons, tr("Import"), this);
    importButton->setDefault(true);
    // The table would take the focus first and show band 1 as if chosen.
    importButton->setFocus();
    QPushButton* cancel = addButton(buttons, tr("Cancel"), this);
    connect(importButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addLayout(buttons);
}

bool EqImportPreview::ask(QWidget* parent, const Content& content)
{
    EqImportPreview dialog(content, parent);
    if (previewAnswer())
        return previewAnswer()(dialog);
    return dialog.exec() == QDialog::Accepted;
}

void EqImportPreview::setAnswer(Answer answer) { previewAnswer() = std::move(answer); }

EqExportDialog::EqExportDialog(const ChannelParameters& channel, const QString& origin, QWidget* parent)
    : QDialog(parent), channel(channel), origin(origin)
{
    setWindowTitle(tr("Export EQ"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(tr("Form"), this);
    auto* choices = new QVBoxLayout(group);
    formats = new QButtonGroup(this);
    const std::pair<EqTextFormat, QString> forms[] = {
        {EqTextFormat::Rew, tr("REW filter settings")},
        {EqTextFormat::Apo, tr("Equalizer APO configuration")},
    };
    for (const auto& [form, caption] : forms) {
        auto* button = new QRadioButton(caption, group);
        button->setAccessibleName(caption);
        formats->addButton(button, static_cast<int>(form));
        choices->addWidget(button);
    }
    formats->button(static_cast<int>(EqTextFormat::Rew))->setChecked(true);
    layout->addWidget(group);

    text = new QPlainTextEdit(this);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->setAccessibleName(tr("Text to be written"));
    text->setMinimumSize(text->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 72,
                         text->fontMetrics().lineSpacing() * 18);
    layout->addWidget(text);
    connect(formats, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            showText();
    });
    showText();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* save = addButton(buttons, tr("Save…"), this);
    save->setDefault(true);
    QPushButton* cancel = addButton(buttons, tr("Cancel"), this);
    connect(save, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addLayout(buttons);
}

EqTextFormat EqExportDialog::format() const { return static_cast<EqTextFormat>(formats->checkedId()); }

void EqExportDialog::showText() { text->setPlainText(QString::fromUtf8(writeEqText(format(), channel, origin))); }

std::optional<EqTextFormat> EqExportDialog::ask(QWidget* parent, const ChannelParameters& channel,
                                                const QString& origin)
{
    EqExportDialog dialog(channel, origin, parent);
    if (exportAnswer())
        return exportAnswer()(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.format();
}

void EqExportDialog::setAnswer(Answer answer) { exportAnswer() = std::move(answer); }
