#include "editor/EditDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

CopyChannelDialog::Answer& copyAnswer()
{
    static CopyChannelDialog::Answer answer;
    return answer;
}

HistoryDialog::Answer& historyAnswer()
{
    static HistoryDialog::Answer answer;
    return answer;
}

QString channelTitle(int channel) { return QStringLiteral("CH%1").arg(QChar(u'A' + channel)); }

} // namespace

CopyChannelDialog::CopyChannelDialog(int channelCount, int source, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Copy channel"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    sourceList = new QComboBox(this);
    for (int c = 0; c < channelCount; ++c)
        sourceList->addItem(channelTitle(c));
    sourceList->setCurrentIndex(std::clamp(source, 0, channelCount - 1));
    auto* sourceLabel = new QLabel(tr("From"), this);
    sourceLabel->setBuddy(sourceList);
    sourceList->setAccessibleName(tr("From"));
    sourceList->setAccessibleDescription(tr("From"));
    form->addRow(sourceLabel, sourceList);
    layout->addLayout(form);

    auto* targets = new QGroupBox(tr("To"), this);
    auto* targetRow = new QHBoxLayout(targets);
    for (int c = 0; c < channelCount; ++c) {
        auto* box = new QCheckBox(channelTitle(c), targets);
        box->setAccessibleName(tr("To %1").arg(channelTitle(c)));
        targetRow->addWidget(box);
        targetBoxes.append(box);
    }
    layout->addWidget(targets);

    auto* parts = new QGroupBox(tr("Copy"), this);
    auto* partColumn = new QVBoxLayout(parts);
    for (const QString& text : {tr("EQ bands and EQ Bypass"), tr("Crossover"), tr("Limiter"),
                                tr("Gain, delay, volume, mute, polarity")}) {
        auto* box = new QCheckBox(text, parts);
        box->setChecked(true);
        box->setAccessibleName(text);
        partColumn->addWidget(box);
        partBoxes.append(box);
    }
    layout->addWidget(parts);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(sourceList, &QComboBox::currentIndexChanged, this, &CopyChannelDialog::updateTargets);
    updateTargets();
}

void CopyChannelDialog::updateTargets()
{
    // A channel is not copied onto itself.
    for (int c = 0; c < targetBoxes.size(); ++c) {
        targetBoxes[c]->setEnabled(c != sourceList->currentIndex());
        if (c == sourceList->currentIndex())
            targetBoxes[c]->setChecked(false);
    }
}

CopyChannelDialog::Choice CopyChannelDialog::choice() const
{
    Choice result;
    result.source = sourceList->currentIndex();
    for (int c = 0; c < targetBoxes.size(); ++c)
        if (targetBoxes[c]->isChecked() && c != result.source)
            result.targets.append(c);
    static constexpr ChannelPart parts[] = {ChannelPart::Eq, ChannelPart::Crossover, ChannelPart::Limiter,
                                            ChannelPart::Levels};
    for (int i = 0; i < partBoxes.size(); ++i)
        if (partBoxes[i]->isChecked())
            result.parts.append(parts[i]);
    return result;
}

std::optional<CopyChannelDialog::Choice> CopyChannelDialog::ask(QWidget* parent, int channelCount, int source)
{
    CopyChannelDialog dialog(channelCount, source, parent);
    std::optional<Choice> answer;
    if (copyAnswer())
        answer = copyAnswer()(dialog);
    else if (dialog.exec() == QDialog::Accepted)
        answer = dialog.choice();
    if (answer && (answer->targets.isEmpty() || answer->parts.isEmpty()))
        return std::nullopt;
    return answer;
}

void CopyChannelDialog::setAnswer(Answer answer) { copyAnswer() = std::move(answer); }

HistoryDialog::HistoryDialog(const QStringList& steps, int current, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("History"));
    auto* layout = new QVBoxLayout(this);
    list = new QListWidget(this);
    list->addItems(steps);
    list->setCurrentRow(current);
    list->setAccessibleName(tr("History"));
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* go = buttons->addButton(tr("Go to this step"), QDialogButtonBox::AcceptRole);
    go->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list, &QListWidget::itemActivated, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(360, 320);
}

int HistoryDialog::chosen() const { return list->currentRow(); }

std::optional<int> HistoryDialog::ask(QWidget* parent, const QStringList& steps, int current)
{
    HistoryDialog dialog(steps, current, parent);
    if (historyAnswer())
        return historyAnswer()(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosen();
}

void HistoryDialog::setAnswer(Answer answer) { historyAnswer() = std::move(answer); }
